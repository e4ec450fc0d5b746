#include "SPSPointTable.h"

#include "SPSNumbers.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <type_traits>

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

namespace {
// The n bytes, 1 to 2 words of them, as the word that starts them and the
// word that ends them (the two may overlap).
template <typename Word> void copyTwoWords(char* to, const char* from, qsizetype n)
{
    Word head, tail;
    std::memcpy(&head, from, sizeof(Word));
    std::memcpy(&tail, from + n - qsizetype(sizeof(Word)), sizeof(Word));
    std::memcpy(to, &head, sizeof(Word));
    std::memcpy(to + n - qsizetype(sizeof(Word)), &tail, sizeof(Word));
}

// memcpy for the few bytes of a line name or point text, without a call.
void copyShort(char* to, const char* from, qsizetype n)
{
    if (n > 16) {
        std::memcpy(to, from, size_t(n));
    } else if (n >= 8) {
        copyTwoWords<quint64>(to, from, n);
    } else if (n >= 4) {
        copyTwoWords<quint32>(to, from, n);
    } else {
        for (qsizetype i = 0; i < n; ++i)
            to[i] = from[i];
    }
}

// A key text as UTF-16 units, whatever form it came in.
struct Units
{
    explicit Units(SPSText view) : m_View(view) {}
    qsizetype size() const { return m_View.size(); }
    char16_t operator[](qsizetype i) const
    {
        return m_View.IsLatin1() ? char16_t(uchar(m_View.Latin1().data()[i]))
                                 : m_View.Utf16()[i].unicode();
    }
    bool FitsLatin1() const
    {
        if (m_View.IsLatin1())
            return true;
        for (QChar c : m_View.Utf16())
            if (c.unicode() > 0xFF)
                return false;
        return true;
    }
    SPSText m_View;
};
} // namespace

void SPSPointTable::Add(SPSText lineName, SPSText pointText, float depth, double x, double y,
                        double elevation)
{
    qint32 number = 0;
    if (!pointText.IsLatin1() ||
        !ShortPointNumber(pointText.Latin1().data(), pointText.size(), &number))
        number = PointNumberFromText(pointText);
    // Whether the keys came in order is left to Sort: most loads never ask.
    m_bSorted = m_Values.empty();
    if (!m_Values.empty() && m_Values.back().m_nNumber >= number)
        m_bNumbersAscend = false;
    m_Values.push_back({number, depth, x, y, elevation});
    const qint32 keyLength = qint32(lineName.size() + 1 + pointText.size());
    if (lineName.IsLatin1() && pointText.IsLatin1() && lineName.size() < kLongKey &&
        pointText.size() <= 0xFF) {
        // The usual case, the plain rows of a file: the bytes as they are,
        // after their two lengths.
        char* entry = NarrowSpace(2 + keyLength);
        entry[0] = char(lineName.size());
        entry[1] = char(pointText.size());
        char* key = entry + 2;
        copyShort(key, lineName.Latin1().data(), lineName.size());
        key[lineName.size()] = '_';
        copyShort(key + lineName.size() + 1, pointText.Latin1().data(), pointText.size());
        return;
    }
    // Any other key: the row itself after the mark, then the key's bytes, or
    // its UTF-16 units apart.
    const Units line(lineName);
    const Units point(pointText);
    Row row;
    row.wide = !line.FitsLatin1() || !point.FitsLatin1() ? 1 : 0;
    row.keyLength = keyLength;
    row.lineLength = qint32(lineName.size());
    const auto put = [&](auto* key) {
        using Unit = std::remove_pointer_t<decltype(key)>;
        for (qsizetype i = 0; i < line.size(); ++i)
            *key++ = Unit(line[i]);
        *key++ = Unit(u'_');
        for (qsizetype i = 0; i < point.size(); ++i)
            *key++ = Unit(point[i]);
    };
    const size_t entry = m_nNarrow;
    if (row.wide) {
        row.keyOffset = quint64(m_Wide.size());
        m_Wide.resize(m_Wide.size() + size_t(row.keyLength));
        put(m_Wide.data() + row.keyOffset);
        NarrowSpace(2 + qint32(sizeof(Row)));
    } else {
        row.keyOffset = quint64(entry + 2 + sizeof(Row));
        put(NarrowSpace(2 + qint32(sizeof(Row)) + keyLength) + 2 + sizeof(Row));
    }
    m_pNarrow[entry] = char(kLongKey);
    m_pNarrow[entry + 1] = 0;
    std::memcpy(m_pNarrow.get() + entry + 2, &row, sizeof(Row));
}

