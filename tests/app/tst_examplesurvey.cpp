#include "SPSFormatValues.h"
#include "SPSLayoutPresets.h"
#include "SPSParamFile.h"
#include "SPSTestFolder.h"
#include "SPSTestProgram.h"
#include "SPSTestRows.h"
#include "SPSTestRows21.h"
#include "SurveyMapMarks.h"
#include "VeSurveyMapImage.h"

#include <QDir>
#include <QStandardPaths>
#include <QtTest>

using SPSTest::ProgramRun;
using SPSTest::RunProgram;

// The example survey and parameter file under examples/, as a newcomer uses them.
class TestExampleSurvey : public QObject
{
    Q_OBJECT

private:
    SPSTest::TestFolder m_Dir;
    QString m_Python;

    static QString example(const char* name) { return QDir(EXAMPLES_DIR).filePath(name); }

private Q_SLOTS:
    void initTestCase()
    {
        m_Python = QStandardPaths::findExecutable("python3");
        QVERIFY2(!m_Python.isEmpty(), "python3 works out the expected records and the examples");
    }

    void csvMatchesRecordsWorkedOutIndependently()
    {
        const ProgramRun python = RunProgram(
            m_Python, {EXPECTED_CSV_SCRIPT, example("example.sps"), example("example.rps")});
        QVERIFY2(python.ended && python.status == 0, python.err.constData());
        const QByteArray& expected = python.out;
        const ProgramRun run =
            RunProgram(SPSLOAD_PATH, {"--csv", "-", example("example.sps"), example("example.rps"),
                                      example("example.xps")});
        QVERIFY(run.ended);
        QCOMPARE(run.status, 0);
        // Every point has a number of its own: nothing but what the load added.
        QCOMPARE(run.err, QByteArray("info: 119 shots and 288 receivers were added to [SPS SR "
                                     "Geometry].\n"));
        const QList<QByteArray> expectedRows = expected.split('\n');
        const QList<QByteArray> actualRows = run.out.split('\n');
        for (qsizetype i = 0; i < qMin(expectedRows.size(), actualRows.size()); ++i)
            QCOMPARE(actualRows.at(i), expectedRows.at(i));
        QCOMPARE(actualRows.size(), expectedRows.size());
        // 5 source lines of 24 points, one never fired; 6 receiver lines of 48.
        QCOMPARE(expected.count("\nS,"), 119);
        QCOMPARE(expected.count("\nR,"), 288);
    }

