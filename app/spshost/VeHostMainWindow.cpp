#include "VeHostMainWindow.h"

#include "VeEventsLog.h"
#include "VeEventsLogView.h"
#include "VeFoldController.h"
#include "VeHostUi.h"
#include "VeMenuAgencyBase.h"
#include "VeObjNode.h"
#include "VeObjTreeWidget.h"
#include "VeObject.h"
#include "VePluginManager.h"
#include "VePluginObject.h"
#include "VePluginTaskObject.h"
#include "VePrevStackSegyGeometry.h"
#include "VeRuntimeClass.h"
#include "VeSheetTaskBaseDialog.h"
#include "VeSurveyCheckController.h"
#include "VeSurveyCheckPane.h"
#include "VeSurveyCheckRunner.h"
#include "VeSurveyMapWidget.h"
#include "VeTask.h"
#include "VeThread.h"
#include "VeThreadRegistry.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

namespace {
// Threads that never report still show as busy within this time.
constexpr int kBusyPollMs = 250;
} // namespace

VeHostMainWindow::VeHostMainWindow(const QString& pluginFolder, QWidget* parent)
    : QMainWindow(parent), m_pPlugins(new VePluginManager(this)),
      m_pTree(new VeObjTreeWidget(this)), m_pMap(new VeSurveyMapWidget(this)),
      m_pEventsLog(new VeEventsLogView(this)), m_pBusy(new QProgressBar(this)),
      m_pBusyPoll(new QTimer(this)), m_pCheckPane(new VeSurveyCheckPane(this)),
      m_pCheckControl(new VeSurveyCheckController(m_pTree, m_pCheckPane, m_pMap, this))
{
    setWindowTitle(tr("spshost"));
    SetMainWindow(this);
    m_pFoldControl = new VeFoldController(m_pTree, m_pMap, CheckRunner(), this);
    connect(m_pFoldControl, &VeFoldController::sigMessage, this,
            [this](const QString& text) { statusBar()->showMessage(text); });

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(m_pTree);
    splitter->addWidget(m_pMap);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    // Wide enough for the tree's three columns; the map takes the rest.
    splitter->setSizes({510, 590});
    setCentralWidget(splitter);

    auto* logDock = new QDockWidget(tr("Events log"), this);
    logDock->setObjectName(QStringLiteral("EventsLogDock"));
    logDock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    logDock->setWidget(m_pEventsLog);
    addDockWidget(Qt::BottomDockWidgetArea, logDock);

    m_pCheckDock = new QDockWidget(m_pCheckPane->Title(), this);
    m_pCheckDock->setObjectName(QStringLiteral("SurveyCheckDock"));
    m_pCheckDock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    m_pCheckDock->setWidget(m_pCheckPane);
    addDockWidget(Qt::BottomDockWidgetArea, m_pCheckDock);
    splitDockWidget(logDock, m_pCheckDock, Qt::Horizontal);
    connect(m_pCheckPane, &VeSurveyCheckPane::sigTitleChanged, m_pCheckDock,
            &QDockWidget::setWindowTitle);
    // A fold says nothing of how far it is: the bar runs without a range.
    connect(m_pFoldControl, &VeFoldController::sigRunningChanged, this,
            &VeHostMainWindow::UpdateBusy);
    connect(CheckRunner(), &VeSurveyCheckRunner::sigRunningChanged, this, [this]() {
        UpdateBusy();
        CloseWhenIdle();
    });

    // In thousandths while the runs say how far they are; without a range
    // while one cannot tell.
    m_pBusy->setRange(0, 0);
    m_pBusy->setMaximumWidth(160);
    m_pBusy->setTextVisible(false);
    m_pBusy->setVisible(false);
    statusBar()->addPermanentWidget(m_pBusy);
    m_pCancel = new QToolButton(this);
    m_pCancel->setObjectName(QStringLiteral("CancelButton"));
    m_pCancel->setText(tr("Cancel"));
    m_pCancel->setToolTip(tr("Stop the running loads and checks"));
    m_pCancel->setVisible(false);
    statusBar()->addPermanentWidget(m_pCancel);
    connect(m_pCancel, &QToolButton::clicked, this, &VeHostMainWindow::CancelRunning);

    VeThreadRegistry* registry = VeThreadRegistry::Instance();
    connect(registry, &VeThreadRegistry::sigObjectCreatedBy, this,
            &VeHostMainWindow::OnObjectCreated);
    // The thread pointer is not used: a finished thread may be gone when the
    // message arrives.
    connect(registry, &VeThreadRegistry::sigProcessMessage, this,
            [this](VeThread*, const QString& message) { OnProcessMessage(message); });
    connect(registry, &VeThreadRegistry::sigLoadFinished, this, &VeHostMainWindow::OnLoadFinished);
    connect(registry, &VeThreadRegistry::sigThreadFinished, this, [this](VeThread* thread) {
        m_CancelledLoads.remove(thread);
        m_pCheckControl->ForgetLoad(thread);
        UpdateBusy();
    });
    // After what the loads sent: their objects are in the tree by now.
    connect(registry, &VeThreadRegistry::sigAllThreadsFinished, this, [this]() {
        UpdateBusy();
        statusBar()->showMessage(tr("Ready"));
        CloseWhenIdle();
    });
    m_pBusyPoll->setInterval(kBusyPollMs);
    connect(m_pBusyPoll, &QTimer::timeout, this, &VeHostMainWindow::UpdateBusy);
    m_pBusyPoll->start();

    connect(m_pTree, &VeObjTreeWidget::sigSelectedNodeChanged, this,
            &VeHostMainWindow::OnSelectedNodeChanged);
    connect(m_pTree, &QWidget::customContextMenuRequested, this,
            &VeHostMainWindow::OnTreeContextMenu);

    m_pPlugins->LoadFolder(pluginFolder);
    CreateSampleNodes();
    CreateTasks();
    BuildMenus();
    statusBar()->showMessage(tr("Ready"));
    resize(1100, 720);
    // The map gets the height; the log shows its latest few entries.
    resizeDocks({logDock}, {150}, Qt::Vertical);
    resizeDocks({logDock, m_pCheckDock}, {450, 650}, Qt::Horizontal);
}

