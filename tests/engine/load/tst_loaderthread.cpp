#include "SPSLayoutPresets.h"
#include "SPSLoadDriver.h"
#include "SPSTestFolder.h"
#include "SPSTestRows.h"
#include "SPSTestRows21.h"
#include "VeEventsLog.h"
#include "VeObjNode.h"
#include "VePrevSegyTracesGather.h"
#include "VePrevStackSegyGeometry.h"
#include "VeTaskSPSFilesLoaderParam.h"
#include "VeThreadRegistry.h"
#include "VeThreadSPSFilesLoader.h"

#include <QtTest>

#include <cstring>
#include <limits>
#include <memory>
#include <vector>

using Log = QList<QPair<int, QString>>;

namespace {
Log logOf(const QList<VeEventsLogEntry>& entries, const SPSTest::TestFolder& dir)
{
    Log log;
    for (const VeEventsLogEntry& e : entries)
        log.append({int(e.type), dir.Hide(e.text)});
    return log;
}

Log eventsLog(const SPSTest::TestFolder& dir)
{
    return logOf(VeEventsLog::Instance()->Entries(), dir);
}

QStringList describe(const std::vector<VePrevSegySRGeometry>& records)
{
    QStringList out;
    for (const VePrevSegySRGeometry& r : records)
        out << QStringLiteral("%1|%2|%3|%4")
                   .arg(r.m_nNumber)
                   .arg(double(r.m_fX), 0, 'g', 9)
                   .arg(double(r.m_fY), 0, 'g', 9)
                   .arg(double(r.m_fElevation), 0, 'g', 9);
    return out;
}

quint32 bits(float f)
{
    quint32 b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

// What one run left behind, as the host sees it.
struct Outcome
{
    std::vector<std::unique_ptr<VeObject>> created; // handed over through the registry
    QStringList progress;
    bool createdOnMainThread = true;
    // What the load told the host as it ended: what it filled and ran with.
    int reports = 0;
    qint64 filledID = 0;
    std::shared_ptr<const VeTaskParameter> ranWith;
    double progressAtEnd = -1.0; // GetProgress() once the run is over
};
} // namespace

class TestLoaderThread : public QObject
{
    Q_OBJECT

private:
    SPSTest::TestFolder m_Dir;

    // Starts a load as the host would and waits for the registry to report its end.
    bool runLoad(const VeTaskSPSFilesLoaderParam* param, VeObjNode* node, Outcome& outcome,
                 const SPSNumberingSettings& settings = {})
    {
        VeThreadRegistry* registry = VeThreadRegistry::Instance();
        VeThreadSPSFilesLoader thread;
        thread.m_pParam = param;
        thread.m_pTargetNode = node;
        thread.SetNumberingSettings(settings);
        bool finished = false;
        QList<QMetaObject::Connection> connections{
            connect(registry, &VeThreadRegistry::sigObjectCreated, this,
                    [&outcome](VeObject* object) {
                        outcome.createdOnMainThread &= object->thread() == QThread::currentThread();
                        outcome.created.emplace_back(object);
                    }),
            connect(registry, &VeThreadRegistry::sigProcessMessage, this,
                    [&](VeThread* from, const QString& text) {
                        if (from == &thread)
                            outcome.progress << text;
                    }),
            connect(registry, &VeThreadRegistry::sigLoadFinished, this,
                    [&](VeThread* from, qint64 filledID,
                        std::shared_ptr<const VeTaskParameter> ranWith) {
                        if (from != &thread)
                            return;
                        ++outcome.reports;
                        outcome.filledID = filledID;
                        outcome.ranWith = std::move(ranWith);
                    }),
            connect(registry, &VeThreadRegistry::sigThreadFinished, this,
                    [&](VeThread* from) { finished |= from == &thread; })};
        thread.start();
        const bool ended = QTest::qWaitFor([&finished] { return finished; }, 10000);
        thread.wait();
        outcome.progressAtEnd = thread.GetProgress();
        for (const auto& c : connections)
            disconnect(c);
        return ended;
    }

