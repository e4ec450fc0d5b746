#include "SPSPointTable.h"

#include "SPSRowReader.h"

#include <algorithm>
#include <cstring>

namespace {
// The first code units of a key as two big-endian numbers, so that most
// comparisons while sorting are two integer comparisons: 16 Latin-1 bytes, or
// 8 UTF-16 units when the table holds wide keys. Equal prefixes are decided
// by the whole keys.
struct Prefixed
{
    quint64 high;
    quint64 low;
    quint32 index;
};

bool fitsLatin1(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() > 0xFF)
            return false;
    return true;
}
} // namespace

QString SPSPointTable::Key(const QString& lineName, const QString& pointText)
{
    QString key;
    key.reserve(lineName.size() + 1 + pointText.size());
    key += lineName;
    key += u'_';
    key += pointText;
    return key;
}

void SPSPointTable::Insert(const SPSPointRecord& point)
{
    const QString key = Key(point.m_strLineName, point.m_strPointText);
    Row row;
    row.keyLength = qint32(key.size());
    row.lineLength = qint32(point.m_strLineName.size());
    row.number = PointNumberFromText(point.m_strPointText);
    row.depth = point.m_fDepth;
    row.x = point.m_dX;
    row.y = point.m_dY;
    row.elevation = point.m_dElevation;
    if (fitsLatin1(key)) {
        row.keyOffset = qint64(m_Narrow.size());
        for (QChar c : key)
            m_Narrow.push_back(char(c.unicode()));
    } else {
        row.wide = true;
        row.keyOffset = qint64(m_Wide.size());
        m_Wide.insert(m_Wide.end(), key.utf16(), key.utf16() + key.size());
    }
    Append(row);
}

void SPSPointTable::InsertPlain(QLatin1StringView lineName, QLatin1StringView pointText,
                                float depth, double x, double y, double elevation)
{
    Row row;
    row.keyOffset = qint64(m_Narrow.size());
    row.keyLength = qint32(lineName.size() + 1 + pointText.size());
    row.lineLength = qint32(lineName.size());
    row.number = PointNumberFromText(pointText);
    row.depth = depth;
    row.x = x;
    row.y = y;
    row.elevation = elevation;
    m_Narrow.resize(m_Narrow.size() + size_t(row.keyLength));
    char* key = m_Narrow.data() + row.keyOffset;
    std::memcpy(key, lineName.data(), size_t(lineName.size()));
    key[lineName.size()] = '_';
    std::memcpy(key + lineName.size() + 1, pointText.data(), size_t(pointText.size()));
    Append(row);
}

void SPSPointTable::Append(const Row& row)
{
    // Rows in key order, the usual case, leave the table settled.
    if (m_bSettled && !m_Entries.empty() && Compare(m_Entries.back(), row) >= 0)
        m_bSettled = false;
    m_Entries.push_back(row);
}

void SPSPointTable::Clear()
{
    m_Entries.clear();
    m_Narrow.clear();
    m_Wide.clear();
    m_bSettled = true;
}

qsizetype SPSPointTable::Count() const
{
    Settle();
    return qsizetype(m_Entries.size());
}

// QString::operator< on the two keys: code units compared as numbers.
int SPSPointTable::Compare(const Row& a, const Row& b) const
{
    const qint32 common = qMin(a.keyLength, b.keyLength);
    if (!a.wide && !b.wide) {
        const int c = std::memcmp(m_Narrow.data() + a.keyOffset, m_Narrow.data() + b.keyOffset,
                                  size_t(common));
        if (c != 0)
            return c;
    } else {
        for (qint32 i = 0; i < common; ++i) {
            const char16_t ua = a.wide ? m_Wide[size_t(a.keyOffset + i)]
                                       : char16_t(uchar(m_Narrow[size_t(a.keyOffset + i)]));
            const char16_t ub = b.wide ? m_Wide[size_t(b.keyOffset + i)]
                                       : char16_t(uchar(m_Narrow[size_t(b.keyOffset + i)]));
            if (ua != ub)
                return ua < ub ? -1 : 1;
        }
    }
    return a.keyLength == b.keyLength ? 0 : a.keyLength < b.keyLength ? -1 : 1;
}

void SPSPointTable::Settle() const
{
    if (m_bSettled)
        return;
    m_bSettled = true;
    const size_t n = m_Entries.size();
    const bool anyWide = !m_Wide.empty();
    std::vector<Prefixed> order(n);
    for (size_t i = 0; i < n; ++i) {
        const Row& row = m_Entries[i];
        quint64 part[2] = {0, 0};
        if (!anyWide) {
            // Big-endian bytes, zero-padded: compared as numbers they order as
            // the bytes do.
            uchar bytes[16] = {};
            std::memcpy(bytes, m_Narrow.data() + row.keyOffset, size_t(qMin(row.keyLength, 16)));
            for (int k = 0; k < 8; ++k) {
                part[0] = part[0] << 8 | bytes[k];
                part[1] = part[1] << 8 | bytes[k + 8];
            }
        } else {
            for (int k = 0; k < 8 && k < row.keyLength; ++k) {
                const quint64 unit = row.wide ? m_Wide[size_t(row.keyOffset + k)]
                                              : uchar(m_Narrow[size_t(row.keyOffset + k)]);
                part[k / 4] |= unit << (48 - 16 * (k % 4));
            }
        }
        order[i] = {part[0], part[1], quint32(i)};
    }
    std::sort(order.begin(), order.end(), [this](const Prefixed& a, const Prefixed& b) {
        if (a.high != b.high)
            return a.high < b.high;
        if (a.low != b.low)
            return a.low < b.low;
        const int c = Compare(m_Entries[a.index], m_Entries[b.index]);
        return c != 0 ? c < 0 : a.index < b.index;
    });
    // Of the rows with one key, the last in the file wins.
    std::vector<Row> settled;
    settled.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        const Row& row = m_Entries[order[i].index];
        const bool sameAsNext = i + 1 < n && order[i].high == order[i + 1].high &&
                                order[i].low == order[i + 1].low &&
                                Compare(row, m_Entries[order[i + 1].index]) == 0;
        if (!sameAsNext)
            settled.push_back(row);
    }
    m_Entries = std::move(settled);
}

QString SPSPointTable::Text(const Row& row, qsizetype from, qsizetype length) const
{
    if (row.wide)
        return QString(reinterpret_cast<const QChar*>(m_Wide.data() + row.keyOffset + from),
                       length);
    return QLatin1StringView(m_Narrow.data() + row.keyOffset + from, length).toString();
}

QString SPSPointTable::KeyAt(qsizetype index) const
{
    const Row& row = Entry(index);
    return Text(row, 0, row.keyLength);
}

SPSPointRecord SPSPointTable::RecordAt(qsizetype index) const
{
    const Row& row = Entry(index);
    SPSPointRecord point;
    point.m_strLineName = Text(row, 0, row.lineLength);
    point.m_strPointText = Text(row, row.lineLength + 1, row.keyLength - row.lineLength - 1);
    point.m_fDepth = row.depth;
    point.m_dX = row.x;
    point.m_dY = row.y;
    point.m_dElevation = row.elevation;
    return point;
}

std::optional<SPSPointRecord> SPSPointTable::Find(const QString& key) const
{
    // Binary search in key order.
    const qsizetype n = Count();
    qsizetype low = 0;
    qsizetype high = n;
    while (low < high) {
        const qsizetype mid = (low + high) / 2;
        if (KeyAt(mid) < key)
            low = mid + 1;
        else
            high = mid;
    }
    if (low < n && KeyAt(low) == key)
        return RecordAt(low);
    return std::nullopt;
}
