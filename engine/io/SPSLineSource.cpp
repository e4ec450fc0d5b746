#include "SPSLineSource.h"

#include "SPSGzip.h"
#include "SPSUtf8Decoder.h"

#include <QFileDevice>
#include <QTextStream>

#include <cstring>
#include <limits>

namespace {
constexpr char16_t kDosEndOfFile = 0x1A;
// Through QTextStream with a line limit: decoded characters taken at once.
constexpr qint64 kChunkChars = 1 << 16;
constexpr qsizetype kMinBlockSize = 64;

bool isBlankChar(char16_t c)
{
    return QChar::isSpace(c) || c == kDosEndOfFile;
}

// QChar::isSpace on ASCII: tab to carriage return, and the space.
bool isAsciiSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool isBlankByte(char c)
{
    return isAsciiSpace(c) || c == char(kDosEndOfFile);
}

bool isAscii(const char* p, qsizetype n)
{
    qsizetype i = 0;
    quint64 any = 0;
    for (; i + 8 <= n; i += 8) {
        quint64 word;
        std::memcpy(&word, p + i, 8);
        any |= word;
    }
    for (; i < n; ++i)
        any |= uchar(p[i]);
    return (any & 0x8080808080808080ULL) == 0;
}

bool startsWithWideByteOrderMark(const QByteArray& head)
{
    const auto at = [&head](int i) { return uchar(head.at(i)); };
    if (head.size() >= 2 && ((at(0) == 0xFF && at(1) == 0xFE) || (at(0) == 0xFE && at(1) == 0xFF)))
        return true;
    return head.size() >= 4 && at(0) == 0 && at(1) == 0 && at(2) == 0xFE && at(3) == 0xFF;
}
} // namespace

SPSLineSource::SPSLineSource(QIODevice* device, const SPSReadOptions& options)
    : m_pDevice(device), m_Options(options)
{
    if (options.blockSize > 0)
        m_nBlockSize = qMax<qsizetype>(options.blockSize, kMinBlockSize);
}

SPSLineSource::~SPSLineSource() = default;

void SPSLineSource::SetLineLimit(qint64 units)
{
    m_nLimit = qMax<qint64>(units, 0);
}

void SPSLineSource::Open()
{
    QByteArray head = m_pDevice->peek(4);
    // A plain file costs the look at its first two bytes.
    if (SPSIsGzip(head)) {
        // The compressed bytes are read as they are; carriage returns are
        // stripped from the text, if the device would strip them, instead.
        const bool textMode = m_pDevice->isTextModeEnabled();
        m_pDevice->setTextModeEnabled(false);
        m_pGzip = std::make_unique<SPSGzipReader>(m_pDevice, textMode);
        m_pDevice = m_pGzip.get();
        head = m_pDevice->peek(4);
    }
    if (m_Options.generalPath || startsWithWideByteOrderMark(head)) {
        m_pStream = std::make_unique<QTextStream>(m_pDevice);
        m_Source = m_nLimit > 0 || m_nBudget > 0 ? Source::StreamChunks : Source::StreamLines;
        return;
    }
    m_Source = Source::Blocks;
    m_Block.reset(new char[size_t(m_nBlockSize)]);
    m_pDecoder = std::make_unique<SPSUtf8Decoder>();
    FillBlock();
    if (m_nEnd >= 3 && std::memcmp(m_Block.get(), "\xEF\xBB\xBF", 3) == 0)
        m_nBegin = 3;
}

