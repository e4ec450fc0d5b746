// spsload on hostile input, as a user runs it: every case ends with a defined
// exit status and clear lines on standard error, never with a crash.
#include "SPSTestFolder.h"
#include "SPSTestLoad.h"
#include "SPSTestProgram.h"

#include <QRandomGenerator>
#include <QStringEncoder>
#include <QtTest>

using namespace SPSTest;

namespace {
QByteArray RandomWithoutRecords(qsizetype size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& c : bytes) {
        c = char(random.bounded(256));
        if (c == 'S' || c == 'R')
            c = 'x';
    }
    return bytes;
}

// What spsload says last of a load of s.sps and r.sps that went well.
const QByteArray kAdded = "info: 40 shots and 30 receivers were added to [SPS SR Geometry].\n";
} // namespace

class TestHostileSPSLoad : public QObject
{
    Q_OBJECT

    TestFolder m_Dir;

    // A crash or a hang gives status -1.
    ProgramRun Start(const QStringList& arguments)
    {
        ProgramRun run = RunProgram(QStringLiteral(SPSLOAD_PATH), m_Dir.Expand(arguments));
        run.err = m_Dir.Hide(run.err);
        return run;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_Dir.IsValid());
        const QByteArray s = Survey('S', 40);
        const QByteArray r = Survey('R', 30, 5);
        QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
        const QByteArray head = "Tarvel SPS File Load Parameter \r\nversion = 1 \r\n";
        QVERIFY(m_Dir.Put("s.sps", s) && m_Dir.Put("r.sps", r));
        QVERIFY(m_Dir.Put("s16.sps", utf16.encode(QString::fromUtf8(s))));
        utf16.resetState();
        QVERIFY(m_Dir.Put("r16.sps", utf16.encode(QString::fromUtf8(r))));
        QVERIFY(m_Dir.Put("random.bin", RandomWithoutRecords(1 << 16, 11)));
        QVERIFY(m_Dir.Put("nul.bin", QByteArray(1 << 16, '\0')));
        QVERIFY(m_Dir.Put("p-garbage.txt", RandomWithoutRecords(4096, 12)));
        QVERIFY(m_Dir.Put("p-huge-line.txt", QByteArray("version = 1 ").repeated(500000)));
        QVERIFY(m_Dir.Put("p-empty.txt", QByteArray()));
        QVERIFY(m_Dir.Put("p-past-32-bits.txt", head + "SrcIDPos = 4294967297 \r\n"));
        QVERIFY(
            m_Dir.Put("p-past-64-bits.txt", head + "RecvCoordYLen = 123456789012345678901 \r\n"));
        QVERIFY(m_Dir.Put("p-negative-position.txt", head + "RecvIDPos = -3 \r\n"));
        QVERIFY(m_Dir.Put("p-negative-count.txt", head + "AutoSkipS = 0 \r\nSkipPosS = -2 \r\n"));
    }

    void run_data()
    {
        QTest::addColumn<QStringList>("arguments"); // <dir>: the test's folder
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");

        // Nothing loaded is a failed load.
        QTest::newRow("random bytes as both files")
            << QStringList{"<dir>/random.bin", "<dir>/random.bin"} << 1 << QByteArray()
            << QByteArray("warning: No source points found in [<dir>/random.bin]\n"
                          "warning: No receiver points found in [<dir>/random.bin]\n"
                          "info: 0 shots and 0 receivers were added to [SPS SR Geometry].\n"
                          "error: the load added no shot and no receiver\n");
        QTest::newRow("NUL bytes as both files")
            << QStringList{"<dir>/nul.bin", "<dir>/nul.bin"} << 1 << QByteArray()
            << QByteArray("warning: No source points found in [<dir>/nul.bin]\n"
                          "warning: No receiver points found in [<dir>/nul.bin]\n"
                          "info: 0 shots and 0 receivers were added to [SPS SR Geometry].\n"
                          "error: the load added no shot and no receiver\n");
        QTest::newRow("folder as source")
            << QStringList{"<dir>", "<dir>/r.sps"} << 1 << QByteArray()
            << QByteArray("error: Cannot open file [<dir>] for reading!\n");
        QTest::newRow("folder as receiver")
            << QStringList{"<dir>/s.sps", "<dir>"} << 1 << QByteArray()
            << QByteArray("error: Cannot open file [<dir>] for reading!\n");
        // A folder is an input that cannot be read, whichever input it is.
        QTest::newRow("folder as parameter file")
            << QStringList{"--params", "<dir>", "<dir>/s.sps", "<dir>/r.sps"} << 1 << QByteArray()
            << QByteArray("error: Cannot open file [<dir>] for reading!\n");
        QTest::newRow("folder as relation file")
            << QStringList{"<dir>/s.sps", "<dir>/r.sps", "<dir>"} << 1 << QByteArray()
            << QByteArray("error: Cannot open file [<dir>] for reading!\n");
        QTest::newRow("source that does not exist")
            << QStringList{"<dir>/none.sps", "<dir>/r.sps"} << 1 << QByteArray()
            << QByteArray("error: Cannot open file [<dir>/none.sps] for reading!\n");
        QTest::newRow("binary relation file is only checked")
            << QStringList{"--quiet", "<dir>/s.sps", "<dir>/r.sps", "<dir>/random.bin"} << 0
            << QByteArray() << kAdded;
    }

    void run()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        const ProgramRun run = Start(arguments);
        QCOMPARE(run.status, status);
        QCOMPARE(run.err, err);
        QCOMPARE(run.out, out);
    }

    // Refused before any load: status 2 and one error line that names the
    // file or the key concerned.
    void refused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("named");

        const QStringList files{"<dir>/s.sps", "<dir>/r.sps"};
        QTest::newRow("parameter file of random bytes")
            << QStringList{"--params", "<dir>/p-garbage.txt"} + files << "Invalid file version!";
        QTest::newRow("parameter file of one huge line")
            << QStringList{"--params", "<dir>/p-huge-line.txt"} + files << "Invalid file version!";
        QTest::newRow("empty parameter file")
            << QStringList{"--params", "<dir>/p-empty.txt"} + files << "Invalid file version!";
        QTest::newRow("position past 32 bits")
            << QStringList{"--params", "<dir>/p-past-32-bits.txt"} + files << "SrcIDPos";
        QTest::newRow("length past 64 bits")
            << QStringList{"--params", "<dir>/p-past-64-bits.txt"} + files << "RecvCoordYLen";
        QTest::newRow("negative position")
            << QStringList{"--params", "<dir>/p-negative-position.txt"} + files << "RecvIDPos";
        QTest::newRow("negative count of header rows")
            << QStringList{"--params", "<dir>/p-negative-count.txt"} + files << "SkipPosS";
    }

    void refused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, named);
        const ProgramRun run = Start(arguments);
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.startsWith("error: ") && run.err.count('\n') == 1 &&
                     run.err.endsWith('\n') && run.err.contains(named.toUtf8()),
                 run.err.constData());
        QCOMPARE(run.out, QByteArray());
    }

    // The UTF-16 twin of a survey gives the very same CSV.
    void utf16TwinGivesSameCsv()
    {
        const ProgramRun plain = Start({"--csv", "-", "<dir>/s.sps", "<dir>/r.sps"});
        QCOMPARE(plain.status, 0);
        QCOMPARE(plain.out.count('\n'), 1 + 40 + 30);
        const ProgramRun twin = Start({"--csv", "-", "<dir>/s16.sps", "<dir>/r16.sps"});
        QCOMPARE(twin.status, 0);
        QCOMPARE(twin.err, kAdded);
        QCOMPARE(twin.out, plain.out);
    }

    // A CSV that cannot be written fails the command and leaves no file behind.
    void csvIntoFolder()
    {
        const ProgramRun run = Start({"--csv", "<dir>", "<dir>/s.sps", "<dir>/r.sps"});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.startsWith(kAdded + "error: cannot write [<dir>]"), run.err.constData());
        QCOMPARE(run.out, QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestHostileSPSLoad)
#include "tst_hostilespsload.moc"
