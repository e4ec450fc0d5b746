#include "SPSLoadCommand.h"

#include "SPSFileAccess.h"
#include "SPSFindingsWriter.h"
#include "SPSFold.h"
#include "SPSFoldGridFile.h"
#include "SPSFoldReading.h"
#include "SPSFormatValues.h"
#include "SPSGzip.h"
#include "SPSLayoutPresets.h"
#include "SPSLoadDriver.h"
#include "SPSParamFile.h"
#include "SPSRevisionChoice.h"
#include "SPSRowReader.h"
#include "SPSSurveyCheck.h"
#include "VeEventsLog.h"
#include "VeFoldMap.h"
#include "VePrevStackSegyGeometry.h"
#include "VeSurveyMapImage.h"
#include "VeTaskSPSFilesLoaderParam.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QtGlobal>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace {
const char* typeName(VeEventsLog::EEventsLogType type)
{
    switch (type) {
    case VeEventsLog::EventsLogInformation:
        return "info";
    case VeEventsLog::EventsLogWarning:
        return "warning";
    case VeEventsLog::EventsLogError:
        break;
    }
    return "error";
}

// "min..max" of the values that are numbers; "nan" when none is.
QByteArray extent(const VeSRRecordSnapshot& records, float VePrevSegySRGeometry::*member)
{
    bool any = false;
    float low = 0, high = 0;
    records.ForEach([&](const VePrevSegySRGeometry& r) {
        const float v = r.*member;
        if (std::isnan(v))
            return;
        low = any ? std::min(low, v) : v;
        high = any ? std::max(high, v) : v;
        any = true;
    });
    if (!any)
        return "nan";
    return SPSLoadCommand::FormatFloat(low) + ".." + SPSLoadCommand::FormatFloat(high);
}

// Read where the geometry holds them: a copy of a million records costs some
// 50 ms and their memory.
QByteArray summaryLine(const char* kind, const VeSRRecordSnapshot& records)
{
    QByteArray line = QByteArray(kind) + ": " + QByteArray::number(qulonglong(records.Size()));
    if (records.Size() > 0) {
        qint32 low = std::numeric_limits<qint32>::max();
        qint32 high = std::numeric_limits<qint32>::min();
        records.ForEach([&](const VePrevSegySRGeometry& r) {
            low = std::min(low, r.m_nNumber);
            high = std::max(high, r.m_nNumber);
        });
        line += " (numbers " + QByteArray::number(low) + ".." + QByteArray::number(high) + ", x " +
                extent(records, &VePrevSegySRGeometry::m_fX) + ", y " +
                extent(records, &VePrevSegySRGeometry::m_fY) + ")";
    }
    return line + '\n';
}

// The numbering options and the settings they set.
struct NumberingOption
{
    const char* name;
    qint32 SPSNumberingSettings::*member;
};
const NumberingOption kNumberingOptions[] = {
    {"shot-factor", &SPSNumberingSettings::ShotNumberFactor},
    {"receiver-factor", &SPSNumberingSettings::ReceiverNumberFactor},
    {"coordinate-scalar", &SPSNumberingSettings::CoordinateScalar},
    {"elevation-scalar", &SPSNumberingSettings::ElevationScalar},
    {"line-factor", &SPSNumberingSettings::LineFactor},
};

// FormatFloat's text at out; returns its end. The longest is the smallest
// subnormal: "0." and 45 decimals.
constexpr int kFloatRoom = 64;
char* writeFloat(float value, char* out)
{
    const auto put = [out](const char* text, size_t size) {
        std::memcpy(out, text, size);
        return out + size;
    };
    if (std::isnan(value))
        return put("nan", 3);
    if (std::isinf(value))
        return value > 0 ? put("inf", 3) : put("-inf", 4);
    return std::to_chars(out, out + kFloatRoom, value, std::chars_format::fixed).ptr;
}

