// spshost: a small host window to use the plug-ins with a mouse.
#include "VeHostMainWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("spshost"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QApplication::translate("spshost", "A small host for the seismic survey plug-ins."));
    parser.addHelpOption();
    const QCommandLineOption pluginsOption(
        QStringLiteral("plugins"),
        QApplication::translate("spshost", "Load the plug-ins of DIR (default: plugins/ beside "
                                           "the program)."),
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
    parser.addOptions({pluginsOption, screenshotOption, delayOption});
    parser.process(app);

    const QString pluginFolder =
        parser.isSet(pluginsOption)
            ? parser.value(pluginsOption)
            : QDir(QApplication::applicationDirPath()).filePath(QStringLiteral("plugins"));
    bool delayOk = false;
    const int delay = parser.value(delayOption).toInt(&delayOk);
    if (!delayOk || delay < 0) {
        std::fprintf(stderr, "spshost: --screenshot-delay needs a number of milliseconds\n");
        return 2;
    }

    VeHostMainWindow window(pluginFolder);
    window.show();

    int screenshotResult = 0;
    if (parser.isSet(screenshotOption)) {
        const QString file = parser.value(screenshotOption);
        QTimer::singleShot(delay, &window, [&window, &screenshotResult, file]() {
            if (!window.grab().save(file, "PNG")) {
                std::fprintf(stderr, "spshost: cannot write the picture to %s\n", qPrintable(file));
                screenshotResult = 1;
            }
            window.close();
        });
    }
    const int result = app.exec();
    return result != 0 ? result : screenshotResult;
}