    QString path(const QString& name) const { return m_Dir.FilePath(name); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(SPSTest::WriteFile(
            path("s.sps"), "H26 header\r\n" +
                               SPSTest::Row('S', "2", "101", "5", "600100.5", "5500100", "101.06") +
                               SPSTest::Row('S', "1", "101", "4", "600000", "5500000", "100") +
                               SPSTest::Row('S', "1", "99", "3", "599900.2", "5500000", "99.5")));
        QVERIFY(SPSTest::WriteFile(
            path("r.sps"), "H26 header\r\n" +
                               SPSTest::Row('R', "10", "1002", "", "600000", "5499000", "98.25") +
                               SPSTest::Row('R', "10", "1001", "", "599950", "5499000", "98")));
    }

    void init() { VeEventsLog::Instance()->Clear(); }

    void targets_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("receiver");
        QTest::addColumn<bool>("created");
        QTest::addColumn<QStringList>("shots");     // of the object that got the records
        QTest::addColumn<QStringList>("receivers"); // number|x|y|elevation
        QTest::addColumn<Log>("log");

        const QStringList shots{"99|599900.188|5500000|99.5", "101|600100.5|5500100|101.059998"};
        const QStringList receivers{"1001|599950|5499000|98", "1002|600000|5499000|98.25"};
        const QString old = "7|1|2|3"; // held by the existing geometry before the load
        const Log merged{{2, "1 source points share a point number with another point; 2 shots "
                             "were added."}};
        const Log noSource{{3, "Cannot open file [<dir>/none.sps] for reading!"}};
        const Log noReceiver = merged + Log{{3, "Cannot open file [<dir>/none.sps] for reading!"}};
        // A load that succeeds says last what it added, and to which object.
        const Log loaded = merged + Log{{1, "2 shots and 2 receivers were added to [SPS SR "
                                            "Geometry]."}};
        const Log refreshed =
            merged + Log{{1, "2 shots and 2 receivers were added to [Survey geometry]."}};

        QTest::newRow("no node: new object") << "none"
                                             << "s.sps"
                                             << "r.sps" << true << shots << receivers << loaded;
        QTest::newRow("node without object: new object")
            << "empty"
            << "s.sps"
            << "r.sps" << true << shots << receivers << loaded;
        QTest::newRow("node holding another class: new object")
            << "gather"
            << "s.sps"
            << "r.sps" << true << shots << receivers << loaded;
        QTest::newRow("node holding a geometry: it gets the records, not emptied")
            << "geometry"
            << "s.sps"
            << "r.sps" << false << QStringList{old} + shots << QStringList{old} + receivers
            << refreshed;
        QTest::newRow("existing geometry, missing source: nothing added")
            << "geometry"
            << "none.sps"
            << "r.sps" << false << QStringList{old} << QStringList{old} << noSource;
        QTest::newRow("existing geometry, missing receiver: keeps its new shots")
            << "geometry"
            << "s.sps"
            << "none.sps" << false << QStringList{old} + shots << QStringList{old} << noReceiver;
        QTest::newRow("new object, missing source: nothing handed over")
            << "none"
            << "none.sps"
            << "r.sps" << false << QStringList() << QStringList() << noSource;
        QTest::newRow("new object, missing receiver: destroyed, not handed over")
            << "none"
            << "s.sps"
            << "none.sps" << false << QStringList() << QStringList() << noReceiver;
    }