// The rows of the records, handed to put some 4 MB at a time: millions of
// points make tens of megabytes, which need not be held whole.
bool putCsvRows(QByteArray& part, char kind, const VeSRRecordSnapshot& records,
                const SPSOutputFile::Put& put)
{
    constexpr qsizetype kPart = qsizetype(1) << 22;
    // A row at most: kind, number, three floats, separators.
    constexpr qsizetype kRow = 2 + 12 + 3 * (kFloatRoom + 1);
    part.reserve(kPart + kRow);
    bool ok = true;
    records.ForEach([&](const VePrevSegySRGeometry& r) {
        if (!ok)
            return;
        qsizetype size = part.size();
        part.resize(size + kRow);
        char* const begin = part.data() + size;
        char* at = begin;
        *at++ = kind;
        *at++ = ',';
        at = std::to_chars(at, at + 12, r.m_nNumber).ptr;
        for (const float value : {r.m_fX, r.m_fY, r.m_fElevation}) {
            *at++ = ',';
            at = writeFloat(value, at);
        }
        *at++ = '\n';
        part.resize(size + (at - begin));
        if (part.size() >= kPart) {
            ok = put(part);
            part.resize(0);
        }
    });
    return ok;
}

// Shows a load's rows to two observers, so that the check and the fold share
// the load's one reading.
class BothRows : public SPSRowObserver
{
public:
    BothRows(SPSRowObserver* a, SPSRowObserver* b) : m_pA(a), m_pB(b) {}
    qint64 RowLimit() const override { return CombinedLimit(m_pA->RowLimit(), m_pB->RowLimit()); }
    void Begin(qint64 fileSize) override
    {
        m_pA->Begin(fileSize);
        m_pB->Begin(fileSize);
    }
    void Row(const SPSRowReader& reader) override
    {
        m_pA->Row(reader);
        m_pB->Row(reader);
    }
    void RowAsLoaded(const SPSRowReader& reader, const SPSLoadedRow& loaded) override
    {
        m_pA->RowAsLoaded(reader, loaded);
        m_pB->RowAsLoaded(reader, loaded);
    }

private:
    SPSRowObserver* m_pA;
    SPSRowObserver* m_pB;
};

// Either observer alone, both through the pair, or none.
SPSRowObserver* rowsFor(SPSRowObserver* a, SPSRowObserver* b, std::unique_ptr<BothRows>& pair)
{
    if (a && b) {
        pair = std::make_unique<BothRows>(a, b);
        return pair.get();
    }
    return a ? a : b;
}

// Sizes to far below a millimetre; an azimuth to a few metres over 100 km.
QByteArray number(double value, int digits = 12)
{
    return QByteArray::number(value, 'g', digits);
}

// Whether the file holds a row of that record letter (one at the start of a row).
bool holdsRecords(const QString& path, QChar letter)
{
    if (!SPSMayOpenForReading(path))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    SPSRowReader reader(&file, letter, true, 0);
    return reader.NextRecord();
}
} // namespace

QByteArray SPSLoadCommand::FormatFloat(float value)
{
    char buffer[kFloatRoom];
    return QByteArray(buffer, int(writeFloat(value, buffer) - buffer));
}

void SPSLoadCommand::Error(const QString& text)
{
    m_pErr->write("error: " + text.toUtf8() + '\n');
}

void SPSLoadCommand::CannotOpen(const QString& path)
{
    // The words the load itself logs for its inputs.
    Error(QStringLiteral("Cannot open file [%1] for reading!").arg(path));
}

void SPSLoadCommand::ExplainCorruptGzip(const QStringList& paths)
{
    // The reading says only that a file could not be read to its end; for gzip
    // data the reason is worth the second reading, which only a failure costs.
    for (const QString& path : paths) {
        QString reason;
        if (SPSMayOpenForReading(path) && !SPSGzipReader::Check(path, &reason))
            Error(QStringLiteral("[%1]: %2").arg(path, reason));
    }
}

void SPSLoadCommand::RefuseEmpty(const VePrevStackSegyGeometry& geometry,
                                 const VeTaskSPSFilesLoaderParam& param)
{
    const bool noShots = geometry.ShotCount() == 0;
    const bool noReceivers = geometry.ReceiverCount() == 0;
    // The other file's rows where a file's own are missing: given the wrong way round.
    const QString& source = param.SourceFileName;
    const QString& receiver = param.ReceiverFileName;
    if (holdsRecords(source, u'R') && holdsRecords(receiver, u'S')) {
        Error(QStringLiteral("the files look swapped: the source file [%1] holds R rows and the "
                             "receiver file [%2] S rows; give the source file first")
                  .arg(source, receiver));
        return;
    }
    Error(noShots && noReceivers ? QStringLiteral("the load added no shot and no receiver")
          : noShots              ? QStringLiteral("the load added no shot")
                                 : QStringLiteral("the load added no receiver"));
}

