#include "SPSCheckTables.h"

#include "SPSNumbers.h"

#include <algorithm>

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

QString SPSCheckLines::Key(const QString& name)
{
    bool ok = false;
    const double v = name.toDouble(&ok);
    return ok ? QString::number(v, 'g', 17) : QStringLiteral("~") + name;
}

SPSCheckPoint& SPSCheckPointTable::Add(const SPSCheckPoint& point, const char* utf8, qsizetype size)
{
    SPSCheckPoint& p = points.emplace_back(point);
    p.textOffset = qint64(texts.size());
    p.textLength = qint32(size);
    texts.insert(texts.end(), utf8, utf8 + size);
    return p;
}

int SPSCheckPointTable::CompareTexts(const SPSCheckPoint& a, const SPSCheckPoint& b) const
{
    const auto ab = texts.begin() + a.textOffset, ae = ab + a.textLength;
    const auto bb = texts.begin() + b.textOffset, be = bb + b.textLength;
    if (std::lexicographical_compare(ab, ae, bb, be))
        return -1;
    return std::equal(ab, ae, bb, be) ? 0 : 1;
}

SPSCheckRelation& SPSCheckRelationTable::Add(const SPSCheckRelation& row, QStringView tape,
                                             QStringView record, QStringView sourcePoint)
{
    SPSCheckRelation& r = rows.emplace_back(row);
    const auto append = [this](QStringView text, qint64* offset, qint32* length) {
        *offset = qint64(texts.size());
        *length = qint32(text.size());
        texts.insert(texts.end(), text.utf16(), text.utf16() + text.size());
    };
    append(tape, &r.tapeOffset, &r.tapeLength);
    append(record, &r.recordOffset, &r.recordLength);
    append(sourcePoint, &r.sourcePointOffset, &r.sourcePointLength);
    return r;
}

SPSCheckFinding& SPSCheckFindings::Add(qint64 row, Kind kind, const QString& message)
{
    SPSCheckFinding& f = m_Kinds[kind].emplace_back();
    f.file = m_File;
    f.letter = m_Letter;
    f.row = row;
    f.kind = kind;
    f.message = message;
    return f;
}

SPSCheckFinding& SPSCheckFindings::Add(qint64 row, Kind kind, const QString& message,
                                       const SPSCheckPointTable& table, const SPSCheckPoint& point)
{
    // One text for each index character, shared by the findings that name it.
    static const struct IndexTexts
    {
        QString text[128];
        IndexTexts()
        {
            for (int c = 1; c < 128; ++c)
                text[c] = QString(QChar(c));
        }
    } indexTexts;
    SPSCheckFinding& f = Add(row, kind, message);
    f.line = table.lines.Name(point.line);
    f.point = table.PointText(point);
    if (point.index && point.index < 128)
        f.index = indexTexts.text[point.index];
    f.hasPosition = point.hasXY;
    f.x = point.x;
    f.y = point.y;
    return f;
}

qsizetype SPSCheckFindings::Count() const
{
    qsizetype count = 0;
    for (const auto& kind : m_Kinds)
        count += qsizetype(kind.size());
    return count;
}

void SPSCheckFindings::MoveTo(std::vector<SPSCheckFinding>& list)
{
    // Each kind's findings come mostly in row order already.
    const auto byRow = [](const SPSCheckFinding& a, const SPSCheckFinding& b) {
        return a.row < b.row;
    };
    for (auto& kind : m_Kinds) {
        if (!std::is_sorted(kind.begin(), kind.end(), byRow))
            std::stable_sort(kind.begin(), kind.end(), byRow);
        std::move(kind.begin(), kind.end(), std::back_inserter(list));
        std::vector<SPSCheckFinding>().swap(kind);
    }
}
