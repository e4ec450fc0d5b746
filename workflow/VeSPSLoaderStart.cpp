#include "VeSPSLoaderStart.h"

#include "VeTaskSPSFilesLoaderParam.h"
#include "VeThreadSPSFilesLoader.h"

VeThreadSPSFilesLoader* StartSPSFilesLoaderThread(VeObjNode* node, VeTaskSPSFilesLoaderParam* param)
{
    auto* thread = new VeThreadSPSFilesLoader(nullptr);
    thread->m_pTargetNode = node;
    thread->m_pParam = param;
    if (param) {
        param->setParent(thread);
        thread->SetNumberingSettings(param->Numbering);
    }
    // Queued to the thread object's own (UI) thread: deleted once run has returned.
    QObject::connect(thread, &QThread::finished, thread, &VeThread::slotDeleteMe);
    thread->start(QThread::InheritPriority);
    return thread;
}