namespace {
void setUpParser(QCommandLineParser& parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Loads the shot and receiver points of SPS files into a new pre-stack "
                       "geometry and reports it."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions(
        {{QStringLiteral("params"),
          QStringLiteral("Read the column layout from a parameter file (positions counted from "
                         "1)."),
          QStringLiteral("FILE")},
         {QStringLiteral("csv"),
          QStringLiteral("Write the shots and receivers as CSV to FILE (- for standard output)."),
          QStringLiteral("FILE")},
         {QStringLiteral("map"),
          QStringLiteral("Draw the map of the shots and receivers into FILE (%1x%2 pixels), in "
                         "the image format its suffix names: png, jpg, bmp... (- for PNG on "
                         "standard output); no display is needed.")
              .arg(DefaultSurveyMapSize().width())
              .arg(DefaultSurveyMapSize().height()),
          QStringLiteral("FILE")},
         {QStringLiteral("fold"),
          QStringLiteral("Draw the fold map of the relation's traces into FILE, as --map draws "
                         "its map (- for PNG on standard output); needs RELATION."),
          QStringLiteral("FILE")},
         {QStringLiteral("fold-grid"),
          QStringLiteral("Write the fold as an ESRI ASCII grid to FILE.asc, and where the grid "
                         "lies (corner, azimuth, cell size) to FILE.json; needs RELATION."),
          QStringLiteral("FILE")},
         {QStringLiteral("bin"),
          QStringLiteral("The fold's bin size along and across the receiver lines (default: "
                         "half the receiver and half the source station spacing)."),
          QStringLiteral("DX,DY")},
         {QStringLiteral("revision"),
          QStringLiteral("Read the files in the column layout of SPS revision 1 (the default) "
                         "or 2.1, or detect the revision of each file (auto)."),
          QStringLiteral("1|2.1|auto")},
         {QStringLiteral("shot-factor"),
          QStringLiteral("Multiply shot numbers by N (0 and 1 leave them)."), QStringLiteral("N")},
         {QStringLiteral("receiver-factor"),
          QStringLiteral("Multiply receiver numbers by N (0 and 1 leave them)."),
          QStringLiteral("N")},
         {QStringLiteral("coordinate-scalar"),
          QStringLiteral("Scale X and Y: N < 0 multiplies by -N, N > 1 divides by N."),
          QStringLiteral("N")},
         {QStringLiteral("elevation-scalar"),
          QStringLiteral("Scale elevations and depths as --coordinate-scalar scales X and Y."),
          QStringLiteral("N")},
         {QStringLiteral("line-factor"),
          QStringLiteral("Number points line number x N + point number (0: point number "
                         "alone)."),
          QStringLiteral("N")},
         {QStringLiteral("check"),
          QStringLiteral("Check the survey after the load and list what is doubtful.")},
         {QStringLiteral("report"),
          QStringLiteral("Write every finding of the survey check as CSV to FILE (- for "
                         "standard output)."),
          QStringLiteral("FILE")},
         {QStringLiteral("quiet"), QStringLiteral("Print no summary.")}});
    parser.addPositionalArgument(QStringLiteral("SOURCE"),
                                 QStringLiteral("The source-point (S) file (gzipped or not)."));
    parser.addPositionalArgument(QStringLiteral("RECEIVER"),
                                 QStringLiteral("The receiver-point (R) file (gzipped or not)."));
    parser.addPositionalArgument(QStringLiteral("RELATION"),
                                 QStringLiteral("The relation (X) file, checked but not loaded."),
                                 QStringLiteral("[RELATION]"));
}

// What --help adds after the options.
const char kHelpEnd[] =
    "\n"
    "Examples:\n"
    "  spsload survey.sps survey.rps survey.xps\n"
    "      Load the survey and print how many shots and receivers it holds.\n"
    "  spsload --revision auto --check --csv survey.csv --map survey.png \\\n"
    "          survey.sps.gz survey.rps.gz\n"
    "      Load gzipped files in the revision each declares, list what is doubtful,\n"
    "      and write the points as CSV and the map as a picture.\n"
    "  spsload --fold fold.png --fold-grid fold.asc --bin 12.5,25 \\\n"
    "          survey.sps survey.rps survey.xps\n"
    "      Count the fold of the relation's traces in bins of 12.5 by 25, draw it and\n"
    "      write it as a grid.\n"
    "\n"
    "Exit status:\n"
    "  0  the survey was loaded and every output written\n"
    "  1  an input cannot be read, the load failed or added no shot or no receiver,\n"
    "     or an output cannot be written\n"
    "  2  the command line is wrong, or an input or output was refused before loading\n";

} // namespace

