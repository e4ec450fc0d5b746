#pragma once

#include "SPSLineSource.h"

#include <QString>

class QIODevice;

// Reads a text file line by line for a preview, with the lines the load reads
// (the same decoding and line ends), in bounded memory and time whatever the
// file holds: the characters of a line beyond the caller's bound are passed
// over without being kept, and the reading stops after a bounded number of
// bytes, even in a file without line breaks that keeps growing.
class SPSPreviewReader
{
public:
    // Bytes read at a time: the reader's memory, whatever the file.
    static constexpr qint32 kBlockBytes = 64 * 1024;

    // The device must be open for reading and outlive the reader. Reading
    // ends, as if the file did, once about `budget` bytes were read.
    SPSPreviewReader(QIODevice* device, qsizetype maxLength, qint64 budget);

    // True when no line is left (reads ahead when needed).
    bool AtEnd() { return m_Lines.AtEnd(); }
    // The reading stopped at its bound before the end of the file.
    bool Stopped() const { return m_Lines.BudgetSpent(); }
    // A read error (or gzip data found corrupt) ended the lines early.
    bool Failed() const { return m_Lines.Failed(); }

    // Consumes the next line; appends at most maxLength of its first
    // characters to *line (nothing when line is null). A surrogate pair is
    // never split.
    void ReadLine(QString* line);
    void SkipLine() { ReadLine(nullptr); }

private:
    SPSLineSource m_Lines;
};
