#pragma once

#include <QObject>
#include <QStringList>

#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <vector>

class QComboBox;
class QPushButton;
class QRadioButton;
class QWidget;
class SPSFormatValues;
struct SPSRevisionChoice;
enum class SPSRevision;

// The Format page's layout presets and detection: fill the three groups from a
// named SPS revision, or from what the files chosen on the "Files" page look
// like. Kept apart from the page so that the page's own slots stay as they are;
// its widgets are connected with lambdas.
class VeSPSFormatPresetControls : public QObject
{
    Q_OBJECT

public:
    using ValuesGetter = std::function<SPSFormatValues()>;
    using ValuesSetter = std::function<void(const SPSFormatValues&)>;
    // The source, receiver and relation paths, in that order.
    using PathsSource = std::function<QStringList()>;

    // The controls are enabled exactly while the user-defined layout is chosen.
    VeSPSFormatPresetControls(QWidget* page, QRadioButton* userDefined, QComboBox* presets,
                              QPushButton* apply, QPushButton* detect, ValuesGetter get,
                              ValuesSetter set);
    ~VeSPSFormatPresetControls() override;

    void SetPathsSource(PathsSource source) { m_Paths = std::move(source); }

    // Shows in the preset list the preset whose columns the page holds, or the
    // last entry, the user's own layout, when none matches.
    void ShowMatchingPreset();

    // Fills all three groups with the revision's layout.
    void ApplyPreset(SPSRevision revision);
    // Detects each chosen file's revision off the UI thread (one file may be
    // read far into), then fills its group from a known verdict and says in a
    // message box what was found. A click while one runs is passed over; the
    // result of one that ends after the user-defined layout was left is dropped.
    void DetectFromFiles();

private Q_SLOTS:
    // Called by the detection's thread when it is done.
    void ShowDetection();

private:
    // One detection under way: the files' choices, in the groups' order.
    struct Detection
    {
        QStringList paths;
        std::atomic<bool> stop{false};
        std::future<std::vector<SPSRevisionChoice>> choices;
    };
    QWidget* m_pPage;
    QPushButton* m_pDetect;
    std::unique_ptr<Detection> m_pDetection;
    QComboBox* m_pPresets;
    ValuesGetter m_Get;
    ValuesSetter m_Set;
    PathsSource m_Paths;
};
