#include "SPSCheckReading.h"

#include "SPSCheckWording.h"
#include "SPSLayout.h"
#include "SPSLayoutPresets.h"
#include "SPSNumberingFit.h"
#include "SPSNumbers.h"
#include "SPSRowReader.h"
#include "VeTaskSPSFilesLoaderParam.h"

#include <QByteArray>
#include <QFile>
#include <QHash>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace SPSCheckReading {

namespace {
using Kind = SPSCheckFinding::Kind;

// Rows between looks at the stop flag: whoever drops a check that reads
// ahead waits for its reading to see the flag, on the UI thread as well.
constexpr qint64 kRowsBetweenLooks = 4096;

// The field as bytes: Latin-1 for plain rows, UTF-8 otherwise.
struct Field
{
    const char* data = nullptr;
    qsizetype size = 0;
    bool isEmpty() const { return size == 0; }
    QString text(bool utf8) const
    {
        return utf8 ? QString::fromUtf8(data, size) : QString::fromLatin1(data, size);
    }
};

// As the load's conversion reads it, but saying whether it is a number.
// "nan" and "inf" convert, but they name no place and no station, and they
// have no order to sort by: not numbers here.
bool parseNumber(Field f, bool utf8, double* value)
{
    if (f.size == 0)
        return false;
    // The usual short decimal, inline; it is always finite.
    if (!utf8 && ShortPaddedDecimal(f.data, f.size, value))
        return true;
    const bool ok = utf8 ? RealFromText(f.text(true), value)
                         : RealFromText(QLatin1StringView(f.data, f.size), value);
    if (ok && !std::isfinite(*value)) {
        *value = 0;
        return false;
    }
    return ok;
}

// NaN or an infinity: what the load's conversion makes of "nan" and "inf".
bool isNonFinite(Field f, bool utf8)
{
    double v = 0;
    const bool ok =
        utf8 ? RealFromText(f.text(true), &v) : RealFromText(QLatin1StringView(f.data, f.size), &v);
    return ok && !std::isfinite(v);
}

// Its message is the kind's alone.
void addNotARecord(SPSCheckFindings& findings, qint64 row)
{
    SPSCheckFinding& f = findings.OfKind(Kind::NotARecord).emplace_back();
    f.row = row;
    f.kind = Kind::NotARecord;
}

} // namespace

// The line ids of a table's rows, found by the field's bytes: rows come line
// by line, and a file writes a line's name the same way throughout.
class LineCache
{
public:
    explicit LineCache(SPSCheckLines& lines) : m_Lines(lines) {}

    // The id of the line the field names, with the number of its text as
    // written here; slot: which of a row's line fields (each remembers its
    // last line).
    qint32 Id(Field text, bool utf8, qint32* lineNumber, int slot = 0)
    {
        Last& last = m_Last[slot];
        if (last.id >= 0 && last.size == text.size &&
            (text.size == 0 || std::memcmp(last.text, text.data, size_t(text.size)) == 0)) {
            *lineNumber = last.number;
            return last.id;
        }
        // The lines of X rows may change every row. A name of digits alone
        // names the line of its number, however many zeros lead it: such
        // lines are found by that number among those named lately.
        qint32 digits = -1;
        Recent* recent = nullptr;
        if (!utf8 && ShortPointNumber(text.data, text.size, &digits)) {
            recent = &m_Recent[size_t(digits) % kRecent];
            if (recent->digits != digits)
                recent = nullptr;
        }
        std::pair<qint32, qint32> found;
        if (recent) {
            found = {recent->id, recent->number};
        } else {
            // Looked up without a copy.
            auto it = m_Raw.constFind(QByteArray::fromRawData(text.data, text.size));
            if (it == m_Raw.constEnd()) {
                const QString name = text.text(utf8);
                it = m_Raw.insert(QByteArray(text.data, text.size),
                                  {m_Lines.Id(name), PointNumberFromText(name)});
            }
            found = *it;
            if (digits >= 0)
                m_Recent[size_t(digits) % kRecent] = {digits, found.first, found.second};
        }
        // A longer name is looked up each time.
        last.id = text.size <= qsizetype(sizeof(last.text)) ? found.first : -1;
        last.size = text.size;
        if (last.id >= 0 && text.size > 0)
            std::memcpy(last.text, text.data, size_t(text.size));
        last.number = found.second;
        *lineNumber = found.second;
        return found.first;
    }

private:
    struct Last
    {
        char text[32];
        qsizetype size = 0;
        qint32 id = -1; // -1: none to compare with
        qint32 number = 0;
    };
    struct Recent
    {
        qint32 digits = -1; // the name's number; -1: none yet
        qint32 id = 0;
        qint32 number = 0;
    };
    static constexpr size_t kRecent = 4096;
    SPSCheckLines& m_Lines;
    QHash<QByteArray, std::pair<qint32, qint32>> m_Raw; // text: id, number
    Last m_Last[2];
    std::vector<Recent> m_Recent = std::vector<Recent>(kRecent); // by number, modulo kRecent
};

