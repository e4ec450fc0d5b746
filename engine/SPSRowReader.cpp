#include "SPSRowReader.h"

#include <QIODevice>

#include <cmath>

namespace {
constexpr char16_t kCommentLetter = u'C';
constexpr char16_t kDosEndOfFile = 0x1A;

bool isBlankRow(const QString& row)
{
    for (QChar c : row)
        if (!c.isSpace() && c.unicode() != kDosEndOfFile)
            return false;
    return true;
}
} // namespace

SPSRowReader::SPSRowReader(QIODevice* device, QChar recordLetter, bool autoSkip,
                           qint32 skipCount)
    : m_Stream(device), m_Letter(recordLetter), m_bAutoSkip(autoSkip),
      m_nToSkip(autoSkip ? 0 : qMax<qint64>(skipCount, 0))
{
}

bool SPSRowReader::IsRecord() const
{
    if (m_bAutoSkip)
        return !m_Row.isEmpty() && m_Row.at(0) == m_Letter;
    if (!m_Row.isEmpty() && m_Row.at(0).unicode() == kCommentLetter)
        return false;
    return !isBlankRow(m_Row);
}

bool SPSRowReader::NextRecord()
{
    while (!m_Stream.atEnd()) {
        m_Row = m_Stream.readLine();
        if (m_nToSkip > 0) {
            --m_nToSkip;
            continue;
        }
        if (IsRecord())
            return true;
    }
    m_Row.clear();
    return false;
}

QString SPSRowReader::FieldText(qint32 pos, qint32 len) const
{
    return m_Row.mid(pos, len).trimmed();
}

double SPSRowReader::RealField(qint32 pos, qint32 len) const
{
    return FieldText(pos, len).toDouble();
}

float SPSRowReader::FloatField(qint32 pos, qint32 len) const
{
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
    // 2^63: the first magnitude a signed 64-bit integer cannot hold.
    constexpr double kLimit = 9223372036854775808.0;
    if (!ok || !std::isfinite(value) || std::fabs(value) >= kLimit)
        return 0;
    return qint32(quint32(quint64(qint64(value))));
}
