#include "SPSFindingsWriter.h"
#include "SPSLayout.h"
#include "SPSLayoutPresets.h"
#include "SPSLoadDriver.h"
#include "SPSNumbers.h"
#include "SPSPointChecks.h"
#include "SPSRelationChecks.h"
#include "SPSRevisionDetector.h"
#include "SPSSurveyCheck.h"
#include "SPSTestRows.h"
#include "SPSTestRows21.h"
#include "VeTaskSPSFilesLoaderParam.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cstring>

namespace {
const QByteArray kHeader21 = "H00 SPS format version num.     SPS V2.1";

QByteArray n(double v, int decimals = 1)
{
    return QByteArray::number(v, 'f', decimals);
}

// A survey without faults: 8 shots on line 1001, 12 receivers on line 3001,
// one X row per shot relating all 12 receivers.
QList<QByteArray> cleanSources()
{
    QList<QByteArray> rows{kHeader21};
    for (int i = 0; i < 8; ++i)
        rows << sps21::pointRow('S', "1001", QByteArray::number(2001 + i), n(452000 + 25 * i),
                                "5812000.0");
    return rows;
}
QList<QByteArray> cleanReceivers(double northing = 5811900.0)
{
    QList<QByteArray> rows{kHeader21};
    for (int i = 0; i < 12; ++i)
        rows << sps21::pointRow('R', "3001", QByteArray::number(4001 + i), n(452000 + 25 * i),
                                n(northing));
    return rows;
}
// The tape number in columns 2-7 of an X row.
QByteArray onTape(QByteArray row, const QByteArray& tape)
{
    row.replace(1, 6, tape.rightJustified(6));
    return row;
}
// Record numbers that wrap every `wrap` shots; with a tape, the tape counts the wraps.
QList<QByteArray> wrappedRelations(int wrap, bool tapes)
{
    QList<QByteArray> rows{kHeader21};
    for (int i = 0; i < 8; ++i) {
        const QByteArray row =
            sps21::relationRow(QByteArray::number(i % wrap + 1), "1001",
                               QByteArray::number(2001 + i), "1", "12", "3001", "4001", "4012");
        rows << (tapes ? onTape(row, QByteArray::number(i / wrap + 1)) : row);
    }
    return rows;
}
// X rows whose field record `from` is given the number `to`.
QList<QByteArray> renumbered(QList<QByteArray> rows, const QByteArray& from, const QByteArray& to)
{
    for (QByteArray& row : rows)
        if (row.startsWith('X') && row.mid(7, 8).trimmed() == from)
            row.replace(7, 8, to.rightJustified(8));
    return rows;
}
QList<QByteArray> cleanRelations()
{
    QList<QByteArray> rows{kHeader21};
    for (int i = 0; i < 8; ++i)
        rows << sps21::relationRow(QByteArray::number(i + 1), "1001", QByteArray::number(2001 + i),
                                   "1", "12", "3001", "4001", "4012");
    return rows;
}

// Points stated "ROW LINE POINT X Y [INDEX]", numbered as their point texts.
SPSCheckPointTable pointTable(const QStringList& rows)
{
    SPSCheckPointTable table;
    for (const QString& row : rows) {
        const QStringList f = row.split(u' ');
        SPSCheckPoint p;
        p.row = f[0].toLongLong();
        p.line = table.lines.Id(f[1]);
        bool numeric = false;
        p.value = table.Code(f[2].toDouble(&numeric));
        p.numeric = numeric;
        p.number = PointNumberFromText(f[2]);
        p.x = table.Code(f[3].toDouble());
        p.y = table.Code(f[4].toDouble());
        p.hasXY = true;
        if (f.size() > 5)
            p.index = f[5][0].unicode();
        const QByteArray text = f[2].toUtf8();
        table.Add(p, text.constData(), text.size());
    }
    return table;
}
// X rows stated "ROW TAPE RECORD LINE POINT FIRST-CHANNEL LAST-CHANNEL INCREMENT
// RECEIVER-LINE FIRST-RECEIVER LAST-RECEIVER", "-" for a blank tape.
SPSCheckRelationTable relationTable(const QStringList& rows)
{
    SPSCheckRelationTable table;
    for (const QString& row : rows) {
        const QStringList f = row.split(u' ');
        SPSCheckRelation r;
        r.row = f[0].toLongLong();
        r.sourceLine = table.lines.Id(f[3]);
        r.sourcePoint = table.Code(f[4].toDouble());
        r.firstChannel = table.Code(f[5].toDouble());
        r.lastChannel = table.Code(f[6].toDouble());
        r.increment = table.Code(f[7].toDouble());
        r.receiverLine = table.lines.Id(f[8]);
        r.firstReceiver = table.Code(f[9].toDouble());
        r.lastReceiver = table.Code(f[10].toDouble());
        table.Add(r, f[1] == "-" ? QString() : f[1], f[2], f[4]);
    }
    return table;
}
} // namespace

class TestSurveyCheck : public QObject
{
    Q_OBJECT

    QTemporaryDir m_Dir;

    // "FILE:ROW:KIND:message|line|point|index" of every finding, FILE the
    // letter of the file it belongs to.
    // The check's own reading and the check of a load, which takes the point
    // rows from the load's reading, must give the same findings: a difference
    // is returned instead of them.
    static QStringList described(const VeTaskSPSFilesLoaderParam& param)
    {
        const QStringList own = describedRun(param, false);
        const QStringList ofLoad = describedRun(param, true);
        if (own != ofLoad)
            return QStringList{QStringLiteral("the check of the load differs:")} + ofLoad;
        return own;
    }

    static QStringList describedRun(const VeTaskSPSFilesLoaderParam& param, bool ofLoad)
    {
        SPSSurveyCheck check(param, param.Numbering);
        if (ofLoad) {
            // As spsload and spshost do: the relation file read beside the load.
            check.ReadRelationsAhead();
            SPSLoadDriver::Run(param, check.SourceRows(), check.ReceiverRows());
        }
        QString error;
        if (!check.Run(&error))
            return {error};
        return described(check.Findings());
    }

    static QStringList described(const SPSCheckFindingList& list)
    {
        QStringList out;
        for (const SPSCheckFinding& f : list)
            out << QStringLiteral("%1:%2:%3:%4|%5|%6|%7")
                       .arg(list.Letter(f))
                       .arg(qint64(f.row))
                       .arg(SPSCheckFinding::KindName(f.kind), list.Message(f), list.Line(f),
                            list.Point(f), list.Index(f));
        return out;
    }

    // Revision 2.1 files PREFIX + S, R and X of the rows, and a record that reads them.
    bool writeSurvey21(const QString& prefix, const QList<QByteArray>& s,
                       const QList<QByteArray>& r, const QList<QByteArray>& x,
                       VeTaskSPSFilesLoaderParam* param)
    {
        SPSLayoutPresets::Apply(SPSRevision::Revision21, param);
        param->SourceFileName = m_Dir.filePath(prefix + "S");
        param->ReceiverFileName = m_Dir.filePath(prefix + "R");
        param->RelationFileName = m_Dir.filePath(prefix + "X");
        return SPSTest::WriteFile(param->SourceFileName, sps21::file(s)) &&
               SPSTest::WriteFile(param->ReceiverFileName, sps21::file(r)) &&
               SPSTest::WriteFile(param->RelationFileName, sps21::file(x));
    }

private slots:
    void presets()
    {
        VeTaskSPSFilesLoaderParam standard, param;
        SPSLayoutPresets::Apply(SPSRevision::Revision21, &param);
        QCOMPARE(SPSLayoutPresets::LayoutRevision(param, u'S'), SPSRevision::Revision21);
        QCOMPARE(SPSLayoutPresets::LayoutRevision(param, u'X'), SPSRevision::Revision21);
        QCOMPARE(param.SrcIDPos, 11);
        QCOMPARE(param.XLastRecvIDLen, 10);
        // Revision 1 is the record's defaults, column for column.
        param.AutoSkipR = false;
        SPSLayoutPresets::Apply(SPSRevision::Revision1, u'R', &param);
        QVERIFY(param.AutoSkipR);
        QCOMPARE(SPSLayoutPresets::LayoutRevision(param, u'R'), SPSRevision::Revision1);
        QCOMPARE(SPSLayoutPresets::LayoutRevision(param, u'S'), SPSRevision::Revision21);
        SPSLayoutPresets::Apply(SPSRevision::Revision1, &param);
        for (const SPSLayout::Field& f : SPSLayout::Fields())
            QVERIFY2(SPSLayout::Value(param, f) == SPSLayout::Value(standard, f), f.key);
    }

