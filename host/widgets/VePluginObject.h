#pragma once

#include "VeObject.h"

#include <QDateTime>
#include <QList>

class VePluginTaskObject;

// The object a plug-in hands to the host: it names the plug-in and lists the
// tasks the plug-in offers.
class VePluginObject : public VeObject
{
    Q_OBJECT
public:
    explicit VePluginObject(QObject* parent = nullptr);
    ~VePluginObject() override;

    // Whether the plug-in can be used in this host.
    virtual bool IsPluginValid() const = 0;
    // When the plug-in says it was made; the host shows it in its plug-in list.
    virtual QDateTime GetPluginDateTime() const = 0;
    virtual double GetPluginVersion() const = 0;
    // Called once the host has taken the plug-in in.
    virtual void InitPlugin() = 0;

    QList<VePluginTaskObject*> GetTaskObjects() const { return m_TaskObjects; }

protected:
    QList<VePluginTaskObject*> m_TaskObjects;
};

// The host's plug-in interface identifier.
#define VePluginObject_iid "org.orka.seismic.VePluginObject/1.0"
Q_DECLARE_INTERFACE(VePluginObject, VePluginObject_iid)
