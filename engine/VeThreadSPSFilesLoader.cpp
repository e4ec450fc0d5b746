#include "VeThreadSPSFilesLoader.h"

#include "SPSLayoutPresets.h"
#include "SPSNumberedTable.h"
#include "SPSPointTable.h"
#include "SPSRevisionDetector.h"
#include "SPSRowReader.h"
#include "VeEventsLog.h"
#include "VeObjNode.h"
#include "VePrevSegySRGeometry.h"
#include "VePrevStackSegyGeometry.h"
#include "VeTaskSPSFilesLoaderParam.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <limits>
#include <memory>

namespace {
// Where the fields of one kind of point row stand.
struct PointColumns
{
    qint32 linePos, lineLen, pointPos, pointLen;
    bool hasDepth;
    qint32 depthPos, depthLen;
    qint32 xPos, xLen, yPos, yLen, elevationPos, elevationLen;
};

void readPoints(QFile& file, QChar letter, bool autoSkip, qint32 skipCount, const PointColumns& c,
                SPSPointTable& points)
{
    points.Clear();
    SPSRowReader reader(&file, letter, autoSkip, skipCount);
    // A row is held only as far as the furthest field, however long it is.
    QList<std::pair<qint32, qint32>> fields{{c.linePos, c.lineLen},
                                            {c.pointPos, c.pointLen},
                                            {c.xPos, c.xLen},
                                            {c.yPos, c.yLen},
                                            {c.elevationPos, c.elevationLen}};
    if (c.hasDepth)
        fields.append({c.depthPos, c.depthLen});
    reader.SetRowLimit(SPSRowReader::RowLimitFor(fields));
    // About 82 bytes a row in the standard layout; past a million rows the
    // tables grow as they fill.
    points.Reserve(qMin<qint64>(file.size() / 82 + 16, qint64(1) << 20));
    SPSPointRecord point;
    while (reader.NextRecord()) {
        const float depth = c.hasDepth ? reader.FloatField(c.depthPos, c.depthLen) : 0.0f;
        const double x = reader.RealField(c.xPos, c.xLen);
        const double y = reader.RealField(c.yPos, c.yLen);
        const double elevation = reader.RealField(c.elevationPos, c.elevationLen);
        if (reader.IsPlainRow()) {
            points.InsertPlain(reader.PlainField(c.linePos, c.lineLen),
                               reader.PlainField(c.pointPos, c.pointLen), depth, x, y, elevation);
            continue;
        }
        point.m_strLineName = reader.FieldText(c.linePos, c.lineLen);
        point.m_strPointText = reader.FieldText(c.pointPos, c.pointLen);
        point.m_fDepth = depth;
        point.m_dX = x;
        point.m_dY = y;
        point.m_dElevation = elevation;
        points.Insert(point);
    }
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
std::vector<qint32> lineFactorNumbers(const SPSPointTable& points, qint32 lineFactor)
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
        numbers.push_back(SPSPointNumber(lineNumber, points.PointNumberAt(i), lineFactor, 1));
    }
    return numbers;
}

void numberPoints(SPSNumberedTable& numbered, const SPSPointTable& points, qint32 factor,
                  const SPSNumberingSettings& settings)
{
    numbered.Clear();
    numbered.Reserve(points.Count());
    const std::vector<qint32> lined = lineFactorNumbers(points, settings.LineFactor);
    size_t at = 0;
    points.ForEachNumber([&](qint32 number, float depth, double x, double y, double elevation) {
        SPSPointGeometry geometry;
        geometry.m_nNumber = lined.empty() ? number : lined[at++];
        if (factor != 0 && factor != 1)
            geometry.m_nNumber = multiplyLow32(geometry.m_nNumber, factor);
        geometry.m_fDepth = depth;
        geometry.m_dX = x;
        geometry.m_dY = y;
        geometry.m_dElevation = elevation;
        applyScalar(geometry.m_dX, settings.CoordinateScalar);
        applyScalar(geometry.m_dY, settings.CoordinateScalar);
        applyScalar(geometry.m_dElevation, settings.ElevationScalar);
        applyScalar(geometry.m_fDepth, settings.ElevationScalar);
        numbered.Insert(geometry);
    });
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
    const VeTaskSPSFilesLoaderParam& p = *m_pParam;
    if (p.SourceFileName.isEmpty()) {
        OutputEventsLog(VeEventsLog::EventsLogError, tr("Source file name is empty"));
        return false;
    }
    QFile file(p.SourceFileName);
    if (!file.open(QIODevice::ReadOnly)) {
        OutputEventsLog(VeEventsLog::EventsLogError,
                        tr("Cannot open file [%1] for reading!").arg(p.SourceFileName));
        return false;
    }
    const PointColumns columns{p.SrcLinePos,   p.SrcLineLen, p.SrcIDPos,     p.SrcIDLen,
                               true,           p.SrcWellPos, p.SrcWellLen,   p.SrcCoordX,
                               p.SrcCoordXLen, p.SrcCoordY,  p.SrcCoordYLen, p.SrcElevPos,
                               p.SrcElevLen};
    readPoints(file, u'S', p.AutoSkipS, p.SkipPosS, columns, points);
    if (points.IsEmpty())
        OutputEventsLog(VeEventsLog::EventsLogWarning,
                        tr("No source points found in [%1]").arg(p.SourceFileName));
    return true;
}

