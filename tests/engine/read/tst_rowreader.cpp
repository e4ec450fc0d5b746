#include "SPSNumbers.h"
#include "SPSRevisionChoice.h"
#include "SPSRowReader.h"
#include "SPSTestFolder.h"
#include "SPSTestRows.h"
#include "SPSTestRows21.h"

#include <QBuffer>
#include <QtTest>

#include <climits>
#include <sys/stat.h>

class TestRowReader : public QObject
{
    Q_OBJECT

private:
    static QStringList readAll(const QByteArray& bytes, QChar letter, bool autoSkip, int skip)
    {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        SPSRowReader reader(&buffer, letter, autoSkip, skip);
        QStringList rows;
        while (reader.NextRecord())
            rows << reader.Row();
        return rows;
    }

private Q_SLOTS:
    void records_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("autoSkip");
        QTest::addColumn<int>("skip");
        QTest::addColumn<QStringList>("expected");

        QByteArray header72;
        for (int i = 0; i < 72; ++i)
            header72 += "H header row\n";

        QTest::newRow("empty, automatic") << QByteArray() << true << 72 << QStringList();
        QTest::newRow("empty, fixed") << QByteArray() << false << 0 << QStringList();
        QTest::newRow("automatic: first S row after headers")
            << QByteArray("H1\nH2\nH3\nS1 a\nS2 b\n") << true << 72 << QStringList{"S1 a", "S2 b"};
        QTest::newRow("automatic: no row carries the letter")
            << QByteArray("H1\nR1\nR2\n") << true << 0 << QStringList();
        QTest::newRow("automatic: only rows with the letter after the first record")
            << QByteArray("junk\nS\nH1\nS1\nH2\n\nC note\nX9\nS2\n\n\x1a") << true << 0
            << QStringList{"S", "S1", "S2"};
        QTest::newRow("automatic: letters compare exactly")
            << QByteArray("s1\n S2\nS3\n") << true << 0 << QStringList{"S3"};
        QTest::newRow("automatic: skip count ignored")
            << QByteArray("S1\nS2\n") << true << 1 << QStringList{"S1", "S2"};
        QTest::newRow("fixed 72 with 72 header rows")
            << header72 + "S first\nS second\n"
            << false << 72 << QStringList{"S first", "S second"};
        QTest::newRow("fixed count beyond the rows")
            << QByteArray("S1\nS2\n") << false << 5 << QStringList();
        QTest::newRow("fixed count equal to the rows")
            << QByteArray("S1\nS2") << false << 2 << QStringList();
        QTest::newRow("fixed 0 takes the first row")
            << QByteArray("S1\nS2\n") << false << 0 << QStringList{"S1", "S2"};
        QTest::newRow("fixed negative count acts as 0")
            << QByteArray("S1\n") << false << -3 << QStringList{"S1"};
        QTest::newRow("fixed: rows without letters, last one kept")
            << QByteArray("title\n1  100\n2  200") << false << 1 << QStringList{"1  100", "2  200"};
        QTest::newRow("fixed: one-row file without letter")
            << QByteArray("1 100") << false << 0 << QStringList{"1 100"};
        QTest::newRow("fixed: comments and blank rows passed over")
            << QByteArray("H\nS1\nC comment\n   \n\t\n\nH mid\nS2\n\x1a\n") << false << 1
            << QStringList{"S1", "H mid", "S2"};
        QTest::newRow("fixed: trailing comment and empty line")
            << QByteArray("S1\nC end\n\n") << false << 0 << QStringList{"S1"};
        QTest::newRow("CRLF endings")
            << QByteArray("H\r\nS1 x\r\nS2 y\r\n") << true << 0 << QStringList{"S1 x", "S2 y"};
        QTest::newRow("receiver letter")
            << QByteArray("S1\nR1\nR2\n") << true << 0 << QStringList{"R1", "R2"};
    }

    void records()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, autoSkip);
        QFETCH(int, skip);
        QFETCH(QStringList, expected);
        const QChar letter = QTest::currentDataTag() == QByteArray("receiver letter") ? u'R' : u'S';
        QCOMPARE(readAll(bytes, letter, autoSkip, skip), expected);
    }

    void fields_data()
    {
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<int>("pos");
        QTest::addColumn<int>("len");
        QTest::addColumn<QString>("expected");

        QTest::newRow("trimmed both ends") << QByteArray("S  ab cd  x") << 1 << 8 << "ab cd";
        QTest::newRow("runs past the end") << QByteArray("S1234") << 2 << 10 << "234";
        QTest::newRow("starts at the end") << QByteArray("S1234") << 5 << 3 << "";
        QTest::newRow("starts past the end") << QByteArray("S12") << 40 << 4 << "";
        QTest::newRow("CRLF not part of the field") << QByteArray("S 12  \r\n") << 1 << 10 << "12";
        QTest::newRow("two-byte UTF-8 is one unit") << QByteArray("S\xc3\xa9"
                                                                  "ab")
                                                    << 1 << 2
                                                    << QString::fromUtf8("\xc3\xa9"
                                                                         "a");
        QTest::newRow("a character outside the BMP is two units") << QByteArray("S\xf0\x9f\x98\x80"
                                                                                "12")
                                                                  << 3 << 2 << "12";
        QTest::newRow("tab is white space") << QByteArray("S\t7\t") << 1 << 3 << "7";
    }

    void fields()
    {
        QFETCH(QByteArray, row);
        QFETCH(int, pos);
        QFETCH(int, len);
        QFETCH(QString, expected);
        QBuffer buffer(&row);
        buffer.open(QIODevice::ReadOnly);
        SPSRowReader reader(&buffer, u'S', true, 0);
        QVERIFY(reader.NextRecord());
        QCOMPARE(reader.FieldText(pos, len), expected);
    }

    void numbers_data()
    {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<double>("real");
        QTest::addColumn<float>("single");

        QTest::newRow("plain") << QByteArray("600123.4") << 600123.4 << 600123.4f;
        QTest::newRow("negative") << QByteArray("-3.25") << -3.25 << -3.25f;
        QTest::newRow("exponent") << QByteArray("1.5e3") << 1500.0 << 1500.0f;
        QTest::newRow("letters after digits") << QByteArray("12a") << 0.0 << 0.0f;
        QTest::newRow("blanks only") << QByteArray("      ") << 0.0 << 0.0f;
        QTest::newRow("empty") << QByteArray("") << 0.0 << 0.0f;
        QTest::newRow("inner blank") << QByteArray("1 2") << 0.0 << 0.0f;
    }

    void numbers()
    {
        QFETCH(QByteArray, field);
        QFETCH(double, real);
        QFETCH(float, single);
        QByteArray row = "S" + field.leftJustified(10, ' ') + "|";
        QBuffer buffer(&row);
        buffer.open(QIODevice::ReadOnly);
        SPSRowReader reader(&buffer, u'S', true, 0);
        QVERIFY(reader.NextRecord());
        QCOMPARE(reader.RealField(1, 10), real);
        QCOMPARE(reader.FloatField(1, 10), single);
    }

    void pointNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");

        QTest::newRow("plain") << "1001" << 1001;
        QTest::newRow("fraction truncated") << "101.7" << 101;
        QTest::newRow("letters dropped") << "A12B3" << 123;
        QTest::newRow("sign dropped") << "-17" << 17;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("two points") << "1.2.3" << 0;
        QTest::newRow("leading zero") << "0101" << 101;
        QTest::newRow("trailing letter") << "101A" << 101;
        QTest::newRow("point alone") << "." << 0;
        QTest::newRow("low 32 bits of 2^32+1") << "4294967297" << 1;
        QTest::newRow("2^31 wraps to INT_MIN") << "2147483648" << INT_MIN;
        QTest::newRow("largest double below 2^63") << "9223372036854774784" << -1024;
        QTest::newRow("2^63 is out of range") << "9223372036854775808" << 0;
        QTest::newRow("rounds up to 2^63") << "9223372036854775807" << 0;
        QTest::newRow("overflows to infinity") << QString(400, u'9') << 0;
    }

    void pointNumber()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(PointNumberFromText(text), expected);
    }

    // The one answer of spsload --revision auto and the Format page's
    // detection: only a regular file is read, and a file whose revision
    // cannot be told keeps the layout in use.
    void revisionChoice_data()
    {
        QTest::addColumn<QString>("path"); // "<dir>" is a folder of the test's own
        QTest::addColumn<SPSRevisionChoice::Gate>("gate");
        QTest::addColumn<SPSRevision>("revision");
        using Gate = SPSRevisionChoice::Gate;
        QTest::newRow("no path") << "" << Gate::NoPath << SPSRevision::Unknown;
        QTest::newRow("missing") << "<dir>/none" << Gate::Missing << SPSRevision::Unknown;
        QTest::newRow("dangling link") << "<dir>/dangling" << Gate::Missing << SPSRevision::Unknown;
        QTest::newRow("folder") << "<dir>" << Gate::NotRegularFile << SPSRevision::Unknown;
        QTest::newRow("FIFO") << "<dir>/fifo" << Gate::NotRegularFile << SPSRevision::Unknown;
        QTest::newRow("device") << "/dev/zero" << Gate::NotRegularFile << SPSRevision::Unknown;
        QTest::newRow("revision unknown: the layout in use stays")
            << "<dir>/unknown.sps" << Gate::Read << SPSRevision::Unknown;
        QTest::newRow("revision 2.1 through a link")
            << "<dir>/link21" << Gate::Read << SPSRevision::Revision21;
    }

    void revisionChoice()
    {
        QFETCH(QString, path);
        QFETCH(SPSRevisionChoice::Gate, gate);
        QFETCH(SPSRevision, revision);
        const SPSTest::TestFolder dir;
        // Rows of neither revision's columns; and rows of 2.1 under no header.
        QVERIFY(dir.Put("unknown.sps", "H26\r\n" +
                                           SPSTest::Row('S', "1", "101", "", "1", "2", "3") +
                                           SPSTest::Row('S', "1", "102", "", "1", "2", "3") +
                                           SPSTest::Row('S', "1", "103", "", "1", "2", "3")));
        QByteArray rows21;
        for (const QByteArray p : {"101", "102", "103"})
            rows21 += sps21::pointRow('S', "1001", p, "1.0", "2.0") + "\r\n";
        QVERIFY(dir.Put("s21.sps", rows21));
        QVERIFY(QFile::link("s21.sps", dir.FilePath("link21")));
        QVERIFY(QFile::link("none", dir.FilePath("dangling")));
        QCOMPARE(mkfifo(QFile::encodeName(dir.FilePath("fifo")).constData(), 0600), 0);

        const SPSRevisionChoice choice = SPSChooseRevision(dir.Expand(path), u'S');
        QCOMPARE(choice.gate, gate);
        QCOMPARE(choice.revision, revision);
        // A file read says why, whatever its verdict; one not read says nothing.
        QCOMPARE(choice.verdict.evidence.isEmpty(), gate != SPSRevisionChoice::Gate::Read);
    }
};

QTEST_GUILESS_MAIN(TestRowReader)
#include "tst_rowreader.moc"
