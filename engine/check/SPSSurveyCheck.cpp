#include "SPSSurveyCheck.h"

#include "SPSCheckReading.h"
#include "SPSCheckTables.h"
#include "SPSCheckWording.h"
#include "SPSFileAccess.h"
#include "SPSLayoutPresets.h"
#include "SPSPointChecks.h"
#include "SPSRelationChecks.h"
#include "SPSRevisionDetector.h"
#include "VeTaskSPSFilesLoaderParam.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <thread>

// The tables of the three files and the findings of each, and the rows that
// fill the point tables when a load reads the point files.
struct SPSSurveyCheck::Tables
{
    Tables(const VeTaskSPSFilesLoaderParam& param, const SPSNumberingSettings& numbering)
        : read(std::make_shared<SPSSurveyCheckTables>()), findings{{param.SourceFileName, u'S'},
                                                                   {param.ReceiverFileName, u'R'},
                                                                   {param.RelationFileName, u'X'}},
          sourceRows(param, u'S', numbering, read->sources, findings[0]),
          receiverRows(param, u'R', numbering, read->receivers, findings[1])
    {
    }

    ~Tables()
    {
        if (relationReader.joinable())
            relationReader.join();
    }

    // Shared, so that it may outlive the run for whoever SetTablesRead names.
    std::shared_ptr<SPSSurveyCheckTables> read;
    SPSCheckFindings findings[3]; // source, receiver, relation
    SPSCheckReading::PointRows sourceRows, receiverRows;
    // ReadRelationsAhead's reading, and whether it read the file to its end.
    std::thread relationReader;
    bool relationsRead = false;
};

// One run over the tables.
class SPSSurveyCheck::Run_
{
public:
    Run_(SPSSurveyCheck& check, Tables& tables, bool pointsRead, bool relationsAhead)
        : m_Check(check), m_Param(*check.m_pParam), m_Findings(tables.findings),
          m_Sources(tables.read->sources), m_Receivers(tables.read->receivers),
          m_Relations(tables.read->relations), m_pRead(tables.read), m_bPointsRead(pointsRead),
          m_bRelationsAhead(relationsAhead), m_RelationReader(tables.relationReader),
          m_bRelationsRead(tables.relationsRead)
    {
    }

    bool Go(QString* error);
    // The findings in their final order, from a whole run or a stopped one.
    SPSCheckFindingList Ordered();

private:
    bool Stopped() const { return m_Check.m_bStop.load(std::memory_order_relaxed); }
    void Progress(double share)
    {
        if (m_Check.m_Progress)
            m_Check.m_Progress(qBound(0.0, share, 1.0));
    }
    static bool Open(QFile& file, const QString& path, const char* emptyText, QString* error);
    // fileIndex: 0 source, 1 receiver, 2 relation. Given by the caller, never
    // found from the path: one file may be named for all three.
    void Revision(int fileIndex, QChar letter);

    SPSSurveyCheck& m_Check;
    const VeTaskSPSFilesLoaderParam& m_Param;
    SPSCheckFindings (&m_Findings)[3]; // source, receiver, relation
    SPSCheckPointTable &m_Sources, &m_Receivers;
    SPSCheckRelationTable& m_Relations;
    // The tables' one owner besides whoever SetTablesRead hands them to: a
    // copy held here would keep them from being freed early.
    const std::shared_ptr<SPSSurveyCheckTables>& m_pRead;
    // The point tables hold the rows a load read: only the relation file is left.
    const bool m_bPointsRead;
    // The relation file is read beside the load (ReadRelationsAhead), and may
    // still be: whether it was read to its end is known once the reader is joined.
    const bool m_bRelationsAhead;
    std::thread& m_RelationReader;
    const bool& m_bRelationsRead;
    // The layout in use reads other columns than the file's revision has.
    bool m_bMisread[3] = {false, false, false};
};

bool SPSSurveyCheck::Run_::Open(QFile& file, const QString& path, const char* emptyText,
                                QString* error)
{
    if (path.isEmpty()) {
        *error = SPSCheckTranslated(emptyText);
        return false;
    }
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QCoreApplication::translate("SPSSurveyCheck", "Cannot open file [%1] for reading!")
                     .arg(path);
        return false;
    }
    return true;
}

