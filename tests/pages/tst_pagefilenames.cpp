#include "SPSTestBoxes.h"
#include "SPSTestGzip.h"
#include "SPSTestRows.h"
#include "VeEventsLog.h"
#include "VeHostUi.h"
#include "VePageSPSFileNames.h"
#include "VeSheetTaskBaseDialog.h"
#include "VeTaskSPSFilesLoaderParam.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMetaMethod>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

#include <sys/stat.h>

namespace {
const char* const kPathEdits[] = {"TxtSourceName", "TxtReceiverName", "TxtRelationName"};
const char* const kBrowseButtons[] = {"BtnBrowseSource", "BtnBrowseReceiver", "BtnBrowseRelation"};
const char* const kPreviews[] = {"TxtSoureFileContent", "TxtReceiverFileContent",
                                 "TxtRelationFileContent"};
const char* const kInfoLines[] = {"TxtSourceFileCursor", "TxtReceiverFileCursor",
                                  "TxtRelationFileCursor"};

// Lines "L000001......" of 80 characters each, numbered from first to last.
QByteArray numberedLines(int first, int last)
{
    QByteArray out;
    for (int n = first; n <= last; ++n)
        out += QByteArray("L") + QByteArray::number(n).rightJustified(6, '0') +
               QByteArray(73, '.') + '\n';
    return out;
}

QString lineNo(int n)
{
    return QString::fromLatin1(numberedLines(n, n).chopped(1));
}

QString infoText(qint64 row, qint64 column, qint64 chars, qint64 noWrap)
{
    return QString("Row: %1,\tColumn: %2;\t\tCharacters: %3,\tCharacters no wrap: %4;")
        .arg(row)
        .arg(column)
        .arg(chars)
        .arg(noWrap);
}

// The lines the preview shows (its document's blocks, without the empty last one).
QStringList shownLines(QTextBrowser* preview)
{
    QStringList lines;
    for (QTextBlock b = preview->document()->begin(); b.isValid(); b = b.next())
        lines << b.text();
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

void putCursor(QTextBrowser* preview, int position)
{
    QTextCursor c = preview->textCursor();
    c.setPosition(position);
    preview->setTextCursor(c);
}

// A load dialog holding the page, and shortcuts to the page's widgets.
struct PageFixture
{
    VeTaskSPSFilesLoaderParam param;
    VeSheetTaskBaseDialog dialog{&param};
    VePageSPSFileNames* page = new VePageSPSFileNames(&dialog);

    PageFixture() { dialog.AddPage(page, "Files"); }

    template <class T> T* w(const char* name) const
    {
        T* found = page->findChild<T*>(name);
        if (!found)
            qFatal("no widget %s", name);
        return found;
    }
    QLineEdit* pathEdit(int tab) const { return w<QLineEdit>(kPathEdits[tab]); }
    QTextBrowser* preview(int tab) const { return w<QTextBrowser>(kPreviews[tab]); }
    QLineEdit* info(int tab) const { return w<QLineEdit>(kInfoLines[tab]); }
    QTabWidget* tabs() const { return w<QTabWidget>("TabSPSFileBrowser"); }
    QPushButton* head() const { return w<QPushButton>("BtnReload"); }
    QPushButton* next() const { return w<QPushButton>("BtnMoreContent"); }

    // "Browse..." on a tab, the file dialog answered with the path.
    void choose(int tab, const QString& path)
    {
        SetFileDialogHook([path](const VeFileDialogRequest&) { return path; });
        w<QPushButton>(kBrowseButtons[tab])->click();
        SetFileDialogHook(nullptr);
    }
    void pressHead(int tab)
    {
        tabs()->setCurrentIndex(tab);
        head()->click();
    }
    void pressNext(int tab)
    {
        tabs()->setCurrentIndex(tab);
        next()->click();
    }
};
} // namespace

class TestPageSPSFileNames : public QObject
{
    Q_OBJECT

    QTemporaryDir m_Dir;
    // A FIFO nobody writes: a page that opened it would block.
    QString m_FifoPath;

