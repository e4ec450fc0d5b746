// spsbench: times the reading and the whole load of synthetic surveys.
//
// For each size (points per file) it writes an ordered and a shuffled survey,
// then times, each as the median of the repetitions, on files the system has
// just written (so in its cache):
//   floor         reading the bytes of both files and nothing else;
//   read fast     the row reader on both files, every field cut and converted;
//   read general  the same with QTextStream on every row;
//   load          the whole load (both files read, numbered, added to a new
//                 geometry object) from the thread's start to the object handed over,
//                 and the processor time it took (which other work on the machine
//                 disturbs less than the wall time);
//   load general  the load with QTextStream on every row;
//   load shuffled the load of the shuffled files;
//   3D            the load of a survey shaped like many 3D ones: lines named
//                 1, 2, ... and points numbered 1 to n through the file;
//                 both ratios are the medians of each repetition's ratio to the
//                 ordered load made just before;
//   spsload       the whole spsload process on the ordered files, when the
//                 program stands beside this one;
//   check         the survey check of the ordered files with a relation file
//                 of a tenth as many rows, and its time over the load's;
// and the peak resident memory of a process of its own that does nothing but
// the ordered load (this one keeps what its earlier steps left).
#include "ProcessMemory.h"
#include "SPSLayout.h"
#include "SPSLayout.h"
#include "SPSNumbers.h"
#include "SPSRowReader.h"
#include "SPSSurveyCheck.h"
#include "SPSSurveyGenerator.h"
#include "VeObject.h"
#include "VePrevStackSegyGeometry.h"
#include "VeTaskSPSFilesLoaderParam.h"
#include "VeThreadRegistry.h"
#include "VeThreadSPSFilesLoader.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {
// Keeps the measured work from being optimised away.
volatile double g_Sink = 0;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double timed(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e9;
}

quint64 readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot open %s", qPrintable(path));
    static std::vector<char> block(1 << 20);
    quint64 total = 0;
    qint64 got;
    while ((got = file.read(block.data(), qint64(block.size()))) > 0)
        total += quint64(got) + quint8(block[0]);
    return total;
}

