#pragma once

class QString;

// Whether the path may be opened for reading: it names a regular file (after
// following symbolic links). A FIFO, a device or a directory could block the
// open or the reading for good, or never end. `allowFifo` lets a named pipe
// pass too (for tests that hand a load its bytes piece by piece).
bool SPSMayOpenForReading(const QString& path, bool allowFifo = false);
