#pragma once

#include <QtGlobal>

class VeTaskSPSFilesLoaderParam;
class VeThreadSPSFilesLoader;

// Loads the files of an earlier load again, with its layout and numbering but
// the given line factor, into a new geometry. The thread owns its copy of the
// record and deletes itself once it has finished; the window sees it as any
// load, through the thread registry.
VeThreadSPSFilesLoader* StartSPSLoadAgain(const VeTaskSPSFilesLoaderParam& loaded,
                                          qint32 lineFactor);
