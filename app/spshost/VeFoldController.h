#pragma once

#include "SPSFold.h"

#include <QHash>
#include <QObject>
#include <QPointF>
#include <QSet>
#include <QString>

#include <atomic>
#include <future>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

class VeFoldMap;
class VeObjTreeWidget;
class VeSurveyCheckRunner;
class VeSurveyMapWidget;
struct SPSSurveyCheckTables;

// The fold layer of the map. Once a survey check has read the three files,
// the fold of its geometry is computed on a worker thread from the numbers
// the check read (no file is read again), beside the check's last steps; the
// last fold of each geometry is kept while the
// geometry lives, and the selected geometry's shows on the map while the
// layer is on. A newer fold, or the window closing, stops one that runs. A
// click on a bin of the shown fold says its fold and offsets (sigMessage).
class VeFoldController : public QObject
{
    Q_OBJECT
public:
    // The tree and map are the window's; the runner's checks keep their tables for the fold.
    VeFoldController(VeObjTreeWidget* tree, VeSurveyMapWidget* map, VeSurveyCheckRunner* runner,
                     QObject* parent = nullptr);
    // Stops and waits for the folds that run.
    ~VeFoldController() override;

    // Whether the map shows the fold of the selected geometry (off at first).
    void SetShown(bool shown);
    bool IsShown() const { return m_bShown; }
    // Shows the selected geometry's fold, or none.
    void ShowFoldOfSelected();

    // Computes the fold of the tables for the geometry of that ID, stopping
    // those that run.
    void Start(qint64 geometryID, std::shared_ptr<const SPSSurveyCheckTables> tables);
    // The same from any thread: started on the controller's thread soon after.
    void Offer(qint64 geometryID, std::shared_ptr<const SPSSurveyCheckTables> tables);
    bool IsRunning(qint64 geometryID) const { return m_Latest.contains(geometryID); }
    int RunningCount() const { return int(m_Jobs.size()); }
    void StopAll();
    // Blocks until every fold has ended; what they brought is delivered before it returns.
    void WaitForAll();
    // The bin size along and across the receiver lines of the folds started
    // from now on; 0 each: the fold's own choice.
    void SetBinSize(double along, double across)
    {
        m_dBinAlong = along;
        m_dBinAcross = across;
    }
    // While off, Start starts nothing (a window that is closing).
    void SetAccepting(bool accepting) { m_bAccepting = accepting; }

    // The last fold of the geometry; null when there is none.
    std::shared_ptr<const SPSFoldResult> FoldOf(qint64 geometryID) const;

    // What a click at the world point says of its bin; empty outside the grid.
    static QString BinText(const SPSFoldGrid& grid, double x, double y);

Q_SIGNALS:
    // A text for the status bar.
    void sigMessage(const QString& text);
    void sigRunningChanged();

private:
    struct Outcome
    {
        bool ok = false;
        QString error;
        std::shared_ptr<const SPSFoldResult> result;
        std::shared_ptr<const VeFoldMap> picture;
        double seconds = 0;
    };
    struct Job
    {
        qint64 key = 0;
        quint64 generation = 0;
        std::shared_ptr<std::atomic<bool>> stop;
        std::future<Outcome> future;
    };
    struct Fold
    {
        std::shared_ptr<const SPSFoldResult> result;
        std::shared_ptr<const VeFoldMap> picture;
    };
    // A worker has finished the job of that generation.
    Q_INVOKABLE void Collect(quint64 generation);
    Q_INVOKABLE void StartOffered();
    void Deliver(qint64 key, Outcome outcome);
    void OnClicked(const QPointF& world);
    qint64 SelectedGeometryID() const;

    VeObjTreeWidget* m_pTree = nullptr;
    VeSurveyMapWidget* m_pMap = nullptr;
    std::vector<Job> m_Jobs;
    // The generation of each geometry's latest fold while it runs.
    QHash<qint64, quint64> m_Latest;
    quint64 m_nGeneration = 0;
    QHash<qint64, Fold> m_Folds;
    // Geometries whose folds go when they do.
    QSet<qint64> m_Watched;
    // What Offer was given and StartOffered has not yet taken.
    std::mutex m_OfferedMutex;
    std::vector<std::pair<qint64, std::shared_ptr<const SPSSurveyCheckTables>>> m_Offered;
    bool m_bShown = false;
    bool m_bAccepting = true;
    double m_dBinAlong = 0.0;
    double m_dBinAcross = 0.0;
};
