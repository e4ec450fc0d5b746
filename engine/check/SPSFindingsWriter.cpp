#include "SPSFindingsWriter.h"

#include "SPSCheckWording.h"
#include "SPSNumbers.h"

#include <QScopeGuard>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace SPSFindingsWriter {

namespace {
constexpr int kShown = 5;

// Whether a CSV field of these bytes must be quoted: it holds a separator, a
// quote or a line break. Messages are most of a report's bytes, and have none:
// sixteen bytes are tested at a time where the processor can.
bool needsQuotes(std::string_view bytes)
{
    const char* p = bytes.data();
    size_t n = bytes.size();
#ifdef __SSE2__
    const __m128i comma = _mm_set1_epi8(','), quote = _mm_set1_epi8('"'),
                  newline = _mm_set1_epi8('\n'), ret = _mm_set1_epi8('\r');
    for (; n >= 16; p += 16, n -= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i hit =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, comma), _mm_cmpeq_epi8(v, quote)),
                         _mm_or_si128(_mm_cmpeq_epi8(v, newline), _mm_cmpeq_epi8(v, ret)));
        if (_mm_movemask_epi8(hit))
            return true;
    }
#endif
    for (; n > 0; ++p, --n)
        if (*p == ',' || *p == '"' || *p == '\n' || *p == '\r')
            return true;
    return false;
}

// The report's bytes as they are made, in a buffer of plain appends: a report
// may have millions of rows of a dozen fields each, and a string's append is a
// call for each.
class CsvOut
{
public:
    void Add(QByteArrayView bytes) { Add(bytes.data(), size_t(bytes.size())); }
    void Add(const char* bytes, size_t size)
    {
        // An empty field may have no bytes at all, which memcpy may not be given.
        if (size == 0)
            return;
        std::memcpy(Room(size), bytes, size);
        m_nSize += size;
    }
    void Add(char c)
    {
        *Room(1) = c;
        ++m_nSize;
    }
    void Field(std::string_view bytes)
    {
        if (!needsQuotes(bytes)) {
            Add(bytes.data(), bytes.size());
            return;
        }
        // Quoted, each quote doubled.
        Add('"');
        for (size_t quote; (quote = bytes.find('"')) != std::string_view::npos;) {
            Add(bytes.data(), quote + 1);
            Add('"');
            bytes.remove_prefix(quote + 1);
        }
        Add(bytes.data(), bytes.size());
        Add('"');
    }
    void Field(QByteArrayView bytes)
    {
        Field(std::string_view(bytes.data(), size_t(bytes.size())));
    }
    void Number(qint64 n)
    {
        char* at = Room(24);
        m_nSize += size_t(std::to_chars(at, at + 24, n).ptr - at);
    }
    // A coordinate as read, in fixed notation, with the fewest digits that read back.
    void Fixed(double v)
    {
        constexpr size_t kWidest = 400; // the widest double in fixed notation has 309 digits
        char* at = Room(kWidest);
        m_nSize += size_t(WriteFixed(v, at, at + kWidest) - at);
    }
    size_t Size() const { return m_nSize; }
    QByteArray Bytes() const { return QByteArray(m_pBytes.get(), qsizetype(m_nSize)); }
    // Hands what is made to put, and begins anew.
    bool Put(const std::function<bool(const QByteArray&)>& put)
    {
        const bool ok = put(QByteArray::fromRawData(m_pBytes.get(), qsizetype(m_nSize)));
        m_nSize = 0;
        return ok;
    }

private:
    // Room for size bytes more at the end.
    char* Room(size_t size)
    {
        if (m_nCapacity - m_nSize < size)
            Grow(size);
        return m_pBytes.get() + m_nSize;
    }
    void Grow(size_t size)
    {
        const size_t capacity = std::max({m_nCapacity * 2, m_nSize + size, size_t(1) << 16});
        std::unique_ptr<char[]> bytes(new char[capacity]);
        if (m_nSize > 0)
            std::memcpy(bytes.get(), m_pBytes.get(), m_nSize);
        m_pBytes = std::move(bytes);
        m_nCapacity = capacity;
    }

    std::unique_ptr<char[]> m_pBytes;
    size_t m_nSize = 0;
    size_t m_nCapacity = 0;
};

// A text as a CSV field.
QByteArray csvField(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    CsvOut field;
    field.Field(QByteArrayView(utf8));
    return field.Bytes();
}

