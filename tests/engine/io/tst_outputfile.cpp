#include "FileSizeLimit.h"
#include "SPSFileAccess.h"
#include "SPSTestFifo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Large enough to hold the old contents, far smaller than any write buffer.
constexpr rlim_t kLimit = 64;
const QByteArray kFormer = "former contents\n";
const QByteArray kSmall = "kind,number,x,y,elevation\nS,1,2,3,4\n";
const QByteArray kLarge(200, 'x');

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<cannot read>");
}

bool writeRaw(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
} // namespace

class TestOutputFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void write_data()
    {
        QTest::addColumn<QString>("target"); // what "out" is before the write
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("limited"); // writes past kLimit bytes fail
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("parts"); // the bytes handed over in this many parts; 0: whole

        QTest::newRow("new file") << "none" << kSmall << false << QString() << 0;
        QTest::newRow("former file replaced") << "file" << kSmall << false << QString() << 0;
        QTest::newRow("symlink kept, the file it names replaced")
            << "symlink" << kSmall << false << QString() << 0;
        QTest::newRow("symlink to a file not yet there")
            << "dangling" << kSmall << false << QString() << 0;
        QTest::newRow("disk full: former file whole")
            << "file" << kLarge << true << "File too large" << 0;
        QTest::newRow("disk full: no new file")
            << "none" << kLarge << true << "File too large" << 0;
        QTest::newRow("disk full behind a symlink")
            << "symlink" << kLarge << true << "File too large" << 0;
        QTest::newRow("looping symlink")
            << "loop" << kSmall << false << "Too many levels of symbolic links" << 0;
        QTest::newRow("folder") << "folder" << kSmall << false << "It is a folder." << 0;
        QTest::newRow("no file name")
            << "empty" << kSmall << false << "No file name was given." << 0;
        QTest::newRow("in parts: former file replaced")
            << "file" << kLarge << false << QString() << 7;
        QTest::newRow("in parts: disk full, former file whole")
            << "file" << kLarge << true << "File too large" << 5;
        QTest::newRow("in parts: disk full, no new file")
            << "none" << kLarge << true << "File too large" << 3;
    }

    void write()
    {
        QFETCH(QString, target);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, limited);
        QFETCH(QString, error);
        QFETCH(int, parts);

        QTemporaryDir dir;
        const QString out = target == "empty" ? QString() : dir.filePath("out");
        const QString named = dir.filePath("named");
        if (target == "file")
            QVERIFY(writeRaw(out, kFormer));
        if (target == "symlink") {
            QVERIFY(writeRaw(named, kFormer));
            QVERIFY(QFile::link("named", out));
        }
        if (target == "dangling")
            QVERIFY(QFile::link("named", out));
        if (target == "loop") {
            QVERIFY(QFile::link("loop2", out));
            QVERIFY(QFile::link("out", dir.filePath("loop2")));
        }
        if (target == "folder")
            QVERIFY(QDir(dir.path()).mkdir("out"));
        const QStringList before =
            QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);

        QString reason;
        bool written = false;
        {
            std::unique_ptr<FileSizeLimit> limit(limited ? new FileSizeLimit(kLimit) : nullptr);
            if (parts == 0) {
                written = SPSOutputFile::Write(out, bytes, &reason);
            } else {
                const qsizetype size = bytes.size() / parts + 1;
                const auto put = [&](const SPSOutputFile::Put& put) {
                    for (qsizetype at = 0; at < bytes.size(); at += size)
                        if (!put(bytes.mid(at, size)))
                            return false;
                    return true;
                };
                written = SPSOutputFile::Write(out, put, &reason);
            }
        }
        QCOMPARE(reason, error);
        QCOMPARE(written, error.isEmpty());

        const bool throughLink = target == "symlink" || target == "dangling";
        if (throughLink)
            QCOMPARE(QFileInfo(out).symLinkTarget(), named);
        const QString file = throughLink ? named : out;
        if (written)
            QCOMPARE(readAll(file), bytes);
        else if (target == "file" || target == "symlink")
            QCOMPARE(readAll(file), kFormer);
        // Nothing left beside the output, whatever happened.
        QStringList after =
            QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        if (written && !before.contains(QFileInfo(file).fileName()))
            after.removeOne(QFileInfo(file).fileName());
        QCOMPARE(after, before);
        if (target == "loop")
            QVERIFY(QFileInfo(out).isSymLink());
    }

    void fifoIsWrittenNotReplaced()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath("pipe");
        SPSTest::FifoWriter made(fifo); // makes the FIFO; its writing end stays unused
        QVERIFY(made.IsMade());
        QByteArray received;
        std::thread reader([&]() {
            QFile in(fifo);
            if (in.open(QIODevice::ReadOnly))
                received = in.readAll();
        });
        QString reason;
        const bool written = SPSOutputFile::Write(fifo, kSmall, &reason);
        reader.join();
        QVERIFY2(written, qPrintable(reason));
        QCOMPARE(received, kSmall);
        QVERIFY(!QFileInfo(fifo).isFile());
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                 QStringList{"pipe"});
    }

    void throughProcWrittenInPlace_data()
    {
        QTest::addColumn<bool>("pipe"); // else a regular file
        QTest::newRow("pipe, as /dev/stdout into a pipe") << true;
        QTest::newRow("file, as /dev/stdout redirected to it") << false;
    }

    void throughProcWrittenInPlace()
    {
        // A link into /proc/self/fd, as /dev/stdout is: what it names is written,
        // never replaced, and no system path is written by the test.
        QFETCH(bool, pipe);
        QTemporaryDir dir;
        const QString real = dir.filePath("real");
        int fds[2] = {-1, -1};
        if (pipe) {
            QCOMPARE(::pipe(fds), 0);
        } else {
            QVERIFY(writeRaw(real, kFormer));
            fds[1] = ::open(QFile::encodeName(real).constData(), O_RDONLY);
            QVERIFY(fds[1] >= 0);
        }
        const QString out = dir.filePath("out");
        QVERIFY(QFile::link(QString("/proc/self/fd/%1").arg(fds[1]), out));
        struct stat before;
        QCOMPARE(::stat(QFile::encodeName(out).constData(), &before), 0);

        QString reason;
        QVERIFY2(SPSOutputFile::Write(out, kSmall, &reason), qPrintable(reason));
        if (pipe) {
            QByteArray received(kSmall.size(), '\0');
            QCOMPARE(::read(fds[0], received.data(), size_t(received.size())),
                     ssize_t(kSmall.size()));
            QCOMPARE(received, kSmall);
            ::close(fds[0]);
        } else {
            QCOMPARE(readAll(real), kSmall);
            struct stat after;
            QCOMPARE(::stat(QFile::encodeName(real).constData(), &after), 0);
            QCOMPARE(after.st_ino, before.st_ino);
        }
        ::close(fds[1]);
        QVERIFY(QFileInfo(out).isSymLink());
    }

    void mayOpenForReading_data()
    {
        QTest::addColumn<QString>("path"); // "<dir>" is a folder of the test's own
        QTest::addColumn<bool>("may");

        QTest::newRow("regular file") << "<dir>/file" << true;
        QTest::newRow("symlink to a regular file") << "<dir>/link" << true;
        QTest::newRow("FIFO") << "<dir>/pipe" << false;
        QTest::newRow("folder") << "<dir>" << false;
        QTest::newRow("missing") << "<dir>/none" << false;
        QTest::newRow("empty path") << "" << false;
        // Only looked at, never opened: that is what is tested.
        QTest::newRow("device") << "/dev/zero" << false;
    }

    void mayOpenForReading()
    {
        QFETCH(QString, path);
        QFETCH(bool, may);
        QTemporaryDir dir;
        QVERIFY(writeRaw(dir.filePath("file"), kFormer));
        QVERIFY(QFile::link("file", dir.filePath("link")));
        SPSTest::FifoWriter fifo(dir.filePath("pipe"));
        QVERIFY(fifo.IsMade());
        QCOMPARE(SPSMayOpenForReading(path.replace("<dir>", dir.path())), may);
    }

    void sameFile_data()
    {
        QTest::addColumn<QString>("other");
        QTest::addColumn<bool>("same");

        QTest::newRow("the same path") << "file" << true;
        QTest::newRow("through a symlink") << "link" << true;
        QTest::newRow("hard link") << "hard" << true;
        QTest::newRow("through the folder") << "../d/file" << true;
        QTest::newRow("another file") << "copy" << false;
        QTest::newRow("missing") << "none" << false;
    }

    void sameFile()
    {
        QFETCH(QString, other);
        QFETCH(bool, same);
        QTemporaryDir top;
        QVERIFY(QDir(top.path()).mkdir("d"));
        const QDir dir(top.filePath("d"));
        QVERIFY(writeRaw(dir.filePath("file"), kFormer));
        QVERIFY(writeRaw(dir.filePath("copy"), kFormer));
        QVERIFY(QFile::link("file", dir.filePath("link")));
        QVERIFY(::link(QFile::encodeName(dir.filePath("file")).constData(),
                       QFile::encodeName(dir.filePath("hard")).constData()) == 0);
        QCOMPARE(SPSSameFile(dir.filePath("file"), dir.filePath(other)), same);
    }
};

QTEST_GUILESS_MAIN(TestOutputFile)
#include "tst_outputfile.moc"
