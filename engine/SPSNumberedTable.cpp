#include "SPSNumberedTable.h"

#include <algorithm>

void SPSNumberedTable::Sort()
{
    if (m_bSorted)
        return;
    m_bSorted = true;
    // Stable: of the points with one number, the last added stays last.
    std::stable_sort(m_Rows.begin(), m_Rows.end(),
                     [](const SPSPointGeometry& a, const SPSPointGeometry& b) {
                         return a.m_nNumber < b.m_nNumber;
                     });
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
