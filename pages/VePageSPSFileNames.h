#pragma once

#include "VePageTaskWidgetBase.h"

#include <QString>
#include <QVector>

#include <array>
#include <memory>

class QLineEdit;
class QTextBrowser;
class SPSPreviewReader;
class VeSheetTaskBaseDialog;
namespace Ui {
class VePageSPSFileNamesClass;
}

// The "Files" page of the load dialog: names the source, receiver and relation
// files, previews each a chunk of lines at a time, and writes the three paths into
// the load's parameter record when the dialog is accepted.
class VePageSPSFileNames : public VePageTaskWidgetBase
{
    Q_OBJECT
public:
    explicit VePageSPSFileNames(VeSheetTaskBaseDialog* dialog);
    ~VePageSPSFileNames() override;

    bool GetPageParameter(VeTaskParameter* param) override;
    bool CheckPageParameter() override;
    void UpdatePage() override;

    // The path typed or chosen on each tab (0 source, 1 receiver, 2 relation), as
    // the page would gather it.
    QString FilePath(int tab) const;

    // Lines shown by "Head" and by each press of "Next".
    static constexpr qint64 kPreviewLines = 300;
    // The most characters of one line the preview shows: far beyond any SPS row,
    // and it keeps a file chosen by mistake (no line breaks, binary) from filling memory.
    static constexpr qsizetype kMaxPreviewLineLength = 4096;
    // The most bytes one page of the preview reads: a file without line breaks
    // that keeps growing still ends a page.
    static constexpr qint64 kPreviewPageBytes = 256LL * 1024 * 1024;

protected Q_SLOTS:
    void slotOpenSourceFiles();
    void slotOpenReceiverFiles();
    void slotOpenRelationFiles();
    void slotUpdateSourceInfo();
    void slotUpdateReceiverInfo();
    void slotUpdateRelationInfo();
    void slotReadMoreToTextBox();
    void slotReloadSPSFile();

private:
    enum ETab
    {
        SourceTab = 0,
        ReceiverTab = 1,
        RelationTab = 2,
        TabCount = 3
    };

    void OpenFile(int tab, const QString& filter);
    void ReadFileToTextBox(QTextBrowser* preview, const QString& path, int tab);
    void ReadMoreToTextBox(QTextBrowser* preview, const QString& path, int tab);
    void ShowNextLines(SPSPreviewReader& reader, QTextBrowser* preview, int tab);
    void UpdateInfo(int tab);
    void ShowWarning(const QString& text);
    // True, after a warning, when the path names something that exists and is
    // not a regular file; nothing is opened.
    bool RefuseNotRegular(const QString& path);

    QTextBrowser* Preview(int tab) const;
    QLineEdit* PathEdit(int tab) const;
    QLineEdit* InfoEdit(int tab) const;

    std::unique_ptr<Ui::VePageSPSFileNamesClass> ui;
    // Per tab: the path last chosen with "Browse..." whose file existed; "Head" and
    // "Next" read it, not the path edit.
    std::array<QString, TabCount> m_FilePath;
    // Per tab: lines of the file, from its first, shown by "Head" and the "Next"
    // presses since; the next "Next" starts after them.
    std::array<qint64, TabCount> m_LinesShown{};
    // Per tab: the preview position where each shown line starts, then an end marker.
    std::array<QVector<qint64>, TabCount> m_LineStarts;
};
