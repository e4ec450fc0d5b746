#pragma once

#include "SPSEngineExport.h"

#include <QCoreApplication>
#include <QPointF>
#include <QString>

#include <atomic>
#include <vector>

struct SPSSurveyCheckTables;

// The common-midpoint fold a relation gives: every trace its X rows name pairs
// a source point with a receiver station, and the midpoint of the two falls
// into a bin of a grid laid along the receiver lines. Its inputs are plain
// number tables, so that whoever has read the S, R and X rows can feed them.

// One source or receiver station. Line and point are numbers (a line name
// that is no number needs one of its own, the same in every table).
struct SPSFoldStation
{
    double line = 0;
    double point = 0;
    double x = 0;
    double y = 0;
};

// One relation (X) row. Its traces are the stations of the receiver line from
// the first to the last receiver point, in either order, one every channel
// increment of point numbers (below 1 it counts as 1), each recorded from the
// source point; the survey check reads a row the same way. The record and
// channel numbers say nothing more about where the traces lie.
struct SPSFoldRelation
{
    double record = 0;
    double sourceLine = 0;
    double sourcePoint = 0;
    double firstChannel = 0;
    double lastChannel = 0;
    double channelIncrement = 1;
    double receiverLine = 0;
    double firstReceiver = 0;
    double lastReceiver = 0;
};

struct SPSFoldOptions
{
    // Bin size along the receiver lines (the grid's columns) and across them
    // (its rows). 0 takes the default: along, half the median receiver station
    // spacing; across, half the median source station spacing, or the
    // receiver line spacing when the sources run along the receiver lines (a
    // 2D survey), or the size along when there is only one line.
    double binX = 0;
    double binY = 0;
    // Worker threads; 0: one per processor, at most 8.
    int threads = 0;
    // A grid of more bins is refused (a station far off would otherwise ask
    // for gigabytes).
    qint64 maxBins = qint64(1) << 25;
    // Set from another thread to stop the computation.
    const std::atomic<bool>* cancel = nullptr;
};

// One bin: how many traces have their midpoint in it, and the shortest and
// longest of their source-receiver distances (both 0 when it has none).
struct SPSFoldBin
{
    quint32 fold = 0;
    float minOffset = 0;
    float maxOffset = 0;
};

// A grid of bins, rotated to the receiver lines. Bin (column, row) spans
// corner + [column, column + 1) * ColumnStep() + [row, row + 1) * RowStep().
struct SPS_ENGINE_EXPORT SPSFoldGrid
{
    // The outer corner of bin (0, 0), in survey coordinates.
    double cornerX = 0;
    double cornerY = 0;
    // The direction in which the column number grows (the receiver lines'),
    // in degrees clockwise from north, in [0, 180); the row number grows 90
    // degrees anticlockwise from it.
    double azimuth = 90;
    double binX = 0; // along the columns
    double binY = 0; // along the rows
    int columns = 0;
    int rows = 0;
    // The bins row by row from row 0, columns × rows of them, one array a
    // figure (so that neighbouring bins are updated together).
    std::vector<quint32> fold;
    std::vector<float> minOffset;
    std::vector<float> maxOffset;
    // The survey's outline: the convex hull of the bins that hold traces. Per
    // row, the first and last column of its bins inside the outline (first >
    // last when none is).
    struct Span
    {
        int first = 0;
        int last = -1;
    };
    std::vector<Span> inside;

    bool IsEmpty() const { return columns == 0 || rows == 0; }
    size_t Index(int column, int row) const
    {
        return size_t(row) * size_t(columns) + size_t(column);
    }
    SPSFoldBin At(int column, int row) const
    {
        const size_t i = Index(column, row);
        return {fold[i], minOffset[i], maxOffset[i]};
    }
    bool IsInside(int column, int row) const
    {
        return row >= 0 && row < rows && column >= inside[size_t(row)].first &&
               column <= inside[size_t(row)].last;
    }
    // One bin's width along the columns and along the rows, as survey vectors.
    QPointF ColumnStep() const;
    QPointF RowStep() const;
    QPointF BinCentre(int column, int row) const;
    // The bin the survey point falls in; false when it is outside the grid.
    bool BinAt(double x, double y, int* column, int* row) const;
};

struct SPSFoldSummary
{
    qint64 binsWithFold = 0;
    // Over the bins inside the outline:
    qint64 binsInside = 0;
    qint64 emptyBinsInside = 0;
    quint32 minFold = 0;
    double medianFold = 0; // of an even count, the mean of the middle two
    quint32 maxFold = 0;
    // Traces binned, and traces named whose source point or receiver station
    // the S or R table lacks (or has without usable coordinates).
    qint64 traces = 0;
    qint64 skippedTraces = 0;
    // Rows whose numbers name no range (not finite, or 10^12 stations and more).
    qint64 unusableRows = 0;
    // The sources run along the receiver lines, which set the bin size across.
    bool twoD = false;
};

struct SPSFoldResult
{
    SPSFoldGrid grid;
    SPSFoldSummary summary;
};

class SPS_ENGINE_EXPORT SPSFold
{
    Q_DECLARE_TR_FUNCTIONS(SPSFold)
public:
    // Bins every trace of the relation. Stations are taken by line and point
    // number; the first of two with the same numbers counts, and one without
    // finite coordinates is as good as missing. False, with the reason in
    // errorText (when given), when no grid can be made or when cancelled.
    static bool Compute(const std::vector<SPSFoldStation>& sources,
                        const std::vector<SPSFoldStation>& receivers,
                        const std::vector<SPSFoldRelation>& relations,
                        const SPSFoldOptions& options, SPSFoldResult* result,
                        QString* errorText = nullptr);
    // The same from the survey check's tables, read where they stand: lines
    // are the relation table's, so that a line reads the same in all three
    // whatever its notation. Its relation rows are those the check could use.
    static bool Compute(const SPSSurveyCheckTables& tables, const SPSFoldOptions& options,
                        SPSFoldResult* result, QString* errorText = nullptr);
    // Reads a bin size written "DX,DY" (as the programs' --bin takes it) into
    // the options; false, with the reason in errorText, when it is none.
    static bool ReadBinSize(const QString& text, SPSFoldOptions* options, QString* errorText);

private:
    template <typename In, typename Relations>
    static bool Compute_(const In& sources, const In& receivers, const Relations& relations,
                         const SPSFoldOptions& options, SPSFoldResult* result, QString* errorText);
};
