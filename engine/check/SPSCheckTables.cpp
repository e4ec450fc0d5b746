#include "SPSCheckTables.h"

#include "SPSNumbers.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>

qint32 SPSCheckLines::Id(const QString& name)
{
    const QString key = Key(name);
    const auto it = m_Keys.constFind(key);
    if (it != m_Keys.constEnd())
        return *it;
    const qint32 id = Count();
    m_Lines.push_back({name, PointNumberFromText(name)});
    m_Keys.insert(key, id);
    return id;
}

qint32 SPSCheckLines::Find(const QString& name) const
{
    return m_Keys.value(Key(name), -1);
}

void SPSCheckLines::TakeNames(const SPSCheckLines& first, const SPSCheckLines& second)
{
    for (Line& line : m_Lines) {
        const SPSCheckLines* named = &first;
        qint32 id = first.Find(line.name);
        if (id < 0) {
            named = &second;
            id = second.Find(line.name);
        }
        if (id >= 0)
            line = {named->Name(id), named->Number(id)};
    }
}

QString SPSCheckLines::Key(const QString& name)
{
    bool ok = false;
    const double v = name.toDouble(&ok);
    return ok ? QString::number(v, 'g', 17) : QStringLiteral("~") + name;
}

SPSCheckPoint& SPSCheckPointTable::Add(const SPSCheckPoint& point, const char* utf8, qsizetype size,
                                       bool digits)
{
    // A point field is a few columns; a layout's longer one is cut.
    size = qMin<qsizetype>(size, SPSCheckPoint::kMaxText);
    // A number written plainly is kept as its code alone.
    if (point.numeric) {
        const int decimals = digits ? point.value.DigitsSpellingDecimals(utf8, size)
                                    : point.value.SpellingDecimals(utf8, size);
        Q_ASSERT(decimals == point.value.SpellingDecimals(utf8, size));
        if (decimals >= 0) {
            SPSCheckPoint& p = points.emplace_back(point);
            p.spelled = true;
            p.decimals = quint64(decimals);
            p.textOffset = 0;
            p.textLength = 0;
            return p;
        }
    }
    const size_t at = texts.size();
    // 4 GiB of point texts are some 500 million points, more than memory holds.
    if (at + size_t(size) > size_t(std::numeric_limits<quint32>::max()))
        throw std::length_error("more point texts than a point can place");
    SPSCheckPoint& p = points.emplace_back(point);
    p.spelled = false;
    p.textOffset = quint32(at);
    p.textLength = quint64(size);
    texts.resize(at + size_t(size));
    if (size > 0)
        std::memcpy(texts.data() + at, utf8, size_t(size));
    return p;
}

QByteArrayView SPSCheckPointTable::TextBytes(const SPSCheckPoint& point, Spelling& room) const
{
    if (point.spelled)
        return point.value.Spell(int(point.decimals), room);
    return QByteArrayView(texts.data() + point.textOffset, qsizetype(point.textLength));
}

qint32 SPSCheckPointTable::PointNumber(const SPSCheckPoint& point) const
{
    // Digits alone, fewer than ten: their number, as ShortPointNumber reads them.
    if (point.spelled && point.decimals == 0 && point.value.Count() >= 0)
        return point.value.Count();
    Spelling room;
    const QByteArrayView text = TextBytes(point, room);
    qint32 number = 0;
    if (ShortPointNumber(text.data(), text.size(), &number))
        return number;
    return PointNumberFromText(QString::fromUtf8(text.data(), text.size()));
}

int SPSCheckPointTable::CompareTexts(const SPSCheckPoint& a, const SPSCheckPoint& b) const
{
    Spelling roomA, roomB;
    const QByteArrayView ta = TextBytes(a, roomA), tb = TextBytes(b, roomB);
    const auto ab = ta.begin(), ae = ta.end();
    const auto bb = tb.begin(), be = tb.end();
    if (std::lexicographical_compare(ab, ae, bb, be))
        return -1;
    return std::equal(ab, ae, bb, be) ? 0 : 1;
}

SPSCheckNumber SPSCheckNumbers::Keep(double value)
{
    if (m_Kept.size() >= (size_t(1) << 30))
        throw std::length_error("more numbers than a code can place");
    m_Kept.push_back(value);
    return {quint32(m_Kept.size() - 1) << 2 | SPSCheckNumber::kKept};
}

