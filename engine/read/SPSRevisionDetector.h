#pragma once

#include "SPSEngineExport.h"

#include "SPSLayoutPresets.h"

#include <QChar>
#include <QString>
#include <QStringList>

#include <atomic>

class QIODevice;

// What the first rows of an SPS file say about its revision.
struct SPSRevisionVerdict
{
    // The verdict: the header's when it names a revision, else the rows'.
    SPSRevision revision = SPSRevision::Unknown;
    // What the H00 header row names, and what the data rows fit, each on its own.
    SPSRevision headerRevision = SPSRevision::Unknown;
    SPSRevision rowsRevision = SPSRevision::Unknown;
    // A short sentence saying why, for the user.
    QString evidence;
    qint32 rowsRead = 0;   // rows examined
    qint32 recordRows = 0; // of them, rows with the file's record letter
};

// Tells revision 1 from revision 2.1 by the header and the record rows at the
// start of a file: its first MaxRows rows, each kept to MaxLineLength
// characters. Only when those hold too few rows of the letter (one file
// holding the S, R and X rows in turn) does it pass over other rows, to judge
// by up to MaxRows rows of the letter; it reads MaxBytes at most, never the
// whole of a large file. That reaches the X rows of a million shots and
// receivers, passed over in some 0.1 s from the page cache.
class SPS_ENGINE_EXPORT SPSRevisionDetector
{
public:
    static constexpr qint32 MaxRows = 2000;
    static constexpr qint64 MaxLineLength = 1024;
    static constexpr qint64 MaxBytes = qint64(260) << 20;
    // Fewer record rows than this give no verdict from the rows.
    static constexpr qint32 MinRecordRows = 3;

    // recordLetter: 'S', 'R' or 'X'. A file that cannot be opened gives
    // Unknown with the reason as its evidence. Once stop (when given) is set,
    // the search further on ends soon, its verdict of no use.
    static SPSRevisionVerdict DetectFile(const QString& path, QChar recordLetter,
                                         const std::atomic<bool>* stop = nullptr);
    // The same from an open device, read from its current position.
    static SPSRevisionVerdict Detect(QIODevice* device, QChar recordLetter,
                                     const std::atomic<bool>* stop = nullptr);
    // The same from rows already at hand (a preview, for instance).
    static SPSRevisionVerdict DetectRows(const QStringList& rows, QChar recordLetter);

    // What one header row names: Unknown unless it is an H00 row naming
    // revision 1 or 2.1 ("SPS V2.1", "SPS 2.1", "SPS001", "SPS 1", any case).
    static SPSRevision HeaderRevision(const QString& row);
    // Which revision's columns one record row fits; Unknown for neither.
    static SPSRevision RowRevision(const QString& row, QChar recordLetter);

    // The revision a file is, when a layout of the revision inUse would read it
    // in the wrong columns; Unknown when inUse reads it or nothing is known.
    // Rows that fit a revision say how the file is written, whatever its
    // header claims; rows that fit neither leave it to the header.
    static SPSRevision Misread(const SPSRevisionVerdict& verdict, SPSRevision inUse);
};
