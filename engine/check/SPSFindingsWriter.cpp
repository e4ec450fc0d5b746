#include "SPSFindingsWriter.h"

#include "SPSCheckWording.h"

#include <QScopeGuard>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace SPSFindingsWriter {

namespace {
constexpr int kShown = 5;

// A CSV field of UTF-8 bytes, appended; quoted when it holds a separator, a
// quote or a line break.
void appendCsvField(std::string& to, std::string_view bytes)
{
    // A plain loop: find_first_of looks each byte up in the set with memchr.
    const auto special = [](char c) { return c == ',' || c == '"' || c == '\n' || c == '\r'; };
    if (std::none_of(bytes.begin(), bytes.end(), special)) {
        to.append(bytes);
        return;
    }
    to.push_back('"');
    for (size_t quote; (quote = bytes.find('"')) != std::string_view::npos;) {
        to.append(bytes.substr(0, quote + 1)).push_back('"');
        bytes.remove_prefix(quote + 1);
    }
    to.append(bytes).push_back('"');
}

// The same, of a text.
QByteArray csvField(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    std::string field;
    appendCsvField(field, std::string_view(utf8.constData(), size_t(utf8.size())));
    return QByteArray(field.data(), qsizetype(field.size()));
}

// The report's bytes as they are made, in a buffer of plain appends: a report
// may have millions of rows of a dozen fields each.
class CsvOut
{
public:
    void Add(QByteArrayView bytes) { m_Bytes.append(bytes.data(), size_t(bytes.size())); }
    void Add(char c) { m_Bytes.push_back(c); }
    void Field(std::string_view bytes) { appendCsvField(m_Bytes, bytes); }
    void Field(QByteArrayView bytes)
    {
        Field(std::string_view(bytes.data(), size_t(bytes.size())));
    }
    void Number(qint64 n)
    {
        char buffer[24];
        m_Bytes.append(buffer,
                       size_t(std::to_chars(buffer, buffer + sizeof buffer, n).ptr - buffer));
    }
    // A coordinate as read, in fixed notation, with the fewest digits that read back.
    void Fixed(double v)
    {
        char buffer[400]; // the widest double in fixed notation has 309 digits
        const auto result =
            std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed);
        m_Bytes.append(buffer, size_t(result.ptr - buffer));
    }
    size_t Size() const { return m_Bytes.size(); }
    // Hands what is made to put, and begins anew.
    bool Put(const std::function<bool(const QByteArray&)>& put)
    {
        const bool ok = put(QByteArray::fromRawData(m_Bytes.data(), qsizetype(m_Bytes.size())));
        m_Bytes.clear();
        return ok;
    }

private:
    std::string m_Bytes;
};

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
