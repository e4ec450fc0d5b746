#include "SPSInputFile.h"

#include <QFile>
#include <QString>

#include <sys/stat.h>

bool SPSMayOpenForReading(const QString& path, bool allowFifo)
{
    if (path.isEmpty())
        return false;
    struct stat status
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return false;
    return S_ISREG(status.st_mode) || (allowFifo && S_ISFIFO(status.st_mode));
}
