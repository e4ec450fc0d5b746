#include "SPSNumberedTable.h"
#include "SPSPointTable.h"
#include "SPSTestFolder.h"
#include "SPSTestRows.h"
#include "VeEventsLog.h"
#include "VeTaskSPSFilesLoaderParam.h"
#include "VeThreadSPSFilesLoader.h"

#include <QTranslator>
#include <QtTest>

#include <climits>

using Log = QList<QPair<int, QString>>;

namespace {
Log eventsLog()
{
    Log log;
    for (const VeEventsLogEntry& e : VeEventsLog::Instance()->Entries())
        log.append({int(e.type), e.text});
    return log;
}

QString describe(const SPSPointRecord& p)
{
    return QStringLiteral("%1|%2|%3|%4|%5")
        .arg(SPSPointTable::Key(p.m_strLineName, p.m_strPointText))
        .arg(double(p.m_fDepth), 0, 'g', 10)
        .arg(p.m_dX, 0, 'g', 17)
        .arg(p.m_dY, 0, 'g', 17)
        .arg(p.m_dElevation, 0, 'g', 17);
}

QStringList describe(const SPSPointTable& table)
{
    QStringList out;
    table.ForEach([&out](const QString& key, const SPSPointRecord& p) {
        QCOMPARE(key, SPSPointTable::Key(p.m_strLineName, p.m_strPointText));
        out << describe(p);
    });
    return out;
}

QStringList describe(const SPSNumberedTable& table)
{
    QStringList out;
    table.ForEach([&out](const SPSPointGeometry& p) {
        out << QStringLiteral("%1|%2|%3|%4|%5")
                   .arg(p.m_nNumber)
                   .arg(double(p.m_fDepth), 0, 'g', 10)
                   .arg(p.m_dX, 0, 'g', 17)
                   .arg(p.m_dY, 0, 'g', 17)
                   .arg(p.m_dElevation, 0, 'g', 17);
    });
    return out;
}

SPSPointRecord point(const QString& line, const QString& text, double x, double y = 0,
                     double elevation = 0, float depth = 0)
{
    SPSPointRecord p;
    p.m_strLineName = line;
    p.m_strPointText = text;
    p.m_fDepth = depth;
    p.m_dX = x;
    p.m_dY = y;
    p.m_dElevation = elevation;
    return p;
}

// Names the context of every text it is asked for, so a test sees which
// context a message was translated in.
class ContextTranslator : public QTranslator
{
public:
    QString translate(const char* context, const char* sourceText, const char* = nullptr,
                      int = -1) const override
    {
        return QString::fromLatin1(context) + u':' + QString::fromUtf8(sourceText);
    }
    bool isEmpty() const override { return false; }
};
} // namespace

Q_DECLARE_METATYPE(SPSNumberingSettings)
Q_DECLARE_METATYPE(QList<SPSPointRecord>)

class TestPointFiles : public QObject
{
    Q_OBJECT

private:
    SPSTest::TestFolder m_Dir;

private Q_SLOTS:
    void init() { VeEventsLog::Instance()->Clear(); }

    void readerFailures_data()
    {
        QTest::addColumn<bool>("receiver");
        QTest::addColumn<QString>("path"); // "<dir>" stands for the temporary folder
        QTest::addColumn<Log>("expected");

        const QString missing = "<dir>/no such file.sps";
        QTest::newRow("source, empty name")
            << false << QString() << Log{{3, "Source file name is empty"}};
        QTest::newRow("receiver, empty name")
            << true << QString() << Log{{3, "Receiver file name is empty"}};
        QTest::newRow("source, missing file")
            << false << missing
            << Log{{3, "Cannot open file [<dir>/no such file.sps] for reading!"}};
        QTest::newRow("receiver, missing file")
            << true << missing
            << Log{{3, "Cannot open file [<dir>/no such file.sps] for reading!"}};
        QTest::newRow("source, a folder")
            << false << QString("<dir>") << Log{{3, "Cannot open file [<dir>] for reading!"}};
        QTest::newRow("path with %1 kept as typed")
            << true << QString("<dir>/%1%2")
            << Log{{3, "Cannot open file [<dir>/%1%2] for reading!"}};
    }