// "  FILE[:ROW]: [line L point P[ index I]: ]MESSAGE"
QString findingText(const SPSCheckFindingList& list, const SPSCheckFinding& f)
{
    QString where = list.FilePath(f);
    if (f.row > 0)
        where += QLatin1Char(':') + QString::number(qint64(f.row));
    const QString line = list.Line(f);
    const QString point = list.Point(f);
    QString what;
    if (!line.isEmpty() || !point.isEmpty()) {
        const QString index = list.Index(f);
        what =
            QStringLiteral("line %1 point %2%3: ")
                .arg(line, point, index.isEmpty() ? QString() : QStringLiteral(" index ") + index);
    }
    return where + QStringLiteral(": ") + what + list.Message(f);
}

// What a group of the kind's findings is about.
QString groupWhat(SPSCheckFinding::Kind kind)
{
    static const char* const what[SPSCheckFinding::KindCount] = {
        QT_TRANSLATE_NOOP("SPSSurveyCheck", "the revision of the file"),
        QT_TRANSLATE_NOOP("SPSSurveyCheck", "fields that are not numbers"),
        QT_TRANSLATE_NOOP("SPSSurveyCheck", "rows that end before the layout's last field"),
        QT_TRANSLATE_NOOP("SPSSurveyCheck", "blank point fields"),
        QT_TRANSLATE_NOOP("SPSSurveyCheck", "these points again, with the same coordinates"),
        QT_TRANSLATE_NOOP("SPSSurveyCheck", "these points again, with other coordinates"),
        QT_TRANSLATE_NOOP("SPSSurveyCheck", "point numbers that several lines share"),
        QT_TRANSLATE_NOOP("SPSSurveyCheck", "points at (0, 0) or far off their line"),
        QT_TRANSLATE_NOOP("SPSSurveyCheck", "what single precision does to the coordinates"),
        QT_TRANSLATE_NOOP("SPSSurveyCheck", "X rows name these source points, which the S file "
                                            "lacks"),
        QT_TRANSLATE_NOOP("SPSSurveyCheck", "no X row names these source points"),
        QT_TRANSLATE_NOOP("SPSSurveyCheck", "X rows name receiver stations the R file lacks"),
        QT_TRANSLATE_NOOP("SPSSurveyCheck", "no X row's receiver range holds these points"),
        QT_TRANSLATE_NOOP("SPSSurveyCheck", "channels that overlap within a field record"),
        QT_TRANSLATE_NOOP("SPSSurveyCheck", "field records given to two shots"),
        QT_TRANSLATE_NOOP("SPSSurveyCheck", "rows that do not look like SPS records"),
        QT_TRANSLATE_NOOP("SPSSurveyCheck", "numbers beyond 32 bits"),
    };
    return SPSCheckTranslated(what[kind]);
}

QString counted(qsizetype n, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

// "N findings: E errors, W warnings, T notes"
QByteArray tally(const qsizetype (&bySeverity)[SPSCheckFinding::SeverityCount])
{
    qsizetype all = 0;
    for (const qsizetype n : bySeverity)
        all += n;
    return (counted(all, "finding", "findings") + QStringLiteral(": ") +
            counted(bySeverity[SPSCheckFinding::Error], "error", "errors") + QStringLiteral(", ") +
            counted(bySeverity[SPSCheckFinding::Warning], "warning", "warnings") +
            QStringLiteral(", ") + counted(bySeverity[SPSCheckFinding::Note], "note", "notes"))
        .toUtf8();
}
} // namespace

void ForEachGroup(const SPSCheckFindingList& findings,
                  const std::function<void(const Group&)>& take)
{
    Group g;
    double last = 0;       // the value of the group's last point
    bool numbered = false; // the group's points are numbers
    for (size_t i = 0; i < findings.size(); ++i) {
        const SPSCheckFinding& f = findings[i];
        double v = 0;
        const bool number = f.line >= 0 && findings.PointValue(f, &v);
        if (g.count > 0) {
            const SPSCheckFinding& head = findings[g.first];
            // Points of one line in even steps, or findings about no point.
            const bool sameRun =
                head.kind == f.kind && head.file == f.file &&
                (f.line < 0 ? head.line < 0 && f.point == SPSCheckFinding::kNoText
                            : numbered && number &&
                                  (head.line == f.line ||
                                   findings.LineName(head.line) == findings.LineName(f.line)) &&
                                  (g.count == 1 || v - last == g.step));
            if (sameRun) {
                if (g.count == 1 && f.line >= 0)
                    g.step = v - last;
                ++g.count;
                last = v;
                continue;
            }
            take(g);
        }
        g = {i, 1, 0};
        numbered = number;
        last = v;
    }
    if (g.count > 0)
        take(g);
}

