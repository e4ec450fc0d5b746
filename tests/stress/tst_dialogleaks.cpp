// 100 load dialogs opened and accepted through the plug-in, as the host would
// use it: the task the plug-in object offers, and the menu agency bound to
// geometry nodes. Every dialog, record and thread goes away with its load, and
// the process's resident memory does not grow with the number of cycles.
#include "ProcessMemory.h"
#include "SPSTestLoad.h"
#include "VeHostUi.h"
#include "VeMenuAgencyBase.h"
#include "VePluginObject.h"
#include "VePluginTaskObject.h"
#include "VeRuntimeClass.h"
#include "VeSheetTaskBaseDialog.h"
#include "VeTask.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QPluginLoader>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <malloc.h>
#include <memory>
#include <vector>

using namespace SPSTest;

class TestDialogLeaks : public QObject
{
    Q_OBJECT

    QTemporaryDir m_Dir;
    QString m_Source, m_Receiver, m_Relation;
    std::unique_ptr<QWidget> m_MainWindow;
    std::unique_ptr<QPluginLoader> m_Loader;
    std::unique_ptr<VeTask> m_Task;
    std::unique_ptr<VeMenuAgencyBase> m_Agency;
    std::vector<std::unique_ptr<VeObject>> m_Created;

    VeSheetTaskBaseDialog* OpenDialog()
    {
        const auto dialogs = m_MainWindow->findChildren<VeSheetTaskBaseDialog*>();
        return dialogs.size() == 1 ? dialogs.first() : nullptr;
    }

    // Fills the "Files" page, presses OK and waits until the load, its thread
    // and its dialog are gone.
    bool Accept(VeSheetTaskBaseDialog* dialog)
    {
        const std::pair<const char*, QString> edits[] = {
            {"TxtSourceName", m_Source},
            {"TxtReceiverName", m_Receiver},
            {"TxtRelationName", m_Relation},
        };
        for (const auto& [name, path] : edits) {
            auto* edit = dialog->findChild<QLineEdit*>(QLatin1String(name));
            if (!edit)
                return false;
            edit->setText(path);
        }
        auto* box = dialog->findChild<QDialogButtonBox*>();
        if (!box)
            return false;
        box->button(QDialogButtonBox::Ok)->click();
        QDeadlineTimer deadline(20000);
        while (!deadline.hasExpired() &&
               (!VeThreadRegistry::Instance()->Threads().isEmpty() || OpenDialog())) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        return !deadline.hasExpired();
    }

    // One cycle on each road; false when a load did not give its geometry.
    bool Cycle(VeObjNode* geometryNode)
    {
        auto* geometry = static_cast<VePrevStackSegyGeometry*>(geometryNode->GetObject());
        const int before = geometry->ShotCount();

        // The task road: the plug-in's task runs and loads into a new object.
        QMetaObject::invokeMethod(m_Task.get(), "Execute");
        VeSheetTaskBaseDialog* dialog = OpenDialog();
        if (!dialog || !Accept(dialog) || m_Created.size() != 1)
            return false;
        m_Created.clear();

        // The menu road, on a geometry node: the agency's entry, then OK.
        QMenu menu;
        m_Agency->CreateNodeMenu(geometryNode, &menu);
        if (menu.actions().size() != 1)
            return false;
        menu.actions().first()->trigger();
        dialog = OpenDialog();
        if (!dialog || !Accept(dialog))
            return false;
        return geometry->ShotCount() == before + 50 && SPSTest::ProblemsLogged().isEmpty();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_Dir.isValid());
        m_Source = m_Dir.filePath(QStringLiteral("s.sps"));
        m_Receiver = m_Dir.filePath(QStringLiteral("r.sps"));
        m_Relation = m_Dir.filePath(QStringLiteral("x.sps"));
        QVERIFY(WriteFile(m_Source, Survey('S', 50)));
        QVERIFY(WriteFile(m_Receiver, Survey('R', 50)));
        QVERIFY(WriteFile(m_Relation, QByteArray("H00 relations\r\n")));
        m_MainWindow = std::make_unique<QWidget>();
        m_MainWindow->show();
        SetMainWindow(m_MainWindow.get());
        connect(VeThreadRegistry::Instance(), &VeThreadRegistry::sigObjectCreated, this,
                [this](VeObject* o) { m_Created.emplace_back(o); });

        // The host takes the plug-in in and runs the task it announces. Like
        // the host, this program does not itself need the plug-in's library:
        // the module must bring its class records and menu bindings along.
        QVERIFY(!VeRuntimeClass::FromName(QStringLiteral("VeTaskSPSFilesLoader")));
        m_Loader = std::make_unique<QPluginLoader>(QCoreApplication::applicationDirPath() +
                                                   QStringLiteral("/plugins/") +
                                                   QStringLiteral(SPS_PLUGIN_FILE));
        auto* plugin = qobject_cast<VePluginObject*>(m_Loader->instance());
        QVERIFY2(plugin, qPrintable(m_Loader->errorString()));
        QCOMPARE(plugin->GetTaskObjects().size(), 1);
        m_Task.reset(qobject_cast<VeTask*>(
            VeRuntimeClass::CreateObject(plugin->GetTaskObjects().first()->GetTaskClassName())));
        QVERIFY(m_Task);
        const auto agencies =
            VeMenuAgencyBase::AgencyClassesFor(VePrevStackSegyGeometry::GetThisClass());
        QCOMPARE(agencies.size(), 1);
        m_Agency.reset(qobject_cast<VeMenuAgencyBase*>(agencies.first()->CreateObject()));
        QVERIFY(m_Agency);
    }

    void cleanupTestCase()
    {
        m_Agency.reset();
        m_Task.reset();
        delete m_Loader->instance();
        SetMainWindow(nullptr);
        m_MainWindow.reset();
    }

    void hundredDialogCycles()
    {
        constexpr int kWarmUp = 20;
        constexpr int kCycles = 100;
        VeObjNode node(new VePrevStackSegyGeometry);
        for (int i = 0; i < kWarmUp / 2; ++i)
            QVERIFY(Cycle(&node));
        // Each cycle adds 50 shots and receivers to the node's geometry, which
        // is meant to grow: start the count afresh with an empty one.
        node.SetObject(new VePrevStackSegyGeometry);
        malloc_trim(0);
        const qint64 before = ProcessMemory::ResidentKiB();
        for (int i = 0; i < kCycles / 2; ++i)
            QVERIFY2(Cycle(&node), qPrintable(QString::number(i)));
        node.SetObject(new VePrevStackSegyGeometry);
        malloc_trim(0);
        const qint64 growth = ProcessMemory::ResidentKiB() - before;
        qInfo("resident memory grew by %lld KiB over %d dialog cycles", growth, kCycles);
        QVERIFY(m_MainWindow->findChildren<QWidget*>().isEmpty());
#if !defined(__SANITIZE_ADDRESS__)
        // One load dialog with its two pages left behind would be some hundred
        // KiB, over 100 cycles several MiB.
        QVERIFY2(growth < 2048, qPrintable(QString::number(growth)));
#endif
    }
};

QTEST_MAIN(TestDialogLeaks)
#include "tst_dialogleaks.moc"
