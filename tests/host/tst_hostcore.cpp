#include "VeDataLoadThread.h"
#include "VeEventsLog.h"
#include "VeObjNode.h"
#include "VePrevStackSegyGeometry.h"
#include "VeRuntimeClass.h"
#include "VeTaskParameter.h"
#include "VeThreadRegistry.h"

#include <QSignalSpy>
#include <QtTest>

#include <set>
#include <thread>
#include <vector>

namespace {
// A load that creates a geometry on its worker and hands it over.
class CreatingThread : public VeDataLoadThread
{
public:
    QThread* createdOn = nullptr;

protected:
    void run() override
    {
        auto* geometry = new VePrevStackSegyGeometry;
        auto* record = new VePrevSegySRGeometry;
        record->m_nNumber = 7;
        geometry->AddShotGeometry(record);
        createdOn = geometry->thread();
        Q_EMIT sigCreatedObject(geometry);
    }
};

// A load that says, as its run ends, what it filled and what it ran with.
class ReportingThread : public VeDataLoadThread
{
public:
    bool reports = true;

protected:
    void run() override
    {
        if (!reports)
            return;
        auto parameters = std::make_shared<VeTaskParameter>();
        parameters->SetName("ran with");
        parameters->moveToThread(thread());
        Q_EMIT sigLoadFinished(42, std::move(parameters));
    }
};

// Runs until told to stop, so a test can act while a load is running.
class BlockingThread : public VeDataLoadThread
{
public:
    QSemaphore release;

protected:
    void run() override { release.acquire(); }
};
} // namespace

