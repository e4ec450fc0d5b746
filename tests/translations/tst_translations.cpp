#include "SPSCatalogue.h"
#include "SPSTestLoad.h"
#include "VeHostMainWindow.h"
#include "VePageSPSFileFormat.h"
#include "VePageSPSFileNames.h"
#include "VePluginObject.h"
#include "VeSPSLoadScript.h"
#include "VeSheetTaskBaseDialog.h"
#include "VeSurveyMapImage.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMutex>
#include <QPluginLoader>
#include <QRadioButton>
#include <QSet>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

namespace {
QString Marked(const QString& text)
{
    return QStringLiteral("{tr:") + text + QLatin1Char('}');
}

// Translates exactly the texts of the catalogue template, each in the context
// the template puts it in, into itself between marks. A text that the code
// looks up in a context of the project's own but that the template lacks, or
// holds in another context, stays unmarked and is noted.
class TemplateTranslator : public QTranslator
{
public:
    bool Read(const QString& path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        QXmlStreamReader xml(&file);
        QString context, source, comment;
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement())
                continue;
            if (xml.name() == QLatin1String("name"))
                context = xml.readElementText();
            else if (xml.name() == QLatin1String("message"))
                source.clear(), comment.clear();
            else if (xml.name() == QLatin1String("source"))
                source = xml.readElementText();
            else if (xml.name() == QLatin1String("comment"))
                comment = xml.readElementText();
            else if (xml.name() == QLatin1String("translation"))
                m_Texts.insert(Key(context, source, comment));
        }
        return !xml.hasError() && !m_Texts.isEmpty();
    }

    QString translate(const char* context, const char* source, const char* disambiguation,
                      int) const override
    {
        const QString ctx = QString::fromUtf8(context);
        const QString text = QString::fromUtf8(source);
        if (m_Texts.contains(Key(ctx, text, QString::fromUtf8(disambiguation))))
            return Marked(text);
        // Qt's own classes look their texts up in catalogues of their own.
        const bool qtContext = ctx.size() > 1 && ctx[0] == u'Q' && ctx[1].isUpper();
        if (!qtContext) {
            QMutexLocker lock(&m_Mutex);
            m_Missing.append(ctx + QLatin1String(": ") + text);
        }
        return QString();
    }

    bool isEmpty() const override { return false; }

    QStringList TakeMissing()
    {
        QMutexLocker lock(&m_Mutex);
        QStringList missing = m_Missing;
        m_Missing.clear();
        missing.removeDuplicates();
        return missing;
    }

private:
    static QString Key(const QString& context, const QString& source, const QString& comment)
    {
        return context + QChar(0x1f) + source + QChar(0x1f) + comment;
    }

    QSet<QString> m_Texts;
    mutable QMutex m_Mutex;
    mutable QStringList m_Missing;
};

enum FileKind
{
    Missing,
    Empty,
    NoPoints,
    SharedNumbers,
    Good
};

// A point row of the standard layout with made-up coordinates.
QByteArray PointRow(char letter, int line, int point)
{
    QByteArray row(71, ' ');
    row[0] = letter;
    const auto put = [&row](int pos, int len, const QByteArray& text) {
        row.replace(pos + len - text.size(), text.size(), text);
    };
    put(1, 16, QByteArray::number(line));
    put(17, 8, QByteArray::number(point));
    put(46, 9, "1.0");
    put(55, 10, "2.0");
    put(65, 6, "3.0");
    return row + "\r\n";
}

QByteArray FileBytes(char letter, FileKind kind)
{
    switch (kind) {
    case NoPoints:
        return "H00 nothing but a header\r\n";
    case SharedNumbers:
        // Point 5 on two lines.
        return PointRow(letter, 10, 5) + PointRow(letter, 11, 5) + PointRow(letter, 11, 6);
    default:
        return SPSTest::Survey(letter, 20);
    }
}

QStringList TabTexts(const VeSheetTaskBaseDialog* dialog)
{
    QStringList texts;
    for (int i = 0; i < dialog->TabWidget()->count(); ++i)
        texts << dialog->TabWidget()->tabText(i);
    return texts;
}

VeSheetTaskBaseDialog* NewDialog(QWidget* window, const QList<VeSheetTaskBaseDialog*>& before)
{
    for (VeSheetTaskBaseDialog* d : window->findChildren<VeSheetTaskBaseDialog*>())
        if (!before.contains(d))
            return d;
    return nullptr;
}
} // namespace

Q_DECLARE_METATYPE(FileKind)

