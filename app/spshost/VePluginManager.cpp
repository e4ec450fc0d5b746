#include "VePluginManager.h"

#include "VeEventsLog.h"
#include "VePluginObject.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QPluginLoader>

VePluginManager::VePluginManager(QObject* parent) : QObject(parent) {}

VePluginManager::~VePluginManager() = default;

int VePluginManager::LoadFolder(const QString& folder)
{
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists()) {
        OutputEventsLog(VeEventsLog::EventsLogWarning,
                        tr("The plug-in folder \"%1\" does not exist.").arg(folder));
        return 0;
    }
    int loaded = 0;
    const QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo& file : files) {
        // Notes and other files beside the plug-ins are not plug-ins.
        if (!QLibrary::isLibrary(file.fileName()))
            continue;
        QString error;
        if (LoadFile(file.absoluteFilePath(), &error))
            ++loaded;
        else
            OutputEventsLog(VeEventsLog::EventsLogError, error);
    }
    return loaded;
}

bool VePluginManager::LoadFile(const QString& path, QString* errorText)
{
    const QString fileName = QFileInfo(path).fileName();
    const auto fail = [errorText](const QString& text) {
        if (errorText)
            *errorText = text;
        return false;
    };

    // A relative path would be looked for in Qt's library paths, not here.
    QPluginLoader loader(QFileInfo(path).absoluteFilePath());
    QObject* instance = loader.instance();
    if (!instance)
        return fail(
            tr("The plug-in \"%1\" could not be loaded: %2").arg(fileName, loader.errorString()));
    auto* plugin = qobject_cast<VePluginObject*>(instance);
    if (!plugin)
        return fail(tr("The plug-in \"%1\" is not a plug-in of this host.").arg(fileName));
    for (const Entry& e : std::as_const(m_Entries))
        if (e.object == plugin)
            return fail(
                tr("The plug-in \"%1\" is already loaded from \"%2\".").arg(fileName, e.fileName));
    if (!plugin->IsPluginValid())
        return fail(tr("The plug-in \"%1\" cannot be used in this host.").arg(fileName));

    m_Entries.append(Entry{fileName, plugin});
    plugin->InitPlugin();
    OutputEventsLog(VeEventsLog::EventsLogInformation,
                    tr("Plug-in \"%1\" %2 of %3 loaded from \"%4\".")
                        .arg(plugin->GetName())
                        .arg(plugin->GetPluginVersion())
                        .arg(plugin->GetPluginDateTime().toString(Qt::ISODate), fileName));
    return true;
}

QList<VePluginObject*> VePluginManager::Plugins() const
{
    QList<VePluginObject*> plugins;
    for (const Entry& e : m_Entries)
        if (e.object)
            plugins.append(e.object);
    return plugins;
}

QString VePluginManager::FileOf(const VePluginObject* plugin) const
{
    for (const Entry& e : m_Entries)
        if (e.object == plugin)
            return e.fileName;
    return QString();
}
