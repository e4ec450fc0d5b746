#include "SPSLayout.h"
#include "SPSTestBoxes.h"
#include "VeHostUi.h"
#include "VePageSPSFileFormat.h"
#include "VeSheetTaskBaseDialog.h"
#include "VeTaskSPSFilesLoaderParam.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMetaMethod>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

#include <sys/stat.h>

#include "FileSizeLimit.h"

#include <memory>

namespace {

// The 40 column edits in the order of the record's fields, with the 20 positions
// marked; their keys are the names after "Txt".
const QStringList kColumnEdits = {
    "TxtSrcLinePos",       "TxtSrcLineLen",       "TxtSrcIDPos",        "TxtSrcIDLen",
    "TxtSrcWellPos",       "TxtSrcWellLen",       "TxtSrcCoordX",       "TxtSrcCoordXLen",
    "TxtSrcCoordY",        "TxtSrcCoordYLen",     "TxtSrcElevPos",      "TxtSrcElevLen",
    "TxtRecvLinePos",      "TxtRecvLineLen",      "TxtRecvIDPos",       "TxtRecvIDLen",
    "TxtRecvCoordX",       "TxtRecvCoordXLen",    "TxtRecvCoordY",      "TxtRecvCoordYLen",
    "TxtRecvElevPos",      "TxtRecvElevLen",      "TxtXRecordNumPos",   "TxtXRecordNumLen",
    "TxtXSrcLinePos",      "TxtXSrcLineLen",      "TxtXSrcIDPos",       "TxtXSrcIDLen",
    "TxtXFirstChannelPos", "TxtXFirstChannelLen", "TxtXLastChannelPos", "TxtXLastChannelLen",
    "TxtXChannelIncrPos",  "TxtXChannelIncrLen",  "TxtXRecvLinePos",    "TxtXRecvLineLen",
    "TxtXFirstRecvIDPos",  "TxtXFirstRecvIDLen",  "TxtXLastRecvIDPos",  "TxtXLastRecvIDLen"};
const QStringList kCountEdits = {"TxtSourceAutoSkip", "TxtReceiverAutoSkip", "TxtRelationAutoSkip"};
const QStringList kBoxes = {"ChkSourceAutoSkip", "ChkReceiverAutoSkip", "ChkRelationAutoSkip"};

bool isPosition(const QString& edit)
{
    return !edit.endsWith("Len");
}

// The record's integer fields and switches by name.
QMap<QString, qint64> fieldsOf(const VeTaskSPSFilesLoaderParam& p)
{
    QMap<QString, qint64> m;
    for (const SPSLayout::Field& f : SPSLayout::Fields())
        m[QString::fromLatin1(f.key)] = SPSLayout::Value(p, f);
    return m;
}

void scramble(VeTaskSPSFilesLoaderParam* p)
{
    for (const SPSLayout::Field& f : SPSLayout::Fields())
        SPSLayout::SetValue(p, f, f.kind == SPSLayout::Kind::AutoSkip ? 0 : -777);
}

} // namespace

