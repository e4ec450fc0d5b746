#include "SPSFileAccess.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// As many links as the kernel follows before it gives up with ELOOP.
constexpr int kMaxLinks = 40;

bool Fail(QString* errorText, const QString& text)
{
    if (errorText)
        *errorText = text;
    return false;
}

QString ErrnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// /dev and /proc hold no file of the user's: what is reached through them (as
// /dev/stdout redirected to a file) is written in place, never replaced.
bool IsSystemPath(const QString& path)
{
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    return clean.startsWith(QLatin1String("/dev/")) || clean.startsWith(QLatin1String("/proc/"));
}

// The path a write through `path` lands on: every symbolic link followed, so the
// link itself is kept. False for a loop or a chain longer than the kernel follows.
bool FollowLinks(const QString& path, QString* target, QString* errorText,
                 bool* throughSystem = nullptr)
{
    QString current = path;
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        if (throughSystem && IsSystemPath(current))
            *throughSystem = true;
        const QByteArray native = QFile::encodeName(current);
        struct stat st;
        if (::lstat(native.constData(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            *target = current;
            return true;
        }
        QByteArray link(st.st_size > 0 ? st.st_size + 1 : 4096, '\0');
        const ssize_t n = ::readlink(native.constData(), link.data(), size_t(link.size()));
        if (n < 0)
            return Fail(errorText, ErrnoText(errno));
        link.truncate(int(n));
        const QString next = QFile::decodeName(link);
        current = QDir::isAbsolutePath(next) ? next : QFileInfo(current).dir().filePath(next);
    }
    return Fail(errorText, ErrnoText(ELOOP));
}

bool WriteDirectly(const QString& path, const SPSOutputFile::Parts& parts, QString* errorText)
{
    QFile file(path);
    // Unbuffered: every write reports its own failure.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Fail(errorText, file.errorString());
    errno = 0;
    QString reason;
    const bool written = parts([&](const QByteArray& bytes) {
        if (file.write(bytes) == bytes.size())
            return true;
        reason = errno != 0 ? ErrnoText(errno) : file.errorString();
        return false;
    });
    return written || Fail(errorText, reason);
}

} // namespace

bool SPSMayOpenForReading(const QString& path, bool allowFifo)
{
    if (path.isEmpty())
        return false;
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    return S_ISREG(st.st_mode) || (allowFifo && S_ISFIFO(st.st_mode));
}

bool SPSSameFile(const QString& first, const QString& second)
{
    struct stat a, b;
    return !first.isEmpty() && !second.isEmpty() &&
           ::stat(QFile::encodeName(first).constData(), &a) == 0 &&
           ::stat(QFile::encodeName(second).constData(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

bool SPSOutputFile::Write(const QString& path, const QByteArray& bytes, QString* errorText)
{
    return Write(
        path, [&bytes](const Put& put) { return put(bytes); }, errorText);
}

bool SPSOutputFile::Write(const QString& path, const Parts& parts, QString* errorText)
{
    if (path.isEmpty())
        return Fail(errorText, tr("No file name was given."));
    const QByteArray native = QFile::encodeName(path);
    QString target = path;
    struct stat st;
    if (::stat(native.constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return Fail(errorText, tr("It is a folder."));
        // A device, a FIFO, or a file reached through /dev or /proc: written in
        // place, never replaced.
        bool throughSystem = false;
        if (!FollowLinks(path, &target, errorText, &throughSystem))
            return false;
        if (!S_ISREG(st.st_mode) || throughSystem)
            return WriteDirectly(path, parts, errorText);
        // The file a symbolic link names is replaced; the link stays.
        target = QFileInfo(path).canonicalFilePath();
    } else if (errno == ENOENT) {
        // Nothing there yet, or a link to a file not yet there.
        if (!FollowLinks(path, &target, errorText))
            return false;
    } else {
        return Fail(errorText, ErrnoText(errno));
    }

    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return Fail(errorText, file.errorString());
    // commit() does not notice a buffer that failed to reach the disk on its way
    // out, so the bytes are flushed and checked first.
    errno = 0;
    const bool written =
        parts([&file](const QByteArray& bytes) { return file.write(bytes) == bytes.size(); });
    if (!written || !file.flush()) {
        // Qt names a failed flush "Unknown error"; the system's reason is clearer.
        const QString reason = errno != 0 ? ErrnoText(errno) : file.errorString();
        file.cancelWriting(); // the temporary file goes with the object
        return Fail(errorText, reason);
    }
    if (!file.commit())
        return Fail(errorText, file.errorString());
    return true;
}
