#include "SPSRowReader.h"

#include "SPSLayout.h"
#include "SPSNumbers.h"
#include "SPSRowObserver.h"

#include <cstring>

namespace {
constexpr char16_t kCommentLetter = u'C';

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
    // Only lines that begin with the record letter are records: the others
    // need not be read, only counted. A null letter would stop at empty lines.
    if (m_bAutoSkip && !m_Letter.isNull()) {
        qint64 passed = 0;
        const bool found = m_Lines.NextStartingWith(m_Letter.unicode(), &passed);
        m_nRowNumber += passed + (found ? 1 : 0);
        if (found)
            m_Line = m_Lines.Line();
        return found;
    }
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

SPSText SPSRowReader::OtherField(qint32 pos, qint32 len) const
{
    // The part of the row QString::mid(pos, len) would return.
    const qsizetype size = m_Line.size();
    qsizetype begin = 0;
    qsizetype count = 0;
    if (pos >= 0 && len >= 0) {
        begin = qMin<qsizetype>(pos, size);
        count = qMin<qsizetype>(qsizetype(pos) + len, size) - begin;
    } else {
        midRange(size, pos, len, &begin, &count);
    }
    if (m_Line.IsLatin1())
        return TrimmedAscii(m_Line.Latin1().data() + begin, count);
    return m_Line.Utf16().mid(begin, count).trimmed();
}

double SPSRowReader::OtherRealField(qint32 pos, qint32 len) const
{
    return RealFromText(Field(pos, len));
}

float SPSRowReader::OtherFloatField(qint32 pos, qint32 len) const
{
    return FloatFromText(Field(pos, len));
}

SPSRowObserver::~SPSRowObserver() = default;

SPSRowReader SPSRowReader::ForFile(QIODevice* device, const VeTaskSPSFilesLoaderParam& param,
                                   SPSLayout::File kind, QChar recordLetter)
{
    const auto& fields = SPSLayout::Fields();
    return SPSRowReader(device, recordLetter,
                        SPSLayout::Value(param, fields[size_t(SPSLayout::AutoSkipIndex(kind))]) !=
                            0,
                        SPSLayout::Value(param, fields[size_t(SPSLayout::RowCountIndex(kind))]));
}
