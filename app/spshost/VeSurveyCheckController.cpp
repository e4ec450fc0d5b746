#include "VeSurveyCheckController.h"

#include "SPSLoadRowsHook.h"
#include "SPSSurveyCheck.h"
#include "VeObjNode.h"
#include "VeObjTreeWidget.h"
#include "VeSPSLoadAgain.h"
#include "VeSurveyCheckPane.h"
#include "VeSurveyCheckRunner.h"
#include "VeSurveyMapWidget.h"
#include "VeTaskParameter.h"
#include "VeTaskSPSFilesLoaderParam.h"

#include <QTableView>
#include <QThread>

#include <optional>
#include <vector>

VeSurveyCheckController::VeSurveyCheckController(VeObjTreeWidget* tree, VeSurveyCheckPane* pane,
                                                 VeSurveyMapWidget* map, QObject* parent)
    : QObject(parent), m_pTree(tree), m_pPane(pane), m_pMap(map),
      m_pRunner(new VeSurveyCheckRunner(this))
{
    connect(m_pPane, &VeSurveyCheckPane::sigFindingSelected, this,
            &VeSurveyCheckController::OnFindingSelected);
    connect(m_pPane, &VeSurveyCheckPane::sigLoadAgainWithLineFactor, this,
            &VeSurveyCheckController::LoadAgainWithLineFactor);
    connect(m_pMap, &VeSurveyMapWidget::sigPointPicked, this,
            &VeSurveyCheckController::OnFindingPicked);
    connect(m_pRunner, &VeSurveyCheckRunner::sigFinished, this,
            &VeSurveyCheckController::OnCheckFinished);
    connect(m_pRunner, &VeSurveyCheckRunner::sigStarted, this,
            &VeSurveyCheckController::ShowCheckOfSelected);
    // Every load's point rows go to the check that follows it.
    m_pPrepared = std::make_shared<PreparedChecks>();
    SPSSetLoadRowsHook([prepared = m_pPrepared](const VeTaskSPSFilesLoaderParam& param,
                                                const SPSNumberingSettings& numbering) {
        auto check = std::make_shared<SPSSurveyCheck>(param, numbering);
        const SPSLoadRows rows{check->SourceRows(), check->ReceiverRows()};
        // The relation file is read while the load reads the point files.
        check->ReadRelationsAhead();
        std::lock_guard lock(prepared->mutex);
        prepared->byLoad.insert(QThread::currentThread(), std::move(check));
        return rows;
    });
}

VeSurveyCheckController::~VeSurveyCheckController()
{
    SPSSetLoadRowsHook({});
}

void VeSurveyCheckController::ForgetLoad(const QThread* load)
{
    std::shared_ptr<SPSSurveyCheck> unused;
    std::lock_guard lock(m_pPrepared->mutex);
    unused = m_pPrepared->byLoad.take(load);
}

void VeSurveyCheckController::CheckLoad(const QThread* load, qint64 filledObjectID,
                                        const std::shared_ptr<const VeTaskParameter>& parameters)
{
    std::shared_ptr<SPSSurveyCheck> prepared;
    {
        std::lock_guard lock(m_pPrepared->mutex);
        prepared = m_pPrepared->byLoad.take(load);
    }
    // Loads of SPS files are checked with the record they ran with; other loads are not.
    const auto* loaded = dynamic_cast<const VeTaskSPSFilesLoaderParam*>(parameters.get());
    if (!loaded || filledObjectID == 0)
        return;
    // Only while the tree still holds it: the load handed it over before it
    // ended, or it was the target's.
    VeObject* geometry = nullptr;
    for (VeObjNode* node : m_pTree->Nodes())
        if (VeObjTreeWidget::GeometryID(node) == filledObjectID)
            geometry = node->GetObject();
    if (!geometry)
        return; // the load failed before it made a geometry, or it is gone
    const qint64 id = geometry->GetID();
    if (!m_WatchedGeometries.contains(id)) {
        m_WatchedGeometries.insert(id);
        connect(geometry, &QObject::destroyed, this, [this, id]() {
            m_WatchedGeometries.remove(id);
            m_CheckResults.remove(id);
        });
    }
    m_pRunner->Start(id, *loaded, loaded->Numbering, std::move(prepared));
}

void VeSurveyCheckController::OnCheckFinished(qint64 geometryID,
                                              std::shared_ptr<const VeSurveyCheckResult> result)
{
    m_CheckResults.insert(geometryID, std::move(result));
    ShowCheckOfSelected();
}

void VeSurveyCheckController::SetFindingsShown(bool shown)
{
    m_bFindingsShown = shown;
    ShowCheckOfSelected();
}

void VeSurveyCheckController::ShowCheckOfSelected()
{
    const qint64 id = VeObjTreeWidget::GeometryID(m_pTree->SelectedNode());
    VeSurveyMap::PointTable marks;
    if (id != 0 && m_pRunner->IsRunning(id)) {
        m_pPane->ShowRunning();
    } else if (const auto result = m_CheckResults.value(id); id != 0 && result) {
        if (m_pPane->Result() != result)
            m_pPane->ShowResult(result);
        if (m_bFindingsShown)
            marks = result->layerMarks;
    } else {
        m_pPane->ShowNone();
    }
    m_pMap->SetFindingMarks(std::move(marks));
    // Every finding with a place can be picked, shown on the layer or not.
    const auto shown = m_pPane->Result();
    m_pMap->SetPickableFindings(
        shown ? std::shared_ptr<const SPSCheckFindingList>(shown, &shown->findings) : nullptr);
    if (!m_pPane->View()->currentIndex().isValid())
        m_pMap->SetMarkedPoint(std::nullopt);
}

void VeSurveyCheckController::OnFindingSelected(int index)
{
    const auto result = m_pPane->Result();
    if (!result || index < 0 || size_t(index) >= result->findings.size()) {
        m_pMap->SetMarkedPoint(std::nullopt);
        return;
    }
    const SPSCheckFinding& f = result->findings[size_t(index)];
    if (!f.hasPosition) {
        m_pMap->SetMarkedPoint(std::nullopt);
        return;
    }
    m_pMap->SetMarkedPoint(QPointF(f.x, f.y));
    if (!m_bPickingOnMap)
        m_pMap->CentreOn(f.x, f.y);
}

void VeSurveyCheckController::OnFindingPicked(int index)
{
    m_bPickingOnMap = true;
    m_pPane->SelectFinding(index);
    m_bPickingOnMap = false;
}

void VeSurveyCheckController::LoadAgainWithLineFactor(qint32 lineFactor)
{
    if (const auto result = m_pPane->Result(); result && result->loaded)
        StartSPSLoadAgain(*result->loaded, lineFactor);
}
