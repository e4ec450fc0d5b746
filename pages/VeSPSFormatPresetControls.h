#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QComboBox;
class QPushButton;
class QRadioButton;
class QWidget;
class SPSFormatValues;
enum class SPSRevision;

// The Format page's layout presets and detection: fill the three groups from a
// named SPS revision, or from what the files chosen on the "Files" page look
// like. Kept apart from the page so that the page's own slots stay as they are;
// its widgets are connected with lambdas.
class VeSPSFormatPresetControls : public QObject
{
public:
    using ValuesGetter = std::function<SPSFormatValues()>;
    using ValuesSetter = std::function<void(const SPSFormatValues&)>;
    // The source, receiver and relation paths, in that order.
    using PathsSource = std::function<QStringList()>;

    // The controls are enabled exactly while the user-defined layout is chosen.
    VeSPSFormatPresetControls(QWidget* page, QRadioButton* userDefined, QComboBox* presets,
                              QPushButton* apply, QPushButton* detect, ValuesGetter get,
                              ValuesSetter set);

    void SetPathsSource(PathsSource source) { m_Paths = std::move(source); }

    // Shows in the preset list the preset whose columns the page holds, or the
    // last entry, the user's own layout, when none matches.
    void ShowMatchingPreset();

    // Fills all three groups with the revision's layout.
    void ApplyPreset(SPSRevision revision);
    // Detects each chosen file's revision, fills its group from a known verdict
    // and says in a message box what was found; answers the message's text.
    QString DetectFromFiles();

private:
    QWidget* m_pPage;
    QComboBox* m_pPresets;
    ValuesGetter m_Get;
    ValuesSetter m_Set;
    PathsSource m_Paths;
};
