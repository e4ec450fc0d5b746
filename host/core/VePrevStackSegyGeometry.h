#pragma once

#include "Ve3DObject.h"
#include "VePrevSegySRGeometry.h"
#include "VeRuntimeClass.h"
#include "VeSRRecordStore.h"

#include <QMutex>

#include <atomic>
#include <vector>

// The shots and receivers of a pre-stack survey, in the order they were added.
// Loads add from worker threads while views read on the UI thread.
class VePrevStackSegyGeometry : public Ve3DObject
{
    Q_OBJECT
    VE_DECLARE_RUNTIMECLASS(VePrevStackSegyGeometry)
public:
    explicit VePrevStackSegyGeometry(QObject* parent = nullptr);
    ~VePrevStackSegyGeometry() override;

    bool Copy(const VeDataObject& other) override;
    QString GetDataObjInfo() const override;

    // Takes ownership of the record.
    void AddShotGeometry(VePrevSegySRGeometry* record);
    void AddReceiverGeometry(VePrevSegySRGeometry* record);

    int ShotCount() const;
    int ReceiverCount() const;
    VePrevSegySRGeometry ShotAt(int index) const;
    VePrevSegySRGeometry ReceiverAt(int index) const;
    std::vector<VePrevSegySRGeometry> Shots() const;
    std::vector<VePrevSegySRGeometry> Receivers() const;
    // The records as they stand now, for reading on any thread without a copy.
    VeSRRecordSnapshot ShotSnapshot() const;
    VeSRRecordSnapshot ReceiverSnapshot() const;

Q_SIGNALS:
    // Records were added since the last notice; several adds give one notice,
    // delivered on the object's own thread.
    void sigRecordsAdded();

private:
    // Runs on the object's thread, queued after a burst of adds.
    Q_INVOKABLE void NoticeRecordsAdded();
    void Add(VeSRRecordStore& records, VePrevSegySRGeometry* record);

    // Guards m_Shots and m_Receivers: a load appends from its worker thread
    // while the host reads (counts, copies, single records) on the UI thread.
    mutable QMutex m_Mutex;
    VeSRRecordStore m_Shots;
    VeSRRecordStore m_Receivers;
    std::atomic<bool> m_bNoticePending{false};
};
