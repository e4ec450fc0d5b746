#include "VeSPSLoadScript.h"

#include "VeEventsLog.h"
#include "VeFoldController.h"
#include "VeHostMainWindow.h"
#include "VeObject.h"
#include "VeSheetTaskBaseDialog.h"
#include "VeSurveyCheckRunner.h"
#include "VeThread.h"
#include "VeThreadRegistry.h"

#include <QAction>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>

namespace {
// The task's caption and the path fields of its "Files" page, as the plug-in names them.
const char* const kTaskCaption = "SPS loader";
const char* const kTaskClass = "VeTaskSPSFilesLoader";
const char* const kPathFields[] = {"TxtSourceName", "TxtReceiverName", "TxtRelationName"};

bool Fail(QString* errorText, const QString& text)
{
    if (errorText)
        *errorText = text;
    return false;
}
} // namespace

bool StartSPSLoaderTask(VeHostMainWindow* window, const QStringList& files, QString* errorText)
{
    if (!window)
        return Fail(errorText, VeSPSLoadScript::tr("There is no host window."));
    if (files.size() < 2 || files.size() > 3)
        return Fail(errorText,
                    VeSPSLoadScript::tr("A load needs a source and a receiver file, and may have a "
                                        "relation file."));
    QAction* taskAction = nullptr;
    for (QAction* action : window->TasksMenu()->actions())
        if (!action->isSeparator() && action->data().toString() == QLatin1String(kTaskClass))
            taskAction = action;
    if (!taskAction)
        return Fail(errorText, VeSPSLoadScript::tr("No plug-in offers the task \"%1\".")
                                   .arg(QLatin1String(kTaskCaption)));

    if (window->IsLoading())
        return Fail(errorText, VeHostMainWindow::LoadRunningText());

    const QList<VeSheetTaskBaseDialog*> before = window->findChildren<VeSheetTaskBaseDialog*>();
    window->SelectNode(nullptr);
    taskAction->trigger();
    VeSheetTaskBaseDialog* dialog = nullptr;
    for (VeSheetTaskBaseDialog* d : window->findChildren<VeSheetTaskBaseDialog*>())
        if (!before.contains(d) && d->isVisible())
            dialog = d;
    if (!dialog)
        return Fail(errorText, VeSPSLoadScript::tr("The task \"%1\" opened no dialog.")
                                   .arg(QLatin1String(kTaskCaption)));

    for (int i = 0; i < 3; ++i) {
        auto* edit = dialog->findChild<QLineEdit*>(QLatin1String(kPathFields[i]));
        if (!edit) {
            dialog->close();
            return Fail(errorText,
                        VeSPSLoadScript::tr("The dialog of the task \"%1\" has no field \"%2\".")
                            .arg(QLatin1String(kTaskCaption), QLatin1String(kPathFields[i])));
        }
        edit->setText(i < files.size() ? QFileInfo(files.at(i)).absoluteFilePath() : QString());
    }
    dialog->accept();
    return true;
}

VeSPSLoadScript::VeSPSLoadScript(VeHostMainWindow* window, QObject* parent)
    : QObject(parent), m_pWindow(window)
{
    VeThreadRegistry* registry = VeThreadRegistry::Instance();
    connect(registry, &VeThreadRegistry::sigObjectCreatedBy, this,
            &VeSPSLoadScript::OnObjectCreated);
    connect(registry, &VeThreadRegistry::sigThreadFinished, this,
            &VeSPSLoadScript::OnThreadFinished);
    if (window) {
        connect(window->CheckRunner(), &VeSurveyCheckRunner::sigRunningChanged, this,
                &VeSPSLoadScript::Settle);
        connect(window->FoldController(), &VeFoldController::sigRunningChanged, this,
                &VeSPSLoadScript::Settle);
    }
}

bool VeSPSLoadScript::Start(const QStringList& files, QString* errorText)
{
    m_nLogStart = VeEventsLog::Instance()->Entries().size();
    const QList<VeThread*> before = VeThreadRegistry::Instance()->Threads();
    if (!StartSPSLoaderTask(m_pWindow, files, errorText))
        return false;
    // The dialog's OK starts the load's thread before it returns.
    for (VeThread* thread : VeThreadRegistry::Instance()->Threads())
        if (!before.contains(thread))
            m_Running.insert(thread);
    if (m_Running.isEmpty()) {
        const QString problems = LoggedProblems();
        return Fail(errorText,
                    problems.isEmpty()
                        ? tr("The task \"%1\" started no load.").arg(QLatin1String(kTaskCaption))
                        : problems);
    }
    return true;
}

void VeSPSLoadScript::OnObjectCreated(VeThread* thread, VeObject* object)
{
    if (!m_pGeometry && object && m_Running.contains(thread)) {
        m_pGeometry = object;
        m_nGeometryID = object->GetID();
    }
}

void VeSPSLoadScript::OnThreadFinished(VeThread* thread)
{
    if (!m_Running.remove(thread) || !m_Running.isEmpty())
        return;
    m_bLoadEnded = true;
    // The window started the geometry's check on the load's end, just before
    // this notice; settled after every receiver of this notice all the same.
    QMetaObject::invokeMethod(this, &VeSPSLoadScript::Settle, Qt::QueuedConnection);
}

void VeSPSLoadScript::Settle()
{
    if (!m_bLoadEnded || m_bFinished)
        return;
    if (!m_pGeometry) {
        m_bFinished = true;
        const QString problems = LoggedProblems();
        Q_EMIT sigFinished(false, problems.isEmpty() ? tr("The load made no geometry.") : problems);
        return;
    }
    if (m_pWindow && (m_pWindow->CheckRunner()->IsRunning(m_nGeometryID) ||
                      m_pWindow->FoldController()->IsRunning(m_nGeometryID)))
        return; // the runner, or the fold, says when it has ended
    m_bFinished = true;
    Q_EMIT sigFinished(true, QString());
}

QString VeSPSLoadScript::LoggedProblems() const
{
    const QList<VeEventsLogEntry> entries = VeEventsLog::Instance()->Entries();
    QStringList texts;
    // A log cleared meanwhile holds only entries of this load.
    for (qsizetype i = entries.size() >= m_nLogStart ? m_nLogStart : 0; i < entries.size(); ++i)
        if (entries[i].type != VeEventsLog::EventsLogInformation)
            texts << entries[i].text;
    return texts.join(QLatin1Char(' '));
}
