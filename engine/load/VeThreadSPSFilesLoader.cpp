#include "VeThreadSPSFilesLoader.h"

#include "SPSFileAccess.h"
#include "SPSLayout.h"
#include "SPSLayoutPresets.h"
#include "SPSLoadRowsHook.h"
#include "SPSNumberedTable.h"
#include "SPSNumberingFit.h"
#include "SPSNumbers.h"
#include "SPSPointTable.h"
#include "SPSRevisionDetector.h"
#include "SPSRowObserver.h"
#include "SPSRowReader.h"
#include "VeEventsLog.h"
#include "VeObjNode.h"
#include "VePrevSegySRGeometry.h"
#include "VePrevStackSegyGeometry.h"
#include "VeTaskSPSFilesLoaderParam.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <atomic>
#include <cmath>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>

namespace {
// Where the fields of one kind of point row stand; receivers have no depth.
struct PointColumns
{
    SPSLayout::Span line, point, depth, x, y, elevation;
};

// One point file as the loader reads it.
struct PointFile
{
    const char* emptyName; // the message for an empty path
    const char* noPoints;  // the warning for a file without points
    QString path;
    QChar letter;
    bool autoSkip;
    qint32 skipCount;
    PointColumns columns;
};

PointFile pointFile(const VeTaskSPSFilesLoaderParam& p, SPSLayout::File file)
{
    using SPSLayout::Column;
    const bool source = file == SPSLayout::File::Source;
    const auto& fields = SPSLayout::Fields();
    const auto column = [&](Column c) { return SPSLayout::ColumnOf(p, file, c); };
    return {source ? QT_TRANSLATE_NOOP("VeDataLoadThread", "Source file name is empty")
                   : QT_TRANSLATE_NOOP("VeDataLoadThread", "Receiver file name is empty"),
            source ? QT_TRANSLATE_NOOP("VeDataLoadThread", "No source points found in [%1]")
                   : QT_TRANSLATE_NOOP("VeDataLoadThread", "No receiver points found in [%1]"),
            source ? p.SourceFileName : p.ReceiverFileName,
            source ? u'S' : u'R',
            SPSLayout::Value(p, fields[size_t(SPSLayout::AutoSkipIndex(file))]) != 0,
            SPSLayout::Value(p, fields[size_t(SPSLayout::RowCountIndex(file))]),
            {column(Column::Line), column(Column::Point), column(Column::Depth), column(Column::X),
             column(Column::Y), column(Column::Elevation)}};
}

// The events-log entries of one reading, written by whoever waits for it.
struct ReadOutcome
{
    bool ok = false;
    bool cancelled = false;
    QList<std::pair<VeEventsLog::EEventsLogType, QString>> entries;

