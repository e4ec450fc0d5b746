// spshost with the real seismic survey plug-in module, driven as a user drives
// it: menus, the task, the load dialog's widgets, the new geometry and its map.
// The loads come from the module; the window itself holds only the engine's
// reading, for its survey check.
#include "FileSizeLimit.h"
#include "SPSSurveyGenerator.h"
#include "SPSTestBoxes.h"
#include "SPSTestFolder.h"
#include "SPSTestProgram.h"
#include "SPSTestRows.h"
#include "SurveyMapMarks.h"
#include "VeEventsLog.h"
#include "VeHostMainWindow.h"
#include "VeObjNode.h"
#include "VeObjTreeWidget.h"
#include "VePluginManager.h"
#include "VePluginObject.h"
#include "VePrevStackSegyGeometry.h"
#include "VeRuntimeClass.h"
#include "VeSPSLoadScript.h"
#include "VeSheetTaskBaseDialog.h"
#include "VeSurveyCheckPane.h"
#include "VeSurveyCheckRunner.h"
#include "VeSurveyMapWidget.h"
#include "VeThreadRegistry.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QDockWidget>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <memory>

namespace {
const char* const kLoadNew = "&Load SPS File";
const char* const kLoadInto = "&Load from SPS File";
// A load of a few hundred records, slowed down by the sanitizers at most.
constexpr int kLoadTimeoutMs = 60000;
// Points per file of the generated survey: its load takes about half a second
// in the window, and with its check over a second, with or without the
// address sanitizer; far longer than any first look of the window at it.
constexpr qint64 kLargePoints = 100000;

QString Example(const char* name)
{
    return QDir(EXAMPLES_DIR).filePath(name);
}

QStringList ActionTexts(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* a : menu->actions())
        if (!a->isSeparator())
            texts << a->text();
    return texts;
}

VeObjNode* NodeOfClass(VeHostMainWindow& window, const char* className)
{
    for (VeObjNode* node : window.ObjectTree()->Nodes())
        if (node->GetObject() &&
            qstrcmp(node->GetObject()->GetRuntimeClass()->m_lpszClassName, className) == 0)
            return node;
    return nullptr;
}

QList<VeEventsLogEntry> EntriesOfType(VeEventsLog::EEventsLogType type)
{
    QList<VeEventsLogEntry> found;
    for (const VeEventsLogEntry& e : VeEventsLog::Instance()->Entries())
        if (e.type == type)
            found << e;
    return found;
}

QStringList Texts(const QList<VeEventsLogEntry>& entries)
{
    QStringList texts;
    for (const VeEventsLogEntry& e : entries)
        texts << e.text;
    return texts;
}

VeSheetTaskBaseDialog* OpenDialog(VeHostMainWindow& window)
{
    VeSheetTaskBaseDialog* open = nullptr;
    for (VeSheetTaskBaseDialog* d : window.findChildren<VeSheetTaskBaseDialog*>())
        if (d->isVisible())
            open = d;
    return open;
}
} // namespace

