// spshost: a small host window to use the plug-ins with a mouse.
#include "SPSCatalogue.h"
#include "SPSFileAccess.h"
#include "SPSFold.h"
#include "VeFoldController.h"
#include "VeHostMainWindow.h"
#include "VeSPSLoadScript.h"
#include "VeSurveyCheckRunner.h"
#include "VeSurveyMapImage.h"
#include "VeSurveyMapWidget.h"
#include "VeThreadRegistry.h"
#include "VeUiStallMonitor.h"

#include <QApplication>
#include <QBuffer>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <memory>

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

// The command line's options, their texts translated once a catalogue is in.
struct HostOptions
{
    QCommandLineOption plugins{
        QStringLiteral("plugins"),
        QCoreApplication::translate("spshost", "Load the plug-ins of DIR (default: the installed "
                                               "plug-in folder, or plugins/ beside the program "
                                               "in a build folder)."),
        QStringLiteral("DIR")};
    QCommandLineOption screenshot{
        QStringLiteral("screenshot"),
        QCoreApplication::translate("spshost", "Save a picture of the window to FILE (PNG) and "
                                               "quit; no display is needed."),
        QStringLiteral("FILE")};
    QCommandLineOption delay{QStringLiteral("screenshot-delay"),
                             QCoreApplication::translate("spshost", "Wait MS milliseconds before "
                                                                    "the picture (default 1000)."),
                             QStringLiteral("MS"), QStringLiteral("1000")};
    QCommandLineOption fold{
        QStringLiteral("fold"),
        QCoreApplication::translate("spshost", "Show the fold on the map from the start (View > "
                                               "Show fold on the map).")};
    QCommandLineOption bin{QStringLiteral("bin"),
                           QCoreApplication::translate("spshost",
                                                       "The fold's bin size along and across the "
                                                       "receiver lines (default: half the median "
                                                       "station spacings)."),
                           QStringLiteral("DX,DY")};
    QCommandLineOption load{
        QStringLiteral("load"),
        QCoreApplication::translate("spshost", "Load SOURCE and RECEIVER (and RELATION) into a "
                                               "new geometry through the \"SPS loader\" task, "
                                               "as its dialog's OK would.")};
};

void SetUpParser(QCommandLineParser& parser, const HostOptions& options)
{
    parser.setApplicationDescription(
        QCoreApplication::translate("spshost", "A small host for the seismic survey plug-ins."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({options.plugins, options.load, options.fold, options.bin, options.screenshot,
                       options.delay});
    parser.addPositionalArgument(
        QStringLiteral("SOURCE"),
        QCoreApplication::translate("spshost", "With --load: the source-point (S) file."),
        QStringLiteral("[SOURCE"));
    parser.addPositionalArgument(
        QStringLiteral("RECEIVER"),
        QCoreApplication::translate("spshost", "With --load: the receiver-point (R) file."),
        QStringLiteral("RECEIVER"));
    parser.addPositionalArgument(
        QStringLiteral("RELATION"),
        QCoreApplication::translate("spshost", "With --load: the relation (X) file."),
        QStringLiteral("[RELATION]]"));
}

void SetUpApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("spshost"));
    QCoreApplication::setApplicationVersion(
        QStringLiteral(SPSHOST_VERSION " (Qt %1)").arg(QLatin1String(qVersion())));
    // The plug-in loads its own; this one translates the window's texts.
    InstallSPSCatalogue(QDir(QCoreApplication::applicationDirPath())
                            .filePath(QStringLiteral(SPS_BIN_TO_TRANSLATIONS)),
                        QLocale());
}

bool DisplayMayBeThere(const QStringList& arguments)
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           arguments.contains(QLatin1String("-platform"));
}
} // namespace

