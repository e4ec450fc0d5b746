// A valid Qt plug-in of some other application: the host must turn it away.
#include <QObject>
#include <QtPlugin>

class TstForeignPlugin : public QObject
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.example.NotAHostPlugin/1.0")
};

#include "tst_foreignplugin.moc"
