// Hostile input for the load: files that are no SPS files at all, files in other
// encodings, paths that are no files or that change under the load, column
// layouts and parameter files at the limits. Each ends in a defined result or a
// clear message, and a failing load takes nothing from the geometry it targets.
#include "SPSFormatValues.h"
#include "SPSParamFile.h"
#include "SPSTestFifo.h"
#include "SPSTestLoad.h"

#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include <climits>
#include <cstring>

using namespace SPSTest;

namespace {
QByteArray RandomBytes(qsizetype size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

// Random bytes in which no row begins with a record letter.
QByteArray RandomWithoutRecords(qsizetype size, quint32 seed)
{
    QByteArray bytes = RandomBytes(size, seed);
    for (char& c : bytes)
        if (c == 'S' || c == 'R')
            c = 'x';
    return bytes;
}

QByteArray Utf16(const QByteArray& utf8, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder.encode(QString::fromUtf8(utf8));
}

bool SameRecords(const std::vector<VePrevSegySRGeometry>& a,
                 const std::vector<VePrevSegySRGeometry>& b)
{
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof a[0]) == 0);
}

// A geometry with records of its own, for loads that must not lose them.
VePrevStackSegyGeometry* Filled()
{
    auto* geometry = new VePrevStackSegyGeometry;
    for (int i = 0; i < 3; ++i) {
        auto* record = new VePrevSegySRGeometry;
        record->m_nNumber = 990000 + i;
        record->m_fX = 1.5f * i;
        geometry->AddReceiverGeometry(new VePrevSegySRGeometry(*record));
        geometry->AddShotGeometry(record); // takes it over
    }
    return geometry;
}
} // namespace

