#include "SPSRevisionDetector.h"

#include "SPSLineSource.h"
#include "SPSNumbers.h"

#include <QCoreApplication>
#include <QFile>
#include <QIODevice>
#include <QRegularExpression>
#include <QVarLengthArray>

#include <limits>
#include <utility>

namespace {
// Columns counted from 1, as SPS documents count them.
QStringView columns(const QString& row, int first, int last)
{
    const qsizetype from = first - 1;
    if (from >= row.size())
        return {};
    return QStringView(row).mid(from, qMin<qsizetype>(last - first + 1, row.size() - from));
}

bool isNumber(const QString& row, int first, int last)
{
    const QStringView field = columns(row, first, last).trimmed();
    if (field.isEmpty())
        return false;
    // Plain ASCII, as nearly every field is, goes through the load's own
    // conversion: toDouble would cost a load of a million rows a few percent.
    QVarLengthArray<char, 32> ascii;
    for (const QChar c : field) {
        if (c.unicode() > 0x7F) {
            bool ok = false;
            (void)field.toDouble(&ok);
            return ok;
        }
        ascii.append(char(c.unicode()));
    }
    double value = 0;
    return RealFromText(QLatin1StringView(ascii.constData(), ascii.size()), &value);
}

bool isBlank(const QString& row, int first, int last)
{
    return columns(row, first, last).trimmed().isEmpty();
}

bool isIndexDigit(const QString& row, int column)
{
    const QStringView c = columns(row, column, column);
    return !c.isEmpty() && c.at(0) >= u'1' && c.at(0) <= u'9';
}
} // namespace

SPSRevision SPSRevisionDetector::HeaderRevision(const QString& row)
{
    if (!row.startsWith(QLatin1String("H00"), Qt::CaseInsensitive))
        return SPSRevision::Unknown;
    // "SPS V2.1", "SPS 2.1", "SPS001", "SPS 1", "sps v1.0" ...; the words of the
    // row's label ("SPS format version") carry no number and are passed over.
    // Made here, not shared: loads on several threads detect at once.
    const QRegularExpression version(QStringLiteral("SPS[\\s_-]*V?\\.?\\s*(\\d+(?:\\.\\d+)?)"),
                                     QRegularExpression::CaseInsensitiveOption);
    auto it = version.globalMatch(row);
    while (it.hasNext()) {
        const QString number = it.next().captured(1);
        bool ok = false;
        const double value = number.toDouble(&ok);
        if (!ok)
            continue;
        if (value == 1.0)
            return SPSRevision::Revision1;
        if (value == 2.1 || number == QLatin1String("2.10"))
            return SPSRevision::Revision21;
    }
    return SPSRevision::Unknown;
}

SPSRevision SPSRevisionDetector::RowRevision(const QString& row, QChar recordLetter)
{
    if (row.isEmpty() || row.at(0) != recordLetter)
        return SPSRevision::Unknown;
    if (recordLetter == u'X') {
        // Relation rows: source line and point, channels, receiver range.
        if (isNumber(row, 18, 27) && isNumber(row, 28, 37) && isNumber(row, 39, 43) &&
            isNumber(row, 44, 48) && isNumber(row, 60, 69) && isNumber(row, 70, 79))
            return SPSRevision::Revision21;
        if (!isBlank(row, 14, 29) && isNumber(row, 30, 37) && isNumber(row, 39, 42) &&
            isNumber(row, 43, 46) && isNumber(row, 64, 71) && isNumber(row, 72, 79))
            return SPSRevision::Revision1;
        return SPSRevision::Unknown;
    }
    // Revision 2.1: numeric line 2-11 and point 12-21, 22 blank, index in 24;
    // some writers right-align the index in 23-24 ("01").
    if (isNumber(row, 2, 11) && isNumber(row, 12, 21) && isBlank(row, 22, 22) &&
        (isBlank(row, 23, 23) || columns(row, 23, 23) == u"0") && isIndexDigit(row, 24))
        return SPSRevision::Revision21;
    // Revision 1: any line name 2-17, numeric point 18-25, index right after it.
    if (!isBlank(row, 2, 17) && isNumber(row, 18, 25) && isIndexDigit(row, 26))
        return SPSRevision::Revision1;
    return SPSRevision::Unknown;
}

SPSRevision SPSRevisionDetector::Misread(const SPSRevisionVerdict& verdict, SPSRevision inUse)
{
    const SPSRevision written = verdict.rowsRevision != SPSRevision::Unknown
                                    ? verdict.rowsRevision
                                    : verdict.headerRevision;
    // A file without rows of the letter is read in no columns at all.
    if (inUse == SPSRevision::Unknown || written == inUse || verdict.recordRows == 0)
        return SPSRevision::Unknown;
    return written;
}

