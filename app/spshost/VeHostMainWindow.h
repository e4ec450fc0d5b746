#pragma once

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QSet>

class QLabel;
class QMenu;
class QProgressBar;
class QTimer;
class VeEventsLogView;
class VeMenuAgencyBase;
class VeObjNode;
class VeObjTreeWidget;
class VeObject;
class VePluginManager;
class VeRuntimeClass;
class VeSurveyMapWidget;
class VeTask;

// A small host: its plug-ins, the object tree with the plug-ins' menus, the
// plug-ins' tasks, the events log, the load progress and the map of the selected
// geometry. It keeps one agency object per agency class and one task object per
// task for its whole life, since plug-ins may keep state in them between runs.
// Objects that loads hand to the host become nodes of this window's tree, so a
// process has one such window at a time.
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
    QMenu* TasksMenu() const { return m_pTasksMenu; }
    QProgressBar* BusyIndicator() const { return m_pBusy; }
    VePluginManager* PluginManager() const { return m_pPlugins; }
    QList<VeMenuAgencyBase*> Agencies() const { return m_Agencies; }
    QList<VeTask*> Tasks() const;

    VeObjNode* SelectedNode() const;
    void SelectNode(VeObjNode* node);

    // Fills the context menu of a node (null: an empty spot of the tree) with the
    // entries of every agency bound to the node's object class, then the host's own.
    void BuildContextMenu(VeObjNode* node, QMenu* menu);
    // Runs a task on the selected node.
    void RunTask(VeTask* task);
    // Deletes the node and its object once no load can be writing to them.
    void DeleteNode(VeObjNode* node);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void CreateSampleNodes();
    void CreateTasks();
    VeMenuAgencyBase* AgencyFor(const VeRuntimeClass* agencyClass);
    void OnObjectCreated(VeObject* object);
    void OnProcessMessage(const QString& message);
    void OnSelectedNodeChanged(VeObjNode* node);
    void OnTreeContextMenu(const QPoint& pos);
    void UpdateBusy();
    void WaitForLoads();

    VePluginManager* m_pPlugins = nullptr;
    VeObjTreeWidget* m_pTree = nullptr;
    VeSurveyMapWidget* m_pMap = nullptr;
    VeEventsLogView* m_pEventsLog = nullptr;
    QMenu* m_pTasksMenu = nullptr;
    QProgressBar* m_pBusy = nullptr;
    QTimer* m_pBusyPoll = nullptr;
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