bool SPSLoadCommand::WantsMap(const QStringList& arguments)
{
    QCommandLineParser parser;
    setUpParser(parser);
    return parser.parse(arguments) &&
           (parser.isSet(QStringLiteral("map")) || parser.isSet(QStringLiteral("fold")));
}

int SPSLoadCommand::Run(const QStringList& arguments)
{
    QCommandLineParser parser;
    setUpParser(parser);
    const QString paramsOption = QStringLiteral("params");
    const QString csvOption = QStringLiteral("csv");
    const QString mapOption = QStringLiteral("map");
    const QString foldOption = QStringLiteral("fold");
    const QString foldGridOption = QStringLiteral("fold-grid");
    const QString binOption = QStringLiteral("bin");
    const QString quietOption = QStringLiteral("quiet");

    if (!parser.parse(arguments)) {
        Error(parser.errorText());
        return ExitUsage;
    }
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        m_pOut->write(parser.helpText().toUtf8() + kHelpEnd);
        return ExitLoaded;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        m_pOut->write(QByteArray("spsload " SPSLOAD_VERSION " (Qt ") + qVersion() + ")\n");
        return ExitLoaded;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() < 2 || files.size() > 3) {
        Error(QStringLiteral("wrong number of files (%1): SOURCE and RECEIVER are required, "
                             "RELATION is optional")
                  .arg(files.size()));
        return ExitUsage;
    }

    const QString revisionOption = QStringLiteral("revision");
    const QString checkOption = QStringLiteral("check");
    const QString reportOption = QStringLiteral("report");
    if (parser.isSet(paramsOption) && parser.isSet(revisionOption)) {
        Error(QStringLiteral("--params and --revision cannot be used together"));
        return ExitUsage;
    }
    const QString revision = parser.value(revisionOption);
    if (parser.isSet(revisionOption) && revision != QLatin1String("auto") &&
        !SPSLayoutPresets::RevisionFromText(revision)) {
        Error(QStringLiteral("invalid value \"%1\" for --revision: 1, 2.1 or auto is expected")
                  .arg(revision));
        return ExitUsage;
    }
    SPSNumberingSettings numbering;
    if (!ReadNumbering(parser, &numbering))
        return ExitUsage;
    // Standard output holds one output alone.
    QStringList toOut;
    for (const QString& option : {csvOption, reportOption, mapOption, foldOption})
        if (parser.isSet(option) && parser.value(option) == QLatin1String("-"))
            toOut << option;
    if (toOut.size() > 1) {
        Error(QStringLiteral("--%1 and --%2 cannot both write to standard output")
                  .arg(toOut.at(0), toOut.at(1)));
        return ExitUsage;
    }
    const bool anyToOut = !toOut.isEmpty();
    const bool folding = parser.isSet(foldOption) || parser.isSet(foldGridOption);
    SPSFoldOptions foldOptions;
    if (parser.isSet(binOption) && !ReadBin(parser.value(binOption), &foldOptions))
        return ExitUsage;
    if (parser.isSet(binOption) && !folding) {
        Error(QStringLiteral("--bin needs --fold or --fold-grid"));
        return ExitUsage;
    }
    if (folding && files.size() < 3) {
        Error(QStringLiteral("--%1 needs the RELATION (X) file: the fold is counted from its rows")
                  .arg(parser.isSet(foldOption) ? foldOption : foldGridOption));
        return ExitUsage;
    }
    const QString foldGridPath = parser.value(foldGridOption);
    if (parser.isSet(foldGridOption) && foldGridPath == QLatin1String("-")) {
        Error(QStringLiteral("--fold-grid cannot write to standard output: the grid's companion "
                             "%1 needs a file")
                  .arg(QStringLiteral(".json")));
        return ExitUsage;
    }
    // A FIFO or a device given as input would block the load in open() or let it
    // read for ever: refused before anything is opened (the parameter file by its
    // reading).
    const char* const kinds[] = {"source", "receiver", "relation"};
    for (int i = 0; i < files.size(); ++i) {
        if (!RefuseIfNotRegular(QLatin1String(kinds[i]), files.at(i)))
            return ExitUsage;
    }
    // An output written over an input would lose it: refused before loading.
    QStringList inputs = files;
    if (parser.isSet(paramsOption))
        inputs << parser.value(paramsOption);
    QStringList outputs;
    for (const QString& option : {csvOption, mapOption, reportOption, foldOption, foldGridOption})
        if (parser.isSet(option) && parser.value(option) != QLatin1String("-"))
            outputs << parser.value(option);
    if (parser.isSet(foldGridOption))
        outputs << SPSFoldGridFile::JsonPath(foldGridPath);
    for (const QString& output : outputs) {
        for (const QString& input : inputs) {
            if (SPSSameFile(output, input)) {
                Error(QStringLiteral("output file [%1] is the input file [%2]").arg(output, input));
                return ExitUsage;
            }
        }
    }

    // The map's format comes from its file's suffix: a name that gives none
    // would otherwise be written in a format it does not name.
    QByteArray mapFormat = "png";
    if (parser.isSet(mapOption) && !toOut.contains(mapOption)) {
        const QString map = parser.value(mapOption);
        mapFormat = SurveyMapFormatForFile(map);
        if (mapFormat.isEmpty()) {
            Error(QStringLiteral("the map file [%1] does not end in the suffix of an image "
                                 "format that can be written (%2)")
                      .arg(map, SurveyMapFormatsText()));
            return ExitUsage;
        }
    }
    QByteArray foldFormat = "png";
    if (parser.isSet(foldOption) && !toOut.contains(foldOption)) {
        const QString fold = parser.value(foldOption);
        foldFormat = SurveyMapFormatForFile(fold);
        if (foldFormat.isEmpty()) {
            Error(QStringLiteral("the fold map file [%1] does not end in the suffix of an image "
                                 "format that can be written (%2)")
                      .arg(fold, SurveyMapFormatsText()));
            return ExitUsage;
        }
    }

    VeTaskSPSFilesLoaderParam param;
    param.Numbering = numbering;
    int refused = ExitLoaded;
    if (parser.isSet(paramsOption) && !ApplyParamFile(parser.value(paramsOption), &param, &refused))
        return refused;
    param.SourceFileName = files.at(0);
    param.ReceiverFileName = files.at(1);
    if (files.size() == 3) {
        // The load never reads it, but a relation file that cannot be read is
        // refused before loading, as the dialog refuses it, in the words and
        // with the status of the load's own inputs.
        param.RelationFileName = files.at(2);
        QFile relation(param.RelationFileName);
        if (!relation.open(QIODevice::ReadOnly)) {
            CannotOpen(param.RelationFileName);
            return ExitFailed;
        }
    }

    if (parser.isSet(revisionOption) && !ApplyRevision(revision, &param))
        return ExitUsage;

    // The check takes the point rows from the load's reading.
    const bool checking = parser.isSet(checkOption) || parser.isSet(reportOption);
    std::unique_ptr<SPSSurveyCheck> check;
    if (checking)
        check = std::make_unique<SPSSurveyCheck>(param, numbering);
    // So does the fold: S and R are read once, by the load.
    std::unique_ptr<SPSFoldStationRows> foldSources, foldReceivers;
    std::unique_ptr<SPSFoldRelationRows> foldRelations;
    if (folding) {
        foldSources = std::make_unique<SPSFoldStationRows>(param, u'S', numbering);
        foldReceivers = std::make_unique<SPSFoldStationRows>(param, u'R', numbering);
        // And X once, by the check, when there is one.
        if (check) {
            foldRelations = std::make_unique<SPSFoldRelationRows>(param);
            check->SetRelationRows(foldRelations.get());
        }
    }
    std::unique_ptr<BothRows> bothSources, bothReceivers;
    // The relation file is read while the load reads the point files.
    if (check)
        check->ReadRelationsAhead();
    SPSFinishedLoad load = SPSLoadDriver::Run(
        param, rowsFor(check ? check->SourceRows() : nullptr, foldSources.get(), bothSources),
        rowsFor(check ? check->ReceiverRows() : nullptr, foldReceivers.get(), bothReceivers));
    for (const VeEventsLogEntry& entry : load.log)
        m_pErr->write(QByteArray(typeName(entry.type)) + ": " + entry.text.toUtf8() + '\n');
    const std::unique_ptr<VePrevStackSegyGeometry>& geometry = load.geometry;
    if (!geometry) {
        ExplainCorruptGzip({param.SourceFileName, param.ReceiverFileName});
        return ExitFailed;
    }
    if (geometry->ShotCount() == 0 || geometry->ReceiverCount() == 0) {
        RefuseEmpty(*geometry, param);
        return ExitFailed;
    }
    // Wrapped numbers are no numbering a script can use: nothing is written.
    if (!load.numbersFit) {
        Error(QStringLiteral("the numbering factors take point numbers beyond signed 32 bits; "
                             "nothing was written"));
        return ExitFailed;
    }

    const QString csvPath = parser.value(csvOption);
    if (parser.isSet(csvOption) && !WriteCsv(*geometry, csvPath))
        return ExitFailed;
    if (parser.isSet(mapOption) && !WriteMap(*geometry, parser.value(mapOption), mapFormat))
        return ExitFailed;
    // With a fold to count, the check runs first, so that its tables are gone
    // before the fold's grid is made; its lines still follow the summary.
    bool checked = false;
    QString checkReason;
    if (check && folding)
        checked = check->Run(&checkReason);
    SPSFoldResult fold;
    if (folding) {
        QString reason;
        {
            std::vector<SPSFoldRelation> relations;
            // A check that ended early leaves them unread: the fold's own
            // reading then says why.
            const bool read = checked && foldRelations && foldRelations->Begun();
            if (read)
                relations.swap(foldRelations->Relations());
            if (check)
                check->SetRelationRows(nullptr);
            foldRelations.reset();
            if (!(read || SPSFoldReading::ReadRelations(param, &relations, &reason)) ||
                !SPSFold::Compute(foldSources->Stations(), foldReceivers->Stations(), relations,
                                  foldOptions, &fold, &reason)) {
                Error(QStringLiteral("fold: %1").arg(reason));
                ExplainCorruptGzip({param.RelationFileName});
                return ExitFailed;
            }
        }
        if (fold.grid.IsEmpty()) {
            Error(QStringLiteral("fold: no X row of [%1] names a loaded source point and receiver "
                                 "station (%2 traces skipped); no fold was written")
                      .arg(param.RelationFileName)
                      .arg(fold.summary.skippedTraces));
            return ExitFailed;
        }
        // The tables go before the pictures are drawn.
        foldSources.reset();
        foldReceivers.reset();
        if (parser.isSet(foldOption) &&
            !WriteFoldMap(fold.grid, *geometry, parser.value(foldOption), foldFormat))
            return ExitFailed;
        if (parser.isSet(foldGridOption) &&
            !SPSFoldGridFile::Write(foldGridPath, fold.grid, &reason)) {
            Error(reason);
            return ExitFailed;
        }
    }
    if (!parser.isSet(quietOption) && !anyToOut) {
        WriteSummary(*geometry);
        if (folding)
            WriteFoldSummary(fold);
    }

    if (check) {
        if (!folding) {
            // Every output of the points is written: their memory is the check's now.
            load.geometry.reset();
            checked = check->Run(&checkReason);
        }
        if (!checked) {
            Error(QStringLiteral("survey check: %1").arg(checkReason));
            ExplainCorruptGzip({param.RelationFileName});
            return ExitFailed;
        }
        // Standard output may carry an output; the check's lines then go to standard error.
        const SPSCheckFindingList findings = check->TakeFindings();
        check.reset();
        if (parser.isSet(checkOption))
            WriteCheck(findings, anyToOut ? m_pErr : m_pOut);
        if (parser.isSet(reportOption) && !WriteReport(findings, parser.value(reportOption)))
            return ExitFailed;
    }
    return ExitLoaded;
}

