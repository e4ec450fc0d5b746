// spshost: a small host window to use the plug-ins with a mouse.
#include "SPSCatalogue.h"
#include "SPSFileAccess.h"
#include "VeHostMainWindow.h"
#include "VeSPSLoadScript.h"
#include "VeSurveyCheckRunner.h"
#include "VeThreadRegistry.h"

#include <QApplication>
#include <QBuffer>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace {
// A build keeps the plug-ins beside the program; an installed program finds
// them where the install put them, relative to its own folder.
QString DefaultPluginFolder()
{
    const QDir programDir(QApplication::applicationDirPath());
    const QString beside = programDir.filePath(QStringLiteral("plugins"));
    if (QFileInfo(beside).isDir())
        return beside;
    return QDir::cleanPath(programDir.filePath(QStringLiteral(SPS_BIN_TO_PLUGINS)));
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("spshost"));
    // The plug-in loads its own; this one translates the window's texts.
    InstallSPSCatalogue(
        QDir(QApplication::applicationDirPath()).filePath(QStringLiteral(SPS_BIN_TO_TRANSLATIONS)),
        QLocale());

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QApplication::translate("spshost", "A small host for the seismic survey plug-ins."));
    parser.addHelpOption();
    const QCommandLineOption pluginsOption(
        QStringLiteral("plugins"),
        QApplication::translate("spshost", "Load the plug-ins of DIR (default: the installed "
                                           "plug-in folder, or plugins/ beside the program in "
                                           "a build folder)."),
        QStringLiteral("DIR"));
    const QCommandLineOption screenshotOption(
        QStringLiteral("screenshot"),
        QApplication::translate("spshost", "Save a picture of the window to FILE (PNG) and quit."),
        QStringLiteral("FILE"));
    const QCommandLineOption delayOption(
        QStringLiteral("screenshot-delay"),
        QApplication::translate("spshost", "Wait MS milliseconds before the picture (default "
                                           "1000)."),
        QStringLiteral("MS"), QStringLiteral("1000"));
    const QCommandLineOption loadOption(
        QStringLiteral("load"),
        QApplication::translate("spshost", "Load SOURCE and RECEIVER (and RELATION) into a new "
                                           "geometry through the \"SPS loader\" task, as its "
                                           "dialog's OK would."));
    parser.addOptions({pluginsOption, loadOption, screenshotOption, delayOption});
    parser.addPositionalArgument(
        QStringLiteral("SOURCE"),
        QApplication::translate("spshost", "With --load: the source-point (S) file."),
        QStringLiteral("[SOURCE"));
    parser.addPositionalArgument(
        QStringLiteral("RECEIVER"),
        QApplication::translate("spshost", "With --load: the receiver-point (R) file."),
        QStringLiteral("RECEIVER"));
    parser.addPositionalArgument(
        QStringLiteral("RELATION"),
        QApplication::translate("spshost", "With --load: the relation (X) file."),
        QStringLiteral("[RELATION]]"));
    parser.process(app);

    const QString pluginFolder =
        parser.isSet(pluginsOption) ? parser.value(pluginsOption) : DefaultPluginFolder();
    bool delayOk = false;
    const int delay = parser.value(delayOption).toInt(&delayOk);
    if (!delayOk || delay < 0) {
        std::fprintf(stderr, "spshost: --screenshot-delay needs a number of milliseconds\n");
        return 2;
    }

    const QStringList files = parser.positionalArguments();
    const bool load = parser.isSet(loadOption);
    if (load ? files.size() < 2 || files.size() > 3 : !files.isEmpty()) {
        std::fprintf(stderr, "spshost: %s\n",
                     load ? "--load needs SOURCE and RECEIVER, and takes an optional RELATION"
                          : "files are read only with --load");
        return 2;
    }

    VeHostMainWindow window(pluginFolder);
    window.show();

    if (load) {
        QString error;
        if (!StartSPSLoaderTask(&window, files, &error)) {
            std::fprintf(stderr, "spshost: cannot load: %s\n", qPrintable(error));
            // A picture is taken of a loaded survey or not at all.
            if (parser.isSet(screenshotOption))
                return 1;
        }
    }

    int screenshotResult = 0;
    // Lives until the event loop ends: the timers it starts call it through a
    // reference to it.
    std::function<void()> waitForLoads;
    if (parser.isSet(screenshotOption)) {
        const QString file = parser.value(screenshotOption);
        const auto takePicture = [&window, &screenshotResult, file]() {
            // Encoded whole first, then written as every output is: a picture that
            // cannot be written leaves the former file as it was.
            QBuffer png;
            png.open(QIODevice::WriteOnly);
            QString reason;
            bool written = window.grab().save(&png, "PNG");
            if (!written)
                reason = QApplication::translate("spshost", "the picture cannot be encoded");
            else
                written = SPSOutputFile::Write(file, png.data(), &reason);
            if (!written) {
                std::fprintf(stderr, "spshost: cannot write the picture to %s: %s\n",
                             qPrintable(file), qPrintable(reason));
                screenshotResult = 1;
            }
            window.close();
        };
        // The delay counts from the end of the loads and their checks, so the
        // picture shows what they brought.
        waitForLoads = [&window, &waitForLoads, takePicture, delay]() {
            if (VeThreadRegistry::Instance()->RunningCount() > 0 ||
                window.CheckRunner()->RunningCount() > 0)
                QTimer::singleShot(100, &window, waitForLoads);
            else
                QTimer::singleShot(delay, &window, takePicture);
        };
        waitForLoads();
    }
    const int result = app.exec();
    return result != 0 ? result : screenshotResult;
}
