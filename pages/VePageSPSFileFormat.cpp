#include "VePageSPSFileFormat.h"

#include "SPSFormatValues.h"
#include "SPSLayout.h"
#include "SPSParamFile.h"
#include "VeHostUi.h"
#include "VeTaskSPSFilesLoaderParam.h"
#include "ui_VePageSPSFileFormat.h"

#include <QIntValidator>
#include <QMessageBox>

namespace {

const char kParamFileFilter[] = "SPS Parameter File (*.txt);;any file(*.*)";

// Typed values stay within what the record holds; the check refuses 0 and empty edits.
constexpr int kMaxTyped = 99999999;

QString ControlName(const SPSLayout::Field& f)
{
    const char* file = f.file == SPSLayout::File::Source     ? "Source"
                       : f.file == SPSLayout::File::Receiver ? "Receiver"
                                                             : "Relation";
    switch (f.kind) {
    case SPSLayout::Kind::AutoSkip:
        return QStringLiteral("Chk%1AutoSkip").arg(QLatin1String(file));
    case SPSLayout::Kind::RowCount:
        return QStringLiteral("Txt%1AutoSkip").arg(QLatin1String(file));
    case SPSLayout::Kind::Position:
    case SPSLayout::Kind::Length:
        break;
    }
    return QLatin1String("Txt") + QLatin1String(f.key);
}

} // namespace

VePageSPSFileFormat::VePageSPSFileFormat(VeSheetTaskBaseDialog* dialog)
    : VePageTaskWidgetBase(dialog), m_Ui(std::make_unique<Ui::VePageSPSFileFormatClass>())
{
    m_Ui->setupUi(this);

    // The layout table names every control: a column edit bears its record
    // field's name, a file's switch and row count bear the file's name.
    for (const SPSLayout::Field& f : SPSLayout::Fields()) {
        const QString key = QString::fromLatin1(f.key);
        if (f.kind == SPSLayout::Kind::AutoSkip) {
            auto* box = findChild<QCheckBox*>(ControlName(f));
            Q_ASSERT(box);
            m_AutoSkipBoxes.insert(key, box);
            continue;
        }
        auto* edit = findChild<QLineEdit*>(ControlName(f));
        Q_ASSERT(edit);
        const int lowest = f.kind == SPSLayout::Kind::RowCount ? 0 : 1;
        edit->setValidator(new QIntValidator(lowest, kMaxTyped, edit));
        m_Edits.insert(key, edit);
    }
    // The table's defaults, whatever the form was drawn with.
    SetValues(SPSFormatValues());

    const Ui::VePageSPSFileFormatClass& ui = *m_Ui;
    connect(ui.RadUseStandard, &QRadioButton::toggled, this,
            &VePageSPSFileFormat::slotCheckSPSFormat);
    connect(ui.RadUseNonStandardRadio, &QRadioButton::toggled, this,
            &VePageSPSFileFormat::slotCheckNonSPSFormat);
    connect(ui.ChkSourceAutoSkip, &QCheckBox::toggled, this,
            &VePageSPSFileFormat::slotCheckSourceAutoSkip);
    connect(ui.ChkReceiverAutoSkip, &QCheckBox::toggled, this,
            &VePageSPSFileFormat::slotCheckReceiverAutoSkip);
    connect(ui.ChkRelationAutoSkip, &QCheckBox::toggled, this,
            &VePageSPSFileFormat::slotCheckRelationAutoSkip);
    connect(ui.BtnLoadParam, &QPushButton::released, this, &VePageSPSFileFormat::slotLoadSpsParam);
    connect(ui.BtnSaveParam, &QPushButton::released, this, &VePageSPSFileFormat::slotSaveSpsParam);
}

VePageSPSFileFormat::~VePageSPSFileFormat() = default;

bool VePageSPSFileFormat::GetPageParameter(VeTaskParameter* param)
{
    auto* record = dynamic_cast<VeTaskSPSFilesLoaderParam*>(param);
    if (!record)
        return false;
    // The standard layout does not use the edits, so whatever they hold cannot stop it.
    if (m_Ui->RadUseStandard->isChecked()) {
        SPSFormatValues::GatherStandard(record);
        return true;
    }
    if (!CheckPageParameter())
        return false;
    return Values().Gather(record, nullptr);
}

bool VePageSPSFileFormat::CheckPageParameter()
{
    const QString key = Values().FirstFailingKey();
    if (key.isEmpty())
        return true;
    m_Edits.value(key)->setFocus(Qt::OtherFocusReason);
    return false;
}

void VePageSPSFileFormat::UpdatePage() {}

