#include "VePluginObject.h"

#include "VePluginTaskObject.h"

VePluginObject::VePluginObject(QObject* parent) : VeObject(parent) {}

// The host's base owns the announced task objects.
VePluginObject::~VePluginObject()
{
    qDeleteAll(m_TaskObjects);
}

VePluginTaskObject::VePluginTaskObject(const QString& taskClassName, const QString& caption,
                                       QObject* parent)
    : VeObject(parent), m_strTaskClassName(taskClassName), m_strCaption(caption)
{
    m_strName = caption;
}
