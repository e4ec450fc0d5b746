#include "SPSLoadCommand.h"
#include "SPSTestFifo.h"
#include "SPSTestFolder.h"
#include "SPSTestGzip.h"
#include "SPSTestRows.h"
#include "VeEventsLog.h"
#include "VePrevStackSegyGeometry.h"
#include "VeSurveyMapImage.h"

#include <QBuffer>
#include <QJsonDocument>
#include <QtTest>

#include <cmath>
#include <limits>

namespace {
// The small survey every case loads: point 101 is on two lines, so line 2's
// values win; the second receiver holds values that have no digits.
const QByteArray kSource = "H26 test survey\r\n" +
                           SPSTest::Row('S', "1", "101", "", "600000.0", "5500000.5", "101.06") +
                           SPSTest::Row('S', "1", "102", "", "600025.0", "5500010.3", "101.5") +
                           SPSTest::Row('S', "2", "101", "", "600000", "5500100", "99");
const QByteArray kReceiver = "H26 test survey\r\n" +
                             SPSTest::Row('R', "10", "1", "", "599990.5", "5499990", "98.7") +
                             SPSTest::Row('R', "10", "2", "", "-inf", "nan", "1e39");
const QByteArray kSummary = "shots: 2 (numbers 101..102, x 600000..600025, y 5500010.5..5500100)\n"
                            "receivers: 2 (numbers 1..2, x -inf..599990.5, y 5499990..5499990)\n";
const QByteArray kCsv = "kind,number,x,y,elevation\n"
                        "S,101,600000,5500100,99\n"
                        "S,102,600025,5500010.5,101.5\n"
                        "R,1,599990.5,5499990,98.7\n"
                        "R,2,-inf,nan,inf\n";
const QByteArray kMerged =
    "warning: 1 source points share a point number with another point; 2 shots were added.\n";
// A 2D line to fold: receivers 10 m apart at x 0..30, two shots at x 0 and 10
// recording all four; a third X row names a shot the S file lacks. Midpoints
// of shot 1: 0, 5, 10, 15; of shot 2: 5, 10, 15, 20.
QByteArray xRow(int record, const char* sourcePoint, const char* first, const char* last)
{
    return QString::asprintf("X%6s%4d11%16s%8s1%4d%4d1%16s%8s%8s1\r\n", "T1", record, "1",
                             sourcePoint, 1, 4, "10", first, last)
        .toLatin1();
}
const QByteArray kFoldSource = "H26\r\n" + SPSTest::Row('S', "1", "1", "", "0", "0", "0") +
                               SPSTest::Row('S', "1", "2", "", "10", "0", "0");
const QByteArray kFoldReceiver = "H26\r\n" + SPSTest::Row('R', "10", "1", "", "0", "0", "0") +
                                 SPSTest::Row('R', "10", "2", "", "10", "0", "0") +
                                 SPSTest::Row('R', "10", "3", "", "20", "0", "0") +
                                 SPSTest::Row('R', "10", "4", "", "30", "0", "0");
const QByteArray kFoldRelation =
    "H26\r\n" + xRow(1, "1", "1", "4") + xRow(2, "2", "4", "1") + xRow(3, "3", "1", "4");
const QByteArray kFoldLoaded = "info: 2 shots and 4 receivers were added to [SPS SR Geometry].\n";
const QByteArray kFoldPoints = "shots: 2 (numbers 1..2, x 0..10, y 0..0)\n"
                               "receivers: 4 (numbers 1..4, x 0..30, y 0..0)\n";
const QByteArray kFoldLines =
    "fold: 5 bins with fold > 0 (bins 5 x 5, grid 5 x 1, azimuth 90)\n"
    "fold inside the outline: 5 bins, minimum 1, median 2, maximum 2; 0 bins with fold 0\n"
    "fold traces: 8 counted, 4 skipped (their source or receiver station is missing)\n";

// What a load that succeeds says last.
const QByteArray kLoaded =
    kMerged + "info: 2 shots and 2 receivers were added to [SPS SR Geometry].\n";
} // namespace

