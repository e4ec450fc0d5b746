#pragma once

#include "SPSPointGeometry.h"

#include <map>

// Shots or receivers by point number, visited in ascending number. A point
// with a number already present replaces the one stored.
class SPSNumberedTable
{
public:
    void Insert(const SPSPointGeometry& point) { m_Points[point.m_nNumber] = point; }

    // The point with this number, or null.
    const SPSPointGeometry* Find(qint32 number) const;

    qsizetype Count() const { return qsizetype(m_Points.size()); }
    bool IsEmpty() const { return m_Points.empty(); }
    void Clear() { m_Points.clear(); }

    // Calls visit(point) for every point in ascending number.
    template <typename Visit> void ForEach(Visit&& visit) const
    {
        for (const auto& entry : m_Points)
            visit(entry.second);
    }

private:
    std::map<qint32, SPSPointGeometry> m_Points;
};
