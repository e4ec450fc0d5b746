#include "SPSFindingsWriter.h"

namespace SPSFindingsWriter {

namespace {
// A CSV field, quoted when it holds a separator, a quote or a line break.
QByteArray csvField(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\n') || bytes.contains('\r'))
        bytes = '"' + bytes.replace('"', "\"\"") + '"';
    return bytes;
}
} // namespace

QByteArray CheckLines(const std::vector<SPSCheckFinding>& findings)
{
    constexpr int kShown = 5;
    // One pass: findings of a kind need not stand together.
    qsizetype counts[SPSCheckFinding::KindCount] = {};
    QByteArray shown[SPSCheckFinding::KindCount];
    for (const SPSCheckFinding& f : findings) {
        if (++counts[f.kind] > kShown)
            continue;
        QString where = f.file;
        if (f.row > 0)
            where += QLatin1Char(':') + QString::number(f.row);
        QString what;
        if (!f.line.isEmpty() || !f.point.isEmpty())
            what = QStringLiteral("line %1 point %2%3: ")
                       .arg(f.line, f.point,
                            f.index.isEmpty() ? QString() : QStringLiteral(" index ") + f.index);
        shown[f.kind] += ("  " + where + ": " + what + f.message).toUtf8() + '\n';
    }
    QByteArray text;
    for (int k = 0; k < SPSCheckFinding::KindCount; ++k)
        if (counts[k] > 0)
            text += "check: " + SPSCheckFinding::KindName(SPSCheckFinding::Kind(k)).toUtf8() +
                    ": " + QByteArray::number(counts[k]) + '\n' + shown[k];
    return text;
}

QByteArray ReportCsv(const std::vector<SPSCheckFinding>& findings)
{
    QByteArray csv = "file,row,kind,line,point,index,message\n";
    for (const SPSCheckFinding& f : findings)
        csv += csvField(f.file) + ',' + QByteArray::number(f.row) + ',' +
               SPSCheckFinding::KindName(f.kind).toUtf8() + ',' + csvField(f.line) + ',' +
               csvField(f.point) + ',' + csvField(f.index) + ',' + csvField(f.message) + '\n';
    return csv;
}

} // namespace SPSFindingsWriter
