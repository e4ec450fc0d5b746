// A row without a line break as large as the file: with a row limit, reading
// it holds no more than the limit and the reader's buffers.
#include "ProcessMemory.h"
#include "SPSNumberedTable.h"
#include "SPSPointTable.h"
#include "SPSRowReader.h"
#include "VeTaskSPSFilesLoaderParam.h"
#include "VeThreadSPSFilesLoader.h"

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

    // A layout whose fields run as far as a record can say (lengths of
    // 2^31 - 1) keeps whole rows: a long row then costs the row itself and its
    // key (line name and point text), not copies of it in UTF-16 for every field.
    void fieldsToTheEndOfLongRows_data()
    {
        QTest::addColumn<bool>("general");
        QTest::newRow("fast path") << false;
    }

    void fieldsToTheEndOfLongRows()
    {
        QFETCH(bool, general);
        constexpr qint64 kRowBytes = 96 * kMiB;
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("long-row.s");
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QByteArray row = "S" + QByteArray(kRowBytes - 1, 'x');
            row[20] = ' '; // a field boundary that trimming sees
            QCOMPARE(file.write(row + "\r\n"), kRowBytes + 2);
        }
        VeTaskSPSFilesLoaderParam param;
        param.SourceFileName = path;
        for (qint32* len : {&param.SrcLineLen, &param.SrcIDLen, &param.SrcWellLen,
                            &param.SrcCoordXLen, &param.SrcCoordYLen, &param.SrcElevLen})
            *len = std::numeric_limits<qint32>::max();
        VeThreadSPSFilesLoader loader;
        SPSReadOptions options;
        options.generalPath = general;
        loader.SetReadOptions(options);
        loader.m_pParam = &param;

        if (!ProcessMemory::ResetPeak())
            QSKIP("the peak of resident memory cannot be reset here");
        const qint64 before = ProcessMemory::StatusKiB("VmRSS:");
        SPSPointTable points;
        QVERIFY(loader.ReadSourceFile(points));
        SPSNumberedTable shots;
        loader.NumberSourcePoints(shots, points, {});
        const double bytesPerByte =
            double(ProcessMemory::StatusKiB("VmHWM:") - before) * 1024 / double(kRowBytes);
        QCOMPARE(shots.Count(), 1);
        QCOMPARE(points.Count(), 1);
        // Line name from column 1, point text from column 17, both to the end.
        QCOMPARE(points.KeyAt(0).size(), 2 * kRowBytes - 17);
        qInfo("peak resident memory grew by %.2f bytes per byte of the row", bytesPerByte);
        // The key alone holds the row twice (line name and point text).
        QVERIFY2(bytesPerByte < 4.0, qPrintable(QString::number(bytesPerByte)));
    }
};

QTEST_GUILESS_MAIN(TestReaderMemory)
#include "tst_readermemory.moc"
