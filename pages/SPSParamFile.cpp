#include "SPSParamFile.h"

#include "SPSFileAccess.h"
#include "SPSFormatValues.h"
#include "SPSLayout.h"

#include <QFile>
#include <QFileInfo>
#include <QStringConverter>
#include <QTextStream>

namespace {

const char kTitle[] = "Tarvel SPS File Load Parameter";
const char kVersion[] = "version = 1";
const char kTerminator[] = " \r\n";
// Lines longer than this are read in pieces of this length.
constexpr qint64 kMaxLineLength = 10000;

QStringList Tokens(const QString& line)
{
    return line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// The key field is as wide as the longest key of its group (skip settings,
// source and receiver columns, relation columns), so that the "=" of a group
// stands in one column.
int KeyWidth(const SPSLayout::Field& field)
{
    if (field.kind == SPSLayout::Kind::AutoSkip || field.kind == SPSLayout::Kind::RowCount)
        return 9;
    return field.file == SPSLayout::File::Relation ? 17 : 13;
}

} // namespace

SPSParamFile::Status SPSParamFile::Read(const QString& path, SPSFormatValues* values)
{
    // A FIFO or a device would block the open or never end; a folder fails to open.
    const QFileInfo info(path);
    if (info.exists() && !info.isDir() && !SPSMayOpenForReading(path))
        return NotRegularFile;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return CannotOpen;
    QTextStream in(&file);
    in.setEncoding(QStringConverter::System);

    in.readLine(kMaxLineLength); // the title, whatever it says
    const QStringList version = Tokens(in.readLine(kMaxLineLength));
    if (version.size() < 3 || version[0].toUpper() != QLatin1String("VERSION") ||
        version[2] != QLatin1String("1"))
        return InvalidVersion;

    SPSFormatValues read = values ? *values : SPSFormatValues();
    while (!in.atEnd()) {
        const QStringList tokens = Tokens(in.readLine(kMaxLineLength));
        if (tokens.size() == 3)
            read.SetValue(tokens[0], tokens[2]);
    }
    if (values)
        *values = read;
    return Ok;
}

bool SPSParamFile::Write(const QString& path, const SPSFormatValues& values)
{
    QString text;
    text += QLatin1String(kTitle) + QLatin1String(kTerminator);
    text += QLatin1String(kVersion) + QLatin1String(kTerminator);
    for (const SPSLayout::Field& field : SPSLayout::Fields()) {
        const QString key = QString::fromLatin1(field.key);
        text += key.leftJustified(KeyWidth(field)) + QLatin1String(" = ") +
                QString::number(SPSFormatValues::Int64Of(values.Value(key))) +
                QLatin1String(kTerminator);
    }
    QStringEncoder encoder(QStringConverter::System);
    const QByteArray bytes = encoder.encode(text);

    return SPSOutputFile::Write(path, bytes);
}
