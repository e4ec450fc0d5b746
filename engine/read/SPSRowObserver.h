#pragma once

#include "SPSEngineExport.h"

#include <QtGlobal>

class SPSRowReader;

// The load's conversion of a row's easting and northing, handed on so that an
// observer need not convert them again: the fields' places (0-based, as
// SPSRowReader cuts them) and, for each field that held the usual short
// decimal (SPSRowReader::ShortField), its value.
struct SPSRowCoordinates
{
    qint32 xPos = -1, xLen = 0, yPos = -1, yLen = 0;
    bool xShort = false, yShort = false;
    double x = 0, y = 0;
};

// Sees the record rows of one point file as the load reads them, so that
// whoever else needs those rows (the survey check) takes them from the load's
// own reading instead of reading the file a second time. Called on the thread
// that reads the file; the reader is valid only during the call.
class SPS_ENGINE_EXPORT SPSRowObserver
{
public:
    virtual ~SPSRowObserver();

    // Before the first row: the row limit the observer's fields need (as
    // SPSRowReader::SetRowLimit takes it; 0: rows kept whole), and the file's
    // size in bytes.
    virtual qint64 RowLimit() const = 0;
    virtual void Begin(qint64 fileSize) = 0;
    // One record row, the reader positioned on it.
    virtual void Row(const SPSRowReader& reader) = 0;
    // The same, with what the load made of the row's coordinates; by default Row.
    virtual void RowWithCoordinates(const SPSRowReader& reader, const SPSRowCoordinates& xy)
    {
        Q_UNUSED(xy);
        Row(reader);
    }

    // The limit that keeps both the load's fields and the observer's whole.
    static qint64 CombinedLimit(qint64 a, qint64 b) { return a <= 0 || b <= 0 ? 0 : qMax(a, b); }
};
