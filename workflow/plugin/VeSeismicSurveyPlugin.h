#pragma once

#include "VePluginObject.h"

// The plug-in object the host takes from the module: it names the plug-in and
// announces the "SPS loader" task.
class VeSeismicSurveyPlugin : public VePluginObject
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VePluginObject_iid)
    Q_INTERFACES(VePluginObject)
public:
    VeSeismicSurveyPlugin();
    ~VeSeismicSurveyPlugin() override;

    bool IsPluginValid() const override;
    // Now, at every call.
    QDateTime GetPluginDateTime() const override;
    double GetPluginVersion() const override;
    void InitPlugin() override;
};
