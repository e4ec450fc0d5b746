#include "SPSSurveyCheck.h"

#include "SPSFileAccess.h"
#include "SPSLayoutPresets.h"
#include "SPSNumberingFit.h"
#include "SPSNumbers.h"
#include "SPSRevisionDetector.h"
#include "SPSRowReader.h"
#include "VeTaskSPSFilesLoaderParam.h"

#include <QCoreApplication>
#include <QFile>

#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include <algorithm>
#include <cmath>
#include <limits>
#include <thread>

namespace {
// A text held in a variable, marked for the catalogue where it is written.
QString translated(const char* text)
{
    return QCoreApplication::translate("SPSSurveyCheck", text);
}

// A point lies "far off its line" when it is farther than this many median
// spacings of its line from both its neighbours along the line.
constexpr double kOutlierSpacings = 5.0;
// Half the decimetre that SPS coordinates record.
constexpr double kPrecisionLimit = 0.05;

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

QString notARecord()
{
    return QCoreApplication::translate(
        "SPSSurveyCheck",
        "the row does not look like an SPS record: its columns hold no number where the layout "
        "needs one");
}

QString formatNumber(double v)
{
    // Two decimals at most, trailing zeros dropped.
    QString text = QString::number(v, 'f', 2);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    return text;
}

// Single precision of the host's records; beyond the float range: infinity.
double singleChange(double v)
{
    if (!std::isfinite(v) || std::fabs(v) >= double(std::numeric_limits<float>::max()))
        return 0;
    return std::fabs(double(float(v)) - v);
}

struct Line
{
    QString name;
    qint32 number = 0; // PointNumberFromText of the name
};

struct Point
{
    qint64 row = 0;
    qint64 textOffset = 0; // point text in the arena
    qint32 textLength = 0;
    qint32 line = 0;
    qint32 number = 0;      // the number the load gives it
    qint32 pointNumber = 0; // PointNumberFromText of the point text
    char16_t index = 0;
    bool numeric = false;   // the point text is a number
    bool hasXY = false;     // both coordinates are numbers
    bool nonFinite = false; // a coordinate reads as NaN or infinity, which the load keeps
    double value = 0;       // the point text as a number
    double x = 0;
    double y = 0;
};

struct RelationRow
{
    qint64 row = 0;
    QString tape; // counts the wraps of the record number; may be blank
    QString record;
    qint32 sourceLine = 0;
    double sourcePoint = 0;
    QString sourcePointText;
    double firstChannel = 0, lastChannel = 0;
    double increment = 1;
    qint32 receiverLine = 0;
    double firstReceiver = 0, lastReceiver = 0;
};

// Where the fields of one kind of point row stand.
struct PointColumns
{
    QChar letter;
    bool autoSkip;
    qint32 skipCount;
    qint32 linePos, lineLen, pointPos, pointLen;
    bool hasDepth;
    qint32 depthPos, depthLen, xPos, xLen, yPos, yLen, elevationPos, elevationLen;
    qint32 indexColumn; // -1: none
};
} // namespace

// One run: the lines of all three files, the points of the S and R files.
class SPSSurveyCheck::Run_
{
public:
    explicit Run_(SPSSurveyCheck& check) : m_Check(check), m_Param(*check.m_pParam)
    {
        // Shared texts for every index character, made before threads read them.
        for (int c = 1; c < 128; ++c)
            m_IndexTexts[c] = QString(QChar(c));
    }

    bool Go(QString* error);
    // The findings in their final order, from a whole run or a stopped one.
    void Flush();

private:
    friend class SPSSurveyCheck;
    using Kind = SPSCheckFinding::Kind;

    bool Stopped() const { return m_Check.m_bStop.load(std::memory_order_relaxed); }
    void Progress(double share)
    {
        if (m_Check.m_Progress)
            m_Check.m_Progress(qBound(0.0, share, 1.0));
    }
    bool Open(QFile& file, const QString& path, const char* emptyText, QString* error);
    static size_t SourceNotRelatedBucket() { return size_t(Kind::SourceNotRelated); }
    static size_t ReceiverNotRelatedBucket()
    {
        return size_t(SPSCheckFinding::KindCount + Kind::ReceiverNotRelated);
    }
    // fileIndex: 0 source, 1 receiver, 2 relation. Given by the caller, never
    // found from the path: one file may be named for all three.
    SPSCheckFinding& AddFinding(int fileIndex, qint64 row, Kind kind, const QString& message,
                                const Point* point = nullptr);
    const QString& Path(int fileIndex) const
    {
        return fileIndex == 0   ? m_Param.SourceFileName
               : fileIndex == 1 ? m_Param.ReceiverFileName
                                : m_Param.RelationFileName;
    }
    // slot: 0 and 3 S and R rows, 1 and 2 the source and receiver lines of X
    // rows; each remembers its last line, as rows come line by line.
    qint32 LineId(Field text, bool utf8, qint32* lineNumber, int slot = 0);
    // file: 0 source, 1 receiver.
    QString PointText(const Point& p, int file) const
    {
        return QString::fromUtf8(m_Arenas[file].data() + p.textOffset, p.textLength);
    }
    // Line names and numbers by id; the source and receiver files are read on
    // two threads, which may add lines meanwhile.
    QString LineName(qint32 id) const
    {
        QMutexLocker lock(&m_LineMutex);
        return m_Lines[size_t(id)].name;
    }
    qint32 LineNumber(qint32 id) const
    {
        QMutexLocker lock(&m_LineMutex);
        return m_Lines[size_t(id)].number;
    }
    void Revision(int fileIndex, QChar letter);

    // fileIndex: 0 source, 1 receiver; only the receiver's reading, on Run's
    // thread, reports progress.
    bool ReadPoints(QFile& file, const PointColumns& c, std::vector<Point>& points, int fileIndex);
    void CheckPoints(int fileIndex, std::vector<Point>& points, qint32 factor);
    void CheckPrecision(int fileIndex, const std::vector<Point>& points);
    void CheckSharedNumbers(int fileIndex, const std::vector<Point>& points);
    bool ReadRelations(QFile& file, std::vector<RelationRow>& rows);
    void CheckRelations(const std::vector<RelationRow>& rows);
    // Rows begin to end of order: one field record.
    void CheckChannels(const std::vector<RelationRow>& rows, const std::vector<size_t>& order,
                       size_t begin, size_t end);

    SPSSurveyCheck& m_Check;
    const VeTaskSPSFilesLoaderParam& m_Param;
    std::vector<SPSCheckFinding> m_Findings;
    // Findings by file (source, receiver, relation) and kind, as they are made.
    std::vector<SPSCheckFinding> m_Buckets[3 * SPSCheckFinding::KindCount];