PointRows::PointRows(const VeTaskSPSFilesLoaderParam& param, QChar letter,
                     const SPSNumberingSettings& numbering, SPSCheckPointTable& table,
                     SPSCheckFindings& findings)
    : m_Table(table), m_Findings(findings), m_pLineCache(std::make_unique<LineCache>(table.lines))
{
    using SPSLayout::Column;
    m_Kind = letter == u'S' ? SPSLayout::File::Source : SPSLayout::File::Receiver;
    const auto column = [&](Column c) { return SPSLayout::ColumnOf(param, m_Kind, c); };
    m_LineSpan = column(Column::Line);
    m_PointSpan = column(Column::Point);
    m_XSpan = column(Column::X);
    m_YSpan = column(Column::Y);
    m_nIndexColumn =
        SPSLayoutPresets::PointIndexColumn(SPSLayoutPresets::PointColumnsRevision(param, letter));
    m_nFactor = m_Kind == SPSLayout::File::Source ? numbering.ShotNumberFactor
                                                  : numbering.ReceiverNumberFactor;
    m_nLineFactor = numbering.LineFactor;
    // The fields that hold numbers, and the depth where the rows have one.
    m_Numeric = {{m_XSpan, QT_TRANSLATE_NOOP("SPSSurveyCheck", "easting")},
                 {m_YSpan, QT_TRANSLATE_NOOP("SPSSurveyCheck", "northing")},
                 {column(Column::Elevation), QT_TRANSLATE_NOOP("SPSSurveyCheck", "elevation")}};
    m_NumericLoaded = {&SPSLoadedRow::x, &SPSLoadedRow::y, &SPSLoadedRow::elevation};
    if (const SPSLayout::Span depth = column(Column::Depth); depth.found) {
        m_Numeric.push_back({depth, QT_TRANSLATE_NOOP("SPSSurveyCheck", "depth")});
        m_NumericLoaded.push_back(&SPSLoadedRow::depth);
    }
    // The furthest field: a row must reach its end.
    m_nFurthestEnd = qint64(m_LineSpan.pos) + m_LineSpan.len;
    m_pFurthestName = QT_TRANSLATE_NOOP("SPSSurveyCheck", "line");
    auto further = [&](SPSLayout::Span span, const char* name) {
        if (qint64(span.pos) + span.len > m_nFurthestEnd) {
            m_nFurthestEnd = qint64(span.pos) + span.len;
            m_pFurthestName = name;
        }
    };
    further(m_PointSpan, QT_TRANSLATE_NOOP("SPSSurveyCheck", "point"));
    for (const Named& n : m_Numeric)
        further(n.span, n.name);
    m_Findings.SetFurthestField(SPSCheckTranslated(m_pFurthestName), m_nFurthestEnd);
}

PointRows::~PointRows() = default;

qint64 PointRows::RowLimit() const
{
    return qMax<qint64>(m_nFurthestEnd, m_nIndexColumn + 1);
}

void PointRows::Begin(qint64 fileSize)
{
    m_bBegun = true;
    m_Table.texts.reserve(size_t(qMin<qint64>(fileSize / 8, qint64(1) << 26)));
    m_Table.points.reserve(size_t(qMin<qint64>(fileSize / 82 + 16, qint64(1) << 20)));
}

