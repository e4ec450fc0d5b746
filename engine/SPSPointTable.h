#pragma once

#include "SPSAddThenSort.h"
#include "SPSPointRecord.h"

#include "SPSText.h"
#include <QString>

#include <optional>
#include <vector>

namespace SPSPointTableDetail {
struct Row
{
    qint64 keyOffset = 0; // in the narrow or the wide keys
    qint32 keyLength = 0; // in characters
    qint32 lineLength = 0;
    qint32 number = 0; // PointNumberFromText of the point text, taken while it is at hand
    bool wide = false;
    float depth = 0;
    double x = 0;
    double y = 0;
    double elevation = 0;
};
} // namespace SPSPointTableDetail

// The points of one file by their key text: line name, "_", point text.
// Points are added as they come; Sort then puts them in QString::operator<
// order of their keys (UTF-16 code units, not locale-aware), the order the
// numbering relies on, keeping of each key the point added last. Keys are
// stored as Latin-1 bytes where they can be, as UTF-16 otherwise.
class SPSPointTable : public SPSAddThenSort<SPSPointTableDetail::Row>
{
public:
    static QString Key(const QString& lineName, const QString& pointText);

    // Adds a point under its key (texts trimmed).
    void Add(SPSText lineName, SPSText pointText, float depth, double x, double y,
             double elevation);
    void Add(const SPSPointRecord& point)
    {
        Add(point.m_strLineName, point.m_strPointText, point.m_fDepth, point.m_dX, point.m_dY,
            point.m_dElevation);
    }
    // Sorts the points added since the last Sort; the rest need it done.
    void Sort();
    void Clear();
    void Reserve(qsizetype rows)
    {
        SPSAddThenSort::Reserve(rows);
        m_Narrow.reserve(size_t(rows) * 16);
    }

    // After Sort: the point stored under the key, if any.
    std::optional<SPSPointRecord> Find(const QString& key) const;
    // After Sort: the points in key order, by index (0 to Count() - 1).
    qint32 PointNumberAt(qsizetype index) const { return Entry(index).number; }
    QString KeyAt(qsizetype index) const;
    SPSPointRecord RecordAt(qsizetype index) const;

    // Whether the points are in key order, one per key.
    bool IsSorted() const { return m_bSorted; }
    // Calls visit(number, depth, x, y, elevation) for every point, number being
    // PointNumberFromText of its point text: in key order after Sort, else in
    // the order added.
    template <typename Visit> void ForEachNumber(Visit&& visit) const
    {
        for (const Row& row : m_Rows)
            visit(row.number, row.depth, row.x, row.y, row.elevation);
    }
    // After Sort: calls visit(key, point) for every point in key order.
    template <typename Visit> void ForEach(Visit&& visit) const
    {
        for (qsizetype i = 0, n = Count(); i < n; ++i)
            visit(KeyAt(i), RecordAt(i));
    }

private:
    using Row = SPSPointTableDetail::Row;

    const Row& Entry(qsizetype index) const
    {
        Q_ASSERT(m_bSorted);
        return m_Rows[size_t(index)];
    }
    int Compare(const Row& a, const Row& b) const;
    QString Text(const Row& row, qsizetype from, qsizetype length) const;

    std::vector<char> m_Narrow;   // Latin-1 keys
    std::vector<char16_t> m_Wide; // other keys, UTF-16
};