std::vector<Group> Groups(const SPSCheckFindingList& findings)
{
    std::vector<Group> groups;
    ForEachGroup(findings, [&groups](const Group& g) { groups.push_back(g); });
    return groups;
}

QString GroupText(const SPSCheckFindingList& findings, const Group& group)
{
    const SPSCheckFinding& head = findings[group.first];
    if (group.count == 1)
        return findingText(findings, head);
    const SPSCheckFinding& tail = findings[group.first + group.count - 1];
    QString where;
    if (head.line < 0)
        where = QStringLiteral("rows %1-%2 (%3)")
                    .arg(qint64(head.row))
                    .arg(qint64(tail.row))
                    .arg(qulonglong(group.count));
    else if (group.step == 0)
        where = QStringLiteral("line %1: point %2, %3 times")
                    .arg(findings.Line(head), findings.Point(head))
                    .arg(qulonglong(group.count));
    else
        where =
            QStringLiteral("line %1: points %2-%3%4")
                .arg(findings.Line(head), findings.Point(head), findings.Point(tail),
                     group.step == 1 ? QString()
                                     : QStringLiteral(" step ") + SPSCheckNumberText(group.step));
    return findings.FilePath(head) + QStringLiteral(": ") + where + QStringLiteral(": ") +
           groupWhat(head.kind);
}

QByteArray CheckLines(const SPSCheckFindingList& findings)
{
    // One pass: findings of a kind need not stand together.
    qsizetype counts[SPSCheckFinding::KindCount] = {};
    QByteArray shown[SPSCheckFinding::KindCount];
    for (const SPSCheckFinding& f : findings) {
        if (++counts[f.kind] > kShown)
            continue;
        shown[f.kind] += "  " + findingText(findings, f).toUtf8() + '\n';
    }
    QByteArray text;
    for (int k = 0; k < SPSCheckFinding::KindCount; ++k)
        if (counts[k] > 0)
            text += "check: " + SPSCheckFinding::KindName(SPSCheckFinding::Kind(k)).toUtf8() +
                    ": " + QByteArray::number(counts[k]) + '\n' + shown[k];
    if (findings.empty())
        return text;

    // The same findings by groups, with their severities.
    qsizetype groupCounts[SPSCheckFinding::KindCount] = {};
    QByteArray groupLines[SPSCheckFinding::KindCount];
    ForEachGroup(findings, [&](const Group& g) {
        const SPSCheckFinding::Kind kind = findings[g.first].kind;
        if (++groupCounts[kind] <= kShown)
            groupLines[kind] += "  " + GroupText(findings, g).toUtf8() + '\n';
    });
    // The worst of a kind's findings; by file, and in all.
    int worst[SPSCheckFinding::KindCount];
    std::fill(std::begin(worst), std::end(worst), int(SPSCheckFinding::SeverityCount));
    std::vector<std::array<qsizetype, SPSCheckFinding::SeverityCount>> byFile(
        findings.Files().size());
    qsizetype inAll[SPSCheckFinding::SeverityCount] = {};
    for (const SPSCheckFinding& f : findings) {
        const SPSCheckFinding::Severity s = findings.SeverityOf(f);
        worst[f.kind] = qMin(worst[f.kind], int(s));
        ++byFile[f.file][s];
        ++inAll[s];
    }
    for (int k = 0; k < SPSCheckFinding::KindCount; ++k) {
        if (counts[k] == 0)
            continue;
        text += "check: " + SPSCheckFinding::KindName(SPSCheckFinding::Kind(k)).toUtf8() + ": " +
                QByteArray::number(counts[k]) + " (" +
                SPSCheckFinding::SeverityName(SPSCheckFinding::Severity(worst[k])).toUtf8() +
                ") in " + counted(groupCounts[k], "group", "groups").toUtf8() + '\n' +
                groupLines[k];
        if (groupCounts[k] > kShown)
            text += "  and " +
                    counted(groupCounts[k] - kShown, "more group", "more groups").toUtf8() + '\n';
    }
    for (size_t file = 0; file < byFile.size(); ++file) {
        qsizetype n[SPSCheckFinding::SeverityCount];
        std::copy(byFile[file].begin(), byFile[file].end(), n);
        if (n[0] + n[1] + n[2] == 0)
            continue;
        const SPSCheckFindingList::File& f = findings.Files()[file];
        text += "check: " + QString(f.letter).toUtf8() + " file " + f.path.toUtf8() + ": " +
                tally(n) + '\n';
    }
    text += "check: in all: " + tally(inAll) + '\n';
    return text;
}

