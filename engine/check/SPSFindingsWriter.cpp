#include "SPSFindingsWriter.h"

#include "SPSCheckWording.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace SPSFindingsWriter {

namespace {
constexpr int kShown = 5;

// A CSV field, quoted when it holds a separator, a quote or a line break.
QByteArray csvField(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\n') || bytes.contains('\r'))
        bytes = '"' + bytes.replace('"', "\"\"") + '"';
    return bytes;
}

// A coordinate as read, in fixed notation, with the fewest digits that read back.
void appendFixed(QByteArray& to, double v)
{
    char buffer[400]; // the widest double in fixed notation has 309 digits
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed);
    to.append(buffer, qsizetype(result.ptr - buffer));
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
                                  findings.LineName(head.line) == findings.LineName(f.line) &&
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

bool ReportCsv(const SPSCheckFindingList& findings,
               const std::function<bool(const QByteArray&)>& put)
{
    constexpr qsizetype kPart = 1 << 20;
    QByteArray csv = "file,row,kind,line,point,index,message,x,y\n";
    // A file's path, quoted once.
    std::vector<QByteArray> files;
    for (const SPSCheckFindingList::File& file : findings.Files())
        files.push_back(csvField(file.path));
    QByteArray kinds[SPSCheckFinding::KindCount];
    for (int k = 0; k < SPSCheckFinding::KindCount; ++k)
        kinds[k] = SPSCheckFinding::KindName(SPSCheckFinding::Kind(k)).toUtf8();
    csv.reserve(kPart + 4096);
    for (const SPSCheckFinding& f : findings) {
        // Appended in place: millions of rows make no temporaries.
        csv.append(files[f.file]).append(',');
        csv.append(QByteArray::number(qint64(f.row))).append(',');
        csv.append(kinds[f.kind]).append(',');
        csv.append(csvField(findings.Line(f))).append(',');
        csv.append(csvField(findings.Point(f))).append(',');
        csv.append(csvField(findings.Index(f))).append(',');
        csv.append(csvField(findings.Message(f))).append(',');
        if (f.hasPosition) {
            appendFixed(csv, f.x);
            csv += ',';
            appendFixed(csv, f.y);
        } else {
            csv += ',';
        }
        csv += '\n';
        if (csv.size() >= kPart) {
            if (!put(csv))
                return false;
            csv.resize(0);
        }
    }
    return csv.isEmpty() || put(csv);
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
