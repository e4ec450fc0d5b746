#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include "VePluginObject.h"

// Loads the host's plug-ins. A plug-in library stays loaded for the life of the
// process: objects, dialogs and threads made from its code may outlive any window.
class VePluginManager : public QObject
{
    Q_OBJECT
public:
    explicit VePluginManager(QObject* parent = nullptr);
    ~VePluginManager() override;

    // Loads every library of the folder in file-name order and answers how many
    // were taken in. Each failure is written to the events log; none stops the rest.
    int LoadFolder(const QString& folder);
    // Loads one plug-in library; false with the reason when it is not taken in.
    bool LoadFile(const QString& path, QString* errorText = nullptr);

    // The plug-ins taken in, in load order; one destroyed meanwhile is left out.
    QList<VePluginObject*> Plugins() const;
    QString FileOf(const VePluginObject* plugin) const;

private:
    struct Entry
    {
        QString fileName;
        QPointer<VePluginObject> object;
    };
    QList<Entry> m_Entries;
};