class TestFormatPage : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_Dir;
    std::unique_ptr<VeTaskSPSFilesLoaderParam> m_Param;
    std::unique_ptr<VeSheetTaskBaseDialog> m_Dialog;
    VePageSPSFileFormat* m_Page = nullptr;
    QList<VeFileDialogRequest> m_Requests;
    QString m_Answer; // the path the file dialogs answer

    template <class T> T* w(const QString& name) const
    {
        T* widget = m_Page->findChild<T*>(name);
        if (!widget)
            qFatal("no widget %s", qPrintable(name));
        return widget;
    }
    QLineEdit* edit(const QString& name) const { return w<QLineEdit>(name); }
    QCheckBox* box(const QString& name) const { return w<QCheckBox>(name); }

    void userDefined() { w<QRadioButton>("RadUseNonStandardRadio")->click(); }
    bool call(const char* slot)
    {
        bool result = false;
        if (!QMetaObject::invokeMethod(m_Page, slot, Q_RETURN_ARG(bool, result)))
            qFatal("cannot call %s", slot);
        return result;
    }
    QString fileWith(const QByteArray& bytes)
    {
        static int n = 0;
        const QString path = m_Dir.filePath(QString("in%1.txt").arg(++n));
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
    // Every edit's text and every box's state.
    QMap<QString, QString> controls() const
    {
        QMap<QString, QString> m;
        for (const QString& name : kColumnEdits + kCountEdits)
            m[name] = edit(name)->text();
        for (const QString& name : kBoxes)
            m[name] = box(name)->isChecked() ? "on" : "off";
        return m;
    }

private Q_SLOTS:
    void initTestCase()
    {
        SetFileDialogHook([this](const VeFileDialogRequest& r) {
            m_Requests << r;
            return m_Answer;
        });
    }
    void cleanupTestCase() { SetFileDialogHook({}); }

    void init()
    {
        m_Param = std::make_unique<VeTaskSPSFilesLoaderParam>();
        m_Dialog = std::make_unique<VeSheetTaskBaseDialog>(m_Param.get());
        m_Page = new VePageSPSFileFormat(m_Dialog.get());
        m_Dialog->AddPage(m_Page, "Format");
        m_Requests.clear();
        m_Answer.clear();
    }
    void cleanup()
    {
        m_Dialog.reset();
        m_Param.reset();
    }

    void metaObject()
    {
        const QMetaObject* mo = m_Page->metaObject();
        QCOMPARE(mo->className(), "VePageSPSFileFormat");
        QCOMPARE(mo->classInfoCount(), 0);
        QCOMPARE(mo->propertyCount(), mo->superClass()->propertyCount());
        QCOMPARE(mo->methodCount() - mo->methodOffset(), 8);
        const char* expected[][2] = {
            {"slotCheckSPSFormat(bool)", "void"},    {"slotCheckNonSPSFormat(bool)", "void"},
            {"slotCheckFormat(bool)", "void"},       {"slotSaveSpsParam()", "bool"},
            {"slotLoadSpsParam()", "bool"},          {"slotCheckSourceAutoSkip()", "void"},
            {"slotCheckReceiverAutoSkip()", "void"}, {"slotCheckRelationAutoSkip()", "void"}};
        for (int i = 0; i < 8; ++i) {
            const QMetaMethod m = mo->method(mo->methodOffset() + i);
            QCOMPARE(m.methodSignature(), QByteArray(expected[i][0]));
            QCOMPARE(m.typeName(), expected[i][1]);
            QCOMPARE(m.methodType(), QMetaMethod::Slot);
            QCOMPARE(m.access(), QMetaMethod::Protected);
        }
        QCOMPARE(m_Page->objectName(), QString("VePageSPSFileFormatClass"));
        QCOMPARE(m_Page->windowTitle(), QString("VePageSPSFileFormat"));
        QVERIFY(m_Page->qt_metacast("VePageSPSFileFormat") == m_Page);
    }

    void form_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("cls");
        QTest::addColumn<QString>("text");

        auto row = [](const char* name, const char* cls, const char* text) {
            QTest::newRow(name) << QString(name) << QString(cls) << QString(text);
        };
        row("RadUseStandard", "QRadioButton", "Standard SPS format");
        row("RadUseNonStandardRadio", "QRadioButton", "User-defined format");
        row("BtnLoadParam", "QPushButton", "&Load Param");
        row("BtnSaveParam", "QPushButton", "&Save Param");
        row("GroupSource", "QGroupBox", " Source information ");
        row("GroupReceiver", "QGroupBox", " Receiver information ");
        row("GroupRelation", "QGroupBox", " Relation information ");
        row("GroupSourceSkip", "QGroupBox", "Rows to skip");
        row("GroupReceiverSkip", "QGroupBox", "Rows to skip");
        for (const char* name : {"ChkSourceAutoSkip", "ChkReceiverAutoSkip", "ChkRelationAutoSkip"})
            row(name, "QCheckBox", "Automatic detect rows to skip");
        for (const char* name : {"mSkip1Label", "mSkip2Label", "mSkip3Label"})
            row(name, "QLabel", "Rows to skip:");
        for (const char* name : {"TxtSourceAutoSkip", "TxtReceiverAutoSkip", "TxtRelationAutoSkip"})
            row(name, "QLineEdit", "72");
        for (const char* name :
             {"mPosition11Label", "mPosition21Label", "mPosition3Label", "mPosition4Label_2"})
            row(name, "QLabel", "position");
        for (const char* name :
             {"mLength11Label", "mLength21Label", "mLength3Label", "mLength4Label_2"})
            row(name, "QLabel", "length");
        for (const char* name : {"mSourceID1Label_2", "mReceiverID1Label_2", "mReceiverLineLabel_2",
                                 "mReceiverLineLabel_3", "mReceiverLineLabel_4"})
            row(name, "QLabel", "");
        row("mSourceID1Label", "QLabel", "ID number   ");
        row("mSourceX1Label", "QLabel", "X coordinate");
        row("mSourceY1Label", "QLabel", "Y coordinate");
        row("mSourceZ1Label", "QLabel", "Elevation   ");
        row("mSourceLineLabel", "QLabel", "Line name  ");
        row("mWellPLabel", "QLabel", "Well depth");
        row("mReceiverID1Label", "QLabel", "ID number   ");
        row("mReceiverX1Label", "QLabel", "X coordinate");
        row("mReceiverY1Label", "QLabel", "Y coordinate");
        row("mReceiverZ1Label", "QLabel", "Elevation   ");
        row("mReceiverLineLabel", "QLabel", "Line name  ");
        row("mRecordNumberLabel", "QLabel", "Record number   ");
        row("mSourecLine1Label", "QLabel", "Source line name  ");
        row("mFirstChannelLabel", "QLabel", "First channel");
        row("mLastChannelLabel", "QLabel", "Last channel");
        row("mChannelIncrLabel", "QLabel", "Channel increament");
        row("mSourceID2Label", "QLabel", "Source ID number");
        row("mReceiverLine1Label", "QLabel", "Receiver line name");
        row("mFirstIDLabel", "QLabel", "First receiver ID number");
        row("mLastIDLabel", "QLabel", "Last receiver ID number");
        // Defaults: the standard layout counted from 1.
        const char* defaults[][2] = {{"TxtSrcIDPos", "18"},         {"TxtSrcIDLen", "8"},
                                     {"TxtSrcCoordX", "47"},        {"TxtSrcCoordXLen", "9"},
                                     {"TxtSrcCoordY", "56"},        {"TxtSrcCoordYLen", "10"},
                                     {"TxtSrcElevPos", "66"},       {"TxtSrcElevLen", "6"},
                                     {"TxtSrcLinePos", "2"},        {"TxtSrcLineLen", "16"},
                                     {"TxtSrcWellPos", "33"},       {"TxtSrcWellLen", "4"},
                                     {"TxtRecvIDPos", "18"},        {"TxtRecvIDLen", "8"},
                                     {"TxtRecvCoordX", "47"},       {"TxtRecvCoordXLen", "9"},
                                     {"TxtRecvCoordY", "56"},       {"TxtRecvCoordYLen", "10"},
                                     {"TxtRecvElevPos", "66"},      {"TxtRecvElevLen", "6"},
                                     {"TxtRecvLinePos", "2"},       {"TxtRecvLineLen", "16"},
                                     {"TxtXRecordNumPos", "8"},     {"TxtXRecordNumLen", "4"},
                                     {"TxtXSrcLinePos", "14"},      {"TxtXSrcLineLen", "16"},
                                     {"TxtXFirstChannelPos", "39"}, {"TxtXFirstChannelLen", "4"},
                                     {"TxtXLastChannelPos", "43"},  {"TxtXLastChannelLen", "4"},
                                     {"TxtXChannelIncrPos", "47"},  {"TxtXChannelIncrLen", "1"},
                                     {"TxtXSrcIDPos", "30"},        {"TxtXSrcIDLen", "8"},
                                     {"TxtXRecvLinePos", "48"},     {"TxtXRecvLineLen", "16"},
                                     {"TxtXFirstRecvIDPos", "64"},  {"TxtXFirstRecvIDLen", "8"},
                                     {"TxtXLastRecvIDPos", "72"},   {"TxtXLastRecvIDLen", "8"}};
        for (const auto& d : defaults)
            row(d[0], "QLineEdit", d[1]);
    }

    void form()
    {
        QFETCH(QString, name);
        QFETCH(QString, cls);
        QFETCH(QString, text);
        QWidget* widget = w<QWidget>(name);
        QCOMPARE(widget->metaObject()->className(), cls.toLatin1());
        const char* property = cls == "QGroupBox" ? "title" : "text";
        QCOMPARE(widget->property(property).toString(), text);
    }

    void layout()
    {
        QCOMPARE(m_Page->size(), QSize(648, 426));
        auto* tabs = w<QTabWidget>("mTabWidget");
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->tabText(0), QString("Source"));
        QCOMPARE(tabs->tabText(1), QString("Receiver"));
        QCOMPARE(tabs->tabText(2), QString("Relation"));
        QCOMPARE(tabs->widget(0)->objectName(), QString("mSourceTab"));
        QCOMPARE(tabs->widget(1)->objectName(), QString("mRecTab"));
        QCOMPARE(tabs->widget(2)->objectName(), QString("mRelationTab"));
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(tabs->minimumHeight(), 310);
        QCOMPARE(tabs->maximumHeight(), 310);
        for (const char* name : {"GroupSource", "GroupReceiver"}) {
            QCOMPARE(w<QGroupBox>(name)->minimumWidth(), 250);
            QCOMPARE(w<QGroupBox>(name)->maximumWidth(), 250);
        }
        QCOMPARE(w<QGroupBox>("GroupSource")->minimumHeight(), 197);
        QCOMPARE(edit("TxtSrcIDPos")->maximumSize(), QSize(80, 23));
        QCOMPARE(edit("TxtXLastRecvIDLen")->maximumSize(), QSize(50, 23));
        QCOMPARE(edit("TxtSourceAutoSkip")->maximumWidth(), 100);
        QCOMPARE(w<QLabel>("mSourceID1Label")->maximumSize(), QSize(72, 20));
        QCOMPARE(w<QLabel>("mRecordNumberLabel")->maximumWidth(), 110);
        QCOMPARE(w<QLabel>("mLastIDLabel")->maximumWidth(), 144);
        // The radio buttons are siblings, so they exclude each other.
        QCOMPARE(w<QWidget>("RadUseStandard")->parentWidget(), m_Page);
        QCOMPARE(w<QWidget>("RadUseNonStandardRadio")->parentWidget(), m_Page);
        w<QRadioButton>("RadUseNonStandardRadio")->click();
        QVERIFY(!w<QRadioButton>("RadUseStandard")->isChecked());
    }

    void validators()
    {
        for (const QString& name : kColumnEdits + kCountEdits) {
            auto* v = qobject_cast<const QIntValidator*>(edit(name)->validator());
            QVERIFY2(v, qPrintable(name));
            QCOMPARE(v->parent(), edit(name));
            QCOMPARE(v->bottom(), kCountEdits.contains(name) ? 0 : 1);
            QCOMPARE(v->top(), 99999999);
        }
        // Typing is limited; the channel increment edits like the others.
        userDefined();
        QLineEdit* incr = edit("TxtXChannelIncrLen");
        incr->clear();
        QTest::keyClicks(incr, "a-1234567890");
        QCOMPARE(incr->text(), QString("12345678"));
    }

    void freshPage()
    {
        // Whatever the record holds, the page shows its own defaults.
        VeTaskSPSFilesLoaderParam odd;
        scramble(&odd);
        m_Page->SetPageParameter(odd);
        QVERIFY(w<QRadioButton>("RadUseStandard")->isChecked());
        QCOMPARE(edit("TxtSrcIDPos")->text(), QString("18"));
        for (const QString& name : kBoxes)
            QVERIFY(box(name)->isChecked());
        // Only the radio buttons and the tabs can be used.
        QVERIFY(w<QRadioButton>("RadUseStandard")->isEnabled());
        QVERIFY(w<QRadioButton>("RadUseNonStandardRadio")->isEnabled());
        QVERIFY(w<QTabWidget>("mTabWidget")->isEnabled());
        for (QWidget* child : m_Page->findChildren<QWidget*>()) {
            if (qobject_cast<QLineEdit*>(child) || qobject_cast<QCheckBox*>(child) ||
                qobject_cast<QPushButton*>(child) || qobject_cast<QGroupBox*>(child))
                QVERIFY2(!child->isEnabled(), qPrintable(child->objectName()));
        }
    }

    void enabledStates()
    {
        userDefined();
        for (const QString& name : kColumnEdits)
            QVERIFY(edit(name)->isEnabled());
        for (const char* name : {"BtnLoadParam", "BtnSaveParam"})
            QVERIFY(w<QPushButton>(name)->isEnabled());
        for (int i = 0; i < 3; ++i) {
            QVERIFY(box(kBoxes[i])->isEnabled());
            QVERIFY(!edit(kCountEdits[i])->isEnabled());
            box(kBoxes[i])->click();
            QVERIFY(edit(kCountEdits[i])->isEnabled());
        }
        for (const char* name : {"mSkip1Label", "mSkip2Label", "mSkip3Label"})
            QVERIFY(!w<QLabel>(name)->isEnabled());
        // Back to the standard layout: nothing can be typed any more.
        w<QRadioButton>("RadUseStandard")->click();
        for (const QString& name : kColumnEdits + kCountEdits)
            QVERIFY2(!edit(name)->isEnabled(), qPrintable(name));
        for (const QString& name : kBoxes)
            QVERIFY(!box(name)->isEnabled());
        QVERIFY(!w<QPushButton>("BtnLoadParam")->isEnabled());
    }

    void modeSwitchKeepsValues()
    {
        userDefined();
        edit("TxtSrcIDPos")->setText("");
        edit("TxtRecvElevLen")->setText("9");
        box("ChkReceiverAutoSkip")->click();
        edit("TxtReceiverAutoSkip")->setText("3");
        const QMap<QString, QString> typed = controls();
        w<QRadioButton>("RadUseStandard")->click();
        QCOMPARE(controls(), typed);
        userDefined();
        QCOMPARE(controls(), typed);
        QVERIFY(edit("TxtReceiverAutoSkip")->isEnabled());
        QVERIFY(!edit("TxtSourceAutoSkip")->isEnabled());
    }

    void standardIgnoresEdits()
    {
        // Edits left bad from a spell in the user-defined layout.
        userDefined();
        edit("TxtSrcIDPos")->setText("");
        edit("TxtXChannelIncrPos")->setText("0");
        box("ChkSourceAutoSkip")->click();
        edit("TxtSourceAutoSkip")->setText("5");
        w<QRadioButton>("RadUseStandard")->click();

        VeTaskSPSFilesLoaderParam param;
        scramble(&param);
        param.SourceFileName = "a.s";
        QVERIFY(m_Page->GetPageParameter(&param));
        QMap<QString, qint64> expected = fieldsOf(VeTaskSPSFilesLoaderParam());
        expected["SkipPosS"] = expected["SkipPosR"] = expected["SkipPosX"] = -777;
        QCOMPARE(fieldsOf(param), expected);
        QCOMPARE(param.SourceFileName, QString("a.s"));
    }

    void userDefinedDefaults()
    {
        userDefined();
        VeTaskSPSFilesLoaderParam param;
        scramble(&param);
        QVERIFY(m_Page->GetPageParameter(&param));
        QCOMPARE(fieldsOf(param), fieldsOf(VeTaskSPSFilesLoaderParam()));
    }

    void userDefinedValues_data()
    {
        QTest::addColumn<bool>("boxesOn");
        QTest::newRow("boxes checked") << true;
        QTest::newRow("boxes cleared") << false;
    }

    void userDefinedValues()
    {
        QFETCH(bool, boxesOn);
        userDefined();
        QMap<QString, qint64> expected;
        int n = 200;
        for (const QString& name : kColumnEdits) {
            edit(name)->setText(QString::number(n));
            expected[name.mid(3)] = isPosition(name) ? n - 1 : n;
            ++n;
        }
        const char* counts[] = {"SkipPosS", "SkipPosR", "SkipPosX"};
        const char* flags[] = {"AutoSkipS", "AutoSkipR", "AutoSkipX"};
        for (int i = 0; i < 3; ++i) {
            box(kBoxes[i])->setChecked(boxesOn);
            edit(kCountEdits[i])->setText(QString::number(10 + i));
            expected[counts[i]] = 10 + i; // written with the box checked too
            expected[flags[i]] = boxesOn;
        }
        VeTaskSPSFilesLoaderParam param;
        scramble(&param);
        QVERIFY(m_Page->GetPageParameter(&param));
        QCOMPARE(fieldsOf(param), expected);
    }

    void emptyCountWithBoxCleared()
    {
        userDefined();
        box("ChkRelationAutoSkip")->click();
        edit("TxtRelationAutoSkip")->clear();
        box("ChkSourceAutoSkip")->click();
        edit("TxtSourceAutoSkip")->clear();
        VeTaskSPSFilesLoaderParam param;
        QVERIFY(m_Page->GetPageParameter(&param));
        QCOMPARE(param.SkipPosS, 0);
        QCOMPARE(param.SkipPosX, 0);
        QVERIFY(!param.AutoSkipS && param.AutoSkipR && !param.AutoSkipX);
    }

    void notARecord()
    {
        VeTaskParameter other;
        QVERIFY(!m_Page->GetPageParameter(&other));
        QVERIFY(!m_Page->GetPageParameter(nullptr));
    }

    void refused_data()
    {
        QTest::addColumn<QStringList>("assignments"); // edit=text, or a box name to clear it
        QTest::addColumn<QString>("focus");

        QTest::newRow("empty position") << QStringList{"TxtSrcCoordX="} << "TxtSrcCoordX";
        QTest::newRow("first in order wins")
            << QStringList{"TxtXSrcIDLen=0", "TxtRecvLineLen=0", "TxtSrcWellLen=0"}
            << "TxtSrcWellLen";
        QTest::newRow("source count before receiver")
            << QStringList{"ChkSourceAutoSkip", "TxtSourceAutoSkip=-1", "TxtRecvIDPos=0"}
            << "TxtSourceAutoSkip";
        QTest::newRow("receiver count before relation")
            << QStringList{"ChkReceiverAutoSkip", "TxtReceiverAutoSkip=-2", "TxtXRecordNumPos=0"}
            << "TxtReceiverAutoSkip";
        QTest::newRow("channel increment, relation tab")
            << QStringList{"TxtXChannelIncrPos=abc"} << "TxtXChannelIncrPos";
        QTest::newRow("beyond 32 bits")
            << QStringList{"TxtXLastRecvIDLen=5000000000"} << "TxtXLastRecvIDLen";
        QTest::newRow("count ignored while its box is on")
            << QStringList{"TxtSourceAutoSkip=-1"} << "";
        QTest::newRow("negative relation count passes")
            << QStringList{"ChkRelationAutoSkip", "TxtRelationAutoSkip=-1"} << "";
    }

    void refused()
    {
        QFETCH(QStringList, assignments);
        QFETCH(QString, focus);
        m_Dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_Dialog.get()));
        userDefined();
        w<QRadioButton>("RadUseNonStandardRadio")->setFocus();
        for (const QString& a : assignments) {
            const qsizetype eq = a.indexOf('=');
            if (eq < 0)
                box(a)->setChecked(false);
            else
                edit(a.left(eq))->setText(a.mid(eq + 1));
        }
        VeTaskSPSFilesLoaderParam param;
        scramble(&param);
        VeTaskSPSFilesLoaderParam untouched;
        scramble(&untouched);
        QCOMPARE(m_Page->GetPageParameter(&param), focus.isEmpty());
        if (focus.isEmpty())
            return;
        QCOMPARE(fieldsOf(param), fieldsOf(untouched));
        QCOMPARE(m_Dialog->focusWidget(), edit(focus));
        // No message, and the page stays on the tab it showed.
        QCOMPARE(w<QTabWidget>("mTabWidget")->currentIndex(), 0);
        QVERIFY(!QApplication::activeModalWidget());
    }

    void savedFreshPage()
    {
        userDefined();
        m_Answer = m_Dir.filePath("fresh.txt");
        QVERIFY(call("slotSaveSpsParam"));
        QCOMPARE(m_Requests.size(), 1);
        QVERIFY(m_Requests[0].save);
        QCOMPARE(m_Requests[0].parent, m_Page);
        QCOMPARE(m_Requests[0].caption, QString("Save SPS Parameters"));
        QCOMPARE(m_Requests[0].filter, QString("SPS Parameter File (*.txt);;any file(*.*)"));
        QVERIFY(m_Requests[0].startPath.isEmpty());
        QCOMPARE(readAll(m_Answer), readAll(QFINDTESTDATA("data/fresh-page.txt")));
    }

    void saveByButton()
    {
        userDefined();
        m_Answer = m_Dir.filePath("button.txt");
        box("ChkReceiverAutoSkip")->click();
        edit("TxtReceiverAutoSkip")->setText("");
        edit("TxtSrcIDLen")->setText("12");
        QTest::mouseClick(w<QPushButton>("BtnSaveParam"), Qt::LeftButton);
        const QByteArray bytes = readAll(m_Answer);
        QVERIFY(bytes.contains("\nAutoSkipR = 0 \r\n"));
        QVERIFY(bytes.contains("\nSkipPosR  = 0 \r\n"));
        QVERIFY(bytes.contains("\nSrcIDLen      = 12 \r\n"));
    }

    void cancelledDialogs()
    {
        userDefined();
        SPSTest::MessageBoxAnswerer boxes;
        const QMap<QString, QString> before = controls();
        QVERIFY(!call("slotSaveSpsParam"));
        QVERIFY(!call("slotLoadSpsParam"));
        QCOMPARE(m_Requests.size(), 2);
        QVERIFY(!m_Requests[1].save);
        QCOMPARE(m_Requests[1].caption, QString("Open SPS Parameters"));
        QCOMPARE(m_Requests[1].filter, QString("SPS Parameter File (*.txt);;any file(*.*)"));
        QCOMPARE(controls(), before);
        QCoreApplication::processEvents();
        QVERIFY(boxes.boxes.isEmpty());
    }

    void failedSave()
    {
        userDefined();
        const QString earlier = m_Dir.filePath("earlier.txt");
        m_Answer = earlier;
        QVERIFY(call("slotSaveSpsParam"));
        const QByteArray earlierBytes = readAll(earlier);

        edit("TxtSrcIDPos")->setText("30");
        SPSTest::MessageBoxAnswerer boxes;
        bool saved = true;
        {
            const FileSizeLimit limit(100);
            saved = call("slotSaveSpsParam");
        }
        QVERIFY(!saved);
        QCOMPARE(readAll(earlier), earlierBytes);
        // A folder cannot be written either.
        m_Answer = m_Dir.path();
        QVERIFY(!call("slotSaveSpsParam"));

        const QString text = "Can not open file \n[%1]\n for writting!";
        QCOMPARE(boxes.TitlesAndTexts(), (QList<QStringList>{{"Error!", text.arg(earlier)},
                                                             {"Error!", text.arg(m_Dir.path())}}));
        QCOMPARE(boxes.boxes.value(0).icon, QMessageBox::Critical);
        QCOMPARE(boxes.boxes.value(0).standardButtons,
                 QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(boxes.boxes.value(0).parent, m_Page);
    }

    void load_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("message");     // %1 is the path
        QTest::addColumn<QStringList>("changes"); // control=value against the fresh page

        const QByteArray head = "any title\r\nVERSION : 1 more\r\n";
        QTest::newRow("empty file")
            << QByteArray() << false << "Invalid file version!" << QStringList();
        QTest::newRow("one line") << QByteArray("Tarvel SPS File Load Parameter \r\n") << false
                                  << "Invalid file version!" << QStringList();
        QTest::newRow("version 01") << QByteArray("t\nversion = 01\nSrcIDPos = 3\n") << false
                                    << "Invalid file version!" << QStringList();
        QTest::newRow("version=1") << QByteArray("t\nversion=1\nSrcIDPos = 3\n") << false
                                   << "Invalid file version!" << QStringList();
        QTest::newRow("edits") << head + "SrcIDPos = 3\nXChannelIncrLen   =   2 \r\n"
                               << true << ""
                               << QStringList{"TxtSrcIDPos=3", "TxtXChannelIncrLen=2"};
        QTest::newRow("non-numeric kept as typed")
            << head + "RecvIDLen = x9\nSkipPosX = -4\n"
            << true << "" << QStringList{"TxtRecvIDLen=x9", "TxtRelationAutoSkip=-4"};
        QTest::newRow("key case, token counts")
            << head + "srcIDPos = 3\nSrcIDLen =9\nSrcLinePos = 1 2\nSrcWellPos : 7\n"
            << true << "" << QStringList{"TxtSrcWellPos=7"};
        QTest::newRow("last occurrence") << head + "SkipPosS = 1\nSkipPosS = 2\n"
                                         << true << "" << QStringList{"TxtSourceAutoSkip=2"};
        QTest::newRow("auto-skip switches")
            << head + "AutoSkipS = 0\nAutoSkipR = 2\nAutoSkipX = off\n"
            << true << "" << QStringList{"ChkSourceAutoSkip=off", "ChkRelationAutoSkip=off"};
    }

    void load()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, result);
        QFETCH(QString, message);
        QFETCH(QStringList, changes);
        userDefined();
        QMap<QString, QString> expected = controls();
        for (const QString& c : changes) {
            const qsizetype eq = c.indexOf('=');
            expected[c.left(eq)] = c.mid(eq + 1);
        }
        m_Answer = fileWith(bytes);
        SPSTest::MessageBoxAnswerer boxes;
        QCOMPARE(call("slotLoadSpsParam"), result);
        QCOMPARE(controls(), expected);
        // A count can be typed exactly when its box is cleared.
        for (int i = 0; i < 3; ++i)
            QCOMPARE(edit(kCountEdits[i])->isEnabled(), !box(kBoxes[i])->isChecked());
        QCoreApplication::processEvents();
        if (message.isEmpty())
            QVERIFY(boxes.boxes.isEmpty());
        else
            QCOMPARE(boxes.TitlesAndTexts(), (QList<QStringList>{{"Error!", message}}));
        // Loading never changes the layout choice.
        QVERIFY(w<QRadioButton>("RadUseNonStandardRadio")->isChecked());
    }

    void loadSwitchesBack()
    {
        // A file that turns a cleared box back on disables its count again.
        userDefined();
        box("ChkSourceAutoSkip")->click();
        QVERIFY(edit("TxtSourceAutoSkip")->isEnabled());
        m_Answer = fileWith("t\nversion = 1\nAutoSkipS = 1\n");
        QVERIFY(call("slotLoadSpsParam"));
        QVERIFY(box("ChkSourceAutoSkip")->isChecked());
        QVERIFY(!edit("TxtSourceAutoSkip")->isEnabled());
    }

    void cannotRead_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text"); // %1 is the path
        QTest::newRow("missing") << "missing.txt"
                                 << "Can not open file \n[%1]\n for reading!";
        // Refused before it is opened: opening it would block the window.
        QTest::newRow("FIFO") << "pipe"
                              << "Can not open file \n[%1]\n for reading: it is not a regular "
                                 "file!";
    }

    void cannotRead()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        userDefined();
        m_Answer = m_Dir.filePath(name);
        if (name == "pipe")
            QCOMPARE(::mkfifo(QFile::encodeName(m_Answer).constData(), 0600), 0);
        SPSTest::MessageBoxAnswerer boxes;
        QVERIFY(!call("slotLoadSpsParam"));
        QCOMPARE(boxes.TitlesAndTexts(), (QList<QStringList>{{"Error!", text.arg(m_Answer)}}));
        QCOMPARE(boxes.boxes.value(0).icon, QMessageBox::Critical);
    }

    void roundTrip()
    {
        userDefined();
        int n = 1;
        for (const QString& name : kColumnEdits + kCountEdits)
            edit(name)->setText(QString::number(n++ * 3));
        edit("TxtSrcIDLen")->setText(""); // comes back as 0
        box("ChkReceiverAutoSkip")->click();
        QMap<QString, QString> saved = controls();
        saved["TxtSrcIDLen"] = "0";
        m_Answer = m_Dir.filePath("round.txt");
        QVERIFY(call("slotSaveSpsParam"));

        init(); // a fresh page
        m_Answer = m_Dir.filePath("round.txt");
        userDefined();
        QVERIFY(controls() != saved);
        QVERIFY(call("slotLoadSpsParam"));
        QCOMPARE(controls(), saved);
        QVERIFY(edit("TxtReceiverAutoSkip")->isEnabled());
    }
};

QTEST_MAIN(TestFormatPage)
#include "tst_formatpage.moc"
