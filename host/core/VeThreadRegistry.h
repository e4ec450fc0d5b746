#pragma once

#include <QHash>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QPointer>

#include <memory>
#include <mutex>

class VeDataLoadThread;
class VeObject;
class VeTaskParameter;
class VeThread;

// The host's side of its worker threads. Every VeThread announces itself here
// when constructed; the host (never the plug-in) subscribes to the signals below.
// sigLoadFinished, sigThreadFinished and sigAllThreadsFinished are emitted on the
// registry's thread (the application's main thread), in that order; sigProcessMessage
// and sigObjectCreated leave from the worker and reach main-thread subscribers
// queued, in order, before those.
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
    // A load thread that goes before its end reached the registry says no more.
    void ForgetLoader(VeDataLoadThread* thread);

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
    // The same, with the thread whose load made the object (compare it, do not
    // dereference it). A host takes objects over through one of the two.
    void sigObjectCreatedBy(VeThread* thread, VeObject* object);
    // What a load thread said with VeDataLoadThread::sigLoadFinished, once its run
    // has ended and just before its sigThreadFinished: what it filled, by the
    // object's ID (0: nothing), and a copy of the parameters it ran with. Loads
    // that said nothing (or threads that are no loads) have none.
    void sigLoadFinished(VeThread* thread, qint64 filledObjectID,
                         std::shared_ptr<const VeTaskParameter> parameters);
    void sigThreadFinished(VeThread* thread);
    void sigAllThreadsFinished();

private:
    struct LoadReport
    {
        qint64 filledObjectID = 0;
        std::shared_ptr<const VeTaskParameter> parameters;
    };

    VeThreadRegistry();
    void HandOver(VeThread* thread, VeObject* object);
    void OnFinished(VeThread* thread, bool alive);

    // Guards m_Threads: threads may be constructed on any thread.
    mutable QMutex m_Mutex;
    QList<QPointer<VeThread>> m_Threads;
    // What each load said as its run ended, until the end reaches the registry
    // or the thread goes. Loads write it from their workers; a standard mutex,
    // so that the thread sanitizer sees the hand-over.
    std::mutex m_ReportsMutex;
    QHash<VeThread*, LoadReport> m_Reports;
};
