#include "SPSRowReader.h"

#include "SPSUtf8Decoder.h"

#include <QIODevice>
#include <QTextStream>

#include <atomic>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace {
constexpr char16_t kCommentLetter = u'C';
constexpr char16_t kDosEndOfFile = 0x1A;
// General path with a row limit: decoded characters taken from the stream at once.
constexpr qint64 kChunkChars = 1 << 16;
constexpr qsizetype kMinBlockSize = 64;
// Plain decimals up to this length convert on the bytes; they can neither
// overflow nor underflow a double, so they need none of the checks toDouble makes.
constexpr qsizetype kMaxPlainNumber = 64;

std::atomic<bool> generalPathForAll{false};

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

bool isBlankText(QStringView text)
{
    for (QChar c : text)
        if (!isBlankChar(c.unicode()))
            return false;
    return true;
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

// The part of a text of `size` units that QString::mid(pos, len) returns, with
// the same rules for negative and oversized arguments.
void midRange(qsizetype size, qsizetype pos, qsizetype len, qsizetype* begin, qsizetype* count)
{
    *begin = 0;
    *count = 0;
    if (pos > size)
        return;
    if (pos < 0) {
        if (len < 0 || len + pos >= size) {
            *count = size;
            return;
        }
        if (len + pos <= 0)
            return;
        len += pos;
        pos = 0;
    } else if (size_t(len) > size_t(size - pos)) {
        len = size - pos;
    }
    *begin = pos;
    *count = len;
}

// An optional sign, then digits with at most one point: the forms SPS files
// hold. Anything else is left to QString::toDouble.
bool plainDecimal(const char* p, qsizetype n, double* value)
{
    if (n == 0 || n > kMaxPlainNumber)
        return false;
    const char* q = p;
    const char* const end = p + n;
    const bool negative = *q == '-';
    if (*q == '+' || negative)
        ++q;
    const char* const first = q;
    // The digits as an integer; it wraps beyond 19 digits, where it is not used.
    quint64 mantissa = 0;
    const char* point = nullptr;
    for (; q < end; ++q) {
        const unsigned d = unsigned(uchar(*q)) - '0';
        if (d <= 9)
            mantissa = mantissa * 10 + d;
        else if (*q == '.' && !point)
            point = q;
        else
            return false;
    }
    const qsizetype digits = (end - first) - (point ? 1 : 0);
    if (digits == 0)
        return false;
    const qsizetype fraction = point ? end - point - 1 : 0;
    // Both numbers exact as doubles: one correctly rounded division gives the
    // correctly rounded value, as the general conversion does.
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (digits <= 19 && mantissa <= (quint64(1) << 53) && fraction <= 22) {
        const double v = double(mantissa) / kPowers[fraction];
        *value = negative ? -v : v;
        return true;
    }
    double v = 0;
    const auto result = std::from_chars(first, end, v, std::chars_format::fixed);
    if (result.ec != std::errc() || result.ptr != end)
        return false;
    *value = negative ? -v : v;
    return true;
}

// QString::toFloat from the double that toDouble gave.
float floatLikeToFloat(double d)
{
    if (std::isinf(d))
        return float(d);
    if (std::fabs(d) > double(std::numeric_limits<float>::max())) {
        constexpr float huge = std::numeric_limits<float>::infinity();
        return d < 0 ? -huge : huge;
    }
    if (d != 0 && float(d) == 0)
        return 0;
    return float(d);
}

bool startsWithWideByteOrderMark(const QByteArray& head)
{
    const auto at = [&head](int i) { return uchar(head.at(i)); };
    if (head.size() >= 2 && ((at(0) == 0xFF && at(1) == 0xFE) || (at(0) == 0xFE && at(1) == 0xFF)))
        return true;
    return head.size() >= 4 && at(0) == 0 && at(1) == 0 && at(2) == 0xFE && at(3) == 0xFF;
}

qint32 truncatedNumber(bool ok, double value)
{
    // 2^63: the first magnitude a signed 64-bit integer cannot hold.
    constexpr double kLimit = 9223372036854775808.0;
    if (!ok || !std::isfinite(value) || std::fabs(value) >= kLimit)
        return 0;
    return qint32(quint32(quint64(qint64(value))));
}
} // namespace