void PointRows::Take(const SPSRowReader& reader, const SPSLoadedRow* loaded)
{
    const SPSLayout::Span& lineSpan = m_LineSpan;
    const SPSLayout::Span& pointSpan = m_PointSpan;
    const SPSLayout::Span& xSpan = m_XSpan;
    const SPSLayout::Span& ySpan = m_YSpan;
    const std::vector<Named>& numeric = m_Numeric;
    const qint32 indexColumn = m_nIndexColumn;
    const qint32 factor = m_nFactor;
    const qint32 lineFactor = m_nLineFactor;
    const qint64 furthestEnd = m_nFurthestEnd;
    SPSCheckPointTable& table = m_Table;
    SPSCheckFindings& findings = m_Findings;
    LineCache& lines = *m_pLineCache;
    QByteArray* utf8 = m_Utf8;
    // A field keeps its row's form: Latin-1 for a plain ASCII row.
    const bool plain = reader.Field(0, 0).IsLatin1();
    auto field = [&](SPSLayout::Span span, int slot) {
        if (plain) {
            const QLatin1StringView v = reader.Field(span.pos, span.len).Latin1();
            return Field{v.data(), v.size()};
        }
        utf8[slot] = reader.FieldText(span.pos, span.len).toUtf8();
        return Field{utf8[slot].constData(), utf8[slot].size()};
    };
    // A text the load cut from a plain row is the same bytes.
    const auto cutByLoad = [&](const SPSLoadedText& text, SPSLayout::Span span, int slot) {
        if (const SPSText* t = plain && loaded ? text.At(span.pos, span.len) : nullptr;
            t && t->IsLatin1())
            return Field{t->Latin1().data(), t->size()};
        return field(span, slot);
    };
    SPSCheckPoint p;
    p.row = reader.RowNumber();
    const Field pointText = cutByLoad(loaded ? loaded->point : SPSLoadedText(), pointSpan, 1);
    double value = 0, xValue = 0, yValue = 0;
    // Digits alone, the usual point: read once, their number its value.
    qint32 pointNumber = 0;
    const bool digits = plain && ShortPointNumber(pointText.data, pointText.size, &pointNumber);
    p.numeric = digits || parseNumber(pointText, !plain, &value);
    if (digits)
        value = pointNumber;
    // A field the load converted inline is a number, the value its own; only
    // the others are cut and converted here.
    const auto converted = [&](size_t i) {
        const SPSLayout::Span& span = numeric[i].span;
        return loaded && (loaded->*m_NumericLoaded[i]).ConvertedAt(span.pos, span.len);
    };
    const bool xLoaded = converted(0);
    const bool yLoaded = converted(1);
    const Field x = xLoaded ? Field{} : field(xSpan, 3);
    const Field y = yLoaded ? Field{} : field(ySpan, 4);
    if (xLoaded)
        xValue = loaded->x.value;
    if (yLoaded)
        yValue = loaded->y.value;
    const bool xOk = xLoaded || parseNumber(x, !plain, &xValue);
    const bool yOk = yLoaded || parseNumber(y, !plain, &yValue);
    // Prose that happens to start with the record letter: fields sliced
    // from it would only make findings about nothing.
    if (!p.numeric && !xOk && !yOk) {
        addNotARecord(findings, p.row);
        return;
    }
    // What a field that is no number leaves: 0, as the load reads it.
    p.value = table.Code(p.numeric ? value : 0);
    p.x = table.Code(xOk ? xValue : 0);
    p.y = table.Code(yOk ? yValue : 0);
    p.hasXY = xOk && yOk;
    p.nonFinite = (!xOk && isNonFinite(x, !plain)) || (!yOk && isNonFinite(y, !plain));
    qint32 lineNumber = 0;
    p.line = lines.Id(cutByLoad(loaded ? loaded->line : SPSLoadedText(), lineSpan, 0), !plain,
                      &lineNumber);
    if (!digits)
        pointNumber = plain ? PointNumberFromText(QLatin1StringView(pointText.data, pointText.size))
                            : PointNumberFromText(pointText.text(true));
    if (indexColumn >= 0) {
        const Field index = field({indexColumn, 1, true}, 2);
        if (index.size == 1 && uchar(index.data[0]) < 0x80)
            p.index = char16_t(index.data[0]);
    }
    // The load's number: line x line factor + point, then times the factor.
    const qint32 lineFactored = SPSPointNumber(lineNumber, pointNumber, lineFactor, 1);
    p.number = SPSPointNumber(0, lineFactored, 0, factor);
    const SPSCheckPoint& stored = table.Add(p, pointText.data, pointText.size, digits);
    if (lineFactor != 0) {
        SPSNumberingFit fit(lineFactor);
        if (fit.Take(lineNumber, pointNumber))
            findings.Add(p.row, Kind::NumberOverflow,
                         QCoreApplication::translate(
                             "SPSSurveyCheck", "line %1 x line factor %2 + point %3 is %4, beyond "
                                               "32 bits; the load numbers the point %5")
                             .arg(lineNumber)
                             .arg(lineFactor)
                             .arg(pointNumber)
                             .arg(fit.FirstValue())
                             .arg(lineFactored),
                         table, stored);
    }
    if (factor != 0 && factor != 1) {
        SPSNumberingFit fit(factor);
        if (fit.Take(lineFactored, 0))
            findings.Add(p.row, Kind::NumberOverflow,
                         QCoreApplication::translate("SPSSurveyCheck",
                                                     "number %1 x factor %2 is %3, beyond 32 "
                                                     "bits; the load numbers the point %4")
                             .arg(lineFactored)
                             .arg(factor)
                             .arg(fit.FirstValue())
                             .arg(p.number),
                         table, stored);
    }

    if (pointText.isEmpty()) {
        findings.Add(p.row, Kind::BlankPoint, table, stored).a =
            SPSPointNumber(lineNumber, 0, lineFactor, 1);
    } else if (!p.numeric) {
        findings.Add(p.row, Kind::NotANumber,
                     QCoreApplication::translate(
                         "SPSSurveyCheck", "point \"%1\" is not a number; the load numbers it %2")
                         .arg(pointText.text(!plain))
                         .arg(pointNumber),
                     table, stored);
    }
    for (size_t i = 0; i < numeric.size(); ++i) {
        if (i >= 2 && converted(i))
            continue;
        const Field f = i == 0 ? x : i == 1 ? y : field(numeric[i].span, 5);
        double v = 0;
        if (f.isEmpty() || (i < 2 ? (i == 0 ? xOk : yOk) : parseNumber(f, !plain, &v)))
            continue;
        findings.Add(
            p.row, Kind::NotANumber,
            (isNonFinite(f, !plain)
                 ? QCoreApplication::translate("SPSSurveyCheck", "%1 \"%2\" is not a number")
                 : QCoreApplication::translate("SPSSurveyCheck",
                                               "%1 \"%2\" is not a number; the load reads 0"))
                .arg(SPSCheckTranslated(numeric[i].name), f.text(!plain)),
            table, stored);
    }
    if (reader.RowLength() < furthestEnd)
        findings.Add(p.row, Kind::ShortRow, table, stored).a = double(reader.RowLength());
}

