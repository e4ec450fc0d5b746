#include "SPSLoadCommand.h"
#include "VeSurveyMapImage.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>

#include <csignal>
#include <cstdio>
#include <memory>

namespace {
QtMessageHandler s_previousHandler = nullptr;

// Qt Gui notes on standard error that the session has no runtime folder, as a
// command run from a script or by another user often has not; standard error
// carries the command's own lines only.
void dropRuntimeFolderNotice(QtMsgType type, const QMessageLogContext& context,
                             const QString& message)
{
    if (type == QtWarningMsg &&
        message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    s_previousHandler(type, context, message);
}
} // namespace

int main(int argc, char** argv)
{
    // A write past the file-size limit fails as on a full disk, and is reported
    // so, the former file kept, instead of the signal ending the program unheard.
    std::signal(SIGXFSZ, SIG_IGN);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // Only a map needs Qt Gui (its fonts); without one the command stays a core
    // program that no display setting can stop.
    std::unique_ptr<QCoreApplication> app;
    if (SPSLoadCommand::WantsMap(arguments)) {
        UseOffscreenPlatformWithoutDisplay();
        s_previousHandler = qInstallMessageHandler(dropRuntimeFolderNotice);
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("spsload"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SPSLOAD_VERSION));

    QFile out, err;
    out.open(stdout, QIODevice::WriteOnly);
    err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    SPSLoadCommand command(&out, &err);
    int status = command.Run(QCoreApplication::arguments());
    if (!out.flush() && status == SPSLoadCommand::ExitLoaded) {
        err.write("error: cannot write to standard output\n");
        status = SPSLoadCommand::ExitFailed;
    }
    return status;
}