void SPSSurveyCheck::Run_::Revision(int fileIndex, QChar letter)
{
    const QString& path = fileIndex == 0   ? m_Param.SourceFileName
                          : fileIndex == 1 ? m_Param.ReceiverFileName
                                           : m_Param.RelationFileName;
    // The detection opens the file again: only a regular file reads the same twice.
    if (!SPSMayOpenForReading(path))
        return;
    const SPSRevisionVerdict v = SPSRevisionDetector::DetectFile(path, letter);
    const SPSRevision inUse = letter == u'X'
                                  ? SPSLayoutPresets::LayoutRevision(m_Param, letter)
                                  : SPSLayoutPresets::PointColumnsRevision(m_Param, letter);
    QString message;
    if (v.revision == SPSRevision::Unknown)
        message =
            QCoreApplication::translate("SPSSurveyCheck", "revision unknown: %1").arg(v.evidence);
    else
        message = QCoreApplication::translate("SPSSurveyCheck", "SPS revision %1: %2")
                      .arg(SPSLayoutPresets::RevisionText(v.revision), v.evidence);
    const SPSRevision written = SPSRevisionDetector::Misread(v, inUse);
    if (written != SPSRevision::Unknown) {
        message += QCoreApplication::translate(
                       "SPSSurveyCheck", "; the layout in use does not read revision %1 columns")
                       .arg(SPSLayoutPresets::RevisionText(written));
        message += QCoreApplication::translate("SPSSurveyCheck",
                                               ": read the files as revision %1 (--revision auto, "
                                               "or the revision %1 preset of the Format page)")
                       .arg(SPSLayoutPresets::RevisionText(written));
        m_bMisread[fileIndex] = true;
    }
    m_Findings[fileIndex].Add(0, SPSCheckFinding::Revision, message).variant =
        m_bMisread[fileIndex] ? 1 : 0;
}

