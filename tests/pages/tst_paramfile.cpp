#include "SPSFormatValues.h"
#include "SPSParamFile.h"

#include <QtTest>

#include "FileSizeLimit.h"

// The saved default page, typed out line by line.
static QByteArray defaultFileBytes()
{
    const char* lines[] = {
        "Tarvel SPS File Load Parameter",
        "version = 1",
        "AutoSkipS = 1",
        "AutoSkipR = 1",
        "AutoSkipX = 1",
        "SkipPosS  = 72",
        "SkipPosR  = 72",
        "SkipPosX  = 72",
        "SrcLinePos    = 2",
        "SrcLineLen    = 16",
        "SrcIDPos      = 18",
        "SrcIDLen      = 8",
        "SrcCoordX     = 47",
        "SrcCoordXLen  = 9",
        "SrcCoordY     = 56",
        "SrcCoordYLen  = 10",
        "SrcElevPos    = 66",
        "SrcElevLen    = 6",
        "SrcWellPos    = 33",
        "SrcWellLen    = 4",
        "RecvLinePos   = 2",
        "RecvLineLen   = 16",
        "RecvIDPos     = 18",
        "RecvIDLen     = 8",
        "RecvCoordX    = 47",
        "RecvCoordXLen = 9",
        "RecvCoordY    = 56",
        "RecvCoordYLen = 10",
        "RecvElevPos   = 66",
        "RecvElevLen   = 6",
        "XRecordNumPos     = 8",
        "XRecordNumLen     = 4",
        "XFirstChannelPos  = 39",
        "XFirstChannelLen  = 4",
        "XLastChannelPos   = 43",
        "XLastChannelLen   = 4",
        "XChannelIncrPos   = 47",
        "XChannelIncrLen   = 1",
        "XSrcLinePos       = 14",
        "XSrcLineLen       = 16",
        "XSrcIDPos         = 30",
        "XSrcIDLen         = 8",
        "XRecvLinePos      = 48",
        "XRecvLineLen      = 16",
        "XFirstRecvIDPos   = 64",
        "XFirstRecvIDLen   = 8",
        "XLastRecvIDPos    = 72",
        "XLastRecvIDLen    = 8",
    };
    QByteArray bytes;
    for (const char* line : lines)
        bytes += QByteArray(line) + " \r\n";
    return bytes;
}

class TestParamFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_Dir;

    QString fileWith(const QByteArray& bytes)
    {
        static int n = 0;
        const QString path = m_Dir.filePath(QString("p%1.txt").arg(++n));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write test file");
        return path;
    }

    static QByteArray readAll(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<cannot open>");
    }

