#pragma once

#include <QList>
#include <QMutex>
#include <QObject>
#include <QPointer>

class VeDataLoadThread;
class VeObject;
class VeThread;

// The host's side of its worker threads. Every VeThread announces itself here
// when constructed; the host (never the plug-in) subscribes to the signals below.
// sigThreadFinished and sigAllThreadsFinished are emitted on the registry's
// thread (the application's main thread); sigProcessMessage and sigObjectCreated
// leave from the worker and reach main-thread subscribers queued, in order.
// A thread passed to a subscriber may already be deleted when a queued signal
// arrives: compare it, do not dereference it. One subscriber owns each created
// object: a host has a single place that takes them over.
class VeThreadRegistry : public QObject
{
    Q_OBJECT
public:
    static VeThreadRegistry* Instance();

    void Announce(VeThread* thread);
    void AnnounceLoader(VeDataLoadThread* thread);

    // Announced threads that are still alive.
    QList<VeThread*> Threads() const;
    // Threads started and not yet finished.
    int RunningCount() const;
    // Blocks until every announced thread has ended, then delivers what they
    // sent meanwhile; for a host that must not go away under a running load.
    void WaitForAll();

    // For the thread sanitizer: what every run that has ended wrote becomes
    // visible to the caller, as Qt's own (uninstrumented) hand-over makes it.
    // Nothing in an ordinary build.
    static void AcquireRunEnds();

Q_SIGNALS:
    void sigProcessMessage(VeThread* thread, const QString& message);
    // The object now lives in the registry's thread and belongs to the subscriber.
    // Without any subscriber the object is deleted instead.
    void sigObjectCreated(VeObject* object);
    void sigThreadFinished(VeThread* thread);
    void sigAllThreadsFinished();

private:
    VeThreadRegistry();
    void HandOver(VeObject* object);
    void OnFinished(VeThread* thread);

    // Guards m_Threads: threads may be constructed on any thread.
    mutable QMutex m_Mutex;
    QList<QPointer<VeThread>> m_Threads;
};