class TestHostEndToEnd : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<VeHostMainWindow> m_pWindow;
    SurveyPoints m_Shots;
    SurveyPoints m_Receivers;
    // survey.s, survey.r and survey.x of kLargePoints points each.
    QTemporaryDir m_LargeSurvey;
    // Message boxes that showed; a box is answered so that it never blocks.
    std::unique_ptr<SPSTest::MessageBoxAnswerer> m_pBoxes;

    QStringList LargeSurvey() const
    {
        return {m_LargeSurvey.filePath("survey.s"), m_LargeSurvey.filePath("survey.r"),
                m_LargeSurvey.filePath("survey.x")};
    }

    // Right-clicks the node's row (null: an empty spot below the rows), as the
    // tree's context menu signal does, and hands the popup to the action.
    void WithPopup(VeObjNode* node, const std::function<void(QMenu*)>& action)
    {
        VeObjTreeWidget* tree = m_pWindow->ObjectTree();
        QPoint pos(5, tree->viewport()->height() - 5);
        if (node)
            pos = tree->visualItemRect(tree->ItemOf(node)).center();
        QCOMPARE(tree->NodeAt(pos), node);
        bool shown = false;
        // The popup runs its own loop: act on it from within.
        QTimer::singleShot(0, this, [&]() {
            auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!popup)
                return;
            shown = true;
            action(popup);
            if (popup->isVisible())
                popup->close();
        });
        Q_EMIT tree->customContextMenuRequested(pos);
        QVERIFY(shown);
    }

    // Clicks the entry of the node's popup menu.
    void ClickPopupEntry(VeObjNode* node, const QString& text)
    {
        bool clicked = false;
        WithPopup(node, [&](QMenu* popup) {
            for (QAction* a : popup->actions())
                if (a->text() == text) {
                    QTest::mouseClick(popup, Qt::LeftButton, Qt::NoModifier,
                                      popup->actionGeometry(a).center());
                    clicked = true;
                }
        });
        QVERIFY2(clicked, qPrintable(text));
    }

    // Fills the dialog's pages through their widgets and presses OK.
    void FillAndAccept(VeSheetTaskBaseDialog* dialog)
    {
        QCOMPARE(dialog->windowTitle(), QString("Load SPS Files"));
        QTabWidget* pages = dialog->TabWidget();
        QCOMPARE(pages->count(), 2);
        QCOMPARE(pages->tabText(0), QString("Files"));
        QCOMPARE(pages->tabText(1), QString("Format"));

        pages->setCurrentIndex(0);
        auto* fileTabs = dialog->findChild<QTabWidget*>("TabSPSFileBrowser");
        QVERIFY(fileTabs);
        const QList<QPair<const char*, QString>> fields{
            {"TxtSourceName", Example("example.sps")},
            {"TxtReceiverName", Example("example.rps")},
            {"TxtRelationName", Example("example.xps")}};
        for (int tab = 0; tab < fields.size(); ++tab) {
            fileTabs->setCurrentIndex(tab);
            auto* edit = dialog->findChild<QLineEdit*>(fields.at(tab).first);
            QVERIFY2(edit && edit->isVisible(), fields.at(tab).first);
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Delete);
            QTest::keyClicks(edit, fields.at(tab).second);
            QCOMPARE(edit->text(), fields.at(tab).second);
        }

        // The examples are in the standard layout.
        pages->setCurrentIndex(1);
        auto* standard = dialog->findChild<QAbstractButton*>("RadUseStandard");
        QVERIFY(standard && standard->isVisible());
        QTest::mouseClick(standard, Qt::LeftButton);
        QVERIFY(standard->isChecked());

        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        QVERIFY(buttons);
        QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    }

    // The geometry holds the example survey, and the map shows it.
    void CheckLoadedGeometry(VeObjNode* node)
    {
        auto* geometry = qobject_cast<VePrevStackSegyGeometry*>(node->GetObject());
        QVERIFY(geometry);
        QTRY_COMPARE_WITH_TIMEOUT(geometry->ShotCount(), int(m_Shots.size()), kLoadTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(geometry->ReceiverCount(), int(m_Receivers.size()),
                                  kLoadTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(VeThreadRegistry::Instance()->RunningCount(), 0, kLoadTimeoutMs);
        // Each record has the number and place its file gives it.
        const auto checkRecords = [](const std::vector<VePrevSegySRGeometry>& records,
                                     const SurveyPoints& expected) {
            for (const VePrevSegySRGeometry& r : records) {
                const auto it = expected.find(r.m_nNumber);
                QVERIFY2(it != expected.end(), qPrintable(QString::number(r.m_nNumber)));
                QCOMPARE(QPointF(r.m_fX, r.m_fY), it->second);
            }
        };
        checkRecords(geometry->Shots(), m_Shots);
        checkRecords(geometry->Receivers(), m_Receivers);
        if (QTest::currentTestFailed())
            return;

        QTreeWidgetItem* item = m_pWindow->ObjectTree()->ItemOf(node);
        QVERIFY(item);
        QTRY_COMPARE(item->text(2),
                     QString("%1 shots, %2 receivers").arg(m_Shots.size()).arg(m_Receivers.size()));
        QCOMPARE(m_pWindow->SelectedNode(), node);
        VeSurveyMapWidget* map = m_pWindow->MapWidget();
        QCOMPARE(map->Geometry(), geometry);
        QTRY_COMPARE(map->Map().ShotCount(), int(m_Shots.size()));
        QTRY_COMPARE(map->Map().ReceiverCount(), int(m_Receivers.size()));
        QTRY_VERIFY(!m_pWindow->BusyIndicator()->isVisible());
        QCOMPARE(m_pWindow->statusBar()->currentMessage(), QString("Ready"));

        QTRY_VERIFY(!map->IsDrawing());
        const QImage image = map->grab().toImage();
        QCOMPARE(image.size(), map->size());
        CheckSurveyMarks(image, map->Map().PlotRect(QRectF(map->rect())), m_Shots, m_Receivers);

        // A clean load of a clean survey.
        QCOMPARE(Texts(EntriesOfType(VeEventsLog::EventsLogWarning)), QStringList());
        QCOMPARE(Texts(EntriesOfType(VeEventsLog::EventsLogError)), QStringList());
    }

private Q_SLOTS:
    void initTestCase()
    {
        // Worked out from the files, apart from the program.
        m_Shots = ReadSurveyPoints(Example("example.sps"), 'S');
        m_Receivers = ReadSurveyPoints(Example("example.rps"), 'R');
        QVERIFY(m_Shots.size() > 100 && m_Receivers.size() > 200);

        QVERIFY(m_LargeSurvey.isValid());
        QString error;
        SPSSurveyGenerator::Options options;
        options.points = kLargePoints;
        QVERIFY2(SPSSurveyGenerator::Write(m_LargeSurvey.filePath("survey.s"), options, &error),
                 qPrintable(error));
        options.letter = u'R';
        QVERIFY2(SPSSurveyGenerator::Write(m_LargeSurvey.filePath("survey.r"), options, &error),
                 qPrintable(error));
        QVERIFY2(SPSSurveyGenerator::WriteRelations(m_LargeSurvey.filePath("survey.x"),
                                                    kLargePoints, 100, &error),
                 qPrintable(error));
    }

    void init()
    {
        VeEventsLog::Instance()->Clear();
        m_pBoxes = std::make_unique<SPSTest::MessageBoxAnswerer>();
        m_pWindow = std::make_unique<VeHostMainWindow>(SPS_PLUGIN_DIR);
        m_pWindow->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pWindow.get()));
    }

    void cleanup()
    {
        VeThreadRegistry::Instance()->WaitForAll();
        m_pWindow.reset();
        QCOMPARE(m_pBoxes->TitlesAndTexts(), QList<QStringList>());
    }

    void pluginFound()
    {
        const QList<VePluginObject*> plugins = m_pWindow->PluginManager()->Plugins();
        QCOMPARE(plugins.size(), 1);
        QCOMPARE(plugins.first()->GetName(), QString("Seismic Survey"));
        QCOMPARE(m_pWindow->PluginManager()->FileOf(plugins.first()),
                 QString("libspsseismicsurvey.so"));
        const QList<VeEventsLogEntry> info = EntriesOfType(VeEventsLog::EventsLogInformation);
        QCOMPARE(info.size(), 1);
        QVERIFY2(info.first().text.startsWith("Plug-in \"Seismic Survey\" 1 of ") &&
                     info.first().text.endsWith(" loaded from \"libspsseismicsurvey.so\"."),
                 qPrintable(info.first().text));
        QCOMPARE(Texts(EntriesOfType(VeEventsLog::EventsLogWarning)), QStringList());
        QCOMPARE(Texts(EntriesOfType(VeEventsLog::EventsLogError)), QStringList());
        // Its task, by caption, under the plug-in's name.
        QStringList tasks;
        for (const QAction* a : m_pWindow->TasksMenu()->actions())
            tasks << a->text();
        QCOMPARE(tasks, (QStringList{"Seismic Survey", "SPS loader"}));
    }

    void contextMenus_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QStringList>("entries");

        QTest::newRow("empty spot") << "" << QStringList{kLoadNew};
        QTest::newRow("survey root, no object") << "root" << QStringList{kLoadNew};
        QTest::newRow("geometry") << "VePrevStackSegyGeometry" << QStringList{kLoadInto, "&Delete"};
        QTest::newRow("traces gather") << "VePrevSegyTracesGather" << QStringList{"&Delete"};
        QTest::newRow("observer") << "VePrevStackSegyObserver" << QStringList{"&Delete"};
    }

    void contextMenus()
    {
        QFETCH(QString, node);
        QFETCH(QStringList, entries);

        VeObjNode* target = node.isEmpty()   ? nullptr
                            : node == "root" ? m_pWindow->RootNode()
                                             : NodeOfClass(*m_pWindow, qPrintable(node));
        QVERIFY(node.isEmpty() || target);
        QStringList shown;
        WithPopup(target, [&shown](QMenu* popup) { shown = ActionTexts(popup); });
        QCOMPARE(shown, entries);
    }

    void loadFromTasksMenu()
    {
        // A node without an object selected: the load makes a new geometry.
        m_pWindow->SelectNode(m_pWindow->RootNode());
        const int before = m_pWindow->RootNode()->ChildNodes().size();
        QAction* task = nullptr;
        for (QAction* a : m_pWindow->TasksMenu()->actions())
            if (a->text() == "SPS loader")
                task = a;
        QVERIFY(task);
        task->trigger();
        VeSheetTaskBaseDialog* dialog = nullptr;
        QTRY_VERIFY((dialog = OpenDialog(*m_pWindow)));
        QPointer<VeSheetTaskBaseDialog> guard(dialog);
        FillAndAccept(dialog);
        if (QTest::currentTestFailed())
            return;
        QTRY_VERIFY(!guard);

        QTRY_COMPARE_WITH_TIMEOUT(m_pWindow->RootNode()->ChildNodes().size(), before + 1,
                                  kLoadTimeoutMs);
        VeObjNode* node = m_pWindow->RootNode()->ChildNodes().last();
        QCOMPARE(node->GetObject()->GetName(), QString("SPS SR Geometry"));
        CheckLoadedGeometry(node);
    }

    void loadIntoGeometryFromItsMenu()
    {
        VeObjNode* node = NodeOfClass(*m_pWindow, "VePrevStackSegyGeometry");
        QVERIFY(node);
        const int nodes = m_pWindow->ObjectTree()->Nodes().size();
        ClickPopupEntry(node, kLoadInto);
        if (QTest::currentTestFailed())
            return;
        VeSheetTaskBaseDialog* dialog = nullptr;
        QTRY_VERIFY((dialog = OpenDialog(*m_pWindow)));
        FillAndAccept(dialog);
        if (QTest::currentTestFailed())
            return;
        CheckLoadedGeometry(node);
        QCOMPARE(m_pWindow->ObjectTree()->Nodes().size(), nodes);
        QCOMPARE(node->GetObject()->GetName(), QString("Geometry"));
    }

    void loadOption()
    {
        const int before = m_pWindow->RootNode()->ChildNodes().size();
        // The sample geometry is selected, as a user may have left it: the load
        // still makes a new one.
        m_pWindow->SelectNode(NodeOfClass(*m_pWindow, "VePrevStackSegyGeometry"));
        QString error;
        QVERIFY2(StartSPSLoaderTask(
                     m_pWindow.get(),
                     {Example("example.sps"), Example("example.rps"), Example("example.xps")},
                     &error),
                 qPrintable(error));
        QTRY_COMPARE_WITH_TIMEOUT(m_pWindow->RootNode()->ChildNodes().size(), before + 1,
                                  kLoadTimeoutMs);
        CheckLoadedGeometry(m_pWindow->RootNode()->ChildNodes().last());
        QCOMPARE(OpenDialog(*m_pWindow), nullptr);
    }

    void loadOptionWithoutRelationLeavesDialogOpen()
    {
        const int before = m_pWindow->RootNode()->ChildNodes().size();
        QVERIFY(
            StartSPSLoaderTask(m_pWindow.get(), {Example("example.sps"), Example("example.rps")}));
        VeSheetTaskBaseDialog* dialog = OpenDialog(*m_pWindow);
        QVERIFY(dialog);
        QCOMPARE(Texts(EntriesOfType(VeEventsLog::EventsLogWarning)),
                 QStringList{"SPS Relation File Error!"});
        auto* source = dialog->findChild<QLineEdit*>("TxtSourceName");
        QVERIFY(source);
        QCOMPARE(source->text(), Example("example.sps"));
        QCOMPARE(VeThreadRegistry::Instance()->RunningCount(), 0);
        dialog->reject();
        QCOMPARE(m_pWindow->RootNode()->ChildNodes().size(), before);
    }

    void loadOptionWithoutPlugin()
    {
        QTemporaryDir empty;
        m_pWindow.reset();
        m_pWindow = std::make_unique<VeHostMainWindow>(empty.path());
        QString error;
        QVERIFY(!StartSPSLoaderTask(m_pWindow.get(),
                                    {Example("example.sps"), Example("example.rps")}, &error));
        QCOMPARE(error, QString("No plug-in offers the task \"SPS loader\"."));
    }

    void surveyCheck()
    {
        // The example survey with shot 50305 moved 400 m east, off its line, and
        // the row of receiver 10312 written twice.
        QTemporaryDir dir;
        const auto copy = [&dir](const char* name, const QByteArray& row, const QByteArray& by) {
            QFile in(Example(name)), out(dir.filePath(name));
            QVERIFY(in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly));
            QByteArray bytes = in.readAll();
            const qsizetype at = bytes.indexOf(row);
            QVERIFY(at > 0);
            bytes.replace(at, row.size(), by);
            QCOMPARE(out.write(bytes), bytes.size());
        };
        copy("example.sps", "503051E1   012.0   012 0.0 452587.6",
             "503051E1   012.0   012 0.0 452987.6");
        const QByteArray receiver =
            "R103                103121G1   0 0.0   0 0 0.0 452275.3 5812400.3  91.2127000000\r\n";
        copy("example.rps", receiver, receiver + receiver);
        copy("example.xps", "X", "X");
        if (QTest::currentTestFailed())
            return;

        QString error;
        QVERIFY2(StartSPSLoaderTask(m_pWindow.get(),
                                    {dir.filePath("example.sps"), dir.filePath("example.rps"),
                                     dir.filePath("example.xps")},
                                    &error),
                 qPrintable(error));
        VeSurveyCheckPane* pane = m_pWindow->CheckPane();
        QTRY_COMPARE_WITH_TIMEOUT(m_pWindow->CheckDock()->windowTitle(),
                                  QString("Survey check: revision 3, duplicate 1, outlier 1, "
                                          "precision 2"),
                                  kLoadTimeoutMs);
        QTableView* table = pane->View();
        QCOMPARE(table->model()->rowCount(), 7);
        QCOMPARE(pane->StatusText(), QString());
        // The check took the point rows from the load: S and R were read once.
        QVERIFY(pane->Result() && pane->Result()->pointsFromLoad);
        // Sorted by row, last first: the duplicate, then the outlier.
        table->horizontalHeader()->setSortIndicator(2, Qt::DescendingOrder);
        const QStringList columns{"Kind", "File", "Row", "Line", "Point", "Message"};
        const auto shown = [table](int row) {
            QStringList texts;
            for (int c = 0; c < 5; ++c)
                texts << table->model()->index(row, c).data().toString();
            return texts;
        };
        QCOMPARE(shown(0), (QStringList{"duplicate", "example.rps", "117", "103", "10312"}));
        QCOMPARE(shown(1), (QStringList{"outlier", "example.sps", "62", "503", "50305"}));
        for (int c = 0; c < columns.size(); ++c)
            QCOMPARE(table->model()->headerData(c, Qt::Horizontal).toString(), columns[c]);

        // The map rings both points; a click on the shot picks its finding.
        VeSurveyMapWidget* map = m_pWindow->MapWidget();
        QTRY_COMPARE(map->Map().FindingMarks().size(), size_t(2));
        const QPointF outlier(452987.6, 5812149.7);
        QTest::mouseClick(map, Qt::LeftButton, Qt::NoModifier,
                          map->WorldToPixel(outlier.x(), outlier.y()).toPoint());
        QCOMPARE(table->currentIndex().row(), 1);
        QCOMPARE(map->Map().MarkedPoint(), std::optional<QPointF>(outlier));
        // Choosing the duplicate in the list centres the map on it.
        table->setCurrentIndex(table->model()->index(0, 0));
        const QPointF centre = map->Map().PlotRect(QRectF(map->rect())).center();
        const QPointF at = map->WorldToPixel(452275.3, 5812400.3);
        QVERIFY2(std::abs(at.x() - centre.x()) < 0.5 && std::abs(at.y() - centre.y()) < 0.5,
                 qPrintable(QString("%1,%2").arg(at.x()).arg(at.y())));
        QCOMPARE(map->Map().MarkedPoint(), std::optional<QPointF>(QPointF(452275.3, 5812400.3)));
        // The layer can be switched off.
        m_pWindow->FindingsLayerAction()->trigger();
        QVERIFY(map->Map().FindingMarks().empty());
    }

    // Lines that share point numbers: the check names the line factor that
    // keeps them apart, and one click loads the files again with it.
    void loadAgainWithLineFactor()
    {
        QTemporaryDir dir;
        QByteArray srows, rrows;
        for (const char* line : {"1", "2"})
            for (const char* point : {"101", "102"})
                srows += SPSTest::Row('S', line, point, "", QString("45%1000.0").arg(line),
                                      QString("58%1000.0").arg(point), "90");
        for (const char* line : {"7", "8"})
            for (const char* point : {"501", "502"})
                rrows += SPSTest::Row('R', line, point, "", QString("45%1000.0").arg(line),
                                      QString("58%1000.0").arg(point), "90");
        QVERIFY(SPSTest::WriteFile(dir.filePath("s.sps"), srows) &&
                SPSTest::WriteFile(dir.filePath("r.sps"), rrows) &&
                SPSTest::WriteFile(dir.filePath("x.sps"), "H26\r\n"));
        QString error;
        QVERIFY2(StartSPSLoaderTask(
                     m_pWindow.get(),
                     {dir.filePath("s.sps"), dir.filePath("r.sps"), dir.filePath("x.sps")}, &error),
                 qPrintable(error));
        QPushButton* again = m_pWindow->CheckPane()->LoadAgainButton();
        QTRY_VERIFY2_WITH_TIMEOUT(
            !again->isHidden(), qPrintable(m_pWindow->CheckDock()->windowTitle()), kLoadTimeoutMs);
        QCOMPARE(again->text(), QString("Load again with line factor 1000"));
        VeObjNode* first = m_pWindow->SelectedNode();
        const int before = m_pWindow->RootNode()->ChildNodes().size();
        QCOMPARE(qobject_cast<VePrevStackSegyGeometry*>(first->GetObject())->ShotCount(), 2);

        again->click();
        QTRY_COMPARE_WITH_TIMEOUT(m_pWindow->RootNode()->ChildNodes().size(), before + 1,
                                  kLoadTimeoutMs);
        VeObjNode* second = m_pWindow->RootNode()->ChildNodes().last();
        QVERIFY(second != first);
        auto* geometry = qobject_cast<VePrevStackSegyGeometry*>(second->GetObject());
        QVERIFY(geometry);
        QTRY_COMPARE_WITH_TIMEOUT(geometry->ShotCount(), 4, kLoadTimeoutMs);
        QCOMPARE(geometry->ShotAt(0).m_nNumber, 1101);
        QCOMPARE(geometry->ReceiverCount(), 4);
        QCOMPARE(geometry->ReceiverAt(3).m_nNumber, 8502);
        // Its own check finds no shared numbers, so the offer goes.
        QTRY_VERIFY_WITH_TIMEOUT(!m_pWindow->CheckDock()->windowTitle().contains("checking"),
                                 kLoadTimeoutMs);
        QVERIFY(!m_pWindow->CheckDock()->windowTitle().contains("shared-number"));
        QVERIFY(again->isHidden());
    }

    void closeWhileBusy_data()
    {
        QTest::addColumn<bool>("duringCheck");
        QTest::addColumn<bool>("cancel"); // Cancel in the status bar instead of closing

        QTest::newRow("load running") << false << false;
        QTest::newRow("check running") << true << false;
        QTest::newRow("load cancelled") << false << true;
        QTest::newRow("check cancelled") << true << true;
    }

    void closeWhileBusy()
    {
        QFETCH(bool, duringCheck);
        QFETCH(bool, cancel);

        const int before = m_pWindow->RootNode()->ChildNodes().size();
        VeEventsLog::Instance()->Clear();
        // Closed (or cancelled) the moment the check has started, or the load.
        bool stayed = false;
        const auto act = [&]() {
            if (!cancel) {
                stayed = !m_pWindow->close();
                return;
            }
            // Clicked at once: the button shows on the window's next look at the runs.
            m_pWindow->CancelButton()->click();
            stayed = true;
        };
        QMetaObject::Connection closer;
        if (duringCheck)
            closer =
                connect(m_pWindow->CheckRunner(), &VeSurveyCheckRunner::sigStarted, this, [&]() {
                    disconnect(closer);
                    act();
                });
        QString error;
        QVERIFY2(StartSPSLoaderTask(m_pWindow.get(), LargeSurvey(), &error), qPrintable(error));
        if (!duringCheck) {
            QCOMPARE(VeThreadRegistry::Instance()->RunningCount(), 1);
            act();
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(stayed, kLoadTimeoutMs);
        }
        // The close was refused at first (a stopped check may end, and the
        // window go, while the test still waits for the refusal).
        QVERIFY(stayed);
        if (cancel) {
            QVERIFY(m_pWindow->isVisible());
            // Nothing runs any more, and the window stays.
            QTRY_VERIFY_WITH_TIMEOUT(VeThreadRegistry::Instance()->RunningCount() +
                                             m_pWindow->CheckRunner()->RunningCount() ==
                                         0,
                                     kLoadTimeoutMs);
            QTRY_VERIFY(!m_pWindow->CancelButton()->isVisible());
            QVERIFY(m_pWindow->isVisible());
        } else {
            // The window waits, drawing, and goes by itself once nothing runs.
            QTRY_VERIFY_WITH_TIMEOUT(!m_pWindow->isVisible(), kLoadTimeoutMs);
        }
        QCOMPARE(VeThreadRegistry::Instance()->RunningCount() +
                     m_pWindow->CheckRunner()->RunningCount(),
                 0);
        if (cancel && !duringCheck) {
            // A cancelled load hands nothing over, says so, and is not checked.
            QCOMPARE(m_pWindow->RootNode()->ChildNodes().size(), before);
            QStringList warnings;
            for (const VeEventsLogEntry& e : VeEventsLog::Instance()->Entries())
                if (e.type == VeEventsLog::EventsLogWarning)
                    warnings << e.text;
            // Either file may be the one being read.
            QCOMPARE(warnings.size(), 1);
            QVERIFY2(
                warnings[0] == QString("The load was cancelled while reading [%1].")
                                   .arg(LargeSurvey()[0]) ||
                    warnings[0] ==
                        QString("The load was cancelled while reading [%1].").arg(LargeSurvey()[1]),
                qPrintable(warnings[0]));
            QCOMPARE(m_pWindow->CheckRunner()->RunningCount(), 0);
            return;
        }
        // The load is not lost: its geometry reached the tree whole.
        QCOMPARE(m_pWindow->RootNode()->ChildNodes().size(), before + 1);
        const auto* geometry = qobject_cast<VePrevStackSegyGeometry*>(
            m_pWindow->RootNode()->ChildNodes().last()->GetObject());
        QVERIFY(geometry && geometry->ShotCount() == kLargePoints &&
                geometry->ReceiverCount() == kLargePoints);
        // The check was stopped, or never started after the close.
        QCOMPARE(m_pWindow->CheckPane()->StatusText(),
                 duringCheck ? QString("The check did not complete: The check was stopped.")
                             : QString("Load SPS files into the selected geometry to check them."));
    }

    void secondLoad_data()
    {
        QTest::addColumn<bool>("duringCheck");
        QTest::addColumn<QString>("refusal");

        QTest::newRow("refused while the load runs")
            << false << "A load is running: another can start once it has finished.";
        // A check is no load: the next load starts beside it.
        QTest::newRow("started while the check runs") << true << "";
    }

    void secondLoad()
    {
        QFETCH(bool, duringCheck);
        QFETCH(QString, refusal);

        // A dialog opened before: its OK follows the loads as the menu does.
        m_pWindow->SelectNode(nullptr);
        m_pWindow->TasksMenu()->actions().last()->trigger();
        QPointer<VeSheetTaskBaseDialog> early = OpenDialog(*m_pWindow);
        QVERIFY(early);
        QPushButton* ok = early->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        QVERIFY(ok->isEnabled());

        const int before = m_pWindow->RootNode()->ChildNodes().size();
        QString error;
        bool started = false, tried = false;
        const auto startNext = [&]() {
            tried = true;
            started = StartSPSLoaderTask(
                m_pWindow.get(),
                {Example("example.sps"), Example("example.rps"), Example("example.xps")}, &error);
        };
        QMetaObject::Connection next;
        if (duringCheck)
            next = connect(m_pWindow->CheckRunner(), &VeSurveyCheckRunner::sigStarted, this, [&]() {
                disconnect(next);
                startNext();
            });
        QVERIFY2(StartSPSLoaderTask(m_pWindow.get(), LargeSurvey(), &error), qPrintable(error));
        if (!duringCheck) {
            QCOMPARE(VeThreadRegistry::Instance()->RunningCount(), 1);
            startNext();
            QTRY_VERIFY(!ok->isEnabled());
            QCOMPARE(ok->toolTip(), refusal);
            // The plug-in's entries and tasks are off, and say why.
            QMenu menu;
            m_pWindow->BuildContextMenu(nullptr, &menu);
            QCOMPARE(menu.actions().first()->isEnabled(), false);
            QCOMPARE(menu.actions().first()->toolTip(), refusal);
            QVERIFY(!m_pWindow->RunTask(m_pWindow->Tasks().first()));
            QCOMPARE(m_pWindow->statusBar()->currentMessage(), refusal);
        }
        QTRY_VERIFY_WITH_TIMEOUT(tried, kLoadTimeoutMs);
        QCOMPARE(started, refusal.isEmpty());
        QCOMPARE(error, refusal);
        QTRY_COMPARE_WITH_TIMEOUT(m_pWindow->RootNode()->ChildNodes().size(),
                                  before + (started ? 2 : 1), kLoadTimeoutMs);
        if (started)
            CheckLoadedGeometry(m_pWindow->RootNode()->ChildNodes().last());
        QTRY_COMPARE_WITH_TIMEOUT(VeThreadRegistry::Instance()->RunningCount(), 0, kLoadTimeoutMs);
        QTRY_VERIFY(ok->isEnabled());
        QVERIFY(early);
        early->reject();
        // The window goes while the large survey's check may still run.
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments"); // "<dir>" is a folder of the test's own
        QTest::addColumn<bool>("display");          // false: no display and no platform chosen
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");  // a line that standard error must hold
        QTest::addColumn<QString>("output"); // a line that standard output must hold
        QTest::addColumn<bool>("picture");

        const QStringList survey{"--load", Example("example.sps"), Example("example.rps"),
                                 Example("example.xps")};
        const QStringList picture{"--screenshot", "<dir>/shot.png", "--screenshot-delay", "0"};
        QTest::newRow("picture of the loaded survey")
            << survey + picture << true << 0 << QString() << QString() << true;
        // Its fold is counted from the check's numbers, and the picture waits for it.
        QTest::newRow("picture of the fold") << survey + QStringList{"--fold"} + picture << true
                                             << 0 << QString() << QString() << true;
        QTest::newRow("picture without a display: offscreen")
            << survey + picture << false << 0 << QString() << QString() << true;
        // The picture waits for the load and its check however long they take.
        QTest::newRow("picture of a survey whose load and check take over a second")
            << QStringList{"--load"} + LargeSurvey() + picture << true << 0 << QString()
            << QString() << true;
        // The dialog refuses the files and stays open: no load, no picture of an empty survey.
        QTest::newRow("no picture without a relation file")
            << QStringList{"--load", Example("example.sps"), Example("example.rps"), "--screenshot",
                           "<dir>/shot.png"}
            << true << 1 << "spshost: cannot load: SPS Relation File Error!" << QString() << false;
        QTest::newRow("no picture when the relation file is missing")
            << QStringList{"--load",         Example("example.sps"), Example("example.rps"),
                           "<dir>/none.xps", "--screenshot",         "<dir>/shot.png"}
            << true << 1 << "spshost: cannot load: SPS Relation File Error!" << QString() << false;
        QTest::newRow("bins that are no size")
            << survey + QStringList{"--fold", "--bin", "25,x"} + picture << true << 2
            << "spshost: invalid value \"25,x\" for --bin: \"x\" is not a number" << QString()
            << false;
        QTest::newRow("load needs two files")
            << QStringList{"--load", Example("example.sps"), "--screenshot", "<dir>/shot.png"}
            << true << 2
            << "spshost: --load needs SOURCE and RECEIVER, and takes an optional RELATION"
            << QString() << false;
        QTest::newRow("files only with --load")
            << QStringList{Example("example.sps"), Example("example.rps"), "--screenshot",
                           "<dir>/shot.png"}
            << true << 2 << "spshost: files are read only with --load" << QString() << false;
        QTest::newRow("no picture when the load cannot start")
            << QStringList{"--plugins", "<dir>"} + survey +
                   QStringList{"--screenshot", "<dir>/shot.png"}
            << true << 1 << "spshost: cannot load: No plug-in offers the task \"SPS loader\"."
            << QString() << false;
        QTest::newRow("help without a display")
            << QStringList{"--help"} << false << 0 << QString()
            << "A small host for the seismic survey plug-ins." << false;
        QTest::newRow("version without a display")
            << QStringList{"--version"} << false << 0 << QString()
            << QString("spshost %1 (Qt %2)").arg(SPSHOST_VERSION, qVersion()) << false;
        QTest::newRow("window without a display")
            << survey << false << 2
            << "spshost: no display to show the window on (DISPLAY and WAYLAND_DISPLAY are not "
               "set); --screenshot works without one"
            << QString() << false;
        QTest::newRow("unknown option without a display")
            << QStringList{"--bogus"} << false << 1 << "spshost: Unknown option 'bogus'."
            << QString() << false;
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, display);
        QFETCH(int, status);
        QFETCH(QString, error);
        QFETCH(QString, output);
        QFETCH(bool, picture);

        const SPSTest::TestFolder dir;
        const SPSTest::ProgramRun run = SPSTest::RunProgram(
            SPSHOST_PATH, dir.Expand(arguments),
            display ? SPSTest::Display::Inherited : SPSTest::Display::None, kLoadTimeoutMs);
        const QString err = QString::fromUtf8(run.err);
        const QString out = QString::fromUtf8(run.out);
        QVERIFY2(run.ended, qPrintable(err));
        QVERIFY2(run.status == status, qPrintable(err));
        if (!error.isEmpty())
            QVERIFY2(err.split('\n').contains(error), qPrintable(err));
        if (!output.isEmpty())
            QVERIFY2(out.split('\n').contains(output), qPrintable(out));
        QCOMPARE(QFile::exists(dir.FilePath("shot.png")), picture);
        if (!picture)
            return;
        // Taken once the load had brought the survey: the map shows its marks.
        QImage image;
        QVERIFY(image.load(dir.FilePath("shot.png"), "PNG"));
        if (arguments.contains("--fold")) {
            // The colour bar's top, in the colour of the highest fold, which
            // only the bar and the bins of that fold have.
            const QColor top(0xfd, 0xe7, 0x25);
            int topPixels = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    topPixels += QColor(image.pixel(x, y)) == top;
            QVERIFY2(topPixels > 100, qPrintable(QString::number(topPixels)));
            return;
        }
        int shotPixels = 0, receiverPixels = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c(image.pixel(x, y));
                // The shots' fill, their darker outline, or the blend of both
                // where shots lie closer than a pixel: the shots' hue throughout.
                shotPixels += c.hsvHue() == VeSurveyMap::ShotColor().hsvHue() &&
                              c.hsvSaturation() > 200 && c.value() > 100;
                receiverPixels += c == VeSurveyMap::ReceiverColor();
            }
        QVERIFY2(shotPixels > int(m_Shots.size()) * 10, qPrintable(QString::number(shotPixels)));
        QVERIFY2(receiverPixels > int(m_Receivers.size()) * 10,
                 qPrintable(QString::number(receiverPixels)));
    }

    void screenshotThatCannotBeWrittenKeepsFormerPicture()
    {
        QTemporaryDir dir;
        const QString picture = dir.filePath("shot.png");
        QFile former(picture);
        QVERIFY(former.open(QIODevice::WriteOnly) && former.write("former") == 6);
        former.close();
        QProcess process;
        {
            // Inherited by the child: its picture cannot reach the disk.
            const FileSizeLimit limit(16);
            process.start(SPSHOST_PATH, {"--load", Example("example.sps"), Example("example.rps"),
                                         Example("example.xps"), "--screenshot", picture,
                                         "--screenshot-delay", "0"});
            QVERIFY(process.waitForStarted(kLoadTimeoutMs));
        }
        const SPSTest::ProgramRun run = SPSTest::FinishProgram(process, kLoadTimeoutMs);
        const QString err = QString::fromUtf8(run.err);
        QCOMPARE(run.status, 1);
        QVERIFY2(
            err.contains(
                QString("spshost: cannot write the picture to %1: File too large\n").arg(picture)),
            qPrintable(err));
        QVERIFY(former.open(QIODevice::ReadOnly));
        QCOMPARE(former.readAll(), QByteArray("former"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"shot.png"});
    }
};

QTEST_MAIN(TestHostEndToEnd)
#include "tst_hostendtoend.moc"