    void targets()
    {
        QFETCH(QString, target);
        QFETCH(QString, source);
        QFETCH(QString, receiver);
        QFETCH(bool, created);
        QFETCH(QStringList, shots);
        QFETCH(QStringList, receivers);
        QFETCH(Log, log);

        VeTaskSPSFilesLoaderParam param;
        param.SourceFileName = path(source);
        param.ReceiverFileName = path(receiver);
        param.RelationFileName = path("nowhere.x"); // the load never reads it

        std::unique_ptr<VeObjNode> node;
        VeObject* held = nullptr;
        if (target == "empty") {
            node = std::make_unique<VeObjNode>();
        } else if (target == "gather") {
            held = new VePrevSegyTracesGather;
            node = std::make_unique<VeObjNode>(held);
        } else if (target == "geometry") {
            auto* geometry = new VePrevStackSegyGeometry;
            geometry->SetName("Survey geometry");
            geometry->SetID(77);
            geometry->AddShotGeometry(new VePrevSegySRGeometry{7, 1, 2, 3});
            geometry->AddReceiverGeometry(new VePrevSegySRGeometry{7, 1, 2, 3});
            held = geometry;
            node = std::make_unique<VeObjNode>(held);
        }

        Outcome outcome;
        QVERIFY(runLoad(&param, node.get(), outcome));
        QCOMPARE(outcome.progress, QStringList{"Reading"});
        QCOMPARE(eventsLog(m_Dir), log);
        if (node)
            QCOMPARE(node->GetObject(), held);

        QCOMPARE(outcome.created.size(), size_t(created ? 1 : 0));
        const VePrevStackSegyGeometry* filled = nullptr;
        if (created) {
            filled = qobject_cast<VePrevStackSegyGeometry*>(outcome.created.front().get());
            QVERIFY(filled);
            QCOMPARE(filled->GetName(), QString("SPS SR Geometry"));
            QVERIFY(filled->GetID() > 0);
            QVERIFY(outcome.createdOnMainThread);
            QVERIFY(!filled->parent());
        } else if (target == "geometry") {
            filled = qobject_cast<VePrevStackSegyGeometry*>(held);
        }
        if (filled) {
            QCOMPARE(describe(filled->Shots()), shots);
            QCOMPARE(describe(filled->Receivers()), receivers);
        }
        // The host learns what was filled, even in part, and with which record.
        QCOMPARE(outcome.reports, 1);
        QCOMPARE(outcome.filledID, filled ? filled->GetID() : 0);
        const auto* ranWith = dynamic_cast<const VeTaskSPSFilesLoaderParam*>(outcome.ranWith.get());
        QVERIFY(ranWith && ranWith != &param);
        QCOMPARE(ranWith->SourceFileName, param.SourceFileName);
        QCOMPARE(ranWith->ReceiverFileName, param.ReceiverFileName);
    }

    void withoutParameterRecordNothingHappens()
    {
        Outcome outcome;
        QVERIFY(runLoad(nullptr, nullptr, outcome));
        QVERIFY(outcome.progress.isEmpty());
        QVERIFY(outcome.created.empty());
        QCOMPARE(outcome.reports, 0);
        QVERIFY(VeEventsLog::Instance()->Entries().isEmpty());
    }

    // The load as a program without windows runs it: waited for, with the new
    // geometry, the entries written meanwhile and whether the numbers fit.
    void driver_data()
    {
        QTest::addColumn<QString>("receiver");
        QTest::addColumn<qint32>("receiverFactor");
        QTest::addColumn<int>("receivers"); // -1: no geometry
        QTest::addColumn<bool>("numbersFit");
        QTest::addColumn<Log>("log");
        const Log merged{{2, "1 source points share a point number with another point; 2 shots "
                             "were added."}};
        const Log added{{1, "2 shots and 2 receivers were added to [SPS SR Geometry]."}};
        QTest::newRow("loaded") << "r.sps" << 0 << 2 << true << merged + added;
        QTest::newRow("missing receiver: nothing handed over")
            << "none.sps" << 0 << -1 << true
            << merged + Log{{3, "Cannot open file [<dir>/none.sps] for reading!"}};
        QTest::newRow("the record's numbering: a factor beyond 32 bits")
            << "r.sps" << 3000000 << 2 << false
            << merged +
                   Log{{2, "Receiver factor 3000000 takes point number 1002 of [<dir>/r.sps] to "
                           "3006000000, beyond the signed 32-bit point numbers, and the numbers "
                           "wrap; the largest receiver factor that fits every point is 2143197."}} +
                   added;
    }

