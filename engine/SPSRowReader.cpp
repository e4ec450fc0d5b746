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

void SPSRowReader::FieldRange(qint32 pos, qint32 len, qsizetype* begin, qsizetype* count) const
{
    const qsizetype size = m_Line.size();
    if (pos >= 0 && len >= 0) {
        *begin = qMin<qsizetype>(pos, size);
        *count = qMin<qsizetype>(qsizetype(pos) + len, size) - *begin;
    } else {
        midRange(size, pos, len, begin, count);
    }
}

SPSText SPSRowReader::OtherField(qint32 pos, qint32 len) const
{
    qsizetype begin = 0;
    qsizetype count = 0;
    FieldRange(pos, len, &begin, &count);
    if (m_Line.IsLatin1())
        return trimmedAscii(m_Line.Latin1().data() + begin, count);
    return m_Line.Utf16().mid(begin, count).trimmed();
}

// A plain ASCII row's field converts from its padded bytes, sparing the
// trimmed view; anything else takes the general way.
template <typename T, typename Padded, typename General>
T SPSRowReader::NumberField(qint32 pos, qint32 len, Padded padded, General general) const
{
    if (m_Line.IsLatin1()) {
        qsizetype begin = 0;
        qsizetype count = 0;
        FieldRange(pos, len, &begin, &count);
        T value = 0;
        if (padded(m_Line.Latin1().data() + begin, count, &value))
            return value;
    }
    return general(Field(pos, len));
}

double SPSRowReader::OtherRealField(qint32 pos, qint32 len) const
{
    return NumberField<double>(pos, len, RealFromPaddedField,
                               [](SPSText text) { return RealFromText(text); });
}

float SPSRowReader::OtherFloatField(qint32 pos, qint32 len) const
{
    return NumberField<float>(pos, len, FloatFromPaddedField, FloatFromText);
}
