#pragma once

#include "SPSPointRecord.h"

#include <QMap>
#include <QString>

// The points of one file by their key text: line name, "_", point text.
// Keys are visited in QString::operator< order (UTF-16 code units, not
// locale-aware), which is the order the numbering relies on. A later point
// with the same key replaces the earlier one, field for field.
class SPSPointTable
{
public:
    static QString Key(const QString& lineName, const QString& pointText);

    // Inserts the point under its key, or overwrites the point already there.
    void Insert(const SPSPointRecord& point);

    // The point stored under the key, or null.
    const SPSPointRecord* Find(const QString& key) const;

    qsizetype Count() const { return m_Points.size(); }
    bool IsEmpty() const { return m_Points.isEmpty(); }
    void Clear() { m_Points.clear(); }

    // Calls visit(key, point) for every point in key order.
    template <typename Visit> void ForEach(Visit&& visit) const
    {
        for (auto it = m_Points.cbegin(), end = m_Points.cend(); it != end; ++it)
            visit(it.key(), it.value());
    }

private:
    QMap<QString, SPSPointRecord> m_Points;
};