    void readerFailures()
    {
        QFETCH(bool, receiver);
        QFETCH(QString, path);
        QFETCH(Log, expected);
        path = m_Dir.Expand(path);
        for (auto& entry : expected)
            entry.second = m_Dir.Expand(entry.second);

        VeTaskSPSFilesLoaderParam param;
        (receiver ? param.ReceiverFileName : param.SourceFileName) = path;
        VeThreadSPSFilesLoader thread;
        thread.m_pParam = &param;
        // A failed reader leaves the table as it was.
        SPSPointTable table;
        table.Add(point("7", "7", 1.5));
        table.Sort();
        QVERIFY(!(receiver ? thread.ReadReceiverFile(table) : thread.ReadSourceFile(table)));
        QCOMPARE(eventsLog(), expected);
        QCOMPARE(describe(table), QStringList{"7_7|0|1.5|0|0"});
    }

    void readersWithoutParameterRecord()
    {
        VeThreadSPSFilesLoader thread;
        SPSPointTable table;
        QVERIFY(!thread.ReadSourceFile(table));
        QVERIFY(!thread.ReadReceiverFile(table));
        QVERIFY(eventsLog().isEmpty());
    }

    void messagesTranslateInTheDataLoadThreadContext()
    {
        ContextTranslator translator;
        QCoreApplication::installTranslator(&translator);
        VeTaskSPSFilesLoaderParam param;
        VeThreadSPSFilesLoader thread;
        thread.m_pParam = &param;
        SPSPointTable table;
        thread.ReadSourceFile(table);
        table.Add(point("1", "5", 0));
        table.Add(point("2", "5", 0));
        table.Sort();
        SPSNumberedTable receivers;
        thread.NumberReceiverPoints(receivers, table, {});
        QCoreApplication::removeTranslator(&translator);
        QCOMPARE(eventsLog(),
                 (Log{{3, "VeDataLoadThread:Source file name is empty"},
                      {2, "VeDataLoadThread:1 receiver points share a point number with another "
                          "point; 1 receivers were added."}}));
    }

    void readTables_data()
    {
        QTest::addColumn<bool>("receiver");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected"); // key|depth|x|y|elevation in visiting order

        const QByteArray header = "H26 survey header\r\nH00 more\r\n";
        QTest::newRow("later row with the same key wins, field for field")
            << false
            << header +
                   SPSTest::Row('S', "1001", "2005", "12.5", "600000.5", "5500000.1", "101.2") +
                   SPSTest::Row('S', "1001", "2005", "", "600010", "5500010", "99")
            << QStringList{"1001_2005|0|600010|5500010|99"};
        QTest::newRow("one point text on two lines gives two points")
            << false
            << SPSTest::Row('S', "1", "101", "1", "10", "20", "30") +
                   SPSTest::Row('S', "2", "101", "2", "11", "21", "31")
            << QStringList{"1_101|1|10|20|30", "2_101|2|11|21|31"};
        QTest::newRow("keys visited in code-unit order, not by number")
            << true
            << SPSTest::Row('R', "9", "5", "", "1", "0", "0") +
                   SPSTest::Row('R', "10", "5", "", "2", "0", "0") +
                   SPSTest::Row('R', "1001", "99", "", "3", "0", "0") +
                   SPSTest::Row('R', "1001", "100", "", "4", "0", "0")
            << QStringList{"1001_100|0|4|0|0", "1001_99|0|3|0|0", "10_5|0|2|0|0", "9_5|0|1|0|0"};
        QTest::newRow("receiver depth is 0 whatever the depth columns hold")
            << true << SPSTest::Row('R', "3", "7", "45.5", "1", "2", "3")
            << QStringList{"3_7|0|1|2|3"};
        QTest::newRow("blank depth and non-numeric fields are 0")
            << false << SPSTest::Row('S', "3", "7", "", "12a", "", "x")
            << QStringList{"3_7|0|0|0|0"};
        QTest::newRow("blank line and point make the key _")
            << false << SPSTest::Row('S', "", "", "1", "5", "6", "7") << QStringList{"_|1|5|6|7"};
        QTest::newRow("texts are trimmed, inner blanks kept")
            << false << SPSTest::Row('S', "A 7     ", "\t12A  ", "", "", "", "")
            << QStringList{"A 7_12A|0|0|0|0"};
    }

