#include "VePageSPSFileNames.h"

#include "SPSFileAccess.h"
#include "SPSPreviewReader.h"
#include "VeEventsLog.h"
#include "VeHostUi.h"
#include "VeSheetTaskBaseDialog.h"
#include "VeTaskSPSFilesLoaderParam.h"
#include "ui_VePageSPSFileNames.h"

#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTextCursor>

#include <algorithm>

VePageSPSFileNames::VePageSPSFileNames(VeSheetTaskBaseDialog* dialog)
    : VePageTaskWidgetBase(dialog), ui(std::make_unique<Ui::VePageSPSFileNamesClass>())
{
    ui->setupUi(this);

    connect(ui->BtnBrowseSource, &QPushButton::clicked, this,
            &VePageSPSFileNames::slotOpenSourceFiles);
    connect(ui->BtnBrowseReceiver, &QPushButton::clicked, this,
            &VePageSPSFileNames::slotOpenReceiverFiles);
    connect(ui->BtnBrowseRelation, &QPushButton::clicked, this,
            &VePageSPSFileNames::slotOpenRelationFiles);
    connect(ui->TxtSoureFileContent, &QTextBrowser::cursorPositionChanged, this,
            &VePageSPSFileNames::slotUpdateSourceInfo);
    connect(ui->TxtReceiverFileContent, &QTextBrowser::cursorPositionChanged, this,
            &VePageSPSFileNames::slotUpdateReceiverInfo);
    connect(ui->TxtRelationFileContent, &QTextBrowser::cursorPositionChanged, this,
            &VePageSPSFileNames::slotUpdateRelationInfo);
    connect(ui->BtnReload, &QPushButton::clicked, this, &VePageSPSFileNames::slotReloadSPSFile);
    connect(ui->BtnMoreContent, &QPushButton::clicked, this,
            &VePageSPSFileNames::slotReadMoreToTextBox);
}

VePageSPSFileNames::~VePageSPSFileNames() = default;

QTextBrowser* VePageSPSFileNames::Preview(int tab) const
{
    switch (tab) {
    case SourceTab:
        return ui->TxtSoureFileContent;
    case ReceiverTab:
        return ui->TxtReceiverFileContent;
    default:
        return ui->TxtRelationFileContent;
    }
}

QLineEdit* VePageSPSFileNames::PathEdit(int tab) const
{
    switch (tab) {
    case SourceTab:
        return ui->TxtSourceName;
    case ReceiverTab:
        return ui->TxtReceiverName;
    default:
        return ui->TxtRelationName;
    }
}

QString VePageSPSFileNames::FilePath(int tab) const
{
    return tab >= 0 && tab < TabCount ? PathEdit(tab)->text() : QString();
}

QLineEdit* VePageSPSFileNames::InfoEdit(int tab) const
{
    switch (tab) {
    case SourceTab:
        return ui->TxtSourceFileCursor;
    case ReceiverTab:
        return ui->TxtReceiverFileCursor;
    default:
        return ui->TxtRelationFileCursor;
    }
}

void VePageSPSFileNames::slotOpenSourceFiles()
{
    OpenFile(SourceTab, tr("SPS source file(*.s *.sps);;any file(*.* *)"));
}

void VePageSPSFileNames::slotOpenReceiverFiles()
{
    OpenFile(ReceiverTab, tr("SPS source file(*.r *.rps);;any file(*.* *)"));
}

void VePageSPSFileNames::slotOpenRelationFiles()
{
    OpenFile(RelationTab, tr("SPS source file(*.x *.xps);;any file(*.* *)"));
}

void VePageSPSFileNames::OpenFile(int tab, const QString& filter)
{
    const QString path = GetOpenFileName(this, tr("Open SPS source file"), filter);
    if (path.isEmpty())
        return;
    PathEdit(tab)->setText(path);
    m_LineStarts[tab].clear();
    if (!QFile::exists(path))
        return;
    m_FilePath[tab] = path;
    ReadFileToTextBox(Preview(tab), path, tab);
    ui->BtnReload->setEnabled(true);
}

void VePageSPSFileNames::slotReloadSPSFile()
{
    const int tab = ui->TabSPSFileBrowser->currentIndex();
    if (tab >= 0 && tab < TabCount)
        ReadFileToTextBox(Preview(tab), m_FilePath[tab], tab);
}

void VePageSPSFileNames::slotReadMoreToTextBox()
{
    const int tab = ui->TabSPSFileBrowser->currentIndex();
    if (tab >= 0 && tab < TabCount)
        ReadMoreToTextBox(Preview(tab), m_FilePath[tab], tab);
}

void VePageSPSFileNames::ReadFileToTextBox(QTextBrowser* preview, const QString& path, int tab)
{
    preview->clear();
    m_LinesShown[tab] = 0;
    m_LineStarts[tab].clear();

    if (RefuseNotRegular(path)) {
        UpdateInfo(tab);
        return;
    }
    QFile file(path);
    // Unbuffered: the reader keeps its own chunk, a second copy would only cost memory.
    // (An empty path cannot open; asking would only add a warning of Qt's own.)
    if (path.isEmpty() ||
        !file.open(QIODevice::ReadOnly | QIODevice::Text | QIODevice::Unbuffered)) {
        UpdateInfo(tab);
        ShowWarning(tr("Can't open %1!").arg(path));
        return;
    }
    SPSPreviewReader reader(&file, kMaxPreviewLineLength, kPreviewPageBytes);
    ShowNextLines(reader, preview, tab);
}