bool SPSLoadCommand::RefuseIfNotRegular(const QString& kind, const QString& path)
{
    // A missing file or a folder fails to open at once: left to the reading,
    // which reports it as it always has.
    const QFileInfo info(path);
    if (!info.exists() || info.isDir() || SPSMayOpenForReading(path))
        return true;
    Error(QStringLiteral("%1 file [%2] is not a regular file").arg(kind, path));
    return false;
}

bool SPSLoadCommand::ApplyParamFile(const QString& path, VeTaskSPSFilesLoaderParam* param,
                                    int* status)
{
    *status = ExitUsage;
    // As the Format page in its user-defined mode: its default texts, then the
    // file's values, then the page's checks and gathering.
    SPSFormatValues values;
    switch (SPSParamFile::Read(path, &values)) {
    case SPSParamFile::Ok:
        break;
    case SPSParamFile::CannotOpen:
        CannotOpen(path);
        *status = ExitFailed;
        return false;
    case SPSParamFile::NotRegularFile:
        Error(QStringLiteral("parameter file [%1] is not a regular file").arg(path));
        return false;
    case SPSParamFile::InvalidVersion:
        Error(QStringLiteral("parameter file [%1]: Invalid file version!").arg(path));
        return false;
    }
    QString failedKey;
    if (!values.Gather(param, &failedKey)) {
        Error(QStringLiteral("parameter file [%1]: invalid value \"%2\" for %3")
                  .arg(path, values.Value(failedKey), failedKey));
        return false;
    }
    return true;
}

