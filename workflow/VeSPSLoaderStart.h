#pragma once

class VeObjNode;
class VeTaskSPSFilesLoaderParam;
class VeThreadSPSFilesLoader;

// Starts one load on the UI thread. The thread targets the node (null: a new
// geometry object) and takes the record over as its child, so the record lives
// exactly as long as the load reads it; the thread deletes itself, and the
// record with it, once its run has finished. Nothing waits for it. The load
// numbers its points as the record's numbering settings say.
VeThreadSPSFilesLoader* StartSPSFilesLoaderThread(VeObjNode* node,
                                                  VeTaskSPSFilesLoaderParam* param);