char* SPSPointTable::NarrowSpace(qint32 bytes)
{
    const size_t needed = m_nNarrow + size_t(bytes);
    if (needed > m_nNarrowCapacity)
        GrowNarrow(qMax(needed, 2 * m_nNarrowCapacity));
    char* space = m_pNarrow.get() + m_nNarrow;
    m_nNarrow = needed;
    return space;
}

void SPSPointTable::GrowNarrow(size_t capacity)
{
    // Neither filled nor copied beyond what is used: a row's key costs its copy.
    std::unique_ptr<char[]> grown(new char[capacity]);
    if (capacity >= SPSLargeAllocator<char>::kAdviseFrom)
        SPSAdviseLargePages(grown.get(), capacity);
    if (m_nNarrow > 0)
        std::memcpy(grown.get(), m_pNarrow.get(), m_nNarrow);
    m_pNarrow = std::move(grown);
    m_nNarrowCapacity = capacity;
}

void SPSPointTable::BuildRows()
{
    if (m_nRowsRead == m_nNarrow)
        return;
    m_Rows.reserve(m_Values.size());
    const char* stream = m_pNarrow.get();
    while (m_nRowsRead < m_nNarrow) {
        const size_t at = m_nRowsRead;
        Row row;
        if (uchar(stream[at]) != kLongKey) {
            row.keyOffset = at + 2;
            row.wide = 0;
            row.lineLength = uchar(stream[at]);
            row.keyLength = row.lineLength + 1 + uchar(stream[at + 1]);
            m_nRowsRead = at + 2 + size_t(row.keyLength);
        } else {
            std::memcpy(&row, stream + at + 2, sizeof(Row));
            m_nRowsRead = at + 2 + sizeof(Row) + (row.wide ? 0 : size_t(row.keyLength));
        }
        m_Rows.push_back(row);
    }
}

void SPSPointTable::ReleaseKeys()
{
    m_Rows = SPSLargeVector<Row>();
    m_pNarrow.reset();
    m_nNarrow = 0;
    m_nNarrowCapacity = 0;
    m_nRowsRead = 0;
    m_Wide = SPSLargeVector<char16_t>();
}

void SPSPointTable::Clear()
{
    ClearRows();
    m_Values.clear();
    m_bNumbersAscend = true;
    m_nNarrow = 0;
    m_nRowsRead = 0;
    m_Wide.clear();
}

// QString::operator< on the two keys: code units compared as numbers.
int SPSPointTable::Compare(const Row& a, const Row& b) const
{
    const qint32 common = qMin(a.keyLength, b.keyLength);
    if (!a.wide && !b.wide) {
        // Eight bytes at a time, as big-endian numbers: keys are short, and a
        // call to memcmp for each row added costs more than the comparing.
        const char* pa = m_pNarrow.get() + a.keyOffset;
        const char* pb = m_pNarrow.get() + b.keyOffset;
        const auto compareWords = [pa, pb](qint32 at) {
            quint64 wa, wb;
            std::memcpy(&wa, pa + at, 8);
            std::memcpy(&wb, pb + at, 8);
            return wa == wb ? 0 : qFromBigEndian(wa) < qFromBigEndian(wb) ? -1 : 1;
        };
        if (common >= 8) {
            for (qint32 i = 0; i + 8 <= common; i += 8)
                if (const int c = compareWords(i))
                    return c;
            // The last eight bytes, overlapping bytes already found equal.
            if (const int c = compareWords(common - 8))
                return c;
        } else {
            for (qint32 i = 0; i < common; ++i)
                if (pa[i] != pb[i])
                    return uchar(pa[i]) < uchar(pb[i]) ? -1 : 1;
        }
    } else {
        for (qint32 i = 0; i < common; ++i) {
            const char16_t ua = a.wide ? m_Wide[size_t(a.keyOffset + i)]
                                       : char16_t(uchar(m_pNarrow[size_t(a.keyOffset + i)]));
            const char16_t ub = b.wide ? m_Wide[size_t(b.keyOffset + i)]
                                       : char16_t(uchar(m_pNarrow[size_t(b.keyOffset + i)]));
            if (ua != ub)
                return ua < ub ? -1 : 1;
        }
    }
    return a.keyLength == b.keyLength ? 0 : a.keyLength < b.keyLength ? -1 : 1;
}

