#pragma once

// Runs a program to its end as a user or a script runs it (spsload, spshost,
// python3), and collects its exit status and what it wrote.

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace SPSTest {

// Long enough for the example survey's load under the sanitizers.
constexpr int kProgramTimeoutMs = 120000;

struct ProgramRun
{
    bool ended = false; // it exited by itself in time, not by a signal
    int status = -1;    // its exit status when it ended
    QByteArray out;
    QByteArray err;
};

// Waits for a started process (set up by the caller: limits, child set-up) to
// end; one that does not end in time is killed.
inline ProgramRun FinishProgram(QProcess& process, int timeoutMs = kProgramTimeoutMs)
{
    ProgramRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
    } else if (process.exitStatus() == QProcess::NormalExit) {
        run.ended = true;
        run.status = process.exitCode();
    }
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

// The test's environment as on a machine without a display where no platform
// was chosen: what a program shows, it must show offscreen by itself.
inline QProcessEnvironment EnvironmentWithoutDisplay()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    return environment;
}

enum class Display
{
    Inherited, // the test's own (offscreen under CTest)
    None,      // EnvironmentWithoutDisplay
};

inline ProgramRun RunProgram(const QString& program, const QStringList& arguments,
                             Display display = Display::Inherited,
                             int timeoutMs = kProgramTimeoutMs)
{
    QProcess process;
    if (display == Display::None)
        process.setProcessEnvironment(EnvironmentWithoutDisplay());
    process.start(program, arguments);
    return FinishProgram(process, timeoutMs);
}

} // namespace SPSTest
