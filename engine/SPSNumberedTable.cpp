#include "SPSNumberedTable.h"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

namespace {
// Bits of the number sorted per pass: three passes cover 32 bits, and the
// counts of one pass stay in the first-level cache.
constexpr int kDigitBits = 11;
constexpr quint64 kDigitMask = (quint64(1) << kDigitBits) - 1;

// (number, index) pairs sorted by number, stably: a radix sort, each pass of
// which keeps the order of equal digits, so that of the points with one
// number the one added last stays last, and a shuffled file costs a few
// passes over 8-byte pairs instead of comparisons of whole points. The sign
// bit is flipped so that unsigned order is signed order.
std::vector<quint64> sortedPairs(const std::vector<qint32>& numbers)
{
    const size_t n = numbers.size();
    std::vector<quint64> keys(n);
    if (n == 0)
        return keys;
    for (size_t i = 0; i < n; ++i)
        keys[i] = quint64(quint32(numbers[i]) ^ 0x80000000u) << 32 | quint64(i);
    std::vector<quint64> spare(n);
    for (int shift = 32; shift < 64; shift += kDigitBits) {
        std::array<size_t, kDigitMask + 1> counts{};
        for (const quint64 key : keys)
            ++counts[(key >> shift) & kDigitMask];
        // Every number has the same digit here: the pass would change nothing.
        if (counts[(keys[0] >> shift) & kDigitMask] == n)
            continue;
        size_t at = 0;
        for (size_t& count : counts)
            at += std::exchange(count, at);
        for (const quint64 key : keys)
            spare[counts[(key >> shift) & kDigitMask]++] = key;
        keys.swap(spare);
    }
    return keys;
}

std::vector<quint32> indexesOf(const std::vector<quint64>& pairs)
{
    std::vector<quint32> order;
    order.reserve(pairs.size());
    for (const quint64 pair : pairs)
        order.push_back(quint32(pair));
    return order;
}

bool fitsIndexes(size_t n)
{
    return n <= std::numeric_limits<quint32>::max();
}
} // namespace

bool SPSNumberedTable::UniqueOrder(const std::vector<qint32>& numbers, std::vector<quint32>* order)
{
    order->clear();
    if (!fitsIndexes(numbers.size()))
        return false;
    const std::vector<quint64> pairs = sortedPairs(numbers);
    for (size_t i = 1; i < pairs.size(); ++i)
        if (pairs[i] >> 32 == pairs[i - 1] >> 32)
            return false;
    *order = indexesOf(pairs);
    return true;
}

std::vector<SPSPointGeometry> SPSNumberedTable::Ordered(const std::vector<SPSPointGeometry>& points,
                                                        const std::vector<quint32>& order)
{
    // Gathered into a copy: the reads are independent of each other, where
    // following the permutation's cycles in place would wait on each miss.
    std::vector<SPSPointGeometry> ordered;
    ordered.reserve(order.size());
    for (const quint32 from : order)
        ordered.push_back(points[from]);
    return ordered;
}

void SPSNumberedTable::Sort()
{
    if (m_bSorted)
        return;
    m_bSorted = true;
    if (fitsIndexes(m_Rows.size())) {
        std::vector<qint32> numbers;
        numbers.reserve(m_Rows.size());
        for (const SPSPointGeometry& point : m_Rows)
            numbers.push_back(point.m_nNumber);
        const std::vector<quint32> order = indexesOf(sortedPairs(numbers));
        numbers = std::vector<qint32>();
        m_Rows = Ordered(m_Rows, order);
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
