#pragma once

#include "SPSEngineExport.h"

#include <QtGlobal>

#include <array>

class QString;
class VeTaskSPSFilesLoaderParam;

// The column layout and header skipping of the three SPS files, described once:
// each value that the record holds, the "Format" page edits and the parameter
// file stores, with what it is, its standard value, its value in the revision
// 2.1 layout and where the page checks it.
// The record's defaults, the page's keys, defaults, checks and controls, and the
// parameter file's lines are all derived from this table.
namespace SPSLayout {

enum class File
{
    Source,   // S rows
    Receiver, // R rows
    Relation, // X rows
};

enum class Kind
{
    AutoSkip, // switch: find the first data row by itself (record bool, page check box)
    RowCount, // leading rows passed over while the file's AutoSkip is off
    Position, // first column of a field, counted from 0 in the record
    Length,   // a field's width in characters
};

// What a field of a row holds; a Position and its Length name the same one.
enum class Column
{
    None, // AutoSkip and RowCount
    Line,
    Point,
    Depth,
    X,
    Y,
    Elevation,
    RecordNumber,
    FirstChannel,
    LastChannel,
    ChannelIncrement,
    ReceiverLine,
    FirstReceiverPoint,
    LastReceiverPoint,
};

struct Field
{
    const char* key; // the record member's name, which is also its parameter-file key
    File file;
    Kind kind;
    Column column;
    bool VeTaskSPSFilesLoaderParam::*flag;    // AutoSkip; null otherwise
    qint32 VeTaskSPSFilesLoaderParam::*value; // all but AutoSkip; null for AutoSkip
    qint32 standard;                          // standard SPS value (AutoSkip: 1, on)
    qint32 revision21;                        // the value in the revision 2.1 layout
    int autoSkip;   // RowCount: index of the AutoSkip switch that makes it unused; else -1
    int checkOrder; // 1-based place in the page's check order; 0 when never checked
};

constexpr int FieldCount = 46;

// Every field in parameter-file order: the three switches, the three row counts,
// then the source, receiver and relation columns.
SPS_ENGINE_EXPORT const std::array<Field, FieldCount>& Fields();
// Index in Fields() of the field with this key, or -1.
SPS_ENGINE_EXPORT int IndexOf(const QString& key);
// The AutoSkip switch and the RowCount of a file, as indices in Fields().
SPS_ENGINE_EXPORT int AutoSkipIndex(File file);
SPS_ENGINE_EXPORT int RowCountIndex(File file);

// A field's value in a record; a switch reads as 1 or 0.
SPS_ENGINE_EXPORT qint32 Value(const VeTaskSPSFilesLoaderParam& param, const Field& field);
// Writes a field of a record; a switch is set on for any value but 0.
SPS_ENGINE_EXPORT void SetValue(VeTaskSPSFilesLoaderParam* param, const Field& field, qint32 value);
// Writes the standard layout with every AutoSkip on; the three row counts too
// unless keepRowCounts.
SPS_ENGINE_EXPORT void SetStandard(VeTaskSPSFilesLoaderParam* param, bool keepRowCounts);

// Where a field of a file's rows stands in a record: its first column, counted
// from 0, and its width. The file's rows may lack the field (receivers have no
// depth): then found is false.
struct Span
{
    qint32 pos = 0;
    qint32 len = 0;
    bool found = false;
};
SPS_ENGINE_EXPORT Span ColumnOf(const VeTaskSPSFilesLoaderParam& param, File file, Column column);

} // namespace SPSLayout