SPSRevisionVerdict SPSRevisionDetector::DetectRows(const QStringList& rows, QChar recordLetter)
{
    SPSRevisionVerdict v;
    QString headerText;
    qint32 fit1 = 0, fit21 = 0;
    for (const QString& row : rows) {
        if (v.rowsRead >= MaxRows)
            break;
        ++v.rowsRead;
        if (v.headerRevision == SPSRevision::Unknown) {
            v.headerRevision = HeaderRevision(row);
            if (v.headerRevision != SPSRevision::Unknown)
                headerText =
                    row.mid(32).trimmed().isEmpty() ? row.trimmed() : row.mid(32).trimmed();
        }
        if (row.isEmpty() || row.at(0) != recordLetter)
            continue;
        ++v.recordRows;
        switch (RowRevision(row, recordLetter)) {
        case SPSRevision::Revision1:
            ++fit1;
            break;
        case SPSRevision::Revision21:
            ++fit21;
            break;
        case SPSRevision::Unknown:
            break;
        }
    }

    // The rows decide when nearly all of them fit one revision.
    QString rowsEvidence;
    const QString letter(recordLetter);
    if (v.recordRows < MinRecordRows) {
        rowsEvidence = QCoreApplication::translate("SPSRevisionDetector",
                                                   "only %1 %2 rows, too few to judge by")
                           .arg(v.recordRows)
                           .arg(letter);
    } else {
        const qint32 needed = (v.recordRows * 9 + 9) / 10;
        if (fit21 >= needed)
            v.rowsRevision = SPSRevision::Revision21;
        else if (fit1 >= needed)
            v.rowsRevision = SPSRevision::Revision1;
        if (v.rowsRevision != SPSRevision::Unknown)
            rowsEvidence =
                QCoreApplication::translate("SPSRevisionDetector",
                                            "%1 of %2 %3 rows have the columns of revision %4")
                    .arg(v.rowsRevision == SPSRevision::Revision21 ? fit21 : fit1)
                    .arg(v.recordRows)
                    .arg(letter, SPSLayoutPresets::RevisionText(v.rowsRevision));
        else
            rowsEvidence = QCoreApplication::translate(
                               "SPSRevisionDetector",
                               "of %1 %2 rows, %3 fit revision 1 and %4 fit revision 2.1")
                               .arg(v.recordRows)
                               .arg(letter)
                               .arg(fit1)
                               .arg(fit21);
    }

    if (v.headerRevision != SPSRevision::Unknown) {
        v.revision = v.headerRevision;
        v.evidence = QCoreApplication::translate("SPSRevisionDetector", "header row \"%1\"; %2")
                         .arg(headerText, rowsEvidence);
    } else {
        v.revision = v.rowsRevision;
        v.evidence = QCoreApplication::translate("SPSRevisionDetector",
                                                 "no header row names the revision; %1")
                         .arg(rowsEvidence);
    }
    return v;
}

SPSRevisionVerdict SPSRevisionDetector::Detect(QIODevice* device, QChar recordLetter,
                                               const std::atomic<bool>* stop)
{
    QStringList rows;
    if (!device)
        return DetectRows(rows, recordLetter);
    // Read as the load reads: gzip data as its text, a byte-order mark dropped.
    SPSLineSource lines(device);
    lines.SetLineLimit(MaxLineLength);
    lines.SetReadBudget(MaxBytes);
    while (rows.size() < MaxRows && lines.Next())
        rows.append(lines.Line().toString());
    SPSRevisionVerdict v = DetectRows(rows, recordLetter);
    if (v.recordRows >= MinRecordRows)
        return v;

    // One file may hold the S, the R and the X rows one part after another,
    // each as long as the survey: the letter's rows are looked for further on.
    // The start's header rows and the letter's rows are judged.
    QStringList judged;
    for (const QString& row : std::as_const(rows))
        if (row.startsWith(u'H', Qt::CaseInsensitive) || row.startsWith(recordLetter))
            judged.append(row);
    const qsizetype fromStart = judged.size();
    qint64 examined = v.rowsRead;
    // The rows of other letters are passed over unread, a part at a time.
    qint64 passed = 0;
    while (judged.size() < MaxRows && lines.NextStartingWith(recordLetter.unicode(), &passed)) {
        const qint64 before = examined;
        examined += passed + 1;
        if (stop && (before >> 12) != (examined >> 12) && stop->load(std::memory_order_relaxed))
            return v;
        judged.append(lines.Line().toString());
    }
    examined += passed;
    if (judged.size() == fromStart)
        return v;
    v = DetectRows(judged, recordLetter);
    v.rowsRead = qint32(qMin<qint64>(examined, std::numeric_limits<qint32>::max()));
    return v;
}

SPSRevisionVerdict SPSRevisionDetector::DetectFile(const QString& path, QChar recordLetter,
                                                   const std::atomic<bool>* stop)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        SPSRevisionVerdict v;
        v.evidence = QCoreApplication::translate("SPSRevisionDetector", "cannot open the file");
        return v;
    }
    return Detect(&file, recordLetter, stop);
}
