#include "SPSNumberedTable.h"

const SPSPointGeometry* SPSNumberedTable::Find(qint32 number) const
{
    const auto it = m_Points.find(number);
    return it == m_Points.end() ? nullptr : &it->second;
}
