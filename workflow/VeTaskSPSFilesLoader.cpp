#include "VeTaskSPSFilesLoader.h"

#include "VeHostUi.h"
#include "VeSPSLoadDialog.h"
#include "VeSPSLoaderStart.h"
#include "VeTaskSPSFilesLoaderParam.h"

#include <QMessageBox>

// The class record is made with the other records of the library, in one place.

VeTaskSPSFilesLoader::VeTaskSPSFilesLoader(QObject* parent) : VeTask(parent)
{
    SetName(QStringLiteral("Load SPS File"));
}

VeTaskSPSFilesLoader::~VeTaskSPSFilesLoader() = default;

void VeTaskSPSFilesLoader::Execute()
{
    if (!GetTaskParameter())
        SetTaskParameter(new VeTaskSPSFilesLoaderParam);
    // The dialog watches the node the task targets now: a later run of the task
    // for another node must not redirect this dialog's load.
    VeSPSLoadDialog* dialog = VeSPSLoadDialog::Open(
        GetTaskParameter(), GetTargetNode(), this, SLOT(slotLoadData()), tr("Files"), tr("Format"));
    // The dialog's pages write the task's record: the dialog must not outlive it.
    connect(this, &QObject::destroyed, dialog, &QWidget::close);
}

bool VeTaskSPSFilesLoader::slotLoadData()
{
    VeTaskParameter* param = GetTaskParameter();
    if (!param || !param->IsValid()) {
        // Built by hand: the static helpers would make OK the default button.
        QMessageBox box(QMessageBox::Warning, tr("Reading segy"),
                        QStringLiteral("Fail to set parameter."), QMessageBox::Ok, GetMainWindow());
        box.exec();
        return false;
    }
    // Each load reads its own copy: a dialog accepted while this load still runs
    // rewrites the task's record, never the one this load reads.
    VeTaskSPSFilesLoaderParam* copy = nullptr;
    if (auto* own = dynamic_cast<VeTaskSPSFilesLoaderParam*>(param)) {
        copy = new VeTaskSPSFilesLoaderParam;
        copy->CopyFrom(*own);
    }
    // Through the dialog: the node its task targeted when it was opened; called
    // other than by one of our dialogs, the task's target now.
    auto* dialog = qobject_cast<VeSPSLoadDialog*>(sender());
    StartSPSFilesLoaderThread(dialog ? dialog->GetTargetNode() : GetTargetNode(), copy);
    return true;
}
