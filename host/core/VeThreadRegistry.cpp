#include "VeThreadRegistry.h"

#include "VeDataLoadThread.h"
#include "VeObject.h"
#include "VeTaskParameter.h"
#include "VeThread.h"

#include <QCoreApplication>
#include <QMetaMethod>
#include <QMutexLocker>

#include <optional>

#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>

namespace {
// Qt hands the end of a run over to the main thread (QThread::wait, the queued
// finished()) under locks of its own, which the thread sanitizer cannot see in
// a Qt that is not built with it. What a run wrote before it ended is published
// here, explicitly, and taken where the main thread learns of the end.
char s_RunsEnded;
} // namespace
#endif

void VeThreadRegistry::AcquireRunEnds()
{
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(&s_RunsEnded);
#endif
}

VeThreadRegistry::VeThreadRegistry()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        moveToThread(app->thread());
}

VeThreadRegistry* VeThreadRegistry::Instance()
{
    static VeThreadRegistry registry;
    return &registry;
}

void VeThreadRegistry::Announce(VeThread* thread)
{
    {
        QMutexLocker lock(&m_Mutex);
        m_Threads.removeAll(nullptr);
        m_Threads.append(thread);
    }
    // Direct: runs on the emitting worker, re-emitted queued to the subscribers.
    connect(
        thread, &VeThread::sigProcessMessage, this,
        [this, thread](const QString& message) { Q_EMIT sigProcessMessage(thread, message); },
        Qt::DirectConnection);
#if defined(__SANITIZE_THREAD__)
    // Before the queued connection below: published before its event is posted.
    connect(
        thread, &QThread::finished, this, []() { __tsan_release(&s_RunsEnded); },
        Qt::DirectConnection);
#endif
    QPointer<VeThread> guard(thread);
    connect(
        thread, &QThread::finished, this, [this, thread, guard]() { OnFinished(thread, guard); },
        Qt::QueuedConnection);
#if defined(__SANITIZE_THREAD__)
    // Posting that event reads the thread object (moc's metaObject()) on the
    // worker: published again once it is posted, for whoever waits for the end.
    connect(
        thread, &QThread::finished, this, []() { __tsan_release(&s_RunsEnded); },
        Qt::DirectConnection);
#endif
}

void VeThreadRegistry::AnnounceLoader(VeDataLoadThread* thread)
{
    connect(
        thread, &VeDataLoadThread::sigCreatedObject, this,
        [this, thread](VeObject* object) { HandOver(thread, object); }, Qt::DirectConnection);
    // Kept until the run's end reaches this thread: published with it.
    connect(
        thread, &VeDataLoadThread::sigLoadFinished, this,
        [this, thread](qint64 filledObjectID, std::shared_ptr<const VeTaskParameter> parameters) {
            std::lock_guard lock(m_ReportsMutex);
            m_Reports.insert(thread, LoadReport{filledObjectID, std::move(parameters)});
        },
        Qt::DirectConnection);
}

void VeThreadRegistry::ForgetLoader(VeDataLoadThread* thread)
{
    // Destroyed after the lock is released: it may hold the parameters' last copy.
    LoadReport report;
    std::lock_guard lock(m_ReportsMutex);
    report = m_Reports.take(thread);
}

void VeThreadRegistry::HandOver(VeThread* thread, VeObject* object)
{
    if (!object)
        return;
    if (!isSignalConnected(QMetaMethod::fromSignal(&VeThreadRegistry::sigObjectCreated)) &&
        !isSignalConnected(QMetaMethod::fromSignal(&VeThreadRegistry::sigObjectCreatedBy))) {
        delete object;
        return;
    }
    // The worker's thread ends with its run; the object must outlive it.
    if (object->thread() == QThread::currentThread() && object->thread() != this->thread())
        object->moveToThread(this->thread());
    Q_EMIT sigObjectCreated(object);
    Q_EMIT sigObjectCreatedBy(thread, object);
}

void VeThreadRegistry::OnFinished(VeThread* thread, bool alive)
{
    AcquireRunEnds();
    // The thread object may be gone already (its owner deleted it right after
    // wait()); those waiting for all loads to end must still hear of it.
    if (alive) {
        std::optional<LoadReport> report;
        {
            std::lock_guard lock(m_ReportsMutex);
            if (const auto at = m_Reports.find(thread); at != m_Reports.end()) {
                report = std::move(*at);
                m_Reports.erase(at);
            }
        }
        if (report)
            Q_EMIT sigLoadFinished(thread, report->filledObjectID, report->parameters);
        Q_EMIT sigThreadFinished(thread);
    }
    if (RunningCount() == 0)
        Q_EMIT sigAllThreadsFinished();
}

QList<VeThread*> VeThreadRegistry::Threads() const
{
    QMutexLocker lock(&m_Mutex);
    QList<VeThread*> alive;
    for (const QPointer<VeThread>& t : m_Threads)
        if (t)
            alive.append(t);
    return alive;
}

int VeThreadRegistry::RunningCount() const
{
    int running = 0;
    for (VeThread* t : Threads())
        if (t->isRunning())
            ++running;
    return running;
}

void VeThreadRegistry::WaitForAll()
{
    for (VeThread* t : Threads())
        t->wait();
    AcquireRunEnds();
    QCoreApplication::sendPostedEvents();
}
