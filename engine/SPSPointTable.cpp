#include "SPSPointTable.h"

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
    m_Points.insert(Key(point.m_strLineName, point.m_strPointText), point);
}

const SPSPointRecord* SPSPointTable::Find(const QString& key) const
{
    const auto it = m_Points.constFind(key);
    return it == m_Points.cend() ? nullptr : &it.value();
}