VeHostMainWindow::~VeHostMainWindow()
{
    VeSurveyCheckRunner* checks = CheckRunner();
    checks->SetAccepting(false);
    WaitForLoads();
    // Also what loads that have just ended sent: their objects join the tree,
    // which deletes them with itself.
    VeThreadRegistry::Instance()->WaitForAll();
    disconnect(VeThreadRegistry::Instance(), nullptr, this, nullptr);
    checks->StopAll();
    checks->WaitForAll();
    m_pFoldControl->SetAccepting(false);
    m_pFoldControl->StopAll();
    m_pFoldControl->WaitForAll();
    disconnect(checks, nullptr, this, nullptr);
    disconnect(checks, nullptr, m_pCheckControl, nullptr);
    // Plug-in dialogs read their task's record and nodes: they go first, then
    // the tasks and agencies, then the tree.
    qDeleteAll(findChildren<QDialog*>(Qt::FindDirectChildrenOnly));
    for (const TaskEntry& entry : std::as_const(m_Tasks))
        delete entry.task;
    m_Tasks.clear();
    qDeleteAll(m_Agencies);
    m_Agencies.clear();
    m_AgencyByClass.clear();
    delete m_pTree;
    m_pTree = nullptr;
    if (GetMainWindow() == this)
        SetMainWindow(nullptr);
}

QStringList VeHostMainWindow::SampleClassNames()
{
    return {QStringLiteral("VePrevStackSegyGeometry"), QStringLiteral("VePrevSegyTracesGather"),
            QStringLiteral("VePrevStackSegyObserver")};
}

QList<VeTask*> VeHostMainWindow::Tasks() const
{
    QList<VeTask*> tasks;
    for (const TaskEntry& entry : m_Tasks)
        tasks.append(entry.task);
    return tasks;
}

QString VeHostMainWindow::SampleName(const QString& className)
{
    if (className == QLatin1String("VePrevStackSegyGeometry"))
        return tr("Geometry");
    if (className == QLatin1String("VePrevSegyTracesGather"))
        return tr("Traces gather");
    if (className == QLatin1String("VePrevStackSegyObserver"))
        return tr("Observer");
    return className;
}

VeSurveyCheckRunner* VeHostMainWindow::CheckRunner() const
{
    return m_pCheckControl->Runner();
}

VeObjNode* VeHostMainWindow::RootNode() const
{
    return m_pTree->RootNode();
}

VeObjNode* VeHostMainWindow::SelectedNode() const
{
    return m_pTree->SelectedNode();
}

