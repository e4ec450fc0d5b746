#pragma once

#include "SPSEngineExport.h"

#include <QChar>
#include <QString>

#include <optional>

class VeTaskSPSFilesLoaderParam;
namespace SPSLayout {
struct Field;
}

// The SPS revisions whose column layouts the engine knows.
enum class SPSRevision
{
    Unknown,
    Revision1,  // the standard layout, the record's defaults
    Revision21, // line and point fields of ten columns, point index in column 24
};

// The named column layouts, and what a layout in use has in common with them.
// Record letters: 'S' source, 'R' receiver, 'X' relation.
class SPS_ENGINE_EXPORT SPSLayoutPresets
{
public:
    // "1" and "2.1"; empty for Unknown.
    static QString RevisionText(SPSRevision revision);
    // "1" and "2.1" (blanks around ignored); nothing for any other text.
    static std::optional<SPSRevision> RevisionFromText(const QString& text);

    // Writes the revision's layout into all three groups of the record and
    // switches automatic header skipping on for all three files; the paths
    // and the three skip counts stay as they are. Unknown changes nothing.
    static void Apply(SPSRevision revision, VeTaskSPSFilesLoaderParam* param);
    // The same for the group (columns and auto-skip flag) of one file only.
    static void Apply(SPSRevision revision, QChar recordLetter, VeTaskSPSFilesLoaderParam* param);
    // The record value of a column field (Position or Length) in the revision's
    // layout; the field's standard value for revision 1 and Unknown. The "Format"
    // page's values take a preset through SPSFormatValues::ApplyRevision.
    static qint32 ColumnValue(SPSRevision revision, const SPSLayout::Field& field);

    // The revision whose layout the file's group holds column for column;
    // Unknown for a layout of the user's own.
    static SPSRevision LayoutRevision(const VeTaskSPSFilesLoaderParam& param, QChar recordLetter);
    // The revision whose line and point columns the S or R group reads, which
    // decide how points are numbered; Unknown when they match neither.
    static SPSRevision PointColumnsRevision(const VeTaskSPSFilesLoaderParam& param,
                                            QChar recordLetter);

    // The 0-based column of the point index in S and R rows of the revision
    // (25 for revision 1, 23 for 2.1); -1 for Unknown.
    static qint32 PointIndexColumn(SPSRevision revision);
};