bool SPSLoadCommand::ReadNumbering(const QCommandLineParser& parser,
                                   SPSNumberingSettings* numbering)
{
    for (const NumberingOption& option : kNumberingOptions) {
        const QString name = QLatin1String(option.name);
        if (!parser.isSet(name))
            continue;
        const QString text = parser.value(name);
        bool ok = false;
        const qint32 value = text.trimmed().toInt(&ok, 10);
        if (!ok) {
            Error(QStringLiteral("invalid value \"%1\" for --%2: a 32-bit integer is expected")
                      .arg(text, name));
            return false;
        }
        numbering->*option.member = value;
    }
    return true;
}

bool SPSLoadCommand::ReadBin(const QString& text, SPSFoldOptions* options)
{
    QString reason;
    if (SPSFold::ReadBinSize(text, options, &reason))
        return true;
    Error(reason);
    return false;
}

bool SPSLoadCommand::ApplyRevision(const QString& revision, VeTaskSPSFilesLoaderParam* param)
{
    if (const auto preset = SPSLayoutPresets::RevisionFromText(revision)) {
        SPSLayoutPresets::Apply(*preset, param);
        return true;
    }
    struct File
    {
        QChar letter;
        const QString& path;
    };
    const File files[] = {{u'S', param->SourceFileName},
                          {u'R', param->ReceiverFileName},
                          {u'X', param->RelationFileName}};
    for (const File& f : files) {
        const SPSRevisionChoice choice = SPSChooseRevision(f.path, f.letter);
        SPSLayoutPresets::Apply(choice.revision, f.letter, param);
        // Without a verdict the layout in use stays: the default, revision 1,
        // since a parameter file cannot come with --revision.
        const QString readAs =
            SPSLayoutPresets::RevisionText(SPSLayoutPresets::LayoutRevision(*param, f.letter));
        switch (choice.gate) {
        case SPSRevisionChoice::Gate::NoPath:
        case SPSRevisionChoice::Gate::Missing:
            break; // a file that is not there is the load's to report
        case SPSRevisionChoice::Gate::NotRegularFile:
            m_pErr->write(
                QStringLiteral("info: [%1]: not a regular file, read as SPS revision %2\n")
                    .arg(f.path, readAs)
                    .toUtf8());
            break;
        case SPSRevisionChoice::Gate::Read:
            m_pErr->write(QStringLiteral("info: [%1]: read as SPS revision %2 (%3%4)\n")
                              .arg(f.path, readAs,
                                   choice.revision == SPSRevision::Unknown
                                       ? QStringLiteral("revision unknown, the default; ")
                                       : QString(),
                                   choice.verdict.evidence)
                              .toUtf8());
            break;
        }
    }
    return true;
}