class TestHostile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_Dir;
    int m_nFile = 0;

    QString Write(const QByteArray& bytes)
    {
        const QString path = m_Dir.filePath(QStringLiteral("file-%1.sps").arg(++m_nFile));
        return WriteFile(path, bytes) ? path : QString();
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_Dir.isValid()); }

    // Files that are no SPS files, loaded as source and receiver file: the load
    // completes, with exactly the points the files hold and a warning for each
    // file that holds none.
    void contents_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QByteArray>("receiver");
        QTest::addColumn<bool>("autoSkip");
        QTest::addColumn<int>("shots");
        QTest::addColumn<int>("receivers");
        QTest::addColumn<QStringList>("warnings"); // %S, %R: the paths

        const QStringList none = {"No source points found in [%S]",
                                  "No receiver points found in [%R]"};
        QTest::newRow("random bytes, automatic")
            << RandomWithoutRecords(1 << 16, 1) << RandomWithoutRecords(1 << 16, 2) << true << 0
            << 0 << none;
        QTest::newRow("random bytes before the records")
            << RandomWithoutRecords(5000, 3) + "\n" + Survey('S', 40)
            << RandomWithoutRecords(5000, 4) + "\r\n" + Survey('R', 30) << true << 40 << 30
            << QStringList();
        QTest::newRow("NUL bytes, automatic")
            << QByteArray(1 << 16, '\0') << QByteArray(1 << 16, '\0') << true << 0 << 0 << none;
        // One row of NULs is a record of empty-looking fields: one point numbered 0.
        QTest::newRow("NUL bytes, fixed count")
            << QByteArray(1 << 16, '\0') << QByteArray(1 << 16, '\0') << false << 1 << 1
            << QStringList();
        QTest::newRow("rows of NUL bytes, fixed count")
            << QByteArray("\0\0\n", 3).repeated(1000) << QByteArray("\0\0\0\0\n", 5).repeated(9)
            << false << 1 << 1 << QStringList();
        QByteArray brokenLines = Survey('S', 20);
        brokenLines.replace("     100", "\xff\xfe\xc0\x80 100");
        QTest::newRow("invalid UTF-8 in the line names")
            << brokenLines << Survey('R', 5) << true << 20 << 5 << QStringList();
        QByteArray brokenEnds = Survey('R', 12);
        brokenEnds.replace("\r\n", "  \xe2\x82\xf0\r\n");
        QTest::newRow("invalid UTF-8 ending each row")
            << Survey('S', 3) << brokenEnds << true << 3 << 12 << QStringList();
        QTest::newRow("empty files") << QByteArray() << QByteArray() << true << 0 << 0 << none;
        QTest::newRow("only header rows")
            << QByteArray("H00 a\r\nH01 b\r\n") << QByteArray("H00\n") << true << 0 << 0 << none;
        QTest::newRow("DOS end-of-file marks and blank rows, fixed count")
            << Survey('S', 8) + "\r\n \t\r\n\x1a" << Survey('R', 8) + "\x1a\x1a\n\x1a" << false << 8
            << 8 << QStringList();
    }

    void contents()
    {
        QFETCH(QByteArray, source);
        QFETCH(QByteArray, receiver);
        QFETCH(bool, autoSkip);
        QFETCH(int, shots);
        QFETCH(int, receivers);
        QFETCH(QStringList, warnings);

        VeTaskSPSFilesLoaderParam param;
        param.SourceFileName = Write(source);
        param.ReceiverFileName = Write(receiver);
        param.AutoSkipS = param.AutoSkipR = autoSkip;
        // The three header rows of Survey() are records in fixed mode: skip them.
        param.SkipPosS = param.SkipPosR = source.startsWith("H00") ? 3 : 0;
        const LoadOutcome out = RunLoad(&param);
        QCOMPARE(out.handedOver, 1);
        QVERIFY(out.created);
        QCOMPARE(out.created->ShotCount(), shots);
        QCOMPARE(out.created->ReceiverCount(), receivers);
        for (QString& w : warnings)
            w.replace("%S", param.SourceFileName).replace("%R", param.ReceiverFileName);
        QCOMPARE(out.Messages(VeEventsLog::EventsLogWarning), warnings);
        QVERIFY(out.Messages(VeEventsLog::EventsLogError).isEmpty());
    }

    // The same survey in another encoding or with other line ends loads exactly
    // like its plain UTF-8 twin.
    void twins_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QByteArray>("receiver");

        const QByteArray s = Survey('S', 60);
        const QByteArray r = Survey('R', 45, 7);
        QTest::newRow("UTF-16 LE with byte-order mark")
            << Utf16(s, QStringConverter::Utf16LE) << Utf16(r, QStringConverter::Utf16LE);
        QTest::newRow("UTF-16 BE with byte-order mark")
            << Utf16(s, QStringConverter::Utf16BE) << Utf16(r, QStringConverter::Utf16BE);
        QTest::newRow("UTF-8 byte-order mark") << "\xef\xbb\xbf" + s << "\xef\xbb\xbf" + r;
        QByteArray lf = s;
        QTest::newRow("LF ends") << lf.replace("\r\n", "\n") << QByteArray(r).replace("\r\n", "\n");
        QTest::newRow("no end on the last row") << s.chopped(2) << r.chopped(2);
        QTest::newRow("Latin-1 letters in a header row")
            << "H99 Gda\xf1sk \xe9t\xe9\r\n" + s << QByteArray("H99 \xff\r\n") + r;
    }

    void twins()
    {
        QFETCH(QByteArray, source);
        QFETCH(QByteArray, receiver);

        VeTaskSPSFilesLoaderParam plain;
        plain.SourceFileName = Write(Survey('S', 60));
        plain.ReceiverFileName = Write(Survey('R', 45, 7));
        const LoadOutcome expected = RunLoad(&plain);
        QVERIFY(expected.created);
        QCOMPARE(expected.created->ShotCount(), 60);

        VeTaskSPSFilesLoaderParam twin;
        twin.SourceFileName = Write(source);
        twin.ReceiverFileName = Write(receiver);
        const LoadOutcome out = RunLoad(&twin);
        QVERIFY(out.created);
        QCOMPARE(out.Messages(VeEventsLog::EventsLogWarning), QStringList());
        QCOMPARE(out.Messages(VeEventsLog::EventsLogError), QStringList());
        QVERIFY(SameRecords(out.created->Shots(), expected.created->Shots()));
        QVERIFY(SameRecords(out.created->Receivers(), expected.created->Receivers()));
    }

    // Paths that are not readable files, into a new geometry and into an
    // existing one: a clear message, nothing handed over, and the existing
    // geometry keeps all it had (plus the shots of a good source file).
    void paths_data()
    {
        QTest::addColumn<QString>("badSource"); // "" = a good file
        QTest::addColumn<QString>("badReceiver");
        QTest::addColumn<QString>("message");

        QTest::newRow("folder as source") << "folder"
                                          << ""
                                          << "Cannot open file [%1] for reading!";
        QTest::newRow("folder as receiver") << ""
                                            << "folder"
                                            << "Cannot open file [%1] for reading!";
        QTest::newRow("source removed before the load") << "removed"
                                                        << ""
                                                        << "Cannot open file [%1] for reading!";
        QTest::newRow("receiver removed before the load") << ""
                                                          << "removed"
                                                          << "Cannot open file [%1] for reading!";
        QTest::newRow("empty receiver path") << ""
                                             << "empty"
                                             << "Receiver file name is empty";
        QTest::newRow("path with a NUL character") << "nul"
                                                   << ""
                                                   << "Cannot open file [%1] for reading!";
        // Nothing that is not a regular file is opened: a pipe nobody writes,
        // or a device without end, would hold the load for good.
        QTest::newRow("FIFO as source") << "fifo"
                                        << ""
                                        << "Cannot open file [%1] for reading!";
        QTest::newRow("FIFO as receiver") << ""
                                          << "fifo"
                                          << "Cannot open file [%1] for reading!";
        QTest::newRow("symlink to a FIFO as source") << "link to fifo"
                                                     << ""
                                                     << "Cannot open file [%1] for reading!";
        QTest::newRow("endless zeros as source") << "/dev/zero"
                                                 << ""
                                                 << "Cannot open file [%1] for reading!";
        QTest::newRow("endless random bytes as receiver") << ""
                                                          << "/dev/urandom"
                                                          << "Cannot open file [%1] for reading!";
    }

    void paths()
    {
        QFETCH(QString, badSource);
        QFETCH(QString, badReceiver);
        QFETCH(QString, message);

        const auto badPath = [this](const QString& kind) {
            if (kind == QLatin1String("folder"))
                return m_Dir.path();
            if (kind == QLatin1String("empty"))
                return QString();
            if (kind == QLatin1String("nul"))
                return m_Dir.filePath(QString::fromLatin1("a\0b", 3));
            if (kind.startsWith(QLatin1String("/dev/")))
                return kind; // only ever named, never opened
            if (kind.endsWith(QLatin1String("fifo"))) {
                const QString fifo = m_Dir.filePath(QStringLiteral("nobody-writes.fifo"));
                ::mkfifo(QFile::encodeName(fifo).constData(), 0600);
                if (!kind.startsWith(QLatin1String("link")))
                    return fifo;
                const QString link = m_Dir.filePath(QStringLiteral("to-fifo.s"));
                QFile::link(fifo, link);
                return link;
            }
            // Present when the dialog checked it, gone when the load runs.
            const QString path = Write(Survey('S', 5));
            QFile::remove(path);
            return path;
        };

        for (bool existing : {false, true}) {
            VeTaskSPSFilesLoaderParam param;
            param.SourceFileName =
                badSource.isEmpty() ? Write(Survey('S', 25)) : badPath(badSource);
            param.ReceiverFileName =
                badReceiver.isEmpty() ? Write(Survey('R', 25)) : badPath(badReceiver);
            VeObjNode node(existing ? Filled() : nullptr);
            auto* target = static_cast<VePrevStackSegyGeometry*>(node.GetObject());
            const std::vector<VePrevSegySRGeometry> shotsBefore =
                target ? target->Shots() : std::vector<VePrevSegySRGeometry>();
            const std::vector<VePrevSegySRGeometry> receiversBefore =
                target ? target->Receivers() : std::vector<VePrevSegySRGeometry>();

            const LoadOutcome out = RunLoad(&param, &node);
            QCOMPARE(out.handedOver, 0);
            const QString bad = badSource.isEmpty() ? param.ReceiverFileName : param.SourceFileName;
            QCOMPARE(out.Messages(VeEventsLog::EventsLogError),
                     QStringList{message.contains("%1") ? message.arg(bad) : message});
            if (!target)
                continue;
            // Nothing lost: the records it had stay first and unchanged.
            std::vector<VePrevSegySRGeometry> shots = target->Shots();
            std::vector<VePrevSegySRGeometry> receivers = target->Receivers();
            QCOMPARE(int(shots.size()), 3 + (badSource.isEmpty() ? 25 : 0));
            shots.resize(3);
            QVERIFY(SameRecords(shots, shotsBefore));
            QVERIFY(SameRecords(receivers, receiversBefore));
        }
    }

    // A read error in the middle of a file (a failing disk gives EIO) ends the
    // load as a file that cannot be opened does, never as a shorter file. The
    // file object fails as QFile does on such an error.
    void readErrorMidFile_data()
    {
        QTest::addColumn<bool>("receiverFails");
        QTest::addColumn<bool>("general");
        QTest::addColumn<bool>("cancel");

        QTest::newRow("source file") << false << false << false;
        QTest::newRow("receiver file") << true << false << false;
        QTest::newRow("source file, through QTextStream") << false << true << false;
        QTest::newRow("receiver file, through QTextStream") << true << true << false;
        // The user cancels the load while it reads the file: it ends as a failed
        // reading does, with a warning instead of the error.
        QTest::newRow("source file, cancelled") << false << false << true;
        QTest::newRow("receiver file, cancelled") << true << false << true;
        QTest::newRow("receiver file, through QTextStream, cancelled") << true << true << true;
    }

    void readErrorMidFile()
    {
        QFETCH(bool, receiverFails);
        QFETCH(bool, general);
        QFETCH(bool, cancel);

        // Once this many bytes were read, the file's descriptor is swapped for
        // one open for writing only: the next read fails in the system call,
        // and QFile reports it as it reports EIO.
        class FailingFile : public QFile
        {
        public:
            FailingFile(const QString& path, bool cancel) : QFile(path), m_bCancel(cancel) {}

        protected:
            qint64 readData(char* data, qint64 maxSize) override
            {
                constexpr qint64 kGoodBytes = 1500000;
                if (m_bCancel) {
                    // As the host's Cancel does: every running load is asked to stop.
                    if (pos() < kGoodBytes)
                        return QFile::readData(data, qMin(maxSize, kGoodBytes - pos()));
                    for (VeThread* t : VeThreadRegistry::Instance()->Threads())
                        t->requestInterruption();
                    return QFile::readData(data, maxSize);
                }
                if (pos() >= kGoodBytes && !m_bBroken) {
                    const int writeOnly =
                        ::open(QFile::encodeName(fileName()).constData(), O_WRONLY);
                    m_bBroken = writeOnly >= 0 && ::dup2(writeOnly, handle()) >= 0;
                    if (writeOnly >= 0)
                        ::close(writeOnly);
                }
                return QFile::readData(data,
                                       m_bBroken ? maxSize : qMin(maxSize, kGoodBytes - pos()));
            }

        private:
            const bool m_bCancel;
            bool m_bBroken = false;
        };
        constexpr int kPoints = 30000; // about 2.5 MB
        const QString failing = Write(Survey(receiverFails ? 'R' : 'S', kPoints));
        SPSReadOptions options;
        options.generalPath = general;
        options.makeFile = [failing, cancel](const QString& path) -> std::unique_ptr<QFile> {
            if (path == failing)
                return std::make_unique<FailingFile>(path, cancel);
            return std::make_unique<QFile>(path);
        };

        for (bool existing : {false, true}) {
            VeTaskSPSFilesLoaderParam param;
            param.SourceFileName = receiverFails ? Write(Survey('S', 25)) : failing;
            param.ReceiverFileName = receiverFails ? failing : Write(Survey('R', 25));
            VeObjNode node(existing ? Filled() : nullptr);
            auto* target = static_cast<VePrevStackSegyGeometry*>(node.GetObject());

            const LoadOutcome out = RunLoad(&param, &node, options);
            QCOMPARE(out.handedOver, 0);
            const QString stopped = cancel ? "The load was cancelled while reading [%1]."
                                           : "Cannot read file [%1] to its end!";
            QCOMPARE(
                out.Messages(cancel ? VeEventsLog::EventsLogWarning : VeEventsLog::EventsLogError),
                QStringList{stopped.arg(failing)});
            if (!target)
                continue;
            // The shots came before the receiver file failed; nothing of a
            // failed file is added.
            QCOMPARE(target->ShotCount(), 3 + (receiverFails ? 25 : 0));
            QCOMPARE(target->ReceiverCount(), 3);
        }
    }

    // Column layouts at the limits of 32 bits, as a record may hold them when it
    // does not come through the page's checks: fields that start before the row
    // or far beyond it, lengths that overflow when added to the position.
    void extremeColumns_data()
    {
        QTest::addColumn<int>("pointPos");
        QTest::addColumn<int>("pointLen");
        QTest::addColumn<int>("xPos");
        QTest::addColumn<int>("xLen");
        QTest::addColumn<int>("shots");
        QTest::addColumn<double>("firstX");

        // Survey rows: 10 points on each of lines 100 and 101.
        QTest::newRow("standard") << 17 << 8 << 46 << 9 << 20 << 600001.0;
        QTest::newRow("point at INT_MAX, length INT_MAX")
            << INT_MAX << INT_MAX << 46 << 9 << 1 << 600020.0;
        QTest::newRow("X at INT_MIN, length INT_MAX") << 17 << 8 << INT_MIN << INT_MAX << 20 << 0.0;
        QTest::newRow("X from -10, length 65: the row's start")
            << 17 << 8 << -10 << 65 << 20 << 0.0;
        // The point text runs to the row's end: many points, no number, all 0.
        QTest::newRow("negative lengths take the rest of the row")
            << 17 << -1 << 46 << -5 << 1 << 0.0;
        QTest::newRow("zero lengths") << 17 << 0 << 46 << 0 << 1 << 0.0;
        QTest::newRow("point at INT_MIN, length INT_MIN")
            << INT_MIN << INT_MIN << 46 << 9 << 1 << 600020.0;
    }

    void extremeColumns()
    {
        QFETCH(int, pointPos);
        QFETCH(int, pointLen);
        QFETCH(int, xPos);
        QFETCH(int, xLen);
        QFETCH(int, shots);
        QFETCH(double, firstX);

        VeTaskSPSFilesLoaderParam param;
        param.SourceFileName = Write(Survey('S', 20));
        param.ReceiverFileName = Write(Survey('R', 20));
        param.SrcIDPos = param.RecvIDPos = pointPos;
        param.SrcIDLen = param.RecvIDLen = pointLen;
        param.SrcCoordX = param.RecvCoordX = xPos;
        param.SrcCoordXLen = param.RecvCoordXLen = xLen;
        const LoadOutcome out = RunLoad(&param);
        QVERIFY(out.created);
        QCOMPARE(out.created->ShotCount(), shots);
        QCOMPARE(out.created->ReceiverCount(), shots);
        QCOMPARE(double(out.created->ShotAt(0).m_fX), firstX);
        QVERIFY(out.Messages(VeEventsLog::EventsLogError).isEmpty());
    }

    // A file that keeps coming while it is read (a pipe written in pieces, a
    // row cut between two writes): every row arrives, as from a plain file.
    void fileGrowingWhileRead()
    {
        const QByteArray survey = Survey('S', 300);
        const QString pipe = m_Dir.filePath(QStringLiteral("growing.s"));
        FifoWriter writer(pipe);
        QVERIFY(writer.IsMade());
        VeTaskSPSFilesLoaderParam param;
        param.SourceFileName = pipe;
        param.ReceiverFileName = Write(Survey('R', 10));

        VeEventsLog::Instance()->Clear();
        std::unique_ptr<VePrevStackSegyGeometry> created;
        QObject receiver;
        connect(
            VeThreadRegistry::Instance(), &VeThreadRegistry::sigObjectCreated, &receiver,
            [&created](VeObject* o) { created.reset(qobject_cast<VePrevStackSegyGeometry*>(o)); });
        VeThreadSPSFilesLoader thread;
        ReadPipes(thread);
        thread.m_pParam = &param;
        thread.start();
        QVERIFY(writer.WaitForReader());
        for (qsizetype at = 0; at < survey.size(); at += 1000) {
            QVERIFY(writer.Write(survey.mid(at, 1000)));
            QThread::msleep(2);
        }
        writer.Close();
        QVERIFY(thread.wait(60000));
        QCoreApplication::sendPostedEvents();
        QVERIFY(created);
        QCOMPARE(created->ShotCount(), 300);
        QCOMPARE(created->ShotAt(299).m_nNumber, 300);
        QCOMPARE(SPSTest::ProblemsLogged(), QStringList());
    }

    // A file removed while the load reads it: the open file is read to its end.
    void fileRemovedWhileRead()
    {
        const QString pipe = m_Dir.filePath(QStringLiteral("removed-while-read.s"));
        FifoWriter writer(pipe);
        QVERIFY(writer.IsMade());
        VeTaskSPSFilesLoaderParam param;
        param.SourceFileName = pipe;
        param.ReceiverFileName = Write(Survey('R', 10));
        VeObjNode node(Filled());
        auto* target = static_cast<VePrevStackSegyGeometry*>(node.GetObject());

        VeThreadSPSFilesLoader thread;
        ReadPipes(thread);
        thread.m_pParam = &param;
        thread.m_pTargetNode = &node;
        thread.start();
        QVERIFY(writer.WaitForReader());
        const QByteArray survey = Survey('S', 50);
        QVERIFY(writer.Write(survey.left(700)));
        QVERIFY(QFile::remove(pipe));
        QVERIFY(writer.Write(survey.mid(700)));
        writer.Close();
        QVERIFY(thread.wait(60000));
        QCoreApplication::sendPostedEvents();
        QCOMPARE(target->ShotCount(), 3 + 50);
        QCOMPARE(target->ReceiverCount(), 3 + 10);
    }

    // A regular file cut short or grown by someone else while a load reads it:
    // the load ends normally with the rows it found, whole or cut.
    void fileTruncatedOrGrownWhileRead_data()
    {
        QTest::addColumn<qint64>("newSize"); // -1: doubled by appending
        QTest::addColumn<int>("delayMs");

        for (int delay : {0, 1, 5, 20}) {
            QTest::addRow("truncated to nothing after %d ms", delay) << qint64(0) << delay;
            QTest::addRow("cut mid-row after %d ms", delay) << qint64(1 << 20) + 37 << delay;
            QTest::addRow("grown after %d ms", delay) << qint64(-1) << delay;
        }
    }

    void fileTruncatedOrGrownWhileRead()
    {
        QFETCH(qint64, newSize);
        QFETCH(int, delayMs);

        constexpr int kPoints = 60000; // about 5 MB
        const QByteArray survey = Survey('S', kPoints);
        VeTaskSPSFilesLoaderParam param;
        param.SourceFileName = Write(survey);
        param.ReceiverFileName = Write(Survey('R', 10));

        VeEventsLog::Instance()->Clear();
        std::unique_ptr<VePrevStackSegyGeometry> created;
        QObject receiver;
        connect(
            VeThreadRegistry::Instance(), &VeThreadRegistry::sigObjectCreated, &receiver,
            [&created](VeObject* o) { created.reset(qobject_cast<VePrevStackSegyGeometry*>(o)); });
        VeThreadSPSFilesLoader thread;
        thread.m_pParam = &param;
        thread.start();
        QThread::msleep(ulong(delayMs));
        QFile file(param.SourceFileName);
        if (newSize < 0) {
            QVERIFY(file.open(QIODevice::Append));
            QCOMPARE(file.write(Survey('S', kPoints, kPoints + 1)), survey.size());
        } else {
            QVERIFY(file.resize(newSize));
        }
        file.close();
        QVERIFY(thread.wait(60000));
        QCoreApplication::sendPostedEvents();

        QVERIFY(created);
        QCOMPARE(created->ReceiverCount(), 10);
        const int shots = created->ShotCount();
        QVERIFY(shots <= (newSize < 0 ? 2 * kPoints : kPoints));
        if (newSize < 0)
            QVERIFY(shots >= kPoints);
        for (const VeEventsLogEntry& e : VeEventsLog::Instance()->Entries())
            QVERIFY2(e.type != VeEventsLog::EventsLogError, qPrintable(e.text));
    }

    // Parameter files that no one wrote by hand: each reads to a defined status,
    // and an accepted one gathers or names the value it refuses.
    void parameterFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("failedKey");

        const QByteArray head = "Tarvel SPS File Load Parameter \r\nversion = 1 \r\n";
        QTest::newRow("random bytes")
            << RandomBytes(4096, 5) << int(SPSParamFile::InvalidVersion) << "";
        QTest::newRow("random bytes after the version line")
            << head + RandomBytes(1 << 16, 6).replace('=', 'x') << int(SPSParamFile::Ok) << "";
        QTest::newRow("NUL bytes")
            << QByteArray(5000, '\0') << int(SPSParamFile::InvalidVersion) << "";
        QTest::newRow("one huge line") << QByteArray("SrcIDPos = 3 ").repeated(400000)
                                       << int(SPSParamFile::InvalidVersion) << "";
        QTest::newRow("a huge line after the version line")
            << head + QByteArray("SrcIDPos = 3 ").repeated(400000) + "\r\nSrcIDLen = 4"
            << int(SPSParamFile::Ok) << "";
        QTest::newRow("a huge value") << head + "SrcIDPos = " + QByteArray(100000, '7')
                                      << int(SPSParamFile::Ok) << "SrcIDPos";
        QTest::newRow("2^31") << head + "SrcIDLen = 2147483648" << int(SPSParamFile::Ok)
                              << "SrcIDLen";
        QTest::newRow("2^32 + 2") << head + "RecvCoordX = 4294967298" << int(SPSParamFile::Ok)
                                  << "RecvCoordX";
        QTest::newRow("past 64 bits")
            << head + "SrcElevLen = 99999999999999999999" << int(SPSParamFile::Ok) << "SrcElevLen";
        QTest::newRow("-2^31") << head + "SrcLineLen = -2147483648" << int(SPSParamFile::Ok)
                               << "SrcLineLen";
        QTest::newRow("negative position")
            << head + "RecvLinePos = -4" << int(SPSParamFile::Ok) << "RecvLinePos";
        QTest::newRow("position 0") << head + "SrcIDPos = 0" << int(SPSParamFile::Ok) << "SrcIDPos";
        QTest::newRow("negative count with automatic skipping off")
            << head + "AutoSkipR = 0\nSkipPosR = -1" << int(SPSParamFile::Ok) << "SkipPosR";
        QTest::newRow("negative count with automatic skipping on")
            << head + "SkipPosR = -1" << int(SPSParamFile::Ok) << "";
        QTest::newRow("largest 32-bit position") << head + "SrcIDPos = 2147483647\n"
                                                 << int(SPSParamFile::Ok) << "";
    }

    void parameterFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        QFETCH(QString, failedKey);

        const QString path = Write(bytes);
        SPSFormatValues values;
        QCOMPARE(int(SPSParamFile::Read(path, &values)), status);
        if (status != SPSParamFile::Ok) {
            QVERIFY(values == SPSFormatValues());
            return;
        }
        VeTaskSPSFilesLoaderParam param;
        QString failed;
        QCOMPARE(values.Gather(&param, &failed), failedKey.isEmpty());
        QCOMPARE(failed, failedKey);
        if (!failedKey.isEmpty())
            return;
        // What gathers also loads.
        param.SourceFileName = Write(Survey('S', 5));
        param.ReceiverFileName = Write(Survey('R', 5));
        const LoadOutcome out = RunLoad(&param);
        QCOMPARE(out.handedOver, 1);
        QVERIFY(out.Messages(VeEventsLog::EventsLogError).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestHostile)
#include "tst_hostile.moc"
