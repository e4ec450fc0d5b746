#pragma once

#include <QChar>
#include <QString>
#include <QTextStream>

class QIODevice;

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
class SPSRowReader
{
public:
    // The device must be open for reading and outlive the reader.
    SPSRowReader(QIODevice* device, QChar recordLetter, bool autoSkip, qint32 skipCount);
    SPSRowReader(const SPSRowReader&) = delete;
    SPSRowReader& operator=(const SPSRowReader&) = delete;

    // Moves to the next record row; false when the file has no more.
    bool NextRecord();

    // The current record row, without its line terminator.
    const QString& Row() const { return m_Row; }

    // The trimmed text of the field; empty when it starts past the row's end.
    QString FieldText(qint32 pos, qint32 len) const;
    // The field converted as a number; 0 when it is not one.
    double RealField(qint32 pos, qint32 len) const;
    float FloatField(qint32 pos, qint32 len) const;

private:
    bool IsRecord() const;

    QTextStream m_Stream;
    QChar m_Letter;
    bool m_bAutoSkip;
    qint64 m_nToSkip;
    QString m_Row;
};

// The integer a point is numbered by: digits and "." of the text, read as a
// number, truncated toward zero, low 32 bits kept. Not a number, not finite or
// too large for 64 bits: 0.
qint32 PointNumberFromText(const QString& text);