bool ReadPoints(QFile& file, const VeTaskSPSFilesLoaderParam& param, QChar letter,
                const SPSNumberingSettings& numbering, SPSCheckPointTable& table,
                SPSCheckFindings& findings, const std::atomic<bool>& stop, const Progress& progress)
{
    const SPSLayout::File kind =
        letter == u'S' ? SPSLayout::File::Source : SPSLayout::File::Receiver;
    PointRows rows(param, letter, numbering, table, findings);
    SPSRowReader reader = SPSRowReader::ForFile(&file, param, kind, letter);
    reader.SetRowLimit(rows.RowLimit());
    rows.Begin(file.size());
    qint64 count = 0;
    while (reader.NextRecord()) {
        if ((++count % kRowsBetweenLooks) == 0) {
            if (stop.load(std::memory_order_relaxed))
                return false;
            if (progress)
                progress(file.pos());
        }
        rows.Row(reader);
    }
    return !stop.load() && !reader.Failed();
}

bool ReadRelations(QFile& file, const VeTaskSPSFilesLoaderParam& param,
                   const SPSCheckPointTable& sources, const SPSCheckPointTable& receivers,
                   SPSCheckRelationTable& table, SPSCheckFindings& findings,
                   const std::atomic<bool>& stop, const Progress& progress, SPSRowObserver* also)
{
    using SPSLayout::Column;
    // Names as the point files give them.
    for (const SPSCheckLines* lines : {&sources.lines, &receivers.lines})
        for (qint32 id = 0; id < lines->Count(); ++id)
            table.lines.Id(lines->Name(id));
    SPSRowReader reader = SPSRowReader::ForFile(&file, param, SPSLayout::File::Relation, u'X');
    const auto column = [&](Column c) {
        return SPSLayout::ColumnOf(param, SPSLayout::File::Relation, c);
    };
    const Named fields[] = {
        {column(Column::RecordNumber), QT_TRANSLATE_NOOP("SPSSurveyCheck", "field record")},
        {column(Column::Line), QT_TRANSLATE_NOOP("SPSSurveyCheck", "source line")},
        {column(Column::Point), QT_TRANSLATE_NOOP("SPSSurveyCheck", "source point")},
        {column(Column::FirstChannel), QT_TRANSLATE_NOOP("SPSSurveyCheck", "first channel")},
        {column(Column::LastChannel), QT_TRANSLATE_NOOP("SPSSurveyCheck", "last channel")},
        {column(Column::ChannelIncrement),
         QT_TRANSLATE_NOOP("SPSSurveyCheck", "channel increment")},
        {column(Column::ReceiverLine), QT_TRANSLATE_NOOP("SPSSurveyCheck", "receiver line")},
        {column(Column::FirstReceiverPoint), QT_TRANSLATE_NOOP("SPSSurveyCheck", "first receiver")},
        {column(Column::LastReceiverPoint), QT_TRANSLATE_NOOP("SPSSurveyCheck", "last receiver")},
    };
    constexpr int kFields = int(std::size(fields));
    // The tape number stands in columns 2-7 of both revisions, before the
    // record number; a layout that reads the record number there has none.
    constexpr qint32 kTapePos = 1, kTapeLen = 6;
    const bool hasTape = fields[0].span.pos >= kTapePos + kTapeLen;
    qint64 furthestEnd = 0;
    const char* furthestName = "";
    for (const Named& n : fields)
        if (qint64(n.span.pos) + n.span.len > furthestEnd) {
            furthestEnd = qint64(n.span.pos) + n.span.len;
            furthestName = n.name;
        }
    reader.SetRowLimit(also ? SPSRowObserver::CombinedLimit(furthestEnd, also->RowLimit())
                            : furthestEnd);
    if (also)
        also->Begin(file.size());
    findings.SetFurthestField(SPSCheckTranslated(furthestName), furthestEnd);
    // Room for a row of every 80 columns, and texts as long as their fields:
    // room never used costs no memory, but growing by copies would.
    const qint64 rowsAtMost = file.size() / 81 + 16;
    table.rows.reserve(size_t(rowsAtMost));
    const auto width = [&](int i) { return qBound(0, fields[i].span.len, 32); };
    table.texts.reserve(size_t(rowsAtMost * (kTapeLen + width(0) + width(2))));

    // Which fields hold numbers, and where the row keeps them.
    SPSCheckNumber SPSCheckRelation::*const numbers[kFields] = {nullptr,
                                                                nullptr,
                                                                &SPSCheckRelation::sourcePoint,
                                                                &SPSCheckRelation::firstChannel,
                                                                &SPSCheckRelation::lastChannel,
                                                                &SPSCheckRelation::increment,
                                                                nullptr,
                                                                &SPSCheckRelation::firstReceiver,
                                                                &SPSCheckRelation::lastReceiver};
    constexpr int kSourcePoint = 2, kIncrement = 5, kFirstReceiver = 7, kLastReceiver = 8;

    LineCache lines(table.lines);
    Field field[kFields];
    QByteArray utf8[kFields + 1];
    qint64 count = 0;
    while (reader.NextRecord()) {
        if ((++count % kRowsBetweenLooks) == 0) {
            if (stop.load(std::memory_order_relaxed))
                return false;
            if (progress)
                progress(file.pos());
        }
        if (also)
            also->Row(reader);
        SPSCheckRelation r;
        r.row = reader.RowNumber();
        // A field keeps its row's form: Latin-1 for a plain ASCII row, whose
        // bytes are its UTF-8 as well.
        const bool plain = reader.Field(0, 0).IsLatin1();
        auto cut = [&](qint32 pos, qint32 len, int slot) {
            if (plain) {
                const QLatin1StringView v = reader.Field(pos, len).Latin1();
                return Field{v.data(), v.size()};
            }
            utf8[slot] = reader.FieldText(pos, len).toUtf8();
            return Field{utf8[slot].constData(), utf8[slot].size()};
        };
        // Each number once: nearly all are the usual short decimal, converted
        // where it stands. The text of such a field is not cut: only the
        // source point's is kept.
        double value[kFields] = {};
        bool isNumber[kFields] = {};
        bool anyNumber = false;
        bool sourceDigits = false; // the source point is digits alone, read once
        for (int i = 0; i < kFields; ++i) {
            const SPSLayout::Span& span = fields[i].span;
            if (numbers[i] && i != kSourcePoint &&
                reader.ShortField(span.pos, span.len, &value[i])) {
                isNumber[i] = true;
                field[i] = Field{};
            } else {
                field[i] = cut(span.pos, span.len, i);
            }
            qint32 digits = 0;
            if (i == kSourcePoint && plain &&
                ShortPointNumber(field[i].data, field[i].size, &digits)) {
                sourceDigits = true;
                isNumber[i] = true;
                value[i] = digits;
            }
            if (numbers[i] && !isNumber[i])
                isNumber[i] = parseNumber(field[i], !plain, &value[i]);
            anyNumber = anyNumber || (isNumber[i] && i != kIncrement);
        }
        if (!anyNumber) {
            addNotARecord(findings, r.row);
            continue;
        }
        auto text = [&](int i) { return field[i].text(!plain); };
        const auto view = [](const Field& f) { return QUtf8StringView(f.data, f.size); };
        qint32 number = 0;
        r.sourceLine = lines.Id(field[1], !plain, &number, 0);
        r.receiverLine = lines.Id(field[6], !plain, &number, 1);
        bool usable = true;
        for (int i = 0; i < kFields; ++i) {
            if (!numbers[i])
                continue;
            if (!isNumber[i] && (!field[i].isEmpty() || i != kIncrement))
                usable = false;
            if (!isNumber[i] && !field[i].isEmpty()) {
                SPSCheckFinding& f = findings.Add(
                    r.row, Kind::NotANumber,
                    QCoreApplication::translate("SPSSurveyCheck", "%1 \"%2\" is not a number")
                        .arg(SPSCheckTranslated(fields[i].name), text(i)));
                // The line as this row writes it.
                findings.Name(f, text(i == 2 ? 1 : 6),
                              i == 2 ? QStringView(text(2)) : QStringView());
            }
        }
        if (reader.RowLength() < furthestEnd) {
            SPSCheckFinding& f = findings.OfKind(Kind::ShortRow).emplace_back();
            f.row = r.row;
            f.kind = Kind::ShortRow;
            f.a = double(reader.RowLength());
            findings.Name(f, text(1), text(2));
        }
        // A blank increment (0) is the usual 1, as is one below 1.
        if (!(value[kIncrement] >= 1))
            value[kIncrement] = 1;
        // Beyond this a range is no receiver spread but a typing error; counting
        // its stations would overflow.
        if (std::fabs(value[kLastReceiver] - value[kFirstReceiver]) / value[kIncrement] > 1e12)
            usable = false;
        if (usable) {
            for (int i = 0; i < kFields; ++i)
                if (numbers[i])
                    r.*numbers[i] = table.Code(value[i]);
            const Field tape = hasTape ? cut(kTapePos, kTapeLen, kFields) : Field{};
            table.Add(r, view(tape), view(field[0]), view(field[kSourcePoint]), sourceDigits);
        }
    }
    return !stop.load() && !reader.Failed();
}

} // namespace SPSCheckReading