SPSRowReader::SPSRowReader(QIODevice* device, QChar recordLetter, bool autoSkip, qint32 skipCount)
    : m_pDevice(device), m_Letter(recordLetter), m_bAutoSkip(autoSkip),
      m_bForceGeneral(generalPathForAll.load()),
      m_nToSkip(autoSkip ? 0 : qMax<qint64>(skipCount, 0))
{
}

void SPSRowReader::SetGeneralPathForAll(bool general)
{
    generalPathForAll = general;
}

SPSRowReader::~SPSRowReader() = default;

void SPSRowReader::SetRowLimit(qint64 units)
{
    m_nRowLimit = qMax<qint64>(units, 0);
}

void SPSRowReader::SetBlockSize(qint32 bytes)
{
    m_nBlockSize = qMax<qsizetype>(bytes, kMinBlockSize);
}

qint64 SPSRowReader::RowLimitFor(const QList<std::pair<qint32, qint32>>& fields)
{
    qint64 limit = 1;
    for (const auto& [pos, len] : fields) {
        if (len < 0)
            return 0;
        limit = qMax(limit, qint64(pos) + len);
    }
    return limit;
}

void SPSRowReader::Open()
{
    if (m_bForceGeneral || startsWithWideByteOrderMark(m_pDevice->peek(4))) {
        m_pStream = std::make_unique<QTextStream>(m_pDevice);
        m_Source = m_nRowLimit > 0 ? Source::StreamChunks : Source::StreamLines;
        return;
    }
    m_Source = Source::Blocks;
    m_Block.reset(new char[size_t(m_nBlockSize)]);
    m_pDecoder = std::make_unique<SPSUtf8Decoder>();
    FillBlock();
    if (m_nEnd >= 3 && std::memcmp(m_Block.get(), "\xEF\xBB\xBF", 3) == 0)
        m_nBegin = 3;
}

bool SPSRowReader::FillBlock()
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
        const qint64 got = m_pDevice->read(m_Block.get() + m_nEnd, m_nBlockSize - m_nEnd);
        if (got <= 0) {
            m_bDeviceEnd = true;
            break;
        }
        m_nEnd += got;
        any = true;
    }
    return any;
}

bool SPSRowReader::NextRow()
{
    m_bPlainTextValid = false;
    switch (m_Source) {
    case Source::Blocks:
        return NextBlockRow();
    case Source::StreamLines:
        return NextStreamLine();
    case Source::StreamChunks:
        return NextStreamChunkRow();
    case Source::Unopened:
        break;
    }
    return false;
}

bool SPSRowReader::NextBlockRow()
{
    qsizetype searched = m_nBegin;
    for (;;) {
        const char* base = m_Block.get();
        const auto* lineFeed =
            static_cast<const char*>(std::memchr(base + searched, '\n', size_t(m_nEnd - searched)));
        if (lineFeed) {
            const char* row = base + m_nBegin;
            const qsizetype size = lineFeed - row;
            m_nBegin += size + 1;
            TakePlainOrDecode(row, size, true);
            return true;
        }
        if (m_bDeviceEnd) {
            if (m_nBegin == m_nEnd)
                return false;
            const char* row = base + m_nBegin;
            const qsizetype size = m_nEnd - m_nBegin;
            m_nBegin = m_nEnd;
            TakePlainOrDecode(row, size, false);
            return true;
        }
        if (m_nBegin == 0 && m_nEnd == m_nBlockSize) {
            TakeLongRow();
            return true;
        }
        searched = m_nEnd - m_nBegin;
        FillBlock();
    }
}

