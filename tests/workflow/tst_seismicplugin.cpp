#include "VeMenuAgencyBase.h"
#include "VeMenuAgencySeismicSurvey.h"
#include "VePluginObject.h"
#include "VePluginTaskObject.h"
#include "VePrevSegyTracesGather.h"
#include "VePrevStackSegyGeometry.h"
#include "VePrevStackSegyObserver.h"
#include "VeRuntimeClass.h"
#include "VeTask.h"
#include "VeTaskSPSFilesLoader.h"

#include <QLibrary>
#include <QPluginLoader>
#include <QPointer>
#include <QRegularExpression>
#include <QtTest>

#include <memory>

// The plug-in module as the host takes it in: found beside the test program,
// loaded with QPluginLoader, its object reached through the host's interface.
class TestSeismicPlugin : public QObject
{
    Q_OBJECT

private:
    static QString modulePath()
    {
        return QCoreApplication::applicationDirPath() + QStringLiteral("/plugins/") +
               QStringLiteral(SPS_PLUGIN_FILE);
    }

    VePluginObject* plugin() { return qobject_cast<VePluginObject*>(m_loader->instance()); }

    std::unique_ptr<QPluginLoader> m_loader;

private Q_SLOTS:
    void initTestCase()
    {
        // The module links the library this test links: loading it must not
        // register any class record or menu binding a second time.
        QTest::failOnWarning(QRegularExpression(QStringLiteral("already (registered|bound)")));
        m_loader = std::make_unique<QPluginLoader>(modulePath());
        QVERIFY2(m_loader->load(), qPrintable(m_loader->errorString()));
        QCOMPARE(m_loader->metaData().value(QStringLiteral("IID")).toString(),
                 QStringLiteral(VePluginObject_iid));
        QCOMPARE(m_loader->metaData().value(QStringLiteral("className")).toString(),
                 QStringLiteral("VeSeismicSurveyPlugin"));
    }

    void cleanupTestCase() { delete m_loader->instance(); }

    void instanceIsKeptUntilDeleted()
    {
        QLibrary library(modulePath());
        auto instanceFn = reinterpret_cast<QObject* (*)()>(library.resolve("qt_plugin_instance"));
        QVERIFY(instanceFn);

        QObject* first = m_loader->instance();
        QVERIFY(first);
        QCOMPARE(m_loader->instance(), first);
        QCOMPARE(instanceFn(), first);
        QCOMPARE(instanceFn(), first);

        const qint64 firstId = qobject_cast<VePluginObject*>(first)->GetID();
        QPointer<QObject> watch(first);
        delete first;
        QVERIFY(watch.isNull());

        // The guard was cleared: the next call makes a new object (possibly at
        // the same address, so it is told apart by its ID).
        QObject* second = instanceFn();
        QVERIFY(second);
        QCOMPARE(m_loader->instance(), second);
        QCOMPARE(instanceFn(), second);
        auto* secondPlugin = qobject_cast<VePluginObject*>(second);
        QVERIFY(secondPlugin);
        QVERIFY(secondPlugin->GetID() != firstId);
        QCOMPARE(secondPlugin->GetTaskObjects().size(), 1);
    }

    void metacast_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<bool>("isNull");
        QTest::addColumn<bool>("answersSelf");

