#pragma once

#include "VeRuntimeClass.h"
#include "VeTask.h"

// The host task "SPS loader": opens the load dialog on the task's own record and
// loads into the task's target node when the dialog is accepted.
class VeTaskSPSFilesLoader : public VeTask
{
    Q_OBJECT
    VE_DECLARE_RUNTIMECLASS(VeTaskSPSFilesLoader)
public:
    explicit VeTaskSPSFilesLoader(QObject* parent = nullptr);
    ~VeTaskSPSFilesLoader() override;

public Q_SLOTS:
    void Execute() override;

protected Q_SLOTS:
    // The dialog was accepted; false (after a warning) when the record is unfit.
    bool slotLoadData();
};
