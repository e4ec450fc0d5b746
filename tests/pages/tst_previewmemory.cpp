#include "ProcessMemory.h"
#include "VeHostUi.h"
#include "VePageSPSFileNames.h"
#include "VeSheetTaskBaseDialog.h"
#include "VeTaskSPSFilesLoaderParam.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QtTest>

// Kept apart from the other page tests so that their allocations do not hide
// this one's in the process's peak.
class TestPreviewMemory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fileWithoutLineBreaks()
    {
        constexpr qint64 kFileBytes = 200LL * 1024 * 1024;
        constexpr qint64 kHeadBytes = 8192;
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("no-breaks.s");
        {
            // A readable head, then a sparse tail: 200 MB without one line break.
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QCOMPARE(f.write(QByteArray(kHeadBytes, 'x')), kHeadBytes);
            QVERIFY(f.resize(kFileBytes));
        }
        QCOMPARE(QFileInfo(path).size(), kFileBytes);

        VeTaskSPSFilesLoaderParam param;
        VeSheetTaskBaseDialog dialog(&param);
        auto* page = new VePageSPSFileNames(&dialog);
        dialog.AddPage(page, "Files");
        SetFileDialogHook([&](const VeFileDialogRequest&) { return path; });

        const bool reset = ProcessMemory::ResetPeak();
        const qint64 before = ProcessMemory::PeakResidentKiB();
        QVERIFY(before > 0);
        page->findChild<QPushButton*>("BtnBrowseSource")->click();
        const qint64 after = ProcessMemory::PeakResidentKiB();
        SetFileDialogHook(nullptr);

        qInfo("peak resident memory %lld KiB before, %lld KiB after the preview (peak reset: %s)",
              before, after, reset ? "yes" : "no");
        QVERIFY2(after - before < 64 * 1024,
                 qPrintable(QString("the preview added %1 KiB").arg(after - before)));

        auto* preview = page->findChild<QTextBrowser*>("TxtSoureFileContent");
        QCOMPARE(preview->document()->blockCount(), 2);
        QCOMPARE(preview->document()->firstBlock().text(),
                 QString(VePageSPSFileNames::kMaxPreviewLineLength, u'x'));
        QVERIFY(!page->findChild<QPushButton*>("BtnMoreContent")->isEnabled());
        preview->moveCursor(QTextCursor::End);
        QCOMPARE(page->findChild<QLineEdit*>("TxtSourceFileCursor")->text(),
                 QString("Row: 2,\tColumn: 1;\t\tCharacters: 4097,\tCharacters no wrap: 4096;"));
        QVERIFY(QFile::remove(path));
    }

    // A page of the preview reads a bounded number of bytes, so that a file
    // without line breaks that keeps growing cannot hold the window: here one
    // larger than the bound, which stands for it.
    void pageReadingIsBounded()
    {
        constexpr qint64 kFileBytes = VePageSPSFileNames::kPreviewPageBytes + 64LL * 1024 * 1024;
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("beyond-the-bound.s");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QCOMPARE(f.write("x"), qint64(1));
            QVERIFY(f.resize(kFileBytes));
        }
        VeTaskSPSFilesLoaderParam param;
        VeSheetTaskBaseDialog dialog(&param);
        auto* page = new VePageSPSFileNames(&dialog);
        dialog.AddPage(page, "Files");
        SetFileDialogHook([&](const VeFileDialogRequest&) { return path; });
        page->findChild<QPushButton*>("BtnBrowseSource")->click();
        SetFileDialogHook(nullptr);

        auto* preview = page->findChild<QTextBrowser*>("TxtSoureFileContent");
        QCOMPARE(preview->document()->blockCount(), 2);
        QCOMPARE(preview->document()->firstBlock().text().size(),
                 VePageSPSFileNames::kMaxPreviewLineLength);
        // Stopped, not at the end: there is more to show.
        QVERIFY(page->findChild<QPushButton*>("BtnMoreContent")->isEnabled());
        QVERIFY(QFile::remove(path));
    }
};

QTEST_MAIN(TestPreviewMemory)
#include "tst_previewmemory.moc"