    void readTables()
    {
        QFETCH(bool, receiver);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        const QString path = m_Dir.FilePath("points.sps");
        QVERIFY(SPSTest::WriteFile(path, bytes));

        VeTaskSPSFilesLoaderParam param;
        param.SourceFileName = path;
        param.ReceiverFileName = path;
        VeThreadSPSFilesLoader thread;
        thread.m_pParam = &param;
        SPSPointTable table;
        table.Add(point("old", "1", 0)); // a reader starts from an empty table
        QVERIFY(receiver ? thread.ReadReceiverFile(table) : thread.ReadSourceFile(table));
        QCOMPARE(describe(table), expected);
        QVERIFY(eventsLog().isEmpty());
    }

    void fileWithoutPointsIsReportedButNoFailure_data()
    {
        QTest::addColumn<bool>("receiver");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("source, headers only")
            << false << QByteArray("H1\r\nH2\r\n") << "No source points found in [<path>]";
        QTest::newRow("receiver, empty file")
            << true << QByteArray() << "No receiver points found in [<path>]";
        QTest::newRow("receiver file holding source rows")
            << true << SPSTest::Row('S', "1", "1", "", "1", "1", "1")
            << "No receiver points found in [<path>]";
    }

    void fileWithoutPointsIsReportedButNoFailure()
    {
        QFETCH(bool, receiver);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        const QString path = m_Dir.FilePath("empty.sps");
        QVERIFY(SPSTest::WriteFile(path, bytes));
        VeTaskSPSFilesLoaderParam param;
        param.SourceFileName = param.ReceiverFileName = path;
        VeThreadSPSFilesLoader thread;
        thread.m_pParam = &param;
        SPSPointTable table;
        QVERIFY(receiver ? thread.ReadReceiverFile(table) : thread.ReadSourceFile(table));
        QVERIFY(table.IsEmpty());
        QCOMPARE(eventsLog(), (Log{{2, expected.replace("<path>", path)}}));
    }

