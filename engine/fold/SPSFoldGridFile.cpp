#include "SPSFoldGridFile.h"

#include "SPSFileAccess.h"
#include "SPSFold.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
constexpr int kNoData = -9999;

// Fifteen significant digits: the survey's units to far below a millimetre,
// without the noise of the last binary digits.
QByteArray Number(double value)
{
    return QByteArray::number(value == 0 ? 0.0 : value, 'g', 15);
}

double Rounded(double value)
{
    return Number(value).toDouble();
}

char* AppendInt(char* out, qint64 value)
{
    if (value < 0) {
        *out++ = '-';
        value = -value;
    }
    char digits[24];
    int n = 0;
    do {
        digits[n++] = char('0' + value % 10);
        value /= 10;
    } while (value > 0);
    while (n > 0)
        *out++ = digits[--n];
    return out;
}
} // namespace

QByteArray SPSFoldGridFile::Ascii(const SPSFoldGrid& grid)
{
    QByteArray out;
    out += "ncols " + QByteArray::number(grid.columns) + '\n';
    out += "nrows " + QByteArray::number(grid.rows) + '\n';
    out += "xllcorner " + Number(grid.cornerX) + '\n';
    out += "yllcorner " + Number(grid.cornerY) + '\n';
    if (grid.binX == grid.binY) {
        out += "cellsize " + Number(grid.binX) + '\n';
    } else {
        out += "dx " + Number(grid.binX) + '\n';
        out += "dy " + Number(grid.binY) + '\n';
    }
    out += "NODATA_value " + QByteArray::number(kNoData) + '\n';
    // A row's values at most 11 characters each, written in place.
    std::vector<char> line(size_t(grid.columns) * 12 + 1);
    for (int row = grid.rows - 1; row >= 0; --row) {
        char* p = line.data();
        for (int column = 0; column < grid.columns; ++column) {
            if (column > 0)
                *p++ = ' ';
            p = AppendInt(p, grid.IsInside(column, row) ? qint64(grid.At(column, row).fold)
                                                        : qint64(kNoData));
        }
        *p++ = '\n';
        out.append(line.data(), p - line.data());
    }
    return out;
}

QByteArray SPSFoldGridFile::Json(const SPSFoldGrid& grid)
{
    QJsonObject o;
    o.insert(QStringLiteral("corner"), QJsonArray{Rounded(grid.cornerX), Rounded(grid.cornerY)});
    o.insert(QStringLiteral("azimuth"), Rounded(grid.azimuth));
    o.insert(QStringLiteral("cellSize"), QJsonArray{Rounded(grid.binX), Rounded(grid.binY)});
    o.insert(QStringLiteral("columns"), grid.columns);
    o.insert(QStringLiteral("rows"), grid.rows);
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

QString SPSFoldGridFile::JsonPath(const QString& asciiPath)
{
    const QString name = QFileInfo(asciiPath).fileName();
    if (name.size() > 4 && name.endsWith(QLatin1String(".asc"), Qt::CaseInsensitive))
        return asciiPath.left(asciiPath.size() - 4) + QStringLiteral(".json");
    return asciiPath + QStringLiteral(".json");
}

bool SPSFoldGridFile::Write(const QString& asciiPath, const SPSFoldGrid& grid, QString* errorText)
{
    QString reason;
    const QString jsonPath = JsonPath(asciiPath);
    for (const auto& [path, bytes] :
         {std::pair{asciiPath, Ascii(grid)}, std::pair{jsonPath, Json(grid)}}) {
        if (!SPSOutputFile::Write(path, bytes, &reason)) {
            if (errorText)
                *errorText = tr("Cannot write the fold grid to \"%1\": %2").arg(path, reason);
            return false;
        }
    }
    return true;
}