    std::vector<Line> m_Lines;
    QHash<QByteArray, std::pair<qint32, qint32>> m_RawLines; // text: id, number
    QHash<QString, qint32> m_LineKeys;                       // normalised text: id
    QByteArray m_LastLine[4];
    std::pair<qint32, qint32> m_LastLineId[4]{{-1, 0}, {-1, 0}, {-1, 0}, {-1, 0}};

    mutable QMutex m_LineMutex;    // guards the line tables while two files are read
    std::vector<char> m_Arenas[2]; // point texts of the source and receiver file, UTF-8
    QString m_IndexTexts[128];
    std::vector<Point> m_Sources, m_Receivers;
    // The layout in use reads other columns than the file's revision has.
    bool m_bMisread[3] = {false, false, false};
    qint64 m_nTotalBytes = 1;
    qint64 m_nDoneBytes = 0;
};

SPSCheckFinding& SPSSurveyCheck::Run_::AddFinding(int fileIndex, qint64 row, Kind kind,
                                                  const QString& message, const Point* point)
{
    std::vector<SPSCheckFinding>& bucket =
        m_Buckets[fileIndex * SPSCheckFinding::KindCount + int(kind)];
    SPSCheckFinding& f = bucket.emplace_back();
    f.file = Path(fileIndex);
    f.letter = QChar::fromLatin1("SRX"[fileIndex]);
    f.row = row;
    f.kind = kind;
    f.message = message;
    if (point) {
        f.line = LineName(point->line);
        f.point = PointText(*point, fileIndex);
        if (point->index)
            f.index = m_IndexTexts[point->index];
        f.hasPosition = point->hasXY;
        f.x = point->x;
        f.y = point->y;
    }
    return f;
}

qint32 SPSSurveyCheck::Run_::LineId(Field text, bool utf8, qint32* lineNumber, int slot)
{
    QByteArray& last = m_LastLine[slot];
    std::pair<qint32, qint32>& lastId = m_LastLineId[slot];
    if (lastId.first >= 0 && last.size() == text.size &&
        std::equal(text.data, text.data + text.size, last.constData())) {
        *lineNumber = lastId.second;
        return lastId.first;
    }
    last = QByteArray(text.data, text.size);
    QMutexLocker lock(&m_LineMutex);
    auto it = m_RawLines.constFind(last);
    if (it == m_RawLines.constEnd()) {
        const QString name = text.text(utf8);
        // Lines named by numbers match across files whatever their notation
        // ("2001" in an X row, "2001.00" in the R file).
        bool ok = false;
        const double v = name.toDouble(&ok);
        const QString key = ok ? QString::number(v, 'g', 17) : QStringLiteral("~") + name;
        auto k = m_LineKeys.constFind(key);
        qint32 id;
        if (k == m_LineKeys.constEnd()) {
            id = qint32(m_Lines.size());
            m_Lines.push_back({name, PointNumberFromText(name)});
            m_LineKeys.insert(key, id);
        } else {
            id = *k;
        }
        it = m_RawLines.insert(last, {id, PointNumberFromText(name)});
    }
    lastId = *it;
    *lineNumber = it->second;
    return it->first;
}

bool SPSSurveyCheck::Run_::Open(QFile& file, const QString& path, const char* emptyText,
                                QString* error)
{
    if (path.isEmpty()) {
        *error = translated(emptyText);
        return false;
    }
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QCoreApplication::translate("SPSSurveyCheck", "Cannot open file [%1] for reading!")
                     .arg(path);
        return false;
    }
    return true;
}

void SPSSurveyCheck::Run_::Revision(int fileIndex, QChar letter)
{
    const QString& path = Path(fileIndex);
    // The detection opens the file again: only a regular file reads the same twice.
    if (!SPSMayOpenForReading(path))
        return;
    const SPSRevisionVerdict v = SPSRevisionDetector::DetectFile(path, letter);
    const SPSRevision inUse = letter == u'X'
                                  ? SPSLayoutPresets::LayoutRevision(m_Param, letter)
                                  : SPSLayoutPresets::PointColumnsRevision(m_Param, letter);
    QString message;
    if (v.revision == SPSRevision::Unknown)
        message =
            QCoreApplication::translate("SPSSurveyCheck", "revision unknown: %1").arg(v.evidence);
    else
        message = QCoreApplication::translate("SPSSurveyCheck", "SPS revision %1: %2")
                      .arg(SPSLayoutPresets::RevisionText(v.revision), v.evidence);
    const SPSRevision written = SPSRevisionDetector::Misread(v, inUse);
    if (written != SPSRevision::Unknown) {
        message += QCoreApplication::translate(
                       "SPSSurveyCheck", "; the layout in use does not read revision %1 columns")
                       .arg(SPSLayoutPresets::RevisionText(written));
        message += QCoreApplication::translate("SPSSurveyCheck",
                                               ": read the files as revision %1 (--revision auto, "
                                               "or the revision %1 preset of the Format page)")
                       .arg(SPSLayoutPresets::RevisionText(written));
        m_bMisread[fileIndex] = true;
    }
    AddFinding(fileIndex, 0, SPSCheckFinding::Revision, message);
}

