#include "SPSLayout.h"
#include "SPSTestBoxes.h"
#include "SPSTestRows.h"
#include "VeHostUi.h"
#include "VePageSPSFileFormat.h"
#include "VeSheetTaskBaseDialog.h"
#include "VeTaskSPSFilesLoaderParam.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMetaMethod>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

#include <sys/stat.h>

#include "FileSizeLimit.h"

#include <memory>

#include <sys/stat.h>

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
        // The numbering, collapsed below the columns; its edits are named after
        // the settings they feed.
        row("BtnNumbering", "QToolButton", "Numbering");
        row("GroupNumbering", "QGroupBox", ""); // the button above names it
        row("mLineFactorLabel", "QLabel", "Line factor");
        row("mShotNumberFactorLabel", "QLabel", "Shot factor");
        row("mReceiverNumberFactorLabel", "QLabel", "Receiver factor");
        row("mCoordinateScalarLabel", "QLabel", "Coordinate scalar");
        row("mElevationScalarLabel", "QLabel", "Elevation scalar");
        for (const char* name : {"TxtLineFactor", "TxtShotNumberFactor", "TxtReceiverNumberFactor",
                                 "TxtCoordinateScalar", "TxtElevationScalar"})
            row(name, "QLineEdit", "0");
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
        // Wider only where the text needs it (labelsShowWhole).
        QVERIFY(w<QLabel>("mLastIDLabel")->maximumWidth() >= 144);
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
        // Only the radio buttons and the tabs can be used, and the numbering,
        // which applies to either layout.
        QVERIFY(w<QRadioButton>("RadUseStandard")->isEnabled());
        QVERIFY(w<QRadioButton>("RadUseNonStandardRadio")->isEnabled());
        QVERIFY(w<QTabWidget>("mTabWidget")->isEnabled());
        QVERIFY(w<QGroupBox>("GroupNumbering")->isEnabled());
        for (QWidget* child : m_Page->findChildren<QWidget*>()) {
            if (child == w<QGroupBox>("GroupNumbering") ||
                w<QGroupBox>("GroupNumbering")->isAncestorOf(child))
                continue;
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

    // Presets and detection fill groups; a file without a verdict, or that is not
    // a regular file, leaves its group as it was. Columns are counted from 1.
    void presetsAndDetection_data()
    {
        // Fields by first and last column, right-aligned.
        auto row = [](char letter, std::initializer_list<std::tuple<int, int, QByteArray>> fields) {
            QByteArray r(1, letter);
            for (const auto& [first, last, text] : fields) {
                if (r.size() < last)
                    r.append(QByteArray(last - r.size(), ' '));
                r.replace(last - text.size(), text.size(), text);
            }
            return r + "\r\n";
        };
        QByteArray rows21, rows1;
        for (const QByteArray p : {"101.00", "102.00", "103.00"})
            rows21 += row('S', {{2, 11, "2001.00"},
                                {12, 21, p},
                                {24, 24, "1"},
                                {47, 55, "500000.0"},
                                {56, 65, "6000000.0"},
                                {66, 71, "12.0"}});
        for (const QByteArray p : {"201", "202", "203"})
            rows1 += row('R', {{2, 17, "LINE_7"},
                               {18, 25, p},
                               {26, 26, "1"},
                               {47, 55, "500000.0"},
                               {56, 65, "6000000.0"},
                               {66, 71, "12.0"}});
        const QByteArray header21 = "H00 SPS format version num.     SPS V2.1\r\n";

        QTest::addColumn<QString>("action");          // a preset's name, or "detect"
        QTest::addColumn<QList<QByteArray>>("files"); // S, R, X; "fifo", or empty for none
        QTest::addColumn<QStringList>("expected");    // edit=text or box=on/off
        QTest::addColumn<QString>("message");

        QTest::newRow("preset 2.1")
            << "SPS revision 2.1" << QList<QByteArray>{}
            << QStringList{"TxtSrcLinePos=2",       "TxtSrcLineLen=10",     "TxtSrcIDPos=12",
                           "TxtSrcIDLen=10",        "TxtSrcWellPos=31",     "TxtRecvIDPos=12",
                           "TxtXRecordNumPos=8",    "TxtXRecordNumLen=8",   "TxtXSrcIDPos=28",
                           "TxtXChannelIncrPos=49", "TxtXLastRecvIDPos=70", "TxtSourceAutoSkip=5",
                           "ChkSourceAutoSkip=on"}
            << "";
        QTest::newRow("preset 1") << "SPS revision 1" << QList<QByteArray>{}
                                  << QStringList{"TxtSrcLinePos=2",      "TxtSrcLineLen=16",
                                                 "TxtSrcIDPos=18",       "TxtRecvIDLen=8",
                                                 "TxtXSrcIDPos=30",      "TxtXChannelIncrPos=47",
                                                 "TxtXLastRecvIDPos=72", "ChkSourceAutoSkip=on"}
                                  << "";
        QTest::newRow("detect 2.1, 1, none")
            << "detect" << QList<QByteArray>{header21 + rows21, rows1, ""}
            << QStringList{"TxtSrcIDPos=12",  "TxtSrcLineLen=10",  "ChkSourceAutoSkip=on",
                           "TxtRecvIDPos=18", "TxtRecvLineLen=16", "TxtXSrcIDPos=5"}
            << "Source file [%1]: SPS revision 2.1 (header row \"SPS V2.1\"; 3 of 3 S rows have "
               "the columns of revision 2.1); its group was filled.\n"
               "Receiver file [%2]: SPS revision 1 (no header row names the revision; 3 of 3 R "
               "rows have the columns of revision 1); its group was filled.\n"
               "Relation file: none chosen; its group was left as it was.";
        QTest::newRow("detect unknown, fifo, rows of S")
            << "detect" << QList<QByteArray>{rows21.left(rows21.size() / 3), "fifo", rows21}
            << QStringList{"TxtSrcIDPos=5", "ChkSourceAutoSkip=off", "TxtRecvIDPos=5",
                           "TxtXSrcIDPos=5"}
            << "Source file [%1]: revision unknown (no header row names the revision; only 1 S "
               "rows, too few to judge by); its group was left as it was.\n"
               "Receiver file [%2]: not a regular file, not read; its group was left as it was.\n"
               "Relation file [%3]: revision unknown (no header row names the revision; only 0 "
               "X rows, too few to judge by); its group was left as it was.";
        // The survey of the spsload tests, whose revision is unknown there too:
        // both keep the layout in use.
        QByteArray unknown = "H26 test survey\r\n";
        for (const char* p : {"101", "102", "103"})
            unknown += SPSTest::Row('S', "1", p, "", "600000.0", "5500000.5", "101.06");
        QTest::newRow("detect unknown, none, none")
            << "detect" << QList<QByteArray>{unknown, "", ""}
            << QStringList{"TxtSrcIDPos=5", "TxtSrcLineLen=16", "ChkSourceAutoSkip=off"}
            << "Source file [%1]: revision unknown (no header row names the revision; of 3 S "
               "rows, 0 fit revision 1 and 0 fit revision 2.1); its group was left as it was.\n"
               "Receiver file: none chosen; its group was left as it was.\n"
               "Relation file: none chosen; its group was left as it was.";
    }

    void presetsAndDetection()
    {
        QFETCH(QString, action);
        QFETCH(QList<QByteArray>, files);
        QFETCH(QStringList, expected);
        QFETCH(QString, message);
        QStringList paths;
        for (const QByteArray& bytes : files) {
            if (bytes == "fifo") {
                paths << m_Dir.filePath(QString("fifo%1").arg(paths.size()));
                QCOMPARE(mkfifo(QFile::encodeName(paths.last()).constData(), 0600), 0);
            } else {
                paths << (bytes.isEmpty() ? QString() : fileWith(bytes));
            }
        }
        m_Page->SetFilePathsSource([paths]() { return paths; });

        auto* preset = w<QComboBox>("CmbLayoutPreset");
        QVERIFY(!preset->isEnabled() && !w<QPushButton>("BtnDetectLayout")->isEnabled());
        userDefined();
        // Values of the user's own, which a filled group replaces.
        for (const char* name :
             {"TxtSrcIDPos", "TxtRecvIDPos", "TxtXSrcIDPos", "TxtSourceAutoSkip"})
            edit(name)->setText("5");
        box("ChkSourceAutoSkip")->setChecked(false);

        SPSTest::MessageBoxAnswerer answerer;
        if (action == "detect") {
            w<QPushButton>("BtnDetectLayout")->click();
            // The files are read off the UI thread; the box tells they were.
            QTRY_COMPARE(answerer.boxes.size(), 1);
        } else {
            preset->setCurrentText(action);
            QCOMPARE(preset->currentText(), action);
            w<QPushButton>("BtnApplyPreset")->click();
        }
        for (const QString& e : expected) {
            const QString name = e.section('=', 0, 0), value = e.section('=', 1);
            const QString shown = name.startsWith("Chk") ? (box(name)->isChecked() ? "on" : "off")
                                                         : edit(name)->text();
            QVERIFY2(shown == value, qPrintable(name + " shows " + shown));
        }
        if (message.isEmpty()) {
            QVERIFY(answerer.boxes.isEmpty());
            return;
        }
        for (const QString& path : paths)
            if (!path.isEmpty())
                message = message.arg(path);
        QCOMPARE(answerer.TitlesAndTexts(), (QList<QStringList>{{"Detect Layout", message}}));
        QCOMPARE(answerer.boxes[0].icon, QMessageBox::Information);
        // The filled values pass the page's own check.
        QVERIFY(m_Page->GetPageParameter(m_Param.get()));
    }

    void detectionOffTheWindow()
    {
        // S rows alone, named as all three files: the R and X detections pass
        // over every row, off the UI thread.
        QByteArray bytes;
        for (int i = 0; i < 100000; ++i)
            bytes += SPSTest::Row('S', "1", QString::number(i + 1), "", "600000.0", "5500000.5",
                                  "101.06");
        const QString path = fileWith(bytes);
        m_Page->SetFilePathsSource([path]() { return QStringList{path, path, path}; });
        userDefined();
        SPSTest::MessageBoxAnswerer answerer;
        auto* detect = w<QPushButton>("BtnDetectLayout");
        detect->click();
        QVERIFY(QApplication::overrideCursor());
        detect->click(); // passed over while the first reads
        QTRY_COMPARE(answerer.boxes.size(), 1);
        QVERIFY(answerer.boxes[0].text.contains(
            "Receiver file [" + path +
            "]: revision unknown (no header row names the revision; "
            "only 0 R rows, too few to judge by)"));
        QTest::qWait(50);
        QCOMPARE(answerer.boxes.size(), 1);
        QVERIFY(!QApplication::overrideCursor());
        // Closed while it reads: the reading ends first, and shows nothing.
        detect->click();
        m_Dialog.reset();
        QVERIFY(!QApplication::overrideCursor());
        QTest::qWait(50);
        QCOMPARE(answerer.boxes.size(), 1);
    }

    // The numbering goes into the record in either layout mode, collapsed or not.
    void numbering_data()
    {
        QTest::addColumn<bool>("userDefinedMode");
        QTest::addColumn<bool>("expand");
        QTest::addColumn<QStringList>("assignments"); // edit=text
        QTest::addColumn<QList<qint32>>("expected");  // line, shot, receiver, coordinate, elevation
        QTest::addColumn<QString>("focus");           // the refused edit, or empty
        QTest::addColumn<QString>("button");

        QTest::newRow("untouched")
            << false << false << QStringList() << QList<qint32>{0, 0, 0, 0, 0} << ""
            << "Numbering";
        QTest::newRow("line factor, standard layout, collapsed")
            << false << false << QStringList{"TxtLineFactor=1000"}
            << QList<qint32>{1000, 0, 0, 0, 0} << ""
            << "Numbering: line factor 1000";
        QTest::newRow("all five, user-defined layout")
            << true << true
            << QStringList{"TxtLineFactor=10000", "TxtShotNumberFactor=2",
                           "TxtReceiverNumberFactor=-3", "TxtCoordinateScalar=-100",
                           "TxtElevationScalar=10"}
            << QList<qint32>{10000, 2, -3, -100, 10} << ""
            << "Numbering: line factor 10000, shot factor 2, receiver factor -3, coordinate "
               "scalar -100, elevation scalar 10";
        QTest::newRow("empty is 0") << false << true << QStringList{"TxtShotNumberFactor="}
                                    << QList<qint32>{0, 0, 0, 0, 0} << ""
                                    << "Numbering";
        QTest::newRow("lone sign refused, standard layout")
            << false << false << QStringList{"TxtLineFactor=1000", "TxtElevationScalar=-"}
            << QList<qint32>() << "TxtElevationScalar"
            << "Numbering: line factor 1000";
        QTest::newRow("columns refused first")
            << true << true << QStringList{"TxtSrcIDPos=0", "TxtLineFactor=-"} << QList<qint32>()
            << "TxtSrcIDPos"
            << "Numbering";
    }

    void numbering()
    {
        QFETCH(bool, userDefinedMode);
        QFETCH(bool, expand);
        QFETCH(QStringList, assignments);
        QFETCH(QList<qint32>, expected);
        QFETCH(QString, focus);
        QFETCH(QString, button);
        m_Dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_Dialog.get()));
        if (userDefinedMode)
            userDefined();
        auto* toggle = w<QToolButton>("BtnNumbering");
        QVERIFY(!w<QGroupBox>("GroupNumbering")->isVisible());
        if (expand)
            toggle->click();
        QCOMPARE(w<QGroupBox>("GroupNumbering")->isVisible(), expand);
        for (const QString& a : assignments) {
            const qsizetype eq = a.indexOf('=');
            edit(a.left(eq))->setText(a.mid(eq + 1));
        }
        QCOMPARE(toggle->text(), button);
        // Whatever the layout mode, the numbering can be typed.
        QVERIFY(edit("TxtLineFactor")->isEnabled());

        VeTaskSPSFilesLoaderParam param;
        param.Numbering = {7, 7, 7, 7, 7};
        QCOMPARE(m_Page->GetPageParameter(&param), focus.isEmpty());
        const SPSNumberingSettings& n = param.Numbering;
        const QList<qint32> written{n.LineFactor, n.ShotNumberFactor, n.ReceiverNumberFactor,
                                    n.CoordinateScalar, n.ElevationScalar};
        if (focus.isEmpty()) {
            QCOMPARE(written, expected);
            return;
        }
        QCOMPARE(written, (QList<qint32>{7, 7, 7, 7, 7}));
        QCOMPARE(m_Dialog->focusWidget(), edit(focus));
    }

    // The preset list names the preset the columns hold, or the user's own layout.
    void presetFollowsValues_data()
    {
        QTest::addColumn<QStringList>("steps"); // edit=text, "choose:ENTRY", or "load:FILE"
        QTest::addColumn<QString>("shown");

        QTest::newRow("fresh page") << QStringList() << "SPS revision 1";
        QTest::newRow("a column edited") << QStringList{"TxtSrcIDPos=19"} << "User-defined layout";
        QTest::newRow("edited back")
            << QStringList{"TxtSrcIDPos=19", "TxtSrcIDPos=18"} << "SPS revision 1";
        QTest::newRow("counts do not count")
            << QStringList{"TxtSourceAutoSkip=3"} << "SPS revision 1";
        QTest::newRow("chosen, not applied, then edited")
            << QStringList{"choose:SPS revision 2.1", "TxtReceiverAutoSkip=5"} << "SPS revision 1";
        QTest::newRow("parameter file of revision 2.1")
            << QStringList{"TxtSrcIDPos=3", "load:sps21.txt"} << "SPS revision 2.1";
        QTest::newRow("parameter file as it stands")
            << QStringList{"choose:SPS revision 2.1", "load:fresh-page.txt"} << "SPS revision 1";
    }

    void presetFollowsValues()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, shown);
        userDefined();
        auto* presets = w<QComboBox>("CmbLayoutPreset");
        for (const QString& step : steps) {
            if (step.startsWith("choose:")) {
                presets->setCurrentText(step.mid(7));
            } else if (step.startsWith("load:")) {
                m_Answer = step == "load:sps21.txt" ? QFINDTESTDATA("../../examples/sps21.txt")
                                                    : QFINDTESTDATA("data/" + step.mid(5));
                QVERIFY(call("slotLoadSpsParam"));
            } else {
                edit(step.section('=', 0, 0))->setText(step.section('=', 1));
            }
        }
        QCOMPARE(presets->currentText(), shown);
    }

    // Field labels show their whole text at the default size and at larger fonts.
    void labelsShowWhole_data()
    {
        QTest::addColumn<int>("percent");
        QTest::newRow("default") << 100;
        QTest::newRow("125 %") << 125;
        QTest::newRow("150 %") << 150;
    }

    void labelsShowWhole()
    {
        QFETCH(int, percent);
        const QFont before = QApplication::font();
        QFont larger = before;
        larger.setPointSizeF(before.pointSizeF() * percent / 100.0);
        QApplication::setFont(larger);
        init(); // a page built at that text size
        m_Dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_Dialog.get()));
        auto* tabs = w<QTabWidget>("mTabWidget");
        QStringList clipped;
        for (int t = 0; t < tabs->count(); ++t) {
            tabs->setCurrentIndex(t);
            QCoreApplication::processEvents();
            for (QLabel* label : tabs->widget(t)->findChildren<QLabel*>()) {
                const QString text = label->text().trimmed();
                const QFontMetrics metrics(label->font());
                if (!text.isEmpty() &&
                    (label->contentsRect().width() < metrics.horizontalAdvance(text) ||
                     label->contentsRect().height() < metrics.height()))
                    clipped << label->objectName();
            }
        }
        QApplication::setFont(before);
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(", ")));
        if (percent == 100) // the form's sizes where they suffice
            QCOMPARE(w<QGroupBox>("GroupSource")->maximumWidth(), 250);
    }
};

QTEST_MAIN(TestFormatPage)
#include "tst_formatpage.moc"
