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
} // namespace

void SPSNumberedTable::Sort()
{
    if (m_bSorted)
        return;
    m_bSorted = true;
    const size_t n = m_Rows.size();
    if (n > std::numeric_limits<quint32>::max()) {
        // Stable: of the points with one number, the last added stays last.
        std::stable_sort(m_Rows.begin(), m_Rows.end(),
                         [](const SPSPointGeometry& a, const SPSPointGeometry& b) {
                             return a.m_nNumber < b.m_nNumber;
                         });
    } else {
        // A radix sort of (number, index) pairs: each pass is stable, so of the
        // points with one number the last added stays last, and a shuffled
        // file costs a few passes over 8-byte pairs instead of comparisons of
        // whole points. The sign bit is flipped so that unsigned order is
        // signed order.
        std::vector<quint64> keys(n);
        for (size_t i = 0; i < n; ++i)
            keys[i] = quint64(quint32(m_Rows[i].m_nNumber) ^ 0x80000000u) << 32 | quint64(i);
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
        spare = std::vector<quint64>();
        std::vector<SPSPointGeometry> sorted;
        sorted.reserve(n);
        for (const quint64 key : keys)
            sorted.push_back(m_Rows[size_t(key & 0xFFFFFFFFu)]);
        m_Rows = std::move(sorted);
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