bool SPSSurveyCheck::Run_::ReadPoints(QFile& file, const PointColumns& c,
                                      std::vector<Point>& points, int fileIndex)
{
    std::vector<char>& arena = m_Arenas[fileIndex];
    arena.reserve(size_t(qMin<qint64>(file.size() / 8, qint64(1) << 26)));
    SPSRowReader reader(&file, c.letter, c.autoSkip, c.skipCount);
    struct Named
    {
        qint32 pos, len;
        const char* name;
    };
    std::vector<Named> numeric{
        {c.xPos, c.xLen, QT_TRANSLATE_NOOP("SPSSurveyCheck", "easting")},
        {c.yPos, c.yLen, QT_TRANSLATE_NOOP("SPSSurveyCheck", "northing")},
        {c.elevationPos, c.elevationLen, QT_TRANSLATE_NOOP("SPSSurveyCheck", "elevation")}};
    if (c.hasDepth)
        numeric.push_back({c.depthPos, c.depthLen, QT_TRANSLATE_NOOP("SPSSurveyCheck", "depth")});
    // The furthest field: a row must reach its end.
    qint64 furthestEnd = qint64(c.linePos) + c.lineLen;
    const char* furthestName = QT_TRANSLATE_NOOP("SPSSurveyCheck", "line");
    auto further = [&](qint32 pos, qint32 len, const char* name) {
        if (qint64(pos) + len > furthestEnd) {
            furthestEnd = qint64(pos) + len;
            furthestName = name;
        }
    };
    further(c.pointPos, c.pointLen, QT_TRANSLATE_NOOP("SPSSurveyCheck", "point"));
    for (const Named& n : numeric)
        further(n.pos, n.len, n.name);
    reader.SetRowLimit(qMax<qint64>(furthestEnd, c.indexColumn + 1));
    points.reserve(size_t(qMin<qint64>(file.size() / 82 + 16, qint64(1) << 20)));

    QByteArray utf8[7];
    qint64 rows = 0;
    // The source file is read meanwhile on another thread: counted as half done.
    const qint64 base = m_nTotalBytes / 4;
    while (reader.NextRecord()) {
        if ((++rows & 0xffff) == 0) {
            if (Stopped())
                return false;
            if (fileIndex == 1)
                Progress(double(base + file.pos()) / double(m_nTotalBytes));
        }
        // A field keeps its row's form: Latin-1 for a plain ASCII row.
        const bool plain = reader.Field(0, 0).IsLatin1();
        auto field = [&](qint32 pos, qint32 len, int slot) {
            if (plain) {
                const QLatin1StringView v = reader.Field(pos, len).Latin1();
                return Field{v.data(), v.size()};
            }
            utf8[slot] = reader.FieldText(pos, len).toUtf8();
            return Field{utf8[slot].constData(), utf8[slot].size()};
        };
        Point p;
        p.row = reader.RowNumber();
        const Field pointText = field(c.pointPos, c.pointLen, 1);
        p.numeric = parseNumber(pointText, !plain, &p.value);
        const Field x = field(c.xPos, c.xLen, 3);
        const Field y = field(c.yPos, c.yLen, 4);
        const bool xOk = parseNumber(x, !plain, &p.x);
        const bool yOk = parseNumber(y, !plain, &p.y);
        // Prose that happens to start with the record letter: fields sliced
        // from it would only make findings about nothing.
        if (!p.numeric && !xOk && !yOk) {
            AddFinding(fileIndex, p.row, Kind::NotARecord, notARecord());
            continue;
        }
        p.hasXY = xOk && yOk;
        p.nonFinite = (!xOk && isNonFinite(x, !plain)) || (!yOk && isNonFinite(y, !plain));
        const Field line = field(c.linePos, c.lineLen, 0);
        qint32 lineNumber = 0;
        p.line = LineId(line, !plain, &lineNumber, fileIndex == 0 ? 0 : 3);
        p.textOffset = qint64(arena.size());
        p.textLength = qint32(pointText.size);
        arena.insert(arena.end(), pointText.data, pointText.data + pointText.size);
        const qint32 pointNumber =
            plain ? PointNumberFromText(QLatin1StringView(pointText.data, pointText.size))
                  : PointNumberFromText(pointText.text(true));
        if (c.indexColumn >= 0) {
            const Field index = field(c.indexColumn, 1, 2);
            if (index.size == 1 && uchar(index.data[0]) < 0x80)
                p.index = char16_t(index.data[0]);
        }
        // Kept apart from the line number until the factors are known.
        p.pointNumber = pointNumber;
        p.number = SPSPointNumber(lineNumber, pointNumber, m_Check.m_Numbering.LineFactor, 1);
        points.push_back(p);
        const Point& stored = points.back();
        if (const qint32 factor = m_Check.m_Numbering.LineFactor; factor != 0) {
            SPSNumberingFit fit(factor);
            if (fit.Take(lineNumber, pointNumber))
                AddFinding(
                    fileIndex, p.row, Kind::NumberOverflow,
                    QCoreApplication::translate("SPSSurveyCheck",
                                                "line %1 x line factor %2 + point %3 is %4, beyond "
                                                "32 bits; the load numbers the point %5")
                        .arg(lineNumber)
                        .arg(factor)
                        .arg(pointNumber)
                        .arg(fit.FirstValue())
                        .arg(p.number),
                    &stored);
        }

        if (pointText.isEmpty()) {
            AddFinding(
                fileIndex, p.row, Kind::BlankPoint,
                QCoreApplication::translate(
                    "SPSSurveyCheck", "the point field is blank; the load numbers the point %1")
                    .arg(SPSPointNumber(lineNumber, 0, m_Check.m_Numbering.LineFactor, 1)),
                &stored);
        } else if (!p.numeric) {
            AddFinding(fileIndex, p.row, Kind::NotANumber,
                       QCoreApplication::translate(
                           "SPSSurveyCheck", "point \"%1\" is not a number; the load numbers it %2")
                           .arg(pointText.text(!plain))
                           .arg(pointNumber),
                       &stored);
        }
        for (size_t i = 0; i < numeric.size(); ++i) {
            const Field f = i == 0 ? x : i == 1 ? y : field(numeric[i].pos, numeric[i].len, 5);
            double v = 0;
            if (f.isEmpty() || (i < 2 ? (i == 0 ? xOk : yOk) : parseNumber(f, !plain, &v)))
                continue;
            AddFinding(
                fileIndex, p.row, Kind::NotANumber,
                (isNonFinite(f, !plain)
                     ? QCoreApplication::translate("SPSSurveyCheck", "%1 \"%2\" is not a number")
                     : QCoreApplication::translate("SPSSurveyCheck",
                                                   "%1 \"%2\" is not a number; the load reads 0"))
                    .arg(translated(numeric[i].name), f.text(!plain)),
                &stored);
        }
        if (reader.RowLength() < furthestEnd)
            AddFinding(fileIndex, p.row, Kind::ShortRow,
                       QCoreApplication::translate(
                           "SPSSurveyCheck",
                           "the row ends at column %1, before the end of the %2 field (column %3)")
                           .arg(reader.RowLength())
                           .arg(translated(furthestName))
                           .arg(furthestEnd),
                       &stored);
    }
    return !Stopped();
}