// A row that lies whole in the block; `terminated`: a line feed follows it.
void SPSRowReader::TakePlainOrDecode(const char* bytes, qsizetype size, bool terminated)
{
    if (isAscii(bytes, size)) {
        // A carriage return before the line feed, or ending the file, is no part of the row.
        if (size > 0 && bytes[size - 1] == '\r')
            --size;
        m_RowKind = RowKind::Plain;
        m_pPlain = bytes;
        m_nPlainSize = size;
        m_nPlainKept = m_nRowLimit > 0 ? qMin<qsizetype>(size, m_nRowLimit) : size;
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

// A row longer than the block, which starts the block: taken in pieces, only
// its kept part held.
void SPSRowReader::TakeLongRow()
{
    BeginText();
    m_pDecoder->Reset();
    bool decoding = false;
    for (;;) {
        const char* base = m_Block.get();
        const auto* lineFeed =
            static_cast<const char*>(std::memchr(base + m_nBegin, '\n', size_t(m_nEnd - m_nBegin)));
        const qsizetype end = lineFeed ? lineFeed - base + 1 : m_nEnd;
        FeedLongRow(base + m_nBegin, end - m_nBegin, &decoding);
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

// Bytes of a long row, its line feed included when they end it. ASCII bytes
// are characters as they are; from the first other byte on, the rest of the
// row goes through the decoder (which the ASCII before it left in its start state).
void SPSRowReader::FeedLongRow(const char* p, qsizetype n, bool* decoding)
{
    qsizetype i = 0;
    while (i < n && !RowDecided()) {
        if (*decoding) {
            m_pDecoder->Decode(p + i, n - i, [this](char16_t c) {
                PutChar(c);
                return !RowDecided();
            });
            return;
        }
        if (uchar(p[i]) & 0x80) {
            *decoding = true;
        } else if (KeptFull()) {
            // Only whether the rest is blank still matters (the line feed counts as blank).
            while (i < n && isBlankByte(p[i]))
                ++i;
            if (i < n && !(uchar(p[i]) & 0x80))
                m_bRestBlank = false;
        } else {
            PutChar(uchar(p[i++]));
        }
    }
}

void SPSRowReader::BeginText()
{
    m_RowKind = RowKind::Text;
    m_Text.resize(0);
    m_bRestBlank = true;
    m_bPendingCR = false;
}

// One character of the row being assembled, as readLine sees it: a line feed
// ends the row and drops a carriage return just before it.
void SPSRowReader::PutChar(char16_t c)
{
    if (c == u'\n') {
        m_bPendingCR = false;
        return;
    }
    const auto keep = [this](char16_t k) {
        if (m_nRowLimit <= 0 || m_Text.size() < m_nRowLimit)
            m_Text.append(QChar(k));
        else if (m_bRestBlank && !isBlankChar(k))
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

void SPSRowReader::PutText(const QChar* chars, qsizetype size)
{
    for (qsizetype i = 0; i < size && !RowDecided(); ++i)
        PutChar(chars[i].unicode());
}

// The row ends with the file: a carriage return ending it is dropped.
void SPSRowReader::EndText()
{
    m_bPendingCR = false;
}

bool SPSRowReader::NextStreamLine()
{
    if (m_pStream->atEnd())
        return false;
    m_RowKind = RowKind::Text;
    m_Text = m_pStream->readLine();
    m_bRestBlank = true;
    return true;
}

bool SPSRowReader::NextStreamChunkRow()
{
    bool any = false;
    for (;;) {
        if (m_nChunkPos >= m_Chunk.size()) {
            m_Chunk = m_pStream->read(kChunkChars);
            m_nChunkPos = 0;
            if (m_Chunk.isEmpty()) {
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

bool SPSRowReader::IsRecord() const
{
    if (m_RowKind == RowKind::Plain) {
        const bool any = m_nPlainKept > 0;
        if (m_bAutoSkip)
            return any && uchar(m_pPlain[0]) == m_Letter.unicode();
        if (any && m_pPlain[0] == char(kCommentLetter))
            return false;
        for (qsizetype i = 0; i < m_nPlainSize; ++i)
            if (!isBlankByte(m_pPlain[i]))
                return true;
        return false;
    }
    if (m_bAutoSkip)
        return !m_Text.isEmpty() && m_Text.at(0) == m_Letter;
    if (!m_Text.isEmpty() && m_Text.at(0).unicode() == kCommentLetter)
        return false;
    return !m_bRestBlank || !isBlankText(m_Text);
}

bool SPSRowReader::NextRecord()
{
    if (m_Source == Source::Unopened)
        Open();
    while (NextRow()) {
        ++m_nRowNumber;
        if (m_nToSkip > 0) {
            --m_nToSkip;
            continue;
        }
        if (IsRecord())
            return true;
    }
    m_RowKind = RowKind::None;
    m_Text.clear();
    m_pPlain = nullptr;
    m_nPlainKept = m_nPlainSize = 0;
    return false;
}

const QString& SPSRowReader::Row() const
{
    if (m_RowKind != RowKind::Plain)
        return m_Text;
    if (!m_bPlainTextValid) {
        m_PlainText = QString::fromLatin1(m_pPlain, m_nPlainKept);
        m_bPlainTextValid = true;
    }
    return m_PlainText;
}

qsizetype SPSRowReader::RowLength() const
{
    return m_RowKind == RowKind::Plain ? m_nPlainKept : m_Text.size();
}

QLatin1StringView SPSRowReader::PlainField(qint32 pos, qint32 len) const
{
    if (m_RowKind != RowKind::Plain)
        return {};
    qsizetype begin = 0;
    qsizetype count = 0;
    if (pos >= 0 && len >= 0) {
        begin = qMin<qsizetype>(pos, m_nPlainKept);
        count = qMin<qsizetype>(qsizetype(pos) + len, m_nPlainKept) - begin;
    } else {
        midRange(m_nPlainKept, pos, len, &begin, &count);
    }
    const char* p = m_pPlain + begin;
    // Fixed columns are padded with blanks: pass runs of eight at a time.
    constexpr quint64 kEightBlanks = 0x2020202020202020ULL;
    quint64 word;
    while (count >= 8 && (std::memcpy(&word, p + count - 8, 8), word == kEightBlanks))
        count -= 8;
    while (count > 0 && isAsciiSpace(p[count - 1]))
        --count;
    while (count >= 8 && (std::memcpy(&word, p, 8), word == kEightBlanks)) {
        p += 8;
        count -= 8;
    }
    while (count > 0 && isAsciiSpace(p[0])) {
        ++p;
        --count;
    }
    return QLatin1StringView(p, count);
}

QString SPSRowReader::FieldText(qint32 pos, qint32 len) const
{
    if (m_RowKind == RowKind::Plain)
        return PlainField(pos, len).toString();
    return m_Text.mid(pos, len).trimmed();
}

double SPSRowReader::RealField(qint32 pos, qint32 len) const
{
    if (m_RowKind == RowKind::Plain) {
        const QLatin1StringView field = PlainField(pos, len);
        double value = 0;
        if (plainDecimal(field.data(), field.size(), &value))
            return value;
        return field.toString().toDouble();
    }
    return FieldText(pos, len).toDouble();
}

float SPSRowReader::FloatField(qint32 pos, qint32 len) const
{
    if (m_RowKind == RowKind::Plain) {
        const QLatin1StringView field = PlainField(pos, len);
        double value = 0;
        if (plainDecimal(field.data(), field.size(), &value))
            return floatLikeToFloat(value);
        return field.toString().toFloat();
    }
    return FieldText(pos, len).toFloat();
}

qint32 PointNumberFromText(const QString& text)
{
    QString kept;
    kept.reserve(text.size());
    for (QChar c : text)
        if (c == u'.' || c.isDigit())
            kept.append(c);
    bool ok = false;
    const double value = kept.toDouble(&ok);
    return truncatedNumber(ok, value);
}

qint32 PointNumberFromText(QLatin1StringView text)
{
    // Digits alone, few enough to be exact as a double: the number itself.
    if (text.size() <= 15) {
        qint64 number = 0;
        bool digits = !text.isEmpty();
        for (const char c : text) {
            const unsigned d = unsigned(uchar(c)) - '0';
            if (d > 9) {
                digits = false;
                break;
            }
            number = number * 10 + d;
        }
        if (digits)
            return qint32(quint32(quint64(number)));
    }
    char kept[kMaxPlainNumber];
    qsizetype size = 0;
    for (const char c : text) {
        if (c != '.' && !(c >= '0' && c <= '9'))
            continue;
        if (size == kMaxPlainNumber)
            return PointNumberFromText(text.toString());
        kept[size++] = c;
    }
    double value = 0;
    // Digits with at most one point are what toDouble takes from such a text.
    const bool ok = plainDecimal(kept, size, &value);
    return truncatedNumber(ok, value);
}
