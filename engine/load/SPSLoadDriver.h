#pragma once

#include "SPSEngineExport.h"

#include "VeEventsLog.h"
#include "VePrevStackSegyGeometry.h"

#include <QList>

#include <memory>

class SPSRowObserver;
class VeTaskSPSFilesLoaderParam;

// What one load run by SPSLoadDriver left.
struct SPSFinishedLoad
{
    // The new geometry the load handed over; null when the load failed.
    std::unique_ptr<VePrevStackSegyGeometry> geometry;
    // The events-log entries written while it ran, in their order.
    QList<VeEventsLogEntry> log;
    // False when a factor took point numbers out of signed 32 bits.
    bool numbersFit = true;
};

// A load for a program without the host's windows (spsload, tools, scripts):
// the loader thread started as the host starts it, waited for, and what it
// handed over and logged collected for the caller.
class SPS_ENGINE_EXPORT SPSLoadDriver
{
public:
    // Loads the record's files, numbered as its Numbering says, into a new
    // geometry. Runs an event loop on the calling thread, which needs a
    // QCoreApplication, until the load has ended; other events of that thread
    // are delivered meanwhile. Every object the thread registry hands over
    // in that time is taken, and all but the load's own deleted: it is for a
    // program in which nothing else takes the registry's objects over.
    // The observers, when given, see the rows of the source and receiver file
    // as the load reads them (see VeThreadSPSFilesLoader::SetRowObservers).
    static SPSFinishedLoad Run(const VeTaskSPSFilesLoaderParam& param,
                               SPSRowObserver* sourceRows = nullptr,
                               SPSRowObserver* receiverRows = nullptr);
};