void SPSSurveyCheck::Run_::CheckPoints(int fileIndex, std::vector<Point>& points, qint32 factor)
{
    auto textCompare = [&](const Point& a, const Point& b) {
        const auto ab = m_Arenas[fileIndex].begin() + a.textOffset, ae = ab + a.textLength;
        const auto bb = m_Arenas[fileIndex].begin() + b.textOffset, be = bb + b.textLength;
        if (std::lexicographical_compare(ab, ae, bb, be))
            return -1;
        return std::equal(ab, ae, bb, be) ? 0 : 1;
    };
    // The same line and point: numbers compare by value, other texts as they are.
    auto pointLess = [&](const Point& a, const Point& b) {
        if (a.line != b.line)
            return a.line < b.line;
        if (a.numeric != b.numeric)
            return a.numeric;
        if (a.numeric)
            return a.value < b.value;
        return textCompare(a, b) < 0;
    };

    // By line, point and index, file order among equals; sorted as compact keys,
    // which files in line order hand over nearly sorted already.
    struct Key
    {
        qint32 line;
        qint32 at;
        double value;
        char16_t index;
        bool text;
    };
    std::vector<Key> keys(points.size());
    for (size_t i = 0; i < points.size(); ++i) {
        Point& p = points[i];
        if (factor != 0 && factor != 1) {
            SPSNumberingFit fit(factor);
            if (fit.Take(p.number, 0))
                AddFinding(fileIndex, p.row, Kind::NumberOverflow,
                           QCoreApplication::translate("SPSSurveyCheck",
                                                       "number %1 x factor %2 is %3, beyond 32 "
                                                       "bits; the load numbers the point %4")
                               .arg(p.number)
                               .arg(factor)
                               .arg(fit.FirstValue())
                               .arg(SPSPointNumber(0, p.number, 0, factor)),
                           &p);
        }
        p.number = SPSPointNumber(0, p.number, 0, factor);
        keys[i] = {p.line, qint32(i), p.numeric ? p.value : 0.0, p.index, !p.numeric};
    }
    const auto keyLess = [&](const Key& a, const Key& b) {
        if (a.line != b.line)
            return a.line < b.line;
        if (a.text != b.text)
            return b.text;
        if (!a.text) {
            if (a.value != b.value)
                return a.value < b.value;
        } else if (const int c = textCompare(points[size_t(a.at)], points[size_t(b.at)])) {
            return c < 0;
        }
        if (a.index != b.index)
            return a.index < b.index;
        return a.at < b.at;
    };
    if (!std::is_sorted(keys.begin(), keys.end(), keyLess))
        std::sort(keys.begin(), keys.end(), keyLess);
    std::vector<qint32> order(points.size());
    for (size_t i = 0; i < keys.size(); ++i)
        order[i] = keys[i].at;
    std::vector<Key>().swap(keys);

    // Duplicates and conflicts: compared with the first row of the same point.
    std::vector<qint32> unique; // one per line and point, for the spacing along lines
    for (size_t k = 0; k < order.size();) {
        size_t end = k + 1;
        const Point& first = points[size_t(order[k])];
        while (end < order.size() && !pointLess(first, points[size_t(order[end])]))
            ++end;
        unique.push_back(order[k]);
        // The first row of each index; rows of one index are adjacent.
        const Point* same = &first;
        for (size_t m = k + 1; m < end; ++m) {
            const Point& p = points[size_t(order[m])];
            if (p.index != same->index) {
                same = &p;
                continue;
            }
            if (p.x == same->x && p.y == same->y)
                AddFinding(
                    fileIndex, p.row, Kind::Duplicate,
                    QCoreApplication::translate(
                        "SPSSurveyCheck", "the same point as row %1, with the same coordinates")
                        .arg(same->row),
                    &p);
            else
                AddFinding(fileIndex, p.row, Kind::Conflict,
                           QCoreApplication::translate("SPSSurveyCheck",
                                                       "the same point as row %1, %2 away from it")
                               .arg(same->row)
                               .arg(formatNumber(std::sqrt((p.x - same->x) * (p.x - same->x) +
                                                           (p.y - same->y) * (p.y - same->y)))),
                           &p);
        }
        k = end;
    }

    // Outliers: at (0, 0), or far from both neighbours along the line.
    auto distance = [&](qint32 i, qint32 j) {
        const Point& a = points[size_t(i)];
        const Point& b = points[size_t(j)];
        return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y));
    };
    std::vector<qint32> along;
    std::vector<double> gaps, sorted;
    for (size_t k = 0; k < unique.size();) {
        const qint32 line = points[size_t(unique[k])].line;
        along.clear();
        size_t end = k;
        for (; end < unique.size() && points[size_t(unique[end])].line == line; ++end) {
            const Point& p = points[size_t(unique[end])];
            // Coordinates that are blank or no number are 0 in the load as well.
            if (p.x == 0 && p.y == 0 && !p.nonFinite)
                AddFinding(fileIndex, p.row, Kind::Outlier,
                           QCoreApplication::translate("SPSSurveyCheck", "the point is at (0, 0)"),
                           &p);
            else if (p.hasXY)
                along.push_back(unique[end]);
        }
        k = end;
        if (along.size() < 3)
            continue;
        gaps.resize(along.size() - 1);
        for (size_t i = 0; i + 1 < along.size(); ++i)
            gaps[i] = distance(along[i], along[i + 1]);
        sorted = gaps;
        // The lower median: of an even count, half the gaps may touch outliers.
        const size_t middle = (sorted.size() - 1) / 2;
        std::nth_element(sorted.begin(), sorted.begin() + qsizetype(middle), sorted.end());
        const double median = sorted[middle];
        if (!(median > 0))
            continue;
        const double far = kOutlierSpacings * median;
        for (size_t i = 0; i < along.size(); ++i) {
            const double before = i > 0 ? gaps[i - 1] : -1;
            const double after = i + 1 < along.size() ? gaps[i] : -1;
            bool outlier;
            if (before >= 0 && after >= 0)
                outlier = before > far && after > far;
            else if (before >= 0) // the last point: its neighbour must lie in line
                outlier = before > far && gaps[i - 2] <= far;
            else
                outlier = after > far && gaps[1] <= far;
            if (outlier) {
                const Point& p = points[size_t(along[i])];
                AddFinding(fileIndex, p.row, Kind::Outlier,
                           QCoreApplication::translate(
                               "SPSSurveyCheck",
                               "%1 from its neighbours along line %2, whose points lie %3 apart")
                               .arg(formatNumber(std::min(before < 0 ? after : before,
                                                          after < 0 ? before : after)),
                                    LineName(line), formatNumber(median)),
                           &p);
            }
        }
    }
    CheckPrecision(fileIndex, points);
    CheckSharedNumbers(fileIndex, points);
}

void SPSSurveyCheck::Run_::CheckPrecision(int fileIndex, const std::vector<Point>& points)
{
    double largest[2] = {0, 0};
    const Point* worst[2] = {nullptr, nullptr};
    qint64 count[2] = {0, 0}, known = 0;
    for (const Point& p : points) {
        if (!p.hasXY)
            continue;
        ++known;
        const double change[2] = {singleChange(p.x), singleChange(p.y)};
        for (int axis = 0; axis < 2; ++axis) {
            count[axis] += change[axis] > kPrecisionLimit;
            if (change[axis] > largest[axis]) {
                largest[axis] = change[axis];
                worst[axis] = &p;
            }
        }
    }
    for (int axis = 0; axis < 2; ++axis) {
        if (count[axis] == 0)
            continue;
        AddFinding(fileIndex, 0, Kind::Precision,
                   QCoreApplication::translate(
                       "SPSSurveyCheck",
                       "single precision changes the %1 by up to %2 (row %3); %4 of %5 points "
                       "change by more than %6")
                       .arg(axis == 0 ? QCoreApplication::translate("SPSSurveyCheck", "easting")
                                      : QCoreApplication::translate("SPSSurveyCheck", "northing"))
                       .arg(QString::number(largest[axis], 'g', 3))
                       .arg(worst[axis]->row)
                       .arg(count[axis])
                       .arg(known)
                       .arg(kPrecisionLimit),
                   worst[axis]);
    }
}

