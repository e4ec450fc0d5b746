#pragma once

#include <QtGlobal>

// How point numbers, coordinates and elevations are scaled while numbering.
// 0 and 1 leave values unchanged. A factor other than 0 and 1 multiplies the
// point number; a scalar s < 0 multiplies by -s, s > 1 divides by s.
struct SPSNumberingSettings
{
    qint32 ShotNumberFactor = 0;
    qint32 ReceiverNumberFactor = 0;
    qint32 CoordinateScalar = 0;
    qint32 ElevationScalar = 0;
};