bool SPSLineSource::FillBlock()
{
    if (m_bDeviceEnd)
        return false;
    if (m_nBegin > 0) {
        std::memmove(m_Block.get(), m_Block.get() + m_nBegin, size_t(m_nEnd - m_nBegin));
        m_nEnd -= m_nBegin;
        m_nBegin = 0;
    }
    bool any = false;
    while (m_nEnd < m_nBlockSize) {
        qint64 want = m_nBlockSize - m_nEnd;
        if (m_nBudget > 0) {
            if (m_nRead >= m_nBudget) {
                m_bBudgetSpent = true;
                m_bDeviceEnd = true;
                break;
            }
            want = qMin(want, m_nBudget - m_nRead);
        }
        const qint64 got = m_pDevice->read(m_Block.get() + m_nEnd, want);
        if (got <= 0) {
            m_bFailed = got < 0;
            m_bDeviceEnd = true;
            break;
        }
        m_nEnd += got;
        m_nRead += got;
        any = true;
    }
    return any;
}

// A line that fills the whole block: a larger block, when the line's kept part
// may need it, holds it as bytes (one byte a character for ASCII) rather than
// as decoded text. False when the block is as large as it need be.
bool SPSLineSource::GrowBlock()
{
    // The kept part, a carriage return and the line feed.
    const qint64 wanted = m_nLimit > 0 ? m_nLimit + 2 : std::numeric_limits<qsizetype>::max();
    if (m_nBlockSize >= wanted)
        return false;
    qint64 size = qMin<qint64>(2 * qint64(m_nBlockSize), wanted);
    // No larger than what the file still holds, so that a long last line
    // costs about its own size.
    // At least a quarter more each time, so that a file that keeps growing
    // is not copied over and over.
    if (!m_pDevice->isSequential())
        size = qMin(size, qMax<qint64>(m_nEnd + m_pDevice->bytesAvailable() + 1,
                                       m_nBlockSize + m_nBlockSize / 4));
    std::unique_ptr<char[]> block(new char[size_t(size)]);
    std::memcpy(block.get(), m_Block.get() + m_nBegin, size_t(m_nEnd - m_nBegin));
    m_nEnd -= m_nBegin;
    m_nBegin = 0;
    m_Block = std::move(block);
    m_nBlockSize = qsizetype(size);
    return true;
}

bool SPSLineSource::Next()
{
    if (m_Source == Source::Unopened)
        Open();
    switch (m_Source) {
    case Source::Blocks:
        return NextBlockLine();
    case Source::StreamLines:
        return NextStreamLine();
    case Source::StreamChunks:
        return NextStreamChunkLine();
    case Source::Unopened:
        break;
    }
    return false;
}

bool SPSLineSource::AtEnd()
{
    if (m_Source == Source::Unopened)
        Open();
    switch (m_Source) {
    case Source::Blocks:
        return m_nBegin == m_nEnd && !FillBlock();
    case Source::StreamLines:
        return m_pStream->atEnd();
    case Source::StreamChunks:
        return m_nChunkPos >= m_Chunk.size() && m_pStream->atEnd();
    case Source::Unopened:
        break;
    }
    return true;
}

bool SPSLineSource::NextStartingWith(char16_t first, qint64* passed)
{
    *passed = 0;
    if (m_Source == Source::Unopened)
        Open();
    if (m_Source == Source::Blocks && first > 0 && first < 0x80)
        return NextBlockLine(char(first), passed);
    while (Next()) {
        if (First() == first)
            return true;
        ++*passed;
    }
    return false;
}

