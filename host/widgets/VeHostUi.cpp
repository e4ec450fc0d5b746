#include "VeHostUi.h"

#include <QFileDialog>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

namespace {
QPointer<QWidget> g_mainWindow;
VeFileDialogHook g_fileDialogHook;

// The icon set is drawn rather than shipped: a few plain 16x16 glyphs.
QPixmap drawIcon(const QString& name)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    if (name == QLatin1String("orka_add")) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x2e, 0x8b, 0x57));
        p.drawRect(6, 2, 4, 12);
        p.drawRect(2, 6, 12, 4);
    } else if (name == QLatin1String("orka_open")) {
        p.setPen(QColor(0x80, 0x60, 0x20));
        p.setBrush(QColor(0xf0, 0xc0, 0x50));
        p.drawRect(1, 4, 14, 10);
    } else if (name == QLatin1String("orka_geometry")) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xc0, 0x30, 0x30));
        p.drawEllipse(QPointF(4, 4), 2.5, 2.5);
        p.setBrush(QColor(0x30, 0x50, 0xc0));
        p.drawRect(9, 9, 5, 5);
    } else if (name == QLatin1String("orka_folder")) {
        p.setPen(QColor(0x60, 0x60, 0x60));
        p.setBrush(QColor(0xd0, 0xd0, 0xd0));
        p.drawRect(1, 3, 14, 11);
    } else {
        return QPixmap();
    }
    return pm;
}
} // namespace

QWidget* GetMainWindow()
{
    return g_mainWindow;
}

void SetMainWindow(QWidget* window)
{
    g_mainWindow = window;
}

QIcon GetPngIcon(const QString& name)
{
    static QHash<QString, QIcon> cache;
    auto it = cache.find(name);
    if (it == cache.end()) {
        const QPixmap pm = drawIcon(name);
        it = cache.insert(name, pm.isNull() ? QIcon() : QIcon(pm));
    }
    return *it;
}

void SetFileDialogHook(VeFileDialogHook hook)
{
    g_fileDialogHook = std::move(hook);
}

QString GetOpenFileName(QWidget* parent, const QString& caption, const QString& filter)
{
    if (g_fileDialogHook)
        return g_fileDialogHook(VeFileDialogRequest{false, parent, caption, filter, QString()});
    return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}

QString GetSaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                        const QString& startPath)
{
    if (g_fileDialogHook)
        return g_fileDialogHook(VeFileDialogRequest{true, parent, caption, filter, startPath});
    return QFileDialog::getSaveFileName(parent, caption, startPath, filter);
}
