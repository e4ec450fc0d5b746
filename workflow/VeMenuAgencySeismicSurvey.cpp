#include "VeMenuAgencySeismicSurvey.h"

#include "VeHostUi.h"
#include "VePrevStackSegyGeometry.h"
#include "VeSPSLoadDialog.h"
#include "VeSPSLoaderStart.h"
#include "VeTaskSPSFilesLoaderParam.h"

#include <QKeySequence>
#include <QMenu>

// The class record is made with the other records of the library, in one place.

VeMenuAgencySeismicSurvey::VeMenuAgencySeismicSurvey(QObject* parent) : VeMenuAgencyBase(parent) {}

VeMenuAgencySeismicSurvey::~VeMenuAgencySeismicSurvey() = default;

void VeMenuAgencySeismicSurvey::CreateNodeMenu(VeObjNode* node, QMenu* menu)
{
    SetCurEmbedNode(node);
    if (!menu)
        return;
    QString text;
    VeObject* object = node ? node->GetObject() : nullptr;
    if (!object)
        text = QStringLiteral("&Load SPS File");
    else if (qobject_cast<VePrevStackSegyGeometry*>(object))
        text = QStringLiteral("&Load from SPS File");
    else
        return;
    menu->addAction(GetPngIcon(QStringLiteral("orka_add")), text, QKeySequence(), this,
                    SLOT(slotLoadSPSToGeometry()));
}

void VeMenuAgencySeismicSurvey::slotLoadSPSToGeometry()
{
    auto* param = new VeTaskSPSFilesLoaderParam;
    VeSPSLoadDialog* dialog =
        VeSPSLoadDialog::Open(param, m_pCurEmbedNode, this, SLOT(slotLoadSPSToGeometryThread()),
                              tr("Files"), tr("Format"));
    // The record lives with its dialog until an accepted load takes it over.
    param->setParent(dialog);
}

void VeMenuAgencySeismicSurvey::slotLoadSPSToGeometryThread()
{
    auto* dialog = qobject_cast<VeSheetTaskBaseDialog*>(sender());
    if (!dialog)
        return;
    auto* param = dynamic_cast<VeTaskSPSFilesLoaderParam*>(dialog->GetTaskParameter());
    auto* own = qobject_cast<VeSPSLoadDialog*>(dialog);
    VeObjNode* node = own ? own->GetTargetNode() : m_pCurEmbedNode.data();

    // The load reads a record nobody else writes: the fresh record of our own
    // dialog goes with its thread; any other dialog's record stays its owner's,
    // and the load reads a copy.
    VeTaskSPSFilesLoaderParam* record = nullptr;
    if (param && own && param->parent() == own) {
        param->setParent(nullptr);
        record = param;
    } else if (param) {
        record = new VeTaskSPSFilesLoaderParam;
        record->CopyFrom(*param);
    }
    StartSPSFilesLoaderThread(node, record);
}