bool SPSSurveyCheck::Run_::Go(QString* error)
{
    const VeTaskSPSFilesLoaderParam& p = m_Param;
    QFile source, receiver, relation;
    if (!m_bPointsRead &&
        (!Open(source, p.SourceFileName,
               QT_TRANSLATE_NOOP("SPSSurveyCheck", "Source file name is empty"), error) ||
         !Open(receiver, p.ReceiverFileName,
               QT_TRANSLATE_NOOP("SPSSurveyCheck", "Receiver file name is empty"), error)))
        return false;
    const bool related = !p.RelationFileName.isEmpty();
    if (related && !Open(relation, p.RelationFileName,
                         QT_TRANSLATE_NOOP("SPSSurveyCheck", "Relation file name is empty"), error))
        return false;
    const qint64 pointBytes =
        m_bPointsRead ? QFileInfo(p.SourceFileName).size() + QFileInfo(p.ReceiverFileName).size()
                      : source.size() + receiver.size();
    const qint64 totalBytes = qMax<qint64>(1, pointBytes + (related ? relation.size() : 0));
    Progress(0);

    auto stopped = [&] {
        *error = QCoreApplication::translate("SPSSurveyCheck", "The check was stopped.");
        return false;
    };
    const SPSNumberingSettings& numbering = m_Check.m_Numbering;
    const int sharedLimit = m_Check.m_nSharedNumberLimit;
    // The two point files are independent until the relations: the source
    // file is read and checked on a thread of its own meanwhile.
    Revision(0, u'S');
    Revision(1, u'R');
    // Relations read beside the load are finished, their revision told and
    // their field records checked on a thread of their own, while the points
    // are checked: the reading may outlast the load.
    const bool relationsAhead = related && m_bRelationsAhead;
    std::thread recordThread;
    const struct Joiner
    {
        std::thread& thread;
        ~Joiner()
        {
            if (thread.joinable())
                thread.join();
        }
    } joinRecords{recordThread};
    if (relationsAhead)
        recordThread = std::thread([&] {
            if (m_RelationReader.joinable())
                m_RelationReader.join();
            Revision(2, u'X');
            if (!m_bRelationsRead)
                return;
            // Read before the point files were: their names come first still.
            m_Relations.lines.TakeNames(m_Sources.lines, m_Receivers.lines);
            SPSRelationChecks::FieldRecords(m_Relations, m_Findings[2]);
        });
    bool sourceRead = m_bPointsRead;
    std::thread sourceThread([&] {
        if (!m_bPointsRead)
            sourceRead = SPSCheckReading::ReadPoints(source, p, u'S', numbering, m_Sources,
                                                     m_Findings[0], m_Check.m_bStop);
        if (sourceRead)
            SPSPointChecks::All(m_Sources, sharedLimit, m_Findings[0]);
    });
    // The source file, read meanwhile, counts as half done.
    const bool receiverRead =
        m_bPointsRead || SPSCheckReading::ReadPoints(
                             receiver, p, u'R', numbering, m_Receivers, m_Findings[1],
                             m_Check.m_bStop, [&](qint64 position) {
                                 Progress(double(totalBytes / 4 + position) / double(totalBytes));
                             });
    if (receiverRead)
        SPSPointChecks::All(m_Receivers, sharedLimit, m_Findings[1]);
    sourceThread.join();
    if (recordThread.joinable())
        recordThread.join();
    // A file that breaks off would leave findings of a part reported as the whole.
    auto unread = [&](const QString& path) {
        if (Stopped())
            return stopped();
        *error = QCoreApplication::translate("SPSSurveyCheck", "Cannot read file [%1] to its end!")
                     .arg(path);
        return false;
    };
    if (!sourceRead)
        return unread(p.SourceFileName);
    if (!receiverRead)
        return unread(p.ReceiverFileName);
    if (Stopped())
        return stopped();
    if (related) {
        const qint64 done = pointBytes;
        SPSCheckRelationTable& relations = m_Relations;
        if (relationsAhead && !m_bRelationsRead)
            return unread(p.RelationFileName);
        if (!relationsAhead) {
            Revision(2, u'X');
            if (!SPSCheckReading::ReadRelations(
                    relation, p, m_Sources, m_Receivers, relations, m_Findings[2], m_Check.m_bStop,
                    [&](qint64 position) {
                        Progress(double(done + position) / double(totalBytes));
                    },
                    m_Check.m_pRelationRows))
                return unread(p.RelationFileName);
        }
        // Nothing writes the tables any more: they may be read beside the
        // checks. Not sooner: whoever reads them then holds tables of its own
        // beside the point checks'.
        if (m_Check.m_TablesRead)
            m_Check.m_TablesRead(m_pRead);
        if (!relationsAhead)
            SPSRelationChecks::FieldRecords(relations, m_Findings[2]);
        if (Stopped())
            return stopped();
        // The rows are done with before the points no row names are listed,
        // which may be millions: unless they were handed on, they go then.
        const auto rowsDone = [&] {
            if (!m_Check.m_TablesRead) {
                relations = SPSCheckRelationTable();
                SPSReturnFreedMemory();
            }
        };
        if (!SPSRelationChecks::Points(relations, m_Sources, m_Receivers, m_Findings[2],
                                       m_Findings[0], m_Findings[1], &m_Check.m_bStop, rowsDone,
                                       !m_Check.m_TablesRead))
            return stopped();
    }

    Progress(1);
    return true;
}

SPSCheckFindingList SPSSurveyCheck::Run_::Ordered()
{
    using Kind = SPSCheckFinding::Kind;
    // A file read in the columns of another revision gives findings about
    // fields sliced in the wrong place, and relations of such points mean
    // nothing: they are counted, not listed, so that the revision's own
    // finding, which says how to read the files, stands first and alone.
    const bool anyMisread = m_bMisread[0] || m_bMisread[1] || m_bMisread[2];
    bool first[3] = {false, false, false};
    for (int file = 0; file < 3; ++file) {
        SPSLargeVector<SPSCheckFinding>& revision = m_Findings[file].OfKind(Kind::Revision);
        if (!m_bMisread[file] || revision.empty())
            continue;
        qsizetype hidden = 0;
        for (int k = 0; k < SPSCheckFinding::KindCount; ++k) {
            if (k == Kind::Revision)
                continue;
            SPSLargeVector<SPSCheckFinding>& kind = m_Findings[file].OfKind(Kind(k));
            hidden += qsizetype(kind.size());
            SPSLargeVector<SPSCheckFinding>().swap(kind);
        }
        if (hidden > 0)
            m_Findings[file].AppendToMessage(
                revision.front(),
                QCoreApplication::translate("SPSSurveyCheck",
                                            "; %1 findings of rows read in those columns are left "
                                            "out")
                    .arg(hidden));
        first[file] = true;
    }
    if (anyMisread)
        for (const Kind k : {Kind::RelationSourceMissing, Kind::SourceNotRelated,
                             Kind::RelationReceiverMissing, Kind::ReceiverNotRelated})
            for (SPSCheckFindings& findings : m_Findings)
                SPSLargeVector<SPSCheckFinding>().swap(findings.OfKind(k));

    // The revisions of misread files, which are all that is left of them;
    // then source, receiver, relation; by kind, then row.
    SPSCheckFindingList ordered;
    size_t total = 0;
    for (const SPSCheckFindings& findings : m_Findings)
        total += size_t(findings.Count());
    ordered.Items().reserve(total);
    for (int file = 0; file < 3; ++file)
        if (first[file])
            m_Findings[file].MoveTo(ordered);
    for (int file = 0; file < 3; ++file)
        if (!first[file])
            m_Findings[file].MoveTo(ordered);
    return ordered;
}

