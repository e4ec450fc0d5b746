// Loads on worker threads beside a live main thread: the geometry a load fills
// is read meanwhile, several loads run at once, and a host deletes a node that
// a running load targets.
#include "SPSTestFifo.h"
#include "SPSTestLoad.h"

#include <QPointer>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <map>
#include <memory>
#include <set>
#include <vector>

using namespace SPSTest;

namespace {
// What Survey() wrote for a point, as the geometry keeps it (single precision).
bool IsSurveyRecord(const VePrevSegySRGeometry& r)
{
    const double n = r.m_nNumber;
    return r.m_fX == float(600000 + n) && r.m_fY == float(5500000 + 2 * n) &&
           r.m_fElevation == float((r.m_nNumber % 1000) / 10.0);
}
} // namespace

class TestThreadStress : public QObject
{
    Q_OBJECT

    QTemporaryDir m_Dir;

    // A record of its own for a load of `points` shots and receivers numbered
    // from `first`.
    std::unique_ptr<VeTaskSPSFilesLoaderParam> Param(int first, int points)
    {
        auto param = std::make_unique<VeTaskSPSFilesLoaderParam>();
        const QString base = m_Dir.filePath(QStringLiteral("survey-%1").arg(first));
        param->SourceFileName = base + QStringLiteral(".s");
        param->ReceiverFileName = base + QStringLiteral(".r");
        if (!WriteFile(param->SourceFileName, Survey('S', points, first)) ||
            !WriteFile(param->ReceiverFileName, Survey('R', points, first)))
            return nullptr;
        return param;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_Dir.isValid()); }

    void init() { VeEventsLog::Instance()->Clear(); }

    // Four loads add to one existing geometry while the main thread reads it
    // through every query the host has; each record read is whole, and at the
    // end the geometry holds its own records and every load's, each load's in
    // ascending order.
    void loadsIntoOneGeometryWhileMainThreadReads()
    {
        constexpr int kLoads = 4;
        constexpr int kPoints = 3000;
        auto* geometry = new VePrevStackSegyGeometry;
        for (int n : {900003, 900002, 900001}) {
            auto* record = new VePrevSegySRGeometry;
            record->m_nNumber = n;
            geometry->AddShotGeometry(record);
        }
        VeObjNode node(geometry);
        const std::vector<VePrevSegySRGeometry> before = geometry->Shots();

        std::vector<std::unique_ptr<VeTaskSPSFilesLoaderParam>> params;
        std::vector<std::unique_ptr<VeThreadSPSFilesLoader>> threads;
        for (int i = 0; i < kLoads; ++i) {
            params.push_back(Param(100000 * (i + 1), kPoints));
            QVERIFY(params.back());
            auto thread = std::make_unique<VeThreadSPSFilesLoader>();
            thread->m_pParam = params.back().get();
            thread->m_pTargetNode = &node;
            threads.push_back(std::move(thread));
        }
        QSignalSpy notices(geometry, &VePrevStackSegyGeometry::sigRecordsAdded);
        // A failed check returns early: the loads must still end before their objects.
        const auto waitForAll = qScopeGuard([&threads] {
            for (auto& t : threads)
                t->wait();
        });
        for (auto& t : threads)
            t->start();

        int reads = 0;
        int lastCount = 0;
        QRandomGenerator random(7);
        const auto running = [&threads] {
            for (auto& t : threads)
                if (!t->isFinished())
                    return true;
            return false;
        };
        while (running()) {
            const int shots = geometry->ShotCount();
            QVERIFY(shots >= lastCount); // records are only ever added
            lastCount = shots;
            if (shots > 3) {
                const VePrevSegySRGeometry r = geometry->ShotAt(3 + random.bounded(shots - 3));
                QVERIFY2(IsSurveyRecord(r), qPrintable(QString::number(r.m_nNumber)));
            }
            const int receivers = geometry->ReceiverCount();
            if (receivers > 0)
                QVERIFY(IsSurveyRecord(geometry->ReceiverAt(random.bounded(receivers))));
            if (++reads % 16 == 0) {
                const std::vector<VePrevSegySRGeometry> copy = geometry->Shots();
                QVERIFY(int(copy.size()) >= shots);
                QVERIFY(geometry->GetDataObjInfo().contains(QLatin1String("shots")));
                VeEventsLog::Instance()->Entries();
            }
            QCoreApplication::processEvents();
        }
        for (auto& t : threads)
            QVERIFY(t->wait(60000));
        QCoreApplication::processEvents();

        const std::vector<VePrevSegySRGeometry> shots = geometry->Shots();
        const std::vector<VePrevSegySRGeometry> receivers = geometry->Receivers();
        QCOMPARE(int(shots.size()), 3 + kLoads * kPoints);
        QCOMPARE(int(receivers.size()), kLoads * kPoints);
        for (size_t i = 0; i < before.size(); ++i)
            QCOMPARE(shots[i].m_nNumber, before[i].m_nNumber);
        // Interleaved between loads, but each load's own records in ascending order.
        for (const auto* list : {&shots, &receivers}) {
            std::map<int, int> lastOfLoad;
            for (size_t i = list == &shots ? before.size() : 0; i < list->size(); ++i) {
                const VePrevSegySRGeometry& r = (*list)[i];
                QVERIFY(IsSurveyRecord(r));
                const int load = r.m_nNumber / 100000;
                QVERIFY(r.m_nNumber > lastOfLoad[load]);
                lastOfLoad[load] = r.m_nNumber;
            }
            QCOMPARE(int(lastOfLoad.size()), kLoads);
        }
        QVERIFY(notices.count() >= 1);
        QCOMPARE(SPSTest::ProblemsLogged(), QStringList());
        qInfo("%d reads of the geometry while the loads ran", reads);
    }

    // Loads running at once, each into a new geometry of its own, two of them
    // failing: every new geometry reaches the main thread whole, and every
    // failure is logged once.
    void severalLoadsAtOnce()
    {
        constexpr int kLoads = 6;
        std::vector<std::unique_ptr<VeTaskSPSFilesLoaderParam>> params;
        for (int i = 0; i < kLoads; ++i) {
            params.push_back(Param(10000 * (i + 1), 500 + 100 * i));
            QVERIFY(params.back());
        }
        params[1]->ReceiverFileName = m_Dir.filePath(QStringLiteral("no-such-receivers"));
        params[4]->SourceFileName = m_Dir.path(); // a folder

        std::vector<std::unique_ptr<VePrevStackSegyGeometry>> handed;
        QObject receiver;
        connect(VeThreadRegistry::Instance(), &VeThreadRegistry::sigObjectCreated, &receiver,
                [&handed](VeObject* o) {
                    handed.emplace_back(qobject_cast<VePrevStackSegyGeometry*>(o));
                    QVERIFY(handed.back());
                });
        std::vector<std::unique_ptr<VeThreadSPSFilesLoader>> threads;
        const auto waitForAll = qScopeGuard([&threads] {
            for (auto& t : threads)
                t->wait();
        });
        for (auto& p : params) {
            threads.push_back(std::make_unique<VeThreadSPSFilesLoader>());
            threads.back()->m_pParam = p.get();
            threads.back()->start();
        }
        for (auto& t : threads)
            QVERIFY(t->wait(60000));
        QCoreApplication::sendPostedEvents();

        QCOMPARE(int(handed.size()), kLoads - 2);
        std::set<qint64> ids;
        std::set<int> sizes;
        for (const auto& g : handed) {
            QCOMPARE(g->thread(), QThread::currentThread());
            QCOMPARE(g->GetName(), QString("SPS SR Geometry"));
            ids.insert(g->GetID());
            QCOMPARE(g->ShotCount(), g->ReceiverCount());
            const int first = g->ShotAt(0).m_nNumber;
            QCOMPARE(first % 10000, 0);
            QCOMPARE(g->ShotCount(), 500 + 100 * (first / 10000 - 1));
            sizes.insert(g->ShotCount());
        }
        QCOMPARE(int(ids.size()), kLoads - 2);
        QCOMPARE(sizes, (std::set<int>{500, 700, 800, 1000}));
        const QStringList errors = SPSTest::ProblemsLogged();
        QCOMPARE(errors.size(), 2);
        QVERIFY(errors.contains(
            QStringLiteral("Cannot open file [%1] for reading!").arg(params[1]->ReceiverFileName)));
        QVERIFY(errors.contains(
            QStringLiteral("Cannot open file [%1] for reading!").arg(params[4]->SourceFileName)));
    }

    // The host deletes a node while two loads add to its geometry: the node and
    // its geometry stay until the loads have finished, and go then. The first
    // load is held mid-file by a pipe, so it certainly runs when the host asks.
    void deletingTargetNodeWaitsForRunningLoads()
    {
        auto* geometry = new VePrevStackSegyGeometry;
        auto* node = new VeObjNode(geometry);
        QPointer<VeObjNode> nodeAlive(node);
        QPointer<VePrevStackSegyGeometry> geometryAlive(geometry);

        auto held = Param(1000, 400);
        QVERIFY(held);
        const QString pipe = m_Dir.filePath(QStringLiteral("held.s"));
        FifoWriter writer(pipe);
        QVERIFY(writer.IsMade());
        held->SourceFileName = pipe;
        auto other = Param(5000, 2000);
        QVERIFY(other);

        VeThreadSPSFilesLoader first;
        ReadPipes(first);
        first.m_pParam = held.get();
        first.m_pTargetNode = node;
        VeThreadSPSFilesLoader second;
        second.m_pParam = other.get();
        second.m_pTargetNode = node;
        QSignalSpy allDone(VeThreadRegistry::Instance(), &VeThreadRegistry::sigAllThreadsFinished);
        first.start();
        second.start();
        QVERIFY(writer.WaitForReader());
        const QByteArray survey = Survey('S', 400, 1000);
        const qsizetype half = survey.size() / 2 + 7; // mid-row
        QVERIFY(writer.Write(survey.left(half)));

        node->RequestDelete();
        QVERIFY(second.wait(60000));
        // Deferred deletions and the second load's end are delivered; the
        // first load still waits for the rest of its file.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(first.isRunning());
        QVERIFY(nodeAlive);
        QVERIFY(geometryAlive);

        QVERIFY(writer.Write(survey.mid(half)));
        writer.Close();
        QVERIFY(first.wait(60000));
        // Until the last load's end reaches the main thread the node stays.
        QVERIFY(nodeAlive);
        QTRY_VERIFY_WITH_TIMEOUT(allDone.count() > 0, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!nodeAlive, 10000);
        QVERIFY(!geometryAlive);
        QCOMPARE(SPSTest::ProblemsLogged(), QStringList());
    }

    // A host may delete a finished load's thread object before the end of the
    // load has reached the main thread; a deletion waiting for the loads must
    // still take place.
    void deletionWaitsForLoadWhoseThreadObjectIsDeletedFirst()
    {
        auto* node = new VeObjNode(new VePrevStackSegyGeometry);
        QPointer<VeObjNode> nodeAlive(node);
        auto param = Param(7000, 50);
        QVERIFY(param);
        const QString pipe = m_Dir.filePath(QStringLiteral("held-again.s"));
        FifoWriter writer(pipe);
        QVERIFY(writer.IsMade());
        param->SourceFileName = pipe;

        auto thread = std::make_unique<VeThreadSPSFilesLoader>();
        ReadPipes(*thread);
        thread->m_pParam = param.get();
        thread->m_pTargetNode = node;
        thread->start();
        QVERIFY(writer.WaitForReader());
        node->RequestDelete();
        QVERIFY(writer.Write(Survey('S', 50, 7000)));
        writer.Close();
        QVERIFY(thread->wait(60000));
        thread.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!nodeAlive, 5000);
    }
};

QTEST_GUILESS_MAIN(TestThreadStress)
#include "tst_threadstress.moc"
