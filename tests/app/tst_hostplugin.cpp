// A small plug-in module for the host window's tests: one task, one menu agency
// bound to empty spots, geometries and gathers, and a load thread that the test
// lets go when it has looked at the running load.
#include "tst_hostplugindata.h"

#include "VeDataLoadThread.h"
#include "VeEventsLog.h"
#include "VeMenuAgencyBase.h"
#include "VeObjNode.h"
#include "VePluginObject.h"
#include "VePluginTaskObject.h"
#include "VePrevSegyTracesGather.h"
#include "VePrevStackSegyGeometry.h"
#include "VeRuntimeClass.h"
#include "VeTask.h"
#include "VeTaskParameter.h"

#include <QDateTime>
#include <QMenu>
#include <QPointer>
#include <QSemaphore>
#include <QtPlugin>

using namespace TstHostData;

class TstHostLoadThread : public VeDataLoadThread
{
    Q_OBJECT
public:
    explicit TstHostLoadThread(VePrevStackSegyGeometry* target) : m_pTarget(target)
    {
        connect(this, &QThread::finished, this, &QObject::deleteLater);
    }

    // Lets the load go on past its "Reading" message.
    Q_INVOKABLE void Release() { m_Gate.release(); }

protected:
    void run() override
    {
        Q_EMIT sigProcessMessage(QStringLiteral("Reading"));
        // A test that forgets to let go must not hang for ever.
        m_Gate.tryAcquire(1, 30000);
        VePrevStackSegyGeometry* geometry = m_pTarget;
        const bool created = !geometry;
        if (created) {
            geometry = new VePrevStackSegyGeometry;
            geometry->SetID(VeObject::CreateUniqueID());
            geometry->SetName(QStringLiteral("Test Geometry"));
        }
        for (const Point& p : kShots)
            geometry->AddShotGeometry(new VePrevSegySRGeometry{p.number, p.x, p.y, 0.0f});
        for (const Point& p : kReceivers)
            geometry->AddReceiverGeometry(new VePrevSegySRGeometry{p.number, p.x, p.y, 0.0f});
        const qint64 filled = geometry->GetID();
        if (created)
            Q_EMIT sigCreatedObject(geometry);
        // A load of another kind: the host has nothing of it to check.
        auto parameters = std::make_shared<VeTaskParameter>();
        parameters->moveToThread(thread());
        Q_EMIT sigLoadFinished(filled, std::move(parameters));
    }

private:
    // Kept alive by the host while this load runs.
    VePrevStackSegyGeometry* m_pTarget;
    QSemaphore m_Gate;
};

static void StartLoad(VeObjNode* node)
{
    auto* geometry = node ? qobject_cast<VePrevStackSegyGeometry*>(node->GetObject()) : nullptr;
    (new TstHostLoadThread(geometry))->start();
}

class TstHostAgency : public VeMenuAgencyBase
{
    Q_OBJECT
    VE_DECLARE_RUNTIMECLASS(TstHostAgency)
public:
    void CreateNodeMenu(VeObjNode* node, QMenu* menu) override
    {
        SetCurEmbedNode(node);
        if (!node || !node->GetObject())
            menu->addAction(QString::fromLatin1(kLoadNewText), this, &TstHostAgency::slotLoad);
        else if (qobject_cast<VePrevStackSegyGeometry*>(node->GetObject()))
            menu->addAction(QString::fromLatin1(kLoadIntoText), this, &TstHostAgency::slotLoad);
    }

protected Q_SLOTS:
    void slotLoad() { StartLoad(m_pCurEmbedNode); }
};
VE_IMPLEMENT_RUNTIMECLASS(TstHostAgency, VeMenuAgencyBase)

class TstHostTask : public VeTask
{
    Q_OBJECT
    VE_DECLARE_RUNTIMECLASS(TstHostTask)
public Q_SLOTS:
    void Execute() override
    {
        VeObjNode* node = GetTargetNode();
        VeObject* object = node ? node->GetObject() : nullptr;
        OutputEventsLog(VeEventsLog::EventsLogInformation,
                        QStringLiteral("Test task %1 ran on %2")
                            .arg(GetID())
                            .arg(object ? object->GetRuntimeClass()->m_lpszClassName
                                 : node ? "a node without object"
                                        : "no node"));
    }

public:
    TstHostTask() { SetID(VeObject::CreateUniqueID()); }
};
VE_IMPLEMENT_RUNTIMECLASS(TstHostTask, VeTask)

static const VE_ObjToMenu_ClassInit s_bindNone(nullptr, TstHostAgency::GetThisClass());
static const VE_ObjToMenu_ClassInit s_bindGeometry(VePrevStackSegyGeometry::GetThisClass(),
                                                   TstHostAgency::GetThisClass());
static const VE_ObjToMenu_ClassInit s_bindGather(VePrevSegyTracesGather::GetThisClass(),
                                                 TstHostAgency::GetThisClass());

class TstHostPlugin : public VePluginObject
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VePluginObject_iid)
    Q_INTERFACES(VePluginObject)
public:
    TstHostPlugin()
    {
        SetName(QString::fromLatin1(kPluginName));
        m_TaskObjects.append(new VePluginTaskObject(QStringLiteral("TstHostTask"),
                                                    QString::fromLatin1(kTaskCaption)));
        // Announced but never registered: the host must report it and go on.
        m_TaskObjects.append(new VePluginTaskObject(QStringLiteral("TstNoSuchTask"),
                                                    QString::fromLatin1(kMissingTaskCaption)));
    }
    bool IsPluginValid() const override { return true; }
    QDateTime GetPluginDateTime() const override
    {
        return QDateTime(QDate(2024, 1, 2), QTime(3, 4));
    }
    double GetPluginVersion() const override { return 2.5; }
    void InitPlugin() override {}
};

#include "tst_hostplugin.moc"
