#pragma once

#include <QDialog>
#include <QList>

class QDialogButtonBox;
class QTabWidget;
class VePageTaskWidgetBase;
class VeTaskParameter;

// A tabbed task dialog. OK asks every page, in tab order, to write itself into the
// task parameter; a page that answers false is brought to the front and the dialog
// stays open. When all pages answered true it emits accepted() and closes.
class VeSheetTaskBaseDialog : public QDialog
{
    Q_OBJECT
public:
    VeSheetTaskBaseDialog(VeTaskParameter* param, QWidget* parent = nullptr,
                          Qt::WindowFlags flags = Qt::WindowFlags());
    ~VeSheetTaskBaseDialog() override;

    VeTaskParameter* GetTaskParameter() const { return m_pTaskParam; }
    void AddPage(VePageTaskWidgetBase* page, const QString& title);

    QTabWidget* TabWidget() const { return m_pTabs; }
    QList<VePageTaskWidgetBase*> Pages() const { return m_Pages; }

public Q_SLOTS:
    void accept() override;

private:
    VeTaskParameter* m_pTaskParam;
    QTabWidget* m_pTabs;
    QDialogButtonBox* m_pButtons;
    QList<VePageTaskWidgetBase*> m_Pages;
};
