#pragma once

#include <functional>

#include "SPSEngineExport.h"

#include <QCoreApplication>
#include <QString>

class QByteArray;

// Whether the path may be opened for reading without the risk of blocking in
// open() or reading without end: a regular file, symbolic links followed. A
// FIFO, a device or a folder is refused before it is ever opened. `allowFifo`
// lets a named pipe pass too (for tests that hand a load its bytes piece by piece).
SPS_ENGINE_EXPORT bool SPSMayOpenForReading(const QString& path, bool allowFifo = false);

// Whether both paths name one existing file (symbolic and hard links followed).
SPS_ENGINE_EXPORT bool SPSSameFile(const QString& first, const QString& second);

// The one way every output of the project is written. A regular file (or a new
// one) is replaced only once the new bytes are all on disk: written to a
// temporary file beside it, flushed and checked, then renamed over it, so a
// failure leaves the former file whole. A target that exists and is not a
// regular file (a device, a FIFO, /dev/stdout) is written directly and never
// replaced. A symbolic link stays: the file it names is replaced.
class SPS_ENGINE_EXPORT SPSOutputFile
{
    Q_DECLARE_TR_FUNCTIONS(SPSOutputFile)
public:
    // False, with the reason in errorText (when given), when anything failed.
    static bool Write(const QString& path, const QByteArray& bytes, QString* errorText = nullptr);
    // Bytes made a part at a time, as parts hands them to put: a large output
    // need not be held whole. parts returns false when put did.
    using Put = std::function<bool(const QByteArray&)>;
    using Parts = std::function<bool(const Put& put)>;
    static bool Write(const QString& path, const Parts& parts, QString* errorText = nullptr);
};
