#include "VeEventsLog.h"

#include <QMutexLocker>

VeEventsLog* VeEventsLog::Instance()
{
    static VeEventsLog log;
    return &log;
}

void VeEventsLog::Append(EEventsLogType type, const QString& text)
{
    VeEventsLogEntry entry{type, QDateTime::currentDateTime(), text};
    {
        QMutexLocker lock(&m_Mutex);
        m_Entries.append(entry);
    }
    Q_EMIT sigNewEntry(entry);
}

QList<VeEventsLogEntry> VeEventsLog::Entries() const
{
    // A list of its own, not one sharing the log's array: readers use it outside
    // the lock while loads append, and a shared array would order the two only
    // through Qt's reference count, which the thread sanitizer cannot see.
    QMutexLocker lock(&m_Mutex);
    QList<VeEventsLogEntry> copy;
    copy.reserve(m_Entries.size());
    for (const VeEventsLogEntry& e : m_Entries)
        copy.append(e);
    return copy;
}

void VeEventsLog::Clear()
{
    QMutexLocker lock(&m_Mutex);
    m_Entries.clear();
}

void OutputEventsLog(VeEventsLog::EEventsLogType type, const QString& text)
{
    VeEventsLog::Instance()->Append(type, text);
}
