#pragma once

#include "SPSAddThenSort.h"
#include "SPSPointGeometry.h"

#include <QtGlobal>

// Shots or receivers by point number. Points are added as they come; Sort then
// puts them in ascending number, keeping of each number the point added last.
class SPSNumberedTable : public SPSAddThenSort<SPSPointGeometry>
{
public:
    void Add(const SPSPointGeometry& point)
    {
        Append(point, [](const SPSPointGeometry& a, const SPSPointGeometry& b) {
            return a.m_nNumber < b.m_nNumber;
        });
    }
    // Sorts the points added since the last Sort; the rest need it done.
    void Sort();
    void Clear() { ClearRows(); }

    // After Sort: the point with this number, or null (valid until the next Add).
    const SPSPointGeometry* Find(qint32 number) const;

    // After Sort: calls visit(point) for every point in ascending number.
    template <typename Visit> void ForEach(Visit&& visit) const
    {
        Q_ASSERT(m_bSorted);
        for (const SPSPointGeometry& point : m_Rows)
            visit(point);
    }
};
