#include "VeHostUi.h"
#include "VeMenuAgencyBase.h"
#include "VePageTaskWidgetBase.h"
#include "VePrevStackSegyGeometry.h"
#include "VeRuntimeClass.h"
#include "VeSheetTaskBaseDialog.h"
#include "VeTaskParameter.h"

#include <QSignalSpy>
#include <QTabWidget>
#include <QtTest>

namespace {
class RecordingPage : public VePageTaskWidgetBase
{
public:
    RecordingPage(VeSheetTaskBaseDialog* dialog, bool answer, QStringList* calls, QString name)
        : VePageTaskWidgetBase(dialog), m_answer(answer), m_calls(calls), m_name(std::move(name))
    {
    }
    bool GetPageParameter(VeTaskParameter*) override
    {
        *m_calls << m_name;
        return m_answer;
    }
    bool m_answer;
    QStringList* m_calls;
    QString m_name;
};
} // namespace

class TestHostUi : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void acceptAsksPagesInTabOrder_data()
    {
        QTest::addColumn<bool>("first");
        QTest::addColumn<bool>("second");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("currentTab");

        QTest::newRow("both agree") << true << true << QStringList{"a", "b"} << true << 0;
        QTest::newRow("second refuses") << true << false << QStringList{"a", "b"} << false << 1;
        QTest::newRow("first refuses") << false << true << QStringList{"a"} << false << 0;
    }

    void acceptAsksPagesInTabOrder()
    {
        QFETCH(bool, first);
        QFETCH(bool, second);
        QFETCH(QStringList, calls);
        QFETCH(bool, accepted);
        QFETCH(int, currentTab);

        VeTaskParameter param;
        VeSheetTaskBaseDialog dialog(&param);
        QStringList seen;
        dialog.AddPage(new RecordingPage(&dialog, first, &seen, "a"), "A");
        dialog.AddPage(new RecordingPage(&dialog, second, &seen, "b"), "B");
        QCOMPARE(dialog.GetTaskParameter(), &param);
        QCOMPARE(dialog.TabWidget()->tabText(1), QString("B"));
        dialog.show();
        dialog.TabWidget()->setCurrentIndex(accepted ? 0 : 1 - currentTab);
        QSignalSpy spy(&dialog, &QDialog::accepted);
        dialog.accept();
        QCOMPARE(seen, calls);
        QCOMPARE(spy.count(), accepted ? 1 : 0);
        QCOMPARE(dialog.isVisible(), !accepted);
        QCOMPARE(dialog.TabWidget()->currentIndex(), currentTab);
    }

    void fileDialogHook()
    {
        VeFileDialogRequest seen;
        SetFileDialogHook([&seen](const VeFileDialogRequest& r) {
            seen = r;
            return QString("/chosen");
        });
        QCOMPARE(GetSaveFileName(nullptr, "Save", "F (*.txt)", "/start"), QString("/chosen"));
        QVERIFY(seen.save);
        QCOMPARE(seen.startPath, QString("/start"));
        QCOMPARE(GetOpenFileName(nullptr, "Open", "G (*.s)"), QString("/chosen"));
        QVERIFY(!seen.save);
        QCOMPARE(seen.caption, QString("Open"));
        QCOMPARE(seen.filter, QString("G (*.s)"));
        SetFileDialogHook(nullptr);
    }

    void menuBindings()
    {
        static const VeRuntimeClass agency("TestAgency", 1, nullptr,
                                           VeMenuAgencyBase::GetThisClass());
        const VeRuntimeClass* geometry = VePrevStackSegyGeometry::GetThisClass();
        {
            VE_ObjToMenu_ClassInit none(nullptr, &agency);
            VE_ObjToMenu_ClassInit onGeometry(geometry, &agency);
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("already bound"));
            VE_ObjToMenu_ClassInit again(geometry, &agency);
            QVERIFY(!again.IsRegistered());
            QCOMPARE(VeMenuAgencyBase::AgencyClassesFor(nullptr).count(&agency), 1);
            QCOMPARE(VeMenuAgencyBase::AgencyClassesFor(geometry).count(&agency), 1);
        }
        QCOMPARE(VeMenuAgencyBase::AgencyClassesFor(geometry).count(&agency), 0);
    }

    void icons()
    {
        QVERIFY(!GetPngIcon("orka_add").isNull());
        QVERIFY(GetPngIcon("no_such_icon").isNull());
    }
};

QTEST_MAIN(TestHostUi)
#include "tst_hostui.moc"
