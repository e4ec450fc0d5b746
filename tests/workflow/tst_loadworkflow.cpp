#include "SPSTestBoxes.h"
#include "SPSTestRows.h"
#include "VeEventsLog.h"
#include "VeHostUi.h"
#include "VeMenuAgencySeismicSurvey.h"
#include "VeObjNode.h"
#include "VePageSPSFileFormat.h"
#include "VePageSPSFileNames.h"
#include "VePrevSegyTracesGather.h"
#include "VePrevStackSegyGeometry.h"
#include "VePrevStackSegyObserver.h"
#include "VeRuntimeClass.h"
#include "VeSheetTaskBaseDialog.h"
#include "VeTaskParameter.h"
#include "VeTaskSPSFilesLoader.h"
#include "VeTaskSPSFilesLoaderParam.h"
#include "VeThreadRegistry.h"
#include "VeThreadSPSFilesLoader.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// A record of another kind, whose fitness the test chooses.
class OtherParam : public VeTaskParameter
{
public:
    explicit OtherParam(bool valid) : m_bValid(valid) {}
    bool IsValid() const override { return m_bValid; }
    bool m_bValid;
};

// One survey on disk: its three files and what a load of it must give.
struct Survey
{
    QString source;
    QString receiver;
    QString relation;
    int shots = 0;
    int receivers = 0;
    int firstShot = 0;
    float firstShotX = 0;
};

Survey makeSurvey(const QString& dir, const QString& name, int shots, int receivers)
{
    Survey s;
    s.source = dir + QLatin1Char('/') + name + QStringLiteral(".s");
    s.receiver = dir + QLatin1Char('/') + name + QStringLiteral(".r");
    s.relation = dir + QLatin1Char('/') + name + QStringLiteral(".x");
    const QByteArray header = "H00 SPS format version num.     SPS001\r\n";
    QByteArray srows = header;
    for (int i = 0; i < shots; ++i)
        srows += SPSTest::Row('S', QStringLiteral("1"), QString::number(101 + i), QString(),
                              QString::number(1000.5 + i, 'f', 1), QStringLiteral("2000.5"),
                              QStringLiteral("10.0"));
    QByteArray rrows = header;
    for (int i = 0; i < receivers; ++i)
        rrows += SPSTest::Row('R', QStringLiteral("7"), QString::number(501 + i), QString(),
                              QString::number(3000.5 + i, 'f', 1), QStringLiteral("4000.5"),
                              QStringLiteral("20.0"));
    if (!SPSTest::WriteFile(s.source, srows) || !SPSTest::WriteFile(s.receiver, rrows) ||
        !SPSTest::WriteFile(s.relation, header))
        return Survey();
    s.shots = shots;
    s.receivers = receivers;
    s.firstShot = 101;
    s.firstShotX = 1000.5f;
    return s;
}

enum class NodeKind
{
    None,
    Empty,
    Geometry,
    Gather,
    Observer
};

VeObject* objectOf(NodeKind kind)
{
    switch (kind) {
    case NodeKind::Geometry:
        return new VePrevStackSegyGeometry;
    case NodeKind::Gather:
        return new VePrevSegyTracesGather;
    case NodeKind::Observer:
        return new VePrevStackSegyObserver;
    default:
        return nullptr;
    }
}

} // namespace

Q_DECLARE_METATYPE(NodeKind)

class TestLoadWorkflow : public QObject
{
    Q_OBJECT

Q_SIGNALS:
    void notADialogSignal();

private:
    QTemporaryDir m_dir;
    Survey m_a;
    Survey m_b;
    std::unique_ptr<QWidget> m_mainWindow;
    // What the host took over from the loads.
    std::vector<std::unique_ptr<VeObject>> m_created;

    // Watched: a dialog deleted meanwhile reads back as null, so a new one that
    // the allocator gives the same address is never taken for it.
    using Dialogs = QList<QPointer<VeSheetTaskBaseDialog>>;
    using Loaders = QList<QPointer<VeThreadSPSFilesLoader>>;

    Dialogs dialogs() const
    {
        Dialogs out;
        for (VeSheetTaskBaseDialog* d : m_mainWindow->findChildren<VeSheetTaskBaseDialog*>())
            out << d;
        return out;
    }