    void numbering_data()
    {
        QTest::addColumn<bool>("receiver");
        QTest::addColumn<QList<SPSPointRecord>>("points");
        QTest::addColumn<SPSNumberingSettings>("settings");
        QTest::addColumn<QStringList>("expected"); // number|depth|x|y|elevation, ascending
        QTest::addColumn<Log>("log");

        const SPSNumberingSettings none;
        const QList<SPSPointRecord> plain{point("1", "101", 10, 20, 30, 4),
                                          point("1", "0102", 11, 21, 31, 5)};
        const QStringList plainOut{"101|4|10|20|30", "102|5|11|21|31"};

        QTest::newRow("same number on two lines: the later key's values")
            << false << QList<SPSPointRecord>{point("2", "101", 2), point("1", "101", 1)} << none
            << QStringList{"101|0|2|0|0"}
            << Log{{2, "1 source points share a point number with another point; 1 shots were "
                       "added."}};
        QTest::newRow("101 and 101.5 on one line: the values of 101.5")
            << true << QList<SPSPointRecord>{point("1", "101.5", 5), point("1", "101", 1)} << none
            << QStringList{"101|0|5|0|0"}
            << Log{{2, "1 receiver points share a point number with another point; 1 receivers "
                       "were added."}};
        QTest::newRow("blank point texts become one point 0")
            << false
            << QList<SPSPointRecord>{point("1", "", 1), point("2", "", 2), point("3", "", 3),
                                     point("3", "7", 7)}
            << none << QStringList{"0|0|3|0|0", "7|0|7|0|0"}
            << Log{{2, "2 source points share a point number with another point; 2 shots were "
                       "added."}};
        QTest::newRow("ascending numbers, not key order")
            << true << QList<SPSPointRecord>{point("1", "20", 2), point("1", "3", 1)} << none
            << QStringList{"3|0|1|0|0", "20|0|2|0|0"} << Log{};
        QTest::newRow("settings 0 change nothing") << false << plain << none << plainOut << Log{};
        QTest::newRow("settings 1 change nothing")
            << false << plain << SPSNumberingSettings{1, 1, 1, 1} << plainOut << Log{};
        QTest::newRow("shot factor numbers shots only")
            << false << plain << SPSNumberingSettings{3, 5, 0, 0}
            << QStringList{"303|4|10|20|30", "306|5|11|21|31"} << Log{};
        QTest::newRow("receiver factor numbers receivers only")
            << true << plain << SPSNumberingSettings{3, -1, 0, 0}
            << QStringList{"-102|5|11|21|31", "-101|4|10|20|30"} << Log{};
        QTest::newRow("coordinate scalar -10 multiplies X and Y by 10")
            << false << plain << SPSNumberingSettings{0, 0, -10, 0}
            << QStringList{"101|4|100|200|30", "102|5|110|210|31"} << Log{};
        QTest::newRow("coordinate scalar 100 divides X and Y by 100")
            << false << plain << SPSNumberingSettings{0, 0, 100, 0}
            << QStringList{"101|4|0.10000000000000001|0.20000000000000001|30",
                           "102|5|0.11|0.20999999999999999|31"}
            << Log{};
        QTest::newRow("elevation scalar scales elevation and source depth")
            << false << plain << SPSNumberingSettings{0, 0, 0, -2}
            << QStringList{"101|8|10|20|60", "102|10|11|21|62"} << Log{};
        QTest::newRow("elevation scalar divides")
            << false << plain << SPSNumberingSettings{0, 0, 0, 4}
            << QStringList{"101|1|10|20|7.5", "102|1.25|11|21|7.75"} << Log{};

        // Products beyond 32 bits keep their low 32 bits, and the log says
        // which number left the range first and what factor would fit.
        const auto wrapped = [](const char* kind, const char* factor, const char* number,
                                const char* value, const char* largest) {
            return std::make_pair(
                2, QString("%1 factor %2 takes point number %3 of [] to %4, beyond the signed "
                           "32-bit point numbers, and the numbers wrap; the largest %5 factor "
                           "that fits every point is %6.")
                       .arg(kind, factor, number, value, QString(kind).toLower(), largest));
        };
        QTest::newRow("product wraps to the low 32 bits")
            << false << QList<SPSPointRecord>{point("1", "1500000000", 0)}
            << SPSNumberingSettings{2, 0, 0, 0} << QStringList{"-1294967296|0|0|0|0"}
            << Log{wrapped("Shot", "2", "1500000000", "3000000000", "1")};
        QTest::newRow("factor INT_MIN")
            << false
            << QList<SPSPointRecord>{point("1", "1", 0), point("1", "2", 1), point("1", "3", 2)}
            << SPSNumberingSettings{INT_MIN, 0, 0, 0}
            << QStringList{"-2147483648|0|2|0|0", "0|0|1|0|0"}
            << Log{wrapped("Shot", "-2147483648", "2", "-4294967296", "-715827882"),
                   {2, "1 source points share a point number with another point; 2 shots were "
                       "added."}};
        QTest::newRow("number INT_MIN times -1 stays INT_MIN")
            << true << QList<SPSPointRecord>{point("1", "2147483648", 0)}
            << SPSNumberingSettings{0, -1, 0, 0} << QStringList{"-2147483648|0|0|0|0"}
            << Log{wrapped("Receiver", "-1", "-2147483648", "2147483648", "0")};
        QTest::newRow("number INT_MIN times INT_MIN is 0")
            << true << QList<SPSPointRecord>{point("1", "2147483648", 0)}
            << SPSNumberingSettings{0, INT_MIN, 0, 0} << QStringList{"0|0|0|0|0"}
            << Log{wrapped("Receiver", "-2147483648", "-2147483648", "4611686018427387904", "0")};
        QTest::newRow("line factor beyond 32 bits")
            << false << QList<SPSPointRecord>{point("2", "101", 1), point("1", "5", 2)}
            << SPSNumberingSettings{0, 0, 0, 0, 2000000000}
            << QStringList{"-294967195|0|1|0|0", "2000000005|0|2|0|0"}
            << Log{{2, "Line factor 2000000000 takes line 2 point 101 of [] to 4000000101, "
                       "beyond the signed 32-bit point numbers, and the numbers wrap; the "
                       "largest line factor that fits every row is 1073741773."}};
        QTest::newRow("largest line factor that fits says nothing")
            << false << QList<SPSPointRecord>{point("2", "101", 1), point("1", "5", 2)}
            << SPSNumberingSettings{0, 0, 0, 0, 1073741773}
            << QStringList{"1073741778|0|2|0|0", "2147483647|0|1|0|0"} << Log{};
        QTest::newRow("negative line factor")
            << false << QList<SPSPointRecord>{point("3", "0", 1)}
            << SPSNumberingSettings{0, 0, 0, 0, -1000000000} << QStringList{"1294967296|0|1|0|0"}
            << Log{{2, "Line factor -1000000000 takes line 3 point 0 of [] to -3000000000, "
                       "beyond the signed 32-bit point numbers, and the numbers wrap; the "
                       "largest line factor that fits every row is -715827882."}};
        QTest::newRow("scalars INT_MIN multiply by 2^31")
            << false << QList<SPSPointRecord>{point("1", "1", 1, -0.5, 2, 1)}
            << SPSNumberingSettings{0, 0, INT_MIN, INT_MIN}
            << QStringList{"1|2147483648|2147483648|-1073741824|4294967296"} << Log{};
        QTest::newRow("scalars INT_MAX divide")
            << false << QList<SPSPointRecord>{point("1", "1", 2147483647, 0, 4294967294)}
            << SPSNumberingSettings{0, 0, INT_MAX, INT_MAX} << QStringList{"1|0|1|0|2"} << Log{};
    }

