#include "VeSPSLoadDialog.h"

#include "VeHostUi.h"
#include "VePageSPSFileFormat.h"
#include "VePageSPSFileNames.h"

VeSPSLoadDialog::VeSPSLoadDialog(VeTaskParameter* param, QWidget* parent)
    : VeSheetTaskBaseDialog(param, parent, Qt::WindowFlags())
{
    setAttribute(Qt::WA_DeleteOnClose);
}

VeSPSLoadDialog::~VeSPSLoadDialog() = default;

VeSPSLoadDialog* VeSPSLoadDialog::Open(VeTaskParameter* param, VeObjNode* targetNode,
                                       QObject* receiver, const char* member,
                                       const QString& filesTitle, const QString& formatTitle)
{
    auto* dialog = new VeSPSLoadDialog(param, GetMainWindow());
    dialog->m_pTargetNode = targetNode;
    dialog->setWindowTitle(QStringLiteral("Load SPS Files"));
    auto* names = new VePageSPSFileNames(dialog);
    auto* format = new VePageSPSFileFormat(dialog);
    // Detection on the Format page reads the files the Files page names.
    QPointer<VePageSPSFileNames> namesGuard(names);
    format->SetFilePathsSource([namesGuard]() {
        QStringList paths;
        for (int tab = 0; tab < 3 && namesGuard; ++tab)
            paths << namesGuard->FilePath(tab);
        return paths;
    });
    dialog->AddPage(names, filesTitle);
    dialog->AddPage(format, formatTitle);
    QObject::connect(dialog, SIGNAL(accepted()), receiver, member);
    dialog->show();
    return dialog;
}
