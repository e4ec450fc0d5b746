#include "SPSNumberedTable.h"

#include <algorithm>

void SPSNumberedTable::Insert(const SPSPointGeometry& point)
{
    if (m_bSettled && !m_Points.empty() && m_Points.back().m_nNumber >= point.m_nNumber)
        m_bSettled = false;
    m_Points.push_back(point);
}

void SPSNumberedTable::Clear()
{
    m_Points.clear();
    m_bSettled = true;
}

qsizetype SPSNumberedTable::Count() const
{
    Settle();
    return qsizetype(m_Points.size());
}

void SPSNumberedTable::Settle() const
{
    if (m_bSettled)
        return;
    m_bSettled = true;
    // Stable: of the points with one number, the last inserted stays last.
    std::stable_sort(m_Points.begin(), m_Points.end(),
                     [](const SPSPointGeometry& a, const SPSPointGeometry& b) {
                         return a.m_nNumber < b.m_nNumber;
                     });
    const auto last = std::unique(m_Points.rbegin(), m_Points.rend(),
                                  [](const SPSPointGeometry& a, const SPSPointGeometry& b) {
                                      return a.m_nNumber == b.m_nNumber;
                                  });
    m_Points.erase(m_Points.begin(), last.base());
}

const SPSPointGeometry* SPSNumberedTable::Find(qint32 number) const
{
    Settle();
    const auto it =
        std::lower_bound(m_Points.begin(), m_Points.end(), number,
                         [](const SPSPointGeometry& p, qint32 n) { return p.m_nNumber < n; });
    return it != m_Points.end() && it->m_nNumber == number ? &*it : nullptr;
}
