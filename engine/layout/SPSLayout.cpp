#include "SPSLayout.h"

#include "VeTaskSPSFilesLoaderParam.h"

#include <QString>

namespace SPSLayout {

namespace {

using P = VeTaskSPSFilesLoaderParam;

// Indices of the switches in the table below, for the row counts that depend on them.
constexpr int kAutoS = 0;
constexpr int kAutoR = 1;
constexpr int kAutoX = 2;

constexpr Field Switch(const char* key, File file, bool P::*flag)
{
    return {key, file, Kind::AutoSkip, Column::None, flag, nullptr, 1, 1, -1, 0};
}

constexpr Field Count(const char* key, File file, qint32 P::*value, int autoSkip, int check)
{
    return {key, file, Kind::RowCount, Column::None, nullptr, value, 72, 72, autoSkip, check};
}

constexpr Field Pos(const char* key, File file, Column column, qint32 P::*value, qint32 standard,
                    qint32 revision21, int check)
{
    return {key, file, Kind::Position, column, nullptr, value, standard, revision21, -1, check};
}

constexpr Field Len(const char* key, File file, Column column, qint32 P::*value, qint32 standard,
                    qint32 revision21, int check)
{
    return {key, file, Kind::Length, column, nullptr, value, standard, revision21, -1, check};
}

constexpr File S = File::Source;
constexpr File R = File::Receiver;
constexpr File X = File::Relation;
using C = Column;

// Parameter-file order. Standard values are the SPS layout counted from 0 (the
// revision 1 layout), then the revision 2.1 layout, where line and point take
// ten columns each and the relation's fields shift to make room; the check order runs through each
// tab as the page shows its edits, the source and receiver counts after their tab's columns; the
// relation count is never checked.
constexpr std::array<Field, FieldCount> kFields{{
    Switch("AutoSkipS", S, &P::AutoSkipS),
    Switch("AutoSkipR", R, &P::AutoSkipR),
    Switch("AutoSkipX", X, &P::AutoSkipX),
    Count("SkipPosS", S, &P::SkipPosS, kAutoS, 13),
    Count("SkipPosR", R, &P::SkipPosR, kAutoR, 24),
    Count("SkipPosX", X, &P::SkipPosX, kAutoX, 0),

    Pos("SrcLinePos", S, C::Line, &P::SrcLinePos, 1, 1, 9),
    Len("SrcLineLen", S, C::Line, &P::SrcLineLen, 16, 10, 10),
    Pos("SrcIDPos", S, C::Point, &P::SrcIDPos, 17, 11, 1),
    Len("SrcIDLen", S, C::Point, &P::SrcIDLen, 8, 10, 2),
    Pos("SrcCoordX", S, C::X, &P::SrcCoordX, 46, 46, 3),
    Len("SrcCoordXLen", S, C::X, &P::SrcCoordXLen, 9, 9, 4),
    Pos("SrcCoordY", S, C::Y, &P::SrcCoordY, 55, 55, 5),
    Len("SrcCoordYLen", S, C::Y, &P::SrcCoordYLen, 10, 10, 6),
    Pos("SrcElevPos", S, C::Elevation, &P::SrcElevPos, 65, 65, 7),
    Len("SrcElevLen", S, C::Elevation, &P::SrcElevLen, 6, 6, 8),
    Pos("SrcWellPos", S, C::Depth, &P::SrcWellPos, 32, 30, 11),
    Len("SrcWellLen", S, C::Depth, &P::SrcWellLen, 4, 4, 12),

    Pos("RecvLinePos", R, C::Line, &P::RecvLinePos, 1, 1, 22),
    Len("RecvLineLen", R, C::Line, &P::RecvLineLen, 16, 10, 23),
    Pos("RecvIDPos", R, C::Point, &P::RecvIDPos, 17, 11, 14),
    Len("RecvIDLen", R, C::Point, &P::RecvIDLen, 8, 10, 15),
    Pos("RecvCoordX", R, C::X, &P::RecvCoordX, 46, 46, 16),
    Len("RecvCoordXLen", R, C::X, &P::RecvCoordXLen, 9, 9, 17),
    Pos("RecvCoordY", R, C::Y, &P::RecvCoordY, 55, 55, 18),
    Len("RecvCoordYLen", R, C::Y, &P::RecvCoordYLen, 10, 10, 19),
    Pos("RecvElevPos", R, C::Elevation, &P::RecvElevPos, 65, 65, 20),
    Len("RecvElevLen", R, C::Elevation, &P::RecvElevLen, 6, 6, 21),

    Pos("XRecordNumPos", X, C::RecordNumber, &P::XRecordNumPos, 7, 7, 25),
    Len("XRecordNumLen", X, C::RecordNumber, &P::XRecordNumLen, 4, 8, 26),
    Pos("XFirstChannelPos", X, C::FirstChannel, &P::XFirstChannelPos, 38, 38, 29),
    Len("XFirstChannelLen", X, C::FirstChannel, &P::XFirstChannelLen, 4, 5, 30),
    Pos("XLastChannelPos", X, C::LastChannel, &P::XLastChannelPos, 42, 43, 31),
    Len("XLastChannelLen", X, C::LastChannel, &P::XLastChannelLen, 4, 5, 32),
    Pos("XChannelIncrPos", X, C::ChannelIncrement, &P::XChannelIncrPos, 46, 48, 33),
    Len("XChannelIncrLen", X, C::ChannelIncrement, &P::XChannelIncrLen, 1, 1, 34),
    Pos("XSrcLinePos", X, C::Line, &P::XSrcLinePos, 13, 17, 27),
    Len("XSrcLineLen", X, C::Line, &P::XSrcLineLen, 16, 10, 28),
    Pos("XSrcIDPos", X, C::Point, &P::XSrcIDPos, 29, 27, 35),
    Len("XSrcIDLen", X, C::Point, &P::XSrcIDLen, 8, 10, 36),
    Pos("XRecvLinePos", X, C::ReceiverLine, &P::XRecvLinePos, 47, 49, 37),
    Len("XRecvLineLen", X, C::ReceiverLine, &P::XRecvLineLen, 16, 10, 38),
    Pos("XFirstRecvIDPos", X, C::FirstReceiverPoint, &P::XFirstRecvIDPos, 63, 59, 39),
    Len("XFirstRecvIDLen", X, C::FirstReceiverPoint, &P::XFirstRecvIDLen, 8, 10, 40),
    Pos("XLastRecvIDPos", X, C::LastReceiverPoint, &P::XLastRecvIDPos, 71, 69, 41),
    Len("XLastRecvIDLen", X, C::LastReceiverPoint, &P::XLastRecvIDLen, 8, 10, 42),
}};

// What the rest of the code relies on, checked while compiling.
constexpr bool SameText(const char* a, const char* b)
{
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

// The switches of S, R and X, then their row counts in the same order.
constexpr bool SwitchesAndCountsFirst()
{
    if (!SameText(kFields[kAutoS].key, "AutoSkipS") ||
        !SameText(kFields[kAutoR].key, "AutoSkipR") || !SameText(kFields[kAutoX].key, "AutoSkipX"))
        return false;
    for (int i = 0; i < 3; ++i) {
        const Field& count = kFields[i + 3];
        if (kFields[i].kind != Kind::AutoSkip || count.kind != Kind::RowCount ||
            count.file != kFields[i].file || count.autoSkip != i)
            return false;
    }
    return true;
}

// Each position is followed by the length of the same column.
constexpr bool PositionsPairWithLengths()
{
    for (int i = 6; i < FieldCount; i += 2) {
        const Field& pos = kFields[i];
        const Field& len = kFields[i + 1];
        if (pos.kind != Kind::Position || len.kind != Kind::Length || pos.file != len.file ||
            pos.column != len.column || pos.column == Column::None)
            return false;
    }
    return true;
}

// The checked fields hold the places 1 to N, each once.
constexpr bool CheckOrderIsAPermutation()
{
    int checked = 0;
    for (const Field& f : kFields)
        checked += f.checkOrder > 0;
    for (int place = 1; place <= checked; ++place) {
        int holders = 0;
        for (const Field& f : kFields)
            holders += f.checkOrder == place;
        if (holders != 1)
            return false;
    }
    return true;
}

constexpr bool KeysAreDistinct()
{
    for (int i = 0; i < FieldCount; ++i)
        for (int j = i + 1; j < FieldCount; ++j)
            if (SameText(kFields[i].key, kFields[j].key))
                return false;
    return true;
}

static_assert(SwitchesAndCountsFirst());
static_assert(PositionsPairWithLengths());
static_assert(CheckOrderIsAPermutation());
static_assert(KeysAreDistinct());

} // namespace

const std::array<Field, FieldCount>& Fields()
{
    return kFields;
}

int IndexOf(const QString& key)
{
    for (int i = 0; i < FieldCount; ++i)
        if (key == QLatin1String(kFields[i].key))
            return i;
    return -1;
}

int AutoSkipIndex(File file)
{
    return file == File::Source ? kAutoS : file == File::Receiver ? kAutoR : kAutoX;
}

int RowCountIndex(File file)
{
    return AutoSkipIndex(file) + 3;
}

qint32 Value(const VeTaskSPSFilesLoaderParam& param, const Field& field)
{
    return field.flag ? qint32(param.*field.flag) : param.*field.value;
}

void SetValue(VeTaskSPSFilesLoaderParam* param, const Field& field, qint32 value)
{
    if (field.flag)
        param->*field.flag = value != 0;
    else
        param->*field.value = value;
}

void SetStandard(VeTaskSPSFilesLoaderParam* param, bool keepRowCounts)
{
    for (const Field& f : kFields)
        if (!(keepRowCounts && f.kind == Kind::RowCount))
            SetValue(param, f, f.standard);
}

Span ColumnOf(const VeTaskSPSFilesLoaderParam& param, File file, Column column)
{
    Span span;
    for (const Field& f : kFields) {
        if (f.file != file || f.column != column || column == Column::None)
            continue;
        span.found = true;
        (f.kind == Kind::Position ? span.pos : span.len) = param.*f.value;
    }
    return span;
}

} // namespace SPSLayout