void SPSSurveyCheck::Run_::CheckSharedNumbers(int fileIndex, const std::vector<Point>& points)
{
    struct Key
    {
        qint32 number;
        qint32 line; // the line's rank in this file
        qint32 at;
        bool operator<(const Key& o) const
        {
            return number != o.number ? number < o.number
                   : line != o.line   ? line < o.line
                                      : at < o.at;
        }
    };
    std::vector<Key> keys(points.size());
    std::vector<qint32> lineNumbers;
    {
        QMutexLocker lock(&m_LineMutex);
        for (const Line& line : m_Lines)
            lineNumbers.push_back(line.number);
    }
    // Lines in the order this file first names them: the ids are shared with
    // the other point file, read at the same time, so their order is not fixed.
    std::vector<qint32> rank(lineNumbers.size(), -1);
    qint32 ranked = 0;
    for (const Point& p : points)
        if (rank[size_t(p.line)] < 0)
            rank[size_t(p.line)] = ranked++;
    qint64 largestPoint = 0, largestLine = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        const Point& p = points[i];
        keys[i] = {p.number, rank[size_t(p.line)], qint32(i)};
        largestPoint = qMax<qint64>(largestPoint, qAbs(qint64(p.pointNumber)));
        largestLine = qMax<qint64>(largestLine, qAbs(qint64(lineNumbers[size_t(p.line)])));
    }
    if (!std::is_sorted(keys.begin(), keys.end()))
        std::sort(keys.begin(), keys.end());
    std::vector<qint32> order(points.size());
    for (size_t i = 0; i < keys.size(); ++i)
        order[i] = keys[i].at;
    std::vector<Key>().swap(keys);

    // The power of ten above every point number keeps the lines apart, as long
    // as line x power + point stays within 32 bits.
    qint64 power = 10;
    while (power <= largestPoint)
        power *= 10;
    const bool fits = largestLine * power + largestPoint <= std::numeric_limits<qint32>::max();
    const QString advice =
        fits ? QCoreApplication::translate("SPSSurveyCheck",
                                           "a line factor of %1 keeps the lines apart")
                   .arg(power)
             : QCoreApplication::translate("SPSSurveyCheck",
                                           "no line factor keeps the lines apart within 32 bits");

    qint64 shared = 0;
    for (size_t k = 0; k < order.size();) {
        size_t end = k + 1;
        const Point& first = points[size_t(order[k])];
        // Distinct lines stand together in the order; names only for findings made.
        qsizetype lineCount = 1;
        for (; end < order.size() && points[size_t(order[end])].number == first.number; ++end)
            if (points[size_t(order[end])].line != points[size_t(order[end - 1])].line)
                ++lineCount;
        const size_t begin = k;
        k = end;
        if (lineCount < 2)
            continue;
        if (++shared > m_Check.m_nSharedNumberLimit)
            continue;
        QStringList lines{LineName(first.line)};
        for (size_t m = begin + 1; m < end; ++m) {
            const qint32 line = points[size_t(order[m])].line;
            if (line != points[size_t(order[m - 1])].line)
                lines.append(LineName(line));
        }
        const Point* earliest = &first;
        QString named = lines.mid(0, 5).join(QStringLiteral(", "));
        if (lines.size() > 5)
            named +=
                QCoreApplication::translate("SPSSurveyCheck", " and %1 more").arg(lines.size() - 5);
        AddFinding(fileIndex, earliest->row, Kind::SharedNumber,
                   QCoreApplication::translate(
                       "SPSSurveyCheck",
                       "point number %1 is shared by %2 lines (%3); the load keeps one point; %4")
                       .arg(first.number)
                       .arg(lines.size())
                       .arg(named, advice),
                   earliest)
            .lineFactor = fits && power <= std::numeric_limits<qint32>::max() ? qint32(power) : 0;
    }
    if (shared > m_Check.m_nSharedNumberLimit)
        AddFinding(
            fileIndex, 0, Kind::SharedNumber,
            QCoreApplication::translate(
                "SPSSurveyCheck", "%1 point numbers are shared by more than one line in all; %2")
                .arg(shared)
                .arg(advice))
            .lineFactor = fits && power <= std::numeric_limits<qint32>::max() ? qint32(power) : 0;
}

