#pragma once

#include <QHash>
#include <QObject>
#include <QSet>

#include <memory>
#include <mutex>

class QThread;
class SPSSurveyCheck;
class VeObjTreeWidget;
class VeSurveyCheckPane;
class VeSurveyCheckRunner;
class VeSurveyMapWidget;
class VeTaskParameter;
struct VeSurveyCheckResult;

// The survey checks of the tree's geometries: a load of SPS files that filled a
// geometry has its files checked afterwards, the last result of each geometry is
// kept while the geometry lives, and the selected geometry's check shows in the
// pane and, as marks of its findings, on the map. A finding chosen in the pane is
// marked and centred on the map; one picked on the map is chosen in the pane.
// The tree, pane and map are the window's; the controller owns the runner.
class VeSurveyCheckController : public QObject
{
    Q_OBJECT
public:
    VeSurveyCheckController(VeObjTreeWidget* tree, VeSurveyCheckPane* pane, VeSurveyMapWidget* map,
                            QObject* parent = nullptr);
    ~VeSurveyCheckController() override;

    VeSurveyCheckRunner* Runner() const { return m_pRunner; }

    // A load has ended having filled the object with this ID (0: none) with
    // these parameters: its files are checked when they are SPS load
    // parameters and the tree still holds the object as a geometry.
    // The thread is the load's: a check that took its point rows as it read
    // them is used, so the point files are read once.
    void CheckLoad(const QThread* load, qint64 filledObjectID,
                   const std::shared_ptr<const VeTaskParameter>& parameters);
    // A load that has ended, checked or not: what was kept of its rows goes.
    void ForgetLoad(const QThread* load);
    // Shows the check of the selected geometry: running, its last result, or none.
    void ShowCheckOfSelected();
    // Whether the map shows the findings of the check shown (on at first).
    void SetFindingsShown(bool shown);

private:
    void OnCheckFinished(qint64 geometryID, std::shared_ptr<const VeSurveyCheckResult> result);
    void OnFindingSelected(int index);
    void OnFindingPicked(int index);
    void LoadAgainWithLineFactor(qint32 lineFactor);

    VeObjTreeWidget* m_pTree = nullptr;
    VeSurveyCheckPane* m_pPane = nullptr;
    VeSurveyMapWidget* m_pMap = nullptr;
    VeSurveyCheckRunner* m_pRunner = nullptr;
    // Checks fed by the running loads' rows, by the load's thread; filled on
    // those threads (see SPSLoadRowsHook).
    struct PreparedChecks
    {
        std::mutex mutex;
        QHash<const QThread*, std::shared_ptr<SPSSurveyCheck>> byLoad;
    };
    std::shared_ptr<PreparedChecks> m_pPrepared;
    // The last finished check of each geometry, by the geometry's ID.
    QHash<qint64, std::shared_ptr<const VeSurveyCheckResult>> m_CheckResults;
    // Geometries whose check results go when they do.
    QSet<qint64> m_WatchedGeometries;
    bool m_bFindingsShown = true;
    // A finding picked on the map is marked where it is, not centred.
    bool m_bPickingOnMap = false;
};
