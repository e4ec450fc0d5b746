#include "FileSizeLimit.h"
#include "SPSTestFolder.h"
#include "SPSTestProgram.h"
#include "SPSTestRows.h"

#include <QtTest>

// The installed command as a user runs it: arguments, streams and exit status.
class TestSPSLoadProcess : public QObject
{
    Q_OBJECT

private:
    SPSTest::TestFolder m_Dir;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_Dir.Put("s.sps",
                          "H26\r\n" + SPSTest::Row('S', "7", "1", "", "500000", "6000000.5", "12") +
                              SPSTest::Row('S', "8", "1", "", "500100", "6000100", "13")));
        QVERIFY(m_Dir.Put(
            "r.sps", "H26\r\n" + SPSTest::Row('R', "9", "20", "", "500050.25", "6000050", "14")));
        // Each shot records the receiver: a fold of one bin.
        QVERIFY(m_Dir.Put("x.sps", "H26\r\n"
                                   "X    T1   111               7       1   1   11               9"
                                   "      20      201\r\n"));
    }

    void run_data()
    {
        QTest::addColumn<QStringList>("arguments"); // "<dir>" is the survey's folder
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");

        const QStringList files{"<dir>/s.sps", "<dir>/r.sps"};
        const QByteArray added = "info: 1 shots and 1 receivers were added to [SPS SR Geometry].\n";
        QTest::newRow("loaded") << files << 0
                                << QByteArray(
                                       "shots: 1 (numbers 1..1, x 500100..500100, y "
                                       "6000100..6000100)\n"
                                       "receivers: 1 (numbers 20..20, x 500050.25..500050.25, "
                                       "y 6000050..6000050)\n")
                                << QByteArray("warning: 1 source points share a point number with "
                                              "another point; 1 shots were added.\n") +
                                       added;
        QTest::newRow("csv") << QStringList{"--quiet", "--csv", "-"} + files << 0
                             << QByteArray("kind,number,x,y,elevation\n"
                                           "S,1,500100,6000100,13\n"
                                           "R,20,500050.25,6000050,14\n")
                             << QByteArray("warning: 1 source points share a point number with "
                                           "another point; 1 shots were added.\n") +
                                    added;
        QTest::newRow("load fails") << QStringList{"<dir>/s.sps", "<dir>/none"} << 1 << QByteArray()
                                    << QByteArray("warning: 1 source points share a point number "
                                                  "with another point; 1 shots were added.\n"
                                                  "error: Cannot open file [<dir>/none] for "
                                                  "reading!\n");
        QTest::newRow("map cannot be written")
            << QStringList{"--map", "<dir>/no folder/map.png"} + files << 1 << QByteArray()
            << QByteArray("warning: 1 source points share a point number with another point; 1 "
                          "shots were added.\n") +
                   added +
                   QByteArray("error: Cannot write the map to \"<dir>/no folder/map.png\": No such "
                              "file or directory\n");
        QTest::newRow("fold map drawn")
            << QStringList{"--quiet", "--fold", "<dir>/fold.png", "--bin", "50,50"} + files +
                   QStringList{"<dir>/x.sps"}
            << 0 << QByteArray()
            << QByteArray("warning: 1 source points share a point number with another point; 1 "
                          "shots were added.\n") +
                   added;
        QTest::newRow("relation cannot be opened")
            << files + QStringList{"<dir>"} << 1 << QByteArray()
            << QByteArray("error: Cannot open file [<dir>] for reading!\n");
        QTest::newRow("unknown option") << QStringList{"-q"} + files << 2 << QByteArray()
                                        << QByteArray("error: Unknown option 'q'.\n");
        QTest::newRow("version") << QStringList{"--version"} << 0
                                 << QByteArray("spsload " SPSLOAD_VERSION " (Qt ") + qVersion() +
                                        ")\n"
                                 << QByteArray();
    }

    void run()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        const SPSTest::ProgramRun run = SPSTest::RunProgram(SPSLOAD_PATH, m_Dir.Expand(arguments));
        QVERIFY(run.ended);
        QCOMPARE(run.err, m_Dir.Expand(err));
        QCOMPARE(run.out, out);
        QCOMPARE(run.status, status);
    }

    void failedOutputKeepsFormerFile_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("error");
        QTest::newRow("csv") << "--csv"
                             << "former.csv"
                             << QByteArray("error: cannot write [<out>]: File too large\n");
        QTest::newRow("map") << "--map"
                             << "former.png"
                             << QByteArray("error: Cannot write the map to \"<out>\": File too "
                                           "large\n");
        QTest::newRow("map, as JPEG") << "--map"
                                      << "former.jpg"
                                      << QByteArray("error: Cannot write the map to \"<out>\": "
                                                    "File too large\n");
        QTest::newRow("fold map") << "--fold"
                                  << "former.png"
                                  << QByteArray("error: Cannot write the fold map to \"<out>\": "
                                                "File too large\n");
        QTest::newRow("fold grid") << "--fold-grid"
                                   << "former.asc"
                                   << QByteArray("error: Cannot write the fold grid to \"<out>\": "
                                                 "File too large\n");
        QTest::newRow("report") << "--report"
                                << "former.csv"
                                << QByteArray("error: cannot write [<out>]: File too large\n");
    }

    void failedOutputKeepsFormerFile()
    {
        // An output smaller than any write buffer that cannot reach the disk.
        QFETCH(QString, option);
        QFETCH(QString, name);
        QFETCH(QByteArray, error);
        const QString out = m_Dir.FilePath(name);
        const QByteArray former = "former";
        QVERIFY(m_Dir.Put(name, former));
        QProcess process;
        // The signal as a shell leaves it: the program itself must keep it from ending it.
        process.setChildProcessModifier([] { std::signal(SIGXFSZ, SIG_DFL); });
        // The leak checker's own tracer does not survive the 16-byte limit at
        // exit (it is not what this test is about); other tests check leaks.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":detect_leaks=0");
        process.setProcessEnvironment(env);
        {
            const FileSizeLimit limit(16); // the child inherits it
            // One receiver tells no spacing: the fold is given its bins.
            const QStringList bins =
                option.startsWith("--fold") ? QStringList{"--bin", "50,50"} : QStringList();
            process.start(SPSLOAD_PATH,
                          QStringList{"--quiet", option, out} + bins +
                              QStringList{m_Dir.FilePath("s.sps"), m_Dir.FilePath("r.sps"),
                                          m_Dir.FilePath("x.sps")});
            QVERIFY(process.waitForStarted(60000));
        }
        const SPSTest::ProgramRun run = SPSTest::FinishProgram(process);
        QCOMPARE(run.status, 1);
        QVERIFY(run.err.endsWith(error.replace("<out>", out.toUtf8())));
        QFile file(out);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), former);
        QCOMPARE(QDir(m_Dir.Path()).entryList({"former*"}), QStringList{name});
        QVERIFY(QFile::remove(out));
    }

    void help()
    {
        const SPSTest::ProgramRun run = SPSTest::RunProgram(SPSLOAD_PATH, {"--help"});
        QCOMPARE(run.status, 0);
        const QByteArray& out = run.out;
        QVERIFY2(out.startsWith("Usage: "), out);
        QVERIFY2(out.contains("[options] SOURCE RECEIVER [RELATION]\n"), out);
        for (const char* option : {"--params <FILE>", "--csv <FILE>", "--map <FILE>", "--quiet",
                                   "--fold <FILE>", "--fold-grid <FILE>", "--bin <DX,DY>"})
            QVERIFY2(out.contains(option), option);
        // It ends with two examples and what each exit status means.
        const qsizetype examples = out.indexOf("\nExamples:\n  spsload ");
        QVERIFY2(examples > 0 && out.indexOf("\n  spsload ", examples + 12) > 0, out);
        QVERIFY2(out.endsWith("Exit status:\n"
                              "  0  the survey was loaded and every output written\n"
                              "  1  an input cannot be read, the load failed or added no shot or "
                              "no receiver,\n"
                              "     or an output cannot be written\n"
                              "  2  the command line is wrong, or an input or output was refused "
                              "before loading\n"),
                 out);
        QCOMPARE(run.err, QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestSPSLoadProcess)
#include "tst_spsloadprocess.moc"
