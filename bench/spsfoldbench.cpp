// spsfoldbench: times the fold of a large synthetic survey against the plain
// load of its S and R files.
//
// The survey: S and R files of the generator, both lines 25 m apart, so that
// shots and receivers cover one area of 25 km by 25 km; an X file with one
// field record per shot, each recording the channels (240 unless told) of the
// receivers about it, on one receiver line or spread over several. The tables
// are read from the files first (not timed), then the fold is computed from
// them as often as asked: its time (median), the traces per second, and the
// peak memory it adds to the process. The plain load of the same S and R
// files is timed by spsbench --load in a process of its own, when spsbench
// stands beside this program.
#include "ProcessMemory.h"
#include "SPSFold.h"
#include "SPSLayout.h"
#include "SPSRowReader.h"
#include "SPSSurveyGenerator.h"
#include "VeTaskSPSFilesLoaderParam.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
constexpr qint64 kPointsPerLine = 1000; // as the generator writes them

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return double(t.tv_sec) + double(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// One X row per receiver line of each shot's patch: the lines next to the
// shot, `lines` of them three lines (75 m) apart, `channels` in all, centred
// on the receiver nearest the shot.
bool writeRelations(const QString& path, qint64 points, int channels, int lines, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = file.errorString();
        return false;
    }
    const qint64 lineCount = points / kPointsPerLine;
    const int perLine = channels / lines;
    QByteArray out;
    for (qint64 shot = 0; shot < points; ++shot) {
        const qint64 sourceIndex = shot / kPointsPerLine; // its x is 25 m times this
        const qint64 station = shot % kPointsPerLine + 1; // its y is 25 m times this
        const qint64 sourceLine = 5001 + sourceIndex;
        const qint64 sourcePoint = sourceLine * 10000 + station;
        // Every other source line takes the receiver line one further, so that
        // midpoints fall on every bin row.
        const qint64 nearestLine = std::min(station + sourceIndex % 2, lineCount - 1);
        const qint64 nearestStation = std::clamp<qint64>(sourceIndex, 1, kPointsPerLine);
        const qint64 first =
            std::clamp<qint64>(nearestStation - perLine / 2 + 1, 1, kPointsPerLine - perLine + 1);
        char tape[16];
        std::snprintf(tape, sizeof tape, "T%03lld", shot / 9999 % 1000 + 1);
        for (int k = 0; k < lines; ++k) {
            // Lines three apart: the patch's midpoints fall on every bin row.
            const qint64 offset = 3 * k - 3 * (lines - 1) / 2;
            const qint64 r = std::clamp<qint64>(nearestLine + offset, 0, lineCount - 1);
            const qint64 receiverLine = 1001 + r;
            char row[128];
            const int length = std::snprintf(
                row, sizeof row, "X%6s%4lld11%-16lld%8lld1%4lld%4lld1%-16lld%8lld%8lld1\r\n", tape,
                shot % 9999 + 1, sourceLine, sourcePoint, qint64(k) * perLine + 1,
                qint64(k + 1) * perLine, receiverLine, receiverLine * 10000 + first,
                receiverLine * 10000 + first + perLine - 1);
            out.append(row, length);
        }
        if (out.size() > (1 << 20)) {
            if (file.write(out) != out.size()) {
                *error = file.errorString();
                return false;
            }
            out.clear();
        }
    }
    if (file.write(out) != out.size() || !file.flush()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

// The fields a file's rows hold, through the layout table as the load reads them.
struct Columns
{
    explicit Columns(SPSLayout::File file) : file(file) {}
    double Read(const SPSRowReader& reader, SPSLayout::Column column) const
    {
        const SPSLayout::Span span = SPSLayout::ColumnOf(param, file, column);
        return reader.RealField(span.pos, span.len);
    }
    VeTaskSPSFilesLoaderParam param;
    SPSLayout::File file;
};

std::vector<SPSFoldStation> readStations(const QString& path, QChar letter)
{
    using C = SPSLayout::Column;
    const Columns columns(letter == u'S' ? SPSLayout::File::Source : SPSLayout::File::Receiver);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot open %s", qPrintable(path));
    SPSRowReader reader(&file, letter, true, 0);
    std::vector<SPSFoldStation> stations;
    while (reader.NextRecord())
        stations.push_back({columns.Read(reader, C::Line), columns.Read(reader, C::Point),
                            columns.Read(reader, C::X), columns.Read(reader, C::Y)});
    return stations;
}

std::vector<SPSFoldRelation> readRelations(const QString& path)
{
    using C = SPSLayout::Column;
    const Columns columns(SPSLayout::File::Relation);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot open %s", qPrintable(path));
    SPSRowReader reader(&file, u'X', true, 0);
    std::vector<SPSFoldRelation> rows;
    while (reader.NextRecord()) {
        SPSFoldRelation r;
        r.record = columns.Read(reader, C::RecordNumber);
        r.sourceLine = columns.Read(reader, C::Line);
        r.sourcePoint = columns.Read(reader, C::Point);
        r.firstChannel = columns.Read(reader, C::FirstChannel);
        r.lastChannel = columns.Read(reader, C::LastChannel);
        r.channelIncrement = columns.Read(reader, C::ChannelIncrement);
        r.receiverLine = columns.Read(reader, C::ReceiverLine);
        r.firstReceiver = columns.Read(reader, C::FirstReceiverPoint);
        r.lastReceiver = columns.Read(reader, C::LastReceiverPoint);
        rows.push_back(r);
    }
    return rows;
}

// spsbench --load of the files: its seconds, processor seconds and peak KiB,
// or negative ones.
struct Load
{
    double seconds = -1;
    double cpuSeconds = -1;
    qint64 peakKiB = -1;
};

Load plainLoad(const QString& spsbench, const QString& source, const QString& receiver)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(spsbench, {"--load", source + "," + receiver});
    if (!process.waitForFinished(600000) || process.exitCode() != 0)
        return {};
    // "load 0.312 s (0.401 s of processor time): ... peak 104000 KiB"
    const QByteArray out = process.readAllStandardOutput();
    const qsizetype load = out.indexOf("load "), cpu = out.indexOf(" ("),
                    peak = out.lastIndexOf("peak ");
    if (load < 0 || cpu < 0 || peak < 0)
        return {};
    return {out.mid(load + 5).split(' ').value(0).toDouble(),
            out.mid(cpu + 2).split(' ').value(0).toDouble(),
            out.mid(peak + 5).split(' ').value(0).toLongLong()};
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Times the fold of a synthetic survey against the plain load of its files.");
    parser.addHelpOption();
    parser.addOption({"points", "Shots, and receivers, in the survey.", "n", "1000000"});
    parser.addOption({"channels", "Channels per shot.", "n", "240"});
    parser.addOption({"lines", "Receiver lines each shot records (X rows per shot).", "n", "1"});
    parser.addOption({"threads", "Worker threads of the fold (0: one per processor).", "n", "0"});
    parser.addOption({"repeat", "Runs of each measurement; the median is shown.", "n", "5"});
    parser.addOption({"dir", "Folder for the generated files (default: a temporary one).", "path"});
    parser.process(app);

    const qint64 points = std::max<qint64>(kPointsPerLine, parser.value("points").toLongLong());
    const int channels = std::max(1, parser.value("channels").toInt());
    const int lines = std::clamp(parser.value("lines").toInt(), 1, channels);
    const int repeat = std::max(1, parser.value("repeat").toInt());
    QTemporaryDir temporary;
    const QString dir = parser.isSet("dir") ? parser.value("dir") : temporary.path();
    QDir().mkpath(dir);
    const QString paths[3] = {QDir(dir).filePath("fold.s"), QDir(dir).filePath("fold.r"),
                              QDir(dir).filePath("fold.x")};
    for (int kind = 0; kind < 2; ++kind) {
        SPSSurveyGenerator::Options options;
        options.letter = kind == 0 ? u'S' : u'R';
        options.points = points;
        options.lineSpacing = 25;
        options.seed = 7;
        QString error;
        if (!SPSSurveyGenerator::Write(paths[kind], options, &error))
            qFatal("%s", qPrintable(error));
    }
    {
        QString error;
        if (!writeRelations(paths[2], points, channels, lines, &error))
            qFatal("%s", qPrintable(error));
    }

    const std::vector<SPSFoldStation> sources = readStations(paths[0], u'S');
    const std::vector<SPSFoldStation> receivers = readStations(paths[1], u'R');
    const std::vector<SPSFoldRelation> relations = readRelations(paths[2]);

    SPSFoldOptions options;
    options.threads = parser.value("threads").toInt();
    std::vector<double> seconds, cpuSeconds;
    qint64 addedKiB = 0, firstAddedKiB = 0;
    SPSFoldResult result;
    for (int r = 0; r < repeat; ++r) {
        result = SPSFoldResult(); // frees the former grid before the peak is taken anew
        ProcessMemory::ResetPeak();
        const qint64 before = ProcessMemory::ResidentKiB();
        const double cpuBefore = processCpuSeconds();
        QElapsedTimer timer;
        timer.start();
        QString error;
        if (!SPSFold::Compute(sources, receivers, relations, options, &result, &error))
            qFatal("%s", qPrintable(error));
        seconds.push_back(double(timer.nsecsElapsed()) / 1e9);
        cpuSeconds.push_back(processCpuSeconds() - cpuBefore);
        addedKiB = std::max(addedKiB, ProcessMemory::PeakResidentKiB() - before);
        if (r == 0)
            firstAddedKiB = addedKiB;
    }

    std::vector<double> loads, loadCpu;
    qint64 loadPeakKiB = -1;
    const QString spsbench = QDir(QCoreApplication::applicationDirPath()).filePath("spsbench");
    if (QFileInfo(spsbench).isExecutable())
        for (int r = 0; r < repeat; ++r) {
            const Load load = plainLoad(spsbench, paths[0], paths[1]);
            if (load.seconds < 0)
                break;
            loads.push_back(load.seconds);
            loadCpu.push_back(load.cpuSeconds);
            loadPeakKiB = std::max(loadPeakKiB, load.peakKiB);
        }

    const SPSFoldSummary& s = result.summary;
    const double fold = median(seconds);
    const int threads = options.threads > 0 ? options.threads : QThread::idealThreadCount();
    std::printf("spsfoldbench: %lld shots x %d channels on %d receiver line(s) a shot, "
                "%zu X rows; %d runs, medians; %d thread(s) asked\n",
                points, channels, lines, relations.size(), repeat, threads);
    std::printf("grid %d x %d bins of %g x %g, azimuth %.6f\n", result.grid.columns,
                result.grid.rows, result.grid.binX, result.grid.binY, result.grid.azimuth);
    std::printf("traces %lld binned, %lld skipped; %lld bins with fold; fold inside the "
                "outline min %u median %g max %u, %lld empty\n",
                s.traces, s.skippedTraces, s.binsWithFold, s.minFold, s.medianFold, s.maxFold,
                s.emptyBinsInside);
    std::printf("fold %.3f s (%.3f s of processor time; %.3g traces/s), peak memory +%.1f MB "
                "over the inputs in the first run, up to +%.1f MB in later ones\n",
                fold, median(cpuSeconds), double(s.traces) / fold,
                double(firstAddedKiB) * 1024 / 1e6, double(addedKiB) * 1024 / 1e6);
    std::printf("each run: %s\n", qPrintable([&] {
                    QStringList runs;
                    for (size_t r = 0; r < seconds.size(); ++r)
                        runs << QString("%1 s (%2 s)")
                                    .arg(seconds[r], 0, 'f', 3)
                                    .arg(cpuSeconds[r], 0, 'f', 3);
                    return runs.join(", ");
                }()));
    if (loads.empty())
        std::printf("plain load: spsbench not found beside this program\n");
    else
        std::printf("plain load of the S and R files %.3f s (%.3f s of processor time), peak "
                    "%.1f MB; fold / load %.2f (processor time %.2f)\n",
                    median(loads), median(loadCpu), double(loadPeakKiB) * 1024 / 1e6,
                    fold / median(loads), median(cpuSeconds) / median(loadCpu));
    return 0;
}
