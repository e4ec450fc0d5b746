#include "VeFoldController.h"

#include "SPSSurveyCheck.h"
#include "VeEventsLog.h"
#include "VeFoldMap.h"
#include "VeObjNode.h"
#include "VeObjTreeWidget.h"
#include "VeSurveyCheckRunner.h"
#include "VeSurveyMapWidget.h"

#include <QElapsedTimer>

#include <chrono>
#include <cmath>
#include <limits>

VeFoldController::VeFoldController(VeObjTreeWidget* tree, VeSurveyMapWidget* map,
                                   VeSurveyCheckRunner* runner, QObject* parent)
    : QObject(parent), m_pTree(tree), m_pMap(map)
{
    // The runner's checks end before the controller goes (the window waits for them).
    runner->SetTablesRead([this](qint64 key, std::shared_ptr<const SPSSurveyCheckTables> tables) {
        Offer(key, std::move(tables));
    });
    connect(m_pMap, &VeSurveyMapWidget::sigClicked, this,
            [this](const QPointF& world, const QPointF&) { OnClicked(world); });
}

VeFoldController::~VeFoldController()
{
    StopAll();
    for (Job& job : m_Jobs)
        job.future.wait();
}

QString VeFoldController::BinText(const SPSFoldGrid& grid, double x, double y)
{
    int column = 0, row = 0;
    if (grid.IsEmpty() || !grid.BinAt(x, y, &column, &row))
        return QString();
    const SPSFoldBin bin = grid.At(column, row);
    if (bin.fold == 0)
        return tr("Bin %1, %2: fold 0").arg(column).arg(row);
    return tr("Bin %1, %2: fold %3, offsets %4-%5 m")
        .arg(column)
        .arg(row)
        .arg(bin.fold)
        .arg(QString::number(double(bin.minOffset), 'f', 1),
             QString::number(double(bin.maxOffset), 'f', 1));
}

void VeFoldController::Start(qint64 geometryID, std::shared_ptr<const SPSSurveyCheckTables> tables)
{
    if (!m_bAccepting || !tables)
        return;
    // The newest fold is the one wanted: the others give it the processors.
    StopAll();
    Job job;
    job.key = geometryID;
    job.generation = ++m_nGeneration;
    job.stop = std::make_shared<std::atomic<bool>>(false);
    m_Latest.insert(geometryID, job.generation);
    job.future = std::async(std::launch::async, [this, tables = std::move(tables), stop = job.stop,
                                                 generation = job.generation, binX = m_dBinAlong,
                                                 binY = m_dBinAcross]() mutable {
        QElapsedTimer timer;
        timer.start();
        Outcome outcome;
        SPSFoldOptions options;
        options.cancel = stop.get();
        options.binX = binX;
        options.binY = binY;
        auto result = std::make_shared<SPSFoldResult>();
        // Read where they stand, no copy of millions of rows made.
        outcome.ok = SPSFold::Compute(*tables, options, result.get(), &outcome.error);
        tables.reset(); // the check's tables go as soon as nothing else holds them
        if (outcome.ok) {
            auto picture = std::make_shared<VeFoldMap>();
            picture->SetFold(result->grid);
            outcome.picture = std::move(picture);
            outcome.result = std::move(result);
        }
        outcome.seconds = double(timer.nsecsElapsed()) / 1e9;
        // Carries only the generation: the outcome travels through the
        // future, whose hand-over the thread sanitizer sees.
        QMetaObject::invokeMethod(this, "Collect", Qt::QueuedConnection,
                                  Q_ARG(quint64, generation));
        return outcome;
    });
    m_Jobs.push_back(std::move(job));
    Q_EMIT sigRunningChanged();
}

