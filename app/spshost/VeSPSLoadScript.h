#pragma once

#include <QString>
#include <QStringList>

class VeHostMainWindow;

// What "spshost --load" does: the user's road through the seismic survey
// plug-in, taken for them. It chooses Tasks > "SPS loader" with no node
// selected (so the load makes a new geometry), fills the "Files" page of the
// task's dialog with the files (source, receiver, then the optional relation;
// made absolute) and presses OK. The load then runs as any other; a page that
// refuses a file keeps the dialog open for the user, as OK by hand would.
// False, with the reason, when the task or its dialog is not there.
bool StartSPSLoaderTask(VeHostMainWindow* window, const QStringList& files,
                        QString* errorText = nullptr);
