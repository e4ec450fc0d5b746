#include "VeSPSLoadAgain.h"

#include "VeTaskSPSFilesLoaderParam.h"
#include "VeThreadSPSFilesLoader.h"

VeThreadSPSFilesLoader* StartSPSLoadAgain(const VeTaskSPSFilesLoaderParam& loaded,
                                          qint32 lineFactor)
{
    auto* thread = new VeThreadSPSFilesLoader(nullptr);
    auto* param = new VeTaskSPSFilesLoaderParam;
    param->CopyFrom(loaded);
    param->Numbering.LineFactor = lineFactor;
    param->setParent(thread);
    thread->m_pParam = param;
    thread->m_pTargetNode = nullptr; // a new geometry, beside the one checked
    thread->SetNumberingSettings(param->Numbering);
    QObject::connect(thread, &QThread::finished, thread, &VeThread::slotDeleteMe);
    thread->start(QThread::InheritPriority);
    return thread;
}
