#pragma once

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QSet>

#include <memory>

class QAction;
class QDialog;
class QDockWidget;
class QLabel;
class QMenu;
class QProgressBar;
class QToolButton;
class QTimer;
class VeEventsLogView;
class VeFoldController;
class VeMenuAgencyBase;
class VeObjNode;
class VeObjTreeWidget;
class VeObject;
class VePluginManager;
class VeRuntimeClass;
class VeSurveyCheckController;
class VeSurveyCheckPane;
class VeSurveyCheckRunner;
class VeSurveyMapWidget;
class VeTask;
class VeTaskParameter;
class VeThread;

// A small host: its plug-ins, the object tree with the plug-ins' menus, the
// plug-ins' tasks, the events log, the load progress and the map of the selected
// geometry, and the survey check of the selected geometry's last load. It keeps one agency object
// per agency class and one task object per task for its whole life, since plug-ins may keep state
// in them between runs. Objects that loads hand to the host become nodes of this window's tree, so
// a process has one such window at a time.
class VeHostMainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // Loads the plug-ins of the folder while it is built.
    explicit VeHostMainWindow(const QString& pluginFolder, QWidget* parent = nullptr);
    ~VeHostMainWindow() override;

    // The class names of the sample nodes the survey starts with, one per object
    // class the host shows.
    static QStringList SampleClassNames();
    static QString SampleName(const QString& className);

    VeObjTreeWidget* ObjectTree() const { return m_pTree; }
    VeObjNode* RootNode() const;
    VeSurveyMapWidget* MapWidget() const { return m_pMap; }
    VeEventsLogView* EventsLogView() const { return m_pEventsLog; }
    VeSurveyCheckPane* CheckPane() const { return m_pCheckPane; }
    QDockWidget* CheckDock() const { return m_pCheckDock; }
    VeSurveyCheckRunner* CheckRunner() const;
    // View > Show check findings: the map's layer of findings.
    QAction* FindingsLayerAction() const { return m_pFindingsLayer; }
    // View > Show fold: the map's fold layer of the selected geometry.
    QAction* FoldLayerAction() const { return m_pFoldLayer; }
    VeFoldController* FoldController() const { return m_pFoldControl; }
    QMenu* TasksMenu() const { return m_pTasksMenu; }
    QProgressBar* BusyIndicator() const { return m_pBusy; }
    // Beside the busy bar while loads or checks run: stops them all.
    QToolButton* CancelButton() const { return m_pCancel; }
    // Asks every running load and check to stop soon.
    void CancelRunning();
    VePluginManager* PluginManager() const { return m_pPlugins; }
    QList<VeMenuAgencyBase*> Agencies() const { return m_Agencies; }
    QList<VeTask*> Tasks() const;

    VeObjNode* SelectedNode() const;
    void SelectNode(VeObjNode* node);

    // Fills the context menu of a node (null: an empty spot of the tree) with the
    // entries of every agency bound to the node's object class, then the host's own.
    void BuildContextMenu(VeObjNode* node, QMenu* menu);
    // Runs a task on the selected node; false, saying why in the status bar,
    // while a load runs.
    bool RunTask(VeTask* task);
    // A load runs (or the window waits for one to close): the plug-ins' tasks
    // and menu entries and the OK of open task dialogs are off meanwhile, so
    // that one load runs at a time.
    bool IsLoading() const;
    // Why nothing else starts while a load runs.
    static QString LoadRunningText();
    // Deletes the node and its object once no load can be writing to them.
    void DeleteNode(VeObjNode* node);

protected:
    // While a load or check runs the window stops the checks and stays until
    // the load has ended, without blocking; it closes by itself then.
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void childEvent(QChildEvent* event) override;

private:
    void BuildMenus();
    void CreateSampleNodes();
    void CreateTasks();
    VeMenuAgencyBase* AgencyFor(const VeRuntimeClass* agencyClass);
    void OnObjectCreated(VeThread* thread, VeObject* object);
    void OnLoadFinished(VeThread* thread, qint64 filledObjectID,
                        std::shared_ptr<const VeTaskParameter> parameters);
    void OnProcessMessage(const QString& message);
    void OnSelectedNodeChanged(VeObjNode* node);
    void OnTreeContextMenu(const QPoint& pos);
    void UpdateBusy();
    void UpdateTaskDialog(QDialog* dialog, bool free);
    void CloseWhenIdle();
    void WaitForLoads();

    VePluginManager* m_pPlugins = nullptr;
    VeObjTreeWidget* m_pTree = nullptr;
    VeSurveyMapWidget* m_pMap = nullptr;
    VeEventsLogView* m_pEventsLog = nullptr;
    QMenu* m_pTasksMenu = nullptr;
    QProgressBar* m_pBusy = nullptr;
    QToolButton* m_pCancel = nullptr;
    // Loads asked to stop that have not ended yet.
    QSet<const VeThread*> m_CancelledLoads;
    QTimer* m_pBusyPoll = nullptr;
    VeSurveyCheckPane* m_pCheckPane = nullptr;
    QDockWidget* m_pCheckDock = nullptr;
    VeSurveyCheckController* m_pCheckControl = nullptr;
    QAction* m_pFindingsLayer = nullptr;
    VeFoldController* m_pFoldControl = nullptr;
    QAction* m_pFoldLayer = nullptr;
    // Closed while busy: closes itself once the loads and checks have ended.
    bool m_bClosePending = false;
    QHash<const VeRuntimeClass*, VeMenuAgencyBase*> m_AgencyByClass;
    QList<VeMenuAgencyBase*> m_Agencies;
    QSet<const VeRuntimeClass*> m_FailedAgencyClasses;
    struct TaskEntry
    {
        VeTask* task = nullptr;
        QString caption;
        QString pluginName;
        QString taskClassName;
    };
    QList<TaskEntry> m_Tasks;
};
