#include "SPSRowReader.h"

#include "SPSNumbers.h"

#include <cstring>

namespace {
constexpr char16_t kCommentLetter = u'C';

// QChar::isSpace on ASCII: tab to carriage return, and the space.
bool isAsciiSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
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

// QLatin1StringView::trimmed for the ASCII rows it is used on, passing the
// blanks that pad fixed columns eight at a time.
QLatin1StringView trimmedAscii(const char* p, qsizetype count)
{
    constexpr quint64 kEightBlanks = 0x2020202020202020ULL;
    const auto blankWord = [](const char* at) {
        quint64 word;
        std::memcpy(&word, at, 8);
        return word == kEightBlanks;
    };
    // A field that does not end (or start) with a blank costs one look.
    while (count > 0 && isAsciiSpace(p[count - 1])) {
        --count;
        while (count >= 8 && blankWord(p + count - 8))
            count -= 8;
    }
    while (count > 0 && isAsciiSpace(p[0])) {
        ++p;
        --count;
        while (count >= 8 && blankWord(p)) {
            p += 8;
            count -= 8;
        }
    }
    return QLatin1StringView(p, count);
}
} // namespace

SPSRowReader::SPSRowReader(QIODevice* device, QChar recordLetter, bool autoSkip, qint32 skipCount,
                           const SPSReadOptions& options)
    : m_Lines(device, options), m_Letter(recordLetter), m_bAutoSkip(autoSkip),
      m_nToSkip(autoSkip ? 0 : qMax<qint64>(skipCount, 0))
{
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

bool SPSRowReader::IsRecord() const
{
    const bool empty = m_Lines.Line().isEmpty();
    const char16_t first = m_Lines.First();
    if (m_bAutoSkip)
        return !empty && first == m_Letter.unicode();
    if (!empty && first == kCommentLetter)
        return false;
    return !m_Lines.IsBlank();
}

bool SPSRowReader::NextRecord()
{
    m_Line = SPSText();
    while (m_Lines.Next()) {
        ++m_nRowNumber;
        if (m_nToSkip > 0) {
            --m_nToSkip;
            continue;
        }
        if (IsRecord()) {
            m_Line = m_Lines.Line();
            return true;
        }
    }
    return false;
}

SPSText SPSRowReader::Field(qint32 pos, qint32 len) const
{
    const SPSText& line = m_Line;
    const qsizetype size = line.size();
    qsizetype begin = 0;
    qsizetype count = 0;
    if (pos >= 0 && len >= 0) {
        begin = qMin<qsizetype>(pos, size);
        count = qMin<qsizetype>(qsizetype(pos) + len, size) - begin;
    } else {
        midRange(size, pos, len, &begin, &count);
    }
    if (line.IsLatin1())
        return trimmedAscii(line.Latin1().data() + begin, count);
    return line.Utf16().mid(begin, count).trimmed();
}

// The bytes of a field of a plain ASCII row, untrimmed; false for UTF-16 rows
// and for positions that QString::mid reads its own way.
bool SPSRowReader::RawField(qint32 pos, qint32 len, const char** p, qsizetype* n) const
{
    if (!m_Line.IsLatin1() || pos < 0 || len < 0)
        return false;
    const qsizetype size = m_Line.size();
    const qsizetype begin = qMin<qsizetype>(pos, size);
    *p = m_Line.Latin1().data() + begin;
    *n = qMin<qsizetype>(qsizetype(pos) + len, size) - begin;
    return true;
}

double SPSRowReader::RealField(qint32 pos, qint32 len) const
{
    const char* p = nullptr;
    qsizetype n = 0;
    double value = 0;
    if (RawField(pos, len, &p, &n) && RealFromPaddedField(p, n, &value))
        return value;
    return RealFromText(Field(pos, len));
}

float SPSRowReader::FloatField(qint32 pos, qint32 len) const
{
    const char* p = nullptr;
    qsizetype n = 0;
    float value = 0;
    if (RawField(pos, len, &p, &n) && FloatFromPaddedField(p, n, &value))
        return value;
    return FloatFromText(Field(pos, len));
}
