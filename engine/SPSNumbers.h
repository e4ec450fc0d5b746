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

// The same two for a field as it stands in its row, spaces around it: true,
// with the value, when the trimmed text is a plain decimal; false, with the
// value untouched, when it takes the general way above. Spares the trimming
// and the building of a text view for the numbers that nearly all fields hold.
bool RealFromPaddedField(const char* p, qsizetype n, double* value);
bool FloatFromPaddedField(const char* p, qsizetype n, float* value);

// The integer a point is numbered by: digits and "." of the text, read as a
// number, truncated toward zero, low 32 bits kept. Not a number, not finite or
// too large for 64 bits: 0.
qint32 PointNumberFromText(SPSText text);
