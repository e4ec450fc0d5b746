#pragma once

#include "VeThread.h"

#include <memory>

class VeObject;
class VeTaskParameter;

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
    // Sent by a load from its worker as its run ends, after any sigCreatedObject:
    // the ID of the object it filled (the one it handed over, or its target's),
    // 0 when it filled none, and a copy of the parameters it ran with, which
    // belongs to nobody but its holders. Through this the host learns what a
    // load did without knowing its class; it hears of it from the registry.
    void sigLoadFinished(qint64 filledObjectID, std::shared_ptr<const VeTaskParameter> parameters);

public Q_SLOTS:
    virtual void slotUpdateObjectData() {}
};