    // The one dialog opened since the dialogs listed before.
    VeSheetTaskBaseDialog* newDialog(const Dialogs& before) const
    {
        VeSheetTaskBaseDialog* found = nullptr;
        for (VeSheetTaskBaseDialog* d : dialogs()) {
            if (before.contains(d))
                continue;
            if (found)
                return nullptr;
            found = d;
        }
        return found;
    }

    static Loaders loaders()
    {
        Loaders out;
        for (VeThread* t : VeThreadRegistry::Instance()->Threads())
            if (auto* l = dynamic_cast<VeThreadSPSFilesLoader*>(t))
                out << l;
        return out;
    }

    static VeThreadSPSFilesLoader* newLoader(const Loaders& before)
    {
        VeThreadSPSFilesLoader* found = nullptr;
        for (VeThreadSPSFilesLoader* l : loaders()) {
            if (before.contains(l))
                continue;
            if (found)
                return nullptr;
            found = l;
        }
        return found;
    }

    // Types the paths into the "Files" page and presses OK.
    static void fillAndAccept(VeSheetTaskBaseDialog* dialog, const Survey& survey)
    {
        const std::pair<const char*, QString> edits[] = {
            {"TxtSourceName", survey.source},
            {"TxtReceiverName", survey.receiver},
            {"TxtRelationName", survey.relation},
        };
        for (const auto& [name, path] : edits) {
            auto* edit = dialog->findChild<QLineEdit*>(QLatin1String(name));
            QVERIFY2(edit, name);
            edit->clear();
            QTest::keyClicks(edit, path);
        }
        auto* standard = dialog->findChild<QAbstractButton*>(QStringLiteral("RadUseStandard"));
        QVERIFY(standard);
        QVERIFY(standard->isChecked());
        auto* box = dialog->findChild<QDialogButtonBox*>();
        QVERIFY(box);
        box->button(QDialogButtonBox::Ok)->click();
    }

    static void verifyLoaded(const VePrevStackSegyGeometry* geometry, const Survey& survey,
                             int shotsBefore = 0)
    {
        QCOMPARE(geometry->ShotCount(), shotsBefore + survey.shots);
        QCOMPARE(geometry->ReceiverCount(), survey.receivers);
        const VePrevSegySRGeometry first = geometry->ShotAt(shotsBefore);
        QCOMPARE(first.m_nNumber, survey.firstShot);
        QCOMPARE(first.m_fX, survey.firstShotX);
    }

    // Every load has finished and its thread (with the record it read) is gone.
    static bool loadsGone() { return VeThreadRegistry::Instance()->Threads().isEmpty(); }

    VePrevStackSegyGeometry* onlyCreatedGeometry() const
    {
        if (m_created.size() != 1)
            return nullptr;
        return qobject_cast<VePrevStackSegyGeometry*>(m_created.front().get());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_a = makeSurvey(m_dir.path(), QStringLiteral("a"), 3, 4);
        m_b = makeSurvey(m_dir.path(), QStringLiteral("b"), 2, 5);
        QVERIFY(m_a.shots && m_b.shots);
        m_mainWindow = std::make_unique<QWidget>();
        m_mainWindow->show();
        SetMainWindow(m_mainWindow.get());
        connect(VeThreadRegistry::Instance(), &VeThreadRegistry::sigObjectCreated, this,
                [this](VeObject* object) { m_created.emplace_back(object); });
    }

    void cleanup()
    {
        QTRY_VERIFY(loadsGone());
        for (VeSheetTaskBaseDialog* d : dialogs())
            d->close();
        QTRY_VERIFY(dialogs().isEmpty());
        m_created.clear();
        VeEventsLog::Instance()->Clear();
    }

    void cleanupTestCase()
    {
        SetMainWindow(nullptr);
        m_mainWindow.reset();
    }

