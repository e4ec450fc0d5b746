#pragma once

#include <QChar>
#include <QLatin1StringView>
#include <QList>
#include <QString>

#include <memory>
#include <utility>

class QIODevice;
class SPSUtf8Decoder;
class QTextStream;

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
//
// Two ways of reading give the same rows, fields and numbers:
// - the fast path reads the file in large blocks, cuts the rows itself and
//   works on the bytes of plain ASCII rows; any other row is decoded as UTF-8
//   exactly as QTextStream decodes it (a leading UTF-8 byte-order mark is
//   dropped, invalid bytes become U+FFFD);
// - the general path decodes through QTextStream. It is used for files that
//   begin with a UTF-16 or UTF-32 byte-order mark, and when asked for.
class SPSRowReader
{
public:
    // The device must be open for reading and outlive the reader.
    SPSRowReader(QIODevice* device, QChar recordLetter, bool autoSkip, qint32 skipCount);
    ~SPSRowReader();
    SPSRowReader(const SPSRowReader&) = delete;
    SPSRowReader& operator=(const SPSRowReader&) = delete;

    // Settings, to be made before the first NextRecord.
    //
    // Keeps only the first `units` UTF-16 units of each row (at least one), so
    // that a row costs no more memory than that whatever the file holds. Fields
    // that end within the limit read the same; whether a row is a record still
    // depends on the whole row. 0 or less: rows are kept whole (the default).
    void SetRowLimit(qint64 units);
    // Reads every row through QTextStream, the reference the fast path is
    // measured and tested against.
    void SetGeneralPath(bool general) { m_bForceGeneral = general; }
    // The same for every reader constructed from now on (benchmarks and tests).
    static void SetGeneralPathForAll(bool general);
    // Size of the fast path's read buffer; rows longer than it are read in pieces.
    void SetBlockSize(qint32 bytes);

    // The row limit that keeps the given fields (pos, len) whole: the furthest
    // field end, or 0 (rows kept whole) when a field runs to the row's end.
    static qint64 RowLimitFor(const QList<std::pair<qint32, qint32>>& fields);

    // Moves to the next record row; false when the file has no more.
    bool NextRecord();

    // The current record row, without its line terminator (cut at the row limit).
    const QString& Row() const;
    // Its length in UTF-16 units as kept (at most the row limit), without building it.
    qsizetype RowLength() const;
    // Its number in the file, counted from 1 over every row, header rows included.
    qint64 RowNumber() const { return m_nRowNumber; }

    // The trimmed text of the field; empty when it starts past the row's end.
    QString FieldText(qint32 pos, qint32 len) const;
    // The field converted as a number; 0 when it is not one.
    double RealField(qint32 pos, qint32 len) const;
    float FloatField(qint32 pos, qint32 len) const;

    // True when the current row is held as plain ASCII bytes; PlainField then
    // gives the trimmed field text without building a QString.
    bool IsPlainRow() const { return m_RowKind == RowKind::Plain; }
    // Valid until the next NextRecord; empty on a row that is not plain.
    QLatin1StringView PlainField(qint32 pos, qint32 len) const;

private:
    enum class RowKind
    {
        None,
        Plain,
        Text
    };
    enum class Source
    {
        Unopened,
        Blocks,
        StreamLines,
        StreamChunks
    };

    void Open();
    bool NextRow();
    bool NextBlockRow();
    bool NextStreamLine();
    bool NextStreamChunkRow();
    bool FillBlock();
    void TakePlainOrDecode(const char* bytes, qsizetype size, bool terminated);
    void TakeLongRow();
    void FeedLongRow(const char* bytes, qsizetype size, bool* decoding);
    bool KeptFull() const { return m_nRowLimit > 0 && m_Text.size() >= m_nRowLimit; }
    // The kept part is complete and the row is known not to be blank.
    bool RowDecided() const { return KeptFull() && !m_bRestBlank; }
    void BeginText();
    void PutChar(char16_t c);
    void PutText(const QChar* chars, qsizetype size);
    void EndText();
    bool IsRecord() const;

    QIODevice* m_pDevice = nullptr;
    QChar m_Letter;
    bool m_bAutoSkip = true;
    bool m_bForceGeneral = false;
    qint64 m_nToSkip = 0;
    qint64 m_nRowLimit = 0; // 0: rows kept whole
    qint64 m_nRowNumber = 0;
    Source m_Source = Source::Unopened;

    // Fast path: the read buffer and the unread part of it.
    std::unique_ptr<char[]> m_Block;
    qsizetype m_nBlockSize = 1 << 20;
    qsizetype m_nBegin = 0;
    qsizetype m_nEnd = 0;
    bool m_bDeviceEnd = false;
    std::unique_ptr<SPSUtf8Decoder> m_pDecoder;

    // General path.
    std::unique_ptr<QTextStream> m_pStream;
    QString m_Chunk;
    qsizetype m_nChunkPos = 0;

    // The current row: plain bytes (a view into the block, the kept part first,
    // then the rest of the row) or decoded text (the kept part only).
    RowKind m_RowKind = RowKind::None;
    const char* m_pPlain = nullptr;
    qsizetype m_nPlainKept = 0;
    qsizetype m_nPlainSize = 0;
    QString m_Text;
    bool m_bRestBlank = true; // all characters beyond the kept part are blank
    bool m_bPendingCR = false;
    mutable QString m_PlainText; // Row() of a plain row, built on demand
    mutable bool m_bPlainTextValid = false;
};

// The integer a point is numbered by: digits and "." of the text, read as a
// number, truncated toward zero, low 32 bits kept. Not a number, not finite or
// too large for 64 bits: 0.
qint32 PointNumberFromText(const QString& text);
qint32 PointNumberFromText(QLatin1StringView text);
