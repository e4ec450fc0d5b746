#include "SPSFormatValues.h"
#include "SPSLayout.h"
#include "VeTaskSPSFilesLoaderParam.h"

#include <QtTest>

// The record's integer fields as a name -> value map, so that records can be
// compared field by field with readable failures.
static QMap<QString, qint64> fieldsOf(const VeTaskSPSFilesLoaderParam& p)
{
    QMap<QString, qint64> m;
    for (const SPSLayout::Field& f : SPSLayout::Fields())
        m[QString::fromLatin1(f.key)] = SPSLayout::Value(p, f);
    return m;
}

// A record whose every field differs from the standard layout, to see what is written.
static void scramble(VeTaskSPSFilesLoaderParam* p)
{
    for (const SPSLayout::Field& f : SPSLayout::Fields())
        SPSLayout::SetValue(p, f, f.kind == SPSLayout::Kind::AutoSkip ? 0 : -777);
}

// The positions, as SPS headers count columns; every other value is a count.
static const QStringList kPositions = {
    "SrcLinePos",      "SrcIDPos",        "SrcWellPos",   "SrcCoordX",       "SrcCoordY",
    "SrcElevPos",      "RecvLinePos",     "RecvIDPos",    "RecvCoordX",      "RecvCoordY",
    "RecvElevPos",     "XRecordNumPos",   "XSrcLinePos",  "XSrcIDPos",       "XFirstChannelPos",
    "XLastChannelPos", "XChannelIncrPos", "XRecvLinePos", "XFirstRecvIDPos", "XLastRecvIDPos"};