    void menuEntries_data()
    {
        QTest::addColumn<NodeKind>("kind");
        QTest::addColumn<QString>("entry");

        QTest::newRow("empty spot") << NodeKind::None << QStringLiteral("&Load SPS File");
        QTest::newRow("node without object") << NodeKind::Empty << QStringLiteral("&Load SPS File");
        QTest::newRow("geometry") << NodeKind::Geometry << QStringLiteral("&Load from SPS File");
        QTest::newRow("gather") << NodeKind::Gather << QString();
        QTest::newRow("observer") << NodeKind::Observer << QString();
    }

    void menuEntries()
    {
        QFETCH(NodeKind, kind);
        QFETCH(QString, entry);

        std::unique_ptr<VeObjNode> node(kind == NodeKind::None ? nullptr
                                                               : new VeObjNode(objectOf(kind)));
        VeMenuAgencySeismicSurvey agency;
        VeObjNode earlier;
        agency.SetCurEmbedNode(&earlier);
        QMenu menu;
        agency.CreateNodeMenu(node.get(), &menu);
        QCOMPARE(agency.GetCurEmbedNode(), node.get());

        const QList<QAction*> actions = menu.actions();
        if (entry.isEmpty()) {
            QVERIFY(actions.isEmpty());
            return;
        }
        QCOMPARE(actions.size(), 1);
        QAction* action = actions.first();
        QCOMPARE(action->text(), entry);
        QVERIFY(action->shortcut().isEmpty());
        QVERIFY(!action->icon().isNull());
        QCOMPARE(action->icon().cacheKey(), GetPngIcon(QStringLiteral("orka_add")).cacheKey());

        // The entry opens the load dialog, not modal, on a fresh record.
        const auto before = dialogs();
        action->trigger();
        VeSheetTaskBaseDialog* dialog = newDialog(before);
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->isModal());
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(dialog->parentWidget(), m_mainWindow.get());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Load SPS Files"));
        QCOMPARE(dialog->TabWidget()->count(), 2);
        QCOMPARE(dialog->TabWidget()->tabText(0), QStringLiteral("Files"));
        QCOMPARE(dialog->TabWidget()->tabText(1), QStringLiteral("Format"));
        QVERIFY(qobject_cast<VePageSPSFileNames*>(dialog->TabWidget()->widget(0)));
        QVERIFY(qobject_cast<VePageSPSFileFormat*>(dialog->TabWidget()->widget(1)));
        auto* param = dynamic_cast<VeTaskSPSFilesLoaderParam*>(dialog->GetTaskParameter());
        QVERIFY(param);
        QCOMPARE(param->SrcIDPos, 17);
        QVERIFY(param->SourceFileName.isEmpty());

        // A second opening has its own record.
        const auto withFirst = dialogs();
        action->trigger();
        VeSheetTaskBaseDialog* second = newDialog(withFirst);
        QVERIFY(second);
        QVERIFY(second->GetTaskParameter() != dialog->GetTaskParameter());