    void Log() const
    {
        for (const auto& [type, text] : entries)
            OutputEventsLog(type, text);
    }
};

QString translated(const char* text)
{
    return VeDataLoadThread::tr(text);
}

// What a reading shares with the rest of the run; each may be null.
struct ReadWatch
{
    const std::atomic<bool>* abandoned = nullptr; // the reading is of no use any more
    const QThread* run = nullptr;                 // its interruption cancels the reading
    std::atomic<qint64>* bytesRead = nullptr;     // how far the reading has come
    SPSRowObserver* observer = nullptr;
};

// Reads the file's points into the table, as they come. Touches neither the events
// log nor anything shared, so that it may run beside the rest of the load.
ReadOutcome readPoints(const PointFile& f, const SPSReadOptions& options, SPSPointTable& points,
                       const ReadWatch& watch = {})
{
    SPSRowObserver* observer = watch.observer;
    ReadOutcome outcome;
    if (f.path.isEmpty()) {
        outcome.entries.append({VeEventsLog::EventsLogError, translated(f.emptyName)});
        return outcome;
    }
    // What is not a regular file could block the open or the reading for good.
    const std::unique_ptr<QFile> opened =
        options.makeFile ? options.makeFile(f.path) : std::make_unique<QFile>(f.path);
    QFile& file = *opened;
    if (!SPSMayOpenForReading(f.path, options.allowFifo) || !file.open(QIODevice::ReadOnly)) {
        outcome.entries.append(
            {VeEventsLog::EventsLogError,
             translated(QT_TRANSLATE_NOOP("VeDataLoadThread", "Cannot open file [%1] for reading!"))
                 .arg(f.path)});
        return outcome;
    }
    points.Clear();
    const PointColumns& c = f.columns;
    SPSRowReader reader(&file, f.letter, f.autoSkip, f.skipCount, options);
    // A row is held only as far as the furthest field, however long it is.
    QList<std::pair<qint32, qint32>> fields;
    for (const SPSLayout::Span& span : {c.line, c.point, c.depth, c.x, c.y, c.elevation})
        if (span.found)
            fields.append({span.pos, span.len});
    qint64 rowLimit = SPSRowReader::RowLimitFor(fields);
    if (observer) {
        rowLimit = SPSRowObserver::CombinedLimit(rowLimit, observer->RowLimit());
        observer->Begin(file.size());
    }
    reader.SetRowLimit(rowLimit);
    // About 82 bytes a row in the standard layout; past a million rows the
    // tables grow as they fill.
    points.Reserve(qMin<qint64>(file.size() / 82 + 16, qint64(1) << 20));
    // Whoever abandons the reading has no use for the points: a few thousand
    // rows more are read at most.
    constexpr qsizetype kRowsBetweenLooks = 4096;
    qsizetype untilLook = kRowsBetweenLooks;
    SPSLoadedRow loaded;
    loaded.line = {c.line.pos, c.line.len, {}};
    loaded.point = {c.point.pos, c.point.len, {}};
    loaded.x = {c.x.pos, c.x.len};
    loaded.y = {c.y.pos, c.y.len};
    loaded.elevation = {c.elevation.pos, c.elevation.len};
    loaded.depth = {c.depth.pos, c.depth.len};
    // As RealField converts a field, saying whether inline: the observer then
    // takes that value as it is.
    const auto convert = [&](SPSLoadedNumber& n) {
        n.converted = reader.ShortField(n.pos, n.len, &n.value);
        if (!n.converted)
            n.value = reader.RealField(n.pos, n.len);
        return n.value;
    };
    while (reader.NextRecord()) {
        if (--untilLook == 0) {
            untilLook = kRowsBetweenLooks;
            if (watch.abandoned && watch.abandoned->load(std::memory_order_relaxed))
                return outcome;
            if (watch.run && watch.run->isInterruptionRequested()) {
                outcome.cancelled = true;
                outcome.entries.append(
                    {VeEventsLog::EventsLogWarning,
                     translated(QT_TRANSLATE_NOOP("VeDataLoadThread",
                                                  "The load was cancelled while reading [%1]."))
                         .arg(f.path)});
                return outcome;
            }
            if (watch.bytesRead)
                watch.bytesRead->store(file.pos(), std::memory_order_relaxed);
        }
        // As FloatField converts it: inline, the double rounded.
        float depth = 0.0f;
        if (c.depth.found) {
            SPSLoadedNumber& d = loaded.depth;
            d.converted = reader.ShortField(d.pos, d.len, &d.value);
            depth = d.converted ? float(d.value) : reader.FloatField(d.pos, d.len);
        }
        const double x = convert(loaded.x);
        const double y = convert(loaded.y);
        loaded.line.text = reader.Field(c.line.pos, c.line.len);
        loaded.point.text = reader.Field(c.point.pos, c.point.len);
        points.Add(loaded.line.text, loaded.point.text, depth, x, y, convert(loaded.elevation));
        if (observer)
            observer->RowAsLoaded(reader, loaded);
    }
    if (watch.bytesRead)
        watch.bytesRead->store(file.pos(), std::memory_order_relaxed);
    if (reader.Failed()) {
        // Part of a file is not the file: the load must not pass it off as whole.
        outcome.entries.append(
            {VeEventsLog::EventsLogError,
             translated(QT_TRANSLATE_NOOP("VeDataLoadThread", "Cannot read file [%1] to its end!"))
                 .arg(f.path)});
        return outcome;
    }
    if (points.IsEmpty())
        outcome.entries.append({VeEventsLog::EventsLogWarning, translated(f.noPoints).arg(f.path)});
    outcome.ok = true;
    return outcome;
}

// Done in 64 bits so that no product overflows; the low 32 bits are the number.
qint32 multiplyLow32(qint32 a, qint32 b)
{
    return qint32(quint32(quint64(qint64(a) * qint64(b))));
}

// -s is taken in 64 bits: s may be INT_MIN.
template <typename Real> void applyScalar(Real& value, qint32 s)
{
    if (s < 0)
        value *= Real(-qint64(s));
    else if (s > 1)
        value /= Real(s);
}

// The point numbers with the line factor: line number x factor + point number,
// in key order. Empty when the factor is 0 (numbers are the point numbers).
std::vector<qint32> lineFactorNumbers(const SPSPointTable& points, qint32 lineFactor,
                                      SPSNumberingRange& range)
{
    std::vector<qint32> numbers;
    if (lineFactor == 0)
        return numbers;
    numbers.reserve(size_t(points.Count()));
    QString lastLine;
    qint32 lineNumber = 0;
    for (qsizetype i = 0, n = points.Count(); i < n; ++i) {
        const QString line = points.RecordAt(i).m_strLineName;
        if (i == 0 || line != lastLine) {
            lineNumber = PointNumberFromText(line);
            lastLine = line;
        }
        const qint32 point = points.PointNumberAt(i);
        if (range.line.Take(lineNumber, point)) {
            range.lineName = line;
            range.pointText = points.RecordAt(i).m_strPointText;
        }
        numbers.push_back(SPSPointNumber(lineNumber, point, lineFactor, 1));
    }
    return numbers;
}

qint32 scaledNumber(qint32 number, qint32 factor)
{
    return factor != 0 && factor != 1 ? multiplyLow32(number, factor) : number;
}

void scaleValues(SPSPointGeometry& point, const SPSNumberingSettings& settings)
{
    applyScalar(point.m_dX, settings.CoordinateScalar);
    applyScalar(point.m_dY, settings.CoordinateScalar);
    applyScalar(point.m_dElevation, settings.ElevationScalar);
    applyScalar(point.m_fDepth, settings.ElevationScalar);
}

bool scales(qint32 factor)
{
    return factor != 0 && factor != 1;
}

// trackScaled: whether the range still has to see the numbers the factor scales.
void numberPoints(SPSNumberedTable& numbered, const SPSPointTable& points, qint32 factor,
                  const SPSNumberingSettings& settings, SPSNumberingRange& range, bool trackScaled)
{
    numbered.Clear();
    numbered.Reserve(points.Count());
    const std::vector<qint32> lined = lineFactorNumbers(points, settings.LineFactor, range);
    size_t at = 0;
    points.ForEachNumber([&](qint32 number, float depth, double x, double y, double elevation) {
        SPSPointGeometry geometry{lined.empty() ? number : lined[at++], depth, x, y, elevation};
        if (trackScaled)
            range.TakeScaled(geometry.m_nNumber);
        geometry.m_nNumber = scaledNumber(geometry.m_nNumber, factor);
        scaleValues(geometry, settings);
        numbered.Add(geometry);
    });
    numbered.Sort();
}

// Numbers the points as read, and returns how many there are, keys counted
// once. Only points that share a number make the key order matter (the one
// whose key sorts last wins; rows with one key share its number), so the
// table is sorted only then; line numbers take part in the numbering with a
// line factor, in key order.
qsizetype numberAsRead(SPSNumberedTable& numbered, SPSPointTable& points, qint32 factor,
                       const SPSNumberingSettings& settings, SPSNumberingRange& range)
{
    const qsizetype count = points.Count();
    const auto unscaled = [](qint32 s) { return s == 0 || s == 1; };
    const bool asTheyStand = unscaled(factor) && unscaled(settings.CoordinateScalar) &&
                             unscaled(settings.ElevationScalar);
    // Numbers the factor scales are looked at once, as read: a loop of its own
    // only when a factor is set.
    const bool scaledAsRead = settings.LineFactor == 0 && scales(factor);
    if (scaledAsRead)
        points.ForEachNumber(
            [&range](qint32 number, float, double, double, double) { range.TakeScaled(number); });
    // Without shared numbers the table's points become the numbered ones as
    // they stand, with no copy.
    if (settings.LineFactor == 0 &&
        points.MoveIntoIfUnique(
            numbered,
            [factor](const SPSPointGeometry& point) {
                return scaledNumber(point.m_nNumber, factor);
            },
            [&settings](SPSPointGeometry& point) { scaleValues(point, settings); }, asTheyStand))
        return count;
    points.Sort();
    numberPoints(numbered, points, factor, settings, range, scales(factor) && !scaledAsRead);
    return points.Count();
}

// The warning for points that share a number, or nothing when none do.
QString sharedNumbersWarning(bool source, qsizetype points, qsizetype numbered)
{
    if (numbered >= points)
        return {};
    return (source ? VeDataLoadThread::tr("%1 source points share a point number with another "
                                          "point; %2 shots were added.")
                   : VeDataLoadThread::tr("%1 receiver points share a point number with another "
                                          "point; %2 receivers were added."))
        .arg(points - numbered)
        .arg(numbered);
}

void logWarning(const QString& text)
{
    if (!text.isEmpty())
        OutputEventsLog(VeEventsLog::EventsLogWarning, text);
}

void logSharedNumbers(bool source, qsizetype points, qsizetype numbered)
{
    logWarning(sharedNumbersWarning(source, points, numbered));
}

// A revision 2.1 file read with revision 1 columns (or the reverse) gives few
// points at plausible places, so nothing else would tell the user: the warning
// for a file whose header or rows say it is the other revision, or nothing.
// Only a regular file can be read again from its start.
QString otherRevisionWarning(const VeTaskSPSFilesLoaderParam& param, const QString& path,
                             QChar recordLetter)
{
    if (!SPSMayOpenForReading(path))
        return {};
    const SPSRevision inUse = SPSLayoutPresets::PointColumnsRevision(param, recordLetter);
    const SPSRevisionVerdict verdict = SPSRevisionDetector::DetectFile(path, recordLetter);
    const SPSRevision written = SPSRevisionDetector::Misread(verdict, inUse);
    if (written == SPSRevision::Unknown)
        return {};
    return VeDataLoadThread::tr("[%1] is SPS revision %2 (%3), not the layout in use: read it as "
                                "revision %2 (spsload --revision auto, or the revision %2 preset "
                                "of the Format page).")
        .arg(path, SPSLayoutPresets::RevisionText(written), verdict.evidence);
}

// The float nearest to the value, as IEEE rounding gives it. Beyond the largest
// float the plain conversion is undefined in C++, so the infinities are explicit.
float toSingle(double value)
{
    // From half an ulp above the largest float on, rounding goes to infinity.
    constexpr double kOverflow = 0x1p128 - 0x1p103;
    if (value >= kOverflow)
        return std::numeric_limits<float>::infinity();
    if (value <= -kOverflow)
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

template <typename Add>
void addRecords(const SPSNumberedTable& numbered, VePrevStackSegyGeometry* geometry, Add add)
{
    numbered.ForEach([&](const SPSPointGeometry& point) {
        auto* record = new VePrevSegySRGeometry;
        record->m_nNumber = point.m_nNumber;
        record->m_fX = toSingle(point.m_dX);
        record->m_fY = toSingle(point.m_dY);
        record->m_fElevation = toSingle(point.m_dElevation);
        (geometry->*add)(record);
    });
}
} // namespace

VeThreadSPSFilesLoader::VeThreadSPSFilesLoader(QObject* parent) : VeDataLoadThread(parent)
{
    m_strTitle = QStringLiteral("Load SPS Files");
    Q_EMIT sigUpdateThread();
    m_strDescription = QStringLiteral("Load SPS Files and create or refresh object");
    Q_EMIT sigUpdateThread();
}

VeThreadSPSFilesLoader::~VeThreadSPSFilesLoader() = default;

bool VeThreadSPSFilesLoader::ReadSourceFile(SPSPointTable& points)
{
    if (!m_pParam)
        return false;
    const ReadOutcome outcome =
        readPoints(pointFile(*m_pParam, SPSLayout::File::Source), m_ReadOptions, points);
    if (outcome.ok)
        points.Sort();
    outcome.Log();
    return outcome.ok;
}

bool VeThreadSPSFilesLoader::ReadReceiverFile(SPSPointTable& points)
{
    if (!m_pParam)
        return false;
    const ReadOutcome outcome =
        readPoints(pointFile(*m_pParam, SPSLayout::File::Receiver), m_ReadOptions, points);
    if (outcome.ok)
        points.Sort();
    outcome.Log();
    return outcome.ok;
}

namespace {
// Numbers one file's points and says what the numbering did: factors that left
// 32 bits, and points of several lines that share a number. The host matches
// traces by point number alone, so such points cannot all be kept; the load
// says so rather than drop them in silence.
void numberAndWarn(SPSNumberedTable& numbered, const SPSPointTable& points,
                   const SPSNumberingSettings& settings, bool source, const QString& path)
{
    const qint32 factor = source ? settings.ShotNumberFactor : settings.ReceiverNumberFactor;
    SPSNumberingRange range(settings.LineFactor, factor);
    numberPoints(numbered, points, factor, settings, range, scales(factor));
    for (const QString& warning : range.Warnings(source, path))
        logWarning(warning);
    logSharedNumbers(source, points.Count(), numbered.Count());
}
} // namespace

void VeThreadSPSFilesLoader::NumberSourcePoints(SPSNumberedTable& shots,
                                                const SPSPointTable& points,
                                                const SPSNumberingSettings& settings)
{
    numberAndWarn(shots, points, settings, true, m_pParam ? m_pParam->SourceFileName : QString());
}

void VeThreadSPSFilesLoader::NumberReceiverPoints(SPSNumberedTable& receivers,
                                                  const SPSPointTable& points,
                                                  const SPSNumberingSettings& settings)
{
    numberAndWarn(receivers, points, settings, false,
                  m_pParam ? m_pParam->ReceiverFileName : QString());
}

double VeThreadSPSFilesLoader::GetProgress() const
{
    const qint64 total = m_nBytesToRead.load(std::memory_order_relaxed);
    if (total <= 0)
        return -1.0;
    const qint64 read = m_nBytesRead[0].load(std::memory_order_relaxed) +
                        m_nBytesRead[1].load(std::memory_order_relaxed);
    return qBound(0.0, double(read) / double(total), 1.0);
}

namespace {
std::mutex s_HookMutex;
SPSLoadRowsHook s_Hook;
} // namespace

void SPSSetLoadRowsHook(SPSLoadRowsHook hook)
{
    std::lock_guard lock(s_HookMutex);
    s_Hook = std::move(hook);
}

SPSLoadRowsHook SPSCurrentLoadRowsHook()
{
    std::lock_guard lock(s_HookMutex);
    return s_Hook;
}

void VeThreadSPSFilesLoader::run()
{
    if (!m_pParam)
        return;
    // Observers set by the starter come first; else the host may ask for the rows.
    const bool hooked = !m_pSourceRows && !m_pReceiverRows;
    if (hooked)
        if (const SPSLoadRowsHook hook = SPSCurrentLoadRowsHook()) {
            const SPSLoadRows rows = hook(*m_pParam, m_NumberingSettings);
            m_pSourceRows = rows.source;
            m_pReceiverRows = rows.receiver;
        }
    const qint64 filled = Load();
    if (hooked) {
        m_pSourceRows = nullptr;
        m_pReceiverRows = nullptr;
    }
    // The host checks what a load brought with the record it was read with:
    // a copy, since the starter may change or free its own once the run is over.
    auto ranWith = std::make_shared<VeTaskSPSFilesLoaderParam>();
    ranWith->CopyFrom(*m_pParam);
    ranWith->Numbering = m_NumberingSettings;
    // This worker ends with the run; the copy is used where the thread object lives.
    ranWith->moveToThread(thread());
    Q_EMIT sigLoadFinished(filled, std::move(ranWith));
}

qint64 VeThreadSPSFilesLoader::Load()
{
    Q_EMIT sigProcessMessage(tr("Reading"));

    VePrevStackSegyGeometry* geometry = nullptr;
    if (m_pTargetNode)
        geometry = dynamic_cast<VePrevStackSegyGeometry*>(m_pTargetNode->GetObject());
    // Owned by the run until it is handed over; a failed run destroys it.
    std::unique_ptr<VePrevStackSegyGeometry> created;
    if (!geometry) {
        created = std::make_unique<VePrevStackSegyGeometry>();
        created->SetID(VeObject::CreateUniqueID());
        created->SetName(QStringLiteral("SPS SR Geometry"));
        geometry = created.get();
    }
    const SPSNumberingSettings settings = m_NumberingSettings;
    const VeTaskSPSFilesLoaderParam& param = *m_pParam;
    m_bNumbersFit = true;
    m_nBytesRead[0] = 0;
    m_nBytesRead[1] = 0;
    m_nBytesToRead =
        QFileInfo(param.SourceFileName).size() + QFileInfo(param.ReceiverFileName).size();

    // The second core reads and numbers the receiver file from the start,
    // touching neither the events log nor the geometry: its entries wait until
    // the shots are in, so that the log reads as if one file were read after
    // the other, and the shots reach the geometry whatever becomes of the
    // receiver file.
    SPSNumberedTable receivers;
    ReadOutcome receiverOutcome;
    qsizetype receiverPoints = 0;
    QString receiverRevision;
    SPSNumberingRange receiverRange(settings.LineFactor, settings.ReceiverNumberFactor);
    std::atomic<bool> abandoned{false};
    std::thread receiverWork([&, file = pointFile(param, SPSLayout::File::Receiver),
                              options = m_ReadOptions] {
        SPSPointTable points;
        receiverOutcome = readPoints(file, options, points,
                                     {&abandoned, this, &m_nBytesRead[1], m_pReceiverRows});
        if (!receiverOutcome.ok)
            return;
        receiverPoints =
            numberAsRead(receivers, points, settings.ReceiverNumberFactor, settings, receiverRange);
        receiverRevision = otherRevisionWarning(param, file.path, file.letter);
    });
    // Joined on every way out; a failed source file makes the receivers useless.
    const auto joinReceiverWork = qScopeGuard([&] {
        if (receiverWork.joinable()) {
            abandoned = true;
            receiverWork.join();
        }
    });

    qsizetype shotsAdded = 0;
    {
        SPSPointTable sources;
        const ReadOutcome sourceOutcome =
            readPoints(pointFile(param, SPSLayout::File::Source), m_ReadOptions, sources,
                       {nullptr, this, &m_nBytesRead[0], m_pSourceRows});
        sourceOutcome.Log();
        if (!sourceOutcome.ok)
            return created ? 0 : geometry->GetID();
        SPSNumberedTable shots;
        SPSNumberingRange range(settings.LineFactor, settings.ShotNumberFactor);
        const qsizetype sourcePoints =
            numberAsRead(shots, sources, settings.ShotNumberFactor, settings, range);
        sources = SPSPointTable();
        m_bNumbersFit = range.Fits();
        for (const QString& warning : range.Warnings(true, param.SourceFileName))
            logWarning(warning);
        logSharedNumbers(true, sourcePoints, shots.Count());
        logWarning(otherRevisionWarning(param, param.SourceFileName, u'S'));
        addRecords(shots, geometry, &VePrevStackSegyGeometry::AddShotGeometry);
        shotsAdded = shots.Count();
    }
    receiverWork.join();
    receiverOutcome.Log();
    if (!receiverOutcome.ok)
        return created ? 0 : geometry->GetID();
    m_bNumbersFit = m_bNumbersFit && receiverRange.Fits();
    for (const QString& warning : receiverRange.Warnings(false, param.ReceiverFileName))
        logWarning(warning);
    logSharedNumbers(false, receiverPoints, receivers.Count());
    logWarning(receiverRevision);
    addRecords(receivers, geometry, &VePrevStackSegyGeometry::AddReceiverGeometry);
    OutputEventsLog(VeEventsLog::EventsLogInformation,
                    tr("%1 shots and %2 receivers were added to [%3].")
                        .arg(shotsAdded)
                        .arg(receivers.Count())
                        .arg(geometry->GetName()));

    const qint64 filled = geometry->GetID();
    if (created)
        Q_EMIT sigCreatedObject(created.release());
    return filled;
}
