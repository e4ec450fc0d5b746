#pragma once

#include "SPSEngineExport.h"

#include "SPSCheckFinding.h"
#include "SPSCheckTables.h"
#include "SPSNumberingSettings.h"

#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class SPSRowObserver;
class VeTaskSPSFilesLoaderParam;

// What a whole run read: the points of the S and R files and the X rows.
struct SPSSurveyCheckTables
{
    SPSCheckPointTable sources, receivers;
    SPSCheckRelationTable relations;
};

// Reads the source, receiver and (when named) relation files with a layout
// and lists what is doubtful in them. Changes nothing: the load does not
// depend on it. Works on copies of its inputs, so a run may go on a worker
// thread while the caller's record changes; Stop may be called from any
// thread. Memory grows with the number of points, not with the rows' text.
// Run reads the source file on a thread of its own while it reads the
// receiver file; the progress callback is called on Run's thread only.
class SPS_ENGINE_EXPORT SPSSurveyCheck
{
public:
    // Copies the paths, skip settings and layout.
    explicit SPSSurveyCheck(const VeTaskSPSFilesLoaderParam& param,
                            const SPSNumberingSettings& numbering = {});
    ~SPSSurveyCheck();
    SPSSurveyCheck(const SPSSurveyCheck&) = delete;
    SPSSurveyCheck& operator=(const SPSSurveyCheck&) = delete;

    // At most this many shared-number findings per file; one more finding then
    // gives the total (default 100).
    void SetSharedNumberLimit(int limit) { m_nSharedNumberLimit = limit; }
    // Called now and then during Run, on Run's thread, with the share done (0 to 1).
    void SetProgress(std::function<void(double)> progress) { m_Progress = std::move(progress); }

    // For a load that shares its reading with the check: the observers to show
    // the load's source and receiver rows to (VeThreadSPSFilesLoader::
    // SetRowObservers), asked for before the load starts and kept by the check.
    // When both files' rows were shown, the next Run reads only the relation
    // file; otherwise it reads all three as usual.
    SPSRowObserver* SourceRows();
    SPSRowObserver* ReceiverRows();
    // For such a load: reads the relation file now, on a thread of its own,
    // while the load reads the point files, so that the next Run (which waits
    // for it) need not. Nothing without a relation file. SetRelationRows, if
    // at all, must come first.
    void ReadRelationsAhead();

    // Reads the files and collects the findings, replacing those of an earlier
    // run. False, with the reason in error, when the source or receiver file
    // cannot be read (a relation file that cannot be read is a failure as
    // well), or when the run was stopped; findings made so far are kept.
    bool Run(QString* error = nullptr);
    // After Run: whether it took the point rows a load showed it (SourceRows,
    // ReceiverRows) instead of reading the point files itself.
    bool TookLoadRows() const { return m_bTookLoadRows; }
    // Asks a run to end soon; safe from any thread. A stopped check stays
    // stopped: a later Run ends at once.
    void Stop() { m_bStop.store(true); }
    bool WasStopped() const { return m_bStop.load(); }

    // In file order (source, receiver, relation), each file's findings by kind
    // as KindName lists them, then by row. A file whose revision the layout in
    // use does not read comes first with its revision finding alone; the
    // findings of its rows and of the relations are then left out.
    // Each finding's texts are the list's.
    const SPSCheckFindingList& Findings() const { return m_Findings; }
    // Hands the findings over, leaving none.
    SPSCheckFindingList TakeFindings();
    // How many findings of a kind the last run made.
    qsizetype Count(SPSCheckFinding::Kind kind) const;

    // For whoever works on the same numbers (the fold): called on Run's
    // thread once a run has read all three files, before the checks of the
    // relations, with what it read. Nothing writes the tables from then on:
    // the callee may read them on other threads at once, and keep them.
    using TablesRead = std::function<void(std::shared_ptr<const SPSSurveyCheckTables>)>;
    void SetTablesRead(TablesRead tablesRead) { m_TablesRead = std::move(tablesRead); }

    // Shows the relation file's record rows to rows as well, as a run reads
    // them (on Run's thread), so that whoever else needs them (the fold) need
    // not read the file again. Not owned; null for none.
    void SetRelationRows(SPSRowObserver* rows) { m_pRelationRows = rows; }

private:
    class Run_;
    struct Tables;
    void MakeTables();

    std::unique_ptr<VeTaskSPSFilesLoaderParam> m_pParam;
    SPSNumberingSettings m_Numbering;
    int m_nSharedNumberLimit = 100;
    std::function<void(double)> m_Progress;
    std::atomic<bool> m_bStop{false};
    SPSCheckFindingList m_Findings;
    std::unique_ptr<Tables> m_pTables; // filled by a load's rows, for the next Run
    TablesRead m_TablesRead;
    bool m_bTookLoadRows = false;
    SPSRowObserver* m_pRelationRows = nullptr;
};
