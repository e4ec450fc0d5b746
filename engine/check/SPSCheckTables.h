#pragma once

#include "SPSEngineExport.h"

#include "SPSCheckFinding.h"
#include "SPSCheckNumber.h"

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringView>
#include <QUtf8StringView>

#include <cmath>
#include <vector>

// What the survey check reads from the files, held as tables that the point and
// relation checks work on, and the findings those checks make. The reading
// fills the tables; a test may fill them by hand.

// The lines one table names, one id for each, counted from 0 in the order the
// lines are first named. Names that read as the same number are one line
// ("2001" in an X row, "2001.00" in the R file), so that lines match across
// files whatever their notation; a line keeps the name it is first given.
class SPS_ENGINE_EXPORT SPSCheckLines
{
public:
    // The id of the line so named, added when it is new.
    qint32 Id(const QString& name);
    // The id of the line so named, or -1 when the table has none.
    qint32 Find(const QString& name) const;
    qint32 Count() const { return qint32(m_Lines.size()); }
    const QString& Name(qint32 id) const { return m_Lines[size_t(id)].name; }
    // PointNumberFromText of the name.
    qint32 Number(qint32 id) const { return m_Lines[size_t(id)].number; }
    // Gives each line the name first names it, or else second, when either
    // has it: as if those had named their lines first.
    void TakeNames(const SPSCheckLines& first, const SPSCheckLines& second);

private:
    static QString Key(const QString& name);

    struct Line
    {
        QString name;
        qint32 number = 0;
    };
    std::vector<Line> m_Lines;
    QHash<QString, qint32> m_Keys; // Key of the name: id
};

// The numbers of one table that a code does not hold.
class SPS_ENGINE_EXPORT SPSCheckNumbers
{
public:
    // Inline: a survey's reading codes millions of numbers.
    SPSCheckNumber Add(double value)
    {
        // Below 2^29 of its unit a count fits 30 bits with its sign. The first
        // unit that holds the value exactly: one value, one code. A negative
        // zero is kept, as a count would lose its sign; NaN and infinities
        // fail the first comparison.
        constexpr double kLimit = double(1 << 29);
        if (!(std::fabs(value) < kLimit) || (value == 0 && std::signbit(value)))
            return Keep(value);
        const qint32 whole = qint32(value);
        if (double(whole) == value)
            return {quint32(whole) << 2 | SPSCheckNumber::kWhole};
        for (const quint32 unit : {SPSCheckNumber::kTenths, SPSCheckNumber::kHundredths}) {
            const double scale = unit == SPSCheckNumber::kTenths ? 10 : 100;
            const double scaled = value * scale;
            if (!(std::fabs(scaled) < kLimit))
                break;
            const qint32 count = qint32(scaled + (scaled < 0 ? -0.5 : 0.5));
            if (double(count) / scale == value)
                return {quint32(count) << 2 | unit};
        }
        return Keep(value);
    }
    double Value(SPSCheckNumber n) const
    {
        return (n.code & 3u) == SPSCheckNumber::kKept ? m_Kept[n.code >> 2] : n.Value();
    }

private:
    // Kept whole, for any number that Add finds no unit for.
    SPSCheckNumber Keep(double value);

    SPSLargeVector<double> m_Kept;
};

// One record row of an S or R file, held in 32 bytes: a survey has millions.
// Its numbers are codes of the table's numbers (SPSCheckPointTable::Value).
struct SPSCheckPoint
{
    static constexpr qsizetype kMaxText = (qsizetype(1) << 14) - 1;

    qint64 row : 36;    // counted from 1, header rows included
    quint64 index : 7;  // the point index, an ASCII character; 0 when none
    bool numeric : 1;   // the point text is a number
    bool hasXY : 1;     // both coordinates are numbers
    bool nonFinite : 1; // a coordinate reads as NaN or infinity, which the load keeps
    // The point field's text in the table's texts, at most kMaxText bytes;
    // its point number (PointNumberFromText) is made from it when needed.
    quint64 textLength : 14;
    // The text is the value written with so many decimals ("2001", "-12.50"),
    // and the table keeps no copy of it: millions of points are so written.
    bool spelled : 1;
    quint64 decimals : 2;
    quint32 textOffset = 0;
    qint32 line = 0;      // id in the table's lines
    SPSCheckNumber value; // the point text as a number
    SPSCheckNumber x;     // the coordinates as the load reads them: 0 when not a number
    SPSCheckNumber y;
    qint32 number = 0; // the number the load gives it, factors applied