// The texts the code translates, looked up through a translator made from the
// catalogue template: every one must come out marked.
class TestTranslations : public QObject
{
    Q_OBJECT

private:
    TemplateTranslator m_Translator;
    QTemporaryDir m_Dir;

    QString filePath(const QString& name, char letter, FileKind kind)
    {
        const QString path = m_Dir.filePath(name);
        QFile::remove(path);
        if (kind == Empty)
            return QString();
        if (kind != Missing && !SPSTest::WriteFile(path, FileBytes(letter, kind)))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_Dir.isValid());
        QVERIFY2(m_Translator.Read(QStringLiteral(SPS_TEMPLATE)), SPS_TEMPLATE);
        QVERIFY(QCoreApplication::installTranslator(&m_Translator));
    }

    void init() { m_Translator.TakeMissing(); }

    // Nothing the test drove looked up a text that the template lacks.
    void cleanup()
    {
        const QStringList missing = m_Translator.TakeMissing();
        QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("not in the template: ") +
                                               missing.join(QStringLiteral(" | "))));
    }

    void loaderMessages_data()
    {
        QTest::addColumn<FileKind>("source");
        QTest::addColumn<FileKind>("receiver");
        QTest::addColumn<QStringList>("log");

        QTest::newRow("no source name")
            << Empty << Good << QStringList{"Source file name is empty"};
        QTest::newRow("no source file")
            << Missing << Good << QStringList{"Cannot open file [<S>] for reading!"};
        QTest::newRow("no receiver name")
            << Good << Empty << QStringList{"Receiver file name is empty"};
        QTest::newRow("no receiver file")
            << Good << Missing << QStringList{"Cannot open file [<R>] for reading!"};
        QTest::newRow("no points")
            << NoPoints << NoPoints
            << QStringList{"No source points found in [<S>]", "No receiver points found in [<R>]",
                           "0 shots and 0 receivers were added to [SPS SR Geometry]."};
        QTest::newRow("shared numbers")
            << SharedNumbers << SharedNumbers
            << QStringList{"1 source points share a point number with another point; 2 shots "
                           "were added.",
                           "1 receiver points share a point number with another point; 2 "
                           "receivers were added.",
                           "2 shots and 2 receivers were added to [SPS SR Geometry]."};
    }

    void loaderMessages()
    {
        QFETCH(FileKind, source);
        QFETCH(FileKind, receiver);
        QFETCH(QStringList, log);

        VeTaskSPSFilesLoaderParam param;
        param.SourceFileName = filePath(QStringLiteral("s.sps"), 'S', source);
        param.ReceiverFileName = filePath(QStringLiteral("r.rps"), 'R', receiver);
        QStringList progress;
        QObject receiverOfProgress;
        connect(VeThreadRegistry::Instance(), &VeThreadRegistry::sigProcessMessage,
                &receiverOfProgress,
                [&progress](VeThread*, const QString& text) { progress << text; });
        const SPSTest::LoadOutcome outcome = SPSTest::RunLoad(&param);
        QCOMPARE(progress, QStringList{Marked(QStringLiteral("Reading"))});

        QStringList expected;
        for (QString text : log)
            expected << Marked(text.replace(QLatin1String("<S>"), param.SourceFileName)
                                   .replace(QLatin1String("<R>"), param.ReceiverFileName));
        QStringList logged;
        for (const VeEventsLogEntry& e : outcome.log)
            logged << e.text;
        QCOMPARE(logged, expected);
    }

    // The pages' forms and messages, the plug-in's names, the two roads' dialog
    // tabs and the host window, driven through the real plug-in module.
    void hostAndPlugin()
    {
        VeHostMainWindow window(QStringLiteral(SPS_PLUGIN_DIR));
        QCOMPARE(window.windowTitle(), Marked(QStringLiteral("spshost")));
        QStringList tasks;
        for (const QAction* a : window.TasksMenu()->actions())
            tasks << a->text();
        QCOMPARE(tasks, (QStringList{Marked(QStringLiteral("Seismic Survey")),
                                     Marked(QStringLiteral("SPS loader"))}));

        // The menu road: its entry is not translated, its tabs are.
        QMenu menu;
        window.BuildContextMenu(nullptr, &menu);
        QAction* entry = nullptr;
        for (QAction* a : menu.actions())
            if (a->text() == QLatin1String("&Load SPS File"))
                entry = a;
        QVERIFY(entry);
        QList<VeSheetTaskBaseDialog*> before = window.findChildren<VeSheetTaskBaseDialog*>();
        entry->trigger();
        VeSheetTaskBaseDialog* dialog = NewDialog(&window, before);
        QVERIFY(dialog);
        QCOMPARE(TabTexts(dialog), (QStringList{Marked("Files"), Marked("Format")}));
        auto* standard = dialog->findChild<QRadioButton*>(QStringLiteral("RadUseStandard"));
        QVERIFY(standard);
        QVERIFY2(standard->text().startsWith(QLatin1String("{tr:")), qPrintable(standard->text()));

        // The names page refuses a missing file with its own message.
        auto* names = dialog->findChild<VePageSPSFileNames*>();
        QVERIFY(names);
        names->findChild<QLineEdit*>(QStringLiteral("TxtSourceName"))
            ->setText(m_Dir.filePath(QStringLiteral("none.s")));
        VeEventsLog::Instance()->Clear();
        QVERIFY(!names->CheckPageParameter());
        QCOMPARE(VeEventsLog::Instance()->Entries().value(0).text,
                 Marked(QStringLiteral("SPS Source File Error!")));
        delete dialog;

        // The task road, as spshost --load takes it, finds the task by its class
        // whatever its caption says, and shows its own tabs.
        before = window.findChildren<VeSheetTaskBaseDialog*>();
        QString error;
        const QStringList files{QStringLiteral(EXAMPLES_DIR "/example.sps"),
                                QStringLiteral(EXAMPLES_DIR "/example.rps")};
        QVERIFY2(StartSPSLoaderTask(&window, files, &error), qPrintable(error));
        dialog = NewDialog(&window, before);
        QVERIFY(dialog);
        QCOMPARE(TabTexts(dialog), (QStringList{Marked("Files"), Marked("Format")}));
        QTRY_COMPARE_WITH_TIMEOUT(VeThreadRegistry::Instance()->RunningCount(), 0, 60000);

        QVERIFY(!StartSPSLoaderTask(nullptr, files, &error));
        QCOMPARE(error, Marked(QStringLiteral("There is no host window.")));
        VePrevStackSegyGeometry geometry;
        QVERIFY(!SaveSurveyMapPng(geometry, m_Dir.filePath(QStringLiteral("m.png")), QSize(0, 1),
                                  &error));
        QVERIFY2(error.startsWith(QLatin1String("{tr:The map size 0x1 is not valid")),
                 qPrintable(error));
    }

    // A compiled catalogue for the locale is installed, once however often
    // asked; without one the texts stay as they are.
    void installsCatalogueForLocale()
    {
        QCoreApplication::removeTranslator(&m_Translator);
        const QString folder = QStringLiteral(TEST_CATALOGUES);
        QVERIFY(!InstallSPSCatalogue(folder, QLocale(QStringLiteral("fr_FR"))));
        QCOMPARE(QCoreApplication::translate("VeDataLoadThread", "Reading"), QString("Reading"));
        QVERIFY(qApp->findChildren<QTranslator*>().isEmpty());

        QVERIFY(InstallSPSCatalogue(folder, QLocale(QStringLiteral("de_DE"))));
        QCOMPARE(QCoreApplication::translate("VeDataLoadThread", "Reading"), QString("Lesen"));
        QVERIFY(InstallSPSCatalogue(folder, QLocale(QStringLiteral("de_AT"))));
        QCOMPARE(qApp->findChildren<QTranslator*>().size(), 1);
    }

    // The installed module finds the catalogues installed beside it, for the
    // user's locale, before it names itself.
    void pluginLoadsInstalledCatalogue()
    {
        const QString plugins = m_Dir.filePath(QStringLiteral("stage/" SPS_INSTALL_PLUGINDIR));
        const QString catalogues =
            m_Dir.filePath(QStringLiteral("stage/" SPS_INSTALL_TRANSLATIONSDIR));
        QVERIFY(QDir().mkpath(plugins) && QDir().mkpath(catalogues));
        const QString module = plugins + QLatin1Char('/') + QFileInfo(SPS_PLUGIN_FILE).fileName();
        QVERIFY(QFile::copy(QStringLiteral(SPS_PLUGIN_FILE), module));
        QVERIFY(QFile::copy(QStringLiteral(TEST_CATALOGUES "/spsloader_de.qm"),
                            catalogues + QStringLiteral("/spsloader_de.qm")));

        // Only the module's own catalogue may translate its name.
        for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
        QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
        QPluginLoader loader(module);
        auto* plugin = qobject_cast<VePluginObject*>(loader.instance());
        QLocale::setDefault(QLocale::c());
        QVERIFY2(plugin, qPrintable(loader.errorString()));
        QCOMPARE(plugin->GetName(), QStringLiteral("Seismische Vermessung"));
        delete plugin;
    }
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
