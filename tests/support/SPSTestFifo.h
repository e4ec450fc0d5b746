#pragma once

// A named pipe as an SPS file, so that a test decides when a running load gets
// its bytes: the load blocks in its read until the test writes, which holds it
// mid-file for as long as the test needs.

#include "VeThreadSPSFilesLoader.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFile>
#include <QString>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SPSTest {

// A load refuses named pipes unless told to read them as files.
inline void ReadPipes(VeThreadSPSFilesLoader& thread)
{
    SPSReadOptions options;
    options.allowFifo = true;
    thread.SetReadOptions(options);
}

class FifoWriter
{
public:
    explicit FifoWriter(const QString& path) : m_Path(path)
    {
        m_bMade = ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
        // A reader that closes early makes a write fail instead of ending the test.
        ::signal(SIGPIPE, SIG_IGN);
    }
    ~FifoWriter() { Close(); }
    FifoWriter(const FifoWriter&) = delete;
    FifoWriter& operator=(const FifoWriter&) = delete;

    bool IsMade() const { return m_bMade; }

    // Waits until a reader has opened the pipe; false after the timeout.
    bool WaitForReader(int milliseconds = 10000)
    {
        const QDeadlineTimer deadline(milliseconds);
        const QByteArray name = QFile::encodeName(m_Path);
        while (m_nFd < 0) {
            m_nFd = ::open(name.constData(), O_WRONLY | O_NONBLOCK);
            if (m_nFd >= 0)
                break;
            if (errno != ENXIO || deadline.hasExpired())
                return false;
            QThread::msleep(2);
        }
        // Blocking writes from here on: a full pipe waits for the reader.
        ::fcntl(m_nFd, F_SETFL, ::fcntl(m_nFd, F_GETFL) & ~O_NONBLOCK);
        return true;
    }

    bool Write(const QByteArray& bytes)
    {
        qsizetype done = 0;
        while (m_nFd >= 0 && done < bytes.size()) {
            const ssize_t n = ::write(m_nFd, bytes.constData() + done, size_t(bytes.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            done += n;
        }
        return m_nFd >= 0;
    }

    // The reader sees the end of the file.
    void Close()
    {
        if (m_nFd >= 0)
            ::close(m_nFd);
        m_nFd = -1;
    }

private:
    QString m_Path;
    bool m_bMade = false;
    int m_nFd = -1;
};

} // namespace SPSTest