void SPSLoadCommand::WriteCheck(const SPSCheckFindingList& findings, QIODevice* to)
{
    to->write(SPSFindingsWriter::CheckLines(findings));
}

bool SPSLoadCommand::WriteReport(const SPSCheckFindingList& findings, const QString& path)
{
    // Millions of findings make hundreds of megabytes of CSV: written as made.
    return WriteParts(
        [&findings](const SPSOutputFile::Put& put) {
            return SPSFindingsWriter::ReportCsv(findings, put);
        },
        path, QStringLiteral("the report"));
}

void SPSLoadCommand::WriteSummary(const VePrevStackSegyGeometry& geometry)
{
    m_pOut->write(summaryLine("shots", geometry.ShotSnapshot()) +
                  summaryLine("receivers", geometry.ReceiverSnapshot()));
}

void SPSLoadCommand::WriteFoldSummary(const SPSFoldResult& fold)
{
    const SPSFoldGrid& g = fold.grid;
    const SPSFoldSummary& s = fold.summary;
    QByteArray text = "fold: " + QByteArray::number(s.binsWithFold) + " bins with fold > 0 (bins " +
                      number(g.binX) + " x " + number(g.binY) + ", grid " +
                      QByteArray::number(g.columns) + " x " + QByteArray::number(g.rows) +
                      ", azimuth " + number(g.azimuth, 7) + ")\n";
    text += "fold inside the outline: " + QByteArray::number(s.binsInside) + " bins, minimum " +
            QByteArray::number(s.minFold) + ", median " + number(s.medianFold) + ", maximum " +
            QByteArray::number(s.maxFold) + "; " + QByteArray::number(s.emptyBinsInside) +
            " bins with fold 0\n";
    text += "fold traces: " + QByteArray::number(s.traces) + " counted, " +
            QByteArray::number(s.skippedTraces) +
            " skipped (their source or receiver station is missing)\n";
    if (s.unusableRows > 0)
        text += "fold: " + QByteArray::number(s.unusableRows) +
                " X rows name no source point or receiver range in numbers and were left out\n";
    m_pOut->write(text);
}

