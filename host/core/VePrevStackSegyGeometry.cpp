#include "VePrevStackSegyGeometry.h"

#include "VeRuntimeClass.h"

#include <QMutexLocker>

#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>
#endif

VE_IMPLEMENT_RUNTIMECLASS(VePrevStackSegyGeometry, Ve3DObject)

VePrevStackSegyGeometry::VePrevStackSegyGeometry(QObject* parent) : Ve3DObject(parent) {}

VePrevStackSegyGeometry::~VePrevStackSegyGeometry() = default;

bool VePrevStackSegyGeometry::Copy(const VeDataObject& other)
{
    const auto* geometry = qobject_cast<const VePrevStackSegyGeometry*>(&other);
    if (!geometry || geometry == this || !Ve3DObject::Copy(other))
        return false;
    std::vector<VePrevSegySRGeometry> shots = geometry->Shots();
    std::vector<VePrevSegySRGeometry> receivers = geometry->Receivers();
    QMutexLocker lock(&m_Mutex);
    m_Shots.Assign(shots);
    m_Receivers.Assign(receivers);
    return true;
}

QString VePrevStackSegyGeometry::GetDataObjInfo() const
{
    return Ve3DObject::GetDataObjInfo() +
           QStringLiteral(": %1 shots, %2 receivers").arg(ShotCount()).arg(ReceiverCount());
}

void VePrevStackSegyGeometry::Add(VeSRRecordStore& records, VePrevSegySRGeometry* record)
{
    if (!record)
        return;
    {
        QMutexLocker lock(&m_Mutex);
        records.Append(*record);
    }
    delete record;
    // Queued by name: the call event is Qt's own, so nothing of ours crosses
    // threads through Qt's (for the thread sanitizer invisible) event queue.
    // Looked at before it is set: a load adds a million records to one notice.
    if (!m_bNoticePending.load(std::memory_order_relaxed) && !m_bNoticePending.exchange(true)) {
        // The notice may reach the object's thread before the load's end
        // does: what was done to the object so far, its making included, is
        // handed over with it, as the queue does, and the sanitizer is told.
#if defined(__SANITIZE_THREAD__)
        __tsan_release(&m_bNoticePending);
#endif
        QMetaObject::invokeMethod(this, "NoticeRecordsAdded", Qt::QueuedConnection);
    }
}

void VePrevStackSegyGeometry::NoticeRecordsAdded()
{
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(&m_bNoticePending);
#endif
    m_bNoticePending = false;
    Q_EMIT sigRecordsAdded();
}

void VePrevStackSegyGeometry::AddShotGeometry(VePrevSegySRGeometry* record)
{
    Add(m_Shots, record);
}

void VePrevStackSegyGeometry::AddReceiverGeometry(VePrevSegySRGeometry* record)
{
    Add(m_Receivers, record);
}

int VePrevStackSegyGeometry::ShotCount() const
{
    QMutexLocker lock(&m_Mutex);
    return int(m_Shots.Size());
}

int VePrevStackSegyGeometry::ReceiverCount() const
{
    QMutexLocker lock(&m_Mutex);
    return int(m_Receivers.Size());
}

VePrevSegySRGeometry VePrevStackSegyGeometry::ShotAt(int index) const
{
    QMutexLocker lock(&m_Mutex);
    return m_Shots.At(size_t(index));
}

VePrevSegySRGeometry VePrevStackSegyGeometry::ReceiverAt(int index) const
{
    QMutexLocker lock(&m_Mutex);
    return m_Receivers.At(size_t(index));
}

std::vector<VePrevSegySRGeometry> VePrevStackSegyGeometry::Shots() const
{
    QMutexLocker lock(&m_Mutex);
    return m_Shots.ToVector();
}

std::vector<VePrevSegySRGeometry> VePrevStackSegyGeometry::Receivers() const
{
    QMutexLocker lock(&m_Mutex);
    return m_Receivers.ToVector();
}

VeSRRecordSnapshot VePrevStackSegyGeometry::ShotSnapshot() const
{
    QMutexLocker lock(&m_Mutex);
    return m_Shots.Snapshot();
}

VeSRRecordSnapshot VePrevStackSegyGeometry::ReceiverSnapshot() const
{
    QMutexLocker lock(&m_Mutex);
    return m_Receivers.Snapshot();
}
