#pragma once

#include "VeObject.h"

// One task a plug-in offers: the class name the host creates the task from, and
// the caption of the host's task list.
class VePluginTaskObject : public VeObject
{
    Q_OBJECT
public:
    VePluginTaskObject(const QString& taskClassName, const QString& caption,
                       QObject* parent = nullptr);

    QString GetTaskClassName() const { return m_strTaskClassName; }
    QString GetCaption() const { return m_strCaption; }

private:
    QString m_strTaskClassName;
    QString m_strCaption;
};
