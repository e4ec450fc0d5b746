#pragma once

#include <QWidget>

#include <memory>

class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class VeSurveyCheckModel;
struct SPSCheckFinding;
struct VeSurveyCheckResult;

// The findings of one survey check as a sortable table (kind, file, row, line,
// point, message), with a title that counts them by kind.
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
    QTableView* View() const { return m_pView; }
    // The largest line factor that the shared-number findings of the result
    // shown name; 0 when they name none (or there are none).
    qint32 SuggestedLineFactor() const;
    QPushButton* LoadAgainButton() const { return m_pLoadAgain; }

    // The finding shown in a row of the view (sorted as shown); null for none.
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

    VeSurveyCheckModel* m_pModel = nullptr;
    QSortFilterProxyModel* m_pProxy = nullptr;
    QTableView* m_pView = nullptr;
    QLabel* m_pStatus = nullptr;
    QPushButton* m_pLoadAgain = nullptr;
    QString m_strTitle;
};