    void driver()
    {
        QFETCH(QString, receiver);
        QFETCH(qint32, receiverFactor);
        QFETCH(int, receivers);
        QFETCH(bool, numbersFit);
        QFETCH(Log, log);
        VeTaskSPSFilesLoaderParam param;
        param.SourceFileName = path("s.sps");
        param.ReceiverFileName = path(receiver);
        param.Numbering.ReceiverNumberFactor = receiverFactor;
        OutputEventsLog(VeEventsLog::EventsLogInformation, "written before the load");

        const SPSFinishedLoad load = SPSLoadDriver::Run(param);
        QCOMPARE(logOf(load.log, m_Dir), log);
        QCOMPARE(load.numbersFit, numbersFit);
        QCOMPARE(load.geometry ? load.geometry->ReceiverCount() : -1, receivers);
        if (load.geometry)
            QCOMPARE(load.geometry->GetName(), QString("SPS SR Geometry"));
    }

    void settingsReachTheRun()
    {
        VeTaskSPSFilesLoaderParam param;
        param.SourceFileName = path("s.sps");
        param.ReceiverFileName = path("r.sps");
        Outcome outcome;
        // The record's own numbering is not what the run used.
        param.Numbering.LineFactor = 1000;
        QVERIFY(runLoad(&param, nullptr, outcome, SPSNumberingSettings{10, -1, 10, -2}));
        QCOMPARE(outcome.created.size(), size_t(1));
        // Both files were read to their end.
        QCOMPARE(outcome.progressAtEnd, 1.0);
        const auto* ranWith = dynamic_cast<const VeTaskSPSFilesLoaderParam*>(outcome.ranWith.get());
        QVERIFY(ranWith);
        const SPSNumberingSettings& used = ranWith->Numbering;
        QCOMPARE((QList<qint32>{used.ShotNumberFactor, used.ReceiverNumberFactor,
                                used.CoordinateScalar, used.ElevationScalar, used.LineFactor}),
                 (QList<qint32>{10, -1, 10, -2, 0}));
        const auto* geometry = qobject_cast<VePrevStackSegyGeometry*>(outcome.created[0].get());
        QCOMPARE(describe(geometry->Shots()),
                 (QStringList{"990|59990.0195|550000|199", "1010|60010.0508|550010|202.119995"}));
        QCOMPARE(describe(geometry->Receivers()),
                 (QStringList{"-1002|60000|549900|196.5", "-1001|59995|549900|196"}));
    }

    void otherRevision_data()
    {
        QTest::addColumn<QString>("layout");     // revision of the layout in use
        QTest::addColumn<QByteArray>("letters"); // which files hold revision 2.1 rows
        QTest::addColumn<QByteArray>("index");   // the 2.1 rows' point index, ending in column 24
        QTest::addColumn<Log>("log");

        const QString warning =
            "[<dir>/%1] is SPS revision %2 (no header row names the revision; 4 of 4 %1 rows have "
            "the columns of revision %2), not the layout in use: read it as revision %2 (spsload "
            "--revision auto, or the revision %2 preset of the Format page).";
        const QPair<int, QString> added{1,
                                        "2 shots and 2 receivers were added to [SPS SR Geometry]."};
        QTest::newRow("2.1 rows read as revision 1: one warning per file, after its others")
            << "1" << QByteArray("SR") << QByteArray("1")
            << Log{{2, "2 source points share a point number with another point; 2 shots were "
                       "added."},
                   {2, warning.arg("S", "2.1")},
                   {2, "2 receiver points share a point number with another point; 2 receivers "
                       "were added."},
                   {2, warning.arg("R", "2.1")},
                   added};
        const Log sourcesMerged{{2, "2 source points share a point number with another point; 2 "
                                    "shots were added."}};
        QTest::newRow("2.1 rows with the index \"01\" in columns 23-24 read as revision 1")
            << "1" << QByteArray("S") << QByteArray("01")
            << Log{{2, "2 source points share a point number with another point; 2 shots were "
                       "added."},
                   {2, warning.arg("S", "2.1")},
                   {2, "2 receiver points share a point number with another point; 2 receivers "
                       "were added."},
                   added};
        QTest::newRow("2.1 rows read as 2.1")
            << "2.1" << QByteArray("SR") << QByteArray("1")
            << sourcesMerged + Log{{2, "2 receiver points share a point number with another "
                                       "point; 2 receivers were added."},
                                   added};
        QTest::newRow("revision 1 rows read as 2.1: receivers only")
            << "2.1" << QByteArray("S") << QByteArray("1")
            << sourcesMerged + Log{{2, warning.arg("R", "1")}, added};
    }