bool SPSLineSource::NextBlockLine(char first, qint64* passed)
{
    // A line decoded from a byte other than an ASCII character's starts with
    // no ASCII character (the byte-order mark is behind): its first byte
    // tells whether it starts with `first`.
    const auto unwanted = [first](const char* line, qsizetype size) {
        return first != 0 && (size == 0 || line[0] != first);
    };
    qsizetype searched = m_nBegin;
    for (;;) {
        const char* base = m_Block.get();
        const auto* lineFeed =
            static_cast<const char*>(std::memchr(base + searched, '\n', size_t(m_nEnd - searched)));
        if (lineFeed) {
            const char* line = base + m_nBegin;
            const qsizetype size = lineFeed - line;
            m_nBegin += size + 1;
            if (unwanted(line, size)) {
                ++*passed;
                searched = m_nBegin;
                continue;
            }
            TakePlainOrDecode(line, size, true);
            return true;
        }
        if (m_bDeviceEnd) {
            if (m_nBegin == m_nEnd)
                return false;
            const char* line = base + m_nBegin;
            const qsizetype size = m_nEnd - m_nBegin;
            m_nBegin = m_nEnd;
            if (unwanted(line, size)) {
                ++*passed;
                return false;
            }
            TakePlainOrDecode(line, size, false);
            return true;
        }
        if (m_nBegin == 0 && m_nEnd == m_nBlockSize) {
            if (GrowBlock()) {
                searched = m_nEnd;
                FillBlock();
                continue;
            }
            const bool wanted = !unwanted(base, 1);
            TakeLongLine();
            if (!wanted) {
                ++*passed;
                searched = m_nBegin;
                continue;
            }
            return true;
        }
        searched = m_nEnd - m_nBegin;
        FillBlock();
    }
}

// A line that lies whole in the block; `terminated`: a line feed follows it.
void SPSLineSource::TakePlainOrDecode(const char* bytes, qsizetype size, bool terminated)
{
    if (isAscii(bytes, size)) {
        // A carriage return before the line feed, or ending the file, is no part of the line.
        if (size > 0 && bytes[size - 1] == '\r')
            --size;
        m_bPlain = true;
        m_pPlain = bytes;
        m_nPlainSize = size;
        m_nPlainKept = m_nLimit > 0 ? qMin<qsizetype>(size, m_nLimit) : size;
        return;
    }
    // The line feed goes through the decoder too, so that a broken sequence
    // before it becomes U+FFFD as in the stream; one at the end of the file is
    // dropped, as the stream drops it.
    BeginText();
    m_pDecoder->Reset();
    m_pDecoder->Decode(bytes, size + (terminated ? 1 : 0), [this](char16_t c) {
        PutChar(c);
        return true;
    });
    if (!terminated)
        EndText();
}

// A line longer than the block, which starts the block: taken in pieces, only
// its kept part held.
void SPSLineSource::TakeLongLine()
{
    BeginText();
    m_pDecoder->Reset();
    bool decoding = false;
    for (;;) {
        const char* base = m_Block.get();
        const auto* lineFeed =
            static_cast<const char*>(std::memchr(base + m_nBegin, '\n', size_t(m_nEnd - m_nBegin)));
        const qsizetype end = lineFeed ? lineFeed - base + 1 : m_nEnd;
        FeedLongLine(base + m_nBegin, end - m_nBegin, &decoding);
        m_nBegin = end;
        if (lineFeed)
            return;
        if (!FillBlock()) {
            // An unfinished sequence that the decoder still holds is dropped,
            // as the stream drops it at the end of the file.
            EndText();
            return;
        }
    }
}

// Bytes of a long line, its line feed included when they end it. ASCII bytes
// are characters as they are; from the first other byte on, the rest of the
// line goes through the decoder (which the ASCII before it left in its start state).
void SPSLineSource::FeedLongLine(const char* p, qsizetype n, bool* decoding)
{
    qsizetype i = 0;
    while (i < n && !LineDecided()) {
        if (*decoding) {
            m_pDecoder->Decode(p + i, n - i, [this](char16_t c) {
                PutChar(c);
                return !LineDecided();
            });
            return;
        }
        if (uchar(p[i]) & 0x80) {
            *decoding = true;
        } else if (KeptFull()) {
            // Only whether the rest is blank still matters (the line feed counts as blank).
            for (; i < n && isBlankByte(p[i]); ++i)
                m_bCut |= p[i] != '\n' && p[i] != '\r';
            if (i < n && !(uchar(p[i]) & 0x80)) {
                m_bRestBlank = false;
                m_bCut = true;
            }
        } else {
            PutChar(uchar(p[i++]));
        }
    }
}

