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
    QMutexLocker lock(&m_Mutex);
    return m_Entries;
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