class TestHostCore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void registryCreatesByName()
    {
        VeObject* object = VeRuntimeClass::CreateObject("VePrevStackSegyGeometry");
        QVERIFY(qobject_cast<VePrevStackSegyGeometry*>(object));
        delete object;
        QVERIFY(VeRuntimeClass::FromName("VePrevSegyTracesGather"));
        QVERIFY(VeRuntimeClass::FromName("VePrevStackSegyObserver"));
        QVERIFY(!VeRuntimeClass::CreateObject("NoSuchClass"));
        QVERIFY(VePrevStackSegyGeometry::GetThisClass()->IsDerivedFrom(VeObject::GetThisClass()));
    }

    void registryRefusesSecondRecord()
    {
        const VeRuntimeClass* first = VeRuntimeClass::FromName("VePrevStackSegyGeometry");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("already registered"));
        {
            VeRuntimeClass second("VePrevStackSegyGeometry", 1, nullptr, nullptr);
            QVERIFY(!second.IsRegistered());
            QCOMPARE(VeRuntimeClass::FromName("VePrevStackSegyGeometry"), first);
        }
        // The refused record's end must not drop the first one.
        QCOMPARE(VeRuntimeClass::FromName("VePrevStackSegyGeometry"), first);
    }

    void uniqueIdsAcrossThreads()
    {
        std::vector<std::vector<qint64>> ids(4);
        std::vector<std::thread> threads;
        for (auto& list : ids)
            threads.emplace_back([&list] {
                for (int i = 0; i < 10000; ++i)
                    list.push_back(VeObject::CreateUniqueID());
            });
        for (auto& t : threads)
            t.join();
        std::set<qint64> all;
        for (const auto& list : ids)
            all.insert(list.begin(), list.end());
        QCOMPARE(all.size(), size_t(40000));
    }

    void createdObjectIsHandedToMainThread()
    {
        VeThreadRegistry* registry = VeThreadRegistry::Instance();
        VeObject* received = nullptr;
        auto conn = connect(registry, &VeThreadRegistry::sigObjectCreated, this,
                            [&received](VeObject* o) { received = o; });
        QSignalSpy finished(registry, &VeThreadRegistry::sigThreadFinished);
        CreatingThread thread;
        thread.start();
        QVERIFY(finished.wait(5000));
        disconnect(conn);
        QVERIFY(received);
        QVERIFY(thread.createdOn != thread.thread());
        QCOMPARE(received->thread(), QThread::currentThread());
        auto* geometry = qobject_cast<VePrevStackSegyGeometry*>(received);
        QVERIFY(geometry);
        QCOMPARE(geometry->ShotCount(), 1);
        // Adds in a burst give one notice, on the object's new thread.
        QSignalSpy added(geometry, &VePrevStackSegyGeometry::sigRecordsAdded);
        geometry->AddReceiverGeometry(new VePrevSegySRGeometry);
        geometry->AddReceiverGeometry(new VePrevSegySRGeometry);
        QVERIFY(added.wait(2000));
        QTest::qWait(20);
        QCOMPARE(added.count(), 1);
        QCOMPARE(geometry->ReceiverCount(), 2);
        delete received;
    }

    void createdObjectWithoutSubscriberIsDeleted()
    {
        QSignalSpy finished(VeThreadRegistry::Instance(), &VeThreadRegistry::sigThreadFinished);
        CreatingThread thread;
        thread.start();
        QVERIFY(finished.wait(5000));
        // LeakSanitizer reports the geometry if the registry kept it.
        QVERIFY(thread.isFinished());
    }

    void progressAndFinishReachSubscribers()
    {
        VeThreadRegistry* registry = VeThreadRegistry::Instance();
        QSignalSpy progress(registry, &VeThreadRegistry::sigProcessMessage);
        QSignalSpy idle(registry, &VeThreadRegistry::sigAllThreadsFinished);
        BlockingThread thread;
        thread.start();
        QCOMPARE(registry->RunningCount(), 1);
        Q_EMIT thread.sigProcessMessage("Reading");
        thread.release.release();
        QVERIFY(idle.wait(5000));
        QCOMPARE(progress.count(), 1);
        QCOMPARE(progress.at(0).at(1).toString(), QString("Reading"));
        QCOMPARE(registry->RunningCount(), 0);
    }

    void loadFinishedReachesSubscribers_data()
    {
        QTest::addColumn<bool>("reports");
        QTest::addColumn<bool>("deleted"); // before its end reaches the registry
        QTest::addColumn<QStringList>("heard");

        QTest::newRow("load that reports")
            << true << false << QStringList{"load 42 ran with", "thread", "all"};
        QTest::newRow("load that reports nothing")
            << false << false << QStringList{"thread", "all"};
        // Nobody is handed a thread that is gone, nor what it said.
        QTest::newRow("load deleted after it reported") << true << true << QStringList{"all"};
    }

    void loadFinishedReachesSubscribers()
    {
        QFETCH(bool, reports);
        QFETCH(bool, deleted);
        QFETCH(QStringList, heard);

        VeThreadRegistry* registry = VeThreadRegistry::Instance();
        auto thread = std::make_unique<ReportingThread>();
        thread->reports = reports;
        VeThread* const started = thread.get();
        QStringList order;
        const QList<QMetaObject::Connection> connections{
            connect(registry, &VeThreadRegistry::sigLoadFinished, this,
                    [&](VeThread* from, qint64 id, std::shared_ptr<const VeTaskParameter> p) {
                        if (from == started)
                            order << QString("load %1 %2").arg(id).arg(p ? p->GetName() : "none");
                    }),
            connect(registry, &VeThreadRegistry::sigThreadFinished, this,
                    [&](VeThread* from) {
                        if (from == started)
                            order << "thread";
                    }),
            connect(registry, &VeThreadRegistry::sigAllThreadsFinished, this,
                    [&]() { order << "all"; })};
        thread->start();
        if (deleted) {
            thread->wait();
            thread.reset();
        }
        const bool ended = QTest::qWaitFor([&order] { return order.contains("all"); }, 5000);
        for (const auto& c : connections)
            disconnect(c);
        QVERIFY(ended);
        QCOMPARE(order, heard);
    }

    void deletionWaitsForRunningLoads_data()
    {
        QTest::addColumn<bool>("replaced"); // the object replaced, or its node deleted
        QTest::newRow("node deleted") << false;
        QTest::newRow("object replaced") << true;
    }

    void deletionWaitsForRunningLoads()
    {
        QFETCH(bool, replaced);
        auto* node = new VeObjNode(new VePrevStackSegyGeometry);
        QPointer<VeObject> object(node->GetObject());
        QPointer<VeObjNode> guard(node);
        BlockingThread thread;
        thread.start();
        if (replaced)
            node->SetObject(new VePrevStackSegyGeometry);
        else
            node->RequestDelete();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTest::qWait(50);
        QVERIFY(object);
        QVERIFY(guard);
        QVERIFY(node->GetObject() != object || !replaced);
        thread.release.release();
        QTRY_VERIFY_WITH_TIMEOUT(!object, 5000);
        QCOMPARE(guard.isNull(), !replaced);
        delete guard.data();
        // With no load running, a replaced object goes at once.
        if (replaced) {
            auto* idle = new VeObjNode(new VePrevStackSegyGeometry);
            QPointer<VeObject> former(idle->GetObject());
            idle->SetObject(nullptr);
            QVERIFY(!former);
            delete idle;
        }
    }

    void eventsLogFromManyThreads()
    {
        VeEventsLog* log = VeEventsLog::Instance();
        log->Clear();
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([t] {
                for (int i = 0; i < 500; ++i)
                    OutputEventsLog(VeEventsLog::EventsLogWarning, QString("%1:%2").arg(t).arg(i));
            });
        for (auto& t : threads)
            t.join();
        const QList<VeEventsLogEntry> entries = log->Entries();
        QCOMPARE(entries.size(), 2000);
        int next[4] = {0, 0, 0, 0};
        for (const VeEventsLogEntry& e : entries) {
            QCOMPARE(e.type, VeEventsLog::EventsLogWarning);
            const QStringList parts = e.text.split(':');
            const int t = parts[0].toInt();
            QCOMPARE(parts[1].toInt(), next[t]++);
        }
        log->Clear();
    }

    // Records are kept in blocks; what crosses their edges must read back whole.
    void geometryKeepsRecordsAcrossBlocks_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("none") << 0;
        QTest::newRow("one") << 1;
        QTest::newRow("one block and one") << 131073;
        QTest::newRow("several blocks") << 400000;
    }

    void geometryKeepsRecordsAcrossBlocks()
    {
        QFETCH(int, count);
        VePrevStackSegyGeometry geometry;
        for (int i = 0; i < count; ++i)
            geometry.AddReceiverGeometry(new VePrevSegySRGeometry{i, float(i % 977), 0, 0});
        VePrevStackSegyGeometry copy;
        QVERIFY(copy.Copy(geometry));
        for (const VePrevStackSegyGeometry* g : {&geometry, &copy}) {
            const std::vector<VePrevSegySRGeometry> all = g->Receivers();
            QCOMPARE(int(all.size()), count);
            QCOMPARE(g->ReceiverCount(), count);
            for (int i = 0; i < count; ++i)
                if (all[size_t(i)].m_nNumber != i || all[size_t(i)].m_fX != float(i % 977))
                    QFAIL(qPrintable(QString("record %1 reads back wrong").arg(i)));
            for (int i : {0, 131071, 131072, count - 1})
                if (i >= 0 && i < count)
                    QCOMPARE(g->ReceiverAt(i).m_nNumber, i);
            QVERIFY_THROWS_EXCEPTION(std::out_of_range, g->ReceiverAt(count));
        }

        // A snapshot reads the records it was taken with, whatever is added
        // after it, and outlives its geometry.
        auto later = std::make_unique<VePrevStackSegyGeometry>();
        QVERIFY(later->Copy(geometry));
        const VeSRRecordSnapshot snapshot = later->ReceiverSnapshot();
        for (int i = 0; i < 131073; ++i)
            later->AddReceiverGeometry(new VePrevSegySRGeometry{-1, 0, 0, 0});
        later.reset();
        QCOMPARE(int(snapshot.Size()), count);
        int next = 0;
        snapshot.ForEach([&next](const VePrevSegySRGeometry& r) {
            if (r.m_nNumber == next)
                ++next;
        });
        QCOMPARE(next, count);
    }
};

QTEST_GUILESS_MAIN(TestHostCore)
#include "tst_hostcore.moc"