    void otherRevision()
    {
        QFETCH(QString, layout);
        QFETCH(QByteArray, letters);
        QFETCH(QByteArray, index);
        QFETCH(Log, log);
        VeTaskSPSFilesLoaderParam param;
        SPSLayoutPresets::Apply(*SPSLayoutPresets::RevisionFromText(layout), &param);
        for (char letter : {'S', 'R'}) {
            QList<QByteArray> rows;
            for (int i = 0; i < 4; ++i) {
                const QByteArray line = QByteArray::number(7 + i / 2);
                const QByteArray point = QByteArray::number(2001 + i % 2);
                QByteArray row1 =
                    SPSTest::Row(letter, line, point, "", "600000.0", "5500000.0", "9");
                row1[25] = '1'; // the point index, right after the point number
                rows << (letters.contains(letter)
                             ? sps21::pointRow(letter, line, point + ".00", "600000.0", "5500000.0",
                                               "95.0", index)
                             : row1.chopped(2));
            }
            QVERIFY(SPSTest::WriteFile(path(QString(QChar(letter))), sps21::file(rows)));
        }
        param.SourceFileName = path("S");
        param.ReceiverFileName = path("R");
        Outcome outcome;
        QVERIFY(runLoad(&param, nullptr, outcome));
        QCOMPARE(outcome.created.size(), size_t(1));
        QCOMPARE(eventsLog(m_Dir), log);
    }

    void singlePrecision_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<float>("expected");

        constexpr float inf = std::numeric_limits<float>::infinity();
        QTest::newRow("rounds to nearest") << "600000.123" << 600000.125f;
        QTest::newRow("just below overflow: largest float")
            << "340282356779733623858607532500980858880" << std::numeric_limits<float>::max();
        QTest::newRow("half an ulp above the largest: infinity")
            << "340282356779733661637539395458142568448" << inf;
        QTest::newRow("negative overflow") << "-340282356779733661637539395458142568448" << -inf;
        QTest::newRow("underflow to zero") << "1e-46" << 0.0f;
    }

    void singlePrecision()
    {
        QFETCH(QString, text);
        QFETCH(float, expected);
        // X read from a wide field past the standard columns.
        VeTaskSPSFilesLoaderParam param;
        param.SrcCoordX = 80;
        param.SrcCoordXLen = 45;
        param.SourceFileName = path("wide.sps");
        param.ReceiverFileName = path("r.sps");
        QVERIFY(SPSTest::WriteFile(param.SourceFileName,
                                   SPSTest::Row('S', "1", "1", "", "", "", "").chopped(2) +
                                       QByteArray(9, ' ') + text.toLatin1() + "\r\n"));
        Outcome outcome;
        QVERIFY(runLoad(&param, nullptr, outcome));
        QCOMPARE(outcome.created.size(), size_t(1));
        const auto* geometry = qobject_cast<VePrevStackSegyGeometry*>(outcome.created[0].get());
        QCOMPARE(geometry->ShotCount(), 1);
        QCOMPARE(bits(geometry->ShotAt(0).m_fX), bits(expected));
    }
};

QTEST_GUILESS_MAIN(TestLoaderThread)
#include "tst_loaderthread.moc"
