// A 4 GiB file without a single line break, as `truncate -s 4G` makes it, loaded
// as source and as receiver file in both skip modes, and a parameter file with
// one line of 1 GiB: the load ends normally and the process's peak resident
// memory grows by less than 64 MiB, whatever the file's size.
#include "ProcessMemory.h"
#include "SPSFormatValues.h"
#include "SPSParamFile.h"
#include "SPSTestLoad.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>

using namespace SPSTest;

namespace {
constexpr qint64 kMiB = 1024 * 1024;
constexpr qint64 kGiB = 1024 * kMiB;

// A file of `size` bytes that are all NUL but the head; the rest is a hole
// that takes no disk space.
bool Sparse(const QString& path, const QByteArray& head, qint64 size)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(head) == head.size() && file.resize(size);
}
} // namespace

class TestBigFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_Dir;
    QString m_Big;
    QString m_Source;
    QString m_Receiver;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_Dir.isValid());
        m_Big = m_Dir.filePath(QStringLiteral("4G.sps"));
        QVERIFY(Sparse(m_Big, QByteArray(), 4 * kGiB));
        m_Source = m_Dir.filePath(QStringLiteral("small.s"));
        m_Receiver = m_Dir.filePath(QStringLiteral("small.r"));
        QVERIFY(WriteFile(m_Source, Survey('S', 30)));
        QVERIFY(WriteFile(m_Receiver, Survey('R', 20)));
        // A load that holds the whole row would need gigabytes: let it fail
        // here rather than take the memory of everything else on the machine.
        const qint64 data = ProcessMemory::StatusKiB("VmData:");
        QVERIFY(data > 0);
        const rlim_t limit = rlim_t(data * 1024 + 3 * kGiB);
        const rlimit cap{limit, limit};
        QCOMPARE(::setrlimit(RLIMIT_DATA, &cap), 0);
        // Lazy set-up of the first load is no part of what is measured.
        VeTaskSPSFilesLoaderParam param;
        param.SourceFileName = m_Source;
        param.ReceiverFileName = m_Receiver;
        QCOMPARE(RunLoad(&param).created->ShotCount(), 30);
        if (!ProcessMemory::ResetPeak())
            QSKIP("the peak of resident memory cannot be reset here");
    }

    void rowWithoutLineBreak_data()
    {
        QTest::addColumn<bool>("asSource");
        QTest::addColumn<bool>("autoSkip");
        QTest::addColumn<int>("shots");
        QTest::addColumn<int>("receivers");
        QTest::addColumn<QString>("warning");

        // Automatic: the row does not begin with the letter, so no point. Fixed
        // count: the row is one record whose fields hold NUL characters, one
        // point numbered 0.
        QTest::newRow("source, automatic")
            << true << true << 0 << 20 << "No source points found in [%1]";
        QTest::newRow("source, fixed count") << true << false << 1 << 20 << "";
        QTest::newRow("receiver, automatic")
            << false << true << 30 << 0 << "No receiver points found in [%1]";
        QTest::newRow("receiver, fixed count") << false << false << 30 << 1 << "";
    }

    void rowWithoutLineBreak()
    {
        QFETCH(bool, asSource);
        QFETCH(bool, autoSkip);
        QFETCH(int, shots);
        QFETCH(int, receivers);
        QFETCH(QString, warning);

        VeTaskSPSFilesLoaderParam param;
        param.SourceFileName = asSource ? m_Big : m_Source;
        param.ReceiverFileName = asSource ? m_Receiver : m_Big;
        param.AutoSkipS = param.AutoSkipR = autoSkip;
        // The big file has no header; the small one three rows of it.
        param.SkipPosS = asSource ? 0 : 3;
        param.SkipPosR = asSource ? 3 : 0;

        QVERIFY(ProcessMemory::ResetPeak());
        const qint64 before = ProcessMemory::StatusKiB("VmRSS:");
        const LoadOutcome out = RunLoad(&param);
        const qint64 growthKiB = ProcessMemory::StatusKiB("VmHWM:") - before;
        qInfo("peak resident memory grew by %lld KiB", growthKiB);

        QVERIFY(out.created);
        QCOMPARE(out.created->ShotCount(), shots);
        QCOMPARE(out.created->ReceiverCount(), receivers);
        if (shots == 1)
            QCOMPARE(out.created->ShotAt(0).m_nNumber, 0);
        QCOMPARE(out.Messages(VeEventsLog::EventsLogWarning),
                 warning.isEmpty() ? QStringList() : QStringList{warning.arg(m_Big)});
        QVERIFY2(growthKiB < 64 * 1024, qPrintable(QString::number(growthKiB)));
    }

    // A parameter file whose one value line is 1 GiB long: read in pieces,
    // passed over, and the lines after it still count.
    void parameterFileWithHugeLine()
    {
        const QString path = m_Dir.filePath(QStringLiteral("huge.txt"));
        const QByteArray head =
            "Tarvel SPS File Load Parameter \r\nversion = 1 \r\nSrcIDLen = 5 \r\n";
        QVERIFY(Sparse(path, head, kGiB));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::Append));
            QVERIFY(file.write("\r\nSrcIDPos = 9 \r\n") > 0);
        }
        QVERIFY(ProcessMemory::ResetPeak());
        const qint64 before = ProcessMemory::StatusKiB("VmRSS:");
        SPSFormatValues values;
        QCOMPARE(SPSParamFile::Read(path, &values), SPSParamFile::Ok);
        const qint64 growthKiB = ProcessMemory::StatusKiB("VmHWM:") - before;
        qInfo("peak resident memory grew by %lld KiB", growthKiB);
        QCOMPARE(values.Value(QStringLiteral("SrcIDLen")), QString("5"));
        QCOMPARE(values.Value(QStringLiteral("SrcIDPos")), QString("9"));
        QVERIFY2(growthKiB < 64 * 1024, qPrintable(QString::number(growthKiB)));
    }
};

QTEST_GUILESS_MAIN(TestBigFile)
#include "tst_bigfile.moc"
