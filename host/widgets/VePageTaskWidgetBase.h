#pragma once

#include <QWidget>

class VeSheetTaskBaseDialog;
class VeTaskParameter;

// Base of a page of a task dialog.
class VePageTaskWidgetBase : public QWidget
{
    Q_OBJECT
public:
    explicit VePageTaskWidgetBase(VeSheetTaskBaseDialog* dialog);
    ~VePageTaskWidgetBase() override;

    // Shows a record's values on the page.
    virtual void SetPageParameter(const VeTaskParameter& param);
    // Writes the page into the record; false when the page's inputs are not acceptable.
    virtual bool GetPageParameter(VeTaskParameter* param);
    virtual bool CheckPageParameter();
    // Brings the page up to date with the host's state; called when the page is shown.
    virtual void UpdatePage();
};
