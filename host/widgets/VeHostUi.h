#pragma once

#include <QIcon>
#include <QString>

#include <functional>

class QWidget;

// The host's main window, parent of the plug-ins' dialogs and boxes; set by the host.
QWidget* GetMainWindow();
void SetMainWindow(QWidget* window);

// An icon of the host's own set ("orka_add", "orka_open", "orka_geometry", ...);
// an unknown name gives a null icon.
QIcon GetPngIcon(const QString& name);

// The host's file dialogs: the chosen path, or an empty text when cancelled.
QString GetOpenFileName(QWidget* parent, const QString& caption, const QString& filter);
QString GetSaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                        const QString& startPath);

// Lets a test or a scripted host answer the file dialogs without showing one.
struct VeFileDialogRequest
{
    bool save = false;
    QWidget* parent = nullptr;
    QString caption;
    QString filter;
    QString startPath;
};
using VeFileDialogHook = std::function<QString(const VeFileDialogRequest&)>;
void SetFileDialogHook(VeFileDialogHook hook);
