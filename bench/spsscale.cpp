// spsscale [--points N] [--repeat R] [--dir DIR]: the survey check and the host
// at survey scale. Writes a survey of N shots and N receivers with three
// relation files (a clean one recorded shot by shot, one whose relation leaves
// most shots out, one naming shots the S file lacks), runs spsload and spshost
// (offscreen) on them as a user would, each in a process of its own, and prints
// each run's time and peak memory beside the plain load of the same files.
#include "SPSSurveyGenerator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

struct Run
{
    double seconds = 0;
    qint64 peakKiB = 0; // the process's peak resident size
    int status = -1;
    QByteArray err; // what it wrote to standard error
};

// Runs the program with its output and errors in files of the folder, and the
// extra environment variables added.
Run runProcess(const QStringList& command, const QDir& dir, const QStringList& extraEnv = {})
{
    const QByteArray outPath = dir.filePath(QStringLiteral("run.out")).toLocal8Bit();
    const QByteArray errPath = dir.filePath(QStringLiteral("run.err")).toLocal8Bit();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    std::vector<QByteArray> args;
    for (const QString& a : command)
        args.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<QByteArray> env;
    for (char** e = environ; *e; ++e)
        env.emplace_back(*e);
    for (const QString& e : extraEnv)
        env.push_back(e.toLocal8Bit());
    std::vector<char*> envp;
    for (QByteArray& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    Run run;
    QElapsedTimer clock;
    clock.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        qFatal("cannot run %s", argv[0]);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        qFatal("cannot wait for %s", argv[0]);
    run.seconds = clock.nsecsElapsed() / 1e9;
    run.peakKiB = usage.ru_maxrss;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    QFile err(QString::fromLocal8Bit(errPath));
    if (err.open(QIODevice::ReadOnly))
        run.err = err.readAll();
    return run;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

struct Row
{
    const char* what;
    QStringList command;
    bool host = false;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("The survey check and the host at survey scale, against the plain load."));
    parser.addHelpOption();
    parser.addOption({"points", "Shots and receivers each (default 1000000).", "n", "1000000"});
    parser.addOption({"repeat", "Runs of each row; the median is shown (default 3).", "n", "3"});
    parser.addOption({"dir", "Folder for the survey (default: a temporary one).", "dir"});
    parser.process(app);
    const qint64 points = parser.value("points").toLongLong();
    const int repeat = qMax(1, parser.value("repeat").toInt());

    QTemporaryDir temporary;
    const QDir dir(parser.isSet("dir") ? parser.value("dir") : temporary.path());
    QDir().mkpath(dir.path());
    const QDir programs(QCoreApplication::applicationDirPath());
    const QString spsload = programs.filePath(QStringLiteral("spsload"));
    const QString spshost = programs.filePath(QStringLiteral("spshost"));
    for (const QString& p : {spsload, spshost})
        if (!QFile::exists(p))
            qFatal("%s is not built beside spsscale", qPrintable(p));

    const QString s = dir.filePath(QStringLiteral("survey.s"));
    const QString r = dir.filePath(QStringLiteral("survey.r"));
    const QString clean = dir.filePath(QStringLiteral("clean.x"));
    const QString sparse = dir.filePath(QStringLiteral("sparse.x"));
    const QString stray = dir.filePath(QStringLiteral("stray.x"));
    QString error;
    SPSSurveyGenerator::Options options;
    options.points = points;
    options.letter = u'S';
    bool ok = SPSSurveyGenerator::Write(s, options, &error);
    options.letter = u'R';
    ok = ok && SPSSurveyGenerator::Write(r, options, &error) &&
         SPSSurveyGenerator::WritePatchRelations(clean, points, &error) &&
         SPSSurveyGenerator::WriteRelations(sparse, points, points, &error) &&
         SPSSurveyGenerator::WritePatchRelations(stray, points, &error, true);
    if (!ok)
        qFatal("cannot write the survey: %s", qPrintable(error));
    // Half a gigabyte just written is still being written back: the first runs
    // would share the disk with it, the plain load most, and every ratio would
    // shrink. Flush it, and run the plain load once untimed.
    ::sync();
    const QString report = dir.filePath(QStringLiteral("report.csv"));
    const QString picture = dir.filePath(QStringLiteral("picture.png"));

    const QStringList host{spshost,
                           QStringLiteral("--screenshot"),
                           picture,
                           QStringLiteral("--screenshot-delay"),
                           QStringLiteral("0"),
                           QStringLiteral("--load")};
    const std::vector<Row> rows{
        {"spsload (plain load)", {spsload, s, r}},
        {"spsload --check, clean relation", {spsload, QStringLiteral("--check"), s, r, clean}},
        {"spsload --check --report, sparse relation",
         {spsload, QStringLiteral("--check"), QStringLiteral("--report"), report, s, r, sparse}},
        {"spsload --check --report, stray shots",
         {spsload, QStringLiteral("--check"), QStringLiteral("--report"), report, s, r, stray}},
        {"spshost --load --screenshot, clean", host + QStringList{s, r, clean}, true},
        {"spshost --load --screenshot, sparse", host + QStringList{s, r, sparse}, true},
        {"spshost --load --screenshot, stray shots", host + QStringList{s, r, stray}, true},
    };
    const QStringList hostEnv{QStringLiteral("QT_QPA_PLATFORM=offscreen"),
                              QStringLiteral("SPSHOST_STALL_REPORT=1")};
    static const QRegularExpression stallPattern(
        QStringLiteral("longest UI-thread stall: (\\d+) ms"));
    static const QRegularExpression checkPattern(QStringLiteral("^check: [a-z-]+: (\\d+)$"),
                                                 QRegularExpression::MultilineOption);

    std::printf("%lld shots, %lld receivers, %lld relation rows per file; median of %d runs\n\n",
                points, points, points, repeat);
    std::printf("%-44s %9s %9s %8s %8s %9s %10s\n", "run", "seconds", "x load", "peak MB", "x load",
                "findings", "stall ms");
    if (const Run warm = runProcess(rows.front().command, dir); warm.status != 0)
        qFatal("%s exited %d: %s", rows.front().what, warm.status, warm.err.constData());
    double loadSeconds = 0;
    double loadMB = 0;
    for (const Row& row : rows) {
        std::vector<double> seconds;
        qint64 peak = 0;
        qint64 stall = -1;
        qint64 findings = -1;
        for (int i = 0; i < repeat; ++i) {
            const Run run = runProcess(row.command, dir, row.host ? hostEnv : QStringList{});
            if (run.status != 0)
                qFatal("%s exited %d: %s", row.what, run.status, run.err.constData());
            seconds.push_back(run.seconds);
            peak = qMax(peak, run.peakKiB);
            if (const auto m = stallPattern.match(QString::fromUtf8(run.err)); m.hasMatch())
                stall = qMax(stall, m.captured(1).toLongLong());
            if (!row.host) {
                QFile out(dir.filePath(QStringLiteral("run.out")));
                out.open(QIODevice::ReadOnly);
                const QString text = QString::fromUtf8(run.err + out.readAll());
                qint64 count = 0;
                for (auto it = checkPattern.globalMatch(text); it.hasNext();)
                    count += it.next().captured(1).toLongLong();
                if (text.contains(QLatin1String("check:")))
                    findings = count;
            }
        }
        const double t = median(seconds);
        const double mb = peak / 1024.0;
        if (loadSeconds == 0) {
            loadSeconds = t;
            loadMB = mb;
        }
        std::printf("%-44s %9.3f %9.2f %8.0f %8.2f %9s %10s\n", row.what, t, t / loadSeconds, mb,
                    mb / loadMB, findings < 0 ? "" : qPrintable(QString::number(findings)),
                    stall < 0 ? "" : qPrintable(QString::number(stall)));
        std::fflush(stdout);
    }
    return 0;
}
