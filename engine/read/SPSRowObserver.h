#pragma once

#include "SPSEngineExport.h"

#include "SPSText.h"

#include <QtGlobal>

class SPSRowReader;

// A numeric field of a row as the load converted it: its place (0-based, as
// SPSRowReader cuts it) and, when it held the usual short decimal
// (SPSRowReader::ShortField), its value.
struct SPSLoadedNumber
{
    qint32 pos = -1, len = 0;
    bool converted = false; // inline, as that short decimal
    double value = 0;

    // Whether the field at pos, len was converted inline.
    bool ConvertedAt(qint32 atPos, qint32 atLen) const
    {
        return converted && pos == atPos && len == atLen;
    }
};

// A text field of a row as the load cut it: its place and its trimmed text
// (SPSRowReader::Field), valid during the observer's call.
struct SPSLoadedText
{
    qint32 pos = -1, len = 0;
    SPSText text;

    // The field's text when it was cut at pos, len; null otherwise.
    const SPSText* At(qint32 atPos, qint32 atLen) const
    {
        return pos == atPos && len == atLen ? &text : nullptr;
    }
};

// What the load made of a row, handed on so that an observer need not cut
// and convert its fields again.
struct SPSLoadedRow
{
    SPSLoadedText line, point;
    SPSLoadedNumber x, y, elevation, depth;
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
    // The same, with what the load made of the row's fields; by default Row.
    virtual void RowAsLoaded(const SPSRowReader& reader, const SPSLoadedRow& loaded)
    {
        Q_UNUSED(loaded);
        Row(reader);
    }

    // The limit that keeps both the load's fields and the observer's whole.
    static qint64 CombinedLimit(qint64 a, qint64 b) { return a <= 0 || b <= 0 ? 0 : qMax(a, b); }
};
