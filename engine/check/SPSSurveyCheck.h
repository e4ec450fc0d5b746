#pragma once

#include "SPSEngineExport.h"

#include "SPSNumberingSettings.h"

#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class VeTaskSPSFilesLoaderParam;

// One doubtful thing the survey check found.
struct SPS_ENGINE_EXPORT SPSCheckFinding
{
    enum Kind
    {
        Revision,                // the revision detection's verdict for a file
        NotANumber,              // a numeric field that is not blank and not a number
        ShortRow,                // a record row ending before the layout's furthest field
        BlankPoint,              // a record row whose point field is blank
        Duplicate,               // the same line, point and index again, same coordinates
        Conflict,                // the same line, point and index again, other coordinates
        SharedNumber,            // a point number that points of several lines share
        Outlier,                 // at (0, 0), or far off its line
        Precision,               // what single precision does to a file's coordinate
        RelationSourceMissing,   // an X row names a source point the S file lacks
        SourceNotRelated,        // an S point no X row names
        RelationReceiverMissing, // a station in an X row's range the R file lacks
        ReceiverNotRelated,      // an R point inside no X row's range
        ChannelOverlap,          // two X rows of one field record with overlapping channels
        RecordReused,            // one tape's record number given to two different shots
        NotARecord,              // a row with the record letter but no number where one belongs
        NumberOverflow,          // a factor takes the point's number out of signed 32 bits
    };
    static constexpr int KindCount = NumberOverflow + 1;

    // "revision", "not-a-number", "short-row", ... as reports name them.
    static QString KindName(Kind kind);

    QString file;   // the path as given
    QChar letter;   // which of the files: 'S', 'R' or 'X' (one path may stand for all three)
    qint64 row = 0; // counted from 1 as an editor shows it; 0 for the file as a whole
    Kind kind = Revision;
    QString line;             // line name, trimmed; empty when the finding is not about a point
    QString point;            // point text, trimmed
    QString index;            // point index; empty when the layout has none
    QString message;          // for the user
    bool hasPosition = false; // x and y are the point's coordinates, as the file holds them
    double x = 0;
    double y = 0;
    // SharedNumber: the line factor that keeps the lines apart; 0 when none does.
    qint32 lineFactor = 0;
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

    // Reads the files and collects the findings, replacing those of an earlier
    // run. False, with the reason in error, when the source or receiver file
    // cannot be read (a relation file that cannot be read is a failure as
    // well), or when the run was stopped; findings made so far are kept.
    bool Run(QString* error = nullptr);
    // Asks a run to end soon; safe from any thread. A stopped check stays
    // stopped: a later Run ends at once.
    void Stop() { m_bStop.store(true); }
    bool WasStopped() const { return m_bStop.load(); }

    // In file order (source, receiver, relation), each file's findings by kind
    // as KindName lists them, then by row. A file whose revision the layout in
    // use does not read comes first with its revision finding alone; the
    // findings of its rows and of the relations are then left out.
    const std::vector<SPSCheckFinding>& Findings() const { return m_Findings; }
    // How many findings of a kind the last run made.
    qsizetype Count(SPSCheckFinding::Kind kind) const;

private:
    class Run_;

    std::unique_ptr<VeTaskSPSFilesLoaderParam> m_pParam;
    SPSNumberingSettings m_Numbering;
    int m_nSharedNumberLimit = 100;
    std::function<void(double)> m_Progress;
    std::atomic<bool> m_bStop{false};
    std::vector<SPSCheckFinding> m_Findings;
};