namespace {
// Writes findings as report rows; one to a thread, as it keeps the names it
// has made.
class ReportRows
{
public:
    explicit ReportRows(const SPSCheckFindingList& findings)
        : m_Findings(findings), m_Lines(size_t(findings.LineCount())), m_LineMade(m_Lines.size()),
          m_Messages(findings)
    {
        // A file's path, quoted once.
        for (const SPSCheckFindingList::File& file : findings.Files())
            m_Files.push_back(csvField(file.path));
        for (int k = 0; k < SPSCheckFinding::KindCount; ++k)
            m_Kinds[k] = SPSCheckFinding::KindName(SPSCheckFinding::Kind(k)).toUtf8();
    }

    void Append(const SPSCheckFinding& f, CsvOut& csv)
    {
        csv.Add(m_Files[f.file]);
        csv.Add(',');
        csv.Number(qint64(f.row));
        csv.Add(',');
        csv.Add(m_Kinds[f.kind]);
        csv.Add(',');
        if (f.line >= 0) {
            const size_t id = size_t(f.line);
            if (!m_LineMade[id]) {
                m_Lines[id] = csvField(m_Findings.LineName(f.line));
                m_LineMade[id] = true;
            }
            csv.Add(m_Lines[id]);
        }
        csv.Add(',');
        SPSCheckNumber::Spelling room;
        csv.Field(m_Findings.PointBytes(f, room));
        csv.Add(',');
        if (f.index) {
            const char index = char(f.index);
            csv.Field(std::string_view(&index, 1));
        }
        csv.Add(',');
        m_Message.clear();
        m_Messages.Append(f, m_Message);
        csv.Field(std::string_view(m_Message));
        csv.Add(',');
        if (f.hasPosition) {
            csv.Fixed(f.x);
            csv.Add(',');
            csv.Fixed(f.y);
        } else {
            csv.Add(',');
        }
        csv.Add('\n');
    }

private:
    const SPSCheckFindingList& m_Findings;
    std::vector<QByteArray> m_Files;
    QByteArray m_Kinds[SPSCheckFinding::KindCount];
    // Each line's field, made when first needed.
    std::vector<QByteArray> m_Lines;
    std::vector<bool> m_LineMade;
    SPSCheckFindingList::MessageWriter m_Messages;
    std::string m_Message;
};
} // namespace

bool ReportCsv(const SPSCheckFindingList& findings,
               const std::function<bool(const QByteArray&)>& put)
{
    // Millions of rows are made by two threads, a part each in turn, and
    // handed to put in order by this one; a part is some 4 MB.
    constexpr size_t kPart = 32768;
    const size_t parts = (findings.size() + kPart - 1) / kPart;
    const auto make = [&findings](ReportRows& rows, size_t part, CsvOut& csv) {
        const size_t end = std::min(findings.size(), (part + 1) * kPart);
        for (size_t i = part * kPart; i < end; ++i)
            rows.Append(findings[i], csv);
    };
    // The other thread's parts, one at a time: at most three are held.
    std::mutex mutex;
    std::condition_variable changed;
    CsvOut made;
    bool full = false, stop = false;
    std::thread other;
    if (parts > 1)
        other = std::thread([&] {
            ReportRows rows(findings);
            for (size_t part = 1; part < parts; part += 2) {
                CsvOut csv;
                make(rows, part, csv);
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return !full || stop; });
                if (stop)
                    return;
                made = std::move(csv);
                full = true;
                changed.notify_all();
            }
        });
    const auto joinOther = qScopeGuard([&] {
        if (!other.joinable())
            return;
        {
            std::lock_guard lock(mutex);
            stop = true;
        }
        changed.notify_all();
        other.join();
    });

    ReportRows rows(findings);
    CsvOut csv;
    csv.Add(QByteArrayView("file,row,kind,line,point,index,message,x,y\n"));
    for (size_t part = 0; part < parts; part += 2) {
        make(rows, part, csv);
        if (!csv.Put(put))
            return false;
        if (part + 1 < parts) {
            CsvOut theirs;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return full; });
                theirs = std::move(made);
                made = CsvOut();
                full = false;
            }
            changed.notify_all();
            if (!theirs.Put(put))
                return false;
        }
    }
    return csv.Size() == 0 || csv.Put(put);
}

QByteArray ReportCsv(const SPSCheckFindingList& findings)
{
    QByteArray all;
    ReportCsv(findings, [&all](const QByteArray& part) {
        all += part;
        return true;
    });
    return all;
}

} // namespace SPSFindingsWriter
