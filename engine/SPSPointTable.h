#pragma once

#include "SPSPointRecord.h"

#include <QLatin1StringView>
#include <QString>

#include <optional>
#include <vector>

// The points of one file by their key text: line name, "_", point text.
// Keys are visited in QString::operator< order (UTF-16 code units, not
// locale-aware), which is the order the numbering relies on. A later point
// with the same key replaces the earlier one, field for field.
//
// Held flat: rows are appended as they come, and the first look at the table
// sorts them once (nothing to do when the file was in key order) and keeps
// the last row of each key. Keys are stored as Latin-1 bytes where they can
// be, as UTF-16 otherwise. Not for use from two threads at once.
class SPSPointTable
{
public:
    static QString Key(const QString& lineName, const QString& pointText);

    // Inserts the point under its key, or overwrites the point already there.
    void Insert(const SPSPointRecord& point);
    // The same for a row whose texts are plain ASCII (already trimmed).
    void InsertPlain(QLatin1StringView lineName, QLatin1StringView pointText, float depth, double x,
                     double y, double elevation);

    // The point stored under the key, if any.
    std::optional<SPSPointRecord> Find(const QString& key) const;

    qsizetype Count() const;
    bool IsEmpty() const { return m_Entries.empty(); }
    void Clear();
    // Room for this many rows with keys of a usual length.
    void Reserve(qsizetype rows)
    {
        m_Entries.reserve(size_t(rows));
        m_Narrow.reserve(size_t(rows) * 16);
    }

    // The points in key order, by index (0 to Count() - 1).
    qint32 PointNumberAt(qsizetype index) const { return Entry(index).number; }
    float DepthAt(qsizetype index) const { return Entry(index).depth; }
    double XAt(qsizetype index) const { return Entry(index).x; }
    double YAt(qsizetype index) const { return Entry(index).y; }
    double ElevationAt(qsizetype index) const { return Entry(index).elevation; }
    QString KeyAt(qsizetype index) const;
    SPSPointRecord RecordAt(qsizetype index) const;

    // Calls visit(number, depth, x, y, elevation) for every point in key order,
    // number being PointNumberFromText of its point text; cheaper than ForEach.
    template <typename Visit> void ForEachNumber(Visit&& visit) const
    {
        Settle();
        for (const Row& row : m_Entries)
            visit(row.number, row.depth, row.x, row.y, row.elevation);
    }

    // Calls visit(key, point) for every point in key order.
    template <typename Visit> void ForEach(Visit&& visit) const
    {
        for (qsizetype i = 0, n = Count(); i < n; ++i)
            visit(KeyAt(i), RecordAt(i));
    }

private:
    struct Row
    {
        qint64 keyOffset = 0; // in m_Narrow or m_Wide
        qint32 keyLength = 0; // in characters
        qint32 lineLength = 0;
        qint32 number = 0; // PointNumberFromText of the point text, taken while it is at hand
        bool wide = false;
        float depth = 0;
        double x = 0;
        double y = 0;
        double elevation = 0;
    };

    const Row& Entry(qsizetype index) const
    {
        Settle();
        return m_Entries[size_t(index)];
    }
    void Append(const Row& row);
    void Settle() const;
    int Compare(const Row& a, const Row& b) const;
    QString Text(const Row& row, qsizetype from, qsizetype length) const;

    mutable std::vector<Row> m_Entries;
    mutable bool m_bSettled = true; // sorted, one row per key
    std::vector<char> m_Narrow;     // Latin-1 keys
    std::vector<char16_t> m_Wide;   // other keys, UTF-16
};