        QTest::newRow("own class") << QByteArray("VeSeismicSurveyPlugin") << false << true;
        QTest::newRow("interface id") << QByteArray(VePluginObject_iid) << false << true;
        QTest::newRow("base class") << QByteArray("VePluginObject") << false << true;
        QTest::newRow("QObject") << QByteArray("QObject") << false << true;
        QTest::newRow("null name") << QByteArray() << true << false;
        QTest::newRow("prefix of own class") << QByteArray("VeSeismicSurvey") << false << false;
        QTest::newRow("own class and more")
            << QByteArray("VeSeismicSurveyPluginX") << false << false;
        QTest::newRow("prefix of interface id")
            << QByteArray(VePluginObject_iid).chopped(1) << false << false;
        QTest::newRow("other class") << QByteArray("VeTaskSPSFilesLoader") << false << false;
    }

    void metacast()
    {
        QFETCH(QByteArray, name);
        QFETCH(bool, isNull);
        QFETCH(bool, answersSelf);

        QObject* object = m_loader->instance();
        void* answer = object->qt_metacast(isNull ? nullptr : name.constData());
        QCOMPARE(answer, answersSelf ? static_cast<void*>(plugin()) : nullptr);
    }

    void metaObjectHasNoMembersOfItsOwn()
    {
        const QMetaObject* mo = m_loader->instance()->metaObject();
        QCOMPARE(mo->className(), "VeSeismicSurveyPlugin");
        QCOMPARE(mo->superClass(), &VePluginObject::staticMetaObject);
        QCOMPARE(mo->methodCount(), mo->methodOffset());
        QCOMPARE(mo->propertyCount(), mo->propertyOffset());
        QCOMPARE(mo->classInfoCount(), mo->classInfoOffset());
    }

    void operations()
    {
        VePluginObject* p = plugin();
        QVERIFY(p);
        QCOMPARE(p->IsPluginValid(), true);
        QCOMPARE(p->GetPluginVersion(), 1.0);
        QCOMPARE(p->GetName(), QStringLiteral("Seismic Survey"));
        QVERIFY(p->GetID() > 0);

        p->InitPlugin();
        QCOMPARE(p->GetTaskObjects().size(), 1);
        QCOMPARE(p->GetName(), QStringLiteral("Seismic Survey"));

        const QDateTime before = QDateTime::currentDateTime();
        const QDateTime first = p->GetPluginDateTime();
        const QDateTime after = QDateTime::currentDateTime();
        QVERIFY(first >= before && first <= after);
        QCOMPARE(first.timeSpec(), Qt::LocalTime);
        // Asked again later, it answers the later time.
        QTRY_VERIFY(p->GetPluginDateTime() > first);
    }

    void taskObjectCreatesTheTask()
    {
        const QList<VePluginTaskObject*> tasks = plugin()->GetTaskObjects();
        QCOMPARE(tasks.size(), 1);
        QCOMPARE(tasks.first()->GetTaskClassName(), QStringLiteral("VeTaskSPSFilesLoader"));
        QCOMPARE(tasks.first()->GetCaption(), QStringLiteral("SPS loader"));

        // The host makes the task from the announced class name.
        std::unique_ptr<VeObject> object(
            VeRuntimeClass::CreateObject(tasks.first()->GetTaskClassName()));
        QVERIFY(object);
        auto* task = qobject_cast<VeTaskSPSFilesLoader*>(object.get());
        QVERIFY(task);
        QCOMPARE(task->GetRuntimeClass(), VeTaskSPSFilesLoader::GetThisClass());
        QVERIFY(task->IsKindOf(VeTask::GetThisClass()));
        QCOMPARE(task->GetName(), QStringLiteral("Load SPS File"));
        QVERIFY(!task->GetTaskParameter());
        QVERIFY(!task->GetTargetNode());
    }

    void verificationData()
    {
        QLibrary library(modulePath());
        auto fn = reinterpret_cast<const char* (*)()>(
            library.resolve("qt_plugin_query_verification_data"));
        QVERIFY(fn);
        QCOMPARE(QByteArray(fn()), QByteArray("pattern=QT_PLUGIN_VERIFICATION_DATA\n"
                                              "version=4.5.1\n"
                                              "debug=false\n"
                                              "buildkey=Windows msvc release full-config"));
        QCOMPARE(static_cast<const void*>(fn()), static_cast<const void*>(fn()));
    }

    void classRecords_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<const VeRuntimeClass*>("record");
        QTest::addColumn<const VeRuntimeClass*>("base");
        QTest::addColumn<int>("size");

        QTest::newRow("menu agency")
            << QStringLiteral("VeMenuAgencySeismicSurvey")
            << VeMenuAgencySeismicSurvey::GetThisClass() << VeMenuAgencyBase::GetThisClass()
            << int(sizeof(VeMenuAgencySeismicSurvey));
        QTest::newRow("loader task")
            << QStringLiteral("VeTaskSPSFilesLoader") << VeTaskSPSFilesLoader::GetThisClass()
            << VeTask::GetThisClass() << int(sizeof(VeTaskSPSFilesLoader));
    }

    void classRecords()
    {
        QFETCH(QString, name);
        QFETCH(const VeRuntimeClass*, record);
        QFETCH(const VeRuntimeClass*, base);
        QFETCH(int, size);

        QCOMPARE(VeRuntimeClass::FromName(name), record);
        QVERIFY(record->IsRegistered());
        QCOMPARE(QString::fromLatin1(record->m_lpszClassName), name);
        QCOMPARE(record->m_pBaseClass, base);
        QCOMPARE(record->m_nObjectSize, size);
        int sameName = 0;
        for (const VeRuntimeClass* rc : VeRuntimeClass::RegisteredClasses())
            sameName += QString::fromLatin1(rc->m_lpszClassName) == name;
        QCOMPARE(sameName, 1);

        std::unique_ptr<VeObject> object(VeRuntimeClass::CreateObject(name));
        QVERIFY(object);
        QCOMPARE(object->GetRuntimeClass(), record);
        QCOMPARE(object->metaObject()->className(), name.toLatin1().constData());
        QCOMPARE(object->qt_metacast(name.toLatin1().constData()),
                 static_cast<void*>(object.get()));
    }

    void menuBindings_data()
    {
        QTest::addColumn<const VeRuntimeClass*>("objectClass");
        QTest::addColumn<int>("bindings");

        QTest::newRow("no object") << static_cast<const VeRuntimeClass*>(nullptr) << 1;
        QTest::newRow("gather") << VePrevSegyTracesGather::GetThisClass() << 1;
        QTest::newRow("geometry") << VePrevStackSegyGeometry::GetThisClass() << 1;
        QTest::newRow("observer") << VePrevStackSegyObserver::GetThisClass() << 1;
        QTest::newRow("unbound class") << VeObject::GetThisClass() << 0;
    }

    void menuBindings()
    {
        QFETCH(const VeRuntimeClass*, objectClass);
        QFETCH(int, bindings);

        const QList<const VeRuntimeClass*> agencies =
            VeMenuAgencyBase::AgencyClassesFor(objectClass);
        QCOMPARE(int(agencies.count(VeMenuAgencySeismicSurvey::GetThisClass())), bindings);
    }

    void slotsOfTheTaskAndTheAgency_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<QStringList>("signatures");
        QTest::addColumn<QList<int>>("access");
        QTest::addColumn<QStringList>("returnTypes");

        QTest::newRow("task") << QStringLiteral("VeTaskSPSFilesLoader")
                              << QStringList{"Execute()", "slotLoadData()"}
                              << QList<int>{QMetaMethod::Public, QMetaMethod::Protected}
                              << QStringList{"void", "bool"};
        QTest::newRow("agency") << QStringLiteral("VeMenuAgencySeismicSurvey")
                                << QStringList{"slotLoadSPSToGeometry()",
                                               "slotLoadSPSToGeometryThread()"}
                                << QList<int>{QMetaMethod::Protected, QMetaMethod::Protected}
                                << QStringList{"void", "void"};
    }

    // The host reaches these slots by name and index.
    void slotsOfTheTaskAndTheAgency()
    {
        QFETCH(QString, className);
        QFETCH(QStringList, signatures);
        QFETCH(QList<int>, access);
        QFETCH(QStringList, returnTypes);

        std::unique_ptr<VeObject> object(VeRuntimeClass::CreateObject(className));
        QVERIFY(object);
        const QMetaObject* mo = object->metaObject();
        QCOMPARE(mo->methodCount() - mo->methodOffset(), signatures.size());
        for (int i = 0; i < signatures.size(); ++i) {
            const QMetaMethod m = mo->method(mo->methodOffset() + i);
            QCOMPARE(QString::fromLatin1(m.methodSignature()), signatures.at(i));
            QCOMPARE(m.methodType(), QMetaMethod::Slot);
            QCOMPARE(int(m.access()), access.at(i));
            QCOMPARE(QString::fromLatin1(m.typeName()), returnTypes.at(i));
        }
    }
};

QTEST_MAIN(TestSeismicPlugin)
#include "tst_seismicplugin.moc"
