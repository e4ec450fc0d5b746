#pragma once

#include "SPSEngineExport.h"

#include "SPSLineSource.h"
#include "SPSNumbers.h"

#include "SPSText.h"
#include <QChar>
#include <QList>
#include <QString>

#include <cstring>
#include <utility>

class QIODevice;
class VeTaskSPSFilesLoaderParam;
namespace SPSLayout {
enum class File;
}

// Reads the record rows of one SPS point file: passes over the header rows, then
// hands out the rows that are records, one at a time, and cuts fixed-column
// fields out of the current row. Positions are 0-based and count UTF-16 units
// of the decoded row.
//
// Which rows are records:
// - automatic mode: exactly the rows whose first character is the file's
//   record letter;
// - fixed-count mode: every row after the first skipCount rows, except comment
//   rows (first character "C") and blank rows (white space or the DOS
//   end-of-file mark only).
class SPS_ENGINE_EXPORT SPSRowReader
{
public:
    // The device must be open for reading and outlive the reader.
    SPSRowReader(QIODevice* device, QChar recordLetter, bool autoSkip, qint32 skipCount,
                 const SPSReadOptions& options = {});

    // Keeps only the first `units` UTF-16 units of each row (at least one), so
    // that a row costs no more memory than that whatever the file holds. Fields
    // that end within the limit read the same; whether a row is a record still
    // depends on the whole row. 0 or less: rows are kept whole (the default).
    // To be set before the first NextRecord.
    void SetRowLimit(qint64 units) { m_Lines.SetLineLimit(units); }

    // The row limit that keeps the given fields (pos, len) whole: the furthest
    // field end, or 0 (rows kept whole) when a field runs to the row's end.
    static qint64 RowLimitFor(const QList<std::pair<qint32, qint32>>& fields);
    // A reader of one of the record's files, passing over its header rows as
    // the record says for that file.
    static SPSRowReader ForFile(QIODevice* device, const VeTaskSPSFilesLoaderParam& param,
                                SPSLayout::File kind, QChar recordLetter);

    // Moves to the next record row; false when the file has no more, or when
    // a read error ended it early (Failed()).
    bool NextRecord();
    // A read error stopped the reading before the end of the file.
    bool Failed() const { return m_Lines.Failed(); }

    // The current record row, without its line terminator (cut at the row limit).
    QString Row() const { return m_Line.toString(); }
    // Its length in UTF-16 units as kept (at most the row limit), without building it.
    qsizetype RowLength() const { return m_Line.size(); }
    // Its number in the file, counted from 1 over every row, header rows included.
    qint64 RowNumber() const { return m_nRowNumber; }

    // The trimmed text of the field, empty when it starts past the row's end;
    // Latin-1 on plain ASCII rows, UTF-16 otherwise. Valid until the next NextRecord.
    SPSText Field(qint32 pos, qint32 len) const
    {
        // A field that lies whole in a plain ASCII row is cut and trimmed here.
        if (m_Line.IsLatin1() && pos >= 0 && len >= 0 && qint64(pos) + len <= m_Line.size())
            return TrimmedAscii(m_Line.Latin1().data() + pos, len);
        return OtherField(pos, len);
    }
    QString FieldText(qint32 pos, qint32 len) const { return Field(pos, len).toString(); }
    // The field converted as a number; 0 when it is not one. A field that lies
    // whole in a plain ASCII row and holds the usual form converts inline.
    double RealField(qint32 pos, qint32 len) const
    {
        double value = 0;
        if (ShortField(pos, len, &value))
            return value;
        return OtherRealField(pos, len);
    }
    float FloatField(qint32 pos, qint32 len) const
    {
        // toFloat rounds the double that toDouble gives; such a value lies
        // well within float's range, where that is the plain conversion.
        double value = 0;
        if (ShortField(pos, len, &value))
            return float(value);
        return OtherFloatField(pos, len);
    }
    // The inline conversion alone: true with the value when the field lies
    // whole in a plain ASCII row and holds the usual form; RealField then
    // gives that value.
    bool ShortField(qint32 pos, qint32 len, double* value) const
    {
        return m_Line.IsLatin1() && pos >= 0 && len > 0 && qint64(pos) + len <= m_Line.size() &&
               ShortPaddedDecimal(m_Line.Latin1().data() + pos, len, value);
    }

private:
    SPSText OtherField(qint32 pos, qint32 len) const;
    double OtherRealField(qint32 pos, qint32 len) const;
    float OtherFloatField(qint32 pos, qint32 len) const;
    // The header rule: whether the current line is a record.
    bool IsRecord() const;
    // QLatin1StringView::trimmed for the ASCII rows it is used on, passing the
    // blanks that pad fixed columns eight at a time.
    static QLatin1StringView TrimmedAscii(const char* p, qsizetype count)
    {
        // QChar::isSpace on ASCII: tab to carriage return, and the space.
        // Printable characters, nearly all that end a field, fail at the first test.
        const auto isSpace = [](char c) {
            return uchar(c) <= ' ' && (c == ' ' || (c >= '\t' && c <= '\r'));
        };
        const auto blankWord = [](const char* at) { return std::memcmp(at, "        ", 8) == 0; };
        while (count >= 8 && blankWord(p + count - 8))
            count -= 8;
        // Spaces pad nearly every field; other white space is looked for after them.
        while (count > 0 && p[count - 1] == ' ')
            --count;
        while (count > 0 && isSpace(p[count - 1]))
            --count;
        while (count >= 8 && blankWord(p)) {
            p += 8;
            count -= 8;
        }
        while (count > 0 && *p == ' ') {
            ++p;
            --count;
        }
        while (count > 0 && isSpace(*p)) {
            ++p;
            --count;
        }
        return QLatin1StringView(p, count);
    }

    SPSLineSource m_Lines;
    QChar m_Letter;
    bool m_bAutoSkip = true;
    qint64 m_nToSkip = 0;
    qint64 m_nRowNumber = 0;
    SPSText m_Line; // the current record row; empty between records
};
