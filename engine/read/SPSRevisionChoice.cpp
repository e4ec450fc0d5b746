#include "SPSRevisionChoice.h"

#include "SPSFileAccess.h"

#include <QFileInfo>

SPSRevisionChoice SPSChooseRevision(const QString& path, QChar recordLetter,
                                    const std::atomic<bool>* stop)
{
    SPSRevisionChoice choice;
    if (path.isEmpty())
        return choice;
    if (!QFileInfo::exists(path)) {
        choice.gate = SPSRevisionChoice::Gate::Missing;
        return choice;
    }
    if (!SPSMayOpenForReading(path)) {
        choice.gate = SPSRevisionChoice::Gate::NotRegularFile;
        return choice;
    }
    choice.gate = SPSRevisionChoice::Gate::Read;
    choice.verdict = SPSRevisionDetector::DetectFile(path, recordLetter, stop);
    choice.revision = choice.verdict.revision;
    return choice;
}
