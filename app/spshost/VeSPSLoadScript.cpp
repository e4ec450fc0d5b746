#include "VeSPSLoadScript.h"

#include "VeHostMainWindow.h"
#include "VeSheetTaskBaseDialog.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>

namespace {
// The task's caption and the path fields of its "Files" page, as the plug-in names them.
const char* const kTaskCaption = "SPS loader";
const char* const kTaskClass = "VeTaskSPSFilesLoader";
const char* const kPathFields[] = {"TxtSourceName", "TxtReceiverName", "TxtRelationName"};

// The texts' translation context, declared so that lupdate finds them there too.
struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(VeSPSLoadScript)
};

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
        return Fail(errorText, Texts::tr("There is no host window."));
    if (files.size() < 2 || files.size() > 3)
        return Fail(errorText,
                    Texts::tr("A load needs a source and a receiver file, and may have a "
                              "relation file."));
    QAction* taskAction = nullptr;
    for (QAction* action : window->TasksMenu()->actions())
        if (!action->isSeparator() && action->data().toString() == QLatin1String(kTaskClass))
            taskAction = action;
    if (!taskAction)
        return Fail(
            errorText,
            Texts::tr("No plug-in offers the task \"%1\".").arg(QLatin1String(kTaskCaption)));

    const QList<VeSheetTaskBaseDialog*> before = window->findChildren<VeSheetTaskBaseDialog*>();
    window->SelectNode(nullptr);
    taskAction->trigger();
    VeSheetTaskBaseDialog* dialog = nullptr;
    for (VeSheetTaskBaseDialog* d : window->findChildren<VeSheetTaskBaseDialog*>())
        if (!before.contains(d) && d->isVisible())
            dialog = d;
    if (!dialog)
        return Fail(
            errorText,
            Texts::tr("The task \"%1\" opened no dialog.").arg(QLatin1String(kTaskCaption)));

    for (int i = 0; i < 3; ++i) {
        auto* edit = dialog->findChild<QLineEdit*>(QLatin1String(kPathFields[i]));
        if (!edit) {
            dialog->close();
            return Fail(errorText,
                        Texts::tr("The dialog of the task \"%1\" has no field \"%2\".")
                            .arg(QLatin1String(kTaskCaption), QLatin1String(kPathFields[i])));
        }
        edit->setText(i < files.size() ? QFileInfo(files.at(i)).absoluteFilePath() : QString());
    }
    dialog->accept();
    return true;
}