void VeHostMainWindow::SelectNode(VeObjNode* node)
{
    m_pTree->SelectNode(node);
}

void VeHostMainWindow::CreateSampleNodes()
{
    for (const QString& className : SampleClassNames()) {
        VeObject* object = VeRuntimeClass::CreateObject(className);
        if (!object) {
            OutputEventsLog(VeEventsLog::EventsLogWarning,
                            tr("No object of the class \"%1\" can be created.").arg(className));
            continue;
        }
        object->SetID(VeObject::CreateUniqueID());
        object->SetName(SampleName(className));
        m_pTree->AddObject(object);
    }
}

void VeHostMainWindow::CreateTasks()
{
    for (VePluginObject* plugin : m_pPlugins->Plugins()) {
        for (VePluginTaskObject* taskObject : plugin->GetTaskObjects()) {
            if (!taskObject)
                continue;
            VeObject* object = VeRuntimeClass::CreateObject(taskObject->GetTaskClassName());
            auto* task = qobject_cast<VeTask*>(object);
            if (!task) {
                delete object;
                OutputEventsLog(VeEventsLog::EventsLogError,
                                tr("The task \"%1\" of the plug-in \"%2\" cannot be created: there "
                                   "is no task class \"%3\".")
                                    .arg(taskObject->GetCaption(), plugin->GetName(),
                                         taskObject->GetTaskClassName()));
                continue;
            }
            m_Tasks.append(TaskEntry{task, taskObject->GetCaption(), plugin->GetName(),
                                     taskObject->GetTaskClassName()});
        }
    }
}

void VeHostMainWindow::BuildMenus()
{
    QMenu* fileMenu = menuBar()->addMenu(tr("&File"));
    QAction* quit = fileMenu->addAction(tr("&Quit"), this, &QWidget::close);
    quit->setShortcut(QKeySequence::Quit);

    m_pTasksMenu = menuBar()->addMenu(tr("&Tasks"));
    // Entries that are off say why.
    m_pTasksMenu->setToolTipsVisible(true);
    connect(m_pTasksMenu, &QMenu::aboutToShow, this, &VeHostMainWindow::UpdateBusy);
    QString section;
    for (const TaskEntry& entry : std::as_const(m_Tasks)) {
        if (entry.pluginName != section) {
            m_pTasksMenu->addSection(entry.pluginName);
            section = entry.pluginName;
        }
        QPointer<VeTask> guard(entry.task);
        QAction* action = m_pTasksMenu->addAction(entry.caption, this, [this, guard]() {
            if (guard)
                RunTask(guard);
        });
        action->setStatusTip(tr("Runs the task on the selected node"));
        // The caption may be translated; scripts find a task by its class.
        action->setData(entry.taskClassName);
    }
    if (m_Tasks.isEmpty())
        m_pTasksMenu->addAction(tr("No tasks"))->setEnabled(false);

    QMenu* viewMenu = menuBar()->addMenu(tr("&View"));
    viewMenu->addAction(tr("&Fit the map"), m_pMap, &VeSurveyMapWidget::ResetView);
    m_pFindingsLayer = viewMenu->addAction(tr("Show check &findings on the map"));
    m_pFindingsLayer->setCheckable(true);
    m_pFindingsLayer->setChecked(true);
    connect(m_pFindingsLayer, &QAction::toggled, m_pCheckControl,
            &VeSurveyCheckController::SetFindingsShown);
    m_pFoldLayer = viewMenu->addAction(tr("Show f&old on the map"));
    m_pFoldLayer->setCheckable(true);
    connect(m_pFoldLayer, &QAction::toggled, m_pFoldControl, &VeFoldController::SetShown);
    viewMenu->addAction(m_pCheckDock->toggleViewAction());
}

VeMenuAgencyBase* VeHostMainWindow::AgencyFor(const VeRuntimeClass* agencyClass)
{
    if (!agencyClass)
        return nullptr;
    if (VeMenuAgencyBase* agency = m_AgencyByClass.value(agencyClass))
        return agency;
    if (m_FailedAgencyClasses.contains(agencyClass))
        return nullptr;
    VeObject* object = agencyClass->CreateObject();
    auto* agency = qobject_cast<VeMenuAgencyBase*>(object);
    if (!agency) {
        delete object;
        m_FailedAgencyClasses.insert(agencyClass);
        OutputEventsLog(VeEventsLog::EventsLogError,
                        tr("The menu agency \"%1\" cannot be created.")
                            .arg(QString::fromLatin1(agencyClass->m_lpszClassName)));
        return nullptr;
    }
    m_AgencyByClass.insert(agencyClass, agency);
    m_Agencies.append(agency);
    return agency;
}

