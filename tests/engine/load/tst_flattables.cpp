// The flat point tables against the ordered maps whose semantics they keep:
// unique keys in QString::operator< order, the later row winning; numbers
// ascending, the later point winning. And a whole file read and numbered,
// against the same done with maps over the general reading.
#include "SPSNumberedTable.h"
#include "SPSNumbers.h"
#include "SPSPointTable.h"
#include "SPSRowReader.h"
#include "SPSTestLoad.h"
#include "SPSTestRows.h"
#include "VeTaskSPSFilesLoaderParam.h"
#include "VeThreadSPSFilesLoader.h"

#include <QBuffer>
#include <QMap>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <map>

namespace {
QString describe(const SPSPointRecord& p)
{
    return QString("%1|%2|%3|%4|%5|%6")
        .arg(p.m_strLineName, p.m_strPointText)
        .arg(double(p.m_fDepth))
        .arg(p.m_dX, 0, 'g', 17)
        .arg(p.m_dY, 0, 'g', 17)
        .arg(p.m_dElevation, 0, 'g', 17);
}

QString describe(const SPSPointGeometry& p)
{
    return QString("%1|%2|%3|%4|%5")
        .arg(p.m_nNumber)
        .arg(double(p.m_fDepth))
        .arg(p.m_dX, 0, 'g', 17)
        .arg(p.m_dY, 0, 'g', 17)
        .arg(p.m_dElevation, 0, 'g', 17);
}

// Texts that share long beginnings, differ late, hold characters beyond
// Latin-1 or NUL, and often repeat.
QString randomText(QRandomGenerator& random)
{
    static const QString pieces[] = {
        "1", "10", "9", "_", "A", "a", "0", "1001", "LINE_0000000", QString::fromUtf8("\xc3\xa9"),
        QString::fromUtf8("\xe2\x82\xac"), QString(QChar(0)), " ", ".", QString(QChar(0xFF)),
        // Longer than a length byte holds.
        QString(300, u'L')};
    QString text;
    const int count = random.bounded(5);
    for (int i = 0; i < count; ++i)
        text += pieces[random.bounded(int(std::size(pieces)))];
    return text;
}

bool isAscii(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() > 0x7F)
            return false;
    return true;
}

// The file read with the general path into ordered maps, as the loader did
// before its tables were flat.
QStringList referenceNumbering(const QByteArray& bytes, bool autoSkip, int skip)
{
    const VeTaskSPSFilesLoaderParam p;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    SPSReadOptions general;
    general.generalPath = true;
    SPSRowReader reader(&buffer, u'S', autoSkip, skip, general);
    QMap<QString, SPSPointRecord> points;
    while (reader.NextRecord()) {
        SPSPointRecord r;
        r.m_strLineName = reader.FieldText(p.SrcLinePos, p.SrcLineLen);
        r.m_strPointText = reader.FieldText(p.SrcIDPos, p.SrcIDLen);
        r.m_fDepth = reader.FloatField(p.SrcWellPos, p.SrcWellLen);
        r.m_dX = reader.RealField(p.SrcCoordX, p.SrcCoordXLen);
        r.m_dY = reader.RealField(p.SrcCoordY, p.SrcCoordYLen);
        r.m_dElevation = reader.RealField(p.SrcElevPos, p.SrcElevLen);
        points.insert(r.m_strLineName + "_" + r.m_strPointText, r);
    }
    std::map<qint32, SPSPointGeometry> numbered;
    for (const SPSPointRecord& r : points) {
        const qint32 n = PointNumberFromText(r.m_strPointText);
        numbered[n] = {n, r.m_fDepth, r.m_dX, r.m_dY, r.m_dElevation};
    }
    QStringList out;
    for (const auto& entry : numbered)
        out << describe(entry.second);
    return out;
}
} // namespace

