#include "VeSeismicSurveyPlugin.h"

#include "VePluginTaskObject.h"
#include "VeTaskSPSFilesLoader.h"

#include <QtGlobal>

VeSeismicSurveyPlugin::VeSeismicSurveyPlugin()
{
    SetName(tr("Seismic Survey"));
    SetID(VeObject::CreateUniqueID());
    // The class name is the one of the task's class record; the host's base
    // releases the task objects with the plug-in object. Taking it from the
    // record also makes this module need the library that holds the records
    // and the menu bindings: a host that loads only the module gets them too.
    m_TaskObjects.append(new VePluginTaskObject(
        QString::fromLatin1(VeTaskSPSFilesLoader::GetThisClass()->m_lpszClassName),
        tr("SPS loader")));
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