class TestSPSLoadCommand : public QObject
{
    Q_OBJECT

private:
    SPSTest::TestFolder m_Dir;
    // Never written: a load that opened it would block.
    SPSTest::FifoWriter m_Fifo{m_Dir.FilePath("pipe")};

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_Dir.Put("s.sps", kSource));
        QVERIFY(m_Dir.Put("r.sps", kReceiver));
        QVERIFY(m_Dir.Put("x.sps", "H26\r\n"));
        QVERIFY(m_Dir.Put("fs.sps", kFoldSource));
        QVERIFY(m_Dir.Put("fs.json", kFoldSource)); // where a grid's companion would go
        QVERIFY(m_Dir.Put("fr.sps", kFoldReceiver));
        QVERIFY(m_Dir.Put("fx.sps", kFoldRelation));
        QVERIFY(
            m_Dir.Put("fx-blank.sps", "H26\r\n" + xRow(1, "1", "1", "4") + xRow(2, "", "1", "4")));
        QVERIFY(m_Dir.Put("headers.sps", "H26 nothing else\r\n"));
        const QByteArray title = "Tarvel SPS File Load Parameter \r\n";
        QVERIFY(m_Dir.Put("v2.txt", title + "version = 2 \r\n"));
        QVERIFY(
            m_Dir.Put("zero.txt", title + "version = 1 \r\nSrcLinePos = 3 \r\nSrcIDPos = 0 \r\n"));
        QVERIFY(m_Dir.Put("huge.txt", title + "version = 1 \r\nXLastRecvIDLen = 5000000000 \r\n"));
        // Every column of the standard layout one to the right, counted from 1.
        QByteArray shifted = title + "version = 1 \r\n";
        for (const char* key :
             {"SrcLinePos = 3", "SrcIDPos = 19", "SrcWellPos = 34", "SrcCoordX = 48",
              "SrcCoordY = 57", "SrcElevPos = 67", "RecvLinePos = 3", "RecvIDPos = 19",
              "RecvCoordX = 48", "RecvCoordY = 57", "RecvElevPos = 67"})
            shifted += QByteArray(key) + " \r\n";
        QVERIFY(m_Dir.Put("shifted.txt", shifted));
        QVERIFY(QFile::link("shifted.txt", m_Dir.FilePath("params-link")));
        QVERIFY(m_Fifo.IsMade());
        QByteArray source = kSource, receiver = kReceiver;
        QVERIFY(m_Dir.Put("s1.sps", source.replace("\nS", "\nS ")));
        QVERIFY(m_Dir.Put("r1.sps", receiver.replace("\nR", "\nR ")));
        const QByteArray gzipped = SPSTest::Gzip(kSource);
        QVERIFY(m_Dir.Put("s.sps.gz", gzipped));
        QVERIFY(m_Dir.Put("r.sps.gz", SPSTest::Gzip(kReceiver, 2)));
        // The rows whole, the trailer's length cut off; then its check broken.
        QVERIFY(m_Dir.Put("cut.sps.gz", gzipped.chopped(2)));
        QByteArray broken = gzipped;
        broken[broken.size() - 8] = char(broken.at(broken.size() - 8) ^ 0x55);
        QVERIFY(m_Dir.Put("broken.sps.gz", broken));
    }

    void run_data()
    {
        QTest::addColumn<QStringList>("arguments"); // "<dir>" is the survey's folder
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");

        const QStringList files{"<dir>/s.sps", "<dir>/r.sps"};
        QTest::newRow("summary") << files << 0 << kSummary << kLoaded;
        QTest::newRow("quiet") << QStringList{"--quiet"} + files << 0 << QByteArray() << kLoaded;
        QTest::newRow("csv to standard output, no summary")
            << QStringList{"--csv", "-"} + files << 0 << kCsv << kLoaded;
        QTest::newRow("relation file that opens")
            << files + QStringList{"<dir>/x.sps"} << 0 << kSummary << kLoaded;
        QTest::newRow("files without points fail the load")
            << QStringList{"<dir>/headers.sps", "<dir>/headers.sps"} << 1 << QByteArray()
            << QByteArray("warning: No source points found in [<dir>/headers.sps]\n"
                          "warning: No receiver points found in [<dir>/headers.sps]\n"
                          "info: 0 shots and 0 receivers were added to [SPS SR Geometry].\n"
                          "error: the load added no shot and no receiver\n");
        QTest::newRow("receiver file without receivers")
            << QStringList{"--csv", "<dir>/none.csv", "<dir>/s.sps", "<dir>/headers.sps"} << 1
            << QByteArray()
            << kMerged + "warning: No receiver points found in [<dir>/headers.sps]\n"
                         "info: 2 shots and 0 receivers were added to [SPS SR Geometry].\n"
                         "error: the load added no receiver\n";
        QTest::newRow("files given the wrong way round")
            << QStringList{"<dir>/r.sps", "<dir>/s.sps"} << 1 << QByteArray()
            << QByteArray("warning: No source points found in [<dir>/r.sps]\n"
                          "warning: No receiver points found in [<dir>/s.sps]\n"
                          "info: 0 shots and 0 receivers were added to [SPS SR Geometry].\n"
                          "error: the files look swapped: the source file [<dir>/r.sps] holds R "
                          "rows and the receiver file [<dir>/s.sps] S rows; give the source "
                          "file first\n");
        QTest::newRow("gzipped files, one in two members")
            << QStringList{"<dir>/s.sps.gz", "<dir>/r.sps.gz"} << 0 << kSummary << kLoaded;
        QTest::newRow("gzip data cut short")
            << QStringList{"<dir>/cut.sps.gz", "<dir>/r.sps"} << 1 << QByteArray()
            << QByteArray("error: Cannot read file [<dir>/cut.sps.gz] to its end!\n"
                          "error: [<dir>/cut.sps.gz]: The compressed data is cut short.\n");
        QTest::newRow("gzip data that fails its check")
            << QStringList{"<dir>/broken.sps.gz", "<dir>/r.sps"} << 1 << QByteArray()
            << QByteArray("error: Cannot read file [<dir>/broken.sps.gz] to its end!\n"
                          "error: [<dir>/broken.sps.gz]: The compressed data is corrupt "
                          "(incorrect data check).\n");
        // The check or the fold of a relation file cut short reports no findings or fold of a part.
        QTest::newRow("relation file cut short, checked")
            << QStringList{"--quiet", "--check", "<dir>/s.sps", "<dir>/r.sps", "<dir>/cut.sps.gz"}
            << 1 << QByteArray()
            << kLoaded + "error: survey check: Cannot read file [<dir>/cut.sps.gz] to its end!\n"
                         "error: [<dir>/cut.sps.gz]: The compressed data is cut short.\n";
        QTest::newRow("relation file cut short, checked and folded")
            << QStringList{"--quiet",     "--check",     "--fold-grid",     "<dir>/f.asc",
                           "<dir>/s.sps", "<dir>/r.sps", "<dir>/cut.sps.gz"}
            << 1 << QByteArray()
            << kLoaded + "error: fold: Cannot read file [<dir>/cut.sps.gz] to its end!\n"
                         "error: [<dir>/cut.sps.gz]: The compressed data is cut short.\n";
        QTest::newRow("revisions detected in gzip data")
            << QStringList{"--quiet", "--revision", "auto", "<dir>/s.sps.gz", "<dir>/r.sps.gz"} << 0
            << QByteArray()
            << "info: [<dir>/s.sps.gz]: read as SPS revision 1 (revision unknown, the default; "
               "no header row names the revision; of 3 S rows, 0 fit revision 1 and 0 fit "
               "revision 2.1)\n"
               "info: [<dir>/r.sps.gz]: read as SPS revision 1 (revision unknown, the default; "
               "no header row names the revision; only 2 R rows, too few to judge by)\n" +
                   kLoaded;
        // As the Format page: a file whose revision is unknown keeps the
        // layout in use, which without a parameter file is revision 1.
        QTest::newRow("revision unknown: read in the layout in use")
            << QStringList{"--revision", "auto", "--csv", "-"} + files << 0 << kCsv
            << "info: [<dir>/s.sps]: read as SPS revision 1 (revision unknown, the default; "
               "no header row names the revision; of 3 S rows, 0 fit revision 1 and 0 fit "
               "revision 2.1)\n"
               "info: [<dir>/r.sps]: read as SPS revision 1 (revision unknown, the default; "
               "no header row names the revision; only 2 R rows, too few to judge by)\n" +
                   kLoaded;
        QTest::newRow("folder is not detected, the load reports it")
            << QStringList{"--revision", "auto", "<dir>", "<dir>/r.sps"} << 1 << QByteArray()
            << QByteArray("info: [<dir>]: not a regular file, read as SPS revision 1\n"
                          "info: [<dir>/r.sps]: read as SPS revision 1 (revision unknown, the "
                          "default; no header row names the revision; only 2 R rows, too few to "
                          "judge by)\n"
                          "error: Cannot open file [<dir>] for reading!\n");
        QTest::newRow("missing file is not detected, the load reports it")
            << QStringList{"--revision", "auto", "<dir>/none.sps", "<dir>/r.sps"} << 1
            << QByteArray()
            << QByteArray("info: [<dir>/r.sps]: read as SPS revision 1 (revision unknown, the "
                          "default; no header row names the revision; only 2 R rows, too few to "
                          "judge by)\n"
                          "error: Cannot open file [<dir>/none.sps] for reading!\n");
        QTest::newRow("missing source fails the load")
            << QStringList{"<dir>/none.sps", "<dir>/r.sps"} << 1 << QByteArray()
            << QByteArray("error: Cannot open file [<dir>/none.sps] for reading!\n");
        QTest::newRow("missing receiver fails the load after the shots")
            << QStringList{"--csv", "-", "<dir>/s.sps", "<dir>/none.sps"} << 1 << QByteArray()
            << kMerged + "error: Cannot open file [<dir>/none.sps] for reading!\n";
        QTest::newRow("relation file that cannot be opened: as the load's own files")
            << files + QStringList{"<dir>/none.x"} << 1 << QByteArray()
            << QByteArray("error: Cannot open file [<dir>/none.x] for reading!\n");
        QTest::newRow("FIFO as source, refused before it is opened")
            << QStringList{"<dir>/pipe", "<dir>/r.sps"} << 2 << QByteArray()
            << QByteArray("error: source file [<dir>/pipe] is not a regular file\n");
        QTest::newRow("device as receiver, refused before it is opened")
            << QStringList{"<dir>/s.sps", "/dev/zero"} << 2 << QByteArray()
            << QByteArray("error: receiver file [/dev/zero] is not a regular file\n");
        QTest::newRow("FIFO as relation") << files + QStringList{"<dir>/pipe"} << 2 << QByteArray()
                                          << QByteArray("error: relation file [<dir>/pipe] is "
                                                        "not a regular file\n");
        QTest::newRow("FIFO as parameter file")
            << QStringList{"--params", "<dir>/pipe"} + files << 2 << QByteArray()
            << QByteArray("error: parameter file [<dir>/pipe] is not a regular file\n");
        QTest::newRow("csv over the source file")
            << QStringList{"--csv", "<dir>/s.sps"} + files << 2 << QByteArray()
            << QByteArray("error: output file [<dir>/s.sps] is the input file [<dir>/s.sps]\n");
        QTest::newRow("report over the receiver file")
            << QStringList{"--report", "<dir>/r.sps"} + files << 2 << QByteArray()
            << QByteArray("error: output file [<dir>/r.sps] is the input file [<dir>/r.sps]\n");
        QTest::newRow("map over the parameter file, through a symlink")
            << QStringList{"--params",          "<dir>/shifted.txt", "--map",
                           "<dir>/params-link", "<dir>/s1.sps",      "<dir>/r1.sps"}
            << 2 << QByteArray()
            << QByteArray("error: output file [<dir>/params-link] is the input file "
                          "[<dir>/shifted.txt]\n");
        QTest::newRow("unknown option") << QStringList{"--bogus"} + files << 2 << QByteArray()
                                        << QByteArray("error: Unknown option 'bogus'.\n");
        QTest::newRow("csv without its file")
            << QStringList{"<dir>/s.sps", "<dir>/r.sps", "--csv"} << 2 << QByteArray()
            << QByteArray("error: Missing value after '--csv'.\n");
        QTest::newRow("one file") << QStringList{"<dir>/s.sps"} << 2 << QByteArray()
                                  << QByteArray("error: wrong number of files (1): SOURCE and "
                                                "RECEIVER are required, RELATION is optional\n");
        QTest::newRow("parameter file moves every column")
            << QStringList{"--params", "<dir>/shifted.txt", "<dir>/s1.sps", "<dir>/r1.sps"} << 0
            << kSummary << kLoaded;
        QTest::newRow("parameter file that cannot be opened: as the load's own files")
            << QStringList{"--params", "<dir>/none.txt"} + files << 1 << QByteArray()
            << QByteArray("error: Cannot open file [<dir>/none.txt] for reading!\n");
        QTest::newRow("parameter file of another version")
            << QStringList{"--params", "<dir>/v2.txt"} + files << 2 << QByteArray()
            << QByteArray("error: parameter file [<dir>/v2.txt]: Invalid file version!\n");
        QTest::newRow("parameter file with a position of 0")
            << QStringList{"--params", "<dir>/zero.txt"} + files << 2 << QByteArray()
            << QByteArray("error: parameter file [<dir>/zero.txt]: invalid value \"0\" for "
                          "SrcIDPos\n");
        QTest::newRow("parameter file with a value beyond 32 bits")
            << QStringList{"--params", "<dir>/huge.txt"} + files << 2 << QByteArray()
            << QByteArray("error: parameter file [<dir>/huge.txt]: invalid value \"5000000000\" "
                          "for XLastRecvIDLen\n");
        QTest::newRow("map whose suffix names no format, refused before loading")
            << QStringList{"--map", "<dir>/map.xyz"} + files << 2 << QByteArray()
            << QByteArray("error: the map file [<dir>/map.xyz] does not end in the suffix of an "
                          "image format that can be written (<formats>)\n");
        QTest::newRow("map without a suffix")
            << QStringList{"--map", "<dir>/map"} + files << 2 << QByteArray()
            << QByteArray("error: the map file [<dir>/map] does not end in the suffix of an "
                          "image format that can be written (<formats>)\n");
        QTest::newRow("map and CSV both to standard output")
            << QStringList{"--csv", "-", "--map", "-"} + files << 2 << QByteArray()
            << QByteArray("error: --csv and --map cannot both write to standard output\n");
        QTest::newRow("report to standard output, no summary")
            << QStringList{"--report", "-"} + files << 0
            << QByteArray("file,row,kind,line,point,index,message,x,y\n"
                          "<dir>/s.sps,0,revision,,,,\"revision unknown: no header row names the "
                          "revision; of 3 S rows, 0 fit revision 1 and 0 fit revision 2.1\",,\n"
                          "<dir>/s.sps,2,shared-number,1,101,,\"point number 101 is shared by 2 "
                          "lines (1, 2); the load keeps one point; a line factor of 1000 keeps "
                          "the lines apart\",600000,5500000.5\n"
                          "<dir>/s.sps,0,precision,1,102,,single precision changes the northing "
                          "by up to 0.2 (row 3); 1 of 3 points change by more than "
                          "0.05,600025,5500010.3\n"
                          "<dir>/r.sps,0,revision,,,,\"revision unknown: no header row names the "
                          "revision; only 2 R rows, too few to judge by\",,\n"
                          "<dir>/r.sps,3,not-a-number,10,2,,\"easting \"\"-inf\"\" is not a "
                          "number\",,\n"
                          "<dir>/r.sps,3,not-a-number,10,2,,\"northing \"\"nan\"\" is not a "
                          "number\",,\n")
            << kLoaded;
        QTest::newRow("map without Qt Gui")
            << QStringList{"--map", "<dir>/map.png"} + files << 1 << QByteArray()
            << kLoaded + "error: cannot draw the map [<dir>/map.png]: Drawing a map needs a "
                         "QGuiApplication.\n";
        QTest::newRow("line factor keeps the lines apart")
            << QStringList{"--line-factor", "1000"} + files << 0
            << QByteArray("shots: 3 (numbers 1101..2101, x 600000..600025, y 5500000.5..5500100)\n"
                          "receivers: 2 (numbers 10001..10002, x -inf..599990.5, y "
                          "5499990..5499990)\n")
            << QByteArray("info: 3 shots and 2 receivers were added to [SPS SR Geometry].\n");
        // Past 32 bits the load warns once per file with the first row that
        // leaves and the factor that fits, and nothing is written.
        QTest::newRow("line factor beyond 32 bits")
            << QStringList{"--line-factor", "2000000000", "--csv", "<dir>/wrapped.csv"} + files << 1
            << QByteArray()
            << QByteArray("warning: Line factor 2000000000 takes line 2 point 101 of [<dir>/s.sps] "
                          "to 4000000101, beyond the signed 32-bit point numbers, and the numbers "
                          "wrap; the largest line factor that fits every row is 1073741773.\n"
                          "warning: Line factor 2000000000 takes line 10 point 1 of [<dir>/r.sps] "
                          "to 20000000001, beyond the signed 32-bit point numbers, and the "
                          "numbers wrap; the largest line factor that fits every row is "
                          "214748364.\n"
                          "info: 3 shots and 2 receivers were added to [SPS SR Geometry].\n"
                          "error: the numbering factors take point numbers beyond signed 32 bits; "
                          "nothing was written\n");
        QTest::newRow("largest line factor that fits")
            << QStringList{"--line-factor", "214748364", "--quiet"} + files << 0 << QByteArray()
            << QByteArray("info: 3 shots and 2 receivers were added to [SPS SR Geometry].\n");
        QTest::newRow("shot factor beyond 32 bits")
            << QStringList{"--shot-factor", "30000000"} + files << 1 << QByteArray()
            << QByteArray("warning: Shot factor 30000000 takes point number 101 of [<dir>/s.sps] "
                          "to 3030000000, beyond the signed 32-bit point numbers, and the numbers "
                          "wrap; the largest shot factor that fits every point is 21053761.\n") +
                   kLoaded +
                   "error: the numbering factors take point numbers beyond signed 32 bits; "
                   "nothing was written\n";
        QTest::newRow("check after the summary")
            << QStringList{"--check"} + files << 0
            << kSummary +
                   "check: revision: 2\n"
                   "  <dir>/s.sps: revision unknown: no header row names the revision; of 3 S "
                   "rows, 0 fit revision 1 and 0 fit revision 2.1\n"
                   "  <dir>/r.sps: revision unknown: no header row names the revision; only 2 R "
                   "rows, too few to judge by\n"
                   "check: not-a-number: 2\n"
                   "  <dir>/r.sps:3: line 10 point 2: easting \"-inf\" is not a number\n"
                   "  <dir>/r.sps:3: line 10 point 2: northing \"nan\" is not a number\n"
                   "check: shared-number: 1\n"
                   "  <dir>/s.sps:2: line 1 point 101: point number 101 is shared by 2 lines (1, "
                   "2); the load keeps one point; a line factor of 1000 keeps the lines apart\n"
                   "check: precision: 1\n"
                   "  <dir>/s.sps: line 1 point 102: single precision changes the northing by up "
                   "to 0.2 (row 3); 1 of 3 points change by more than 0.05\n"
                   // The same by groups, with severities and totals.
                   "check: revision: 2 (note) in 2 groups\n"
                   "  <dir>/s.sps: revision unknown: no header row names the revision; of 3 S "
                   "rows, 0 fit revision 1 and 0 fit revision 2.1\n"
                   "  <dir>/r.sps: revision unknown: no header row names the revision; only 2 R "
                   "rows, too few to judge by\n"
                   "check: not-a-number: 2 (error) in 1 group\n"
                   "  <dir>/r.sps: line 10: point 2, 2 times: fields that are not numbers\n"
                   "check: shared-number: 1 (note) in 1 group\n"
                   "  <dir>/s.sps:2: line 1 point 101: point number 101 is shared by 2 lines (1, "
                   "2); the load keeps one point; a line factor of 1000 keeps the lines apart\n"
                   "check: precision: 1 (note) in 1 group\n"
                   "  <dir>/s.sps: line 1 point 102: single precision changes the northing by up "
                   "to 0.2 (row 3); 1 of 3 points change by more than 0.05\n"
                   "check: S file <dir>/s.sps: 3 findings: 0 errors, 0 warnings, 3 notes\n"
                   "check: R file <dir>/r.sps: 3 findings: 2 errors, 0 warnings, 1 note\n"
                   "check: in all: 6 findings: 2 errors, 0 warnings, 4 notes\n"
            << kLoaded;
        QTest::newRow("report into a folder that is not there")
            << QStringList{"--quiet", "--report", "<dir>/no folder/report.csv"} + files << 1
            << QByteArray()
            << kLoaded + "error: cannot write [<dir>/no folder/report.csv]: No such file or "
                         "directory\n";
        QTest::newRow("factor that is not an integer")
            << QStringList{"--shot-factor", "1.5"} + files << 2 << QByteArray()
            << QByteArray("error: invalid value \"1.5\" for --shot-factor: a 32-bit integer is "
                          "expected\n");
        QTest::newRow("line factor beyond 32 bits")
            << QStringList{"--line-factor", "5000000000"} + files << 2 << QByteArray()
            << QByteArray("error: invalid value \"5000000000\" for --line-factor: a 32-bit "
                          "integer is expected\n");
        QTest::newRow("unknown revision")
            << QStringList{"--revision", "2"} + files << 2 << QByteArray()
            << QByteArray("error: invalid value \"2\" for --revision: 1, 2.1 or auto is "
                          "expected\n");
        QTest::newRow("parameter file and revision")
            << QStringList{"--params", "<dir>/shifted.txt", "--revision", "1"} + files << 2
            << QByteArray()
            << QByteArray("error: --params and --revision cannot be used together\n");
        const QStringList fold{"<dir>/fs.sps", "<dir>/fr.sps", "<dir>/fx.sps"};
        QTest::newRow("fold summary after the points")
            << QStringList{"--fold-grid", "<dir>/fold.asc"} + fold << 0 << kFoldPoints + kFoldLines
            << kFoldLoaded;
        // The check and the fold both take S and R from the load's reading.
        QTest::newRow("check after the fold")
            << QStringList{"--check", "--fold-grid", "<dir>/fold.asc"} + fold << 0
            << kFoldPoints + kFoldLines +
                   "check: revision: 3\n"
                   "  <dir>/fs.sps: revision unknown: no header row names the revision; only 2 S "
                   "rows, too few to judge by\n"
                   "  <dir>/fr.sps: revision unknown: no header row names the revision; of 4 R "
                   "rows, 0 fit revision 1 and 0 fit revision 2.1\n"
                   "  <dir>/fx.sps: SPS revision 1: no header row names the revision; 3 of 3 X "
                   "rows have the columns of revision 1\n"
                   "check: outlier: 2\n"
                   "  <dir>/fs.sps:2: line 1 point 1: the point is at (0, 0)\n"
                   "  <dir>/fr.sps:2: line 10 point 1: the point is at (0, 0)\n"
                   "check: relation-source-missing: 1\n"
                   "  <dir>/fx.sps:4: line 1 point 3: field record 3 names source line 1 point 3, "
                   "which the S file lacks\n"
                   "check: revision: 3 (note) in 3 groups\n"
                   "  <dir>/fs.sps: revision unknown: no header row names the revision; only 2 S "
                   "rows, too few to judge by\n"
                   "  <dir>/fr.sps: revision unknown: no header row names the revision; of 4 R "
                   "rows, 0 fit revision 1 and 0 fit revision 2.1\n"
                   "  <dir>/fx.sps: SPS revision 1: no header row names the revision; 3 of 3 X "
                   "rows have the columns of revision 1\n"
                   "check: outlier: 2 (warning) in 2 groups\n"
                   "  <dir>/fs.sps:2: line 1 point 1: the point is at (0, 0)\n"
                   "  <dir>/fr.sps:2: line 10 point 1: the point is at (0, 0)\n"
                   "check: relation-source-missing: 1 (error) in 1 group\n"
                   "  <dir>/fx.sps:4: line 1 point 3: field record 3 names source line 1 point 3, "
                   "which the S file lacks\n"
                   "check: S file <dir>/fs.sps: 2 findings: 0 errors, 1 warning, 1 note\n"
                   "check: R file <dir>/fr.sps: 2 findings: 0 errors, 1 warning, 1 note\n"
                   "check: X file <dir>/fx.sps: 2 findings: 1 error, 0 warnings, 1 note\n"
                   "check: in all: 6 findings: 1 error, 2 warnings, 3 notes\n"
            << kFoldLoaded;
        QTest::newRow("fold of a relation row without a source point")
            << QStringList{"--fold-grid", "<dir>/fold.asc", "<dir>/fs.sps", "<dir>/fr.sps",
                           "<dir>/fx-blank.sps"}
            << 0
            << kFoldPoints +
                   "fold: 4 bins with fold > 0 (bins 5 x 5, grid 4 x 1, azimuth 90)\n"
                   "fold inside the outline: 4 bins, minimum 1, median 1, maximum 1; 0 bins with "
                   "fold 0\n"
                   "fold traces: 4 counted, 0 skipped (their source or receiver station is "
                   "missing)\n"
                   "fold: 1 X rows name no source point or receiver range in numbers and were "
                   "left out\n"
            << kFoldLoaded;
        QTest::newRow("fold of bins given, quiet")
            << QStringList{"--quiet", "--bin", " 10 , 5", "--fold-grid", "<dir>/fold.asc"} + fold
            << 0 << QByteArray() << kFoldLoaded;
        QTest::newRow("fold without a relation file")
            << QStringList{"--fold", "<dir>/fold.png"} + files << 2 << QByteArray()
            << QByteArray("error: --fold needs the RELATION (X) file: the fold is counted from "
                          "its rows\n");
        QTest::newRow("relation file without X rows: no fold")
            << QStringList{"--fold-grid", "<dir>/fold.asc"} + files + QStringList{"<dir>/x.sps"}
            << 1 << QByteArray()
            << kLoaded + "error: fold: no X row of [<dir>/x.sps] names a loaded source point and "
                         "receiver station (0 traces skipped); no fold was written\n";
        QTest::newRow("bin without a comma")
            << QStringList{"--bin", "25", "--fold-grid", "<dir>/fold.asc"} + fold << 2
            << QByteArray()
            << QByteArray("error: invalid value \"25\" for --bin: DX,DY is expected, two sizes "
                          "and a comma between them\n");
        QTest::newRow("bin that is not a number")
            << QStringList{"--bin", "25,abc", "--fold", "<dir>/fold.png"} + fold << 2
            << QByteArray()
            << QByteArray("error: invalid value \"25,abc\" for --bin: \"abc\" is not a number\n");
        QTest::newRow("bin of infinity")
            << QStringList{"--bin", "inf,25", "--fold", "<dir>/fold.png"} + fold << 2
            << QByteArray()
            << QByteArray("error: invalid value \"inf,25\" for --bin: \"inf\" is not a number\n");
        QTest::newRow("bin of 0")
            << QStringList{"--bin", "0,25", "--fold", "<dir>/fold.png"} + fold << 2 << QByteArray()
            << QByteArray("error: invalid value \"0,25\" for --bin: a bin size must be greater "
                          "than 0\n");
        QTest::newRow("negative bin")
            << QStringList{"--bin=25,-5", "--fold", "<dir>/fold.png"} + fold << 2 << QByteArray()
            << QByteArray("error: invalid value \"25,-5\" for --bin: a bin size must be greater "
                          "than 0\n");
        QTest::newRow("bin without a fold")
            << QStringList{"--bin", "25,25"} + fold << 2 << QByteArray()
            << QByteArray("error: --bin needs --fold or --fold-grid\n");
        QTest::newRow("fold grid to standard output")
            << QStringList{"--fold-grid", "-"} + fold << 2 << QByteArray()
            << QByteArray("error: --fold-grid cannot write to standard output: the grid's "
                          "companion .json needs a file\n");
        QTest::newRow("fold map and CSV both to standard output")
            << QStringList{"--csv", "-", "--fold", "-"} + fold << 2 << QByteArray()
            << QByteArray("error: --csv and --fold cannot both write to standard output\n");
        QTest::newRow("fold map over the relation file")
            << QStringList{"--fold", "<dir>/fx.sps"} + fold << 2 << QByteArray()
            << QByteArray("error: output file [<dir>/fx.sps] is the input file [<dir>/fx.sps]\n");
        QTest::newRow("fold grid's companion over the source file")
            << QStringList{"--fold-grid", "<dir>/fs.asc", "<dir>/fs.json", "<dir>/fr.sps",
                           "<dir>/fx.sps"}
            << 2 << QByteArray()
            << QByteArray("error: output file [<dir>/fs.json] is the input file [<dir>/fs.json]\n");
        QTest::newRow("fold map whose suffix names no format")
            << QStringList{"--fold", "<dir>/fold.xyz"} + fold << 2 << QByteArray()
            << QByteArray("error: the fold map file [<dir>/fold.xyz] does not end in the suffix "
                          "of an image format that can be written (<formats>)\n");
        QTest::newRow("fold map without Qt Gui")
            << QStringList{"--fold", "<dir>/fold.png"} + fold << 1 << QByteArray()
            << kFoldLoaded + "error: cannot draw the fold map [<dir>/fold.png]: Drawing a fold "
                             "map needs a QGuiApplication.\n";
        QTest::newRow("fold grid that cannot be written")
            << QStringList{"--fold-grid", "<dir>/none/fold.asc"} + fold << 1 << QByteArray()
            << kFoldLoaded + "error: Cannot write the fold grid to \"<dir>/none/fold.asc\": No "
                             "such file or directory\n";
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
        arguments = m_Dir.Expand(arguments);
        err = m_Dir.Expand(err).replace("<formats>", SurveyMapFormatsText().toUtf8());
        out = m_Dir.Expand(out);

        QBuffer outBuffer, errBuffer;
        outBuffer.open(QIODevice::WriteOnly);
        errBuffer.open(QIODevice::WriteOnly);
        SPSLoadCommand command(&outBuffer, &errBuffer);
        QCOMPARE(command.Run(QStringList{"spsload"} + arguments), status);
        QCOMPARE(errBuffer.data(), err);
        QCOMPARE(outBuffer.data(), out);
    }

    void wantsMap_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("wanted");

        QTest::newRow("option and file") << QStringList{"--map", "m.png", "s", "r"} << true;
        QTest::newRow("joined") << QStringList{"s", "r", "--map=m.png"} << true;
        QTest::newRow("none") << QStringList{"--csv", "-", "s", "r"} << false;
        QTest::newRow("the CSV's file name") << QStringList{"--csv", "--map", "s", "r"} << false;
        QTest::newRow("after the options' end") << QStringList{"s", "r", "--", "--map"} << false;
        QTest::newRow("refused command line")
            << QStringList{"--bogus", "--map", "m.png", "s", "r"} << false;
        QTest::newRow("no file") << QStringList{"s", "r", "--map"} << false;
        QTest::newRow("fold map") << QStringList{"--fold", "f.png", "s", "r", "x"} << true;
        QTest::newRow("fold grid alone")
            << QStringList{"--fold-grid", "f.asc", "s", "r", "x"} << false;
    }

    void wantsMap()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, wanted);
        QCOMPARE(SPSLoadCommand::WantsMap(QStringList{"spsload"} + arguments), wanted);
    }

    // The grid of the 2D line, whose fold is counted by hand above.
    void foldGrid_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("ascii");
        QTest::addColumn<QByteArray>("json");
        // Bins of 5 centred on the midpoints: 0 | 5 5 | 10 10 | 15 15 | 20.
        QTest::newRow("default bins") << QStringList()
                                      << QByteArray("ncols 5\nnrows 1\nxllcorner -2.5\n"
                                                    "yllcorner -2.5\ncellsize 5\n"
                                                    "NODATA_value -9999\n1 2 2 2 1\n")
                                      << QByteArray("{\"azimuth\":90,\"cellSize\":[5,5],"
                                                    "\"columns\":5,\"corner\":[-2.5,-2.5],"
                                                    "\"rows\":1}");
        // Bins of 10 from -5: 0 | 5 5 10 10 | 15 15 20.
        QTest::newRow("bins given") << QStringList{"--bin", "10,5"}
                                    << QByteArray("ncols 3\nnrows 1\nxllcorner -5\n"
                                                  "yllcorner -2.5\ndx 10\ndy 5\n"
                                                  "NODATA_value -9999\n1 4 3\n")
                                    << QByteArray("{\"azimuth\":90,\"cellSize\":[10,5],"
                                                  "\"columns\":3,\"corner\":[-5,-2.5],"
                                                  "\"rows\":1}");
        // Coordinates as the load gives them: ten times the files'.
        QTest::newRow("coordinates scaled")
            << QStringList{"--coordinate-scalar", "-10"}
            << QByteArray("ncols 5\nnrows 1\nxllcorner -25\nyllcorner -25\ncellsize 50\n"
                          "NODATA_value -9999\n1 2 2 2 1\n")
            << QByteArray("{\"azimuth\":90,\"cellSize\":[50,50],\"columns\":5,\"corner\":[-25,"
                          "-25],\"rows\":1}");
    }

    void foldGrid()
    {
        QFETCH(QStringList, options);
        QFETCH(QByteArray, ascii);
        QFETCH(QByteArray, json);
        const QString path = m_Dir.FilePath("grid.asc");
        QBuffer out, err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        SPSLoadCommand command(&out, &err);
        QCOMPARE(
            command.Run(QStringList{"spsload", "--quiet", "--fold-grid", path} + options +
                        m_Dir.Expand(QStringList{"<dir>/fs.sps", "<dir>/fr.sps", "<dir>/fx.sps"})),
            0);
        QFile grid(path), where(m_Dir.FilePath("grid.json"));
        QVERIFY(grid.open(QIODevice::ReadOnly));
        QCOMPARE(grid.readAll(), ascii);
        QVERIFY(where.open(QIODevice::ReadOnly));
        QCOMPARE(QJsonDocument::fromJson(where.readAll()).toJson(QJsonDocument::Compact), json);
    }

    void csvFile()
    {
        const QString path = m_Dir.FilePath("out.csv");
        QVERIFY(SPSTest::WriteFile(path, "old contents"));
        QBuffer out, err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        SPSLoadCommand command(&out, &err);
        QCOMPARE(command.Run(
                     {"spsload", "--csv", path, m_Dir.FilePath("s.sps"), m_Dir.FilePath("r.sps")}),
                 0);
        QCOMPARE(out.data(), kSummary);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), kCsv);
    }

    // Tens of megabytes of points are handed on in parts, each row whole, the
    // longest texts included; a part refused ends the writing.
    void csvInParts()
    {
        using limits = std::numeric_limits<float>;
        const auto text = [](float v) { return SPSLoadCommand::FormatFloat(v); };
        VePrevStackSegyGeometry geometry;
        QByteArray expected = "kind,number,x,y,elevation\n";
        for (int i = 0; i < 150000; ++i) {
            const VePrevSegySRGeometry r{i, 600000.0f + float(i) * 0.3f,
                                         5500000.5f - float(i % 977), float(i % 50) / 4};
            geometry.AddShotGeometry(new VePrevSegySRGeometry(r));
            expected += "S," + QByteArray::number(i) + "," + text(r.m_fX) + "," + text(r.m_fY) +
                        "," + text(r.m_fElevation) + "\n";
        }
        const float tiny = limits::denorm_min();
        geometry.AddReceiverGeometry(
            new VePrevSegySRGeometry{INT_MIN, -tiny, -limits::max(), -tiny});
        geometry.AddReceiverGeometry(new VePrevSegySRGeometry{
            7, limits::quiet_NaN(), limits::infinity(), -limits::infinity()});
        expected += "R,-2147483648,-" + text(tiny) + ",-" + text(limits::max()) + ",-" +
                    text(tiny) + "\nR,7,nan,inf,-inf\n";
        QByteArray joined;
        int parts = 0, refused = 0;
        QVERIFY(SPSLoadCommand::CsvParts(geometry, [&](const QByteArray& part) {
            ++parts;
            joined += part;
            return true;
        }));
        QCOMPARE(joined, expected);
        QVERIFY2(parts > 1, "one part");
        QCOMPARE(SPSLoadCommand::Csv(geometry), expected);
        QVERIFY(
            !SPSLoadCommand::CsvParts(geometry, [&](const QByteArray&) { return ++refused > 1; }));
        QCOMPARE(refused, 1);
    }

    void csvFileThatCannotBeWritten()
    {
        const QString path = m_Dir.FilePath("no folder/out.csv");
        QBuffer out, err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        SPSLoadCommand command(&out, &err);
        QCOMPARE(command.Run(
                     {"spsload", "--csv", path, m_Dir.FilePath("s.sps"), m_Dir.FilePath("r.sps")}),
                 1);
        QVERIFY(out.data().isEmpty());
        const QByteArray expected = kLoaded + "error: cannot write [" + path.toUtf8() + "]: ";
        QVERIFY2(err.data().startsWith(expected), err.data());
        QVERIFY(err.data().endsWith('\n'));
        QCOMPARE(err.data().count('\n'), 3);
    }

    void formatFloat_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<QByteArray>("expected");
        using limits = std::numeric_limits<float>;
        QTest::newRow("integral") << 600000.0f << QByteArray("600000");
        QTest::newRow("half") << 5500000.5f << QByteArray("5500000.5");
        QTest::newRow("shortest that reads back") << 101.06f << QByteArray("101.06");
        QTest::newRow("largest") << limits::max()
                                 << QByteArray("340282346638528859811704183484516925440");
        QTest::newRow("no exponent for small")
            << limits::denorm_min()
            << QByteArray("0.000000000000000000000000000000000000000000001");
        QTest::newRow("negative") << -0.25f << QByteArray("-0.25");
        QTest::newRow("integral beyond 2^24: all its digits")
            << 1267650600228229401496703205376.0f << QByteArray("1267650600228229401496703205376");
        QTest::newRow("tie between two shortest: the nearer in rounding")
            << 3838321.75f << QByteArray("3838321.8");
        QTest::newRow("nan") << limits::quiet_NaN() << QByteArray("nan");
        QTest::newRow("negative nan") << -limits::quiet_NaN() << QByteArray("nan");
        QTest::newRow("inf") << limits::infinity() << QByteArray("inf");
        QTest::newRow("-inf") << -limits::infinity() << QByteArray("-inf");
    }

    void formatFloat()
    {
        QFETCH(float, value);
        QFETCH(QByteArray, expected);
        QCOMPARE(SPSLoadCommand::FormatFloat(value), expected);
    }
};

QTEST_GUILESS_MAIN(TestSPSLoadCommand)
#include "tst_spsloadcommand.moc"