class TestFlatTables : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pointTableMatchesOrderedMap()
    {
        QRandomGenerator random(5);
        for (int round = 0; round < 200; ++round) {
            SPSPointTable table;
            QMap<QString, SPSPointRecord> expected;
            const int rows = random.bounded(round % 10 == 0 ? 3000 : 60);
            // Some rounds sort halfway as well, and add the rest after.
            const int sortAt = round % 3 == 0 ? rows / 2 : -1;
            for (int i = 0; i < rows; ++i) {
                if (i == sortAt)
                    table.Sort();
                SPSPointRecord r;
                r.m_strLineName = randomText(random);
                r.m_strPointText = randomText(random);
                r.m_dX = i;
                r.m_fDepth = float(round);
                if (isAscii(r.m_strLineName) && isAscii(r.m_strPointText) && random.bounded(2))
                    table.Add(QLatin1StringView(r.m_strLineName.toLatin1()),
                              QLatin1StringView(r.m_strPointText.toLatin1()), r.m_fDepth, r.m_dX,
                              r.m_dY, r.m_dElevation);
                else
                    table.Add(r);
                expected.insert(SPSPointTable::Key(r.m_strLineName, r.m_strPointText), r);
            }
            table.Sort();
            QStringList got;
            table.ForEach([&got](const QString& key, const SPSPointRecord& r) {
                got << key + "=" + describe(r);
            });
            QStringList want;
            for (auto it = expected.cbegin(); it != expected.cend(); ++it)
                want << it.key() + "=" + describe(it.value());
            QCOMPARE(got, want);
            QCOMPARE(table.Count(), expected.size());
            for (qsizetype i = 0; i < table.Count(); ++i)
                QCOMPARE(table.PointNumberAt(i),
                         PointNumberFromText(table.RecordAt(i).m_strPointText));
            if (!expected.isEmpty()) {
                const QString key = expected.firstKey();
                QCOMPARE(describe(*table.Find(key)), describe(expected.first()));
            }
            QVERIFY(!table.Find("no such key \xe2\x80\xa6").has_value());
        }
    }

    void numberedTableMatchesMap()
    {
        QRandomGenerator random(6);
        for (int round = 0; round < 200; ++round) {
            SPSNumberedTable table;
            std::map<qint32, SPSPointGeometry> expected;
            const int points = random.bounded(round % 10 == 0 ? 5000 : 50);
            const bool ascending = round % 3 == 0;
            for (int i = 0; i < points; ++i) {
                // Full-range numbers reach every digit the sort passes over.
                const qint32 n = ascending        ? i * 2
                                 : round % 3 == 1 ? qint32(random.generate() >> (i % 2 ? 0 : 20))
                                                  : qint32(random.bounded(-20, 20)) * 1000003;
                const SPSPointGeometry p{n, float(i), double(i), 0, 0};
                table.Add(p);
                expected[n] = p;
            }
            table.Sort();
            QStringList got;
            table.ForEach([&got](const SPSPointGeometry& p) { got << describe(p); });
            QStringList want;
            for (const auto& entry : expected)
                want << describe(entry.second);
            QCOMPARE(got, want);
            QCOMPARE(table.Count(), qsizetype(expected.size()));
            if (!expected.empty())
                QCOMPARE(describe(*table.Find(expected.begin()->first)),
                         describe(expected.begin()->second));
        }
    }

    void fileReadAndNumbered_data()
    {
        QTest::addColumn<QByteArray>("bytes");

        QByteArray ordered, shuffled, mixed;
        QList<QByteArray> rows;
        for (int line = 0; line < 12; ++line)
            for (int point = 0; point < 40; ++point)
                rows << SPSTest::Row('S', QString::number(1001 + line),
                                     QString::number((1001 + line) * 100 + point), "12.5",
                                     QString::number(600000.0 + point * 25.5, 'f', 1),
                                     QString::number(4200000.0 + line * 200.1, 'f', 1), "45.3");
        for (const QByteArray& row : rows)
            ordered += row;
        QRandomGenerator random(8);
        QList<QByteArray> copy = rows;
        std::shuffle(copy.begin(), copy.end(), random);
        for (const QByteArray& row : copy)
            shuffled += row;
        // Repeated keys, numbers shared across lines, texts that are not
        // numbers, and rows beyond ASCII.
        mixed = rows[3] + rows[50] + SPSTest::Row('S', "1001", "100103", "1", "2", "3", "4") +
                SPSTest::Row('S', "2", "100103", "9", "9", "9", "9") +
                SPSTest::Row('S', QString::fromUtf8("L\xc3\xa9"), "77", "1", "1", "1", "1") +
                SPSTest::Row('S', "L", "77.5", "2", "2", "2", "2") +
                SPSTest::Row('S', "", "", "", "", "", "") +
                SPSTest::Row('S', "10", "5", "1", "1e3", "-.5", "x") +
                SPSTest::Row('S', "9", "5", "2", "+7", "inf", "1,5") + rows[3];
        QTest::newRow("in key order") << QByteArray("H header\r\n") + ordered;
        QTest::newRow("shuffled") << QByteArray("H header\r\n") + shuffled;
        QTest::newRow("repeats and odd texts") << mixed;
    }

    void fileReadAndNumbered()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath("points.s");
        QVERIFY(SPSTest::WriteFile(path, bytes));
        VeTaskSPSFilesLoaderParam param;
        param.SourceFileName = path;
        for (const auto& [autoSkip, skip] : {std::pair{true, 0}, {false, 1}}) {
            param.AutoSkipS = autoSkip;
            param.SkipPosS = skip;
            for (bool general : {false, true}) {
                VeThreadSPSFilesLoader loader;
                SPSReadOptions options;
                options.generalPath = general;
                loader.SetReadOptions(options);
                loader.m_pParam = &param;
                SPSPointTable points;
                SPSNumberedTable shots;
                QVERIFY(loader.ReadSourceFile(points));
                loader.NumberSourcePoints(shots, points, {});
                QStringList got;
                shots.ForEach([&got](const SPSPointGeometry& p) { got << describe(p); });
                QCOMPARE(got, referenceNumbering(bytes, autoSkip, skip));
            }
        }
    }

    // The load numbers the points as the file gives them and sorts by key only
    // when numbers are shared; its shots must be those of the key order.
    void loadNumbersAsKeyOrderDoes_data() { fileReadAndNumbered_data(); }

    void loadNumbersAsKeyOrderDoes()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        VeTaskSPSFilesLoaderParam param;
        param.SourceFileName = dir.filePath("points.s");
        param.ReceiverFileName = dir.filePath("none.r");
        QVERIFY(SPSTest::WriteFile(param.SourceFileName, bytes));
        QVERIFY(SPSTest::WriteFile(param.ReceiverFileName, "H no receivers\r\n"));
        // As read; scaled; a factor that makes different points share a
        // number (n x 2^30 keeps two bits of n); one that keeps them apart
        // but reverses their order; a line factor.
        for (const SPSNumberingSettings& settings :
             {SPSNumberingSettings{}, SPSNumberingSettings{0, 0, -10, 3},
              SPSNumberingSettings{1 << 30, 0, 0, 0}, SPSNumberingSettings{-3, 0, 2, 0},
              SPSNumberingSettings{0, 0, 0, 0, 1000}}) {
            VeThreadSPSFilesLoader loader;
            loader.m_pParam = &param;
            SPSPointTable points;
            SPSNumberedTable shots;
            QVERIFY(loader.ReadSourceFile(points));
            loader.NumberSourcePoints(shots, points, settings);
            QStringList expected;
            shots.ForEach([&expected](const SPSPointGeometry& p) {
                expected << QString("%1|%2|%3|%4")
                                .arg(p.m_nNumber)
                                .arg(double(float(p.m_dX)), 0, 'g', 9)
                                .arg(double(float(p.m_dY)), 0, 'g', 9)
                                .arg(double(float(p.m_dElevation)), 0, 'g', 9);
            });
            const SPSTest::LoadOutcome out = SPSTest::RunLoad(&param, nullptr, {}, settings);
            QVERIFY(out.created);
            QStringList got;
            for (const VePrevSegySRGeometry& shot : out.created->Shots())
                got << QString("%1|%2|%3|%4")
                           .arg(shot.m_nNumber)
                           .arg(double(shot.m_fX), 0, 'g', 9)
                           .arg(double(shot.m_fY), 0, 'g', 9)
                           .arg(double(shot.m_fElevation), 0, 'g', 9);
            QCOMPARE(got, expected);
        }
    }
};

QTEST_GUILESS_MAIN(TestFlatTables)
#include "tst_flattables.moc"