void VeHostMainWindow::BuildContextMenu(VeObjNode* node, QMenu* menu)
{
    if (!menu)
        return;
    VeObject* object = node ? node->GetObject() : nullptr;
    const VeRuntimeClass* objectClass = object ? object->GetRuntimeClass() : nullptr;
    for (const VeRuntimeClass* agencyClass : VeMenuAgencyBase::AgencyClassesFor(objectClass))
        if (VeMenuAgencyBase* agency = AgencyFor(agencyClass))
            agency->CreateNodeMenu(node, menu);
    // The plug-ins' entries start loads: one at a time.
    if (IsLoading()) {
        menu->setToolTipsVisible(true);
        for (QAction* action : menu->actions())
            if (!action->isSeparator()) {
                action->setEnabled(false);
                action->setToolTip(LoadRunningText());
                action->setStatusTip(LoadRunningText());
            }
    }

    if (node && node != RootNode()) {
        if (!menu->isEmpty())
            menu->addSeparator();
        QPointer<VeObjNode> guard(node);
        menu->addAction(tr("&Delete"), this, [this, guard]() {
            if (guard)
                DeleteNode(guard);
        });
    }
}

void VeHostMainWindow::OnTreeContextMenu(const QPoint& pos)
{
    VeObjNode* node = m_pTree->NodeAt(pos);
    if (node)
        SelectNode(node);
    QMenu menu(this);
    BuildContextMenu(node, &menu);
    if (menu.isEmpty())
        menu.addAction(tr("No actions"))->setEnabled(false);
    menu.exec(m_pTree->viewport()->mapToGlobal(pos));
}

bool VeHostMainWindow::RunTask(VeTask* task)
{
    if (!task)
        return false;
    if (IsLoading()) {
        statusBar()->showMessage(LoadRunningText());
        return false;
    }
    task->SetTargetNode(SelectedNode());
    task->Execute();
    return true;
}

bool VeHostMainWindow::IsLoading() const
{
    return m_bClosePending || VeThreadRegistry::Instance()->RunningCount() > 0;
}

QString VeHostMainWindow::LoadRunningText()
{
    return tr("A load is running: another can start once it has finished.");
}

void VeHostMainWindow::DeleteNode(VeObjNode* node)
{
    if (!node || node == RootNode())
        return;
    m_pTree->MarkDeleting(node);
    node->RequestDelete();
}

void VeHostMainWindow::OnObjectCreated(VeThread*, VeObject* object)
{
    if (!object)
        return;
    VeObjNode* node = m_pTree->AddObject(object);
    // What a load just brought is what the user wants to see.
    SelectNode(node);
}

void VeHostMainWindow::OnProcessMessage(const QString& message)
{
    statusBar()->showMessage(message);
    UpdateBusy();
}

void VeHostMainWindow::OnSelectedNodeChanged(VeObjNode* node)
{
    VeObject* object = node ? node->GetObject() : nullptr;
    m_pMap->SetGeometry(qobject_cast<VePrevStackSegyGeometry*>(object));
    m_pCheckControl->ShowCheckOfSelected();
    m_pFoldControl->ShowFoldOfSelected();
}

void VeHostMainWindow::OnLoadFinished(VeThread* thread, qint64 filledObjectID,
                                      std::shared_ptr<const VeTaskParameter> parameters)
{
    // The run is over: what it kept off is free again before its check starts.
    UpdateBusy();
    // A cancelled load is not checked: the user wanted the work to stop.
    if (m_CancelledLoads.remove(thread))
        return;
    m_pCheckControl->CheckLoad(thread, filledObjectID, parameters);
}

void VeHostMainWindow::CancelRunning()
{
    for (VeThread* thread : VeThreadRegistry::Instance()->Threads())
        if (thread->isRunning()) {
            thread->requestInterruption();
            m_CancelledLoads.insert(thread);
        }
    CheckRunner()->StopAll();
    m_pFoldControl->StopAll();
    statusBar()->showMessage(tr("Cancelling..."));
}

