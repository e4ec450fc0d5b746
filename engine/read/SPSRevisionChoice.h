#pragma once

#include "SPSEngineExport.h"

#include "SPSRevisionDetector.h"

#include <QChar>
#include <QString>

// What detecting a file's revision decides about the columns it is read in.
// Every place that offers the detection (spsload --revision auto, the Format
// page's "Detect from Files") asks here, so a file gets the same layout from
// each of them.
struct SPSRevisionChoice
{
    enum class Gate
    {
        NoPath,         // no file chosen
        Missing,        // nothing at the path (a dangling link included)
        NotRegularFile, // a FIFO, a device or a folder: never opened
        Read,           // a regular file: its first rows were read
    };
    Gate gate = Gate::NoPath;
    // What the rows said; the verdict only when the file was read.
    SPSRevisionVerdict verdict;
    // The revision whose columns the file's group takes. Unknown when nothing
    // was read or the rows and header tell nothing: the layout in use stays,
    // as a guess would put a layout the user chose at risk for no gain.
    SPSRevision revision = SPSRevision::Unknown;
};

// recordLetter: 'S', 'R' or 'X'. Only a regular file is opened (symbolic links
// followed): a FIFO would block or give to the detection rows the load needs,
// a device might never end. stop: as SPSRevisionDetector::DetectFile takes it.
SPS_ENGINE_EXPORT SPSRevisionChoice SPSChooseRevision(const QString& path, QChar recordLetter,
                                                      const std::atomic<bool>* stop = nullptr);