void VePageSPSFileFormat::slotCheckSPSFormat(bool bChecked)
{
    slotCheckFormat(!bChecked);
}

void VePageSPSFileFormat::slotCheckNonSPSFormat(bool bChecked)
{
    slotCheckFormat(bChecked);
}

void VePageSPSFileFormat::slotCheckFormat(bool bChecked)
{
    const Ui::VePageSPSFileFormatClass& ui = *m_Ui;
    for (QWidget* w :
         {static_cast<QWidget*>(ui.GroupSource), static_cast<QWidget*>(ui.GroupSourceSkip),
          static_cast<QWidget*>(ui.ChkSourceAutoSkip), static_cast<QWidget*>(ui.GroupReceiver),
          static_cast<QWidget*>(ui.GroupReceiverSkip),
          static_cast<QWidget*>(ui.ChkReceiverAutoSkip), static_cast<QWidget*>(ui.GroupRelation),
          static_cast<QWidget*>(ui.ChkRelationAutoSkip), static_cast<QWidget*>(ui.BtnLoadParam),
          static_cast<QWidget*>(ui.BtnSaveParam)})
        w->setEnabled(bChecked);
}

bool VePageSPSFileFormat::slotSaveSpsParam()
{
    const QString path = GetSaveFileName(this, tr("Save SPS Parameters"),
                                         QLatin1String(kParamFileFilter), QString());
    if (path.isEmpty())
        return false;
    if (!SPSParamFile::Write(path, Values())) {
        QMessageBox::critical(this, tr("Error!"),
                              tr("Can not open file \n[%1]\n for writting!").arg(path));
        return false;
    }
    return true;
}

bool VePageSPSFileFormat::slotLoadSpsParam()
{
    const QString path =
        GetOpenFileName(this, tr("Open SPS Parameters"), QLatin1String(kParamFileFilter));
    if (path.isEmpty())
        return false;
    SPSFormatValues values = Values();
    switch (SPSParamFile::Read(path, &values)) {
    case SPSParamFile::CannotOpen:
        QMessageBox::critical(this, tr("Error!"),
                              tr("Can not open file \n[%1]\n for reading!").arg(path));
        return false;
    case SPSParamFile::NotRegularFile:
        QMessageBox::critical(
            this, tr("Error!"),
            tr("Can not open file \n[%1]\n for reading: it is not a regular file!").arg(path));
        return false;
    case SPSParamFile::InvalidVersion:
        QMessageBox::critical(this, tr("Error!"), tr("Invalid file version!"));
        return false;
    case SPSParamFile::Ok:
        break;
    }
    SetValues(values);
    return true;
}

void VePageSPSFileFormat::slotCheckSourceAutoSkip()
{
    m_Ui->TxtSourceAutoSkip->setEnabled(!m_Ui->ChkSourceAutoSkip->isChecked());
}

void VePageSPSFileFormat::slotCheckReceiverAutoSkip()
{
    m_Ui->TxtReceiverAutoSkip->setEnabled(!m_Ui->ChkReceiverAutoSkip->isChecked());
}

void VePageSPSFileFormat::slotCheckRelationAutoSkip()
{
    m_Ui->TxtRelationAutoSkip->setEnabled(!m_Ui->ChkRelationAutoSkip->isChecked());
}

SPSFormatValues VePageSPSFileFormat::Values() const
{
    SPSFormatValues values;
    for (auto it = m_AutoSkipBoxes.cbegin(); it != m_AutoSkipBoxes.cend(); ++it)
        values.SetValue(it.key(),
                        it.value()->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    for (auto it = m_Edits.cbegin(); it != m_Edits.cend(); ++it)
        values.SetValue(it.key(), it.value()->text());
    return values;
}

void VePageSPSFileFormat::SetValues(const SPSFormatValues& values)
{
    for (auto it = m_AutoSkipBoxes.cbegin(); it != m_AutoSkipBoxes.cend(); ++it) {
        const bool on = values.IsAutoSkipOn(it.key());
        it.value()->setChecked(on);
        // Also when the box was already in that state and emitted nothing.
        const SPSLayout::Field& box = SPSLayout::Fields()[SPSLayout::IndexOf(it.key())];
        const char* count = SPSLayout::Fields()[SPSLayout::RowCountIndex(box.file)].key;
        m_Edits.value(QLatin1String(count))->setEnabled(!on);
    }
    for (auto it = m_Edits.cbegin(); it != m_Edits.cend(); ++it) {
        const QString text = values.Value(it.key());
        if (it.value()->text() != text)
            it.value()->setText(text);
    }
}