void VePageSPSFileNames::ReadMoreToTextBox(QTextBrowser* preview, const QString& path, int tab)
{
    if (RefuseNotRegular(path))
        return;
    QFile file(path);
    if (path.isEmpty() ||
        !file.open(QIODevice::ReadOnly | QIODevice::Text | QIODevice::Unbuffered)) {
        ShowWarning(tr("Can't open  file!"));
        return;
    }
    preview->clear();
    // No read position is kept between presses: read again from the first line.
    // Passing over the lines shown costs at most what showing them did.
    SPSPreviewReader reader(&file, kMaxPreviewLineLength,
                            (m_LinesShown[tab] / kPreviewLines + 2) * kPreviewPageBytes);
    for (qint64 i = 0; i < m_LinesShown[tab] && !reader.AtEnd(); ++i)
        reader.SkipLine();
    m_LineStarts[tab].clear();
    ShowNextLines(reader, preview, tab);
}

void VePageSPSFileNames::ShowNextLines(SPSPreviewReader& reader, QTextBrowser* preview, int tab)
{
    QVector<qint64>& starts = m_LineStarts[tab];
    starts.append(0);
    qint64 position = 0;
    qint64 linesRead = 0;
    QString text;
    QString line;
    if (!reader.AtEnd()) {
        for (;;) {
            if (linesRead == kPreviewLines)
                break;
            line.clear();
            reader.ReadLine(&line);
            text += line;
            text += u'\n';
            ++linesRead;
            position += line.size() + 1;
            starts.append(position);
            if (reader.AtEnd())
                break;
        }
    }
    // End marker: a cursor after the last line break still finds an entry beyond it.
    starts.append(position + 1);
    m_LinesShown[tab] += linesRead;

    // One insertion instead of one per line: the same text, laid out once.
    preview->insertPlainText(text);
    // Stopped at the page's bound: there is more to show.
    ui->BtnMoreContent->setEnabled(!reader.AtEnd() || reader.Stopped());
    preview->moveCursor(QTextCursor::Start);
    // Moving to the start emits nothing when the preview stayed empty.
    UpdateInfo(tab);
    // The lines shown are all there is to see; the user must know the file is not whole.
    if (reader.Failed())
        ShowWarning(tr("Can't read %1 to its end!").arg(m_FilePath[tab]));
}

void VePageSPSFileNames::slotUpdateSourceInfo()
{
    UpdateInfo(SourceTab);
}

void VePageSPSFileNames::slotUpdateReceiverInfo()
{
    UpdateInfo(ReceiverTab);
}

void VePageSPSFileNames::slotUpdateRelationInfo()
{
    UpdateInfo(RelationTab);
}

void VePageSPSFileNames::UpdateInfo(int tab)
{
    const qint64 p = Preview(tab)->textCursor().position();
    const QVector<qint64>& starts = m_LineStarts[tab];
    qint64 row = 0;
    qint64 column = 0;
    const auto after = std::upper_bound(starts.cbegin(), starts.cend(), p);
    if (after != starts.cend() && after != starts.cbegin()) {
        row = after - starts.cbegin();
        // Counted from 1, as the Format page counts the positions read off the preview.
        column = p - *(after - 1) + 1;
    }
    InfoEdit(tab)->setText(tr("Row: %1,\t").arg(row) + tr("Column: %1;\t\t").arg(column) +
                           tr("Characters: %1,\t").arg(p) +
                           tr("Characters no wrap: %1;").arg(p - row + 1));
}

bool VePageSPSFileNames::RefuseNotRegular(const QString& path)
{
    // A FIFO would block the window in open(), a device like /dev/zero would be
    // read without end. A missing file is left to the opening, which reports it.
    // A folder fails to open at once and keeps its own message.
    const QFileInfo info(path);
    if (!info.exists() || info.isDir() || SPSMayOpenForReading(path))
        return false;
    ShowWarning(tr("Can't open %1: it is not a regular file!").arg(path));
    return true;
}

void VePageSPSFileNames::ShowWarning(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, tr("Orka/SPS"), text, QMessageBox::NoButton, this);
    box.addButton(tr("&Ok"), QMessageBox::AcceptRole);
    box.exec();
}

bool VePageSPSFileNames::CheckPageParameter()
{
    static const char* const kMessages[TabCount] = {
        QT_TR_NOOP("SPS Source File Error!"),
        QT_TR_NOOP("SPS Receiver File Error!"),
        QT_TR_NOOP("SPS Relation File Error!"),
    };
    for (int tab = 0; tab < TabCount; ++tab) {
        // Only a regular file is opened: a FIFO would block the window in open().
        QFile file(PathEdit(tab)->text());
        if (SPSMayOpenForReading(file.fileName()) && file.open(QIODevice::ReadOnly))
            continue;
        // The tab first: a widget on a hidden tab does not take the focus.
        ui->TabSPSFileBrowser->setCurrentIndex(tab);
        PathEdit(tab)->setFocus(Qt::OtherFocusReason);
        OutputEventsLog(VeEventsLog::EventsLogWarning, tr(kMessages[tab]));
        return false;
    }
    return true;
}

bool VePageSPSFileNames::GetPageParameter(VeTaskParameter* param)
{
    // The record declares no meta-object of its own, so qobject_cast cannot tell it apart.
    auto* record = dynamic_cast<VeTaskSPSFilesLoaderParam*>(param);
    if (!record)
        return false;
    if (!CheckPageParameter())
        return false;
    record->SourceFileName = ui->TxtSourceName->text();
    record->ReceiverFileName = ui->TxtReceiverName->text();
    record->RelationFileName = ui->TxtRelationName->text();
    return true;
}

void VePageSPSFileNames::UpdatePage() {}
