#include "VeSeismicSurveyPlugin.h"

#include "SPSCatalogue.h"
#include "VePluginTaskObject.h"
#include "VeTaskSPSFilesLoader.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QtGlobal>

#include <dlfcn.h>

namespace {
// The installed catalogues lie at a fixed place relative to this module's file.
QString catalogueFolder()
{
    Dl_info info{};
    static const int anchor = 0;
    if (!dladdr(&anchor, &info) || !info.dli_fname)
        return QString();
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname))
        .absoluteDir()
        .filePath(QStringLiteral(SPS_PLUGINS_TO_TRANSLATIONS));
}
} // namespace

VeSeismicSurveyPlugin::VeSeismicSurveyPlugin()
{
    // Before the first translated text, which is the name just below.
    InstallSPSCatalogue(catalogueFolder(), QLocale());
    SetName(tr("Seismic Survey"));
    SetID(VeObject::CreateUniqueID());
    // Named through the task's class record, not by a string: the module then
    // needs the library that holds the task, its menu agency and their bindings,
    // so a linker that drops unused libraries keeps it, and loading the module
    // registers them. The host's base releases the task objects with the plug-in
    // object.
    m_TaskObjects.append(new VePluginTaskObject(
        QLatin1String(VeTaskSPSFilesLoader::GetThisClass()->m_lpszClassName), tr("SPS loader")));
}

VeSeismicSurveyPlugin::~VeSeismicSurveyPlugin() = default;

bool VeSeismicSurveyPlugin::IsPluginValid() const
{
    return true;
}

QDateTime VeSeismicSurveyPlugin::GetPluginDateTime() const
{
    return QDateTime::currentDateTime();
}

double VeSeismicSurveyPlugin::GetPluginVersion() const
{
    return 1.0;
}

void VeSeismicSurveyPlugin::InitPlugin() {}

// The verification record a Qt 4 plug-in loader checks against its own build.
// moc generates qt_plugin_instance (with its QPointer guard) for this module.
extern "C" Q_DECL_EXPORT const char* qt_plugin_query_verification_data()
{
    static const char data[] = "pattern=QT_PLUGIN_VERIFICATION_DATA\n"
                               "version=4.5.1\n"
                               "debug=false\n"
                               "buildkey=Windows msvc release full-config";
    return data;
}