    void summary()
    {
        const ProgramRun run =
            RunProgram(SPSLOAD_PATH, {example("example.sps"), example("example.rps")});
        QVERIFY(run.ended);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QByteArray("info: 119 shots and 288 receivers were added to [SPS SR "
                                     "Geometry].\n"));
        const QList<QByteArray> lines = run.out.split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY2(lines.at(0).startsWith("shots: 119 (numbers 50101..50524, x 452"), lines.at(0));
        QVERIFY2(lines.at(1).startsWith("receivers: 288 (numbers 10101..10648, x 45"), lines.at(1));
    }

    void mapWithoutDisplay()
    {
        // As from a script on a machine without a display, with no platform chosen.
        const QString png = m_Dir.FilePath("example-map.png");
        const ProgramRun run = RunProgram(SPSLOAD_PATH,
                                          {"--quiet", "--map", png, example("example.sps"),
                                           example("example.rps"), example("example.xps")},
                                          SPSTest::Display::None);
        QVERIFY(run.ended);
        QCOMPARE(run.err, QByteArray("info: 119 shots and 288 receivers were added to [SPS SR "
                                     "Geometry].\n"));
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(run.status, 0);

        QImage image;
        QVERIFY(image.load(png, "PNG"));
        QCOMPARE(image.size(), DefaultSurveyMapSize());
        const SurveyPoints shots = ReadSurveyPoints(example("example.sps"), 'S');
        const SurveyPoints receivers = ReadSurveyPoints(example("example.rps"), 'R');
        QCOMPARE(int(shots.size()), 119);
        QCOMPARE(int(receivers.size()), 288);
        CheckSurveyMarks(image, VeSurveyMap().PlotRect(QRectF(image.rect())), shots, receivers);
    }

    void generatorReproducesTheExamples()
    {
        const ProgramRun python =
            RunProgram(m_Python, {example("make_example_survey.py"), m_Dir.Path()});
        QVERIFY2(python.ended && python.status == 0, python.err.constData());
        for (const char* name : {"example.sps", "example.rps", "example.xps", "sps21.txt"}) {
            QFile generated(m_Dir.FilePath(name)), committed(example(name));
            QVERIFY(generated.open(QIODevice::ReadOnly));
            QVERIFY(committed.open(QIODevice::ReadOnly));
            QVERIFY2(generated.readAll() == committed.readAll(), name);
        }
    }

    void sps21ParameterFile()
    {
        // The revision 2.1 columns, counted from 1: start and length per key.
        const QList<QPair<const char*, int>> expected{
            {"SrcLinePos", 2},       {"SrcLineLen", 10},       {"SrcIDPos", 12},
            {"SrcIDLen", 10},        {"SrcWellPos", 31},       {"SrcWellLen", 4},
            {"SrcCoordX", 47},       {"SrcCoordXLen", 9},      {"SrcCoordY", 56},
            {"SrcCoordYLen", 10},    {"SrcElevPos", 66},       {"SrcElevLen", 6},
            {"RecvLinePos", 2},      {"RecvLineLen", 10},      {"RecvIDPos", 12},
            {"RecvIDLen", 10},       {"RecvCoordX", 47},       {"RecvCoordXLen", 9},
            {"RecvCoordY", 56},      {"RecvCoordYLen", 10},    {"RecvElevPos", 66},
            {"RecvElevLen", 6},      {"XRecordNumPos", 8},     {"XRecordNumLen", 8},
            {"XSrcLinePos", 18},     {"XSrcLineLen", 10},      {"XSrcIDPos", 28},
            {"XSrcIDLen", 10},       {"XFirstChannelPos", 39}, {"XFirstChannelLen", 5},
            {"XLastChannelPos", 44}, {"XLastChannelLen", 5},   {"XChannelIncrPos", 49},
            {"XChannelIncrLen", 1},  {"XRecvLinePos", 50},     {"XRecvLineLen", 10},
            {"XFirstRecvIDPos", 60}, {"XFirstRecvIDLen", 10},  {"XLastRecvIDPos", 70},
            {"XLastRecvIDLen", 10},  {"AutoSkipS", 1},         {"AutoSkipR", 1},
            {"AutoSkipX", 1},        {"SkipPosS", 72},         {"SkipPosR", 72},
            {"SkipPosX", 72}};
        QCOMPARE(expected.size(), 46);
        SPSFormatValues values;
        QCOMPARE(SPSParamFile::Read(example("sps21.txt"), &values), SPSParamFile::Ok);
        for (const auto& [key, value] : expected)
            QCOMPARE(values.Value(key), QString::number(value));

        // In the very form the Format page saves for the revision 2.1 preset.
        SPSFormatValues preset;
        preset.ApplyRevision(SPSRevision::Revision21);
        const QString saved = m_Dir.FilePath("saved.txt");
        QVERIFY(SPSParamFile::Write(saved, preset));
        QFile a(saved), b(example("sps21.txt"));
        QVERIFY(a.open(QIODevice::ReadOnly));
        QVERIFY(b.open(QIODevice::ReadOnly));
        QCOMPARE(b.readAll(), a.readAll());
    }

    void sps21SurveyCheck()
    {
        // A small 3D survey in revision 2.1: two source lines repeat the same point
        // numbers, a lone R row stands before the header, one northing needs more
        // digits than single precision keeps, and one receiver is missing.
        QList<QByteArray> s{"H00 SPS format version num.     SPS V2.1"}, r{"R", s[0]}, x{s[0]};
        for (int line = 0; line < 2; ++line) {
            const QByteArray name = QByteArray::number(1001 + line) + ".00";
            for (int i = 0; i < 4; ++i)
                s << sps21::pointRow('S', name, QByteArray::number(2001 + i) + ".00",
                                     QByteArray::number(452000 + 50 * i) + ".0",
                                     QByteArray::number(5812000 + 100 * line) + ".0");
        }
        for (int i = 0; i < 6; ++i)
            if (i != 4)
                r << sps21::pointRow('R', "3001.00", QByteArray::number(4001 + i) + ".00",
                                     QByteArray::number(452000 + 25 * i) + ".0",
                                     i == 2 ? "9827140.7" : "5811900.0");
        for (int i = 0; i < 8; ++i)
            x << sps21::relationRow(QByteArray::number(i + 1), i < 4 ? "1001" : "1002",
                                    QByteArray::number(2001 + i % 4), "1", "6", "3001", "4001",
                                    "4006");
        const QString sPath = m_Dir.FilePath("c.s01"), rPath = m_Dir.FilePath("c.r01"),
                      xPath = m_Dir.FilePath("c.x01"), report = m_Dir.FilePath("report.csv");
        QVERIFY(SPSTest::WriteFile(sPath, sps21::file(s)));
        QVERIFY(SPSTest::WriteFile(rPath, sps21::file(r)));
        QVERIFY(SPSTest::WriteFile(xPath, sps21::file(x)));

        const ProgramRun run = RunProgram(SPSLOAD_PATH, {"--revision", "auto", "--check",
                                                         "--report", report, sPath, rPath, xPath});
        QVERIFY(run.ended);
        QCOMPARE(run.status, 0);
        QFile file(report);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(m_Dir.Hide(run.err),
                 QByteArray("info: [<dir>/c.s01]: read as SPS revision 2.1 (header row \"SPS "
                            "V2.1\"; 8 of 8 S rows have the columns of revision 2.1)\n"
                            "info: [<dir>/c.r01]: read as SPS revision 2.1 (header row \"SPS "
                            "V2.1\"; of 6 R rows, 0 fit revision 1 and 5 fit revision 2.1)\n"
                            "info: [<dir>/c.x01]: read as SPS revision 2.1 (header row \"SPS "
                            "V2.1\"; 8 of 8 X rows have the columns of revision 2.1)\n"
                            "warning: 4 source points share a point number with another point; 4 "
                            "shots were added.\n"
                            "info: 4 shots and 6 receivers were added to [SPS SR Geometry].\n"));
        QStringList kinds;
        for (const QByteArray& line : run.out.split('\n'))
            if (line.startsWith("check: "))
                kinds << line;
        QCOMPARE(kinds,
                 (QStringList{"check: revision: 3", "check: shared-number: 4", "check: outlier: 1",
                              "check: precision: 1", "check: relation-receiver-missing: 8",
                              "check: not-a-record: 1",
                              // Then by groups, with severities, and the totals.
                              "check: revision: 3 (note) in 3 groups",
                              "check: shared-number: 4 (note) in 1 group",
                              "check: outlier: 1 (warning) in 1 group",
                              "check: precision: 1 (note) in 1 group",
                              "check: relation-receiver-missing: 8 (warning) in 1 group",
                              "check: not-a-record: 1 (warning) in 1 group",
                              "check: S file " + m_Dir.FilePath("c.s01").toUtf8() +
                                  ": 5 findings: 0 errors, 0 warnings, 5 notes",
                              "check: R file " + m_Dir.FilePath("c.r01").toUtf8() +
                                  ": 4 findings: 0 errors, 2 warnings, 2 notes",
                              "check: X file " + m_Dir.FilePath("c.x01").toUtf8() +
                                  ": 9 findings: 0 errors, 8 warnings, 1 note",
                              "check: in all: 18 findings: 0 errors, 10 warnings, 8 notes"}));
        // The eight X rows of one missing station are one group.
        QVERIFY(run.out.contains("  " + m_Dir.FilePath("c.x01").toUtf8() +
                                 ": line 3001.00: point 4005, 8 times: X rows name receiver "
                                 "stations the R file lacks\n"));
        QCOMPARE(
            m_Dir.Hide(file.readAll()),
            QByteArray(
                "file,row,kind,line,point,index,message,x,y\n"
                "<dir>/c.s01,0,revision,,,,\"SPS revision 2.1: header row \"\"SPS V2.1\"\"; 8 of 8 "
                "S rows have the columns of revision 2.1\",,\n"
                "<dir>/c.s01,2,shared-number,1001.00,2001.00,1,\"point number 2001 is shared by 2 "
                "lines (1001.00, 1002.00); the load keeps one point; a line factor of 10000 keeps "
                "the lines apart\",452000,5812000\n"
                "<dir>/c.s01,3,shared-number,1001.00,2002.00,1,\"point number 2002 is shared by 2 "
                "lines (1001.00, 1002.00); the load keeps one point; a line factor of 10000 keeps "
                "the lines apart\",452050,5812000\n"
                "<dir>/c.s01,4,shared-number,1001.00,2003.00,1,\"point number 2003 is shared by 2 "
                "lines (1001.00, 1002.00); the load keeps one point; a line factor of 10000 keeps "
                "the lines apart\",452100,5812000\n"
                "<dir>/c.s01,5,shared-number,1001.00,2004.00,1,\"point number 2004 is shared by 2 "
                "lines (1001.00, 1002.00); the load keeps one point; a line factor of 10000 keeps "
                "the lines apart\",452150,5812000\n"
                "<dir>/c.r01,0,revision,,,,\"SPS revision 2.1: header row \"\"SPS V2.1\"\"; of 6 R "
                "rows, 0 fit revision 1 and 5 fit revision 2.1\",,\n"
                "<dir>/c.r01,5,outlier,3001.00,4003.00,1,\"4015240.7 from its neighbours along "
                "line 3001.00, whose points lie 50 apart\",452050,9827140.7\n"
                "<dir>/c.r01,0,precision,3001.00,4003.00,1,single precision changes the northing "
                "by up to 0.3 (row 5); 1 of 5 points change by more than 0.05,452050,9827140.7\n"
                "<dir>/c.r01,1,not-a-record,,,,the row does not look like an SPS record: its "
                "columns hold no number where the layout needs one,,\n"
                "<dir>/c.x01,0,revision,,,,\"SPS revision 2.1: header row \"\"SPS V2.1\"\"; 8 of 8 "
                "X rows have the columns of revision 2.1\",,\n"
                "<dir>/c.x01,2,relation-receiver-missing,3001.00,4005,,1 of 6 stations of receiver "
                "line 3001.00 in field record 1 are not in the R file (4005),,\n"
                "<dir>/c.x01,3,relation-receiver-missing,3001.00,4005,,1 of 6 stations of receiver "
                "line 3001.00 in field record 2 are not in the R file (4005),,\n"
                "<dir>/c.x01,4,relation-receiver-missing,3001.00,4005,,1 of 6 stations of receiver "
                "line 3001.00 in field record 3 are not in the R file (4005),,\n"
                "<dir>/c.x01,5,relation-receiver-missing,3001.00,4005,,1 of 6 stations of receiver "
                "line 3001.00 in field record 4 are not in the R file (4005),,\n"
                "<dir>/c.x01,6,relation-receiver-missing,3001.00,4005,,1 of 6 stations of receiver "
                "line 3001.00 in field record 5 are not in the R file (4005),,\n"
                "<dir>/c.x01,7,relation-receiver-missing,3001.00,4005,,1 of 6 stations of receiver "
                "line 3001.00 in field record 6 are not in the R file (4005),,\n"
                "<dir>/c.x01,8,relation-receiver-missing,3001.00,4005,,1 of 6 stations of receiver "
                "line 3001.00 in field record 7 are not in the R file (4005),,\n"
                "<dir>/c.x01,9,relation-receiver-missing,3001.00,4005,,1 of 6 stations of receiver "
                "line 3001.00 in field record 8 are not in the R file (4005),,\n"));
    }

    void sps21Load()
    {
        // Revision 2.1 rows: line 2-11, point 12-21, depth 31-34, easting 47-55,
        // northing 56-65, elevation 66-71 (counted from 1).
        auto row = [](char kind, const char* line, const char* point, const char* depth,
                      const char* x, const char* y, const char* z) {
            QByteArray r(80, ' ');
            r[0] = kind;
            auto put = [&r](int column, int len, const QByteArray& text) {
                r.replace(column - 1 + len - text.size(), text.size(), text);
            };
            put(2, 10, line);
            put(12, 10, point);
            r.replace(23, 3, "1E1");
            put(31, 4, depth);
            put(47, 9, x);
            put(56, 10, y);
            put(66, 6, z);
            return r + "\r\n";
        };
        const QString s = m_Dir.FilePath("s21.sps"), r = m_Dir.FilePath("r21.sps");
        QVERIFY(SPSTest::WriteFile(
            s, "H00 SPS format version num.     SPS 2.1\r\n" +
                   row('S', "1001.00", "2006.00", "12.5", "452050.0", "5812000.5", "95.8") +
                   row('S', "1001.00", "2005.00", "12.5", "452000.5", "5812000.0", "95.3")));
        QVERIFY(SPSTest::WriteFile(
            r, "H00 SPS format version num.     SPS 2.1\r\n" +
                   row('R', "2001.00", "3001.00", "", "451990.2", "5811990.0", "94.1")));
        const ProgramRun run =
            RunProgram(SPSLOAD_PATH, {"--params", example("sps21.txt"), "--csv", "-", s, r});
        QVERIFY(run.ended);
        QCOMPARE(run.err,
                 QByteArray("info: 2 shots and 1 receivers were added to [SPS SR Geometry].\n"));
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, QByteArray("kind,number,x,y,elevation\n"
                                     "S,2005,452000.5,5812000,95.3\n"
                                     "S,2006,452050,5812000.5,95.8\n"
                                     "R,3001,451990.2,5811990,94.1\n"));
    }
};

QTEST_GUILESS_MAIN(TestExampleSurvey)
#include "tst_examplesurvey.moc"
