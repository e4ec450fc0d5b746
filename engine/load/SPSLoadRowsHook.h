#pragma once

#include "SPSEngineExport.h"

#include <functional>

class SPSRowObserver;
class VeTaskSPSFilesLoaderParam;
struct SPSNumberingSettings;

// The observers of one threaded load's point rows; either may be null.
struct SPSLoadRows
{
    SPSRowObserver* source = nullptr;
    SPSRowObserver* receiver = nullptr;
};

// Lets whoever runs the loads (the host) see the point rows of every load that
// runs on its own thread as it reads them, so that work on the same files after
// the load (the survey check) need not read them again. Called on the load's
// thread as its run starts, with the record and numbering it runs with; the
// observers it gives must live until that thread has ended. An empty hook (the
// default) shows the rows to nobody.
using SPSLoadRowsHook =
    std::function<SPSLoadRows(const VeTaskSPSFilesLoaderParam&, const SPSNumberingSettings&)>;
SPS_ENGINE_EXPORT void SPSSetLoadRowsHook(SPSLoadRowsHook hook);
SPS_ENGINE_EXPORT SPSLoadRowsHook SPSCurrentLoadRowsHook();