void VeFoldController::Offer(qint64 geometryID, std::shared_ptr<const SPSSurveyCheckTables> tables)
{
    {
        const std::lock_guard<std::mutex> lock(m_OfferedMutex);
        m_Offered.emplace_back(geometryID, std::move(tables));
    }
    // Carries nothing: the tables travel under the mutex, which the thread
    // sanitizer sees (Qt's event queue it cannot see).
    QMetaObject::invokeMethod(this, "StartOffered", Qt::QueuedConnection);
}

void VeFoldController::StartOffered()
{
    std::vector<std::pair<qint64, std::shared_ptr<const SPSSurveyCheckTables>>> offered;
    {
        const std::lock_guard<std::mutex> lock(m_OfferedMutex);
        offered.swap(m_Offered);
    }
    for (auto& [key, tables] : offered)
        Start(key, std::move(tables));
}

void VeFoldController::Collect(quint64 generation)
{
    for (auto it = m_Jobs.begin(); it != m_Jobs.end(); ++it) {
        if (it->generation != generation)
            continue;
        // Waits at most for the worker's return from its last statement.
        Outcome outcome = it->future.get();
        const qint64 key = it->key;
        const bool stopped = it->stop->load();
        m_Jobs.erase(it);
        if (m_Latest.value(key) == generation) {
            m_Latest.remove(key);
            if (!stopped)
                Deliver(key, std::move(outcome));
        }
        Q_EMIT sigRunningChanged();
        return;
    }
}

void VeFoldController::Deliver(qint64 key, Outcome outcome)
{
    VeObject* geometry = nullptr;
    for (VeObjNode* node : m_pTree->Nodes())
        if (VeObjTreeWidget::GeometryID(node) == key)
            geometry = node->GetObject();
    if (!geometry)
        return; // gone meanwhile
    if (!outcome.ok) {
        OutputEventsLog(VeEventsLog::EventsLogInformation,
                        tr("No fold for \"%1\": %2").arg(geometry->GetName(), outcome.error));
        return;
    }
    if (!m_Watched.contains(key)) {
        m_Watched.insert(key);
        connect(geometry, &QObject::destroyed, this, [this, key]() {
            m_Watched.remove(key);
            m_Folds.remove(key);
        });
    }
    const SPSFoldSummary& s = outcome.result->summary;
    OutputEventsLog(VeEventsLog::EventsLogInformation,
                    tr("Fold of \"%1\": %2 traces in %3 bins, fold up to %4 (%5 s).")
                        .arg(geometry->GetName())
                        .arg(s.traces)
                        .arg(s.binsWithFold)
                        .arg(s.maxFold)
                        .arg(outcome.seconds, 0, 'f', 2));
    m_Folds.insert(key, Fold{std::move(outcome.result), std::move(outcome.picture)});
    ShowFoldOfSelected();
}

void VeFoldController::StopAll()
{
    for (Job& job : m_Jobs)
        job.stop->store(true);
}

void VeFoldController::WaitForAll()
{
    for (Job& job : m_Jobs)
        job.future.wait();
    QCoreApplication::sendPostedEvents(this);
}

std::shared_ptr<const SPSFoldResult> VeFoldController::FoldOf(qint64 geometryID) const
{
    return m_Folds.value(geometryID).result;
}

qint64 VeFoldController::SelectedGeometryID() const
{
    return VeObjTreeWidget::GeometryID(m_pTree->SelectedNode());
}

void VeFoldController::SetShown(bool shown)
{
    m_bShown = shown;
    ShowFoldOfSelected();
}

void VeFoldController::ShowFoldOfSelected()
{
    const qint64 id = SelectedGeometryID();
    m_pMap->SetFoldLayer(m_bShown && id != 0 ? m_Folds.value(id).picture : nullptr);
}

void VeFoldController::OnClicked(const QPointF& world)
{
    if (!m_bShown)
        return;
    const std::shared_ptr<const SPSFoldResult> fold = FoldOf(SelectedGeometryID());
    if (!fold)
        return;
    const QString text = BinText(fold->grid, world.x(), world.y());
    if (!text.isEmpty())
        Q_EMIT sigMessage(text);
}
