#include "VeTask.h"

#include "VeObjNode.h"
#include "VeRuntimeClass.h"
#include "VeTaskParameter.h"

const VeRuntimeClass* VeTaskParameter::GetThisClass()
{
    static const VeRuntimeClass record("VeTaskParameter", int(sizeof(VeTaskParameter)), nullptr,
                                       VeObject::GetThisClass());
    return &record;
}

VeTask::VeTask(QObject* parent) : VeObject(parent) {}

VeTask::~VeTask()
{
    delete m_pTaskParam;
}

const VeRuntimeClass* VeTask::GetThisClass()
{
    static const VeRuntimeClass record("VeTask", int(sizeof(VeTask)), nullptr,
                                       VeObject::GetThisClass());
    return &record;
}

void VeTask::SetTaskParameter(VeTaskParameter* param)
{
    if (param == m_pTaskParam)
        return;
    delete m_pTaskParam;
    m_pTaskParam = param;
}

static const VeRuntimeClass* const s_registeredVeTaskParameter = VeTaskParameter::GetThisClass();
static const VeRuntimeClass* const s_registeredVeTask = VeTask::GetThisClass();