void VeHostMainWindow::UpdateBusy()
{
    const bool loading = IsLoading();
    const bool busy =
        loading || CheckRunner()->RunningCount() > 0 || m_pFoldControl->RunningCount() > 0;
    m_pBusy->setVisible(busy);
    m_pCancel->setVisible(busy && !m_bClosePending);
    // The loads come first: a check starts once its load is over.
    double progress = -1.0;
    int loads = 0;
    for (VeThread* thread : VeThreadRegistry::Instance()->Threads())
        if (thread->isRunning()) {
            const double p = thread->GetProgress();
            progress = loads++ == 0 ? p : (p < 0.0 || progress < 0.0 ? -1.0 : qMin(progress, p));
        }
    if (loads == 0)
        progress = m_pFoldControl->RunningCount() > 0 ? -1.0 : CheckRunner()->Progress();
    if (progress < 0.0) {
        m_pBusy->setRange(0, 0);
    } else {
        m_pBusy->setRange(0, 1000);
        m_pBusy->setValue(int(progress * 1000.0));
    }
    const QList<QAction*> entries = m_pTasksMenu ? m_pTasksMenu->actions() : QList<QAction*>();
    for (QAction* action : entries)
        if (action->data().isValid()) {
            action->setEnabled(!loading);
            action->setToolTip(loading ? LoadRunningText() : QString());
        }
    for (VeSheetTaskBaseDialog* dialog : findChildren<VeSheetTaskBaseDialog*>())
        UpdateTaskDialog(dialog, !loading);
}

void VeHostMainWindow::UpdateTaskDialog(QDialog* dialog, bool free)
{
    auto* buttons = dialog->findChild<QDialogButtonBox*>();
    QPushButton* ok = buttons ? buttons->button(QDialogButtonBox::Ok) : nullptr;
    if (!ok || ok->isEnabled() == free)
        return;
    ok->setEnabled(free);
    ok->setToolTip(free ? QString() : LoadRunningText());
}

void VeHostMainWindow::CloseWhenIdle()
{
    if (!m_bClosePending || VeThreadRegistry::Instance()->RunningCount() > 0 ||
        CheckRunner()->RunningCount() > 0)
        return;
    // Not from within the notice: close() may end the application's loop.
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void VeHostMainWindow::childEvent(QChildEvent* event)
{
    QMainWindow::childEvent(event);
    // A plug-in's task dialog, complete by the time it is polished: its OK
    // follows the loads, and a load it starts turns the entries off at once.
    if (event->type() != QEvent::ChildPolished)
        return;
    if (auto* dialog = qobject_cast<VeSheetTaskBaseDialog*>(event->child())) {
        connect(dialog, &QDialog::finished, this, &VeHostMainWindow::UpdateBusy,
                Qt::ConnectionType(Qt::QueuedConnection | Qt::UniqueConnection));
        UpdateTaskDialog(dialog, !IsLoading());
    }
}

void VeHostMainWindow::WaitForLoads()
{
    const int running = VeThreadRegistry::Instance()->RunningCount();
    if (running == 0)
        return;
    statusBar()->showMessage(tr("Waiting for %n load(s) to finish...", nullptr, running));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    VeThreadRegistry::Instance()->WaitForAll();
    QApplication::restoreOverrideCursor();
    UpdateBusy();
}

void VeHostMainWindow::closeEvent(QCloseEvent* event)
{
    // No check starts from now on, and those running are of no use any more.
    CheckRunner()->SetAccepting(false);
    CheckRunner()->StopAll();
    m_pFoldControl->SetAccepting(false);
    m_pFoldControl->StopAll();
    // A load still writes into objects of the tree, which must stay until it
    // ends; it cannot be stopped, so the window waits for it, and for the
    // checks to notice, without blocking.
    const int loads = VeThreadRegistry::Instance()->RunningCount();
    if (loads > 0 || CheckRunner()->RunningCount() > 0) {
        m_bClosePending = true;
        if (loads > 0)
            statusBar()->showMessage(tr("Waiting for %n load(s) to finish...", nullptr, loads));
        UpdateBusy();
        event->ignore();
        return;
    }
    m_bClosePending = false;
    UpdateBusy();
    QMainWindow::closeEvent(event);
}

void VeHostMainWindow::showEvent(QShowEvent* event)
{
    CheckRunner()->SetAccepting(true);
    m_pFoldControl->SetAccepting(true);
    QMainWindow::showEvent(event);
}