class TestFormatValues : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keysInFileOrder()
    {
        const QStringList& keys = SPSFormatValues::Keys();
        QCOMPARE(keys.size(), 46);
        QCOMPARE(keys.mid(0, 6), QStringList({"AutoSkipS", "AutoSkipR", "AutoSkipX", "SkipPosS",
                                              "SkipPosR", "SkipPosX"}));
        QCOMPARE(keys.mid(12, 6), QStringList({"SrcCoordY", "SrcCoordYLen", "SrcElevPos",
                                               "SrcElevLen", "SrcWellPos", "SrcWellLen"}));
        QCOMPARE(keys.mid(28, 10),
                 QStringList({"XRecordNumPos", "XRecordNumLen", "XFirstChannelPos",
                              "XFirstChannelLen", "XLastChannelPos", "XLastChannelLen",
                              "XChannelIncrPos", "XChannelIncrLen", "XSrcLinePos", "XSrcLineLen"}));
        QCOMPARE(keys.last(), QString("XLastRecvIDLen"));
        // Every key but the switches names an integer field of the record.
        QSet<QString> fields;
        for (const SPSLayout::Field& f : SPSLayout::Fields())
            if (f.value)
                fields.insert(QString::fromLatin1(f.key));
        QCOMPARE(QSet<QString>(keys.begin() + 3, keys.end()), fields);
        for (const QString& key : kPositions)
            QVERIFY2(SPSFormatValues::IsPositionKey(key), qPrintable(key));
        int positions = 0;
        for (const QString& key : keys)
            positions += SPSFormatValues::IsPositionKey(key);
        QCOMPARE(positions, 20);
    }

    void defaultTexts()
    {
        const SPSFormatValues v;
        QCOMPARE(v.Value("AutoSkipS"), QString("1"));
        QCOMPARE(v.Value("SkipPosR"), QString("72"));
        QCOMPARE(v.Value("SrcIDPos"), QString("18"));
        QCOMPARE(v.Value("SrcLinePos"), QString("2"));
        QCOMPARE(v.Value("XChannelIncrPos"), QString("47"));
        QCOMPARE(v.Value("XLastRecvIDPos"), QString("72"));
        QCOMPARE(v.Value("NoSuchKey"), QString());
    }

    // The page's defaults, counted from 1, are exactly the record's standard layout.
    void defaultsGatherToStandardLayout()
    {
        VeTaskSPSFilesLoaderParam param;
        scramble(&param);
        QString failed = "untouched";
        QVERIFY(SPSFormatValues().Gather(&param, &failed));
        QVERIFY(failed.isEmpty());
        QCOMPARE(fieldsOf(param), fieldsOf(VeTaskSPSFilesLoaderParam()));
    }

    void onlyPositionsLoseOne()
    {
        SPSFormatValues v;
        QMap<QString, qint64> expected;
        int n = 100;
        for (const QString& key : SPSFormatValues::Keys()) {
            if (SPSFormatValues::IsAutoSkipKey(key))
                continue;
            v.SetValue(key, QString::number(n));
            expected[key] = kPositions.contains(key) ? n - 1 : n;
            ++n;
        }
        v.SetValue("AutoSkipS", "0");
        v.SetValue("AutoSkipR", "1");
        v.SetValue("AutoSkipX", "0");
        expected["AutoSkipS"] = 0;
        expected["AutoSkipR"] = 1;
        expected["AutoSkipX"] = 0;
        VeTaskSPSFilesLoaderParam param;
        scramble(&param);
        QVERIFY(v.Gather(&param, nullptr));
        QCOMPARE(fieldsOf(param), expected);
    }

    void checks_data()
    {
        QTest::addColumn<QStringList>("assignments"); // key=value pairs applied to the defaults
        QTest::addColumn<QString>("failedKey");       // empty: gathering succeeds

        QTest::newRow("zero position") << QStringList{"SrcCoordX=0"} << "SrcCoordX";
        QTest::newRow("empty length") << QStringList{"RecvElevLen="} << "RecvElevLen";
        QTest::newRow("letters") << QStringList{"XSrcIDLen=abc"} << "XSrcIDLen";
        QTest::newRow("negative position") << QStringList{"XLastRecvIDPos=-3"} << "XLastRecvIDPos";
        QTest::newRow("channel increment") << QStringList{"XChannelIncrLen=0"} << "XChannelIncrLen";
        QTest::newRow("largest 32-bit") << QStringList{"SrcIDLen=2147483647"} << "";
        QTest::newRow("one past 32 bits") << QStringList{"SrcIDLen=2147483648"} << "SrcIDLen";
        QTest::newRow("5000000000") << QStringList{"SrcIDPos=5000000000"} << "SrcIDPos";
        QTest::newRow("past 64 bits")
            << QStringList{"RecvIDPos=99999999999999999999"} << "RecvIDPos";
        QTest::newRow("blanks around") << QStringList{"SrcIDPos= 12 "} << "";
        QTest::newRow("count with auto-skip on is not checked")
            << QStringList{"SkipPosS=-5", "SkipPosR=5000000000"} << "";
        QTest::newRow("negative count, auto-skip off")
            << QStringList{"AutoSkipS=0", "SkipPosS=-1"} << "SkipPosS";
        QTest::newRow("count too large, auto-skip off")
            << QStringList{"AutoSkipR=0", "SkipPosR=5000000000"} << "SkipPosR";
        QTest::newRow("empty count, auto-skip off")
            << QStringList{"AutoSkipS=0", "SkipPosS="} << "";
        QTest::newRow("relation count is never checked")
            << QStringList{"AutoSkipX=0", "SkipPosX=-1"} << "";
        // Source before its count, count before the receiver, receiver before relation.
        QTest::newRow("source first") << QStringList{"SrcWellLen=0", "RecvIDPos=0"} << "SrcWellLen";
        QTest::newRow("source count before receiver")
            << QStringList{"AutoSkipS=0", "SkipPosS=-1", "RecvIDPos=0"} << "SkipPosS";
        QTest::newRow("receiver count before relation")
            << QStringList{"AutoSkipR=0", "SkipPosR=-1", "XRecordNumPos=0"} << "SkipPosR";
    }

    void checks()
    {
        QFETCH(QStringList, assignments);
        QFETCH(QString, failedKey);
        SPSFormatValues v;
        for (const QString& a : assignments) {
            const qsizetype eq = a.indexOf('=');
            v.SetValue(a.left(eq), a.mid(eq + 1));
        }
        VeTaskSPSFilesLoaderParam param;
        scramble(&param);
        VeTaskSPSFilesLoaderParam untouched;
        scramble(&untouched);
        QString failed = "untouched";
        QCOMPARE(v.Gather(&param, &failed), failedKey.isEmpty());
        QCOMPARE(failed, failedKey);
        QCOMPARE(v.FirstFailingKey(), failedKey);
        if (!failedKey.isEmpty())
            QCOMPARE(fieldsOf(param), fieldsOf(untouched));
    }

    // Every checked value set bad at once: mending them one by one must meet them
    // in the page's order.
    void checkOrder()
    {
        const QStringList order = {
            "SrcIDPos",         "SrcIDLen",         "SrcCoordX",       "SrcCoordXLen",
            "SrcCoordY",        "SrcCoordYLen",     "SrcElevPos",      "SrcElevLen",
            "SrcLinePos",       "SrcLineLen",       "SrcWellPos",      "SrcWellLen",
            "SkipPosS",         "RecvIDPos",        "RecvIDLen",       "RecvCoordX",
            "RecvCoordXLen",    "RecvCoordY",       "RecvCoordYLen",   "RecvElevPos",
            "RecvElevLen",      "RecvLinePos",      "RecvLineLen",     "SkipPosR",
            "XRecordNumPos",    "XRecordNumLen",    "XSrcLinePos",     "XSrcLineLen",
            "XFirstChannelPos", "XFirstChannelLen", "XLastChannelPos", "XLastChannelLen",
            "XChannelIncrPos",  "XChannelIncrLen",  "XSrcIDPos",       "XSrcIDLen",
            "XRecvLinePos",     "XRecvLineLen",     "XFirstRecvIDPos", "XFirstRecvIDLen",
            "XLastRecvIDPos",   "XLastRecvIDLen"};
        SPSFormatValues v;
        v.SetValue("AutoSkipS", "0");
        v.SetValue("AutoSkipR", "0");
        for (const QString& key : order)
            v.SetValue(key, "-1");
        QStringList met;
        for (QString key = v.FirstFailingKey(); !key.isEmpty() && met.size() <= order.size();
             key = v.FirstFailingKey()) {
            met << key;
            v.SetValue(key, "5");
        }
        QCOMPARE(met, order);
    }

    void autoSkipSwitch_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored");
        QTest::newRow("0") << "0"
                           << "0";
        QTest::newRow("1") << "1"
                           << "1";
        QTest::newRow("2") << "2"
                           << "1";
        QTest::newRow("-1") << "-1"
                            << "1";
        QTest::newRow("letters") << "yes"
                                 << "0";
        QTest::newRow("empty") << ""
                               << "0";
    }

    void autoSkipSwitch()
    {
        QFETCH(QString, text);
        QFETCH(QString, stored);
        SPSFormatValues v;
        v.SetValue("AutoSkipX", text);
        QCOMPARE(v.Value("AutoSkipX"), stored);
    }

    void standardKeepsCounts()
    {
        VeTaskSPSFilesLoaderParam param;
        scramble(&param);
        SPSFormatValues::GatherStandard(&param);
        QMap<QString, qint64> expected = fieldsOf(VeTaskSPSFilesLoaderParam());
        expected["SkipPosS"] = expected["SkipPosR"] = expected["SkipPosX"] = -777;
        QCOMPARE(fieldsOf(param), expected);
    }

    void nullRecord()
    {
        QString failed = "x";
        QVERIFY(!SPSFormatValues().Gather(nullptr, &failed));
        QVERIFY(failed.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestFormatValues)
#include "tst_formatvalues.moc"