private Q_SLOTS:
    void savedDefaults()
    {
        const QString path = m_Dir.filePath("defaults.txt");
        QVERIFY(SPSParamFile::Write(path, SPSFormatValues()));
        const QByteArray bytes = readAll(path);
        QCOMPARE(bytes, defaultFileBytes());
        QCOMPARE(bytes.count("\r\n"), 48);
        QVERIFY(bytes.startsWith("Tarvel SPS File Load Parameter \r\nversion = 1 \r\n"));
    }

    void valuesWrittenAsIntegers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("letters") << "abc" << QByteArray("SrcIDLen      = 0 \r\n");
        QTest::newRow("empty") << "" << QByteArray("SrcIDLen      = 0 \r\n");
        QTest::newRow("negative") << "-12" << QByteArray("SrcIDLen      = -12 \r\n");
        QTest::newRow("blanks and plus") << " +7 " << QByteArray("SrcIDLen      = 7 \r\n");
        QTest::newRow("beyond 32 bits")
            << "5000000000" << QByteArray("SrcIDLen      = 5000000000 \r\n");
    }

    void valuesWrittenAsIntegers()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, line);
        SPSFormatValues v;
        v.SetValue("SrcIDLen", text);
        v.SetValue("AutoSkipR", "0");
        const QString path = m_Dir.filePath("ints.txt");
        QVERIFY(SPSParamFile::Write(path, v));
        const QByteArray bytes = readAll(path);
        QVERIFY2(bytes.contains("\n" + line), bytes.constData());
        QVERIFY(bytes.contains("\nAutoSkipR = 0 \r\n"));
    }

    void reading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("changes"); // key=value differences from the defaults

        const QByteArray head = "title\nversion = 1\n";
        QTest::newRow("empty file")
            << QByteArray() << int(SPSParamFile::InvalidVersion) << QStringList();
        QTest::newRow("title only") << QByteArray("Tarvel SPS File Load Parameter \r\n")
                                    << int(SPSParamFile::InvalidVersion) << QStringList();
        QTest::newRow("version only, no values")
            << QByteArray("\nversion = 1") << int(SPSParamFile::Ok) << QStringList();
        QTest::newRow("version in capitals, colon, fourth token")
            << QByteArray("x\n  VeRsIoN\t:   1  extra\nSrcIDPos = 20\n") << int(SPSParamFile::Ok)
            << QStringList{"SrcIDPos=20"};
        QTest::newRow("version 01") << QByteArray("x\nversion = 01\nSrcIDPos = 20\n")
                                    << int(SPSParamFile::InvalidVersion) << QStringList();
        QTest::newRow("version 1.0") << QByteArray("x\nversion = 1.0\n")
                                     << int(SPSParamFile::InvalidVersion) << QStringList();
        QTest::newRow("version= 1")
            << QByteArray("x\nversion= 1\n") << int(SPSParamFile::InvalidVersion) << QStringList();
        QTest::newRow("version 1 without =")
            << QByteArray("x\nversion 1\n") << int(SPSParamFile::InvalidVersion) << QStringList();
        QTest::newRow("other word") << QByteArray("x\nrevision = 1\n")
                                    << int(SPSParamFile::InvalidVersion) << QStringList();
        QTest::newRow("version on the first line")
            << QByteArray("version = 1\nSrcIDPos = 20\n") << int(SPSParamFile::InvalidVersion)
            << QStringList();
        QTest::newRow("key case") << head + "srcidpos = 20\nSRCIDPOS = 21\n"
                                  << int(SPSParamFile::Ok) << QStringList();
        QTest::newRow("two tokens") << head + "SrcIDPos =20\nSrcIDLen=9\n"
                                    << int(SPSParamFile::Ok) << QStringList();
        QTest::newRow("four tokens") << head + "SrcIDPos = 20 21\n"
                                     << int(SPSParamFile::Ok) << QStringList();
        QTest::newRow("middle token not =")
            << head + "SrcIDPos : 20\nSrcIDLen is 9\n"
            << int(SPSParamFile::Ok) << QStringList{"SrcIDPos=20", "SrcIDLen=9"};
        QTest::newRow("tabs and CRLF") << head + "\tXSrcIDPos\t=\t31 \r\n"
                                       << int(SPSParamFile::Ok) << QStringList{"XSrcIDPos=31"};
        QTest::newRow("last occurrence wins")
            << head + "SrcIDPos = 20\nSrcIDLen = 3\nSrcIDPos = 22\n"
            << int(SPSParamFile::Ok) << QStringList{"SrcIDPos=22", "SrcIDLen=3"};
        QTest::newRow("values kept as text")
            << head + "SrcIDPos = abc\nSrcIDLen = -4\nRecvIDPos = 007\n"
            << int(SPSParamFile::Ok) << QStringList{"SrcIDPos=abc", "SrcIDLen=-4", "RecvIDPos=007"};
        QTest::newRow("auto-skip by number")
            << head + "AutoSkipS = 0\nAutoSkipR = 2\nAutoSkipX = no\n"
            << int(SPSParamFile::Ok) << QStringList{"AutoSkipS=0", "AutoSkipX=0"};
        QTest::newRow("unknown key") << head + "Colour = 3\n"
                                     << int(SPSParamFile::Ok) << QStringList();
        QTest::newRow("no terminator on the last line")
            << head + "XLastRecvIDLen = 9" << int(SPSParamFile::Ok)
            << QStringList{"XLastRecvIDLen=9"};
        // A line is read 10000 characters at a time: what lies beyond is a line of its own.
        QTest::newRow("long line")
            << head + "SrcIDPos = 20" + QByteArray(9987, ' ') + "SrcIDLen = 9\n"
            << int(SPSParamFile::Ok) << QStringList{"SrcIDPos=20", "SrcIDLen=9"};
        QTest::newRow("long line, too many tokens within the limit")
            << head + "SrcIDPos = 20 x" + QByteArray(9985, ' ') + "SrcIDLen = 9\n"
            << int(SPSParamFile::Ok) << QStringList{"SrcIDLen=9"};
    }

    void reading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        QFETCH(QStringList, changes);

        // Start from values that differ from the file's, so a change is seen.
        SPSFormatValues values;
        SPSFormatValues expected;
        for (const QString& c : changes) {
            const qsizetype eq = c.indexOf('=');
            expected.SetValue(c.left(eq), c.mid(eq + 1));
        }
        QCOMPARE(int(SPSParamFile::Read(fileWith(bytes), &values)), status);
        for (const QString& key : SPSFormatValues::Keys())
            QCOMPARE(values.Value(key), expected.Value(key));
    }

    void notApplyingWhenRejected()
    {
        SPSFormatValues values;
        values.SetValue("SrcIDPos", "99");
        QCOMPARE(SPSParamFile::Read(fileWith("t\nversion = 2\nSrcIDPos = 20\n"), &values),
                 SPSParamFile::InvalidVersion);
        QCOMPARE(values.Value("SrcIDPos"), QString("99"));
        QCOMPARE(SPSParamFile::Read(m_Dir.filePath("missing.txt"), &values),
                 SPSParamFile::CannotOpen);
        QCOMPARE(SPSParamFile::Read(m_Dir.path(), &values), SPSParamFile::CannotOpen);
        QCOMPARE(values.Value("SrcIDPos"), QString("99"));
    }

    void roundTrip()
    {
        SPSFormatValues saved;
        int n = -3;
        for (const QString& key : SPSFormatValues::Keys())
            saved.SetValue(key, QString::number(n++ * 37));
        const QString path = m_Dir.filePath("round.txt");
        QVERIFY(SPSParamFile::Write(path, saved));
        SPSFormatValues read;
        QCOMPARE(SPSParamFile::Read(path, &read), SPSParamFile::Ok);
        QCOMPARE(read, saved);
        // The file of a fresh page reads back as a fresh page.
        QVERIFY(SPSParamFile::Write(path, SPSFormatValues()));
        QCOMPARE(SPSParamFile::Read(path, &read), SPSParamFile::Ok);
        QCOMPARE(read, SPSFormatValues());
    }

    void failedWriteKeepsEarlierFile()
    {
        const QString path = m_Dir.filePath("earlier.txt");
        QVERIFY(SPSParamFile::Write(path, SPSFormatValues()));
        SPSFormatValues changed;
        changed.SetValue("SrcIDPos", "20");
        const QString fresh = m_Dir.filePath("earlier-new.txt");
        bool written = true;
        bool freshWritten = true;
        {
            const FileSizeLimit limit(100);
            written = SPSParamFile::Write(path, changed);
            freshWritten = SPSParamFile::Write(fresh, changed);
        }
        QVERIFY(!written);
        QVERIFY(!freshWritten);
        QVERIFY(!QFile::exists(fresh));
        QCOMPARE(readAll(path), defaultFileBytes());
        // Nothing left beside it either.
        QCOMPARE(QDir(m_Dir.path()).entryList({"earlier*"}, QDir::Files),
                 QStringList{"earlier.txt"});
    }

    void cannotWrite()
    {
        QVERIFY(!SPSParamFile::Write(m_Dir.path(), SPSFormatValues()));
        QVERIFY(!SPSParamFile::Write(m_Dir.filePath("no/such/folder/p.txt"), SPSFormatValues()));
    }
};

QTEST_GUILESS_MAIN(TestParamFile)
#include "tst_paramfile.moc"
