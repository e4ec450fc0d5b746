#pragma once

#include "SPSSurveyCheck.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointF>
#include <QString>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QThread;
class VeTaskSPSFilesLoaderParam;

// What one survey check found.
struct VeSurveyCheckResult
{
    bool ok = false;
    QString error;                // why the check did not complete
    SPSCheckFindingList findings; // moved from the check, never copied
    std::array<qsizetype, SPSCheckFinding::KindCount> counts{};
    // Counted on the check's thread too, as the window would pass over
    // millions of findings for them: the findings of each of the list's
    // files, and the largest line factor a shared-number finding suggests.
    std::vector<qsizetype> fileCounts;
    qint32 lineFactor = 0;
    // Sets counts, fileCounts and lineFactor from the findings.
    void CountFindings();
    // The record of the load checked, its numbering included, so the load can
    // be made again with other settings.
    std::shared_ptr<const VeTaskSPSFilesLoaderParam> loaded;
    // Whether the point rows came from the load's own reading.
    bool pointsFromLoad = false;
    // Made on the check's thread, so that showing a result of millions of
    // findings costs the window nothing: the places the map's findings layer
    // marks (points that are off, twice, or merged by the numbering): only
    // finite places, shared with the maps that show them. The map picks the
    // findings by their own places.
    std::shared_ptr<const std::vector<QPointF>> layerMarks;
};

// Runs survey checks on worker threads, one per loaded geometry at a time: the
// inputs are copied when a check starts, the result comes back by signal on the
// owner's thread, and a newer check of the same geometry replaces an older one.
class VeSurveyCheckRunner : public QObject
{
    Q_OBJECT
public:
    explicit VeSurveyCheckRunner(QObject* parent = nullptr);
    ~VeSurveyCheckRunner() override;

    // Checks the files of the record; key names the geometry they were loaded into.
    // A prepared check (one that took its point rows from the load) is run
    // instead of a new one.
    void Start(qint64 key, const VeTaskSPSFilesLoaderParam& param,
               const SPSNumberingSettings& numbering,
               std::shared_ptr<SPSSurveyCheck> prepared = nullptr);
    bool IsRunning(qint64 key) const;
    int RunningCount() const { return int(m_Jobs.size()); }
    // How far the least advanced running check has come, from 0 to 1;
    // negative when none runs.
    double Progress() const;
    // Asks every running check to end soon.
    void StopAll();
    // Blocks until every check has ended; what they sent is delivered before it returns.
    void WaitForAll();
    // While off, Start starts nothing (a window that is closing).
    void SetAccepting(bool accepting) { m_bAccepting = accepting; }
    // Handed what each check started from now on has read, on the check's
    // thread (see SPSSurveyCheck::SetTablesRead), with its key.
    using TablesRead = std::function<void(qint64, std::shared_ptr<const SPSSurveyCheckTables>)>;
    void SetTablesRead(TablesRead tablesRead) { m_TablesRead = std::move(tablesRead); }

Q_SIGNALS:
    void sigStarted(qint64 key);
    void sigFinished(qint64 key, std::shared_ptr<const VeSurveyCheckResult> result);
    void sigRunningChanged();

private:
    struct Job
    {
        QThread* thread = nullptr;
        std::shared_ptr<SPSSurveyCheck> check;
        qint64 key = 0;
        // In thousandths, written by the check's thread.
        std::shared_ptr<std::atomic<int>> progress;
    };
    void OnJobFinished(QThread* thread, qint64 key, quint64 generation,
                       const std::shared_ptr<const VeSurveyCheckResult>& result);

    QList<Job> m_Jobs;
    QHash<qint64, quint64> m_LatestGeneration;
    quint64 m_nGeneration = 0;
    bool m_bAccepting = true;
    TablesRead m_TablesRead;
};