    void detection_data()
    {
        QTest::addColumn<QList<QByteArray>>("rows");
        QTest::addColumn<char>("letter");
        QTest::addColumn<SPSRevision>("header");
        QTest::addColumn<SPSRevision>("fit");
        QTest::addColumn<SPSRevision>("verdict");

        const auto U = SPSRevision::Unknown, R1 = SPSRevision::Revision1,
                   R21 = SPSRevision::Revision21;
        QList<QByteArray> rows21, rows1, rowsX21, rowsX1, alnum;
        for (int i = 0; i < 4; ++i) {
            rows21 << sps21::pointRow('R', "3001.00", QByteArray::number(4001 + i) + ".00",
                                      "452000.0", "5811900.0");
            rowsX21 << sps21::relationRow("1", "1001", "2001", "1", "12", "3001", "4001", "4012");
            // Revision 1: line 2-17, point 18-25, index 26.
            QByteArray row1 = "S" + QByteArray("LINE_001").leftJustified(16) +
                              QByteArray::number(2001 + i).rightJustified(8) + "1";
            rows1 << row1.leftJustified(46) + "452000.0 5812000.0  95.0";
            alnum << "S" + QByteArray("DX08-01G").rightJustified(16) +
                         QByteArray::number(17 + i).rightJustified(8) + "2";
            // Revision 1 X: source line 14-29, point 30-37, channels 39-42, 43-46,
            // receivers 64-71, 72-79.
            QByteArray x1 =
                QByteArray("X").leftJustified(13) + QByteArray("1001").rightJustified(16) +
                QByteArray("2001").rightJustified(8) + "1" + QByteArray("1").rightJustified(4) +
                QByteArray("12").rightJustified(4) + "1" + QByteArray("3001").rightJustified(16) +
                QByteArray("4001").rightJustified(8) + QByteArray("4012").rightJustified(8);
            rowsX1 << x1;
        }
        QTest::newRow("header SPS V2.1") << QList<QByteArray>{kHeader21} << 'S' << R21 << U << R21;
        QTest::newRow("header SPS 2.1, lower case")
            << QList<QByteArray>{"h00 sps format version num.     sps 2.1"} << 'S' << R21 << U
            << R21;
        QTest::newRow("header SPS001")
            << QList<QByteArray>{"H00 SPS format version num.     SPS001"} << 'R' << R1 << U << R1;
        QTest::newRow("header SPS 1")
            << QList<QByteArray>{"H00 SPS format version        SPS 1"} << 'R' << R1 << U << R1;
        QTest::newRow("header of another revision")
            << QList<QByteArray>{"H00 SPS format version num.     SPS 2.0"} + rows21 << 'R' << U
            << R21 << R21;
        QTest::newRow("rows 2.1: blank 22-23, index digit in 24")
            << rows21 << 'R' << U << R21 << R21;
        QTest::newRow("rows 1: index digit in 26") << rows1 << 'S' << U << R1 << R1;
        QTest::newRow("rows 1: alphanumeric line names") << alnum << 'S' << U << R1 << R1;
        QTest::newRow("header outweighs rows")
            << QList<QByteArray>{"H00 SPS format version num.     SPS001"} + rows21 << 'R' << R1
            << R21 << R1;
        QTest::newRow("too few rows") << rows21.mid(0, 2) << 'R' << U << U << U;
        QTest::newRow("rows of the other letter") << rows21 << 'S' << U << U << U;
        QList<QByteArray> neither;
        for (int i = 0; i < 5; ++i)
            neither << "S  1 2 3 4 5";
        QTest::newRow("rows fit neither") << neither << 'S' << U << U << U;
        QList<QByteArray> rightAligned;
        for (int i = 0; i < 4; ++i)
            rightAligned << sps21::pointRow('S', "1001", QByteArray::number(2001 + i), "452000.0",
                                            "5812000.0", "95.0", "01");
        QTest::newRow("rows 2.1: index written \"01\" in 23-24")
            << rightAligned << 'S' << U << R21 << R21;
        QTest::newRow("rows 2.1 with index in 23-24 under their header")
            << QList<QByteArray>{kHeader21} + rightAligned << 'S' << R21 << R21 << R21;
        QTest::newRow("relation rows 2.1") << rowsX21 << 'X' << U << R21 << R21;
        QTest::newRow("relation rows 1") << rowsX1 << 'X' << U << R1 << R1;
        // One file holding the S, R and X rows in turn, each part longer than
        // the start the detection reads.
        QList<QByteArray> sourcePart, receiverPart;
        for (int i = 0; i < SPSRevisionDetector::MaxRows + 500; ++i) {
            sourcePart << sps21::pointRow('S', "1001", QByteArray::number(2001 + i), "452000.0",
                                          "5812000.0");
            receiverPart << sps21::pointRow('R', "3001", QByteArray::number(4001 + i), "452000.0",
                                            "5811900.0");
        }
        QList<QByteArray> receivers1 = rows1;
        for (QByteArray& row : receivers1)
            row[0] = 'R';
        QTest::newRow("one file: R rows after the S rows")
            << QList<QByteArray>{kHeader21} + sourcePart + receivers1 << 'R' << R21 << R1 << R21;
        QTest::newRow("one file: X rows after the S and R rows")
            << sourcePart + receiverPart + rowsX1 << 'X' << U << R1 << R1;
    }

    void detection()
    {
        QFETCH(QList<QByteArray>, rows);
        QFETCH(char, letter);
        QFETCH(SPSRevision, header);
        QFETCH(SPSRevision, fit);
        QFETCH(SPSRevision, verdict);
        const QString path = m_Dir.filePath("detect.sps");
        QVERIFY(SPSTest::WriteFile(path, sps21::file(rows)));
        const SPSRevisionVerdict v =
            SPSRevisionDetector::DetectFile(path, QChar::fromLatin1(letter));
        QCOMPARE(v.headerRevision, header);
        QCOMPARE(v.rowsRevision, fit);
        QCOMPARE(v.revision, verdict);
        QVERIFY(!v.evidence.isEmpty());
    }

    void detectionReadsOnlyTheStart()
    {
        // Far more rows than the detection reads; the verdict comes from the first.
        QList<QByteArray> rows{kHeader21};
        for (int i = 0; i < 3 * SPSRevisionDetector::MaxRows; ++i)
            rows << sps21::pointRow('S', "1001", QByteArray::number(i + 1), "1.0", "2.0");
        const QString path = m_Dir.filePath("long.sps");
        QVERIFY(SPSTest::WriteFile(path, sps21::file(rows)));
        const SPSRevisionVerdict v = SPSRevisionDetector::DetectFile(path, u'S');
        QCOMPARE(v.rowsRead, SPSRevisionDetector::MaxRows);
        QCOMPARE(v.rowsRevision, SPSRevision::Revision21);

        // R rows after them are looked for, every row passed over counted,
        // unless the search is stopped: then the start's verdict stands.
        for (int i = 0; i < 5; ++i)
            rows << sps21::pointRow('R', "3001", QByteArray::number(i + 1), "1.0", "2.0");
        rows << "C the end";
        QVERIFY(SPSTest::WriteFile(path, sps21::file(rows)));
        const SPSRevisionVerdict r = SPSRevisionDetector::DetectFile(path, u'R');
        QCOMPARE(r.rowsRead, rows.size());
        QCOMPARE(r.recordRows, 5);
        const std::atomic<bool> stop{true};
        QCOMPARE(SPSRevisionDetector::DetectFile(path, u'R', &stop).recordRows, 0);
    }

