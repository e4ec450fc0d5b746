#pragma once

#include <QByteArray>
#include <QFile>

// The process's own memory accounting (Linux /proc), for tests and benchmarks
// that bound what a piece of work adds to it.
namespace ProcessMemory {

// A "Vm...:" figure of /proc/self/status in KiB, or -1 when it cannot be read.
inline qint64 StatusKiB(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

inline qint64 ResidentKiB()
{
    return StatusKiB("VmRSS:");
}

inline qint64 PeakResidentKiB()
{
    return StatusKiB("VmHWM:");
}

// Lets the peak start again from the current resident size (Linux 4.0 and later).
inline bool ResetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1 && refs.flush();
}

} // namespace ProcessMemory
