#include "VePageSPSFileFormat.h"

#include "SPSFormatValues.h"
#include "SPSLayout.h"
#include "SPSParamFile.h"
#include "VeHostUi.h"
#include "VeSPSFormatPresetControls.h"
#include "VeTaskSPSFilesLoaderParam.h"
#include "ui_VePageSPSFileFormat.h"

#include <QFontMetrics>
#include <QIntValidator>
#include <QMessageBox>
#include <QTabBar>

#include <limits>

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

// The "Numbering" group's edits, each named after the setting it feeds.
struct NumberingEdit
{
    const char* name;
    qint32 SPSNumberingSettings::*setting;
    const char* summary; // how the collapsed group's button names a value other than 0
};
const NumberingEdit kNumberingEdits[] = {
    {"TxtLineFactor", &SPSNumberingSettings::LineFactor,
     QT_TRANSLATE_NOOP("VePageSPSFileFormat", "line factor %1")},
    {"TxtShotNumberFactor", &SPSNumberingSettings::ShotNumberFactor,
     QT_TRANSLATE_NOOP("VePageSPSFileFormat", "shot factor %1")},
    {"TxtReceiverNumberFactor", &SPSNumberingSettings::ReceiverNumberFactor,
     QT_TRANSLATE_NOOP("VePageSPSFileFormat", "receiver factor %1")},
    {"TxtCoordinateScalar", &SPSNumberingSettings::CoordinateScalar,
     QT_TRANSLATE_NOOP("VePageSPSFileFormat", "coordinate scalar %1")},
    {"TxtElevationScalar", &SPSNumberingSettings::ElevationScalar,
     QT_TRANSLATE_NOOP("VePageSPSFileFormat", "elevation scalar %1")},
};

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

    // The numbering takes any 32-bit integer; it applies in either layout mode,
    // so the group is never disabled with the columns.
    for (const NumberingEdit& n : kNumberingEdits) {
        auto* edit = findChild<QLineEdit*>(QLatin1String(n.name));
        Q_ASSERT(edit);
        edit->setValidator(new QIntValidator(std::numeric_limits<qint32>::min(),
                                             std::numeric_limits<qint32>::max(), edit));
        connect(edit, &QLineEdit::textChanged, this, &VePageSPSFileFormat::UpdateNumberingButton);
    }
    connect(ui.BtnNumbering, &QToolButton::toggled, this, [this](bool open) {
        m_Ui->GroupNumbering->setVisible(open);
        m_Ui->BtnNumbering->setArrowType(open ? Qt::DownArrow : Qt::RightArrow);
    });

    m_pPresetControls = new VeSPSFormatPresetControls(
        this, ui.RadUseNonStandardRadio, ui.CmbLayoutPreset, ui.BtnApplyPreset, ui.BtnDetectLayout,
        [this]() { return Values(); }, [this](const SPSFormatValues& v) { SetValues(v); });
    // The preset list follows the columns through every edit, file and detection.
    for (QLineEdit* edit : std::as_const(m_Edits))
        connect(edit, &QLineEdit::textChanged, m_pPresetControls,
                &VeSPSFormatPresetControls::ShowMatchingPreset);
    m_pPresetControls->ShowMatchingPreset();
    FitLabelsToTheirTexts();
}

VePageSPSFileFormat::~VePageSPSFileFormat() = default;

bool VePageSPSFileFormat::GetPageParameter(VeTaskParameter* param)
{
    auto* record = dynamic_cast<VeTaskSPSFilesLoaderParam*>(param);
    if (!record)
        return false;
    SPSNumberingSettings numbering;
    QLineEdit* failed = nullptr;
    // The standard layout does not use the column edits, so whatever they hold
    // cannot stop it; the numbering applies to both layouts.
    if (m_Ui->RadUseStandard->isChecked()) {
        if (!NumberingValues(&numbering, &failed)) {
            failed->setFocus(Qt::OtherFocusReason);
            return false;
        }
        SPSFormatValues::GatherStandard(record);
        record->Numbering = numbering;
        return true;
    }
    if (!CheckPageParameter())
        return false;
    NumberingValues(&numbering);
    if (!Values().Gather(record, nullptr))
        return false;
    record->Numbering = numbering;
    return true;
}

