#pragma once

#include <QWidget>

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QModelIndex;
class QPushButton;
class QStackedWidget;
class QTableView;
class QTreeView;
class VeSurveyCheckModel;
struct SPSCheckFinding;
struct VeSurveyCheckResult;

// The findings of one survey check as a sortable table (kind, file, row, line,
// point, message), or grouped by kind as a tree, filtered by kind and file,
// with a title that counts them by kind.
class VeSurveyCheckPane : public QWidget
{
    Q_OBJECT
public:
    explicit VeSurveyCheckPane(QWidget* parent = nullptr);
    ~VeSurveyCheckPane() override;

    // The finished check of the geometry shown; null: no check to show.
    void ShowResult(std::shared_ptr<const VeSurveyCheckResult> result);
    void ShowRunning();
    void ShowNone();
    std::shared_ptr<const VeSurveyCheckResult> Result() const;

    // "Survey check", with the counts by kind once a check has run.
    QString Title() const { return m_strTitle; }
    QString StatusText() const;
    // The flat table, and the tree by kind.
    QTableView* View() const { return m_pView; }
    QTreeView* TreeView() const { return m_pTree; }
    // Whether the tree by kind shows rather than the table (off at first).
    void SetGroupedByKind(bool grouped);
    bool GroupedByKind() const;
    QCheckBox* GroupButton() const { return m_pGroup; }
    QComboBox* KindFilter() const { return m_pKindFilter; }
    QComboBox* FileFilter() const { return m_pFileFilter; }
    // The largest line factor that the shared-number findings of the result
    // shown name; 0 when they name none (or there are none).
    qint32 SuggestedLineFactor() const;
    QPushButton* LoadAgainButton() const { return m_pLoadAgain; }

    // The finding shown in a row of the table (sorted as shown); null for none.
    const SPSCheckFinding* FindingAtRow(int row) const;
    // Selects and shows the finding with this index in the result.
    void SelectFinding(int index);

Q_SIGNALS:
    void sigTitleChanged(const QString& title);
    // The index in the result of the finding the user selected; -1 for none.
    void sigFindingSelected(int index);
    // The user asked to load the checked files again with this line factor.
    void sigLoadAgainWithLineFactor(qint32 lineFactor);

private:
    void SetTitle(const QString& title);
    void SetModelsResult(std::shared_ptr<const VeSurveyCheckResult> result);
    void FillFilters();
    void ApplyFilters();
    void OnCurrentChanged(const VeSurveyCheckModel* model, const QModelIndex& current);

    VeSurveyCheckModel* m_pModel = nullptr;     // the table's
    VeSurveyCheckModel* m_pTreeModel = nullptr; // the tree's
    QTableView* m_pView = nullptr;
    QTreeView* m_pTree = nullptr;
    QStackedWidget* m_pViews = nullptr;
    QCheckBox* m_pGroup = nullptr;
    QComboBox* m_pKindFilter = nullptr;
    QComboBox* m_pFileFilter = nullptr;
    QLabel* m_pStatus = nullptr;
    QPushButton* m_pLoadAgain = nullptr;
    QString m_strTitle;
    bool m_bFilling = false;
};
