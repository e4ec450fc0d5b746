#pragma once

#include "SPSEngineExport.h"

#include <QChar>
#include <QString>

// One doubtful thing the survey check found.
struct SPS_ENGINE_EXPORT SPSCheckFinding
{
    enum Kind
    {
        Revision,                // the revision detection's verdict for a file
        NotANumber,              // a numeric field that is not blank and not a number
        ShortRow,                // a record row ending before the layout's furthest field
        BlankPoint,              // a record row whose point field is blank
        Duplicate,               // the same line, point and index again, same coordinates
        Conflict,                // the same line, point and index again, other coordinates
        SharedNumber,            // a point number that points of several lines share
        Outlier,                 // at (0, 0), or far off its line
        Precision,               // what single precision does to a file's coordinate
        RelationSourceMissing,   // an X row names a source point the S file lacks
        SourceNotRelated,        // an S point no X row names
        RelationReceiverMissing, // a station in an X row's range the R file lacks
        ReceiverNotRelated,      // an R point inside no X row's range
        ChannelOverlap,          // two X rows of one field record with overlapping channels
        RecordReused,            // one tape's record number given to two different shots
        NotARecord,              // a row with the record letter but no number where one belongs
        NumberOverflow,          // a factor takes the point's number out of signed 32 bits
    };
    static constexpr int KindCount = NumberOverflow + 1;

    // "revision", "not-a-number", "short-row", ... as reports name them.
    static QString KindName(Kind kind);

    QString file;   // the path as given
    QChar letter;   // which of the files: 'S', 'R' or 'X' (one path may stand for all three)
    qint64 row = 0; // counted from 1 as an editor shows it; 0 for the file as a whole
    Kind kind = Revision;
    QString line;             // line name, trimmed; empty when the finding is not about a point
    QString point;            // point text, trimmed
    QString index;            // point index; empty when the layout has none
    QString message;          // for the user
    bool hasPosition = false; // x and y are the point's coordinates, as the file holds them
    double x = 0;
    double y = 0;
    // SharedNumber: the line factor that keeps the lines apart; 0 when none does.
    qint32 lineFactor = 0;
};
