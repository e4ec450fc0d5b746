#pragma once

#include "VeThread.h"

class VeObject;

// A thread that loads data into the host's object tree. A new object is handed
// to the host with sigCreatedObject; the host's thread registry takes it over.
class VeDataLoadThread : public VeThread
{
    Q_OBJECT
public:
    explicit VeDataLoadThread(QObject* parent = nullptr);
    ~VeDataLoadThread() override;

Q_SIGNALS:
    void sigCreatedObject(VeObject* object);

public Q_SLOTS:
    virtual void slotUpdateObjectData() {}
};