void SPSPointTable::Sort()
{
    BuildRows();
    if (m_bSorted)
        return;
    m_bSorted = true;
    // Rows added in ascending key order, as an ordered file gives them, need
    // no sorting (and hold no key twice).
    if (std::adjacent_find(m_Rows.begin(), m_Rows.end(), [this](const Row& a, const Row& b) {
            return Compare(a, b) >= 0;
        }) == m_Rows.end())
        return;
    const size_t n = m_Rows.size();
    const bool anyWide = !m_Wide.empty();
    SPSLargeVector<Prefixed> order(n);
    for (size_t i = 0; i < n; ++i) {
        const Row& row = m_Rows[i];
        quint64 part[2] = {0, 0};
        if (!anyWide) {
            // Big-endian bytes, zero-padded: compared as numbers they order as
            // the bytes do.
            uchar bytes[16] = {};
            std::memcpy(bytes, m_pNarrow.get() + row.keyOffset, size_t(qMin(row.keyLength, 16)));
            for (int k = 0; k < 8; ++k) {
                part[0] = part[0] << 8 | bytes[k];
                part[1] = part[1] << 8 | bytes[k + 8];
            }
        } else {
            for (int k = 0; k < 8 && k < row.keyLength; ++k) {
                const quint64 unit = row.wide ? m_Wide[size_t(row.keyOffset + k)]
                                              : uchar(m_pNarrow[size_t(row.keyOffset + k)]);
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
        const int c = Compare(m_Rows[a.index], m_Rows[b.index]);
        return c != 0 ? c < 0 : a.index < b.index;
    });
    KeepLastOfEach(order, [this](const Prefixed& a, const Prefixed& b) {
        return a.high == b.high && a.low == b.low && Compare(m_Rows[a.index], m_Rows[b.index]) == 0;
    });
    SPSLargeVector<Row> sorted;
    sorted.reserve(order.size());
    for (const Prefixed& p : order)
        sorted.push_back(m_Rows[p.index]);
    m_Rows = std::move(sorted);
    SPSLargeVector<SPSPointGeometry> values;
    values.reserve(order.size());
    for (const Prefixed& p : order)
        values.push_back(m_Values[p.index]);
    m_Values = std::move(values);
    m_bNumbersAscend = std::adjacent_find(m_Values.begin(), m_Values.end(),
                                          [](const SPSPointGeometry& a, const SPSPointGeometry& b) {
                                              return a.m_nNumber >= b.m_nNumber;
                                          }) == m_Values.end();
}

QString SPSPointTable::Text(const Row& row, qsizetype from, qsizetype length) const
{
    if (row.wide)
        return QString(reinterpret_cast<const QChar*>(m_Wide.data() + row.keyOffset + from),
                       length);
    return QLatin1StringView(m_pNarrow.get() + row.keyOffset + from, length).toString();
}

QString SPSPointTable::KeyAt(qsizetype index) const
{
    const Row& row = Entry(index);
    return Text(row, 0, row.keyLength);
}

SPSPointRecord SPSPointTable::RecordAt(qsizetype index) const
{
    const Row& row = Entry(index);
    const SPSPointGeometry& values = m_Values[size_t(index)];
    SPSPointRecord point;
    point.m_strLineName = Text(row, 0, row.lineLength);
    point.m_strPointText = Text(row, row.lineLength + 1, row.keyLength - row.lineLength - 1);
    point.m_fDepth = values.m_fDepth;
    point.m_dX = values.m_dX;
    point.m_dY = values.m_dY;
    point.m_dElevation = values.m_dElevation;
    return point;
}

std::optional<SPSPointRecord> SPSPointTable::Find(const QString& key) const
{
    Q_ASSERT(m_bSorted);
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
