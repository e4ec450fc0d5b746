#pragma once

#include "SPSPointGeometry.h"

#include <QtGlobal>

#include <vector>

// Shots or receivers by point number, visited in ascending number. A point
// with a number already present replaces the one stored.
//
// Held flat: points are appended, and the first look at the table sorts them
// once (nothing to do when they came in ascending number) and keeps the last
// point of each number. Not for use from two threads at once.
class SPSNumberedTable
{
public:
    void Insert(const SPSPointGeometry& point);

    // The point with this number, or null (valid until the next Insert).
    const SPSPointGeometry* Find(qint32 number) const;

    qsizetype Count() const;
    bool IsEmpty() const { return m_Points.empty(); }
    void Clear();
    void Reserve(qsizetype points) { m_Points.reserve(size_t(points)); }

    // Calls visit(point) for every point in ascending number.
    template <typename Visit> void ForEach(Visit&& visit) const
    {
        Settle();
        for (const SPSPointGeometry& point : m_Points)
            visit(point);
    }

private:
    void Settle() const;

    mutable std::vector<SPSPointGeometry> m_Points;
    mutable bool m_bSettled = true; // ascending, one point per number
};
