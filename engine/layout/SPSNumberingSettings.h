#pragma once

#include <QtGlobal>

// How point numbers, coordinates and elevations are scaled while numbering.
// 0 and 1 leave values unchanged. A factor other than 0 and 1 multiplies the
// point number; a scalar s < 0 multiplies by -s, s > 1 divides by s. A line
// factor other than 0 numbers a point line number x line factor + point
// number, before the shot or receiver factor applies.
struct SPSNumberingSettings
{
    qint32 ShotNumberFactor = 0;
    qint32 ReceiverNumberFactor = 0;
    qint32 CoordinateScalar = 0;
    qint32 ElevationScalar = 0;
    qint32 LineFactor = 0;
};

// The number a point gets, in signed 32-bit arithmetic (products and sums wrap).
// line and point are PointNumberFromText of the line name and the point text;
// factor is the shot or receiver factor.
inline qint32 SPSPointNumber(qint32 line, qint32 point, qint32 lineFactor, qint32 factor)
{
    auto wrap = [](qint64 v) { return qint32(quint32(quint64(v))); };
    qint32 n = point;
    if (lineFactor != 0)
        n = wrap(qint64(wrap(qint64(line) * lineFactor)) + point);
    if (factor != 0 && factor != 1)
        n = wrap(qint64(n) * factor);
    return n;
}