bool VePageSPSFileFormat::CheckPageParameter()
{
    const QString key = Values().FirstFailingKey();
    QLineEdit* failed = key.isEmpty() ? nullptr : m_Edits.value(key);
    SPSNumberingSettings numbering;
    if (!failed && NumberingValues(&numbering, &failed))
        return true;
    failed->setFocus(Qt::OtherFocusReason);
    return false;
}

bool VePageSPSFileFormat::NumberingValues(SPSNumberingSettings* numbering, QLineEdit** failed) const
{
    for (const NumberingEdit& n : kNumberingEdits) {
        auto* edit = findChild<QLineEdit*>(QLatin1String(n.name));
        const QString text = edit->text().trimmed();
        // Empty counts as 0; a lone sign, or a number past 32 bits, is refused.
        bool ok = text.isEmpty();
        const qint32 value = ok ? 0 : text.toInt(&ok, 10);
        if (!ok) {
            if (failed)
                *failed = edit;
            return false;
        }
        numbering->*n.setting = value;
    }
    return true;
}

void VePageSPSFileFormat::FitLabelsToTheirTexts()
{
    const Ui::VePageSPSFileFormatClass& ui = *m_Ui;
    for (QWidget* tab : {ui.mSourceTab, ui.mRecTab, ui.mRelationTab}) {
        for (QLabel* label : tab->findChildren<QLabel*>()) {
            // Trailing blanks of the texts need no room.
            const QString text = label->text().trimmed();
            if (text.isEmpty())
                continue;
            const QFontMetrics metrics(label->font());
            const int width = metrics.horizontalAdvance(text) + 2 * label->margin() + 2;
            const int height = metrics.height();
            if (width > label->maximumWidth())
                label->setFixedWidth(width);
            if (height > label->maximumHeight())
                label->setFixedHeight(height);
        }
    }
    // The two fixed-width groups grow only as far as their labels need.
    for (QGroupBox* group : {ui.GroupSource, ui.GroupReceiver}) {
        const int needed = group->minimumSizeHint().width();
        if (needed > group->maximumWidth())
            group->setFixedWidth(needed);
    }
    int tabHeight = ui.mTabWidget->maximumHeight();
    for (QWidget* tab : {ui.mSourceTab, ui.mRecTab, ui.mRelationTab})
        tabHeight = qMax(tabHeight, tab->minimumSizeHint().height() +
                                        ui.mTabWidget->tabBar()->sizeHint().height() + 8);
    if (tabHeight > ui.mTabWidget->maximumHeight())
        ui.mTabWidget->setFixedHeight(tabHeight);
}

void VePageSPSFileFormat::UpdateNumberingButton()
{
    // Collapsed, the group still says what it changes.
    QStringList set;
    for (const NumberingEdit& n : kNumberingEdits) {
        const QString text = findChild<QLineEdit*>(QLatin1String(n.name))->text().trimmed();
        if (!text.isEmpty() && text.toLongLong() != 0)
            set << tr(n.summary).arg(text);
    }
    m_Ui->BtnNumbering->setText(
        set.isEmpty() ? QCoreApplication::translate("VePageSPSFileFormatClass", "Numbering")
                      : tr("Numbering: %1").arg(set.join(QLatin1String(", "))));
}

void VePageSPSFileFormat::UpdatePage() {}

void VePageSPSFileFormat::SetFilePathsSource(std::function<QStringList()> source)
{
    m_pPresetControls->SetPathsSource(std::move(source));
}

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
    // Also when no text changed: the list may show a preset chosen but not applied.
    if (m_pPresetControls)
        m_pPresetControls->ShowMatchingPreset();
}