SPSSurveyCheck::SPSSurveyCheck(const VeTaskSPSFilesLoaderParam& param,
                               const SPSNumberingSettings& numbering)
    : m_pParam(std::make_unique<VeTaskSPSFilesLoaderParam>()), m_Numbering(numbering)
{
    m_pParam->CopyFrom(param);
}

SPSSurveyCheck::~SPSSurveyCheck()
{
    // A reading ahead that no run took is of no use: it ends soon.
    if (m_pTables && m_pTables->relationReader.joinable()) {
        m_bStop.store(true);
        m_pTables->relationReader.join();
    }
}

void SPSSurveyCheck::MakeTables()
{
    if (!m_pTables)
        m_pTables = std::make_unique<Tables>(*m_pParam, m_Numbering);
}

SPSRowObserver* SPSSurveyCheck::SourceRows()
{
    MakeTables();
    return &m_pTables->sourceRows;
}

SPSRowObserver* SPSSurveyCheck::ReceiverRows()
{
    MakeTables();
    return &m_pTables->receiverRows;
}

void SPSSurveyCheck::ReadRelationsAhead()
{
    MakeTables();
    Tables& tables = *m_pTables;
    // Only a regular file: whoever drops the check waits for the reading to
    // end, which a FIFO without a writer never does.
    if (m_pParam->RelationFileName.isEmpty() || tables.relationReader.joinable() ||
        !SPSMayOpenForReading(m_pParam->RelationFileName))
        return;
    tables.relationReader = std::thread([this, &tables] {
        QFile file(m_pParam->RelationFileName);
        // Its lines are named as the point files name them once those are read.
        const SPSCheckPointTable none;
        tables.relationsRead =
            file.open(QIODevice::ReadOnly) &&
            SPSCheckReading::ReadRelations(file, *m_pParam, none, none, tables.read->relations,
                                           tables.findings[2], m_bStop, {}, m_pRelationRows);
    });
}

bool SPSSurveyCheck::Run(QString* error)
{
    m_Findings.clear();
    QString reason;
    // Rows a load has shown are used once; without both files' rows the
    // files are read here, from the start.
    std::unique_ptr<Tables> tables = std::move(m_pTables);
    const bool pointsRead = tables && tables->sourceRows.Begun() && tables->receiverRows.Begun();
    m_bTookLoadRows = pointsRead;
    bool relationsAhead = false;
    // A reading ahead of the rows used goes on while the points are checked.
    if (tables && tables->relationReader.joinable()) {
        if (!pointsRead)
            tables->relationReader.join();
        relationsAhead = pointsRead;
    }
    if (!pointsRead)
        tables = std::make_unique<Tables>(*m_pParam, m_Numbering);
    // What a load freed before the check's tables are worked on.
    SPSReturnFreedMemory();
    Run_ run(*this, *tables, pointsRead, relationsAhead);
    const bool ok = run.Go(&reason);
    // The tables are of no more use here: their memory goes before the
    // findings' is gathered, or when whoever took them lets them go.
    tables->read.reset();
    m_Findings = run.Ordered();
    if (error)
        *error = reason;
    return ok;
}

qsizetype SPSSurveyCheck::Count(SPSCheckFinding::Kind kind) const
{
    return std::count_if(m_Findings.begin(), m_Findings.end(),
                         [kind](const SPSCheckFinding& f) { return f.kind == kind; });
}

SPSCheckFindingList SPSSurveyCheck::TakeFindings()
{
    SPSCheckFindingList taken = std::move(m_Findings);
    m_Findings.clear();
    return taken;
}
