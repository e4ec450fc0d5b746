#pragma once

#include "SPSLargeTables.h"

#include <QtGlobal>

#include <vector>

// What the point tables share: rows are appended as they come, noting whether
// they still arrive in strictly ascending key order (the usual case, which
// then needs no sorting), and after a sort the last row added of each key is
// the one kept.
template <typename Row> class SPSAddThenSort
{
public:
    qsizetype Count() const { return qsizetype(m_Rows.size()); }
    bool IsEmpty() const { return m_Rows.empty(); }
    void Reserve(qsizetype rows) { m_Rows.reserve(size_t(rows)); }

protected:
    // less(a, b): a's key sorts before b's.
    template <typename Less> void Append(const Row& row, Less less)
    {
        if (m_bSorted && !m_Rows.empty() && !less(m_Rows.back(), row))
            m_bSorted = false;
        m_Rows.push_back(row);
    }
    void ClearRows()
    {
        m_Rows.clear();
        m_bSorted = true;
    }

    // Of the sorted rows, with rows of one key in the order they were added,
    // keeps the last of each key: same(a, b) says two neighbours share a key.
    template <typename Rows, typename Same> static void KeepLastOfEach(Rows& rows, Same same)
    {
        size_t kept = 0;
        for (size_t i = 0; i < rows.size(); ++i)
            if (i + 1 == rows.size() || !same(rows[i], rows[i + 1]))
                rows[kept++] = rows[i];
        rows.resize(kept);
    }

    SPSLargeVector<Row> m_Rows;
    bool m_bSorted = true; // ascending, one row per key
};