    SPSCheckPoint()
        : row(0), index(0), numeric(false), hasXY(false), nonFinite(false), textLength(0),
          spelled(false), decimals(0)
    {
    }
};
static_assert(sizeof(SPSCheckPoint) <= 32, "a point is held in 32 bytes");

// The points of one file in file order, their lines and their texts.
struct SPS_ENGINE_EXPORT SPSCheckPointTable
{
    SPSCheckLines lines;
    SPSLargeVector<SPSCheckPoint> points;
    SPSLargeVector<char> texts; // the point texts, UTF-8, end to end
    SPSCheckNumbers numbers;    // what the points' codes do not hold

    // The code of a number of a point about to be added, and a point's number.
    SPSCheckNumber Code(double value) { return numbers.Add(value); }
    double Value(SPSCheckNumber n) const { return numbers.Value(n); }
    // Appends the point with its text, which sets textOffset and textLength,
    // or spelled when the value writes the text; digits: the text is 1 to 9
    // digits alone, the point's value their number.
    SPSCheckPoint& Add(const SPSCheckPoint& point, const char* utf8, qsizetype size,
                       bool digits = false);
    using Spelling = SPSCheckNumber::Spelling;
    // The point text as UTF-8, in the table's texts or spelled into room.
    QByteArrayView TextBytes(const SPSCheckPoint& point, Spelling& room) const;
    QString PointText(const SPSCheckPoint& point) const
    {
        Spelling room;
        const QByteArrayView text = TextBytes(point, room);
        return QString::fromUtf8(text.data(), text.size());
    }
    // PointNumberFromText of the point text.
    qint32 PointNumber(const SPSCheckPoint& point) const;
    // Three-way comparison of the texts of two points, byte by byte.
    int CompareTexts(const SPSCheckPoint& a, const SPSCheckPoint& b) const;
};

// One X row that names its source point and receiver range as numbers, held
// in 48 bytes: a relation file may have millions of rows. Its numbers are
// codes of the table's numbers (SPSCheckRelationTable::Value).
struct SPSCheckRelation
{
    qint64 row : 36; // counted from 1
    // Its texts stand end to end in the table's texts from textOffset, UTF-8:
    // the tape number, which counts the record number's wraps and may be
    // blank; the field record; the source point. Their lengths in bytes.
    quint64 tapeLength : 8;
    quint64 recordLength : 10;
    quint64 sourcePointLength : 10;
    qint64 textOffset : 40;
    // The source point's text is sourcePoint written with so many decimals,
    // and not among the texts (SPSCheckNumber::Spell).
    quint64 sourceSpelled : 1;
    quint64 sourceDecimals : 2;
    qint32 sourceLine = 0; // ids in the table's lines
    qint32 receiverLine = 0;
    SPSCheckNumber sourcePoint;
    SPSCheckNumber firstChannel, lastChannel;
    SPSCheckNumber increment = SPSCheckNumber::Whole(1); // at least 1
    SPSCheckNumber firstReceiver, lastReceiver;

    SPSCheckRelation()
        : row(0), tapeLength(0), recordLength(0), sourcePointLength(0), textOffset(0),
          sourceSpelled(0), sourceDecimals(0)
    {
    }
};
static_assert(sizeof(SPSCheckRelation) <= 48, "a relation row is held in 48 bytes");

// The usable X rows of a relation file in file order.
struct SPS_ENGINE_EXPORT SPSCheckRelationTable
{
    // Lines of the source and receiver fields. The reading names them first as
    // the S file, then as the R file names them, so that findings do too.
    SPSCheckLines lines;
    SPSLargeVector<SPSCheckRelation> rows;
    SPSLargeVector<char> texts; // as the rows hold them, UTF-8, end to end
    SPSCheckNumbers numbers;    // what the rows' codes do not hold