bool SPSLoadCommand::CsvParts(const VePrevStackSegyGeometry& geometry,
                              const SPSOutputFile::Put& put)
{
    QByteArray part = "kind,number,x,y,elevation\n";
    return putCsvRows(part, 'S', geometry.ShotSnapshot(), put) &&
           putCsvRows(part, 'R', geometry.ReceiverSnapshot(), put) && (part.isEmpty() || put(part));
}

QByteArray SPSLoadCommand::Csv(const VePrevStackSegyGeometry& geometry)
{
    QByteArray csv;
    CsvParts(geometry, [&csv](const QByteArray& part) {
        csv += part;
        return true;
    });
    return csv;
}

bool SPSLoadCommand::WriteCsv(const VePrevStackSegyGeometry& geometry, const QString& path)
{
    return WriteParts(
        [&geometry](const SPSOutputFile::Put& put) { return CsvParts(geometry, put); }, path,
        QStringLiteral("the CSV"));
}

bool SPSLoadCommand::WriteOutput(const QByteArray& bytes, const QString& path, const QString& what)
{
    return WriteParts([&bytes](const SPSOutputFile::Put& put) { return put(bytes); }, path, what);
}

bool SPSLoadCommand::WriteParts(const SPSOutputFile::Parts& parts, const QString& path,
                                const QString& what)
{
    if (path == QLatin1String("-")) {
        if (!parts(
                [this](const QByteArray& bytes) { return m_pOut->write(bytes) == bytes.size(); })) {
            Error(QStringLiteral("cannot write %1 to standard output").arg(what));
            return false;
        }
        return true;
    }
    QString reason;
    if (!SPSOutputFile::Write(path, parts, &reason)) {
        Error(QStringLiteral("cannot write [%1]: %2").arg(path, reason));
        return false;
    }
    return true;
}

bool SPSLoadCommand::WriteMap(const VePrevStackSegyGeometry& geometry, const QString& path,
                              const QByteArray& format)
{
    QString reason;
    if (path == QLatin1String("-")) {
        QByteArray bytes;
        if (EncodeSurveyMap(geometry, DefaultSurveyMapSize(), format, &bytes, &reason))
            return WriteOutput(bytes, path, QStringLiteral("the map"));
        Error(QStringLiteral("cannot draw the map: %1").arg(reason));
        return false;
    }
    if (SaveSurveyMapImage(geometry, path, DefaultSurveyMapSize(), format, &reason))
        return true;
    // The texts of a failed write name the file; those of a failed drawing do not.
    Error(reason.contains(path) ? reason
                                : QStringLiteral("cannot draw the map [%1]: %2").arg(path, reason));
    return false;
}

bool SPSLoadCommand::WriteFoldMap(const SPSFoldGrid& grid, const VePrevStackSegyGeometry& geometry,
                                  const QString& path, const QByteArray& format)
{
    QString reason;
    if (path == QLatin1String("-")) {
        QByteArray bytes;
        if (EncodeFoldMap(grid, geometry, DefaultSurveyMapSize(), format, &bytes, &reason))
            return WriteOutput(bytes, path, QStringLiteral("the fold map"));
        Error(QStringLiteral("cannot draw the fold map: %1").arg(reason));
        return false;
    }
    if (SaveFoldMapImage(grid, geometry, path, DefaultSurveyMapSize(), format, &reason))
        return true;
    Error(reason.contains(path)
              ? reason
              : QStringLiteral("cannot draw the fold map [%1]: %2").arg(path, reason));
    return false;
}