SPSCheckRelation& SPSCheckRelationTable::Add(const SPSCheckRelation& row, QUtf8StringView tape,
                                             QUtf8StringView record, QUtf8StringView sourcePoint,
                                             bool sourceDigits)
{
    // 2^39 bytes of texts are some 2 x 10^10 rows, more than memory holds.
    if (texts.size() >= (size_t(1) << 39))
        throw std::length_error("more relation texts than a row can place");
    SPSCheckRelation& r = rows.emplace_back(row);
    r.textOffset = qint64(texts.size());
    // The tape number is six columns at most, the others are a few more:
    // their lengths fit the fields; a layout's longer ones are cut.
    tape = tape.left(255);
    record = record.left(1023);
    sourcePoint = sourcePoint.left(1023);
    // A source point written plainly is held as its code alone.
    const int decimals =
        sourceDigits ? r.sourcePoint.DigitsSpellingDecimals(sourcePoint.data(), sourcePoint.size())
                     : r.sourcePoint.SpellingDecimals(sourcePoint.data(), sourcePoint.size());
    Q_ASSERT(decimals == r.sourcePoint.SpellingDecimals(sourcePoint.data(), sourcePoint.size()));
    r.sourceSpelled = decimals >= 0 ? 1 : 0;
    r.sourceDecimals = quint64(qMax(decimals, 0));
    if (r.sourceSpelled)
        sourcePoint = QUtf8StringView();
    r.tapeLength = quint64(tape.size());
    r.recordLength = quint64(record.size());
    r.sourcePointLength = quint64(sourcePoint.size());
    // One growth for the three: a million rows add them.
    size_t at = texts.size();
    texts.resize(at + size_t(tape.size() + record.size() + sourcePoint.size()));
    for (const QUtf8StringView text : {tape, record, sourcePoint})
        if (!text.isEmpty()) {
            std::memcpy(texts.data() + at, text.data(), size_t(text.size()));
            at += size_t(text.size());
        }
    return r;
}

SPSCheckRelation& SPSCheckRelationTable::Add(const SPSCheckRelation& row, QStringView tape,
                                             QStringView record, QStringView sourcePoint)
{
    const QByteArray t = tape.toUtf8(), c = record.toUtf8(), p = sourcePoint.toUtf8();
    return Add(row, QUtf8StringView(t), QUtf8StringView(c), QUtf8StringView(p));
}

SPSCheckFindings::SPSCheckFindings(const QString& file, QChar letter)
{
    m_Parts.AddFile({file, letter, QString(), 0});
}

SPSCheckFinding& SPSCheckFindings::Add(qint64 row, Kind kind, const QString& message)
{
    SPSCheckFinding& f = m_Kinds[kind].emplace_back();
    f.row = row;
    f.kind = kind;
    f.whole = 1;
    f.text = m_Parts.AddText(message);
    return f;
}

SPSCheckFinding& SPSCheckFindings::Add(qint64 row, Kind kind, const QString& message,
                                       const SPSCheckPointTable& table, const SPSCheckPoint& point)
{
    SPSCheckFinding& f = m_Kinds[kind].emplace_back();
    f.row = row;
    f.kind = kind;
    if (!message.isNull()) {
        f.whole = 1;
        f.text = m_Parts.AddText(message);
    }
    Name(f, table.lines, point.line, QStringView());
    if (point.spelled) {
        f.SpellPoint(point.value, int(point.decimals));
    } else {
        SPSCheckPointTable::Spelling room;
        const QByteArrayView text = table.TextBytes(point, room);
        f.point = m_Parts.AddText(text.data(), text.size());
    }
    if (point.index && point.index < 128)
        f.index = point.index;
    f.hasPosition = point.hasXY;
    f.x = table.Value(point.x);
    f.y = table.Value(point.y);
    return f;
}

qint32 SPSCheckFindings::LineId(const QString& name)
{
    const auto it = m_LineIds.constFind(name);
    if (it != m_LineIds.constEnd())
        return *it;
    const qint32 id = m_Parts.AddLine(name);
    m_LineIds.insert(name, id);
    return id;
}

