#include "VeSPSFormatPresetControls.h"

#include "SPSFormatValues.h"
#include "SPSLayout.h"
#include "SPSLayoutPresets.h"
#include "SPSRevisionChoice.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

namespace {

// The page's own texts keep the page's translation context.
constexpr char kContext[] = "VePageSPSFileFormat";

struct FileGroup
{
    QChar letter;
    const char* keyPrefix; // the group's column keys begin with it
    const char* autoSkipKey;
    const char* name; // as the page's tab names it
};

const FileGroup kGroups[] = {
    {u'S', "Src", "AutoSkipS", QT_TRANSLATE_NOOP("VePageSPSFileFormat", "Source")},
    {u'R', "Recv", "AutoSkipR", QT_TRANSLATE_NOOP("VePageSPSFileFormat", "Receiver")},
    {u'X', "X", "AutoSkipX", QT_TRANSLATE_NOOP("VePageSPSFileFormat", "Relation")}};

// The combo box lists the presets in this order, then the user's own layout.
const SPSRevision kPresets[] = {SPSRevision::Revision1, SPSRevision::Revision21};

// Whether every column value (not the skip settings) is the revision's.
bool holdsColumnsOf(const SPSFormatValues& values, SPSRevision revision)
{
    SPSFormatValues preset = values;
    preset.ApplyRevision(revision);
    for (const SPSLayout::Field& f : SPSLayout::Fields()) {
        if (f.kind != SPSLayout::Kind::Position && f.kind != SPSLayout::Kind::Length)
            continue;
        const QString key = QString::fromLatin1(f.key);
        if (SPSFormatValues::Int32Of(values.Value(key)) !=
            SPSFormatValues::Int32Of(preset.Value(key)))
            return false;
    }
    return true;
}

bool inGroup(const QString& key, const FileGroup& group)
{
    return key == QLatin1String(group.autoSkipKey) ||
           key.startsWith(QLatin1String(group.keyPrefix));
}

} // namespace

VeSPSFormatPresetControls::VeSPSFormatPresetControls(QWidget* page, QRadioButton* userDefined,
                                                     QComboBox* presets, QPushButton* apply,
                                                     QPushButton* detect, ValuesGetter get,
                                                     ValuesSetter set)
    : QObject(page), m_pPage(page), m_pDetect(detect), m_pPresets(presets), m_Get(std::move(get)),
      m_Set(std::move(set))
{
    connect(userDefined, &QRadioButton::toggled, this, [=](bool on) {
        for (QWidget* w : {static_cast<QWidget*>(presets), static_cast<QWidget*>(apply),
                           static_cast<QWidget*>(detect)})
            w->setEnabled(on);
    });
    connect(apply, &QPushButton::clicked, this, [this]() {
        const int at = m_pPresets->currentIndex();
        if (at >= 0 && at < int(std::size(kPresets)))
            ApplyPreset(kPresets[at]);
    });
    connect(detect, &QPushButton::clicked, this, [this]() { DetectFromFiles(); });
}

VeSPSFormatPresetControls::~VeSPSFormatPresetControls()
{
    // The reading posts here when it ends: it must end first.
    if (m_pDetection) {
        m_pDetection->stop = true;
        m_pDetection->choices.wait();
        QApplication::restoreOverrideCursor();
    }
}

void VeSPSFormatPresetControls::ShowMatchingPreset()
{
    if (!m_Get)
        return;
    const SPSFormatValues values = m_Get();
    int shown = int(std::size(kPresets));
    for (int i = 0; i < int(std::size(kPresets)); ++i)
        if (holdsColumnsOf(values, kPresets[i]))
            shown = i;
    if (shown < m_pPresets->count())
        m_pPresets->setCurrentIndex(shown);
}

void VeSPSFormatPresetControls::ApplyPreset(SPSRevision revision)
{
    SPSFormatValues values = m_Get();
    values.ApplyRevision(revision);
    m_Set(values);
}

void VeSPSFormatPresetControls::DetectFromFiles()
{
    if (m_pDetection)
        return;
    m_pDetection = std::make_unique<Detection>();
    Detection& d = *m_pDetection;
    d.paths = m_Paths ? m_Paths() : QStringList();
    for (QString& path : d.paths)
        path = path.trimmed();
    QApplication::setOverrideCursor(Qt::BusyCursor);
    // The detection outlives its reading: ShowDetection and the destructor wait for it.
    d.choices = std::async(std::launch::async, [this, &d]() {
        std::vector<SPSRevisionChoice> choices;
        // Only regular files are read: a FIFO or a device could block the
        // reading or never end.
        for (int i = 0; i < int(std::size(kGroups)); ++i)
            choices.push_back(SPSChooseRevision(d.paths.value(i), kGroups[i].letter, &d.stop));
        // By name: the call's event is then made inside Qt, out of sight of
        // the thread sanitizer, which does not see Qt's own locks.
        QMetaObject::invokeMethod(this, "ShowDetection", Qt::QueuedConnection);
        return choices;
    });
}

void VeSPSFormatPresetControls::ShowDetection()
{
    const std::unique_ptr<Detection> d = std::move(m_pDetection);
    const std::vector<SPSRevisionChoice> choices = d->choices.get();
    QApplication::restoreOverrideCursor();
    if (!m_pDetect->isEnabled())
        return;
    SPSFormatValues values = m_Get();
    QStringList lines;
    for (int i = 0; i < int(std::size(kGroups)); ++i) {
        const FileGroup& group = kGroups[i];
        const QString name = QCoreApplication::translate(kContext, group.name);
        const QString path = d->paths.value(i);
        const SPSRevisionChoice& choice = choices[size_t(i)];
        if (choice.gate == SPSRevisionChoice::Gate::NoPath) {
            lines << QCoreApplication::translate(
                         "VePageSPSFileFormat",
                         "%1 file: none chosen; its group was left as it was.")
                         .arg(name);
            continue;
        }
        if (choice.gate != SPSRevisionChoice::Gate::Read) {
            lines
                << QCoreApplication::translate(
                       "VePageSPSFileFormat",
                       "%1 file [%2]: not a regular file, not read; its group was left as it was.")
                       .arg(name, path);
            continue;
        }
        const SPSRevisionVerdict& verdict = choice.verdict;
        if (choice.revision == SPSRevision::Unknown) {
            lines << QCoreApplication::translate(
                         "VePageSPSFileFormat",
                         "%1 file [%2]: revision unknown (%3); its group was left as it was.")
                         .arg(name, path, verdict.evidence);
            continue;
        }
        SPSFormatValues preset = values;
        preset.ApplyRevision(choice.revision);
        for (const QString& key : SPSFormatValues::Keys())
            if (inGroup(key, group))
                values.SetValue(key, preset.Value(key));
        lines << QCoreApplication::translate(
                     "VePageSPSFileFormat",
                     "%1 file [%2]: SPS revision %3 (%4); its group was filled.")
                     .arg(name, path, SPSLayoutPresets::RevisionText(choice.revision),
                          verdict.evidence);
    }
    m_Set(values);
    const QString text = lines.join(QLatin1Char('\n'));
    QMessageBox::information(
        m_pPage, QCoreApplication::translate("VePageSPSFileFormat", "Detect Layout"), text);
}