        // Cancelled: nothing starts, and the dialog goes with its record.
        QPointer<QObject> record(param);
        QPointer<QObject> dialogWatch(dialog);
        dialog->reject();
        second->reject();
        QVERIFY(loaders().isEmpty());
        QTRY_VERIFY(dialogWatch.isNull());
        QVERIFY(record.isNull());
    }

    void menuLoad_data()
    {
        QTest::addColumn<NodeKind>("kind");
        QTest::addColumn<int>("shotsBefore");

        QTest::newRow("empty spot: new object") << NodeKind::None << 0;
        QTest::newRow("node without object: new object") << NodeKind::Empty << 0;
        QTest::newRow("geometry node: filled, not emptied") << NodeKind::Geometry << 2;
    }

    void menuLoad()
    {
        QFETCH(NodeKind, kind);
        QFETCH(int, shotsBefore);

        std::unique_ptr<VeObjNode> node(kind == NodeKind::None ? nullptr
                                                               : new VeObjNode(objectOf(kind)));
        auto* existing = node ? qobject_cast<VePrevStackSegyGeometry*>(node->GetObject()) : nullptr;
        for (int i = 0; i < shotsBefore; ++i)
            existing->AddShotGeometry(new VePrevSegySRGeometry);

        VeMenuAgencySeismicSurvey agency;
        QMenu menu;
        agency.CreateNodeMenu(node.get(), &menu);
        QCOMPARE(menu.actions().size(), 1);
        const auto before = dialogs();
        menu.actions().first()->trigger();
        QPointer<VeSheetTaskBaseDialog> dialog = newDialog(before);
        QVERIFY(dialog);
        auto* record = dynamic_cast<VeTaskSPSFilesLoaderParam*>(dialog->GetTaskParameter());
        QVERIFY(record);

        const auto running = loaders();
        fillAndAccept(dialog, m_a);
        QVERIFY(!dialog || !dialog->isVisible());
        // The dialog's own record goes with the thread, which targets the node.
        QPointer<VeThreadSPSFilesLoader> loader = newLoader(running);
        QVERIFY(loader);
        QCOMPARE(loader->m_pParam, record);
        QCOMPARE(loader->m_pTargetNode, node.get());
        QCOMPARE(record->SourceFileName, m_a.source);
        QCOMPARE(record->ReceiverFileName, m_a.receiver);
        QCOMPARE(record->RelationFileName, m_a.relation);

        QTRY_VERIFY(loadsGone());
        QVERIFY(loader.isNull());
        QTRY_VERIFY(dialog.isNull());
        if (existing) {
            QVERIFY(m_created.empty());
            QCOMPARE(node->GetObject(), existing);
            verifyLoaded(existing, m_a, shotsBefore);
        } else {
            QTRY_COMPARE(m_created.size(), size_t(1));
            VePrevStackSegyGeometry* geometry = onlyCreatedGeometry();
            QVERIFY(geometry);
            QCOMPARE(geometry->GetName(), QStringLiteral("SPS SR Geometry"));
            verifyLoaded(geometry, m_a);
            if (node)
                QVERIFY(!node->GetObject());
        }
        // One entry says what the load added, and where.
        const QList<VeEventsLogEntry> entries = VeEventsLog::Instance()->Entries();
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries[0].type, VeEventsLog::EventsLogInformation);
        QCOMPARE(entries[0].text,
                 QString("%1 shots and %2 receivers were added to [%3].")
                     .arg(m_a.shots)
                     .arg(m_a.receivers)
                     .arg(existing ? existing->GetName() : QString("SPS SR Geometry")));
    }

    // Both roads take the Format page's numbering to the load: a survey whose
    // lines share point numbers, loaded with the settings typed on the page.
    void numberingOnBothRoads_data()
    {
        QTest::addColumn<bool>("task");
        QTest::addColumn<QStringList>("typed");   // numbering edit=text
        QTest::addColumn<QList<qint32>>("shots"); // numbers as added
        QTest::addColumn<QList<qint32>>("receivers");
        QTest::addColumn<QStringList>("log");

        const QList<qint32> merged{101, 102};
        const QList<qint32> apart{1101, 1102, 2101, 2102};
        const QList<qint32> receiversApart{7501, 7502, 8501, 8502};
        const QString added = "%1 shots and %2 receivers were added to [SPS SR Geometry].";
        const QStringList sharedLog{
            "2 source points share a point number with another point; 2 shots were added.",
            "2 receiver points share a point number with another point; 2 receivers were added.",
            added.arg(2).arg(2)};
        for (const bool task : {false, true}) {
            const char* road = task ? "task" : "menu";
            QTest::addRow("%s, no numbering", road)
                << task << QStringList() << merged << QList<qint32>{501, 502} << sharedLog;
            QTest::addRow("%s, line factor", road)
                << task << QStringList{"TxtLineFactor=1000"} << apart << receiversApart
                << QStringList{added.arg(4).arg(4)};
            QTest::addRow("%s, line and shot factors", road)
                << task << QStringList{"TxtLineFactor=1000", "TxtShotNumberFactor=10"}
                << QList<qint32>{11010, 11020, 21010, 21020} << receiversApart
                << QStringList{added.arg(4).arg(4)};
        }
    }

    void numberingOnBothRoads()
    {
        QFETCH(bool, task);
        QFETCH(QStringList, typed);
        QFETCH(QList<qint32>, shots);
        QFETCH(QList<qint32>, receivers);
        QFETCH(QStringList, log);

        Survey survey;
        survey.source = m_dir.filePath("lines.s");
        survey.receiver = m_dir.filePath("lines.r");
        survey.relation = m_dir.filePath("lines.x");
        QByteArray srows, rrows;
        for (const char* line : {"1", "2"})
            for (const char* point : {"101", "102"})
                srows += SPSTest::Row('S', line, point, QString(), "500000.0", "6000000.0", "1");
        for (const char* line : {"7", "8"})
            for (const char* point : {"501", "502"})
                rrows += SPSTest::Row('R', line, point, QString(), "500000.0", "6000000.0", "1");
        QVERIFY(SPSTest::WriteFile(survey.source, srows) &&
                SPSTest::WriteFile(survey.receiver, rrows) &&
                SPSTest::WriteFile(survey.relation, ""));

        std::unique_ptr<VeObject> taskObject;
        VeMenuAgencySeismicSurvey agency;
        const auto before = dialogs();
        if (task) {
            taskObject.reset(VeRuntimeClass::CreateObject("VeTaskSPSFilesLoader"));
            QVERIFY(QMetaObject::invokeMethod(taskObject.get(), "Execute"));
        } else {
            QMenu menu;
            agency.CreateNodeMenu(nullptr, &menu);
            menu.actions().first()->trigger();
        }
        VeSheetTaskBaseDialog* dialog = newDialog(before);
        QVERIFY(dialog);
        for (const QString& t : typed) {
            auto* edit = dialog->findChild<QLineEdit*>(t.section('=', 0, 0));
            QVERIFY2(edit, qPrintable(t));
            edit->setText(t.section('=', 1));
        }
        fillAndAccept(dialog, survey);
        QTRY_VERIFY(loadsGone());
        QTRY_COMPARE(m_created.size(), size_t(1));
        const VePrevStackSegyGeometry* geometry = onlyCreatedGeometry();
        QVERIFY(geometry);
        QList<qint32> shotNumbers, receiverNumbers;
        for (const VePrevSegySRGeometry& r : geometry->Shots())
            shotNumbers << r.m_nNumber;
        for (const VePrevSegySRGeometry& r : geometry->Receivers())
            receiverNumbers << r.m_nNumber;
        QCOMPARE(shotNumbers, shots);
        QCOMPARE(receiverNumbers, receivers);
        QStringList entries;
        for (const VeEventsLogEntry& e : VeEventsLog::Instance()->Entries())
            entries << e.text;
        QCOMPARE(entries, log);
    }

    void formatPageDetectsTheChosenFiles()
    {
        // The dialog hands the Files page's paths to the Format page's detection.
        VeObjNode node(new VePrevStackSegyGeometry);
        VeMenuAgencySeismicSurvey agency;
        QMenu menu;
        agency.CreateNodeMenu(&node, &menu);
        const auto before = dialogs();
        menu.actions().first()->trigger();
        std::unique_ptr<VeSheetTaskBaseDialog> dialog(newDialog(before));
        QVERIFY(dialog);
        auto* path = dialog->findChild<QLineEdit*>(QStringLiteral("TxtReceiverName"));
        QTest::keyClicks(path, m_a.receiver);
        dialog->findChild<QAbstractButton*>(QStringLiteral("RadUseNonStandardRadio"))->click();
        SPSTest::MessageBoxAnswerer boxes;
        dialog->findChild<QPushButton*>(QStringLiteral("BtnDetectLayout"))->click();
        QTRY_COMPARE(boxes.boxes.size(), 1);
        const QStringList lines = boxes.boxes[0].text.split('\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QString("Source file: none chosen; its group was left as it was."));
        QVERIFY2(lines[1].startsWith(QString("Receiver file [%1]: ").arg(m_a.receiver)),
                 qPrintable(lines[1]));
    }

    void menuDialogKeepsItsNode()
    {
        // Open on geometry A, build the menu of geometry B, accept: A is filled.
        VeObjNode a(new VePrevStackSegyGeometry);
        VeObjNode b(new VePrevStackSegyGeometry);
        VeMenuAgencySeismicSurvey agency;
        QMenu menuA;
        agency.CreateNodeMenu(&a, &menuA);
        const auto before = dialogs();
        menuA.actions().first()->trigger();
        VeSheetTaskBaseDialog* dialog = newDialog(before);
        QVERIFY(dialog);

        QMenu menuB;
        agency.CreateNodeMenu(&b, &menuB);
        QCOMPARE(agency.GetCurEmbedNode(), &b);
        fillAndAccept(dialog, m_a);
        QTRY_VERIFY(loadsGone());

        verifyLoaded(qobject_cast<VePrevStackSegyGeometry*>(a.GetObject()), m_a);
        QCOMPARE(qobject_cast<VePrevStackSegyGeometry*>(b.GetObject())->ShotCount(), 0);
        QVERIFY(m_created.empty());
    }

    void nodeDeletedWhileDialogOpen_data()
    {
        QTest::addColumn<bool>("hostRequest");
        QTest::newRow("deleted") << false;
        QTest::newRow("host's delete request") << true;
    }

    void nodeDeletedWhileDialogOpen()
    {
        QFETCH(bool, hostRequest);

        auto* node = new VeObjNode(new VePrevStackSegyGeometry);
        QPointer<VeObjNode> watch(node);
        VeMenuAgencySeismicSurvey agency;
        QMenu menu;
        agency.CreateNodeMenu(node, &menu);
        const auto before = dialogs();
        menu.actions().first()->trigger();
        VeSheetTaskBaseDialog* dialog = newDialog(before);
        QVERIFY(dialog);

        if (hostRequest)
            node->RequestDelete();
        else
            delete node;
        QTRY_VERIFY(watch.isNull());

        // No node any more: the load makes a new object.
        fillAndAccept(dialog, m_b);
        QTRY_VERIFY(loadsGone());
        QTRY_COMPARE(m_created.size(), size_t(1));
        VePrevStackSegyGeometry* geometry = onlyCreatedGeometry();
        QVERIFY(geometry);
        verifyLoaded(geometry, m_b);
    }

    void senderRule_data()
    {
        QTest::addColumn<int>("sender");
        QTest::addColumn<bool>("starts");
        QTest::newRow("no sender") << 0 << false;
        QTest::newRow("sender is not a dialog") << 1 << false;
        QTest::newRow("another task dialog") << 2 << true;
    }

    void senderRule()
    {
        QFETCH(int, sender);
        QFETCH(bool, starts);

        VeObjNode node(new VePrevStackSegyGeometry);
        VeMenuAgencySeismicSurvey agency;
        QMenu menu;
        agency.CreateNodeMenu(&node, &menu);
        VeTaskSPSFilesLoaderParam record;
        record.SourceFileName = m_a.source;
        record.ReceiverFileName = m_a.receiver;
        VeSheetTaskBaseDialog foreign(&record, m_mainWindow.get());

        const auto running = loaders();
        if (sender == 0) {
            QVERIFY(QMetaObject::invokeMethod(&agency, "slotLoadSPSToGeometryThread",
                                              Qt::DirectConnection));
        } else if (sender == 1) {
            connect(this, SIGNAL(notADialogSignal()), &agency, SLOT(slotLoadSPSToGeometryThread()));
            Q_EMIT notADialogSignal();
        } else {
            connect(&foreign, SIGNAL(accepted()), &agency, SLOT(slotLoadSPSToGeometryThread()));
            Q_EMIT foreign.accepted();
        }
        VeThreadSPSFilesLoader* loader = newLoader(running);
        QCOMPARE(loader != nullptr, starts);
        if (loader) {
            // A record the agency does not own stays its owner's: the load reads a copy.
            QVERIFY(loader->m_pParam && loader->m_pParam != &record);
            QCOMPARE(loader->m_pParam->SourceFileName, m_a.source);
            QCOMPARE(loader->m_pTargetNode, &node);
        }
        QTRY_VERIFY(loadsGone());
        const auto* geometry = qobject_cast<VePrevStackSegyGeometry*>(node.GetObject());
        QCOMPARE(geometry->ShotCount(), starts ? m_a.shots : 0);
        QCOMPARE(record.SourceFileName, m_a.source);
    }

    void taskLoad_data()
    {
        QTest::addColumn<NodeKind>("kind");
        QTest::newRow("no target node: new object") << NodeKind::None;
        QTest::newRow("geometry target node") << NodeKind::Geometry;
    }

    void taskLoad()
    {
        QFETCH(NodeKind, kind);

        std::unique_ptr<VeObjNode> node(kind == NodeKind::None ? nullptr
                                                               : new VeObjNode(objectOf(kind)));
        std::unique_ptr<VeObject> object(VeRuntimeClass::CreateObject("VeTaskSPSFilesLoader"));
        auto* task = qobject_cast<VeTaskSPSFilesLoader*>(object.get());
        QVERIFY(task);
        task->SetTargetNode(node.get());

        const auto before = dialogs();
        QVERIFY(QMetaObject::invokeMethod(task, "Execute"));
        VeSheetTaskBaseDialog* dialog = newDialog(before);
        QVERIFY(dialog);
        auto* kept = dynamic_cast<VeTaskSPSFilesLoaderParam*>(task->GetTaskParameter());
        QVERIFY(kept);
        QCOMPARE(dialog->GetTaskParameter(), kept);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Load SPS Files"));
        QCOMPARE(dialog->parentWidget(), m_mainWindow.get());
        QCOMPARE(dialog->TabWidget()->tabText(0), QStringLiteral("Files"));
        QCOMPARE(dialog->TabWidget()->tabText(1), QStringLiteral("Format"));
        QVERIFY(!dialog->isModal());

        const QPointer<VeSheetTaskBaseDialog> watched(dialog);
        const auto running = loaders();
        fillAndAccept(dialog, m_a);
        VeThreadSPSFilesLoader* loader = newLoader(running);
        QVERIFY(loader);
        QCOMPARE(loader->m_pTargetNode, node.get());
        QVERIFY(loader->m_pParam && loader->m_pParam != kept);
        QCOMPARE(kept->SourceFileName, m_a.source);

        QTRY_VERIFY(loadsGone());
        if (node) {
            verifyLoaded(qobject_cast<VePrevStackSegyGeometry*>(node->GetObject()), m_a);
            QVERIFY(m_created.empty());
        } else {
            QTRY_COMPARE(m_created.size(), size_t(1));
            QVERIFY(onlyCreatedGeometry());
            verifyLoaded(onlyCreatedGeometry(), m_a);
        }

        // A later run opens a new dialog on the same record.
        const auto again = dialogs();
        task->Execute();
        VeSheetTaskBaseDialog* second = newDialog(again);
        QVERIFY(second && second != watched);
        QCOMPARE(task->GetTaskParameter(), kept);
        QCOMPARE(second->GetTaskParameter(), kept);
    }

    void taskTwoLoadsReadTheirOwnRecords()
    {
        // Each dialog loads into the node its task targeted when it was opened,
        // and reads its own record, whatever the task did since.
        VeObjNode nodeA(new VePrevStackSegyGeometry), nodeB(new VePrevStackSegyGeometry);
        VeTaskSPSFilesLoader task;
        task.SetTargetNode(&nodeA);
        const auto before = dialogs();
        task.Execute();
        VeSheetTaskBaseDialog* first = newDialog(before);
        const auto withFirst = dialogs();
        task.SetTargetNode(&nodeB);
        task.Execute();
        VeSheetTaskBaseDialog* second = newDialog(withFirst);
        QVERIFY(first && second);
        QCOMPARE(first->GetTaskParameter(), second->GetTaskParameter());

        const auto running = loaders();
        fillAndAccept(first, m_a);
        QPointer<VeThreadSPSFilesLoader> loaderA = newLoader(running);
        QVERIFY(loaderA);
        QCOMPARE(loaderA->m_pTargetNode, &nodeA);
        const auto withA = loaders();
        // Accepted while the first load may still run: it rewrites the task's
        // record, not the one the first load reads.
        fillAndAccept(second, m_b);
        QPointer<VeThreadSPSFilesLoader> loaderB = newLoader(withA);
        QVERIFY(loaderB);
        QCOMPARE(loaderB->m_pTargetNode, &nodeB);
        QVERIFY(loaderA); // deleted only once the event loop runs again
        QVERIFY(loaderA->m_pParam != loaderB->m_pParam);
        QCOMPARE(loaderA->m_pParam->SourceFileName, m_a.source);
        QCOMPARE(loaderB->m_pParam->SourceFileName, m_b.source);
        QCOMPARE(static_cast<VeTaskSPSFilesLoaderParam*>(task.GetTaskParameter())->SourceFileName,
                 m_b.source);

        QTRY_VERIFY(loadsGone());
        verifyLoaded(qobject_cast<VePrevStackSegyGeometry*>(nodeA.GetObject()), m_a);
        verifyLoaded(qobject_cast<VePrevStackSegyGeometry*>(nodeB.GetObject()), m_b);
        QVERIFY(m_created.empty());
    }

    void taskRecordQuery_data()
    {
        QTest::addColumn<int>("param"); // 0 none, 1 other kind answering false, 2 answering true
        QTest::addColumn<bool>("warns");

        QTest::newRow("no record") << 0 << true;
        QTest::newRow("record answering false") << 1 << true;
        QTest::newRow("other record answering true") << 2 << false;
    }

    void taskRecordQuery()
    {
        QFETCH(int, param);
        QFETCH(bool, warns);

        VeTaskSPSFilesLoader task;
        task.SetTargetNode(nullptr);
        if (param)
            task.SetTaskParameter(new OtherParam(param == 2));

        const auto running = loaders();
        SPSTest::MessageBoxAnswerer answer;
        bool result = true;
        QVERIFY(QMetaObject::invokeMethod(&task, "slotLoadData", Qt::DirectConnection,
                                          Q_RETURN_ARG(bool, result)));
        QCOMPARE(result, !warns);
        QCOMPARE(answer.boxes.size(), warns ? 1 : 0);
        if (warns) {
            QCOMPARE(answer.boxes.value(0).title, QStringLiteral("Reading segy"));
            QCOMPARE(answer.boxes.value(0).text, QStringLiteral("Fail to set parameter."));
            QCOMPARE(answer.boxes.value(0).icon, QMessageBox::Warning);
            QCOMPARE(answer.boxes.value(0).standardButtons,
                     QMessageBox::StandardButtons(QMessageBox::Ok));
            QVERIFY(!answer.boxes.value(0).hasDefault);
            QCOMPARE(answer.boxes.value(0).parent, m_mainWindow.get());
            QVERIFY(loaders().size() == running.size());
        } else {
            // A record of another kind: the load gets none and ends at once.
            VeThreadSPSFilesLoader* loader = newLoader(running);
            QVERIFY(loader);
            QVERIFY(!loader->m_pParam);
        }
        QTRY_VERIFY(loadsGone());
        QVERIFY(m_created.empty());
        QVERIFY(VeEventsLog::Instance()->Entries().isEmpty());
    }

    void taskWarningThroughItsDialog()
    {
        // The dialog Execute opened reaches slotLoadData through accepted().
        VeTaskSPSFilesLoader task;
        task.SetTaskParameter(new OtherParam(false));
        const auto before = dialogs();
        task.Execute();
        VeSheetTaskBaseDialog* dialog = newDialog(before);
        QVERIFY(dialog);
        QCOMPARE(dialog->GetTaskParameter(), task.GetTaskParameter());
        SPSTest::MessageBoxAnswerer answer;
        Q_EMIT dialog->accepted();
        QCOMPARE(answer.boxes.size(), 1);
        QCOMPARE(answer.boxes.value(0).text, QStringLiteral("Fail to set parameter."));
        QVERIFY(loaders().isEmpty());
    }

    void taskDeletedWhileDialogOpen()
    {
        auto task = std::make_unique<VeTaskSPSFilesLoader>();
        const auto before = dialogs();
        task->Execute();
        QPointer<VeSheetTaskBaseDialog> dialog = newDialog(before);
        QVERIFY(dialog);
        // The dialog's pages write the task's record: it closes with the task.
        task.reset();
        QVERIFY(!dialog || !dialog->isVisible());
        QTRY_VERIFY(dialog.isNull());
        QVERIFY(loaders().isEmpty());
    }
};

QTEST_MAIN(TestLoadWorkflow)
#include "tst_loadworkflow.moc"