bool SPSSurveyCheck::Run_::ReadRelations(QFile& file, std::vector<RelationRow>& rows)
{
    const VeTaskSPSFilesLoaderParam& p = m_Param;
    SPSRowReader reader(&file, u'X', p.AutoSkipX, p.SkipPosX);
    // The tape number stands in columns 2-7 of both revisions, before the
    // record number; a layout that reads the record number there has none.
    constexpr qint32 kTapePos = 1, kTapeLen = 6;
    const bool hasTape = p.XRecordNumPos >= kTapePos + kTapeLen;
    struct Named
    {
        qint32 pos, len;
        const char* name;
    };
    const Named fields[] = {
        {p.XRecordNumPos, p.XRecordNumLen, QT_TRANSLATE_NOOP("SPSSurveyCheck", "field record")},
        {p.XSrcLinePos, p.XSrcLineLen, QT_TRANSLATE_NOOP("SPSSurveyCheck", "source line")},
        {p.XSrcIDPos, p.XSrcIDLen, QT_TRANSLATE_NOOP("SPSSurveyCheck", "source point")},
        {p.XFirstChannelPos, p.XFirstChannelLen,
         QT_TRANSLATE_NOOP("SPSSurveyCheck", "first channel")},
        {p.XLastChannelPos, p.XLastChannelLen, QT_TRANSLATE_NOOP("SPSSurveyCheck", "last channel")},
        {p.XChannelIncrPos, p.XChannelIncrLen,
         QT_TRANSLATE_NOOP("SPSSurveyCheck", "channel increment")},
        {p.XRecvLinePos, p.XRecvLineLen, QT_TRANSLATE_NOOP("SPSSurveyCheck", "receiver line")},
        {p.XFirstRecvIDPos, p.XFirstRecvIDLen,
         QT_TRANSLATE_NOOP("SPSSurveyCheck", "first receiver")},
        {p.XLastRecvIDPos, p.XLastRecvIDLen, QT_TRANSLATE_NOOP("SPSSurveyCheck", "last receiver")},
    };
    qint64 furthestEnd = 0;
    const char* furthestName = "";
    for (const Named& n : fields)
        if (qint64(n.pos) + n.len > furthestEnd) {
            furthestEnd = qint64(n.pos) + n.len;
            furthestName = n.name;
        }
    reader.SetRowLimit(furthestEnd);
    qint64 count = 0;
    const qint64 base = m_nDoneBytes;
    while (reader.NextRecord()) {
        if ((++count & 0xffff) == 0) {
            if (Stopped())
                return false;
            Progress(double(base + file.pos()) / double(m_nTotalBytes));
        }
        RelationRow r;
        r.row = reader.RowNumber();
        // A field keeps its row's form: Latin-1 for a plain ASCII row.
        const bool plain = reader.Field(0, 0).IsLatin1();
        Field field[9];
        QByteArray utf8[9];
        for (int i = 0; i < 9; ++i) {
            if (plain) {
                const QLatin1StringView v = reader.Field(fields[i].pos, fields[i].len).Latin1();
                field[i] = {v.data(), v.size()};
            } else {
                utf8[i] = reader.FieldText(fields[i].pos, fields[i].len).toUtf8();
                field[i] = {utf8[i].constData(), utf8[i].size()};
            }
        }
        auto text = [&](int i) { return field[i].text(!plain); };
        double* numbers[] = {nullptr,         nullptr,          &r.sourcePoint,
                             &r.firstChannel, &r.lastChannel,   &r.increment,
                             nullptr,         &r.firstReceiver, &r.lastReceiver};
        bool anyNumber = false;
        for (int i = 0; i < 9 && !anyNumber; ++i) {
            double v = 0;
            anyNumber = numbers[i] && i != 5 && parseNumber(field[i], !plain, &v);
        }
        if (!anyNumber) {
            AddFinding(2, r.row, Kind::NotARecord, notARecord());
            continue;
        }
        r.record = text(0);
        if (hasTape)
            r.tape = reader.FieldText(kTapePos, kTapeLen).trimmed();
        qint32 number = 0;
        r.sourceLine = LineId(field[1], !plain, &number, 1);
        r.receiverLine = LineId(field[6], !plain, &number, 2);
        r.sourcePointText = text(2);
        bool usable = true;
        for (int i = 0; i < 9; ++i) {
            if (!numbers[i])
                continue;
            double v = 0;
            const bool ok = parseNumber(field[i], !plain, &v);
            if (ok)
                *numbers[i] = v;
            else if (!field[i].isEmpty() || i != 5)
                usable = false;
            if (!ok && !field[i].isEmpty()) {
                SPSCheckFinding& f = AddFinding(
                    2, r.row, Kind::NotANumber,
                    QCoreApplication::translate("SPSSurveyCheck", "%1 \"%2\" is not a number")
                        .arg(translated(fields[i].name), text(i)));
                f.line = text(i == 2 ? 1 : 6);
                f.point = i == 2 ? text(2) : QString();
            }
        }
        if (reader.RowLength() < furthestEnd) {
            SPSCheckFinding& f = AddFinding(
                2, r.row, Kind::ShortRow,
                QCoreApplication::translate(
                    "SPSSurveyCheck",
                    "the row ends at column %1, before the end of the %2 field (column %3)")
                    .arg(reader.RowLength())
                    .arg(translated(furthestName))
                    .arg(furthestEnd));
            f.line = text(1);
            f.point = text(2);
        }
        if (!(r.increment >= 1))
            r.increment = 1;
        // Beyond this a range is no receiver spread but a typing error; counting
        // its stations would overflow.
        if (std::fabs(r.lastReceiver - r.firstReceiver) / r.increment > 1e12)
            usable = false;
        if (usable)
            rows.push_back(std::move(r));
    }
    m_nDoneBytes += file.size();
    return !Stopped();
}

