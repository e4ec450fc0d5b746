#include "tst_hostplugindata.h"

#include "SPSTestRows.h"

#include "VeEventsLog.h"
#include "VeEventsLogView.h"
#include "VeFoldController.h"
#include "VeFoldMap.h"
#include "VeHostMainWindow.h"
#include "VeHostUi.h"
#include "VeMenuAgencyBase.h"
#include "VeObjNode.h"
#include "VeObjTreeWidget.h"
#include "VePluginManager.h"
#include "VePluginObject.h"
#include "VePrevStackSegyGeometry.h"
#include "VeRuntimeClass.h"
#include "VeSurveyCheckModel.h"
#include "VeSurveyCheckPane.h"
#include "VeSurveyCheckRunner.h"
#include "VeSurveyMap.h"
#include "VeSurveyMapWidget.h"
#include "VeTask.h"
#include "VeTaskSPSFilesLoaderParam.h"
#include "VeThread.h"
#include "VeThreadRegistry.h"

#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QWheelEvent>
#include <QtTest>

#include <chrono>
#include <cmath>
#include <memory>
#include <thread>

using namespace TstHostData;

namespace {
QStringList ActionTexts(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* a : menu->actions())
        if (!a->isSeparator())
            texts << a->text();
    return texts;
}

QAction* ActionByText(const QMenu* menu, const QString& text)
{
    for (QAction* a : menu->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

VeObjNode* NodeOfClass(VeHostMainWindow& window, const char* className)
{
    for (VeObjNode* node : window.ObjectTree()->Nodes())
        if (node->GetObject() &&
            qstrcmp(node->GetObject()->GetRuntimeClass()->m_lpszClassName, className) == 0)
            return node;
    return nullptr;
}

QList<VeThread*> RunningTestLoads()
{
    QList<VeThread*> loads;
    for (VeThread* t : VeThreadRegistry::Instance()->Threads())
        if (t->isRunning() && qstrcmp(t->metaObject()->className(), kLoadThreadClass) == 0)
            loads << t;
    return loads;
}

void ReleaseLoads()
{
    for (VeThread* t : RunningTestLoads())
        QMetaObject::invokeMethod(t, "Release", Qt::DirectConnection);
}

bool HasEntry(VeEventsLog::EEventsLogType type, const QString& text)
{
    for (const VeEventsLogEntry& e : VeEventsLog::Instance()->Entries())
        if (e.type == type && e.text == text)
            return true;
    return false;
}

// A relation row in the standard columns: the shot into receivers first to last of the line.
QByteArray RelationRow(int record, const QString& sourceLine, int sourcePoint, int channels,
                       const QString& receiverLine, int first, int last)
{
    QString row(80, u' ');
    row[0] = u'X';
    auto put = [&row](int pos, int len, const QString& text) {
        row.replace(pos + len - text.size(), text.size(), text);
    };
    put(7, 4, QString::number(record));
    row[11] = u'1';
    row.replace(13, sourceLine.size(), sourceLine);
    put(29, 8, QString::number(sourcePoint));
    put(38, 4, "1");
    put(42, 4, QString::number(channels));
    row[46] = u'1';
    row.replace(47, receiverLine.size(), receiverLine);
    put(63, 8, QString::number(first));
    put(71, 8, QString::number(last));
    return row.toUtf8() + "\r\n";
}

// Each record shows its colour where the window's map puts it.
void CheckMap(VeSurveyMapWidget* mapWidget)
{
    // The points are drawn off the UI thread; a grab shows them once drawn.
    QTRY_VERIFY(!mapWidget->IsDrawing());
    const QImage image = mapWidget->grab().toImage();
    QCOMPARE(image.size(), mapWidget->size());
    const auto check = [&](const Point& p, const QColor& colour) {
        const QPointF at = mapWidget->WorldToPixel(p.x, p.y);
        QVERIFY(QRectF(image.rect()).contains(at));
        QCOMPARE(QColor(image.pixel(int(std::floor(at.x())), int(std::floor(at.y())))), colour);
    };
    for (const Point& p : kShots)
        check(p, VeSurveyMap::ShotColor());
    for (const Point& p : kReceivers)
        check(p, VeSurveyMap::ReceiverColor());
}
// A check's result of so many "source-not-related" findings of line 10, the
// i-th at row i and point i.
std::shared_ptr<VeSurveyCheckResult> numberedFindings(int findings)
{
    auto result = std::make_shared<VeSurveyCheckResult>();
    result->ok = true;
    result->findings.AddFile({"/data/s.sps", u'S', QString(), 0});
    for (int i = 0; i < findings; ++i)
        result->findings.Add(0, i + 1, SPSCheckFinding::SourceNotRelated, "none", "10",
                             QString::number(i + 1));
    result->CountFindings();
    return result;
}

} // namespace

class TestSpsHost : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<VeHostMainWindow> NewWindow()
    {
        auto window = std::make_unique<VeHostMainWindow>(m_PluginDir.path());
        window->show();
        return window;
    }

    // Opens the node's menu (null: an empty spot) and triggers the entry.
    void TriggerMenuEntry(VeHostMainWindow& window, VeObjNode* node, const QString& text)
    {
        QMenu menu;
        window.BuildContextMenu(node, &menu);
        QAction* action = ActionByText(&menu, text);
        QVERIFY2(action, qPrintable(text));
        action->trigger();
    }

    QTemporaryDir m_PluginDir;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_PluginDir.isValid());
        // Links, not copies: a second copy of a module would be a second library
        // with its own class records.
        QVERIFY(QFile::link(TST_HOST_PLUGIN, m_PluginDir.filePath("libtst_hostplugin.so")));
        QVERIFY(QFile::link(TST_FOREIGN_PLUGIN, m_PluginDir.filePath("libtst_foreign.so")));
        QFile broken(m_PluginDir.filePath("libbroken.so"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("this is no library\n");
        broken.close();
        QFile notes(m_PluginDir.filePath("notes.txt"));
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.close();
    }

    void cleanup()
    {
        ReleaseLoads();
        VeThreadRegistry::Instance()->WaitForAll();
        VeEventsLog::Instance()->Clear();
    }

    void pluginsLoadedAndFailuresLogged()
    {
        auto window = NewWindow();
        const QList<VePluginObject*> plugins = window->PluginManager()->Plugins();
        QCOMPARE(plugins.size(), 1);
        QCOMPARE(plugins.first()->GetName(), QString(kPluginName));
        QCOMPARE(GetMainWindow(), window.get());

        QVERIFY(HasEntry(VeEventsLog::EventsLogInformation,
                         "Plug-in \"Test Plug-in\" 2.5 of 2024-01-02T03:04:00 loaded from "
                         "\"libtst_hostplugin.so\"."));
        QVERIFY(HasEntry(VeEventsLog::EventsLogError,
                         "The plug-in \"libtst_foreign.so\" is not a plug-in of this host."));
        QVERIFY(HasEntry(VeEventsLog::EventsLogError,
                         "The task \"Missing task\" of the plug-in \"Test Plug-in\" cannot be "
                         "created: there is no task class \"TstNoSuchTask\"."));
        const QString brokenPrefix = "The plug-in \"libbroken.so\" could not be loaded: ";
        int broken = 0;
        for (const VeEventsLogEntry& e : VeEventsLog::Instance()->Entries())
            if (e.type == VeEventsLog::EventsLogError && e.text.startsWith(brokenPrefix) &&
                e.text.size() > brokenPrefix.size())
                ++broken;
        QCOMPARE(broken, 1);
        for (const VeEventsLogEntry& e : VeEventsLog::Instance()->Entries())
            QVERIFY2(!e.text.contains("notes.txt"), qPrintable(e.text));

        // The pane shows the same entries, in order, once each.
        VeEventsLogView* view = window->EventsLogView();
        const QList<VeEventsLogEntry> entries = VeEventsLog::Instance()->Entries();
        QTRY_COMPARE(view->topLevelItemCount(), int(entries.size()));
        for (int i = 0; i < entries.size(); ++i) {
            QCOMPARE(view->topLevelItem(i)->text(2), entries.at(i).text);
            QCOMPARE(view->topLevelItem(i)->text(1), VeEventsLogView::TypeText(entries.at(i).type));
        }
        // Entries written later, from a worker thread, arrive newest last.
        std::thread writer([]() {
            OutputEventsLog(VeEventsLog::EventsLogWarning, "from a worker 1");
            OutputEventsLog(VeEventsLog::EventsLogError, "from a worker 2");
        });
        writer.join();
        QTRY_COMPARE(view->topLevelItemCount(), int(entries.size()) + 2);
        QCOMPARE(view->topLevelItem(view->topLevelItemCount() - 1)->text(2),
                 QString("from a worker 2"));
        QCOMPARE(view->topLevelItem(view->topLevelItemCount() - 2)->text(1), QString("Warning"));
    }

    void missingPluginFolder()
    {
        VeHostMainWindow window(m_PluginDir.filePath("nothing-here"));
        QVERIFY(window.PluginManager()->Plugins().isEmpty());
        QVERIFY(HasEntry(VeEventsLog::EventsLogWarning,
                         QString("The plug-in folder \"%1\" does not exist.")
                             .arg(m_PluginDir.filePath("nothing-here"))));
        QCOMPARE(ActionTexts(window.TasksMenu()), QStringList{"No tasks"});
        QVERIFY(!window.TasksMenu()->actions().first()->isEnabled());
    }

    void relativePluginFolder()
    {
        const QString saved = QDir::currentPath();
        QDir up(m_PluginDir.path());
        QVERIFY(up.cdUp());
        QVERIFY(QDir::setCurrent(up.path()));
        VeHostMainWindow window(QFileInfo(m_PluginDir.path()).fileName());
        QDir::setCurrent(saved);
        QCOMPARE(window.PluginManager()->Plugins().size(), 1);
    }

    void sampleTree()
    {
        auto window = NewWindow();
        VeObjNode* root = window->RootNode();
        QVERIFY(root && !root->GetObject());
        QStringList classes;
        for (VeObjNode* node : root->ChildNodes())
            classes << node->GetObject()->GetRuntimeClass()->m_lpszClassName;
        QCOMPARE(classes, VeHostMainWindow::SampleClassNames());
        QCOMPARE(window->ObjectTree()->topLevelItemCount(), 1);
        QCOMPARE(window->ObjectTree()->topLevelItem(0)->childCount(), 3);
    }

    void contextMenus_data()
    {
        QTest::addColumn<QString>("nodeClass");
        QTest::addColumn<QStringList>("entries");

        QTest::newRow("empty spot") << "" << QStringList{kLoadNewText};
        QTest::newRow("survey root") << "root" << QStringList{kLoadNewText};
        QTest::newRow("geometry") << "VePrevStackSegyGeometry"
                                  << QStringList{kLoadIntoText, "&Delete"};
        QTest::newRow("gather, bound but offered nothing")
            << "VePrevSegyTracesGather" << QStringList{"&Delete"};
        QTest::newRow("observer, not bound") << "VePrevStackSegyObserver" << QStringList{"&Delete"};
    }

    void contextMenus()
    {
        QFETCH(QString, nodeClass);
        QFETCH(QStringList, entries);

        auto window = NewWindow();
        VeObjNode* node = nodeClass.isEmpty()   ? nullptr
                          : nodeClass == "root" ? window->RootNode()
                                                : NodeOfClass(*window, qPrintable(nodeClass));
        QVERIFY(nodeClass.isEmpty() || node);
        for (int round = 0; round < 2; ++round) {
            QMenu menu;
            window->BuildContextMenu(node, &menu);
            QCOMPARE(ActionTexts(&menu), entries);
        }
        // One agency object for the window's life, told the node of its latest menu.
        if (nodeClass != "VePrevStackSegyObserver") {
            QCOMPARE(window->Agencies().size(), 1);
            VeMenuAgencyBase* agency = window->Agencies().first();
            QCOMPARE(agency->GetRuntimeClass()->m_lpszClassName, "TstHostAgency");
            QCOMPARE(agency->GetCurEmbedNode(), node);
            QMenu other;
            window->BuildContextMenu(window->RootNode(), &other);
            QCOMPARE(window->Agencies(), QList<VeMenuAgencyBase*>{agency});
        } else {
            QVERIFY(window->Agencies().isEmpty());
        }
    }

    void treeContextMenuPopsUpForClickedNode()
    {
        auto window = NewWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        VeObjNode* geometry = NodeOfClass(*window, "VePrevStackSegyGeometry");
        VeObjTreeWidget* tree = window->ObjectTree();
        const QPoint onGeometry = tree->visualItemRect(tree->ItemOf(geometry)).center();
        const QPoint emptySpot(5, tree->viewport()->height() - 5);
        QVERIFY(!tree->NodeAt(emptySpot));

        for (const QPoint& pos : {onGeometry, emptySpot}) {
            QStringList shown;
            // The menu runs its own loop: read and close it from within.
            QTimer::singleShot(0, this, [&shown]() {
                auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                if (popup) {
                    shown = ActionTexts(popup);
                    popup->close();
                }
            });
            Q_EMIT tree->customContextMenuRequested(pos);
            if (pos == onGeometry) {
                QCOMPARE(shown, (QStringList{kLoadIntoText, "&Delete"}));
                QCOMPARE(window->SelectedNode(), geometry);
            } else {
                QCOMPARE(shown, QStringList{kLoadNewText});
            }
        }
        QCOMPARE(window->Agencies().first()->GetCurEmbedNode(), nullptr);
    }

    void mapWheelZoomsAndDragPans()
    {
        auto window = NewWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        VeObjNode* node = NodeOfClass(*window, "VePrevStackSegyGeometry");
        auto* geometry = qobject_cast<VePrevStackSegyGeometry*>(node->GetObject());
        geometry->AddShotGeometry(new VePrevSegySRGeometry{1, 0.0f, 0.0f, 0.0f});
        geometry->AddReceiverGeometry(new VePrevSegySRGeometry{2, 800.0f, 500.0f, 0.0f});
        window->SelectNode(node);
        VeSurveyMapWidget* map = window->MapWidget();
        QTRY_COMPARE(map->Map().ShotCount(), 1); // the points are made off the UI thread

        const QPointF cursor(map->width() / 3.0, map->height() / 2.0);
        const QPointF world = map->Map().PixelToWorld(cursor, QRectF(map->rect()));
        QWheelEvent wheel(cursor, map->mapToGlobal(cursor), QPoint(), QPoint(0, 240), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(map, &wheel);
        QVERIFY(qFuzzyCompare(map->Map().Zoom(), 1.5625));
        const QPointF still = map->WorldToPixel(world.x(), world.y());
        QVERIFY(qAbs(still.x() - cursor.x()) < 1e-6 && qAbs(still.y() - cursor.y()) < 1e-6);

        const QPointF before = map->WorldToPixel(800, 500);
        QTest::mousePress(map, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
        QTest::mouseMove(map, QPoint(130, 90));
        QTest::mouseRelease(map, Qt::LeftButton, Qt::NoModifier, QPoint(130, 90));
        QCOMPARE(map->WorldToPixel(800, 500), before + QPointF(30, -10));

        // The picture drawn off the UI thread is the map of this very view, marks included,
        // drawn over the picture of the points of this view, not with them again.
        QTRY_VERIFY(!map->IsDrawing());
        const int pointsDrawn = map->PointsLayersDrawn();
        map->SetFindingMarks({QPointF(800, 500)});
        QTRY_VERIFY(!map->IsDrawing());
        QCOMPARE(map->PointsLayersDrawn(), pointsDrawn);
        QImage direct(map->size(), QImage::Format_ARGB32_Premultiplied);
        direct.fill(VeSurveyMap::BackgroundColor());
        {
            QPainter painter(&direct);
            map->Map().Paint(painter, QRectF(map->rect()));
        }
        QCOMPARE(map->DrawnImage(), direct);
        QCOMPARE(map->grab().toImage().convertToFormat(direct.format()), direct);

        // Records added later show after the refresh; the view stays where the user put it.
        geometry->AddShotGeometry(new VePrevSegySRGeometry{3, 400.0f, 250.0f, 0.0f});
        QTRY_COMPARE(map->Map().ShotCount(), 2);
        QCOMPARE(map->WorldToPixel(800, 500), before + QPointF(30, -10));
        QTRY_COMPARE(map->PointsLayersDrawn(), pointsDrawn + 1);

        QTest::mouseDClick(map, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
        QCOMPARE(map->Map().Zoom(), 1.0);
        QCOMPARE(map->Map().Pan(), QPointF());
        QTRY_COMPARE(map->PointsLayersDrawn(), pointsDrawn + 2); // a new view, new points
    }

    void mapPicksNearestPoint_data()
    {
        QTest::addColumn<QVariantList>("points"); // world points; an invalid one has no place
        QTest::addColumn<QPointF>("click");       // a world point
        QTest::addColumn<double>("offset");       // pixels to the right of it
        QTest::addColumn<int>("picked");

        const QPointF a(500, 500), b(600, 500);
        QTest::newRow("on its marker") << QVariantList{a} << a << 0.0 << 0;
        QTest::newRow("just within reach") << QVariantList{a} << a << 9.9 << 0;
        QTest::newRow("just out of reach") << QVariantList{a} << a << 10.1 << -1;
        QTest::newRow("the nearer of two") << QVariantList{a, b} << b << -2.0 << 1;
        QTest::newRow("of equally near ones, the last") << QVariantList{a, a} << a << 3.0 << 1;
        QTest::newRow("one without a place keeps its index")
            << QVariantList{QVariant(), a} << a << 0.0 << 1;
        QTest::newRow("none") << QVariantList{} << a << 0.0 << -1;
    }

    void mapPicksNearestPoint()
    {
        QFETCH(QVariantList, points);
        QFETCH(QPointF, click);
        QFETCH(double, offset);
        QFETCH(int, picked);

        VePrevStackSegyGeometry geometry;
        geometry.AddShotGeometry(new VePrevSegySRGeometry{1, 0.0f, 0.0f, 0.0f});
        geometry.AddReceiverGeometry(new VePrevSegySRGeometry{2, 1000.0f, 1000.0f, 0.0f});
        VeSurveyMapWidget map;
        map.resize(400, 400);
        map.SetGeometry(&geometry);
        std::vector<std::optional<QPointF>> pickable;
        for (const QVariant& p : points)
            pickable.push_back(p.isValid() ? std::optional<QPointF>(p.toPointF()) : std::nullopt);
        map.SetPickablePoints(std::move(pickable));
        QCOMPARE(map.PickablePointAt(map.WorldToPixel(click.x(), click.y()) + QPointF(offset, 0)),
                 picked);
    }

    // The pane over a result made by hand: the table, the tree by kind, the
    // filters and the sorting, each shown as "KIND|FILE|ROW|LINE|POINT" (a
    // kind's row in the tree: "KIND (N)|SEVERITY, G groups" and its findings
    // indented).
    void checkPaneShowsFindings_data()
    {
        QTest::addColumn<bool>("grouped");
        QTest::addColumn<QString>("kindFilter"); // a kind's name; empty: all
        QTest::addColumn<int>("fileFilter");     // -1: all
        QTest::addColumn<int>("sortColumn");     // -1: the check's order
        QTest::addColumn<bool>("descending");
        QTest::addColumn<QStringList>("shown");

        QTest::newRow("table in the check's order")
            << false << QString() << -1 << -1 << false
            << QStringList{"revision|s.sps|||",     "outlier|s.sps|9|2|20",
                           "outlier|s.sps|3|10|5",  "source-not-related|s.sps|4|10|6",
                           "duplicate|r.sps|7|1|9", "conflict|r.sps|2|1|100"};
        QTest::newRow("table by row, last first") << false << QString() << -1 << 2 << true
                                                  << QStringList{"outlier|s.sps|9|2|20",
                                                                 "duplicate|r.sps|7|1|9",
                                                                 "source-not-related|s.sps|4|10|6",
                                                                 "outlier|s.sps|3|10|5",
                                                                 "conflict|r.sps|2|1|100",
                                                                 "revision|s.sps|||"};
        QTest::newRow("table by point value, not text")
            << false << QString() << -1 << 4 << false
            << QStringList{"outlier|s.sps|3|10|5",   "source-not-related|s.sps|4|10|6",
                           "duplicate|r.sps|7|1|9",  "outlier|s.sps|9|2|20",
                           "conflict|r.sps|2|1|100", "revision|s.sps|||"};
        QTest::newRow("table by line name") << false << QString() << -1 << 3 << false
                                            << QStringList{"revision|s.sps|||",
                                                           "duplicate|r.sps|7|1|9",
                                                           "conflict|r.sps|2|1|100",
                                                           "outlier|s.sps|3|10|5",
                                                           "source-not-related|s.sps|4|10|6",
                                                           "outlier|s.sps|9|2|20"};
        QTest::newRow("table by file name")
            << false << QString() << -1 << 1 << false
            << QStringList{"duplicate|r.sps|7|1|9", "conflict|r.sps|2|1|100",
                           "revision|s.sps|||",     "outlier|s.sps|9|2|20",
                           "outlier|s.sps|3|10|5",  "source-not-related|s.sps|4|10|6"};
        QTest::newRow("table of one kind")
            << false << "outlier" << -1 << -1 << false
            << QStringList{"outlier|s.sps|9|2|20", "outlier|s.sps|3|10|5"};
        QTest::newRow("table of one file")
            << false << QString() << 1 << -1 << false
            << QStringList{"duplicate|r.sps|7|1|9", "conflict|r.sps|2|1|100"};
        QTest::newRow("tree by kind, the worst severity of each")
            << true << QString() << -1 << -1 << false
            << QStringList{
                   "revision (1)|error, 1 group",      "  revision|s.sps|||",
                   "duplicate (1)|warning, 1 group",   "  duplicate|r.sps|7|1|9",
                   "conflict (1)|error, 1 group",      "  conflict|r.sps|2|1|100",
                   "outlier (2)|warning, 2 groups",    "  outlier|s.sps|9|2|20",
                   "  outlier|s.sps|3|10|5",           "source-not-related (1)|warning, 1 group",
                   "  source-not-related|s.sps|4|10|6"};
        QTest::newRow("tree sorted within each kind, of one file")
            << true << QString() << 0 << 2 << false
            << QStringList{
                   "revision (1)|error, 1 group",      "  revision|s.sps|||",
                   "outlier (2)|warning, 2 groups",    "  outlier|s.sps|3|10|5",
                   "  outlier|s.sps|9|2|20",           "source-not-related (1)|warning, 1 group",
                   "  source-not-related|s.sps|4|10|6"};
        QTest::newRow("tree of a kind no file holds")
            << true << "conflict" << 0 << -1 << false << QStringList{};
    }

    void checkPaneShowsFindings()
    {
        QFETCH(bool, grouped);
        QFETCH(QString, kindFilter);
        QFETCH(int, fileFilter);
        QFETCH(int, sortColumn);
        QFETCH(bool, descending);
        QFETCH(QStringList, shown);

        auto result = std::make_shared<VeSurveyCheckResult>();
        result->ok = true;
        SPSCheckFindingList& list = result->findings;
        list.AddFile({"/data/s.sps", u'S', QString(), 0});
        list.AddFile({"/data/r.sps", u'R', QString(), 0});
        // A revision the layout does not read, which makes its kind an error.
        list.Add(0, 0, SPSCheckFinding::Revision, "misread").variant = 1;
        list.Add(0, 9, SPSCheckFinding::Outlier, "far", "2", "20");
        list.Add(0, 3, SPSCheckFinding::Outlier, "far", "10", "5");
        list.Add(0, 4, SPSCheckFinding::SourceNotRelated, "none", "10", "6");
        list.Add(1, 7, SPSCheckFinding::Duplicate, "again", "1", "9");
        list.Add(1, 2, SPSCheckFinding::Conflict, "again", "1", "100");
        result->CountFindings();

        VeSurveyCheckPane pane;
        pane.ShowResult(result);
        // The file chosen before the view, the kind after: both must hold.
        if (fileFilter >= 0)
            pane.FileFilter()->setCurrentIndex(pane.FileFilter()->findData(fileFilter));
        pane.SetGroupedByKind(grouped);
        QCOMPARE(pane.GroupedByKind(), grouped);
        if (!kindFilter.isEmpty()) {
            const int at = pane.KindFilter()->findText(kindFilter, Qt::MatchStartsWith);
            QVERIFY(at > 0);
            pane.KindFilter()->setCurrentIndex(at);
        }
        QAbstractItemView* view =
            grouped ? static_cast<QAbstractItemView*>(pane.TreeView()) : pane.View();
        if (sortColumn >= 0)
            view->model()->sort(sortColumn, descending ? Qt::DescendingOrder : Qt::AscendingOrder);

        QAbstractItemModel* model = view->model();
        const auto texts = [model](const QModelIndex& parent, int row, int columns) {
            QStringList cells;
            for (int c = 0; c < columns; ++c)
                cells << model->index(row, c, parent).data().toString();
            return cells.join(u'|');
        };
        QStringList seen;
        for (int row = 0; row < model->rowCount(); ++row) {
            if (!grouped) {
                seen << texts({}, row, 5);
                continue;
            }
            const QModelIndex kind = model->index(row, 0);
            seen << model->index(row, 0).data().toString() + u'|' +
                        model->index(row, 5).data().toString();
            for (int child = 0; child < model->rowCount(kind); ++child)
                seen << "  " + texts(kind, child, 5);
        }
        QCOMPARE(seen, shown);
        // A kind's tip lists its first groups as spsload --check does.
        if (grouped && shown.size() > 7)
            QCOMPARE(model->index(3, 0).data(Qt::ToolTipRole).toString(),
                     QString("/data/s.sps:9: line 2 point 20: far\n"
                             "/data/s.sps:3: line 10 point 5: far"));

        // Choosing the conflict by its index in the result shows it, where it
        // is shown at all, and names that index again.
        QSignalSpy chosen(&pane, &VeSurveyCheckPane::sigFindingSelected);
        pane.SelectFinding(5);
        const bool visible =
            shown.contains(QString(grouped ? "  " : "") + "conflict|r.sps|2|1|100");
        QCOMPARE(chosen.size(), visible ? 1 : 0);
        if (visible) {
            QCOMPARE(chosen.front().front().toInt(), 5);
            QCOMPARE(view->currentIndex().siblingAtColumn(2).data().toString(), QString("2"));
            // Still chosen in the other view.
            pane.SetGroupedByKind(!grouped);
            QAbstractItemView* other =
                grouped ? static_cast<QAbstractItemView*>(pane.View()) : pane.TreeView();
            QCOMPARE(other->currentIndex().siblingAtColumn(2).data().toString(), QString("2"));
            QCOMPARE(chosen.last().front().toInt(), 5);
        }
    }

    void checkPaneFetchesInBatches_data()
    {
        QTest::addColumn<bool>("grouped");
        QTest::newRow("table") << false;
        QTest::newRow("tree") << true;
    }

    // A view keeps a section per row it is given: a result of more rows than a
    // batch is given out a batch at a time, and a finding chosen beyond the
    // rows given is fetched with its batch.
    void checkPaneFetchesInBatches()
    {
        QFETCH(bool, grouped);
        constexpr int kBatch = VeSurveyCheckModel::kFetchRows;
        const int findings = 2 * kBatch + 1;
        const auto result = numberedFindings(findings);

        VeSurveyCheckPane pane;
        pane.SetGroupedByKind(grouped);
        pane.ShowResult(result);
        QAbstractItemView* view =
            grouped ? static_cast<QAbstractItemView*>(pane.TreeView()) : pane.View();
        QAbstractItemModel* model = view->model();
        const QModelIndex parent = grouped ? model->index(0, 0) : QModelIndex();
        QCOMPARE(model->rowCount(parent), kBatch);
        QVERIFY(model->canFetchMore(parent));
        model->fetchMore(parent);
        QCOMPARE(model->rowCount(parent), 2 * kBatch);

        pane.SelectFinding(findings - 1);
        QCOMPARE(model->rowCount(parent), findings);
        QVERIFY(!model->canFetchMore(parent));
        QCOMPARE(view->currentIndex().row(), findings - 1);
        QCOMPARE(view->currentIndex().siblingAtColumn(4).data().toString(),
                 QString::number(findings));

        // Sorted anew, the rows are given out from the first batch again.
        model->sort(VeSurveyCheckModel::PointColumn, Qt::DescendingOrder);
        QCOMPARE(model->rowCount(parent), kBatch);
        QCOMPARE(model->index(0, 4, parent).data().toString(), QString::number(findings));
    }

    // Many rows are sorted off the UI thread: the views keep the former order
    // until the new one is there, and only the last sort asked for is shown.
    void checkPaneSortsAside()
    {
        const int findings = int(VeSurveyCheckModel::kOrderAside) + 1;
        const auto result = numberedFindings(findings);
        auto pane = std::make_unique<VeSurveyCheckPane>();
        pane->ShowResult(result);
        auto* model = qobject_cast<VeSurveyCheckModel*>(pane->View()->model());
        QVERIFY(model);
        const auto firstPoint = [model] { return model->index(0, 4).data().toString(); };

        model->sort(VeSurveyCheckModel::RowColumn, Qt::DescendingOrder);
        QVERIFY(model->IsOrdering());
        QCOMPARE(firstPoint(), QStringLiteral("1"));
        QTRY_VERIFY(!model->IsOrdering());
        QCOMPARE(firstPoint(), QString::number(findings));
        QCOMPARE(model->rowCount(), VeSurveyCheckModel::kFetchRows);

        model->sort(VeSurveyCheckModel::PointColumn, Qt::AscendingOrder);
        model->sort(VeSurveyCheckModel::PointColumn, Qt::DescendingOrder);
        QTRY_VERIFY(!model->IsOrdering());
        QCOMPARE(firstPoint(), QString::number(findings));

        // A pane closed while it sorts waits for its sort, and nothing comes after.
        model->sort(VeSurveyCheckModel::PointColumn, Qt::AscendingOrder);
        QVERIFY(model->IsOrdering());
        pane.reset();
        QCoreApplication::processEvents();
    }

    void foldLayer_data()
    {
        // The lines as the S and R files name them (the X file: "1" and "1").
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<double>("x"); // the click, on the line's northing
        QTest::addColumn<double>("dy");
        QTest::addColumn<QString>("message"); // empty: the status bar keeps its text
        QTest::addColumn<QSizeF>("bins");     // empty: the fold's own (12.5 m)

        // Receivers 1-5 of line 1, 25 m apart east from x 1000; shots at
        // points 1, 3 and 5 of the line, each into all five. Bins are 12.5 m
        // (half the station spacing), one row: bin c, centred at x 1000 +
        // 12.5 c, holds the traces whose shot and receiver points sum to c + 2,
        // each 25 m times the points' difference long.
        const QStringList one{"1", "1"};
        QTest::newRow("three traces meet mid-line")
            << one << true << 1050.0 << 0.0 << "Bin 4, 0: fold 3, offsets 0.0-100.0 m" << QSizeF();
        QTest::newRow("two traces")
            << one << true << 1037.5 << 0.0 << "Bin 3, 0: fold 2, offsets 25.0-75.0 m" << QSizeF();
        QTest::newRow("two traces of one length")
            << one << true << 1025.0 << 0.0 << "Bin 2, 0: fold 2, offsets 50.0-50.0 m" << QSizeF();
        QTest::newRow("first bin, near its edge")
            << one << true << 995.0 << 5.0 << "Bin 0, 0: fold 1, offsets 0.0-0.0 m" << QSizeF();
        QTest::newRow("last bin") << one << true << 1100.0 << 0.0
                                  << "Bin 8, 0: fold 1, offsets 0.0-0.0 m" << QSizeF();
        QTest::newRow("past the last bin") << one << true << 1110.0 << 0.0 << "" << QSizeF();
        QTest::newRow("beside the row") << one << true << 1050.0 << 8.0 << "" << QSizeF();
        QTest::newRow("layer off") << one << false << 1050.0 << 0.0 << "" << QSizeF();
        // Lines match by number across the files, as in the check, whatever
        // else each file names first (a third entry: a shot of that line at
        // the start of the S file, which no relation names).
        QTest::newRow("shots of line 1.00, receivers of line 1.0, a shot of line 9 first")
            << QStringList{"1.00", "1.0", "9"} << true << 1050.0 << 0.0
            << "Bin 4, 0: fold 3, offsets 0.0-100.0 m" << QSizeF();
        // Bins of 25 m by 25 m, as spshost --bin sets them: bins 3 and 4 of
        // 12.5 m in one (2, its edges at 987.5 + 25 c), fold 2 + 3.
        QTest::newRow("bins of their own")
            << one << true << 1050.0 << 0.0 << "Bin 2, 0: fold 5, offsets 0.0-100.0 m"
            << QSizeF(25, 25);
    }

    void foldLayer()
    {
        QFETCH(QStringList, lines);
        QFETCH(bool, shown);
        QFETCH(double, x);
        QFETCH(double, dy);
        QFETCH(QString, message);
        QFETCH(QSizeF, bins);

        QTemporaryDir dir;
        QByteArray s, r, relations;
        if (lines.size() > 2)
            s += SPSTest::Row('S', lines[2], "1", "", "1000.0", "2000.0", "90");
        for (int p = 1; p <= 5; ++p) {
            const QString east = QString::number(1000 + 25 * (p - 1)) + ".0";
            r += SPSTest::Row('R', lines[1], QString::number(p), "", east, "2000.0", "90");
            if (p % 2 == 1) {
                s += SPSTest::Row('S', lines[0], QString::number(p), "", east, "2000.0", "90");
                relations += RelationRow(p, "1", p, 5, "1", 1, 5);
            }
        }
        QVERIFY(SPSTest::WriteFile(dir.filePath("s.sps"), s) &&
                SPSTest::WriteFile(dir.filePath("r.sps"), r) &&
                SPSTest::WriteFile(dir.filePath("x.sps"), relations));

        auto window = NewWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        VeObjNode* node = NodeOfClass(*window, "VePrevStackSegyGeometry");
        auto* geometry = qobject_cast<VePrevStackSegyGeometry*>(node->GetObject());
        for (int p = 1; p <= 5; ++p) {
            const float east = float(1000 + 25 * (p - 1));
            geometry->AddReceiverGeometry(new VePrevSegySRGeometry{100 + p, east, 2000.0f, 0.0f});
            if (p % 2 == 1)
                geometry->AddShotGeometry(new VePrevSegySRGeometry{p, east, 2000.0f, 0.0f});
        }
        window->SelectNode(node);
        VeTaskSPSFilesLoaderParam param;
        param.SourceFileName = dir.filePath("s.sps");
        param.ReceiverFileName = dir.filePath("r.sps");
        param.RelationFileName = dir.filePath("x.sps");
        if (!bins.isEmpty())
            window->FoldController()->SetBinSize(bins.width(), bins.height());
        window->CheckRunner()->Start(geometry->GetID(), param, param.Numbering);
        QTRY_VERIFY(window->FoldController()->FoldOf(geometry->GetID()));
        QTRY_COMPARE(window->FoldController()->RunningCount(), 0);
        QTRY_COMPARE(window->CheckRunner()->RunningCount(), 0);

        // Off at first; on, the map draws the bins beneath faint points and the colour bar.
        VeSurveyMapWidget* map = window->MapWidget();
        QVERIFY(!window->FoldLayerAction()->isChecked());
        QVERIFY(!map->FoldLayer());
        if (shown) {
            window->FoldLayerAction()->trigger();
            QVERIFY(map->FoldLayer());
            QTRY_VERIFY(!map->IsDrawing());
            const VeFoldMap& fold = *map->FoldLayer();
            QCOMPARE(fold.MaxFold(), bins.isEmpty() ? 3u : 5u);
            const QImage image = map->DrawnImage();
            const QRectF bar = fold.BarRect(QRectF(map->rect()));
            QCOMPARE(image.pixelColor(int(bar.center().x()), int(bar.top()) + 1),
                     fold.FoldColor(fold.MaxFold()));
            QCOMPARE(image.pixelColor(int(bar.center().x()), int(bar.bottom()) - 1),
                     fold.FoldColor(0));
            // Between two stations, a bin of fold 2 over the white background
            // (bins let 35/255 of what is beneath show through).
            const QColor bin = fold.FoldColor(bins.isEmpty() ? 2 : 5);
            const QColor seen = image.pixelColor(map->WorldToPixel(1037.5, 2000).toPoint());
            const auto through = [](int c) { return (c * 220 + 255 * 35) / 255; };
            QVERIFY2(std::abs(seen.red() - through(bin.red())) <= 2 &&
                         std::abs(seen.green() - through(bin.green())) <= 2 &&
                         std::abs(seen.blue() - through(bin.blue())) <= 2,
                     qPrintable(seen.name()));
        }
        window->statusBar()->showMessage("Ready");
        QTest::mouseClick(map, Qt::LeftButton, Qt::NoModifier,
                          map->WorldToPixel(x, 2000 + dy).toPoint());
        QCOMPARE(window->statusBar()->currentMessage(), message.isEmpty() ? "Ready" : message);
        if (shown) {
            window->FoldLayerAction()->trigger();
            QVERIFY(!map->FoldLayer());
        }
    }

    void tasksMenuRunsOnSelectedNode()
    {
        auto window = NewWindow();
        QCOMPARE(ActionTexts(window->TasksMenu()), QStringList{kTaskCaption});
        QCOMPARE(window->Tasks().size(), 1);
        VeTask* task = window->Tasks().first();
        QCOMPARE(task->GetRuntimeClass()->m_lpszClassName, "TstHostTask");
        QAction* action = ActionByText(window->TasksMenu(), kTaskCaption);
        QVERIFY(action);

        VeObjNode* gather = NodeOfClass(*window, "VePrevSegyTracesGather");
        window->SelectNode(gather);
        action->trigger();
        QCOMPARE(task->GetTargetNode(), gather);
        const QString ran = QString("Test task %1 ran on %2").arg(task->GetID());
        QVERIFY(HasEntry(VeEventsLog::EventsLogInformation, ran.arg("VePrevSegyTracesGather")));

        // The same task object runs again, now with no node selected.
        window->SelectNode(nullptr);
        action->trigger();
        QCOMPARE(window->Tasks(), QList<VeTask*>{task});
        QCOMPARE(task->GetTargetNode(), nullptr);
        QVERIFY(HasEntry(VeEventsLog::EventsLogInformation, ran.arg("no node")));
    }

    void loadIntoNewGeometry()
    {
        auto window = NewWindow();
        const int before = window->RootNode()->ChildNodes().size();
        QSignalSpy messages(window->statusBar(), &QStatusBar::messageChanged);

        TriggerMenuEntry(*window, nullptr, kLoadNewText);
        QCOMPARE(RunningTestLoads().size(), 1);
        QTRY_VERIFY(window->BusyIndicator()->isVisible());
        QTRY_COMPARE(window->statusBar()->currentMessage(), QString("Reading"));

        ReleaseLoads();
        QTRY_COMPARE(window->RootNode()->ChildNodes().size(), before + 1);
        QTRY_VERIFY(!window->BusyIndicator()->isVisible());
        QTRY_COMPARE(window->statusBar()->currentMessage(), QString("Ready"));
        QVERIFY(messages.contains(QVariantList{QString("Reading")}));

        VeObjNode* node = window->RootNode()->ChildNodes().last();
        auto* geometry = qobject_cast<VePrevStackSegyGeometry*>(node->GetObject());
        QVERIFY(geometry);
        QCOMPARE(geometry->GetName(), QString("Test Geometry"));
        QCOMPARE(geometry->ShotCount(), kShotCount);
        QCOMPARE(geometry->ReceiverCount(), kReceiverCount);
        QTreeWidgetItem* item = window->ObjectTree()->ItemOf(node);
        QVERIFY(item);
        QCOMPARE(item->text(0), QString("Test Geometry"));
        QTRY_COMPARE(item->text(2),
                     QString("%1 shots, %2 receivers").arg(kShotCount).arg(kReceiverCount));

        // The new geometry is selected and mapped.
        QCOMPARE(window->SelectedNode(), node);
        QCOMPARE(window->MapWidget()->Geometry(), geometry);
        QTRY_COMPARE(window->MapWidget()->Map().ShotCount(), kShotCount);
        QCOMPARE(window->MapWidget()->Map().ReceiverCount(), kReceiverCount);
        CheckMap(window->MapWidget());
        // It said what it filled, but its record is no SPS load's: nothing to check.
        QCOMPARE(window->CheckRunner()->RunningCount(), 0);
        QCOMPARE(window->CheckPane()->StatusText(),
                 QString("Load SPS files into the selected geometry to check them."));
    }

    void loadIntoShownGeometryRefreshesMap()
    {
        auto window = NewWindow();
        VeObjNode* node = NodeOfClass(*window, "VePrevStackSegyGeometry");
        window->SelectNode(node);
        QCOMPARE(window->MapWidget()->Geometry(), node->GetObject());
        QCOMPARE(window->MapWidget()->Map().ShotCount(), 0);
        const int nodes = window->ObjectTree()->Nodes().size();

        TriggerMenuEntry(*window, node, kLoadIntoText);
        ReleaseLoads();
        QTRY_COMPARE(window->MapWidget()->Map().ShotCount(), kShotCount);
        QTRY_COMPARE(window->MapWidget()->Map().ReceiverCount(), kReceiverCount);
        QCOMPARE(window->ObjectTree()->Nodes().size(), nodes);
        CheckMap(window->MapWidget());
    }

    void deleteWaitsForRunningLoad()
    {
        auto window = NewWindow();
        QPointer<VeObjNode> node = NodeOfClass(*window, "VePrevStackSegyGeometry");
        window->SelectNode(node);
        QPointer<VeObject> object = node->GetObject();
        TriggerMenuEntry(*window, node, kLoadIntoText);
        QCOMPARE(RunningTestLoads().size(), 1);

        TriggerMenuEntry(*window, node, "&Delete");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        QVERIFY(node && object);
        QVERIFY(window->ObjectTree()->ItemOf(node)->isDisabled());

        ReleaseLoads();
        QTRY_VERIFY(!node);
        QVERIFY(!object);
        QCOMPARE(window->RootNode()->ChildNodes().size(), 2);
        QCOMPARE(window->ObjectTree()->topLevelItem(0)->childCount(), 2);
        QCOMPARE(window->MapWidget()->Geometry(), nullptr);
        QCOMPARE(window->MapWidget()->Map().ShotCount(), 0);
    }

    void closeWaitsForRunningLoad()
    {
        auto window = NewWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        const int before = window->RootNode()->ChildNodes().size();
        TriggerMenuEntry(*window, nullptr, kLoadNewText);
        QCOMPARE(RunningTestLoads().size(), 1);
        // The window stays, and goes on drawing, while the load goes on.
        QVERIFY(!window->close());
        QVERIFY(window->isVisible());
        QCOMPARE(window->statusBar()->currentMessage(),
                 QString("Waiting for 1 load(s) to finish..."));
        QTest::qWait(50);
        QVERIFY(window->isVisible());

        ReleaseLoads();
        QTRY_VERIFY(!window->isVisible());
        QCOMPARE(VeThreadRegistry::Instance()->RunningCount(), 0);
        // What it loaded reached the tree before the window went.
        QCOMPARE(window->RootNode()->ChildNodes().size(), before + 1);
        auto* geometry = qobject_cast<VePrevStackSegyGeometry*>(
            window->RootNode()->ChildNodes().last()->GetObject());
        QVERIFY(geometry);
        QCOMPARE(geometry->ShotCount(), kShotCount);
        QCOMPARE(geometry->ReceiverCount(), kReceiverCount);
    }

    void destroyedWindowWaitsForRunningLoad()
    {
        auto window = NewWindow();
        TriggerMenuEntry(*window, nullptr, kLoadNewText);
        VeThread* load = RunningTestLoads().first();
        std::thread releaser([load]() {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            QMetaObject::invokeMethod(load, "Release", Qt::DirectConnection);
        });
        window.reset();
        releaser.join();
        QCOMPARE(VeThreadRegistry::Instance()->RunningCount(), 0);
        QCOMPARE(GetMainWindow(), nullptr);
    }
};

QTEST_MAIN(TestSpsHost)
#include "tst_spshost.moc"