    void numbering()
    {
        QFETCH(bool, receiver);
        QFETCH(QList<SPSPointRecord>, points);
        QFETCH(SPSNumberingSettings, settings);
        QFETCH(QStringList, expected);
        QFETCH(Log, log);

        SPSPointTable table;
        for (const SPSPointRecord& p : points)
            table.Add(p);
        table.Sort();
        VeThreadSPSFilesLoader thread;
        SPSNumberedTable numbered;
        numbered.Add({424242, 0, 0, 0, 0}); // a numbering starts from an empty table
        if (receiver)
            thread.NumberReceiverPoints(numbered, table, settings);
        else
            thread.NumberSourcePoints(numbered, table, settings);
        QCOMPARE(describe(numbered), expected);
        QCOMPARE(eventsLog(), log);
    }

    void settingsAreZeroUnlessSet()
    {
        VeThreadSPSFilesLoader thread;
        const SPSNumberingSettings& s = thread.NumberingSettings();
        QCOMPARE(s.ShotNumberFactor, 0);
        QCOMPARE(s.ReceiverNumberFactor, 0);
        QCOMPARE(s.CoordinateScalar, 0);
        QCOMPARE(s.ElevationScalar, 0);
        QVERIFY(!thread.m_pParam);
        QVERIFY(!thread.m_pTargetNode);
        QCOMPARE(thread.GetTitle(), QString("Load SPS Files"));
        QCOMPARE(thread.GetDescription(), QString("Load SPS Files and create or refresh object"));
    }
};

QTEST_GUILESS_MAIN(TestPointFiles)
#include "tst_pointfiles.moc"
