#pragma once

#include "SPSEngineExport.h"

#include "SPSAddThenSort.h"
#include "SPSNumberedTable.h"
#include "SPSPointGeometry.h"
#include "SPSPointRecord.h"

#include "SPSText.h"
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace SPSPointTableDetail {
// Where a point's key lies; its values are held apart, so that the numbering
// can take them over whole.
struct Row
{
    quint64 keyOffset : 63; // in the narrow or the wide keys
    quint64 wide : 1;
    qint32 keyLength = 0; // in characters
    qint32 lineLength = 0;
};
} // namespace SPSPointTableDetail

// The points of one file by their key text: line name, "_", point text.
// Points are added as they come; Sort then puts them in QString::operator<
// order of their keys (UTF-16 code units, not locale-aware), the order the
// numbering relies on, keeping of each key the point added last. Keys are
// stored as Latin-1 bytes where they can be, as UTF-16 otherwise.
class SPS_ENGINE_EXPORT SPSPointTable : public SPSAddThenSort<SPSPointTableDetail::Row>
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
        m_Values.reserve(size_t(rows));
        if (size_t(rows) * 16 > m_nNarrowCapacity)
            GrowNarrow(size_t(rows) * 16);
    }
    qsizetype Count() const { return qsizetype(m_Values.size()); }
    bool IsEmpty() const { return m_Values.empty(); }

    // Hands the points over to the numbered table when no two of them share a
    // number: number(point) gives a point's number from its own (the point
    // number of its text), finish(point) scales its values. This table is
    // then empty. False, with both tables as they were, when some points share
    // a number, so that the key order must decide which one stays.
    // asTheyStand: number and finish change no point (no factor, no scalar).
    template <typename Number, typename Finish>
    bool MoveIntoIfUnique(SPSNumberedTable& numbered, Number&& number, Finish&& finish,
                          bool asTheyStand)
    {
        // The keys go before the values are copied into number order.
        if (!numbered.AdoptIfUnique(
                m_Values, number, finish, [this] { ReleaseKeys(); }, asTheyStand, m_bNumbersAscend))
            return false;
        Clear();
        return true;
    }

    // After Sort: the point stored under the key, if any.
    std::optional<SPSPointRecord> Find(const QString& key) const;
    // After Sort: the points in key order, by index (0 to Count() - 1).
    qint32 PointNumberAt(qsizetype index) const
    {
        Q_ASSERT(m_bSorted);
        return m_Values[size_t(index)].m_nNumber;
    }
    QString KeyAt(qsizetype index) const;
    SPSPointRecord RecordAt(qsizetype index) const;

    // Whether the points are in key order, one per key.
    bool IsSorted() const { return m_bSorted; }
    // Calls visit(number, depth, x, y, elevation) for every point, number being
    // PointNumberFromText of its point text: in key order after Sort, else in
    // the order added.
    template <typename Visit> void ForEachNumber(Visit&& visit) const
    {
        for (const SPSPointGeometry& v : m_Values)
            visit(v.m_nNumber, v.m_fDepth, v.m_dX, v.m_dY, v.m_dElevation);
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
    // Room for that many bytes at the end of the key entries.
    char* NarrowSpace(qint32 bytes);
    void GrowNarrow(size_t capacity);
    // The rows of the entries added since the last call, read from the entries.
    void BuildRows();
    void ReleaseKeys();
    QString Text(const Row& row, qsizetype from, qsizetype length) const;

    // One per point, in the order added (after Sort, row by row with m_Rows):
    // the point number of the point text and the values as read.
    SPSLargeVector<SPSPointGeometry> m_Values;
    // The point numbers ascend strictly in the order added.
    bool m_bNumbersAscend = true;
    // The keys as added, one entry each: a plain Latin-1 key as its line
    // name's and point text's lengths (a byte each) and its bytes; any other
    // as kLongKey, a 0 byte, its Row, and its bytes unless they are UTF-16.
    // Rows are read from the entries only when the keys are needed, as most
    // loads never need them. The first m_nNarrow bytes are used.
    static constexpr int kLongKey = 0xFF;
    std::unique_ptr<char[]> m_pNarrow;
    size_t m_nNarrow = 0;
    size_t m_nNarrowCapacity = 0;
    size_t m_nRowsRead = 0;          // the entries read into m_Rows
    SPSLargeVector<char16_t> m_Wide; // UTF-16 keys
};
