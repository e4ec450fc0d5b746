#pragma once

#include "SPSText.h"
#include <QtGlobal>

// The numbers of SPS fields, from their trimmed texts (Latin-1 or UTF-16).
// Each gives exactly what QString::toDouble, QString::toFloat or the point rule
// give on the same text; the forms SPS files hold are converted on the
// characters without building a QString.

// QString::toDouble: 0 when the text is not a number.
double RealFromText(SPSText text);
// The same, and whether the text is a number at all (for reporting those that
// are not; the load reads them as 0).
bool RealFromText(SPSText text, double* value);
// QString::toFloat: 0 when the text is not a number or out of float's range.
float FloatFromText(SPSText text);

// The integer a point is numbered by: digits and "." of the text, read as a
// number, truncated toward zero, low 32 bits kept. Not a number, not finite or
// too large for 64 bits: 0.
qint32 PointNumberFromText(SPSText text);
