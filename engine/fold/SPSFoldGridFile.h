#pragma once

#include "SPSEngineExport.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

struct SPSFoldGrid;

// The fold grid as files a GIS opens: an ESRI ASCII grid of the fold, one
// value per bin ("NODATA_value" outside the survey's outline, 0 for the empty
// bins inside it), and a companion JSON file with where the grid lies, since
// the ASCII grid cannot say that it is rotated:
//   "corner"   survey coordinates of the outer corner of bin (0, 0), which is
//              the first value of the ASCII grid's last line;
//   "azimuth"  degrees clockwise from north in which the column number grows
//              (the receiver lines' direction); the row number, up the ASCII
//              grid, grows at azimuth - 90;
//   "cellSize" a bin's size along the columns and along the rows;
//   "columns", "rows".
// The ASCII grid's own header places it as if the azimuth were 90: exact for
// lines that run east, and where the grid's rows lie for any other. Square
// bins give "cellsize", others "dx" and "dy" (as GDAL reads them).
class SPS_ENGINE_EXPORT SPSFoldGridFile
{
    Q_DECLARE_TR_FUNCTIONS(SPSFoldGridFile)
public:
    static QByteArray Ascii(const SPSFoldGrid& grid);
    static QByteArray Json(const SPSFoldGrid& grid);
    // The companion's path: the ASCII grid's with ".asc" replaced by ".json"
    // (added when it has another suffix or none).
    static QString JsonPath(const QString& asciiPath);
    // Writes both files, each as every output is (SPSOutputFile); false with
    // the reason in errorText (when given) when either fails.
    static bool Write(const QString& asciiPath, const SPSFoldGrid& grid,
                      QString* errorText = nullptr);
};