    QString file(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_Dir.filePath(name);
        if (!SPSTest::WriteFile(path, bytes))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_Dir.isValid());
        m_FifoPath = m_Dir.filePath("pipe");
        QCOMPARE(::mkfifo(QFile::encodeName(m_FifoPath).constData(), 0600), 0);
    }
    void init() { VeEventsLog::Instance()->Clear(); }
    void cleanup() { SetFileDialogHook(nullptr); }

    void freshPage()
    {
        VeTaskSPSFilesLoaderParam param;
        VeSheetTaskBaseDialog dialog(&param);
        auto* page = new VePageSPSFileNames(&dialog);
        QCOMPARE(page->objectName(), QString("VePageSPSFileNamesClass"));
        QCOMPARE(page->windowTitle(), QString("VePageSPSFileNames"));
        QCOMPARE(page->size(), QSize(417, 392));

        auto* tabs = page->findChild<QTabWidget*>("TabSPSFileBrowser");
        QVERIFY(tabs);
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->currentIndex(), 0);
        const char* const tabNames[] = {"TabSource", "TabReceiver", "TabRelation"};
        const char* const tabTexts[] = {"Source File", "Receiver File", "Relation File"};
        const char* const labels[] = {"mRelationLabel_4", "mRelationLabel", "mRelationLabel_6"};
        for (int t = 0; t < 3; ++t) {
            QWidget* tab = tabs->widget(t);
            QCOMPARE(tab->objectName(), QString(tabNames[t]));
            QCOMPARE(tabs->tabText(t), QString(tabTexts[t]));
            QCOMPARE(tab->findChild<QLabel*>(labels[t])->text(), QString("Input SPS file "));
            QCOMPARE(tab->findChild<QPushButton*>(kBrowseButtons[t])->text(), QString("Browse..."));
            for (const char* name : {kPathEdits[t], kInfoLines[t]}) {
                auto* edit = tab->findChild<QLineEdit*>(name);
                QVERIFY2(edit && edit->text().isEmpty() && !edit->isReadOnly(), name);
            }
            auto* preview = tab->findChild<QTextBrowser*>(kPreviews[t]);
            QVERIFY2(preview && preview->document()->isEmpty() && !preview->isReadOnly(),
                     kPreviews[t]);
        }
        for (auto [name, text] : {std::pair{"BtnReload", "Head"}, {"BtnMoreContent", "Next"}}) {
            auto* button = page->findChild<QPushButton*>(name);
            QCOMPARE(button->text(), QString(text));
            QVERIFY(!button->isEnabled());
        }

