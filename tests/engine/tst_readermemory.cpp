// A row without a line break as large as the file: with a row limit, reading
// it holds no more than the limit and the reader's buffers.
#include "ProcessMemory.h"
#include "SPSRowReader.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
constexpr qint64 kMiB = 1024 * 1024;

} // namespace

class TestReaderMemory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rowWithoutLineBreak_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("general");
        QTest::addColumn<bool>("autoSkip");
        QTest::addColumn<QString>("line");

        const QByteArray ascii = "SLINE_9          ";
        QTest::newRow("1 GiB, fast path, automatic")
            << ascii << 1024 * kMiB << false << true << "LINE_9";
        QTest::newRow("4 GiB, fast path, fixed count")
            << ascii << 4096 * kMiB << false << false << "LINE_9";
        QTest::newRow("non-ASCII, 1 GiB, fast path")
            << QByteArray("S\xc3\xa9t\xc3\xa9 \xe2\x82") << 1024 * kMiB << false << false
            << QString::fromUtf8("\xc3\xa9t\xc3\xa9 \xef\xbf\xbd\xef\xbf\xbd");
        QTest::newRow("256 MiB, general path") << ascii << 256 * kMiB << true << false << "LINE_9";
        QTest::newRow("UTF-16, 256 MiB") << QByteArray("\xFF\xFES\0L\0 \0"
                                                       "9\0",
                                                       10)
                                         << 256 * kMiB << false << true << "L 9";
    }

    void rowWithoutLineBreak()
    {
        QFETCH(QByteArray, head);
        QFETCH(qint64, size);
        QFETCH(bool, general);
        QFETCH(bool, autoSkip);
        QFETCH(QString, line);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile file(dir.filePath("one-row.sps"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(head), head.size());
        // The rest is a hole: NUL bytes that take no disk space.
        QVERIFY(file.resize(size));
        file.close();

        if (!ProcessMemory::ResetPeak())
            QSKIP("the peak of resident memory cannot be reset here");
        const qint64 before = ProcessMemory::StatusKiB("VmRSS:");
        QVERIFY(file.open(QIODevice::ReadOnly));
        SPSReadOptions options;
        options.generalPath = general;
        SPSRowReader reader(&file, u'S', autoSkip, 0, options);
        reader.SetRowLimit(SPSRowReader::RowLimitFor({{1, 16}, {17, 8}, {46, 9}, {65, 6}}));
        QVERIFY(reader.NextRecord());
        QCOMPARE(reader.FieldText(1, qint32(line.size())), line);
        QCOMPARE(reader.RealField(46, 9), 0.0);
        QCOMPARE(reader.Row().size(), 71);
        QVERIFY(!reader.NextRecord());
        const qint64 growthKiB = ProcessMemory::StatusKiB("VmHWM:") - before;
        qInfo("peak resident memory grew by %lld KiB", growthKiB);
        QVERIFY2(growthKiB < 64 * 1024, qPrintable(QString::number(growthKiB)));
    }
};

QTEST_GUILESS_MAIN(TestReaderMemory)
#include "tst_readermemory.moc"