void SPSSurveyCheck::Run_::CheckRelations(const std::vector<RelationRow>& rows)
{
    // Numbered points of a file by line and point value, held compact.
    struct Station
    {
        qint32 line;
        qint32 at;
        double value;
    };
    auto byLine = [](const std::vector<Point>& points) {
        std::vector<Station> stations;
        stations.reserve(points.size());
        for (size_t i = 0; i < points.size(); ++i)
            if (points[i].numeric)
                stations.push_back({points[i].line, qint32(i), points[i].value});
        const auto less = [](const Station& a, const Station& b) {
            return a.line != b.line ? a.line < b.line : a.value < b.value;
        };
        if (!std::is_sorted(stations.begin(), stations.end(), less))
            std::sort(stations.begin(), stations.end(), less);
        return stations;
    };
    auto lowerBound = [](const std::vector<Station>& stations, qint32 line, double value) {
        return std::lower_bound(stations.begin(), stations.end(), Station{line, 0, value},
                                [](const Station& a, const Station& b) {
                                    return a.line != b.line ? a.line < b.line : a.value < b.value;
                                });
    };
    constexpr double kSame = 1e-6;

    const std::vector<Station> sources = byLine(m_Sources);
    const std::vector<Station> receivers = byLine(m_Receivers);
    std::vector<bool> sourceNamed(m_Sources.size()), receiverCovered(m_Receivers.size());
    for (const RelationRow& r : rows) {
        if (Stopped())
            return;
        // The source point the row names.
        bool found = false;
        for (auto it = lowerBound(sources, r.sourceLine, r.sourcePoint - kSame);
             it != sources.end(); ++it) {
            if (it->line != r.sourceLine || it->value > r.sourcePoint + kSame)
                break;
            sourceNamed[size_t(it->at)] = true;
            found = true;
        }
        if (!found) {
            SPSCheckFinding& f = AddFinding(
                2, r.row, Kind::RelationSourceMissing,
                QCoreApplication::translate(
                    "SPSSurveyCheck",
                    "field record %1 names source line %2 point %3, which the S file lacks")
                    .arg(r.record, m_Lines[size_t(r.sourceLine)].name, r.sourcePointText));
            f.line = m_Lines[size_t(r.sourceLine)].name;
            f.point = r.sourcePointText;
        }

        // The receiver stations of its range: first to last, a station per increment.
        const double low = qMin(r.firstReceiver, r.lastReceiver);
        const double high = qMax(r.firstReceiver, r.lastReceiver);
        auto it = lowerBound(receivers, r.receiverLine, low - kSame);
        qint64 missing = 0;
        QStringList firstMissing;
        const double stations = std::floor((high - low) / r.increment + kSame) + 1;
        double s = 0; // stations before the s-th are settled
        // Stations from the s-th up to (not including) the t-th are missing;
        // counted, not walked, since a range may be very long.
        auto missTo = [&](double t) {
            t = qBound(s, t, stations);
            for (double k = s; k < t && firstMissing.size() < 5; ++k)
                firstMissing.append(formatNumber(low + k * r.increment));
            missing += qint64(t - s);
            s = t;
        };
        for (; it != receivers.end(); ++it) {
            if (it->line != r.receiverLine || it->value > high + kSame)
                break;
            receiverCovered[size_t(it->at)] = true;
            // Mostly the receiver is the very station expected next.
            if (s < stations && std::fabs(low + s * r.increment - it->value) <= kSame) {
                ++s;
                continue;
            }
            missTo(std::ceil((it->value - kSame - low) / r.increment));
            if (s < stations && std::fabs(low + s * r.increment - it->value) <= kSame)
                ++s;
        }
        missTo(stations);
        if (missing > 0) {
            SPSCheckFinding& f = AddFinding(
                2, r.row, Kind::RelationReceiverMissing,
                QCoreApplication::translate(
                    "SPSSurveyCheck",
                    "%1 of %2 stations of receiver line %3 in field record %4 are not in "
                    "the R file (%5%6)")
                    .arg(missing)
                    .arg(qint64(stations))
                    .arg(m_Lines[size_t(r.receiverLine)].name, r.record,
                         firstMissing.join(QStringLiteral(", ")),
                         missing > 5 ? QStringLiteral(", ...") : QString()));
            f.line = m_Lines[size_t(r.receiverLine)].name;
            f.point = firstMissing.value(0);
        }
    }
    // One text for all: a relation file of another survey leaves every point unrelated.
    m_Buckets[SourceNotRelatedBucket()].reserve(
        size_t(std::count(sourceNamed.begin(), sourceNamed.end(), false)));
    m_Buckets[ReceiverNotRelatedBucket()].reserve(
        size_t(std::count(receiverCovered.begin(), receiverCovered.end(), false)));
    const QString notNamed =
        QCoreApplication::translate("SPSSurveyCheck", "no X row names this source point");
    for (size_t i = 0; i < m_Sources.size(); ++i)
        if (!sourceNamed[i])
            AddFinding(0, m_Sources[i].row, Kind::SourceNotRelated, notNamed, &m_Sources[i]);
    const QString notHeld =
        QCoreApplication::translate("SPSSurveyCheck", "no X row's receiver range holds this point");
    for (size_t i = 0; i < m_Receivers.size(); ++i)
        if (!receiverCovered[i])
            AddFinding(1, m_Receivers[i].row, Kind::ReceiverNotRelated, notHeld, &m_Receivers[i]);

    // A field record is the shot of one tape, record number and source point:
    // record numbers of four columns wrap every 9,999 shots, and the tape
    // number counts the wraps.
    std::vector<size_t> order(rows.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    const auto sameShot = [&](const RelationRow& a, const RelationRow& b) {
        return a.sourceLine == b.sourceLine && a.sourcePoint == b.sourcePoint;
    };
    std::stable_sort(order.begin(), order.end(), [&](size_t i, size_t j) {
        const RelationRow& a = rows[i];
        const RelationRow& b = rows[j];
        if (a.tape != b.tape)
            return a.tape < b.tape;
        if (a.record != b.record)
            return a.record < b.record;
        if (a.sourceLine != b.sourceLine)
            return a.sourceLine < b.sourceLine;
        if (a.sourcePoint != b.sourcePoint)
            return a.sourcePoint < b.sourcePoint;
        return qMin(a.firstChannel, a.lastChannel) < qMin(b.firstChannel, b.lastChannel);
    });
    for (size_t k = 0; k < order.size();) {
        const RelationRow& first = rows[order[k]];
        size_t end = k + 1;
        while (end < order.size() && rows[order[end]].tape == first.tape &&
               rows[order[end]].record == first.record)
            ++end;
        // The shots that share the record number, each by its first row.
        std::vector<const RelationRow*> shots;
        for (size_t m = k; m < end;) {
            const RelationRow* shot = &rows[order[m]];
            size_t shotEnd = m + 1;
            while (shotEnd < end && sameShot(rows[order[shotEnd]], *shot))
                ++shotEnd;
            for (size_t i = m + 1; i < shotEnd; ++i)
                if (rows[order[i]].row < shot->row)
                    shot = &rows[order[i]];
            shots.push_back(shot);
            CheckChannels(rows, order, m, shotEnd);
            m = shotEnd;
        }
        k = end;
        // Without a tape number, a reused record number may be the wrap
        // itself: only a tape that uses one number twice is a fault.
        if (shots.size() < 2 || first.tape.isEmpty())
            continue;
        std::sort(shots.begin(), shots.end(),
                  [](const RelationRow* a, const RelationRow* b) { return a->row < b->row; });
        for (size_t i = 1; i < shots.size(); ++i) {
            const RelationRow& r = *shots[i];
            SPSCheckFinding& f = AddFinding(
                2, r.row, Kind::RecordReused,
                QCoreApplication::translate("SPSSurveyCheck",
                                            "tape %1 uses field record %2 for source line %3 point "
                                            "%4 and, from row %5, for line %6 point %7")
                    .arg(r.tape, r.record, m_Lines[size_t(r.sourceLine)].name, r.sourcePointText)
                    .arg(shots[0]->row)
                    .arg(m_Lines[size_t(shots[0]->sourceLine)].name, shots[0]->sourcePointText));
            f.line = m_Lines[size_t(r.sourceLine)].name;
            f.point = r.sourcePointText;
        }
    }
}

void SPSSurveyCheck::Run_::CheckChannels(const std::vector<RelationRow>& rows,
                                         const std::vector<size_t>& order, size_t begin, size_t end)
{
    // The rows of one field record, by their lowest channel: ranges must not overlap.
    const RelationRow* reach = &rows[order[begin]];
    for (size_t m = begin + 1; m < end; ++m) {
        const RelationRow& r = rows[order[m]];
        if (qMin(r.firstChannel, r.lastChannel) <= qMax(reach->firstChannel, reach->lastChannel)) {
            SPSCheckFinding& f = AddFinding(
                2, r.row, Kind::ChannelOverlap,
                QCoreApplication::translate(
                    "SPSSurveyCheck",
                    "channels %1-%2 of field record %3 overlap channels %4-%5 of row %6")
                    .arg(formatNumber(r.firstChannel), formatNumber(r.lastChannel), r.record,
                         formatNumber(reach->firstChannel), formatNumber(reach->lastChannel))
                    .arg(reach->row));
            // The record's shot: what the user looks for in the S file.
            f.line = m_Lines[size_t(r.sourceLine)].name;
            f.point = r.sourcePointText;
        }
        if (qMax(r.firstChannel, r.lastChannel) > qMax(reach->firstChannel, reach->lastChannel))
            reach = &r;
    }
}

bool SPSSurveyCheck::Run_::Go(QString* error)
{
    const VeTaskSPSFilesLoaderParam& p = m_Param;
    QFile source, receiver, relation;
    if (!Open(source, p.SourceFileName,
              QT_TRANSLATE_NOOP("SPSSurveyCheck", "Source file name is empty"), error) ||
        !Open(receiver, p.ReceiverFileName,
              QT_TRANSLATE_NOOP("SPSSurveyCheck", "Receiver file name is empty"), error))
        return false;
    const bool related = !p.RelationFileName.isEmpty();
    if (related && !Open(relation, p.RelationFileName,
                         QT_TRANSLATE_NOOP("SPSSurveyCheck", "Relation file name is empty"), error))
        return false;
    m_nTotalBytes =
        qMax<qint64>(1, source.size() + receiver.size() + (related ? relation.size() : 0));
    Progress(0);

    const SPSRevision sourceRevision = SPSLayoutPresets::PointColumnsRevision(p, u'S');
    const SPSRevision receiverRevision = SPSLayoutPresets::PointColumnsRevision(p, u'R');
    const PointColumns s{u'S',
                         p.AutoSkipS,
                         p.SkipPosS,
                         p.SrcLinePos,
                         p.SrcLineLen,
                         p.SrcIDPos,
                         p.SrcIDLen,
                         true,
                         p.SrcWellPos,
                         p.SrcWellLen,
                         p.SrcCoordX,
                         p.SrcCoordXLen,
                         p.SrcCoordY,
                         p.SrcCoordYLen,
                         p.SrcElevPos,
                         p.SrcElevLen,
                         SPSLayoutPresets::PointIndexColumn(sourceRevision)};
    const PointColumns r{u'R',
                         p.AutoSkipR,
                         p.SkipPosR,
                         p.RecvLinePos,
                         p.RecvLineLen,
                         p.RecvIDPos,
                         p.RecvIDLen,
                         false,
                         0,
                         0,
                         p.RecvCoordX,
                         p.RecvCoordXLen,
                         p.RecvCoordY,
                         p.RecvCoordYLen,
                         p.RecvElevPos,
                         p.RecvElevLen,
                         SPSLayoutPresets::PointIndexColumn(receiverRevision)};

    auto stopped = [&] {
        *error = QCoreApplication::translate("SPSSurveyCheck", "The check was stopped.");
        return false;
    };
    // The two point files are independent until the relations: the source
    // file is read and checked on a thread of its own meanwhile.
    Revision(0, u'S');
    Revision(1, u'R');
    bool sourceRead = false;
    std::thread sourceThread([&] {
        sourceRead = ReadPoints(source, s, m_Sources, 0);
        if (sourceRead)
            CheckPoints(0, m_Sources, m_Check.m_Numbering.ShotNumberFactor);
    });
    const bool receiverRead = ReadPoints(receiver, r, m_Receivers, 1);
    if (receiverRead)
        CheckPoints(1, m_Receivers, m_Check.m_Numbering.ReceiverNumberFactor);
    sourceThread.join();
    if (!sourceRead || !receiverRead)
        return stopped();
    m_nDoneBytes = source.size() + receiver.size();
    if (related) {
        Revision(2, u'X');
        std::vector<RelationRow> rows;
        if (!ReadRelations(relation, rows))
            return stopped();
        CheckRelations(rows);
        if (Stopped())
            return stopped();
    }

    Progress(1);
    return true;
}

void SPSSurveyCheck::Run_::Flush()
{
    // A file read in the columns of another revision gives findings about
    // fields sliced in the wrong place, and relations of such points mean
    // nothing: they are counted, not listed, so that the revision's own
    // finding, which says how to read the files, stands first and alone.
    const bool anyMisread = m_bMisread[0] || m_bMisread[1] || m_bMisread[2];
    std::vector<SPSCheckFinding> misread;
    for (int file = 0; file < 3; ++file) {
        std::vector<SPSCheckFinding>& revision =
            m_Buckets[file * SPSCheckFinding::KindCount + SPSCheckFinding::Revision];
        if (!m_bMisread[file] || revision.empty())
            continue;
        qsizetype hidden = 0;
        for (int k = 0; k < SPSCheckFinding::KindCount; ++k) {
            if (k == SPSCheckFinding::Revision)
                continue;
            std::vector<SPSCheckFinding>& bucket = m_Buckets[file * SPSCheckFinding::KindCount + k];
            hidden += qsizetype(bucket.size());
            std::vector<SPSCheckFinding>().swap(bucket);
        }
        if (hidden > 0)
            revision.front().message +=
                QCoreApplication::translate("SPSSurveyCheck",
                                            "; %1 findings of rows read in those columns are left "
                                            "out")
                    .arg(hidden);
        std::move(revision.begin(), revision.end(), std::back_inserter(misread));
        revision.clear();
    }
    if (anyMisread)
        for (const Kind k : {Kind::RelationSourceMissing, Kind::SourceNotRelated,
                             Kind::RelationReceiverMissing, Kind::ReceiverNotRelated})
            for (int file = 0; file < 3; ++file)
                std::vector<SPSCheckFinding>().swap(
                    m_Buckets[file * SPSCheckFinding::KindCount + int(k)]);

    // Source, receiver, relation; by kind, then row. Each kind's findings of a
    // file come mostly in row order already.
    size_t total = misread.size();
    for (const auto& bucket : m_Buckets)
        total += bucket.size();
    m_Findings.reserve(total);
    std::move(misread.begin(), misread.end(), std::back_inserter(m_Findings));
    for (auto& bucket : m_Buckets) {
        const auto byRow = [](const SPSCheckFinding& a, const SPSCheckFinding& b) {
            return a.row < b.row;
        };
        if (!std::is_sorted(bucket.begin(), bucket.end(), byRow))
            std::stable_sort(bucket.begin(), bucket.end(), byRow);
        std::move(bucket.begin(), bucket.end(), std::back_inserter(m_Findings));
        std::vector<SPSCheckFinding>().swap(bucket);
    }
}

SPSSurveyCheck::SPSSurveyCheck(const VeTaskSPSFilesLoaderParam& param,
                               const SPSNumberingSettings& numbering)
    : m_pParam(std::make_unique<VeTaskSPSFilesLoaderParam>()), m_Numbering(numbering)
{
    m_pParam->CopyFrom(param);
}

SPSSurveyCheck::~SPSSurveyCheck() = default;

bool SPSSurveyCheck::Run(QString* error)
{
    m_Findings.clear();
    QString reason;
    Run_ run(*this);
    const bool ok = run.Go(&reason);
    run.Flush();
    m_Findings = std::move(run.m_Findings);
    if (error)
        *error = reason;
    return ok;
}

qsizetype SPSSurveyCheck::Count(SPSCheckFinding::Kind kind) const
{
    return std::count_if(m_Findings.begin(), m_Findings.end(),
                         [kind](const SPSCheckFinding& f) { return f.kind == kind; });
}