    void failures_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("relation");
        QTest::addColumn<bool>("stop");
        QTest::addColumn<QString>("error");
        QTest::newRow("no source path") << ""
                                        << "" << false << "Source file name is empty";
        QTest::newRow("missing source")
            << "none"
            << "" << false << "Cannot open file [<dir>/none] for reading!";
        QTest::newRow("missing relation file")
            << "S"
            << "none" << false << "Cannot open file [<dir>/none] for reading!";
        QTest::newRow("stopped") << "S"
                                 << "X" << true << "The check was stopped.";
    }

    void failures()
    {
        QFETCH(QString, source);
        QFETCH(QString, relation);
        QFETCH(bool, stop);
        QFETCH(QString, error);
        VeTaskSPSFilesLoaderParam param;
        SPSLayoutPresets::Apply(SPSRevision::Revision21, &param);
        param.SourceFileName = source.isEmpty() ? QString() : m_Dir.filePath(source);
        param.ReceiverFileName = m_Dir.filePath("R");
        param.RelationFileName = relation.isEmpty() ? QString() : m_Dir.filePath(relation);
        QVERIFY(SPSTest::WriteFile(m_Dir.filePath("S"), sps21::file(cleanSources())));
        QVERIFY(SPSTest::WriteFile(m_Dir.filePath("R"), sps21::file(cleanReceivers())));
        QVERIFY(SPSTest::WriteFile(m_Dir.filePath("X"), sps21::file(cleanRelations())));
        SPSSurveyCheck check(param);
        if (stop)
            check.Stop();
        QString reason;
        QVERIFY(!check.Run(&reason));
        QCOMPARE(reason, QString(error).replace("<dir>", m_Dir.path()));
        QCOMPARE(check.WasStopped(), stop);
    }

    void pointNumber_data()
    {
        QTest::addColumn<qint32>("line");
        QTest::addColumn<qint32>("point");
        QTest::addColumn<qint32>("lineFactor");
        QTest::addColumn<qint32>("factor");
        QTest::addColumn<qint32>("expected");
        QTest::newRow("line factor 0 keeps the point number") << 1001 << 2005 << 0 << 0 << 2005;
        QTest::newRow("line x factor + point") << 1001 << 2005 << 10000 << 1 << 10012005;
        QTest::newRow("then the shot factor") << 3 << 5 << 100 << 10 << 3050;
        QTest::newRow("wraps in 32 bits")
            << 300000 << 7 << 10000 << 0 << qint32(quint32(3000000000u) + 7u);
    }

    void pointNumber()
    {
        QFETCH(qint32, line);
        QFETCH(qint32, point);
        QFETCH(qint32, lineFactor);
        QFETCH(qint32, factor);
        QFETCH(qint32, expected);
        QCOMPARE(SPSPointNumber(line, point, lineFactor, factor), expected);
    }

    // A table's numbers come back bit for bit; the short decimals of SPS rows
    // take no room beyond their code, one code for one value.
    void numberCodes_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("kept");
        QTest::newRow("whole") << 2001.0 << false;
        QTest::newRow("negative") << -17.0 << false;
        QTest::newRow("tenths of a northing") << 6234567.8 << false;
        QTest::newRow("hundredths") << 12345.67 << false;
        QTest::newRow("negative hundredths") << -0.05 << false;
        QTest::newRow("largest whole count") << double((1 << 29) - 1) << false;
        QTest::newRow("whole beyond 30 bits") << double(1 << 29) << true;
        QTest::newRow("hundredths beyond 30 bits") << 6234567.89 << true;
        QTest::newRow("thousandths") << 100.125 << true;
        QTest::newRow("a sum no decimal writes") << 0.1 + 0.2 << true;
        QTest::newRow("negative zero") << -0.0 << true;
        QTest::newRow("infinity") << qInf() << true;
    }

    void numberCodes()
    {
        QFETCH(double, value);
        QFETCH(bool, kept);
        SPSCheckNumbers numbers;
        numbers.Add(3.5); // a code that is not the first of its table
        numbers.Add(1e300);
        const SPSCheckNumber n = numbers.Add(value);
        const double back = numbers.Value(n);
        QVERIFY(std::memcmp(&back, &value, sizeof value) == 0);
        QCOMPARE((n.code & 3u) == SPSCheckNumber::kKept, kept);
        if (!kept)
            QCOMPARE(numbers.Add(value).code, n.code);
        const double nan = qQNaN();
        QVERIFY(std::isnan(numbers.Value(numbers.Add(nan))));
    }

    // Point texts that their value writes again are held as the value alone;
    // every text reads back byte for byte, as do its number and its findings'.
    void pointTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("spelled");
        QTest::newRow("whole") << "2001" << true;
        QTest::newRow("zero") << "0" << true;
        QTest::newRow("two decimals of a tenth") << "-12.50" << true;
        QTest::newRow("hundredths below one") << "0.05" << true;
        QTest::newRow("a decimal zero") << "1001.0" << true;
        QTest::newRow("negative whole") << "-17" << true;
        QTest::newRow("leading zeros") << "0010" << false;
        QTest::newRow("nine digits within a code") << "536870911" << true;
        QTest::newRow("nine digits beyond a code") << "987654321" << false;
        QTest::newRow("a zero before decimals") << "05.5" << false;
        QTest::newRow("a trailing letter") << "12.5x" << false;
        QTest::newRow("a plus sign") << "+5" << false;
        QTest::newRow("a bare point") << "5." << false;
        QTest::newRow("no integer digit") << ".5" << false;
        QTest::newRow("three decimals") << "2001.000" << false;
        QTest::newRow("negative zero") << "-0" << false;
        QTest::newRow("beyond a code") << "123456789012" << false;
        QTest::newRow("an exponent") << "1e3" << false;
    }

    void pointTexts()
    {
        QFETCH(QString, text);
        QFETCH(bool, spelled);
        SPSCheckPointTable table;
        const QByteArray utf8 = text.toUtf8();
        SPSCheckPoint p;
        p.line = table.lines.Id(QStringLiteral("1001"));
        p.numeric = true;
        p.value = table.Code(text.toDouble());
        // A text kept before it: offsets must not shift.
        SPSCheckPoint other = p;
        other.numeric = false;
        table.Add(other, "A7", 2);
        const SPSCheckPoint& stored = table.Add(p, utf8.constData(), utf8.size());
        QCOMPARE(bool(stored.spelled), spelled);
        QCOMPARE(table.PointText(stored), text);
        QCOMPARE(table.PointText(table.points.front()), QStringLiteral("A7"));
        QCOMPARE(table.PointNumber(stored), PointNumberFromText(text));
        QCOMPARE(table.CompareTexts(stored, stored), 0);
        // An X row's source point, with a record text after it.
        SPSCheckRelationTable relations;
        SPSCheckRelation r;
        r.sourceLine = relations.lines.Id(QStringLiteral("1001"));
        r.sourcePoint = relations.Code(text.toDouble());
        const SPSCheckRelation row = relations.Add(r, QUtf8StringView("T1"), QUtf8StringView("17"),
                                                   QUtf8StringView(utf8.constData(), utf8.size()));
        relations.Add(r, QUtf8StringView("T1"), QUtf8StringView("18"), QUtf8StringView("A7"));
        SPSCheckNumber::Spelling room;
        QCOMPARE(bool(row.sourceSpelled), spelled);
        QCOMPARE(relations.SourcePoint(row, room).toString(), text);

        QCOMPARE(relations.SourcePoint(relations.rows.back(), room).toString(),
                 QStringLiteral("A7"));
        QCOMPARE(relations.Record(relations.rows.back()).toString(), QStringLiteral("18"));
        // Digits alone, as the reading adds them without reading them again.
        qint32 number = 0;
        if (ShortPointNumber(utf8.constData(), utf8.size(), &number)) {
            SPSCheckPointTable digits;
            SPSCheckPoint q = p;
            q.value = digits.Code(text.toDouble());
            const SPSCheckPoint& added = digits.Add(q, utf8.constData(), utf8.size(), true);
            QCOMPARE(bool(added.spelled), spelled);
            QCOMPARE(digits.PointText(added), text);
            const SPSCheckRelation& row =
                relations.Add(r, QUtf8StringView("T1"), QUtf8StringView("19"),
                              QUtf8StringView(utf8.constData(), utf8.size()), true);
            QCOMPARE(bool(row.sourceSpelled), spelled);
            QCOMPARE(relations.SourcePoint(row, room).toString(), text);
        }

        SPSCheckFindings findings(QStringLiteral("a.s"), u'S');
        findings.Add(stored.row, SPSCheckFinding::SourceNotRelated, table, stored);
        findings.NameSource(findings.OfKind(SPSCheckFinding::RelationSourceMissing).emplace_back(),
                            relations, row);
        // Moved behind texts of another file's: what they name moves on.
        SPSCheckFindingList list;
        list.AddFile({QStringLiteral("b.r"), u'R', QString(), 0});
        list.Add(0, 3, SPSCheckFinding::Revision, QStringLiteral("revision"));
        findings.MoveTo(list);
        list.Items().erase(list.Items().begin());
        QCOMPARE(list.size(), size_t(2));
        for (const SPSCheckFinding& f : list) {
            QCOMPARE(list.Point(f), text);
            QCOMPARE(list.Line(f), QStringLiteral("1001"));
        }
    }

    // A delivery of one file holding S, R and X rows, named for all three, is
    // checked as three copies of it would be, in the same order every time.
    void oneFileNamedThrice()
    {
        const QString combined = QFINDTESTDATA("../../data/combined-rev1.sps");
        QVERIFY(!combined.isEmpty());
        VeTaskSPSFilesLoaderParam copies;
        copies.SourceFileName = m_Dir.filePath("copy.s");
        copies.ReceiverFileName = m_Dir.filePath("copy.r");
        copies.RelationFileName = m_Dir.filePath("copy.x");
        for (const QString& copy :
             {copies.SourceFileName, copies.ReceiverFileName, copies.RelationFileName}) {
            QFile::remove(copy);
            QVERIFY(QFile::copy(combined, copy));
        }
        const QStringList expected = described(copies);
        QStringList kinds;
        for (const QString& f : expected)
            kinds << f.section(u':', 0, 2);
        QCOMPARE(kinds, (QStringList{"S:0:revision",
                                     "S:14:duplicate",
                                     "S:15:conflict",
                                     "S:13:source-not-related",
                                     "R:0:revision",
                                     "R:17:shared-number",
                                     "R:18:shared-number",
                                     "R:19:shared-number",
                                     "R:20:shared-number",
                                     "R:21:shared-number",
                                     "R:22:shared-number",
                                     "R:23:shared-number",
                                     "R:25:shared-number",
                                     "R:26:shared-number",
                                     "R:27:shared-number",
                                     "R:28:shared-number",
                                     "X:0:revision",
                                     "X:42:relation-receiver-missing",
                                     "X:44:relation-receiver-missing",
                                     "X:46:relation-receiver-missing",
                                     "X:48:relation-receiver-missing",
                                     "X:50:relation-receiver-missing",
                                     "X:52:relation-receiver-missing",
                                     "X:54:relation-receiver-missing",
                                     "X:56:relation-receiver-missing",
                                     "X:58:relation-receiver-missing",
                                     "X:59:relation-receiver-missing",
                                     "X:59:channel-overlap"}));
        VeTaskSPSFilesLoaderParam same;
        same.SourceFileName = same.ReceiverFileName = same.RelationFileName = combined;
        // The two point files are read on two threads: repeated, so that a
        // race shows under the sanitizers.
        for (int run = 0; run < 20; ++run)
            QCOMPARE(described(same), expected);
    }

    // Revision 2.1 rows with the point index written "01" in columns 23-24, read
    // in the default layout: the check says so first, and only that.
    void misreadRevision_data()
    {
        QTest::addColumn<bool>("headers");
        QTest::addColumn<QStringList>("expected");
        const QString fix = "; the layout in use does not read revision 2.1 columns: read the "
                            "files as revision 2.1 (--revision auto, or the revision 2.1 preset "
                            "of the Format page)";
        QTest::newRow("with its header")
            << true
            << QStringList{"S:0:revision:SPS revision 2.1: header row \"SPS V2.1\"; 18 of 18 S "
                           "rows have the columns of revision 2.1" +
                               fix + "; 24 findings of rows read in those columns are left out",
                           "R:0:revision:SPS revision 1: header row \"SPS001\"; of 9 R rows, 6 "
                           "fit revision 1 and 0 fit revision 2.1"};
        QTest::newRow("headers stripped")
            << false
            << QStringList{"S:0:revision:SPS revision 2.1: no header row names the revision; 18 "
                           "of 18 S rows have the columns of revision 2.1" +
                               fix + "; 24 findings of rows read in those columns are left out",
                           "R:0:revision:revision unknown: no header row names the revision; of 9 "
                           "R rows, 6 fit revision 1 and 0 fit revision 2.1"};
    }

    void misreadRevision()
    {
        QFETCH(bool, headers);
        QFETCH(QStringList, expected);
        QFile source(QFINDTESTDATA("../../data/rev21-index-23-24.sps"));
        QVERIFY(source.open(QIODevice::ReadOnly));
        QList<QByteArray> rows = source.readAll().split('\n');
        if (!headers)
            rows.removeIf([](const QByteArray& row) { return row.startsWith('H'); });
        VeTaskSPSFilesLoaderParam param;
        param.SourceFileName = m_Dir.filePath("misread.s");
        param.ReceiverFileName = QFINDTESTDATA("../../data/prose-rows.rps");
        QVERIFY(SPSTest::WriteFile(param.SourceFileName, rows.join('\n')));
        if (!headers) {
            QFile receivers(param.ReceiverFileName);
            QVERIFY(receivers.open(QIODevice::ReadOnly));
            QByteArray bytes = receivers.readAll();
            bytes.remove(0, bytes.indexOf('\n') + 1);
            param.ReceiverFileName = m_Dir.filePath("misread.r");
            QVERIFY(SPSTest::WriteFile(param.ReceiverFileName, bytes));
        }
        QStringList found;
        for (const QString& f : described(param).mid(0, 2))
            found << f.section(u'|', 0, 0);
        QCOMPARE(found, expected);

        // The misread file's revision is an error, the other's a note; the
        // findings leave the check when taken.
        SPSSurveyCheck check(param);
        QVERIFY(check.Run());
        const SPSCheckFindingList list = check.TakeFindings();
        QVERIFY(check.Findings().empty());
        QVERIFY(list.size() >= 2);
        QCOMPARE(SPSCheckFinding::SeverityName(list.SeverityOf(list[0])), QString("error"));
        QCOMPARE(SPSCheckFinding::SeverityName(list.SeverityOf(list[1])), QString("note"));
    }

    // A survey of 100,000 points with record numbers that wrap under the tape
    // number, and faults of every kind: each kind found, none made up.
    void largeSurvey()
    {
        constexpr int kLines = 50, kPerLine = 1000;
        QList<QByteArray> s{kHeader21}, r{kHeader21}, x{kHeader21};
        for (int l = 0; l < kLines; ++l)
            for (int i = 0; i < kPerLine; ++i) {
                const QByteArray point = QByteArray::number(i + 1);
                s << sps21::pointRow('S', QByteArray::number(1001 + l), point, n(452000 + 25 * i),
                                     n(5812000 + 200 * l));
                r << sps21::pointRow('R', QByteArray::number(3001 + l), point, n(452000 + 25 * i),
                                     n(5812100 + 200 * l));
                const int shot = l * kPerLine + i, first = i - i % 20 + 1;
                x << onTape(sps21::relationRow(
                                QByteArray::number(shot % 9999 + 1), QByteArray::number(1001 + l),
                                point, "1", "20", QByteArray::number(3001 + l),
                                QByteArray::number(first), QByteArray::number(first + 19)),
                            QByteArray::number(shot / 9999 + 1));
            }
        // Rows counted from 1 with the header: point i of line l is row 2 + l * 1000 + i.
        s[2] = sps21::pointRow('S', "1001", "2", "452o25.0", "5812000.0");         // not-a-number
        s[3].truncate(60);                                                         // short-row
        s[4] = sps21::pointRow('S', "1001", "", "452100.0", "5812000.0");          // blank-point
        s << s[10] << sps21::pointRow('S', "1001", "10", "452230.0", "5812003.0"); // dup, conflict
        r[6] = sps21::pointRow('R', "3001", "6", "0", "0");                        // outlier
        r[8] = sps21::pointRow('R', "3001", "8", "452175.0", "9827140.7");         // precision
        r << sps21::pointRow('R', "3001", "1001", "477000.0", "5812100.0");        // not related
        r.removeAt(1000);                                       // station missing
        x << x[1] << "Xylophones were not used on this survey"; // overlap, prose
        x[5] = onTape(sps21::relationRow("5", "1001", "999", "1", "20", "3001", "1", "20"), "1");
        x[7] = onTape(sps21::relationRow("1", "1001", "7", "1", "20", "3001", "1", "20"), "1");
        VeTaskSPSFilesLoaderParam param;
        QVERIFY(writeSurvey21("large.", s, r, x, &param));

        SPSSurveyCheck check(param);
        QString error;
        QVERIFY2(check.Run(&error), qPrintable(error));
        // Every kind but the factors' overflow, which needs factors.
        for (int k = 0; k < SPSCheckFinding::NumberOverflow; ++k)
            QVERIFY2(check.Count(SPSCheckFinding::Kind(k)) > 0,
                     qPrintable(SPSCheckFinding::KindName(SPSCheckFinding::Kind(k))));
        // Ten wraps of the record number, one overlap given, one record reused.
        QCOMPARE(check.Count(SPSCheckFinding::ChannelOverlap), 1);
        QCOMPARE(check.Count(SPSCheckFinding::RecordReused), 1);
        QCOMPARE(check.Count(SPSCheckFinding::NotARecord), 1);
        QCOMPARE(check.Count(SPSCheckFinding::Duplicate), 1);
        QCOMPARE(check.Count(SPSCheckFinding::Conflict), 1);
    }

    // Factors that take point numbers out of 32 bits: each such row is named.
    // More findings of a kind than one batch of the gathering moves, each
    // whole after the move: the pages moved are handed back as it goes.
    void manyFindingsGathered()
    {
        constexpr int kPoints = 70000;
        QList<QByteArray> s{kHeader21};
        for (int i = 0; i < kPoints; ++i)
            s << sps21::pointRow('S', "1001", QByteArray::number(i + 1),
                                 n(452000 + 25 * (i % 1000)), n(5812000 + 200 * (i / 1000)));
        // The relation names another line: no source point is related, and
        // no row's source point is there.
        QList<QByteArray> x{kHeader21};
        for (int i = 0; i < kPoints; ++i)
            x << sps21::relationRow(QByteArray::number(i % 9999 + 1), "9999",
                                    QByteArray::number(i + 1), "1", "12", "3001", "4001", "4012");
        VeTaskSPSFilesLoaderParam param;
        QVERIFY(writeSurvey21("many.", s, cleanReceivers(), x, &param));
        SPSSurveyCheck check(param);
        QString error;
        QVERIFY2(check.Run(&error), qPrintable(error));
        const SPSCheckFindingList& list = check.Findings();
        int point = 0, shot = 0;
        for (const SPSCheckFinding& f : list) {
            if (f.kind == SPSCheckFinding::SourceNotRelated) {
                ++point;
                QCOMPARE(f.row, qint64(point + 1)); // after the header row
                QCOMPARE(list.Line(f), QStringLiteral("1001"));
                QCOMPARE(list.Point(f), QString::number(point));
                QCOMPARE(f.x, double(452000 + 25 * ((point - 1) % 1000)));
            } else if (f.kind == SPSCheckFinding::RelationSourceMissing) {
                ++shot;
                QCOMPARE(f.row, qint64(shot + 1));
                QCOMPARE(list.Message(f), QStringLiteral("field record %1 names source line 9999 "
                                                         "point %2, which the S file lacks")
                                              .arg((shot - 1) % 9999 + 1)
                                              .arg(shot));
            }
        }
        QCOMPARE(point, kPoints);
        QCOMPARE(shot, kPoints);

        // The report, made in parts by two threads, holds them in the same order.
        const QList<QByteArray> rows = SPSFindingsWriter::ReportCsv(list).split('\n');
        QCOMPARE(size_t(rows.size()), list.size() + 2); // the header, and after the last row
        for (size_t i = 0; i < list.size(); ++i) {
            const QList<QByteArray> fields = rows[qsizetype(i) + 1].split(',');
            QCOMPARE(fields.value(1).toLongLong(), qint64(list[i].row));
            QCOMPARE(QString::fromUtf8(fields.value(4)), list.Point(list[i]));
        }
        // A put that fails ends the writing.
        int puts = 0;
        QVERIFY(
            !SPSFindingsWriter::ReportCsv(list, [&puts](const QByteArray&) { return ++puts < 3; }));
        QCOMPARE(puts, 3);
    }

    void numberOverflow_data()
    {
        QTest::addColumn<qint32>("lineFactor");
        QTest::addColumn<qint32>("shotFactor");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("factors that fit") << 10000 << 10 << QStringList{};
        QTest::newRow("line factor past 32 bits")
            << 100000000 << 0
            << QStringList{"S:2:line 1001 x line factor 100000000 + point 2001 is "
                           "100100002001, beyond 32 bits; the load numbers the point 1315754193"};
        QTest::newRow("shot factor past 32 bits")
            << 0 << 10000000
            << QStringList{"S:2:number 2001 x factor 10000000 is 20010000000, beyond 32 bits; the "
                           "load numbers the point -1464836480"};
    }

    void numberOverflow()
    {
        QFETCH(qint32, lineFactor);
        QFETCH(qint32, shotFactor);
        QFETCH(QStringList, expected);
        VeTaskSPSFilesLoaderParam param;
        SPSLayoutPresets::Apply(SPSRevision::Revision21, &param);
        param.SourceFileName = m_Dir.filePath("S");
        param.ReceiverFileName = m_Dir.filePath("R");
        QVERIFY(SPSTest::WriteFile(param.SourceFileName, sps21::file(cleanSources().mid(0, 2))));
        QVERIFY(SPSTest::WriteFile(param.ReceiverFileName, sps21::file(cleanReceivers())));
        SPSNumberingSettings numbering;
        numbering.LineFactor = lineFactor;
        numbering.ShotNumberFactor = shotFactor;
        SPSSurveyCheck check(param, numbering);
        QVERIFY(check.Run());
        QStringList found;
        const SPSCheckFindingList& list = check.Findings();
        for (const SPSCheckFinding& f : list)
            if (f.kind == SPSCheckFinding::NumberOverflow && list.Letter(f) == u'S')
                found << QStringLiteral("%1:%2:%3")
                             .arg(list.Letter(f))
                             .arg(qint64(f.row))
                             .arg(list.Message(f));
        QCOMPARE(found, expected);
    }

    void findings_data()
    {
        QTest::addColumn<QList<QByteArray>>("s");
        QTest::addColumn<QList<QByteArray>>("r");
        QTest::addColumn<QList<QByteArray>>("x");
        QTest::addColumn<QStringList>("expected"); // FILE:ROW:KIND, revision verdicts left out

        const QList<QByteArray> s = cleanSources(), r = cleanReceivers(), x = cleanRelations();
        auto with = [](QList<QByteArray> rows, int row, const QByteArray& text) {
            if (row > rows.size())
                rows.append(text);
            else
                rows[row - 1] = text;
            return rows;
        };
        QTest::newRow("clean") << s << r << x << QStringList{};
        QTest::newRow("not-a-number")
            << with(s, 3, sps21::pointRow('S', "1001", "2002", "452o25.0", "5812000.0")) << r << x
            << QStringList{"S:3:not-a-number"};
        QTest::newRow("not-a-number: a northing of infinity, kept as the load reads it")
            << with(s, 3, sps21::pointRow('S', "1001", "2002", "452025.0", "inf")) << r << x
            << QStringList{"S:3:not-a-number"};
        QTest::newRow("not-a-number: elevation and depth")
            << with(s, 3,
                    sps21::pointRow('S', "1001", "2002", "452025.0", "5812000.0", "9s.0", "1",
                                    "n/a"))
            << r << x << QStringList{"S:3:not-a-number", "S:3:not-a-number"};
        QByteArray cut = r[4];
        cut.truncate(65);
        QTest::newRow("short-row") << s << with(r, 5, cut) << x << QStringList{"R:5:short-row"};
        QTest::newRow("blank-point")
            << s << with(r, 14, sps21::pointRow('R', "3001", "", "452300.0", "5811900.0")) << x
            << QStringList{"R:14:blank-point", "R:14:receiver-not-related"};
        QTest::newRow("duplicate") << with(s, 10, s[2]) << r << x << QStringList{"S:10:duplicate"};
        QTest::newRow("conflict") << with(s, 10,
                                          sps21::pointRow('S', "1001", "2002", "452028.0",
                                                          "5812004.0"))
                                  << r << x << QStringList{"S:10:conflict"};
        QTest::newRow("shared-number")
            << with(s, 10, sps21::pointRow('S', "1002", "2001", "452000.0", "5812100.0")) << r
            << with(x, 10,
                    sps21::relationRow("9", "1002", "2001", "1", "12", "3001", "4001", "4012"))
            << QStringList{"S:2:shared-number"};
        QTest::newRow("outlier at (0, 0)")
            << s << with(r, 6, sps21::pointRow('R', "3001", "4005", "0", "0")) << x
            << QStringList{"R:6:outlier"};
        QTest::newRow("outlier off its line")
            << with(s, 4, sps21::pointRow('S', "1001", "2003", "452050.0", "5813000.0")) << r << x
            << QStringList{"S:4:outlier"};
        QTest::newRow("precision")
            << s << cleanReceivers(9827140.7) << x << QStringList{"R:0:precision"};
        QTest::newRow("relation-source-missing")
            << s << r
            << with(x, 10,
                    sps21::relationRow("9", "1001", "2099", "1", "12", "3001", "4001", "4012"))
            << QStringList{"X:10:relation-source-missing"};
        QTest::newRow("source-not-related")
            << s << r << x.mid(0, 8) << QStringList{"S:9:source-not-related"};
        QTest::newRow("relation-receiver-missing")
            << s << r
            << with(x, 10,
                    sps21::relationRow("9", "1001", "2008", "13", "14", "3001", "4013", "4014"))
            << QStringList{"X:10:relation-receiver-missing"};
        QTest::newRow("relation-receiver-missing: a line numbered 4096 past one the R file has")
            << s << r
            << with(x, 10,
                    sps21::relationRow("9", "1001", "2008", "13", "24", "7097", "4001", "4012"))
            << QStringList{"X:10:relation-receiver-missing"};
        QTest::newRow("receiver-not-related")
            << s << with(r, 14, sps21::pointRow('R', "3001", "4013", "452300.0", "5811900.0")) << x
            << QStringList{"R:14:receiver-not-related"};
        QTest::newRow("channel-overlap")
            << s << r
            << with(x, 10,
                    sps21::relationRow("1", "1001", "2001", "10", "12", "3001", "4010", "4012"))
            << QStringList{"X:10:channel-overlap"};
        QTest::newRow("record numbers wrap, the tape counting the wraps")
            << s << r << wrappedRelations(3, true) << QStringList{};
        QTest::newRow("record numbers wrap without a tape number")
            << s << r << wrappedRelations(3, false) << QStringList{};
        QTest::newRow("record-reused: one tape, one record number, two shots")
            << s << r << renumbered(wrappedRelations(3, true), "2", "1")
            << QStringList{"X:3:record-reused", "X:6:record-reused", "X:9:record-reused"};
        QTest::newRow("channel-overlap only within one shot of a record")
            << s << r
            << with(wrappedRelations(3, true), 10,
                    onTape(
                        sps21::relationRow("1", "1001", "2004", "6", "12", "3001", "4006", "4012"),
                        "2"))
            << QStringList{"X:10:channel-overlap"};
        QTest::newRow("not-a-number: nan and inf points, compared as text")
            << with(with(with(s, 10, sps21::pointRow('S', "1001", "nan", "452300.0", "5812000.0")),
                         11, sps21::pointRow('S', "1001", "inf", "452325.0", "5812000.0")),
                    12, sps21::pointRow('S', "1001", "nan", "452300.0", "5812000.0"))
            << r << x << QStringList{"S:10:not-a-number",       "S:11:not-a-number",
                                     "S:12:not-a-number",       "S:12:duplicate",
                                     "S:10:source-not-related", "S:11:source-not-related",
                                     "S:12:source-not-related"};
        QTest::newRow("not-a-record: prose starting with the record letter")
            << s
            << with(r, 14,
                    "Really good stuff was recorded by the crew of party 7 on a sunny day in May")
            << with(x, 10, "Xylophones were not used on this survey")
            << QStringList{"R:14:not-a-record", "X:10:not-a-record"};
    }

    // The texts of relation findings, on plain rows and on rows of other
    // characters, which are read apart.
    void relationTexts_data()
    {
        QTest::addColumn<QByteArray>("tape");
        QTest::addColumn<QByteArray>("sourceLine"); // line 1001 as the S file writes it
        QTest::addColumn<QStringList>("expected");
        // Relation findings name a line as its point file does.
        const auto expected = [](const QString& tape, const QString& line) {
            return QStringList{"X:10:not-a-number:first channel \"1x\" is not a number|3001||",
                               "X:9:relation-source-missing:field record 1 names source line " +
                                   line + " point 2099, which the S file lacks|" + line + "|2099|",
                               "X:9:record-reused:tape " + tape +
                                   " uses field record 1 for source line " + line +
                                   " point 2099 and, from row 2, for line " + line +
                                   " point 2001|" + line + "|2099|"};
        };
        QTest::newRow("plain rows")
            << QByteArray("T7") << QByteArray("1001") << expected("T7", "1001");
        QTest::newRow("rows of other characters") << QByteArray("T\xc3\xa5"
                                                                "7")
                                                  << QByteArray("1001")
                                                  << expected(QString::fromUtf8("T\xc3\xa5"
                                                                                "7"),
                                                              "1001");
        QTest::newRow("a line the S file writes otherwise")
            << QByteArray("T7") << QByteArray("1001.0") << expected("T7", "1001.0");
    }

    void relationTexts()
    {
        QFETCH(QByteArray, tape);
        QFETCH(QByteArray, sourceLine);
        QFETCH(QStringList, expected);
        // Columns count characters, not bytes.
        const auto taped = [&](QByteArray row) {
            return row.replace(1, 6, QString::fromUtf8(tape).rightJustified(6).toUtf8());
        };
        QList<QByteArray> x = cleanRelations();
        for (QByteArray& row : x)
            if (row.startsWith('X'))
                row = taped(row);
        x[8] = taped(sps21::relationRow("1", "1001", "2099", "1", "12", "3001", "4001", "4012"));
        x << taped(sps21::relationRow("1", "1001", "2008", "1x", "12", "3001", "4001", "4012"));
        QList<QByteArray> s{kHeader21};
        for (int i = 0; i < 8; ++i)
            s << sps21::pointRow('S', sourceLine, QByteArray::number(2001 + i), n(452000 + 25 * i),
                                 "5812000.0");
        VeTaskSPSFilesLoaderParam param;
        QVERIFY(writeSurvey21("texts", s, cleanReceivers(), x, &param));
        QStringList found;
        // The check's own reading, and the check of a load that read X beside it.
        for (const QString& f : described(param))
            if (f.startsWith(u'X') && !f.contains(":revision:"))
                found << f;
        QCOMPARE(found, expected);
    }

    void findings()
    {
        QFETCH(QList<QByteArray>, s);
        QFETCH(QList<QByteArray>, r);
        QFETCH(QList<QByteArray>, x);
        QFETCH(QStringList, expected);
        VeTaskSPSFilesLoaderParam param;
        QVERIFY(writeSurvey21("", s, r, x, &param));

        SPSSurveyCheck check(param);
        QString error;
        QVERIFY2(check.Run(&error), qPrintable(error));
        QStringList found;
        const SPSCheckFindingList& list = check.Findings();
        for (const SPSCheckFinding& f : list) {
            const QString message = list.Message(f);
            if (f.kind == SPSCheckFinding::Revision) {
                QVERIFY2(message.startsWith("SPS revision 2.1: header row \"SPS V2.1\""),
                         qPrintable(message));
                continue;
            }
            QVERIFY(!message.isEmpty());
            // Relation faults of a record name its shot.
            if (f.kind == SPSCheckFinding::ChannelOverlap ||
                f.kind == SPSCheckFinding::RecordReused)
                QVERIFY2(list.Line(f) == "1001" && !list.Point(f).isEmpty(), qPrintable(message));
            // Prose gives no fields to name.
            if (f.kind == SPSCheckFinding::NotARecord)
                QVERIFY(list.Line(f).isEmpty() && list.Point(f).isEmpty());
            found << QStringLiteral("%1:%2:%3")
                         .arg(QFileInfo(list.FilePath(f)).fileName())
                         .arg(qint64(f.row))
                         .arg(SPSCheckFinding::KindName(f.kind));
        }
        QCOMPARE(check.Count(SPSCheckFinding::Revision), 3);
        QCOMPARE(found, expected);
        // A load's reading hands the check its coordinates: the same findings.
        QCOMPARE(describedRun(param, true), described(list));
        // The report makes each kind's message its own way: it must be Message's.
        const QList<QByteArray> csv = SPSFindingsWriter::ReportCsv(list).split('\n');
        QCOMPARE(csv.size(), qsizetype(list.size()) + 2);
        for (size_t i = 0; i < list.size(); ++i) {
            QByteArray message = list.Message(list[i]).toUtf8();
            if (message.contains(',') || message.contains('"'))
                message = '"' + message.replace('"', "\"\"") + '"';
            QVERIFY2(csv[qsizetype(i) + 1].contains(',' + message + ','), csv[qsizetype(i) + 1]);
        }
    }

    // The point and relation checks on tables stated row by row, no files read.
    void tables_data()
    {
        QTest::addColumn<QStringList>("s");
        QTest::addColumn<QStringList>("r");
        QTest::addColumn<QStringList>("x"); // none: the relations are not checked
        QTest::addColumn<int>("sharedNumberLimit");
        QTest::addColumn<QStringList>("expected"); // FILE:ROW:KIND:message|line|point|index

        QTest::newRow("a point again, with another index, and one off its line")
            << QStringList{"2 1001 1 100 0 1",   "3 1001 2 125 0 1", "4 1001 3 150 0 1",
                           "5 1001 4 175 900 1", "6 1001 5 200 0 1", "7 1001 2 125 0 1",
                           "8 1001 2 128 4 1",   "9 1001 2 125 0 2"}
            << QStringList{} << QStringList{} << 100
            << QStringList{"S:7:duplicate:the same point as row 3, with the same coordinates|1001|"
                           "2|1",
                           "S:8:conflict:the same point as row 3, 5 away from it|1001|2|1",
                           "S:5:outlier:900.35 from its neighbours along line 1001, whose points "
                           "lie 25 apart|1001|4|1"};
        QTest::newRow("shared numbers past the limit, lines in the order the file names them")
            << QStringList{"2 20 1 100 100", "3 20 2 125 100", "4 10 1 100 200", "5 10 2 125 200"}
            << QStringList{} << QStringList{} << 1
            << QStringList{"S:0:shared-number:2 point numbers are shared by more than one line in "
                           "all; a line factor of 10 keeps the lines apart|||",
                           "S:2:shared-number:point number 1 is shared by 2 lines (20, 10); the "
                           "load keeps one point; a line factor of 10 keeps the lines apart|20|1|"};
        // line x 10^10 passes 2^63 here, which once made the factor look fitting.
        QTest::newRow("shared numbers of lines too large for any factor")
            << QStringList{"2 1410065407 1000000000 100 100", "3 1410065406 1000000000 125 100"}
            << QStringList{} << QStringList{} << 5
            << QStringList{"S:2:shared-number:point number 1000000000 is shared by 2 lines "
                           "(1410065407, 1410065406); the load keeps one point; no line factor "
                           "keeps the lines apart within 32 bits|1410065407|1000000000|"};
        QTest::newRow("precision of one northing")
            << QStringList{} << QStringList{"2 3001 1 452175.0 9827140.7"} << QStringList{} << 100
            << QStringList{"R:0:precision:single precision changes the northing by up to 0.3 (row "
                           "2); 1 of 1 points change by more than 0.05|3001|1|"};
        QTest::newRow("lines matched by value, stations by increment, channels overlapping")
            << QStringList{"2 1001.00 5 100 100"}
            << QStringList{"2 3001 1 100 50", "3 3001 3 150 50", "4 3001 7 250 50",
                           "5 3002 9 100 60"}
            << QStringList{"10 1 1 1001 5 1 4 2 3001 1 7", "11 1 2 1002 5 1 4 1 3001 1 1",
                           "12 1 1 1001 5 3 6 1 3001 3 3"}
            << 100
            << QStringList{
                   "R:5:receiver-not-related:no X row's receiver range holds this point|3002|9|",
                   "X:11:relation-source-missing:field record 2 names source line 1002 point 5, "
                   "which the S file lacks|1002|5|",
                   "X:10:relation-receiver-missing:1 of 4 stations of receiver line 3001 in field "
                   "record 1 are not in the R file (5)|3001|5|",
                   "X:12:channel-overlap:channels 3-6 of field record 1 overlap channels 1-4 of "
                   "row 10|1001|5|"};
        // Ranges that are whole runs of the R file's stations are settled at once;
        // a station off the grid within a range, or next to its end, is not.
        QTest::newRow("ranges over runs of stations, one with a station off its grid")
            << QStringList{"2 1001.00 5 100 100", "3 1001 6 125 100", "4 1001 7 150 100"}
            << QStringList{"2 3001 1 100 50",   "3 3001 2 110 50",   "4 3001 3 120 50",
                           "5 3001 4 130 50",   "6 3001 5 140 50",   "7 3001 5.5 145 50",
                           "8 3001 6 150 50",   "9 3001 7 160 50",   "10 3002 10 100 60",
                           "11 3002 12 120 60", "12 3002 14 140 60", "13 3001 3 120 50"}
            << QStringList{"10 1 1 1001 5 1 3 1 3001 1 3", "11 1 2 1001 6 1 3 1 3001 4 6",
                           "12 1 3 1001 7 1 2 2 3002 10 12"}
            << 100
            << QStringList{
                   "R:13:duplicate:the same point as row 4, with the same coordinates|3001|3|",
                   "R:9:receiver-not-related:no X row's receiver range holds this point|3001|7|",
                   "R:12:receiver-not-related:no X row's receiver range holds this point|3002|14|"};
        QTest::newRow("stations found within their line: one of no numbered point, the last one")
            << QStringList{"2 1001 5 100 100", "3 1002 A 150 100"}
            << QStringList{"2 3001 1 100 50", "3 3001 2 150 50", "4 3002 5 200 60"}
            << QStringList{"10 1 1 1002 5 1 1 1 3002 5 5", "11 1 2 1001 5 1 3 1 3001 1 3"} << 100
            << QStringList{"S:3:source-not-related:no X row names this source point|1002|A|",
                           "X:10:relation-source-missing:field record 1 names source line 1002 "
                           "point 5, which the S file lacks|1002|5|",
                           "X:11:relation-receiver-missing:1 of 3 stations of receiver line 3001 "
                           "in field record 2 are not in the R file (3)|3001|3|"};
        QTest::newRow("a tape that gives one record number to two shots; without a tape, a wrap")
            << QStringList{"2 1001 1 100 100", "3 1001 2 125 100", "4 1001 3 150 100"}
            << QStringList{"2 3001 1 100 50"}
            << QStringList{"10 7 5 1001 1 1 1 1 3001 1 1", "11 7 5 1001 3 1 1 1 3001 1 1",
                           "12 - 6 1001 1 1 1 1 3001 1 1", "13 - 6 1001 2 1 1 1 3001 1 1"}
            << 100
            << QStringList{"X:11:record-reused:tape 7 uses field record 5 for source line 1001 "
                           "point 3 and, from row 10, for line 1001 point 1|1001|3|"};
    }

    void tables()
    {
        QFETCH(QStringList, s);
        QFETCH(QStringList, r);
        QFETCH(QStringList, x);
        QFETCH(int, sharedNumberLimit);
        QFETCH(QStringList, expected);
        const SPSCheckPointTable sources = pointTable(s), receivers = pointTable(r);
        SPSCheckFindings found[3] = {{"s", u'S'}, {"r", u'R'}, {"x", u'X'}};
        SPSPointChecks::All(sources, sharedNumberLimit, found[0]);
        SPSPointChecks::All(receivers, sharedNumberLimit, found[1]);
        if (!x.isEmpty()) {
            const SPSCheckRelationTable relations = relationTable(x);
            QVERIFY(SPSRelationChecks::Points(relations, sources, receivers, found[2], found[0],
                                              found[1]));
            SPSRelationChecks::FieldRecords(relations, found[2]);
        }
        SPSCheckFindingList list;
        for (SPSCheckFindings& f : found)
            f.MoveTo(list);
        QCOMPARE(described(list), expected);
    }

    // What spsload and spshost write of the findings.
    void writers_data()
    {
        QTest::addColumn<QStringList>("findings"); // FILE|ROW|KIND|LINE|POINT|INDEX|MESSAGE
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QByteArray>("csv");
        QStringList six;
        for (int row = 1; row <= 6; ++row)
            six << QStringLiteral("s.sps|%1|short-row|7|%1||row %1").arg(row);
        QTest::newRow("five of a kind shown, kinds in their order wherever they stand")
            << QStringList{six.mid(0, 3) + QStringList{"s.sps|0|revision||||SPS revision 1"} +
                           six.mid(3)}
            << QByteArray("check: revision: 1\n"
                          "  s.sps: SPS revision 1\n"
                          "check: short-row: 6\n"
                          "  s.sps:1: line 7 point 1: row 1\n"
                          "  s.sps:2: line 7 point 2: row 2\n"
                          "  s.sps:3: line 7 point 3: row 3\n"
                          "  s.sps:4: line 7 point 4: row 4\n"
                          "  s.sps:5: line 7 point 5: row 5\n"
                          "check: revision: 1 (note) in 1 group\n"
                          "  s.sps: SPS revision 1\n"
                          "check: short-row: 6 (warning) in 2 groups\n"
                          "  s.sps: line 7: points 1-3: rows that end before the layout's last "
                          "field\n"
                          "  s.sps: line 7: points 4-6: rows that end before the layout's last "
                          "field\n"
                          "check: S file s.sps: 7 findings: 0 errors, 6 warnings, 1 note\n"
                          "check: in all: 7 findings: 0 errors, 6 warnings, 1 note\n")
            << QByteArray("file,row,kind,line,point,index,message,x,y\n"
                          "s.sps,1,short-row,7,1,,row 1,,\n"
                          "s.sps,2,short-row,7,2,,row 2,,\n"
                          "s.sps,3,short-row,7,3,,row 3,,\n"
                          "s.sps,0,revision,,,,SPS revision 1,,\n"
                          "s.sps,4,short-row,7,4,,row 4,,\n"
                          "s.sps,5,short-row,7,5,,row 5,,\n"
                          "s.sps,6,short-row,7,6,,row 6,,\n");
        QTest::newRow("separators and quotes in fields")
            << QStringList{"a,b.sps|3|duplicate|L \"1\"|2|1|the same point as row 2, with the "
                           "same coordinates"}
            << QByteArray("check: duplicate: 1\n"
                          "  a,b.sps:3: line L \"1\" point 2 index 1: the same point as row 2, "
                          "with the same coordinates\n"
                          "check: duplicate: 1 (warning) in 1 group\n"
                          "  a,b.sps:3: line L \"1\" point 2 index 1: the same point as row 2, "
                          "with the same coordinates\n"
                          "check: S file a,b.sps: 1 finding: 0 errors, 1 warning, 0 notes\n"
                          "check: in all: 1 finding: 0 errors, 1 warning, 0 notes\n")
            << QByteArray("file,row,kind,line,point,index,message,x,y\n"
                          "\"a,b.sps\",3,duplicate,\"L \"\"1\"\"\",2,1,\"the same point as row "
                          "2, with the same coordinates\",,\n");
        // Long messages are tested for separators sixteen bytes at a time, then
        // byte by byte: one in each part, and one message without.
        QTest::newRow("separators anywhere in long messages")
            << QStringList{"s.sps|1|duplicate|7|1||a, then thirty more plain bytes",
                           "s.sps|2|duplicate|7|2||sixteen bytes ok\"quoted\" text",
                           "s.sps|3|duplicate|7|3||twenty six bytes of text, c",
                           "s.sps|4|duplicate|7|4||forty bytes of plain text without any of"}
            << QByteArray(
                   "check: duplicate: 4\n"
                   "  s.sps:1: line 7 point 1: a, then thirty more plain bytes\n"
                   "  s.sps:2: line 7 point 2: sixteen bytes ok\"quoted\" text\n"
                   "  s.sps:3: line 7 point 3: twenty six bytes of text, c\n"
                   "  s.sps:4: line 7 point 4: forty bytes of plain text without any of\n"
                   "check: duplicate: 4 (warning) in 1 group\n"
                   "  s.sps: line 7: points 1-4: these points again, with the same coordinates\n"
                   "check: S file s.sps: 4 findings: 0 errors, 4 warnings, 0 notes\n"
                   "check: in all: 4 findings: 0 errors, 4 warnings, 0 notes\n")
            << QByteArray("file,row,kind,line,point,index,message,x,y\n"
                          "s.sps,1,duplicate,7,1,,\"a, then thirty more plain bytes\",,\n"
                          "s.sps,2,duplicate,7,2,,\"sixteen bytes ok\"\"quoted\"\" text\",,\n"
                          "s.sps,3,duplicate,7,3,,\"twenty six bytes of text, c\",,\n"
                          "s.sps,4,duplicate,7,4,,forty bytes of plain text without any of,,\n");
        // Seven lines of unrelated shots, every other point: a group a line.
        QStringList unrelated;
        QByteArray unrelatedCsv = "file,row,kind,line,point,index,message,x,y\n";
        for (int line = 1; line <= 7; ++line)
            for (int point = 2; point <= 6; point += 2) {
                const QString row = QStringLiteral("%1").arg(line * 10 + point);
                const QString name = QStringLiteral("%1").arg(line * 1000);
                const QString x = QStringLiteral("%1.5").arg(600000 + point);
                const QString y = QStringLiteral("%1").arg(4200000 + line);
                unrelated << QStringLiteral("s.sps|%1|source-not-related|%2|%3|1|no X row names "
                                            "this source point|%4|%5")
                                 .arg(row, name)
                                 .arg(point)
                                 .arg(x, y);
                unrelatedCsv += QStringLiteral("s.sps,%1,source-not-related,%2,%3,1,no X row "
                                               "names this source point,%4,%5\n")
                                    .arg(row, name)
                                    .arg(point)
                                    .arg(x, y)
                                    .toUtf8();
            }
        QTest::newRow("groups of even steps along each line, five shown")
            << unrelated
            << QByteArray("check: source-not-related: 21\n"
                          "  s.sps:12: line 1000 point 2 index 1: no X row names this source "
                          "point\n"
                          "  s.sps:14: line 1000 point 4 index 1: no X row names this source "
                          "point\n"
                          "  s.sps:16: line 1000 point 6 index 1: no X row names this source "
                          "point\n"
                          "  s.sps:22: line 2000 point 2 index 1: no X row names this source "
                          "point\n"
                          "  s.sps:24: line 2000 point 4 index 1: no X row names this source "
                          "point\n"
                          "check: source-not-related: 21 (warning) in 7 groups\n"
                          "  s.sps: line 1000: points 2-6 step 2: no X row names these source "
                          "points\n"
                          "  s.sps: line 2000: points 2-6 step 2: no X row names these source "
                          "points\n"
                          "  s.sps: line 3000: points 2-6 step 2: no X row names these source "
                          "points\n"
                          "  s.sps: line 4000: points 2-6 step 2: no X row names these source "
                          "points\n"
                          "  s.sps: line 5000: points 2-6 step 2: no X row names these source "
                          "points\n"
                          "  and 2 more groups\n"
                          "check: S file s.sps: 21 findings: 0 errors, 21 warnings, 0 notes\n"
                          "check: in all: 21 findings: 0 errors, 21 warnings, 0 notes\n")
            << unrelatedCsv;
        // A step that changes, a point twice, points that are no numbers, and
        // findings about no point: each a run of its own.
        QTest::newRow("runs end where the step, the line, the kind or the file changes")
            << QStringList{"r.sps|1|outlier|7|10||far|1e21|-0.125",
                           "r.sps|2|outlier|7|11||far|0|0",
                           "r.sps|3|outlier|7|13||far",
                           "r.sps|4|outlier|7|15||far",
                           "r.sps|5|not-a-number|7|15||bad",
                           "r.sps|5|not-a-number|7|15||worse",
                           "r.sps|6|not-a-number|7|A||text",
                           "r.sps|7|not-a-number|7|A||text",
                           "x.sps|8|not-a-record||||prose",
                           "x.sps|9|not-a-record||||prose",
                           "x.sps|12|not-a-record||||prose",
                           "r.sps|13|not-a-record||||prose"}
            << QByteArray("check: not-a-number: 4\n"
                          "  r.sps:5: line 7 point 15: bad\n"
                          "  r.sps:5: line 7 point 15: worse\n"
                          "  r.sps:6: line 7 point A: text\n"
                          "  r.sps:7: line 7 point A: text\n"
                          "check: outlier: 4\n"
                          "  r.sps:1: line 7 point 10: far\n"
                          "  r.sps:2: line 7 point 11: far\n"
                          "  r.sps:3: line 7 point 13: far\n"
                          "  r.sps:4: line 7 point 15: far\n"
                          "check: not-a-record: 4\n"
                          "  x.sps:8: prose\n"
                          "  x.sps:9: prose\n"
                          "  x.sps:12: prose\n"
                          "  r.sps:13: prose\n"
                          "check: not-a-number: 4 (error) in 3 groups\n"
                          "  r.sps: line 7: point 15, 2 times: fields that are not numbers\n"
                          "  r.sps:6: line 7 point A: text\n"
                          "  r.sps:7: line 7 point A: text\n"
                          "check: outlier: 4 (warning) in 2 groups\n"
                          "  r.sps: line 7: points 10-11: points at (0, 0) or far off their line\n"
                          "  r.sps: line 7: points 13-15 step 2: points at (0, 0) or far off their "
                          "line\n"
                          "check: not-a-record: 4 (warning) in 2 groups\n"
                          "  x.sps: rows 8-12 (3): rows that do not look like SPS records\n"
                          "  r.sps:13: prose\n"
                          "check: R file r.sps: 9 findings: 4 errors, 5 warnings, 0 notes\n"
                          "check: X file x.sps: 3 findings: 0 errors, 3 warnings, 0 notes\n"
                          "check: in all: 12 findings: 4 errors, 8 warnings, 0 notes\n")
            << QByteArray("file,row,kind,line,point,index,message,x,y\n"
                          "r.sps,1,outlier,7,10,,far,1000000000000000000000,-0.125\n"
                          "r.sps,2,outlier,7,11,,far,0,0\n"
                          "r.sps,3,outlier,7,13,,far,,\n"
                          "r.sps,4,outlier,7,15,,far,,\n"
                          "r.sps,5,not-a-number,7,15,,bad,,\n"
                          "r.sps,5,not-a-number,7,15,,worse,,\n"
                          "r.sps,6,not-a-number,7,A,,text,,\n"
                          "r.sps,7,not-a-number,7,A,,text,,\n"
                          "x.sps,8,not-a-record,,,,prose,,\n"
                          "x.sps,9,not-a-record,,,,prose,,\n"
                          "x.sps,12,not-a-record,,,,prose,,\n"
                          "r.sps,13,not-a-record,,,,prose,,\n");
    }

    void writers()
    {
        QFETCH(QStringList, findings);
        QFETCH(QByteArray, lines);
        QFETCH(QByteArray, csv);
        SPSCheckFindingList list;
        QStringList files;
        for (const QString& text : findings) {
            const QStringList f = text.split(u'|');
            if (!files.contains(f[0])) {
                files << f[0];
                // The letter the name begins with, when it names one.
                const QChar letter = f[0].at(0).toUpper();
                list.AddFile(
                    {f[0], QStringLiteral("SRX").contains(letter) ? letter : u'S', QString(), 0});
            }
            SPSCheckFinding::Kind kind = SPSCheckFinding::Revision;
            for (int k = 0; k < SPSCheckFinding::KindCount; ++k)
                if (SPSCheckFinding::KindName(SPSCheckFinding::Kind(k)) == f[2])
                    kind = SPSCheckFinding::Kind(k);
            SPSCheckFinding& finding =
                list.Add(int(files.indexOf(f[0])), f[1].toLongLong(), kind, f[6], f[3], f[4], f[5]);
            // FILE|...|MESSAGE|X|Y: a position.
            if (f.size() > 8) {
                finding.hasPosition = 1;
                finding.x = f[7].toDouble();
                finding.y = f[8].toDouble();
            }
        }
        QCOMPARE(SPSFindingsWriter::CheckLines(list), lines);
        QCOMPARE(SPSFindingsWriter::ReportCsv(list), csv);
    }
};

QTEST_GUILESS_MAIN(TestSurveyCheck)
#include "tst_surveycheck.moc"
