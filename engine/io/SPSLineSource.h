#pragma once

#include "SPSEngineExport.h"

#include "SPSText.h"
#include <QString>

#include <functional>
#include <memory>

class QFile;
class QIODevice;
class QTextStream;
class SPSGzipReader;
class SPSUtf8Decoder;

// How a file is read. The defaults are the product's; the rest serve tests and
// benchmarks that measure the fast way against the general one.
struct SPSReadOptions
{
    // Every line through QTextStream, the reference the fast way is tested against.
    bool generalPath = false;
    // Bytes read at a time by the fast way; 0: its own. Lines longer than this
    // are read in pieces.
    qint32 blockSize = 0;
    // A named pipe is read as a file instead of being refused, so that a test
    // decides when a load gets its bytes.
    bool allowFifo = false;
    // Makes the file object that a load reads a path through (default: a
    // QFile), so that a test can make reading fail as a failing disk does.
    std::function<std::unique_ptr<QFile>(const QString& path)> makeFile;
};

// The lines of a text file, one at a time, as QTextStream::readLine gives them:
// a line ends at a line feed, and a carriage return before it (or ending the
// file) is dropped.
//
// The fast way reads large blocks, cuts the lines itself and hands out plain
// ASCII lines as bytes; any other line is decoded as UTF-8 exactly as
// QTextStream decodes a whole file (a leading byte-order mark is dropped,
// invalid bytes become U+FFFD), wherever the blocks happen to end. Files that
// begin with a UTF-16 or UTF-32 byte-order mark, and the general way, go
// through QTextStream.
//
// Gzip data (a file that begins with its magic bytes) is read through zlib as
// the text it holds; data found corrupt ends the lines as a read error does.
class SPS_ENGINE_EXPORT SPSLineSource
{
public:
    // The device must be open for reading and outlive the source.
    explicit SPSLineSource(QIODevice* device, const SPSReadOptions& options = {});
    ~SPSLineSource();
    SPSLineSource(const SPSLineSource&) = delete;
    SPSLineSource& operator=(const SPSLineSource&) = delete;

    // Settings, to be made before the first line is read.
    //
    // Keeps only the first `units` UTF-16 units of each line (at least one), so
    // that a line costs no more memory than that whatever the file holds;
    // IsBlank still looks at the whole line. 0 or less: lines kept whole.
    void SetLineLimit(qint64 units);
    // Stops after about this many bytes (0: no bound), as if the file ended there.
    void SetReadBudget(qint64 bytes) { m_nBudget = bytes; }

    // Moves to the next line; false at the end of the file, after a read error
    // or when the budget is spent.
    bool Next();
    // Moves to the next line whose first unit is `first` (0: an empty line),
    // passing over the others (*passed counts them); the fast way tells them
    // by their first byte, for an ASCII character, and reads no more of them.
    // False as Next is.
    bool NextStartingWith(char16_t first, qint64* passed);
    // No line left (reads ahead when needed).
    bool AtEnd();
    // A read error ended the lines before the end of the file.
    bool Failed() const { return m_bFailed; }
    // The budget ended the lines.
    bool BudgetSpent() const { return m_bBudgetSpent; }

    // The current line, cut at the limit; Latin-1 for plain ASCII lines,
    // UTF-16 otherwise. Valid until the next Next.
    SPSText Line() const;
    // Characters beyond the limit were dropped from the current line.
    bool IsCut() const;
    // The whole current line holds only white space or the DOS end-of-file mark.
    bool IsBlank() const;
    // The first unit of the current line; 0 when it is empty.
    char16_t First() const;

private:
    enum class Source
    {
        Unopened,
        Blocks,
        StreamLines,
        StreamChunks
    };

    void Open();
    bool NextBlockLine(char first = 0, qint64* passed = nullptr);
    bool NextStreamLine();
    bool NextStreamChunkLine();
    bool FillBlock();
    bool GrowBlock();
    void TakePlainOrDecode(const char* bytes, qsizetype size, bool terminated);
    void TakeLongLine();
    void FeedLongLine(const char* bytes, qsizetype size, bool* decoding);
    bool KeptFull() const { return m_nLimit > 0 && m_Text.size() >= m_nLimit; }
    // The kept part is complete and the line is known not to be blank.
    bool LineDecided() const { return KeptFull() && !m_bRestBlank; }
    void BeginText();
    void PutChar(char16_t c);
    void PutText(const QChar* chars, qsizetype size);
    void EndText();
    bool StreamFailed() const;

    QIODevice* m_pDevice = nullptr; // the text's bytes: the device given, or m_pGzip
    std::unique_ptr<SPSGzipReader> m_pGzip;
    SPSReadOptions m_Options;
    qint64 m_nLimit = 0; // 0: lines kept whole
    qint64 m_nBudget = 0;
    qint64 m_nRead = 0; // bytes (or, through QTextStream, characters) read so far
    bool m_bFailed = false;
    bool m_bBudgetSpent = false;
    Source m_Source = Source::Unopened;

    // Fast way: the read buffer and the unread part of it.
    std::unique_ptr<char[]> m_Block;
    qsizetype m_nBlockSize = 1 << 20;
    qsizetype m_nBegin = 0;
    qsizetype m_nEnd = 0;
    bool m_bDeviceEnd = false;
    std::unique_ptr<SPSUtf8Decoder> m_pDecoder;

    // General way.
    std::unique_ptr<QTextStream> m_pStream;
    QString m_Chunk;
    qsizetype m_nChunkPos = 0;

    // The current line: plain bytes (a view into the block, the kept part
    // first, then the rest of the line) or decoded text (the kept part only).
    bool m_bPlain = false;
    const char* m_pPlain = nullptr;
    qsizetype m_nPlainKept = 0;
    qsizetype m_nPlainSize = 0;
    QString m_Text;
    bool m_bRestBlank = true; // all characters beyond the kept part are blank
    bool m_bCut = false;
    bool m_bPendingCR = false;
};
