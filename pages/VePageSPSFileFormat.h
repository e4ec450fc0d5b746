#pragma once

#include "VePageTaskWidgetBase.h"

#include <QHash>

#include <functional>
#include <memory>

class QCheckBox;
class QLineEdit;
struct SPSNumberingSettings;
class SPSFormatValues;
class VeSPSFormatPresetControls;
class VeSheetTaskBaseDialog;
namespace Ui {
class VePageSPSFileFormatClass;
}

// The "Format" page of the load dialog: the standard SPS column layout, or a
// layout typed by hand (positions counted from 1) with its header skipping, which
// can be saved to and loaded from a parameter file.
class VePageSPSFileFormat : public VePageTaskWidgetBase
{
    Q_OBJECT
public:
    explicit VePageSPSFileFormat(VeSheetTaskBaseDialog* dialog);
    ~VePageSPSFileFormat() override;

    bool GetPageParameter(VeTaskParameter* param) override;
    // On the first unacceptable edit, gives it the focus and answers false.
    bool CheckPageParameter() override;
    void UpdatePage() override;

    // The numbering settings as the "Numbering" group shows them; false, naming
    // the first edit that holds no 32-bit integer, when one does not.
    bool NumberingValues(SPSNumberingSettings* numbering, QLineEdit** failed = nullptr) const;

    // Where "Detect from Files" finds the paths chosen on the "Files" page (source,
    // receiver, relation); set by whoever builds the dialog with both pages.
    void SetFilePathsSource(std::function<QStringList()> source);

protected Q_SLOTS:
    void slotCheckSPSFormat(bool bChecked);
    void slotCheckNonSPSFormat(bool bChecked);
    void slotCheckFormat(bool bChecked);
    bool slotSaveSpsParam();
    bool slotLoadSpsParam();
    void slotCheckSourceAutoSkip();
    void slotCheckReceiverAutoSkip();
    void slotCheckRelationAutoSkip();

private:
    SPSFormatValues Values() const;
    void SetValues(const SPSFormatValues& values);
    void UpdateNumberingButton();
    // Widens the field labels whose text the form's sizes would clip (larger
    // fonts, other languages), and their groups and tabs with them.
    void FitLabelsToTheirTexts();

    std::unique_ptr<Ui::VePageSPSFileFormatClass> m_Ui;
    // The page's controls by parameter-file key.
    QHash<QString, QLineEdit*> m_Edits;
    QHash<QString, QCheckBox*> m_AutoSkipBoxes;
    VeSPSFormatPresetControls* m_pPresetControls = nullptr;
};