        // The page never fills itself from a record.
        param.SourceFileName = "/somewhere/s.sps";
        page->SetPageParameter(param);
        QVERIFY(page->findChild<QLineEdit*>("TxtSourceName")->text().isEmpty());
    }

    void previewSettings()
    {
        PageFixture f;
        QTextBrowser* s = f.preview(0);
        QCOMPARE(s->frameShape(), QFrame::StyledPanel);
        QCOMPARE(s->lineWidth(), 180);
        QCOMPARE(s->midLineWidth(), 180);
        QCOMPARE(s->lineWrapMode(), QTextEdit::FixedColumnWidth);
        QCOMPARE(s->lineWrapColumnOrWidth(), 1800);
        QCOMPARE(s->tabStopDistance(), 180.0);
        QVERIFY(!s->acceptRichText());

        const int maxHeights[] = {0, 120000, 770};
        for (int t = 1; t < 3; ++t) {
            QTextBrowser* p = f.preview(t);
            QCOMPARE(p->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
            QCOMPARE(p->sizePolicy().verticalPolicy(), QSizePolicy::Expanding);
            QCOMPARE(p->minimumHeight(), 77);
            QCOMPARE(p->maximumHeight(), maxHeights[t]);
            QCOMPARE(p->lineWrapMode(), QTextEdit::NoWrap);
            QVERIFY(p->acceptRichText());
        }
    }

    void slotTable()
    {
        PageFixture f;
        const QMetaObject* mo = f.page->metaObject();
        QCOMPARE(QString(mo->className()), QString("VePageSPSFileNames"));
        QCOMPARE(f.page->qt_metacast("VePageSPSFileNames"), static_cast<void*>(f.page));
        QCOMPARE(mo->propertyCount(), mo->propertyOffset());
        const QStringList expected{"slotOpenSourceFiles()",    "slotOpenReceiverFiles()",
                                   "slotOpenRelationFiles()",  "slotUpdateSourceInfo()",
                                   "slotUpdateReceiverInfo()", "slotUpdateRelationInfo()",
                                   "slotReadMoreToTextBox()",  "slotReloadSPSFile()"};
        QCOMPARE(mo->methodCount() - mo->methodOffset(), int(expected.size()));
        for (int i = 0; i < expected.size(); ++i) {
            const QMetaMethod m = mo->method(mo->methodOffset() + i);
            QCOMPARE(QString(m.methodSignature()), expected[i]);
            QCOMPARE(m.methodType(), QMetaMethod::Slot);
            QCOMPARE(m.access(), QMetaMethod::Protected);
            QCOMPARE(m.parameterCount(), 0);
            QCOMPARE(m.returnMetaType(), QMetaType::fromType<void>());
        }
    }

    void chooseFile_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("filter");
        QTest::newRow("source") << 0 << "SPS source file(*.s *.sps);;any file(*.* *)";
        QTest::newRow("receiver") << 1 << "SPS source file(*.r *.rps);;any file(*.* *)";
        QTest::newRow("relation") << 2 << "SPS source file(*.x *.xps);;any file(*.* *)";
    }

    void chooseFile()
    {
        QFETCH(int, tab);
        QFETCH(QString, filter);

        const QString path = file(QString("choose%1.sps").arg(tab), numberedLines(1, 5));
        PageFixture f;
        QList<VeFileDialogRequest> asked;
        SetFileDialogHook([&](const VeFileDialogRequest& r) {
            asked << r;
            return path;
        });
        f.w<QPushButton>(kBrowseButtons[tab])->click();

        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].caption, QString("Open SPS source file"));
        QCOMPARE(asked[0].filter, filter);
        QCOMPARE(asked[0].parent, static_cast<QWidget*>(f.page));
        QVERIFY(!asked[0].save);
        QCOMPARE(f.pathEdit(tab)->text(), path);
        QCOMPARE(shownLines(f.preview(tab)).size(), 5);
        QCOMPARE(shownLines(f.preview(tab)).constFirst(), lineNo(1));
        QCOMPARE(f.info(tab)->text(), infoText(1, 1, 0, 0));
        QVERIFY(f.head()->isEnabled());
        QVERIFY(!f.next()->isEnabled());
        QCOMPARE(f.tabs()->currentIndex(), 0);
        for (int other = 0; other < 3; ++other) {
            if (other == tab)
                continue;
            QVERIFY(f.pathEdit(other)->text().isEmpty());
            QVERIFY(f.preview(other)->document()->isEmpty());
        }
    }

    void chooseMissingOrCancelled()
    {
        const QString first = file("first.r", numberedLines(1, 3));
        const QString missing = m_Dir.filePath("missing.r");
        PageFixture f;
        f.choose(1, first);
        const QStringList before = shownLines(f.preview(1));

        f.choose(1, QString()); // cancelled
        QCOMPARE(f.pathEdit(1)->text(), first);
        QCOMPARE(shownLines(f.preview(1)), before);
        QCOMPARE(f.info(1)->text(), infoText(1, 1, 0, 0));

        f.choose(1, missing);
        QCOMPARE(f.pathEdit(1)->text(), missing);
        QCOMPARE(shownLines(f.preview(1)), before);
        // The line starts are gone with the missing choice: the cursor finds no row.
        putCursor(f.preview(1), 81);
        QCOMPARE(f.info(1)->text(), infoText(0, 0, 81, 82));

        // "Head" still reads the file chosen before.
        SPSTest::WriteFile(first, numberedLines(7, 8));
        f.pressHead(1);
        QCOMPARE(shownLines(f.preview(1)), (QStringList{lineNo(7), lineNo(8)}));
        QCOMPARE(f.pathEdit(1)->text(), missing);
    }

    void chunkBoundaries_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("shown");
        QTest::addColumn<bool>("more");
        QTest::newRow("empty") << 0 << 0 << false;
        QTest::newRow("one") << 1 << 1 << false;
        QTest::newRow("300") << 300 << 300 << false;
        QTest::newRow("301") << 301 << 300 << true;
    }

    void chunkBoundaries()
    {
        QFETCH(int, lines);
        QFETCH(int, shown);
        QFETCH(bool, more);

        const QString path = file(QString("n%1.s").arg(lines), numberedLines(1, lines));
        PageFixture f;
        f.choose(0, path);
        const QStringList text = shownLines(f.preview(0));
        QCOMPARE(text.size(), shown);
        if (shown > 0)
            QCOMPARE(text.constLast(), lineNo(shown));
        QCOMPARE(f.next()->isEnabled(), more);
        QCOMPARE(f.info(0)->text(), infoText(1, 1, 0, 0));

        if (more) {
            f.pressNext(0);
            QCOMPARE(shownLines(f.preview(0)), QStringList{lineNo(301)});
            QVERIFY(!f.next()->isEnabled());
            QCOMPARE(f.info(0)->text(), infoText(1, 1, 0, 0));
        }
    }

    void pagingThroughLongFile()
    {
        const QString path = file("long.r", numberedLines(1, 1000));
        PageFixture f;
        f.choose(1, path);
        f.pressHead(1);
        f.pressNext(1);
        f.pressNext(1);
        QStringList text = shownLines(f.preview(1));
        QCOMPARE(text.size(), 300);
        QCOMPARE(text.constFirst(), lineNo(601));
        QCOMPARE(text.constLast(), lineNo(900));
        QCOMPARE(f.info(1)->text(), infoText(1, 1, 0, 0));
        putCursor(f.preview(1), 81 * 2 + 3);
        QCOMPARE(f.info(1)->text(), infoText(3, 4, 165, 163));
        QVERIFY(f.next()->isEnabled());

        f.pressHead(1);
        text = shownLines(f.preview(1));
        QCOMPARE(text.constFirst(), lineNo(1));
        QCOMPARE(text.constLast(), lineNo(300));

        for (int i = 0; i < 3; ++i)
            f.pressNext(1);
        text = shownLines(f.preview(1));
        QCOMPARE(text.size(), 100);
        QCOMPARE(text.constFirst(), lineNo(901));
        QCOMPARE(text.constLast(), lineNo(1000));
        QVERIFY(!f.next()->isEnabled());
        // The buttons are shared: switching tabs leaves them as they are.
        f.tabs()->setCurrentIndex(2);
        QVERIFY(!f.next()->isEnabled());
        QVERIFY(f.head()->isEnabled());
    }

    void informationLine_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("expected");
        // Three lines of 80 characters: each takes 81 positions with its break.
        QTest::newRow("start") << 0 << 0 << infoText(1, 1, 0, 0);
        QTest::newRow("inside first") << 1 << 5 << infoText(1, 6, 5, 5);
        QTest::newRow("end of first") << 2 << 80 << infoText(1, 81, 80, 80);
        QTest::newRow("start of second") << 0 << 81 << infoText(2, 1, 81, 80);
        QTest::newRow("start of third") << 1 << 162 << infoText(3, 1, 162, 160);
        QTest::newRow("inside third") << 2 << 170 << infoText(3, 9, 170, 168);
        QTest::newRow("after last break") << 0 << 243 << infoText(4, 1, 243, 240);
    }

    void informationLine()
    {
        QFETCH(int, tab);
        QFETCH(int, position);
        QFETCH(QString, expected);

        const QString path = file("three.x", numberedLines(1, 3));
        PageFixture f;
        for (int t = 0; t < 3; ++t)
            f.choose(t, path);
        putCursor(f.preview(tab), position);
        QCOMPARE(f.info(tab)->text(), expected);
        // Each preview writes only its own tab's line.
        for (int other = 0; other < 3; ++other)
            if (other != tab)
                QCOMPARE(f.info(other)->text(), infoText(1, 1, 0, 0));
    }

    void informationLineAfterTyping()
    {
        PageFixture f;
        f.choose(0, file("typed.s", numberedLines(1, 2)));
        putCursor(f.preview(0), 162);
        QTest::keyClicks(f.preview(0), "abc");
        // The typed text lies beyond the end marker: no row to count from.
        QCOMPARE(f.info(0)->text(), infoText(0, 0, 165, 166));
    }

    void boundedLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");

        const int bound = int(VePageSPSFileNames::kMaxPreviewLineLength);
        QCOMPARE(bound, 4096);
        const QString a(bound, u'a');
        QTest::newRow("at the bound") << QByteArray(bound, 'a') << QStringList{a};
        QTest::newRow("one over") << QByteArray(bound + 1, 'a') + "\nb" << QStringList{a, "b"};
        QTest::newRow("far over, then lines")
            << QByteArray(300000, 'a') + "\nshort\n" + QByteArray(bound * 2, 'c')
            << QStringList{a, "short", QString(bound, u'c')};
        const QByteArray e = QString(u'é').toUtf8();
        QTest::newRow("two-byte characters across chunks")
            << e.repeated(40000) + "\n" + e.repeated(3) + "\n"
            << QStringList{QString(bound, u'é'), QString(3, u'é')};
        QTest::newRow("pair not split at the bound")
            << QByteArray(bound - 1, 'a') + QString::fromUtf16(u"\U0001F600z").toUtf8()
            << QStringList{QString(bound - 1, u'a')};
        QTest::newRow("pair inside the bound")
            << QByteArray(bound - 2, 'a') + QString::fromUtf16(u"\U0001F600z").toUtf8()
            << QStringList{QString(bound - 2, u'a') + QString::fromUtf16(u"\U0001F600")};
        // The same lines as the load reads, wherever the reading's blocks end:
        // a broken sequence does not swallow the line feed after it.
        QTest::newRow("broken lead byte ending a 64 KiB block")
            << QByteArray(65535, 'a') + "\xC3\nb\nc" << QStringList{a, "b", "c"};
        QTest::newRow("CRLF") << QByteArray("ab\r\ncd\r\n") << QStringList{"ab", "cd"};
        // Gzipped files show the text they hold, read as the plain file would be.
        QTest::newRow("gzipped, CRLF and a carriage return inside")
            << SPSTest::Gzip("ab\r\nc\rd\r\n" + QByteArray(70000, 'e') + "\nf", 2)
            << QStringList{"ab", "cd", QString(bound, u'e'), "f"};
        QTest::newRow("no final break") << QByteArray("x\ny") << QStringList{"x", "y"};
        QTest::newRow("blank lines") << QByteArray("\n\n") << QStringList{"", ""};
        QTest::newRow("UTF-8 BOM") << QByteArray("\xEF\xBB\xBF"
                                                 "ab\n")
                                   << QStringList{"ab"};
        QTest::newRow("UTF-16 BOM") << QByteArray("\xFF\xFE"
                                                  "a\0b\0\n\0c\0",
                                                  10)
                                    << QStringList{"ab", "c"};
        const QChar binary[] = {QChar(0), QChar::ReplacementCharacter, QChar(1)};
        QTest::newRow("binary") << QByteArray("\x00\xFF\x01\n\xC3(", 6)
                                << QStringList{QString(binary, 3), QString::fromUtf16(u"\uFFFD(")};
    }

    void boundedLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);

        PageFixture f;
        f.choose(2, file("bounded.x", bytes));
        QCOMPARE(shownLines(f.preview(2)), lines);
        // The line starts follow what is shown, not what the file holds.
        int start = 0;
        for (int i = 0; i < lines.size(); ++i) {
            putCursor(f.preview(2), start);
            QCOMPARE(f.info(2)->text(), infoText(i + 1, 1, start, start - i));
            start += int(lines[i].size()) + 1;
        }
    }

    void typedPathIsGathered()
    {
        const QString s = file("chosen.s", numberedLines(1, 2));
        const QString typed = file("typed file.s ", numberedLines(5, 5));
        const QString r = file("chosen.r", QByteArray());
        const QString x = file("chosen.x", QByteArray());
        PageFixture f;
        f.choose(0, s);
        f.choose(1, r);
        f.choose(2, x);
        const QStringList shown = shownLines(f.preview(0));

        f.pathEdit(0)->clear();
        QTest::keyClicks(f.pathEdit(0), typed);
        QCOMPARE(shownLines(f.preview(0)), shown);

        QVERIFY(f.page->GetPageParameter(&f.param));
        QCOMPARE(f.param.SourceFileName, typed);
        QVERIFY(f.param.SourceFileName.endsWith(u' '));
        QCOMPARE(f.param.ReceiverFileName, r);
        QCOMPARE(f.param.RelationFileName, x);
        QVERIFY(VeEventsLog::Instance()->Entries().isEmpty());

        f.pressHead(0);
        QCOMPARE(shownLines(f.preview(0)), shown);
    }

    void check_data()
    {
        QTest::addColumn<QStringList>("kinds");
        QTest::addColumn<int>("failingTab");
        QTest::addColumn<QString>("message");

        QTest::newRow("all readable") << QStringList{"ok", "ok", "ok"} << -1 << "";
        QTest::newRow("all empty")
            << QStringList{"empty", "empty", "empty"} << 0 << "SPS Source File Error!";
        QTest::newRow("source missing")
            << QStringList{"missing", "ok", "ok"} << 0 << "SPS Source File Error!";
        QTest::newRow("receiver a folder")
            << QStringList{"ok", "folder", "empty"} << 1 << "SPS Receiver File Error!";
        QTest::newRow("relation empty")
            << QStringList{"ok", "ok", "empty"} << 2 << "SPS Relation File Error!";
        QTest::newRow("relation blank")
            << QStringList{"ok", "ok", "blank"} << 2 << "SPS Relation File Error!";
        // Refused before it is opened: opening it would block the window.
        QTest::newRow("source a FIFO")
            << QStringList{"fifo", "ok", "ok"} << 0 << "SPS Source File Error!";
        QTest::newRow("relation a FIFO")
            << QStringList{"ok", "ok", "fifo"} << 2 << "SPS Relation File Error!";
    }

    void check()
    {
        QFETCH(QStringList, kinds);
        QFETCH(int, failingTab);
        QFETCH(QString, message);

        const QString ok = file("ok.sps", numberedLines(1, 1));
        PageFixture f;
        for (int t = 0; t < 3; ++t) {
            const QString& kind = kinds[t];
            f.pathEdit(t)->setText(kind == "ok"        ? ok
                                   : kind == "missing" ? m_Dir.filePath("nothing.sps")
                                   : kind == "folder"  ? m_Dir.path()
                                   : kind == "blank"   ? QString("   ")
                                   : kind == "fifo"    ? m_FifoPath
                                                       : QString());
        }
        f.dialog.show();
        f.dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.dialog));
        // Start from another tab and another focus, so that the check's own choice shows.
        const int startTab = failingTab == 1 ? 2 : 1;
        f.tabs()->setCurrentIndex(startTab);
        f.preview(startTab)->setFocus();
        QSignalSpy accepted(&f.dialog, &QDialog::accepted);

        f.dialog.accept();

        const QList<VeEventsLogEntry> log = VeEventsLog::Instance()->Entries();
        if (failingTab < 0) {
            QCOMPARE(accepted.count(), 1);
            QVERIFY(log.isEmpty());
            QCOMPARE(f.param.SourceFileName, ok);
            QCOMPARE(f.param.RelationFileName, ok);
            return;
        }
        QCOMPARE(accepted.count(), 0);
        QCOMPARE(log.size(), 1);
        QCOMPARE(int(log[0].type), 2);
        QCOMPARE(log[0].text, message);
        QCOMPARE(f.tabs()->currentIndex(), failingTab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.pathEdit(failingTab)));
        // A failed check leaves the record as it was.
        QVERIFY(f.param.SourceFileName.isEmpty());
        QVERIFY(f.param.ReceiverFileName.isEmpty());
        QVERIFY(f.param.RelationFileName.isEmpty());
    }

    void otherParameterType()
    {
        PageFixture f;
        f.tabs()->setCurrentIndex(1);
        VeTaskParameter other;
        QVERIFY(!f.page->GetPageParameter(&other));
        // The check did not run: it would have logged the empty source path.
        QVERIFY(VeEventsLog::Instance()->Entries().isEmpty());
        QCOMPARE(f.tabs()->currentIndex(), 1);
        QVERIFY(!f.page->GetPageParameter(nullptr));
    }

    void warningBoxes_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("previewKept");
        QTest::newRow("browse a folder") << "browse folder" << 1 << "Can't open %1!" << false;
        QTest::newRow("head, nothing chosen") << "head" << 2 << "Can't open !" << false;
        QTest::newRow("next, nothing chosen") << "next" << 2 << "Can't open  file!" << true;
        QTest::newRow("next, file removed") << "next" << 1 << "Can't open  file!" << true;
        QTest::newRow("browse gzip data cut short")
            << "browse cut gzip" << 0 << "Can't read %1 to its end!" << false;
        // Neither is ever opened: a FIFO would block in open(), /dev/zero never ends.
        const QString notFile = "Can't open %1: it is not a regular file!";
        QTest::newRow("browse a FIFO") << "browse fifo" << 1 << notFile << false;
        QTest::newRow("browse a device") << "browse device" << 0 << notFile << false;
        QTest::newRow("next, file replaced by a FIFO") << "next fifo" << 1 << notFile << true;
    }

    void warningBoxes()
    {
        QFETCH(QString, action);
        QFETCH(int, tab);
        QFETCH(QString, text);
        QFETCH(bool, previewKept);

        const QString receiver = file("gone.r", numberedLines(1, 400));
        const QString folder = m_Dir.path();
        PageFixture f;
        // The receiver tab shows a long file; the relation tab has nothing chosen.
        f.choose(1, receiver);
        f.preview(2)->setPlainText("typed");
        const QStringList before = shownLines(f.preview(tab));
        QVERIFY(f.head()->isEnabled() && f.next()->isEnabled());
        if (action.startsWith("next") && tab == 1)
            QVERIFY(QFile::remove(receiver));
        if (action == "next fifo")
            QVERIFY(QFile::link(m_FifoPath, receiver));

        SPSTest::MessageBoxAnswerer answerer;
        if (action.startsWith("browse")) {
            // Cut within the first member's header: no line is shown.
            const QString path = action == "browse folder" ? folder
                                 : action == "browse fifo" ? m_FifoPath
                                 : action == "browse cut gzip"
                                     ? file("cut.s.gz", SPSTest::Gzip("a\n").left(10))
                                     : QString("/dev/zero");
            f.choose(tab, path);
            text = text.arg(path);
        } else if (action == "next fifo") {
            f.pressNext(tab);
            text = text.arg(receiver);
        } else if (action == "head") {
            f.pressHead(tab);
        } else {
            f.pressNext(tab);
        }

        QCOMPARE(answerer.boxes.size(), 1);
        const SPSTest::MessageBoxAnswerer::Box& box = answerer.boxes.constFirst();
        QCOMPARE(box.title, QString("Orka/SPS"));
        QCOMPARE(box.text, text);
        QCOMPARE(box.buttonTexts, QStringList{"&Ok"});
        QCOMPARE(box.icon, QMessageBox::Warning);
        QCOMPARE(box.parent, static_cast<QWidget*>(f.page));
        QCOMPARE(shownLines(f.preview(tab)), previewKept ? before : QStringList());
    }
};

QTEST_MAIN(TestPageSPSFileNames)
#include "tst_pagefilenames.moc"
