#include "SPSCatalogue.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTranslator>
#include <QVariant>

namespace {
// Kept on the application itself, so that copies of this code in the host and
// in the plug-in's library know what the other installed.
constexpr char kInstalledProperty[] = "spsloaderCatalogues";
} // namespace

bool InstallSPSCatalogue(const QString& folder, const QLocale& locale)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return false;
    auto* translator = new QTranslator(app);
    if (!translator->load(locale, QStringLiteral("spsloader"), QStringLiteral("_"), folder)) {
        delete translator;
        return false;
    }
    const QString file = QFileInfo(translator->filePath()).canonicalFilePath();
    QStringList installed = app->property(kInstalledProperty).toStringList();
    if (installed.contains(file)) {
        delete translator;
        return true;
    }
    if (!QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    installed.append(file);
    app->setProperty(kInstalledProperty, installed);
    return true;
}