void SPSLineSource::BeginText()
{
    m_bPlain = false;
    m_Text.resize(0);
    m_bRestBlank = true;
    m_bCut = false;
    m_bPendingCR = false;
}

// One character of the line being assembled, as readLine sees it: a line feed
// ends the line and drops a carriage return just before it.
void SPSLineSource::PutChar(char16_t c)
{
    if (c == u'\n') {
        m_bPendingCR = false;
        return;
    }
    const auto keep = [this](char16_t k) {
        if (m_nLimit <= 0 || m_Text.size() < m_nLimit) {
            m_Text.append(QChar(k));
            return;
        }
        m_bCut = true;
        if (m_bRestBlank && !isBlankChar(k))
            m_bRestBlank = false;
    };
    if (m_bPendingCR) {
        m_bPendingCR = false;
        keep(u'\r');
    }
    if (c == u'\r')
        m_bPendingCR = true;
    else
        keep(c);
}

void SPSLineSource::PutText(const QChar* chars, qsizetype size)
{
    for (qsizetype i = 0; i < size && !LineDecided(); ++i)
        PutChar(chars[i].unicode());
}

// The line ends with the file: a carriage return ending it is dropped.
void SPSLineSource::EndText()
{
    m_bPendingCR = false;
}

bool SPSLineSource::StreamFailed() const
{
    if (m_pGzip)
        return m_pGzip->Failed();
    const auto* file = qobject_cast<const QFileDevice*>(m_pDevice);
    return file && file->error() == QFileDevice::ReadError;
}

bool SPSLineSource::NextStreamLine()
{
    if (m_pStream->atEnd()) {
        m_bFailed = StreamFailed();
        return false;
    }
    m_bPlain = false;
    m_Text = m_pStream->readLine();
    m_bRestBlank = true;
    m_bCut = false;
    return true;
}

bool SPSLineSource::NextStreamChunkLine()
{
    bool any = false;
    for (;;) {
        if (m_nChunkPos >= m_Chunk.size()) {
            if (m_nBudget > 0 && m_nRead >= m_nBudget) {
                m_bBudgetSpent = true;
                m_Chunk.clear();
            } else {
                m_Chunk = m_pStream->read(kChunkChars);
            }
            m_nChunkPos = 0;
            // Two bytes a character is what UTF-16 costs.
            m_nRead += 2 * m_Chunk.size();
            if (m_Chunk.isEmpty()) {
                m_bFailed = StreamFailed();
                if (any)
                    EndText();
                return any;
            }
        }
        if (!any) {
            BeginText();
            any = true;
        }
        const QChar* p = m_Chunk.constData() + m_nChunkPos;
        const qsizetype n = m_Chunk.size() - m_nChunkPos;
        qsizetype k = 0;
        while (k < n && p[k] != u'\n')
            ++k;
        if (k < n) {
            PutText(p, k + 1);
            m_nChunkPos += k + 1;
            return true;
        }
        PutText(p, n);
        m_nChunkPos += n;
    }
}

SPSText SPSLineSource::Line() const
{
    if (m_bPlain)
        return QLatin1StringView(m_pPlain, m_nPlainKept);
    return QStringView(m_Text);
}

bool SPSLineSource::IsCut() const
{
    return m_bPlain ? m_nPlainKept < m_nPlainSize : m_bCut;
}

bool SPSLineSource::IsBlank() const
{
    if (m_bPlain) {
        for (qsizetype i = 0; i < m_nPlainSize; ++i)
            if (!isBlankByte(m_pPlain[i]))
                return false;
        return true;
    }
    if (!m_bRestBlank)
        return false;
    for (QChar c : m_Text)
        if (!isBlankChar(c.unicode()))
            return false;
    return true;
}

char16_t SPSLineSource::First() const
{
    if (m_bPlain)
        return m_nPlainKept > 0 ? char16_t(uchar(m_pPlain[0])) : 0;
    return m_Text.isEmpty() ? 0 : m_Text.at(0).unicode();
}
