#include "VeSheetTaskBaseDialog.h"

#include "VePageTaskWidgetBase.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

VeSheetTaskBaseDialog::VeSheetTaskBaseDialog(VeTaskParameter* param, QWidget* parent,
                                             Qt::WindowFlags flags)
    : QDialog(parent, flags), m_pTaskParam(param), m_pTabs(new QTabWidget(this)),
      m_pButtons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pTabs);
    layout->addWidget(m_pButtons);
    connect(m_pButtons, &QDialogButtonBox::accepted, this, &VeSheetTaskBaseDialog::accept);
    connect(m_pButtons, &QDialogButtonBox::rejected, this, &VeSheetTaskBaseDialog::reject);
}

VeSheetTaskBaseDialog::~VeSheetTaskBaseDialog() = default;

void VeSheetTaskBaseDialog::AddPage(VePageTaskWidgetBase* page, const QString& title)
{
    if (!page)
        return;
    m_Pages.append(page);
    m_pTabs->addTab(page, title);
}

void VeSheetTaskBaseDialog::accept()
{
    for (VePageTaskWidgetBase* page : std::as_const(m_Pages)) {
        if (!page->GetPageParameter(m_pTaskParam)) {
            m_pTabs->setCurrentWidget(page);
            return;
        }
    }
    QDialog::accept();
}