// Every field the load takes from a row, as the loader takes it.
double readRows(const QString& path, QChar letter, bool general)
{
    const VeTaskSPSFilesLoaderParam p;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot open %s", qPrintable(path));
    SPSReadOptions options;
    options.generalPath = general;
    SPSRowReader reader(&file, letter, true, 0, options);
    // The columns come from the layout table, as the loader takes them.
    using SPSLayout::Column;
    const SPSLayout::File layoutFile =
        letter == u'R' ? SPSLayout::File::Receiver : SPSLayout::File::Source;
    const auto span = [&](Column c) { return SPSLayout::ColumnOf(p, layoutFile, c); };
    const SPSLayout::Span line = span(Column::Line), point = span(Column::Point),
                          depth = span(Column::Depth), x = span(Column::X), y = span(Column::Y),
                          elevation = span(Column::Elevation);
    QList<std::pair<qint32, qint32>> fields;
    for (const SPSLayout::Span& s : {line, point, depth, x, y, elevation})
        if (s.found)
            fields.append({s.pos, s.len});
    reader.SetRowLimit(SPSRowReader::RowLimitFor(fields));
    double sum = 0;
    while (reader.NextRecord()) {
        sum += double(reader.Field(line.pos, line.len).size());
        sum += PointNumberFromText(reader.Field(point.pos, point.len));
        if (depth.found)
            sum += double(reader.FloatField(depth.pos, depth.len));
        sum += reader.RealField(x.pos, x.len);
        sum += reader.RealField(y.pos, y.len);
        sum += reader.RealField(elevation.pos, elevation.len);
    }
    return sum;
}

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return double(t.tv_sec) + double(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct LoadResult
{
    double seconds = 0;
    double cpuSeconds = 0; // of the whole process, which only waits meanwhile
    int shots = 0;
    int receivers = 0;
};

// One whole load through the loader thread, as the host starts it.
LoadResult runLoad(const QString& sourcePath, const QString& receiverPath,
                   const SPSReadOptions& options = {})
{
    VeTaskSPSFilesLoaderParam param;
    param.SourceFileName = sourcePath;
    param.ReceiverFileName = receiverPath;
    VeThreadSPSFilesLoader thread;
    thread.m_pParam = &param;
    thread.SetReadOptions(options);
    QElapsedTimer timer;
    std::unique_ptr<VeObject> created;
    double handedOver = 0;
    // Direct: the moment the run hands the object over, on the worker thread.
    const auto connection = QObject::connect(
        VeThreadRegistry::Instance(), &VeThreadRegistry::sigObjectCreated,
        VeThreadRegistry::Instance(),
        [&](VeObject* object) {
            handedOver = double(timer.nsecsElapsed()) / 1e9;
            created.reset(object);
        },
        Qt::DirectConnection);
    const double cpuBefore = processCpuSeconds();
    timer.start();
    thread.start();
    thread.wait();
    const double cpu = processCpuSeconds() - cpuBefore;
    QObject::disconnect(connection);
    QCoreApplication::processEvents();
    LoadResult result;
    result.seconds = handedOver;
    result.cpuSeconds = cpu;
    if (auto* geometry = qobject_cast<VePrevStackSegyGeometry*>(created.get())) {
        result.shots = geometry->ShotCount();
        result.receivers = geometry->ReceiverCount();
    }
    return result;
}

// The survey check of the three files; negative when it failed.
double runCheck(const QString& sourcePath, const QString& receiverPath, const QString& relationPath,
                qsizetype* findings)
{
    VeTaskSPSFilesLoaderParam param;
    param.SourceFileName = sourcePath;
    param.ReceiverFileName = receiverPath;
    param.RelationFileName = relationPath;
    SPSSurveyCheck check(param);
    bool ok = false;
    const double seconds = timed([&] { ok = check.Run(); });
    *findings = qsizetype(check.Findings().size());
    return ok ? seconds : -1;
}

// The whole spsload process, start to exit; negative when it failed.
double runSpsload(const QString& program, const QString& sourcePath, const QString& receiverPath)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    process.start(program, {"--quiet", sourcePath, receiverPath});
    if (!process.waitForFinished(600000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return -1;
    return double(timer.nsecsElapsed()) / 1e9;
}

// The peak resident memory of a process of this program that does one load
// of the files and nothing else, in KiB; -1 when it failed.
qint64 loadPeakKiB(const QString& sourcePath, const QString& receiverPath)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QCoreApplication::applicationFilePath(),
                  {"--load", sourcePath + "," + receiverPath});
    if (!process.waitForFinished(600000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return -1;
    const QByteArray out = process.readAllStandardOutput();
    const qsizetype at = out.lastIndexOf("peak ");
    return at < 0 ? -1 : out.mid(at + 5).split(' ').value(0).toLongLong();
}

QString processText(const std::vector<double>& seconds)
{
    if (seconds.empty())
        return "-";
    if (*std::min_element(seconds.begin(), seconds.end()) < 0)
        return "failed";
    return QString::number(median(seconds), 'f', 3);
}

QString cpuName()
{
    QFile cpu("/proc/cpuinfo");
    if (cpu.open(QIODevice::ReadOnly))
        for (const QByteArray& line : cpu.readAll().split('\n'))
            if (line.startsWith("model name"))
                return QString::fromLatin1(line.mid(line.indexOf(':') + 1).trimmed());
    return QSysInfo::currentCpuArchitecture();
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Times the reading and the whole load of synthetic surveys.");
    parser.addHelpOption();
    parser.addOption(
        {"sizes", "Points per file, comma-separated.", "list", "10000,100000,1000000"});
    parser.addOption({"repeat", "Runs of each measurement; the median is shown.", "n", "5"});
    parser.addOption({"dir", "Folder for the generated files (default: a temporary one).", "path"});
    parser.addOption(
        {"profile", "Only the ordered and the shuffled load, once per size (for a profiler)."});
    parser.addOption(
        {"load", "Only one load of the given files (for a profiler).", "source,receiver"});
    parser.addOption({"check",
                      "Only one load and one survey check of the given files (for a profiler).",
                      "source,receiver,relation"});
    parser.process(app);
    if (parser.isSet("check")) {
        const QStringList files = parser.value("check").split(',');
        const LoadResult once = runLoad(files.value(0), files.value(1));
        const double cpuBefore = processCpuSeconds();
        qsizetype findings = 0;
        const double seconds = runCheck(files.value(0), files.value(1), files.value(2), &findings);
        std::printf(
            "load %.3f s (%.3f s of processor time); check %.3f s (%.3f s), %lld findings\n",
            once.seconds, once.cpuSeconds, seconds, processCpuSeconds() - cpuBefore,
            qlonglong(findings));
        return 0;
    }
    if (parser.isSet("load")) {
        const QStringList files = parser.value("load").split(',');
        const LoadResult once = runLoad(files.value(0), files.value(1));
        std::printf("load %.3f s (%.3f s of processor time): %d shots, %d receivers; "
                    "peak %lld KiB\n",
                    once.seconds, once.cpuSeconds, once.shots, once.receivers,
                    ProcessMemory::PeakResidentKiB());
        return 0;
    }

    const int repeat = qMax(1, parser.value("repeat").toInt());
    QTemporaryDir temporary;
    const QString dir = parser.isSet("dir") ? parser.value("dir") : temporary.path();
    QDir().mkpath(dir);

    std::printf("spsbench: %d repetitions per figure (medians), %s, %d logical CPUs, Qt %s\n",
                repeat, qPrintable(cpuName()), QThread::idealThreadCount(), qVersion());
    std::printf("MB = 10^6 bytes; points/s and MB/s count both files; peak MB: the peak RSS "
                "of a process doing one load and nothing else (-1: it failed).\n\n");
    const QString spsload = QDir(QCoreApplication::applicationDirPath()).filePath("spsload");
    const bool haveSpsload = QFileInfo(spsload).isExecutable();
    std::printf(
        "%9s %7s | %7s %7s %7s | %7s %7s %9s %6s %8s %6s | %7s %6s | %7s %6s | %7s %6s | %7s | %7s "
        "%6s\n",
        "points", "MB", "floor", "rd fast", "rd gen", "load", "ld cpu", "points/s", "MB/s",
        "peak MB", "/floor", "ld gen", "gain", "shuffle", "ratio", "3D", "ratio", "spsload",
        "check", "/load");

    for (const QString& text : parser.value("sizes").split(',')) {
        const qint64 points = text.toLongLong();
        if (points <= 0)
            continue;
        // Ordered, shuffled, and 3D-shaped (short line names, points numbered
        // through the file, so that key order is not file order).
        QString paths[3][2];
        for (int shape = 0; shape < 3; ++shape) {
            for (int kind = 0; kind < 2; ++kind) {
                SPSSurveyGenerator::Options options;
                options.letter = kind == 0 ? u'S' : u'R';
                options.points = points;
                options.shuffled = shape == 1;
                options.shortNames = shape == 2;
                options.seed = 7;
                paths[shape][kind] = QDir(dir).filePath(QString("%1-%2%3")
                                                            .arg(points)
                                                            .arg(shape == 0   ? "ordered"
                                                                 : shape == 1 ? "shuffled"
                                                                              : "3d")
                                                            .arg(kind == 0 ? ".s" : ".r"));
                QString error;
                if (!SPSSurveyGenerator::Write(paths[shape][kind], options, &error))
                    qFatal("%s", qPrintable(error));
            }
        }
        if (parser.isSet("profile")) {
            const LoadResult once = runLoad(paths[0][0], paths[0][1]);
            const LoadResult shuffled = runLoad(paths[1][0], paths[1][1]);
            const LoadResult grid = runLoad(paths[2][0], paths[2][1]);
            std::printf("%9lld points per file: load %.3f s (%.3f s of processor time), "
                        "shuffled %.3f s (%.3f s), 3D %.3f s (%.3f s)\n",
                        points, once.seconds, once.cpuSeconds, shuffled.seconds,
                        shuffled.cpuSeconds, grid.seconds, grid.cpuSeconds);
            continue;
        }
        const double bytes = double(QFileInfo(paths[0][0]).size() + QFileInfo(paths[0][1]).size());
        const QString relations = QDir(dir).filePath(QString("%1-ordered.x").arg(points));
        {
            QString error;
            if (!SPSSurveyGenerator::WriteRelations(relations, points,
                                                    qMax<qint64>(10, points / 10), &error))
                qFatal("%s", qPrintable(error));
        }
        std::vector<double> check;
        qsizetype findings = 0;

        std::vector<double> floor, fast, general, load, loadCpu, loadGeneral, loadShuffled, load3D,
            shuffledRatio, gridRatio, process;
        qint64 peakKiB = 0;
        bool complete = true;
        for (int r = 0; r < repeat; ++r) {
            floor.push_back(
                timed([&] { g_Sink = double(readBytes(paths[0][0]) + readBytes(paths[0][1])); }));
            fast.push_back(timed([&] {
                g_Sink = readRows(paths[0][0], u'S', false) + readRows(paths[0][1], u'R', false);
            }));
            general.push_back(timed([&] {
                g_Sink = readRows(paths[0][0], u'S', true) + readRows(paths[0][1], u'R', true);
            }));
            // The three shapes back to back, so that each ratio compares loads
            // made at nearly the same moment: this machine's speed drifts
            // within seconds.
            const LoadResult ordered = runLoad(paths[0][0], paths[0][1]);
            const LoadResult shuffled = runLoad(paths[1][0], paths[1][1]);
            const LoadResult grid = runLoad(paths[2][0], paths[2][1]);
            load.push_back(ordered.seconds);
            loadCpu.push_back(ordered.cpuSeconds);
            loadShuffled.push_back(shuffled.seconds);
            load3D.push_back(grid.seconds);
            shuffledRatio.push_back(shuffled.seconds / ordered.seconds);
            gridRatio.push_back(grid.seconds / ordered.seconds);
            complete &= ordered.shots == points && ordered.receivers == points;
            complete &= grid.shots == points && grid.receivers == points;
            const qint64 peak = loadPeakKiB(paths[0][0], paths[0][1]);
            peakKiB = peak < 0 || peakKiB < 0 ? -1 : qMax(peakKiB, peak);
            SPSReadOptions general;
            general.generalPath = true;
            loadGeneral.push_back(runLoad(paths[0][0], paths[0][1], general).seconds);
            if (haveSpsload)
                process.push_back(runSpsload(spsload, paths[0][0], paths[0][1]));
            check.push_back(runCheck(paths[0][0], paths[0][1], relations, &findings));
        }
        const double tLoad = median(load);
        const double tFloor = median(floor);
        const double tCheck = median(check);
        std::printf("%9lld %7.1f | %7.4f %7.3f %7.3f | %7.3f %7.3f %9.3g %6.0f %8.0f %6.1f | "
                    "%7.3f %6.1f | %7.3f %6.2f | %7.3f %6.2f | %7s | %7s %6.2f%s\n",
                    points, bytes / 1e6, tFloor, median(fast), median(general), tLoad,
                    median(loadCpu), 2.0 * double(points) / tLoad, bytes / 1e6 / tLoad,
                    peakKiB < 0 ? -1.0 : double(peakKiB) * 1024 / 1e6, tLoad / tFloor,
                    median(loadGeneral), median(loadGeneral) / tLoad, median(loadShuffled),
                    median(shuffledRatio), median(load3D), median(gridRatio),
                    qPrintable(processText(process)), qPrintable(processText(check)),
                    tCheck / tLoad, complete ? "" : "  (points missing!)");
        std::printf("%9s (the check listed %lld findings)\n", "", qlonglong(findings));
        std::fflush(stdout);
        for (const auto& pair : paths)
            for (const QString& path : pair)
                QFile::remove(path);
        QFile::remove(relations);
    }
    return 0;
}
