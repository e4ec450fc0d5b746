#include "SPSNumberedTable.h"

#include <QtAlgorithms>

#include <algorithm>
#include <limits>
#include <utility>

namespace {
// At most this many bits of the number are sorted per pass, so that the
// counts of a pass stay in the processor's nearest caches.
constexpr int kMaxDigitBits = 12;
// Points ahead that the gathering asks the memory for.
constexpr size_t kPrefetchAhead = 8;
} // namespace

// A radix sort of the pairs by number: each pass keeps the order of equal
// digits, so of the points with one number the one added last stays last, and
// a shuffled file costs a few passes over 8-byte words instead of comparisons
// of whole points. Only the bits in which the numbers differ from the least
// are sorted: a survey's numbers span far less than 32 bits, which saves a
// pass.
void SPSNumberedTable::SortPairs(std::vector<quint64>& pairs)
{
    const size_t n = pairs.size();
    if (n < 2)
        return;
    quint32 least = 0xFFFFFFFFu;
    quint32 most = 0;
    for (const quint64 pair : pairs) {
        least = qMin(least, quint32(pair >> 32));
        most = qMax(most, quint32(pair >> 32));
    }
    if (least == most)
        return;
    const int bits = 32 - qCountLeadingZeroBits(most - least);
    const int passes = (bits + kMaxDigitBits - 1) / kMaxDigitBits;
    const int digitBits = (bits + passes - 1) / passes;
    const quint32 mask = (quint32(1) << digitBits) - 1;
    const auto digit = [least, digitBits, mask](quint64 pair, int pass) {
        return ((quint32(pair >> 32) - least) >> (pass * digitBits)) & mask;
    };
    // The counts of every pass in one reading.
    std::vector<size_t> counts(size_t(passes) << digitBits);
    for (const quint64 pair : pairs)
        for (int pass = 0; pass < passes; ++pass)
            ++counts[(size_t(pass) << digitBits) + digit(pair, pass)];
    std::vector<quint64> spare(n);
    for (int pass = 0; pass < passes; ++pass) {
        size_t* count = counts.data() + (size_t(pass) << digitBits);
        size_t at = 0;
        for (quint32 d = 0; d <= mask; ++d)
            at += std::exchange(count[d], at);
        for (const quint64 pair : pairs)
            spare[count[digit(pair, pass)]++] = pair;
        pairs.swap(spare);
    }
}

bool SPSNumberedTable::NumbersUnique(const std::vector<quint64>& sortedPairs)
{
    for (size_t i = 1; i < sortedPairs.size(); ++i)
        if (sortedPairs[i] >> 32 == sortedPairs[i - 1] >> 32)
            return false;
    return true;
}

SPSLargeVector<SPSPointGeometry>
SPSNumberedTable::Ordered(const SPSLargeVector<SPSPointGeometry>& points,
                          const std::vector<quint64>& pairs)
{
    // Gathered into a copy: the reads are independent of each other, so the
    // memory can be asked for several at once, where following the
    // permutation's cycles in place would wait on each miss.
    const size_t n = pairs.size();
    SPSLargeVector<SPSPointGeometry> ordered;
    ordered.reserve(n);
    for (size_t i = 0; i < n; ++i) {
#if defined(__GNUC__)
        if (i + kPrefetchAhead < n)
            __builtin_prefetch(&points[quint32(pairs[i + kPrefetchAhead])]);
#endif
        ordered.push_back(points[quint32(pairs[i])]);
    }
    return ordered;
}

void SPSNumberedTable::Sort()
{
    if (m_bSorted)
        return;
    m_bSorted = true;
    if (FitsPairs(m_Rows.size())) {
        m_Rows = Ordered(m_Rows, SortedPairs(m_Rows, [](const SPSPointGeometry& point) {
                             return point.m_nNumber;
                         }));
    } else {
        // Stable: of the points with one number, the last added stays last.
        std::stable_sort(m_Rows.begin(), m_Rows.end(),
                         [](const SPSPointGeometry& a, const SPSPointGeometry& b) {
                             return a.m_nNumber < b.m_nNumber;
                         });
    }
    KeepLastOfEach(m_Rows, [](const SPSPointGeometry& a, const SPSPointGeometry& b) {
        return a.m_nNumber == b.m_nNumber;
    });
}

const SPSPointGeometry* SPSNumberedTable::Find(qint32 number) const
{
    Q_ASSERT(m_bSorted);
    const auto it =
        std::lower_bound(m_Rows.begin(), m_Rows.end(), number,
                         [](const SPSPointGeometry& p, qint32 n) { return p.m_nNumber < n; });
    return it != m_Rows.end() && it->m_nNumber == number ? &*it : nullptr;
}
