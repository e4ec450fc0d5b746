#pragma once

#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QMutex>
#include <QObject>
#include <QString>

struct VeEventsLogEntry;

// The host's events log: entries in the order written, from any thread.
class VeEventsLog : public QObject
{
    Q_OBJECT
public:
    enum EEventsLogType {
        EventsLogInformation = 1,
        EventsLogWarning = 2,
        EventsLogError = 3,
    };
    Q_ENUM(EEventsLogType)

    static VeEventsLog* Instance();

    void Append(EEventsLogType type, const QString& text);
    QList<VeEventsLogEntry> Entries() const;
    void Clear();

Q_SIGNALS:
    // Emitted on the writer's thread; connect queued to show entries in a UI.
    void sigNewEntry(const VeEventsLogEntry& entry);

private:
    VeEventsLog() = default;

    // Guards m_Entries: loads write from their worker threads while the UI reads.
    mutable QMutex m_Mutex;
    QList<VeEventsLogEntry> m_Entries;
};

struct VeEventsLogEntry
{
    VeEventsLog::EEventsLogType type = VeEventsLog::EventsLogInformation;
    QDateTime time;
    QString text;
};
Q_DECLARE_METATYPE(VeEventsLogEntry)

void OutputEventsLog(VeEventsLog::EEventsLogType type, const QString& text);