void SPSCheckFindings::Name(SPSCheckFinding& f, const SPSCheckLines& lines, qint32 line,
                            QStringView point)
{
    if (m_pCachedLines != &lines) {
        m_pCachedLines = &lines;
        m_CachedIds.clear();
    }
    if (m_CachedIds.size() <= size_t(line))
        m_CachedIds.resize(size_t(lines.Count()), -1);
    qint32& id = m_CachedIds[size_t(line)];
    if (id < 0)
        id = LineId(lines.Name(line));
    f.line = id;
    if (!point.isNull())
        f.point = m_Parts.AddText(point);
}

void SPSCheckFindings::Name(SPSCheckFinding& f, const SPSCheckLines& lines, qint32 line,
                            QUtf8StringView point)
{
    Name(f, lines, line, QStringView());
    f.point = m_Parts.AddText(point.data(), point.size());
}

void SPSCheckFindings::NameSource(SPSCheckFinding& f, const SPSCheckRelationTable& relations,
                                  const SPSCheckRelation& r)
{
    if (!r.sourceSpelled) {
        SPSCheckNumber::Spelling room;
        Name(f, relations.lines, r.sourceLine, relations.SourcePoint(r, room));
        return;
    }
    Name(f, relations.lines, r.sourceLine, QStringView());
    f.SpellPoint(r.sourcePoint, int(r.sourceDecimals));
}

void SPSCheckFindings::Name(SPSCheckFinding& f, const QString& line, QStringView point)
{
    f.line = LineId(line);
    if (!point.isNull())
        f.point = m_Parts.AddText(point);
}

void SPSCheckFindings::SetFurthestField(const QString& name, qint64 end)
{
    SPSCheckFindingList::File& file = m_Parts.Files().front();
    file.field = name;
    file.fieldEnd = end;
}

void SPSCheckFindings::AppendToMessage(SPSCheckFinding& f, const QString& more)
{
    f.text = m_Parts.AddText(m_Parts.Message(f) + more);
    f.whole = 1;
}

qsizetype SPSCheckFindings::Count() const
{
    qsizetype count = 0;
    for (const auto& kind : m_Kinds)
        count += qsizetype(kind.size());
    return count;
}

void SPSCheckFindings::MoveTo(SPSCheckFindingList& list)
{
    const int fileBase = int(list.Files().size());
    const qint32 lineBase = list.LineCount();
    const quint32 textBase = list.AppendParts(std::move(m_Parts));
    SPSLargeVector<SPSCheckFinding>& items = list.Items();
    items.reserve(items.size() + size_t(Count()));
    std::vector<qint32> order;
    for (auto& kind : m_Kinds) {
        // Each kind's findings come mostly in row order already; when not, an
        // index array is sorted, not the findings.
        const auto byRow = [](const SPSCheckFinding& a, const SPSCheckFinding& b) {
            return a.row < b.row;
        };
        if (std::is_sorted(kind.begin(), kind.end(), byRow)) {
            // A batch at a time, the pages of those moved handed back: a kind
            // may hold millions, which would otherwise be held twice.
            constexpr size_t kBatch = size_t(1) << 16;
            size_t released = 0;
            for (size_t from = 0; from < kind.size(); from += kBatch) {
                const size_t to = std::min(kind.size(), from + kBatch);
                for (size_t i = from; i < to; ++i)
                    items.push_back(
                        SPSCheckFindingList::Rebased(kind[i], fileBase, lineBase, textBase));
                released = SPSReleasePages(kind.data(), released, to * sizeof(SPSCheckFinding));
            }
        } else {
            order.resize(kind.size());
            for (size_t i = 0; i < order.size(); ++i)
                order[i] = qint32(i);
            std::stable_sort(order.begin(), order.end(), [&](qint32 i, qint32 j) {
                return kind[size_t(i)].row < kind[size_t(j)].row;
            });
            for (const qint32 i : order)
                items.push_back(
                    SPSCheckFindingList::Rebased(kind[size_t(i)], fileBase, lineBase, textBase));
        }
        SPSLargeVector<SPSCheckFinding>().swap(kind);
    }
    m_Parts = SPSCheckFindingList();
    m_LineIds.clear();
    m_pCachedLines = nullptr;
    m_CachedIds.clear();
}