int main(int argc, char* argv[])
{
    // Help and version need no window, so no display: they are given before
    // the window's application is built, which would fail without one.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    bool takesPicture = false;
    bool parsed = false;
    QString parseError;
    {
        QCommandLineParser early;
        const HostOptions untranslated;
        SetUpParser(early, untranslated);
        // Qt's own options (-platform, -style...) are unknown here; what was read still counts.
        parsed = early.parse(arguments);
        parseError = early.errorText();
        if (early.isSet(QStringLiteral("help")) || early.isSet(QStringLiteral("help-all")) ||
            early.isSet(QStringLiteral("version"))) {
            QCoreApplication app(argc, argv);
            SetUpApplication();
            QCommandLineParser parser;
            const HostOptions options;
            SetUpParser(parser, options);
            parser.process(app); // prints the help or the version and ends the program
            return 0;
        }
        takesPicture = early.isSet(untranslated.screenshot);
    }
    // A picture needs no screen: without a display it is taken offscreen.
    if (takesPicture) {
        UseOffscreenPlatformWithoutDisplay();
    } else if (!DisplayMayBeThere(arguments)) {
        // Said as the parser says it once the application is there.
        std::fprintf(stderr, "spshost: %s\n",
                     qPrintable(!parsed ? parseError
                                        : QCoreApplication::translate(
                                              "spshost", "no display to show the window on "
                                                         "(DISPLAY and WAYLAND_DISPLAY are not "
                                                         "set); --screenshot works without one")));
        return !parsed ? 1 : 2;
    }

    QApplication app(argc, argv);
    SetUpApplication();
    QCommandLineParser parser;
    const HostOptions options;
    SetUpParser(parser, options);
    const QCommandLineOption& pluginsOption = options.plugins;
    const QCommandLineOption& screenshotOption = options.screenshot;
    const QCommandLineOption& delayOption = options.delay;
    const QCommandLineOption& loadOption = options.load;
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

    SPSFoldOptions bins;
    if (QString reason; parser.isSet(options.bin) &&
                        !SPSFold::ReadBinSize(parser.value(options.bin), &bins, &reason)) {
        std::fprintf(stderr, "spshost: %s\n", qPrintable(reason));
        return 2;
    }

    VeHostMainWindow window(pluginFolder);
    window.FoldController()->SetBinSize(bins.binX, bins.binY);
    if (parser.isSet(options.fold))
        window.FoldLayerAction()->setChecked(true);
    window.show();

    // SPSHOST_STALL_REPORT=1: on leaving, say how long the window went without
    // handling events at worst (the benchmarks read it).
    VeUiStallMonitor stalls;
    const bool reportStalls = !qEnvironmentVariableIsEmpty("SPSHOST_STALL_REPORT");
    if (reportStalls)
        stalls.Start();

    // SPSHOST_FOLD_REPORT=1: say when the fold first showed on the map, from
    // the end of the check (negative: before it; the benchmarks read it).
    QElapsedTimer clock;
    clock.start();
    qint64 checkEnded = -1, foldShown = -1;
    const auto reportFold = [&checkEnded, &foldShown]() {
        if (checkEnded >= 0 && foldShown >= 0)
            std::fprintf(stderr, "spshost: fold shown %lld ms after the check's end\n",
                         foldShown - checkEnded);
    };
    if (!qEnvironmentVariableIsEmpty("SPSHOST_FOLD_REPORT")) {
        QObject::connect(window.CheckRunner(), &VeSurveyCheckRunner::sigFinished, &window, [&]() {
            if (checkEnded < 0) {
                checkEnded = clock.elapsed();
                reportFold();
            }
        });
        QObject::connect(window.MapWidget(), &VeSurveyMapWidget::sigDrawn, &window, [&]() {
            if (foldShown < 0 && window.MapWidget()->FoldLayer()) {
                foldShown = clock.elapsed();
                reportFold();
            }
        });
    }

    // Everything the picture waits on lives as long as the run: it is taken
    // when the load and its check have ended, however long they take.
    const bool screenshot = parser.isSet(screenshotOption);
    const QString pictureFile = parser.value(screenshotOption);
    int screenshotResult = 0;
    bool pictureDone = false; // taken, refused or failed: exit says so already
    const auto takePicture = [&window, &screenshotResult, &pictureDone, &pictureFile]() {
        pictureDone = true;
        // Encoded whole first, then written as every output is: a picture that
        // cannot be written leaves the former file as it was.
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        QString reason;
        bool written = window.grab().save(&png, "PNG");
        if (!written)
            reason = QApplication::translate("spshost", "the picture cannot be encoded");
        else
            written = SPSOutputFile::Write(pictureFile, png.data(), &reason);
        if (!written) {
            std::fprintf(stderr, "spshost: cannot write the picture to %s: %s\n",
                         qPrintable(pictureFile), qPrintable(reason));
            screenshotResult = 1;
        }
        window.close();
    };
    // The map draws off the UI thread: the picture waits for its finished image.
    const auto takePictureWhenDrawn = [&window, takePicture]() {
        VeSurveyMapWidget* map = window.MapWidget();
        if (!map->IsDrawing()) {
            takePicture();
            return;
        }
        auto waiting = std::make_shared<QMetaObject::Connection>();
        *waiting =
            QObject::connect(map, &VeSurveyMapWidget::sigDrawn, &window, [waiting, takePicture]() {
                QObject::disconnect(*waiting);
                takePicture();
            });
    };

    VeSPSLoadScript loadScript(&window);
    if (load) {
        QString error;
        if (!loadScript.Start(files, &error)) {
            std::fprintf(stderr, "spshost: cannot load: %s\n", qPrintable(error));
            // A picture is taken of a loaded survey or not at all.
            if (screenshot)
                return 1;
        }
        QObject::connect(&loadScript, &VeSPSLoadScript::sigFinished, &window,
                         [&](bool ok, const QString& reason) {
                             if (!ok)
                                 std::fprintf(stderr, "spshost: the load failed: %s\n",
                                              qPrintable(reason));
                             if (!screenshot)
                                 return;
                             if (!ok) {
                                 pictureDone = true;
                                 screenshotResult = 1;
                                 window.close();
                                 return;
                             }
                             // The delay counts from the end of the load, its check
                             // and its fold, so the picture shows what they brought.
                             QTimer::singleShot(delay, &window, takePictureWhenDrawn);
                         });
    } else if (screenshot) {
        QTimer::singleShot(delay, &window, takePictureWhenDrawn);
    }

    const int result = app.exec();
    if (reportStalls)
        std::fprintf(stderr, "spshost: longest UI-thread stall: %lld ms (%lld ticks)\n",
                     qint64(stalls.LongestStallMs()), qint64(stalls.Ticks()));
    if (result != 0)
        return result;
    if (screenshot && !pictureDone) {
        std::fprintf(stderr, "spshost: the window was closed before the picture was taken\n");
        return 1;
    }
    return screenshotResult;
}