bool VeThreadSPSFilesLoader::ReadReceiverFile(SPSPointTable& points)
{
    if (!m_pParam)
        return false;
    const VeTaskSPSFilesLoaderParam& p = *m_pParam;
    if (p.ReceiverFileName.isEmpty()) {
        OutputEventsLog(VeEventsLog::EventsLogError, tr("Receiver file name is empty"));
        return false;
    }
    QFile file(p.ReceiverFileName);
    if (!file.open(QIODevice::ReadOnly)) {
        OutputEventsLog(VeEventsLog::EventsLogError,
                        tr("Cannot open file [%1] for reading!").arg(p.ReceiverFileName));
        return false;
    }
    const PointColumns columns{p.RecvLinePos,
                               p.RecvLineLen,
                               p.RecvIDPos,
                               p.RecvIDLen,
                               false,
                               0,
                               0,
                               p.RecvCoordX,
                               p.RecvCoordXLen,
                               p.RecvCoordY,
                               p.RecvCoordYLen,
                               p.RecvElevPos,
                               p.RecvElevLen};
    readPoints(file, u'R', p.AutoSkipR, p.SkipPosR, columns, points);
    if (points.IsEmpty())
        OutputEventsLog(VeEventsLog::EventsLogWarning,
                        tr("No receiver points found in [%1]").arg(p.ReceiverFileName));
    return true;
}

void VeThreadSPSFilesLoader::WarnOfOtherRevision(const QString& path, QChar recordLetter)
{
    // A revision 2.1 file read with revision 1 columns (or the reverse) gives
    // few points at plausible places, so nothing else would tell the user.
    // Only a regular file can be read again from its start.
    if (!QFileInfo(path).isFile())
        return;
    const SPSRevision inUse = SPSLayoutPresets::PointColumnsRevision(*m_pParam, recordLetter);
    if (inUse == SPSRevision::Unknown)
        return;
    const SPSRevision rows = SPSRevisionDetector::DetectFile(path, recordLetter).rowsRevision;
    if (rows == SPSRevision::Unknown || rows == inUse)
        return;
    OutputEventsLog(VeEventsLog::EventsLogWarning,
                    tr("The rows of [%1] look like SPS revision %2, not like the layout in use; "
                       "check the Format page.")
                        .arg(path, SPSLayoutPresets::RevisionText(rows)));
}

void VeThreadSPSFilesLoader::NumberSourcePoints(SPSNumberedTable& shots,
                                                const SPSPointTable& points,
                                                const SPSNumberingSettings& settings)
{
    numberPoints(shots, points, settings.ShotNumberFactor, settings);
    // The host matches traces by point number alone, so points of different
    // lines that share a number cannot both be kept; say so rather than drop them.
    if (shots.Count() < points.Count())
        OutputEventsLog(VeEventsLog::EventsLogWarning,
                        tr("%1 source points share a point number with another point; %2 "
                           "shots were added.")
                            .arg(points.Count() - shots.Count())
                            .arg(shots.Count()));
}

void VeThreadSPSFilesLoader::NumberReceiverPoints(SPSNumberedTable& receivers,
                                                  const SPSPointTable& points,
                                                  const SPSNumberingSettings& settings)
{
    numberPoints(receivers, points, settings.ReceiverNumberFactor, settings);
    if (receivers.Count() < points.Count())
        OutputEventsLog(VeEventsLog::EventsLogWarning,
                        tr("%1 receiver points share a point number with another point; %2 "
                           "receivers were added.")
                            .arg(points.Count() - receivers.Count())
                            .arg(receivers.Count()));
}

void VeThreadSPSFilesLoader::run()
{
    if (!m_pParam)
        return;
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

    // One pair of tables serves both files: the receivers reuse the memory the
    // sources took rather than have the system hand it out afresh.
    SPSPointTable points;
    SPSNumberedTable numbered;
    if (!ReadSourceFile(points))
        return;
    NumberSourcePoints(numbered, points, settings);
    WarnOfOtherRevision(m_pParam->SourceFileName, u'S');
    addRecords(numbered, geometry, &VePrevStackSegyGeometry::AddShotGeometry);
    if (!ReadReceiverFile(points))
        return;
    NumberReceiverPoints(numbered, points, settings);
    WarnOfOtherRevision(m_pParam->ReceiverFileName, u'R');
    addRecords(numbered, geometry, &VePrevStackSegyGeometry::AddReceiverGeometry);

    if (created)
        Q_EMIT sigCreatedObject(created.release());
}