    // Appends the row with its texts (UTF-8), which sets their offsets and
    // lengths; sourceDigits: the source point is 1 to 9 digits alone, the
    // row's sourcePoint their number.
    SPSCheckRelation& Add(const SPSCheckRelation& row, QUtf8StringView tape, QUtf8StringView record,
                          QUtf8StringView sourcePoint, bool sourceDigits = false);
    SPSCheckRelation& Add(const SPSCheckRelation& row, QStringView tape, QStringView record,
                          QStringView sourcePoint);
    // The code of a number of a row about to be added, and a row's number.
    SPSCheckNumber Code(double value) { return numbers.Add(value); }
    double Value(SPSCheckNumber n) const { return numbers.Value(n); }
    QUtf8StringView Tape(const SPSCheckRelation& r) const
    {
        return Text(r.textOffset, qint32(r.tapeLength));
    }
    QUtf8StringView Record(const SPSCheckRelation& r) const
    {
        return Text(r.textOffset + qint64(r.tapeLength), qint32(r.recordLength));
    }
    // Among the texts or spelled into room.
    QUtf8StringView SourcePoint(const SPSCheckRelation& r, SPSCheckNumber::Spelling& room) const
    {
        if (r.sourceSpelled) {
            const QByteArrayView spelled = r.sourcePoint.Spell(int(r.sourceDecimals), room);
            return QUtf8StringView(spelled.data(), spelled.size());
        }
        return Text(r.textOffset + qint64(r.tapeLength) + qint64(r.recordLength),
                    qint32(r.sourcePointLength));
    }

private:
    QUtf8StringView Text(qint64 offset, qint32 length) const
    {
        return QUtf8StringView(texts.data() + offset, length);
    }
};

// The findings of one file as the checks make them: by kind, each kind in the
// order made, with the texts they name.
class SPS_ENGINE_EXPORT SPSCheckFindings
{
public:
    using Kind = SPSCheckFinding::Kind;

    // file: the path as given; letter: 'S', 'R' or 'X'.
    SPSCheckFindings(const QString& file, QChar letter);

    // A finding whose message is kept whole.
    SPSCheckFinding& Add(qint64 row, Kind kind, const QString& message);
    // About the point: with its line, text, index and coordinates; the
    // message is kept whole unless it is null, when the kind's numbers make it.
    SPSCheckFinding& Add(qint64 row, Kind kind, const QString& message,
                         const SPSCheckPointTable& table, const SPSCheckPoint& point);
    // About the point, the message made from the kind's numbers.
    SPSCheckFinding& Add(qint64 row, Kind kind, const SPSCheckPointTable& table,
                         const SPSCheckPoint& point)
    {
        return Add(row, kind, QString(), table, point);
    }
    // Names the line (id in lines) and the point text of a finding not made
    // from a point of a table.
    void Name(SPSCheckFinding& f, const SPSCheckLines& lines, qint32 line, QStringView point);
    void Name(SPSCheckFinding& f, const SPSCheckLines& lines, qint32 line, QUtf8StringView point);
    void Name(SPSCheckFinding& f, const QString& line, QStringView point);
    // The row's source line and point.
    void NameSource(SPSCheckFinding& f, const SPSCheckRelationTable& relations,
                    const SPSCheckRelation& r);
    // RelationSourceMissing: the field record's text.
    void SetRecord(SPSCheckFinding& f, QUtf8StringView record)
    {
        f.text = m_Parts.AddText(record.data(), record.size());
    }
    // ShortRow: the layout's furthest field, already translated, and its end.
    void SetFurthestField(const QString& name, qint64 end);
    // Adds to a message kept whole.
    void AppendToMessage(SPSCheckFinding& f, const QString& more);
    QString Message(const SPSCheckFinding& f) const { return m_Parts.Message(f); }
    // Room for this many findings more of the kind, with texts of so many
    // bytes each on average.
    void Reserve(Kind kind, size_t count, size_t textBytes)
    {
        m_Kinds[kind].reserve(m_Kinds[kind].size() + count);
        m_Parts.ReserveTexts(count * textBytes);
    }

    SPSLargeVector<SPSCheckFinding>& OfKind(Kind kind) { return m_Kinds[kind]; }
    const SPSLargeVector<SPSCheckFinding>& OfKind(Kind kind) const { return m_Kinds[kind]; }
    qsizetype Count() const;
    // Moves them to the end of list, by kind as KindName lists them, then by
    // row, with their texts; this is then empty.
    void MoveTo(SPSCheckFindingList& list);

private:
    qint32 LineId(const QString& name);

    SPSCheckFindingList m_Parts; // the file, line names and texts
    SPSLargeVector<SPSCheckFinding> m_Kinds[SPSCheckFinding::KindCount];
    QHash<QString, qint32> m_LineIds; // names: id in m_Parts
    // Ids in m_Parts of the lines of the table last named, by their ids there.
    const SPSCheckLines* m_pCachedLines = nullptr;
    std::vector<qint32> m_CachedIds;
};
