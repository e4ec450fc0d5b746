#pragma once

#include "SPSEngineExport.h"

#include "SPSText.h"
#include <QtGlobal>

// The numbers of SPS fields, from their trimmed texts (Latin-1 or UTF-16).
// Each gives exactly what QString::toDouble, QString::toFloat or the point rule
// give on the same text; the forms SPS files hold are converted on the
// characters without building a QString.

// QString::toDouble: 0 when the text is not a number.
SPS_ENGINE_EXPORT double RealFromText(SPSText text);
// The same, and whether the text is a number at all (for reporting those that
// are not; the load reads them as 0).
SPS_ENGINE_EXPORT bool RealFromText(SPSText text, double* value);
// QString::toFloat: 0 when the text is not a number or out of float's range.
SPS_ENGINE_EXPORT float FloatFromText(SPSText text);

namespace SPSNumbersDetail {
// Powers of ten exact as doubles: dividing an exact mantissa by one of them is
// one correctly rounded operation, so it gives the correctly rounded value, as
// the general conversion does.
inline constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                          1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                          1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Digits with at most one point, from first to end: true with the digits as
// an integer (it wraps beyond 19 of them) and where the point is (null when
// there is none); false at any other character.
inline bool ScanDecimal(const char* first, const char* end, quint64* mantissa, const char** point)
{
    *mantissa = 0;
    *point = nullptr;
    for (const char* p = first; p < end; ++p) {
        const unsigned d = unsigned(uchar(*p)) - '0';
        if (d <= 9)
            *mantissa = *mantissa * 10 + d;
        else if (*p == '.' && !*point)
            *point = p;
        else
            return false;
    }
    return true;
}
} // namespace SPSNumbersDetail

// The usual field in one pass, inline where rows are read: spaces, an optional
// sign, then up to 15 digits with at most one point, up to the field's end.
// True with the value (as RealFromText gives it for the trimmed field); false
// for any other field, which then takes RealFromText. The branches repeat from
// row to row, as the rows of a file share their format.
inline bool ShortPaddedDecimal(const char* p, qsizetype n, double* value)
{
    const char* const end = p + n;
    while (p < end && *p == ' ')
        ++p;
    if (p == end)
        return false;
    const bool negative = *p == '-';
    if (negative || *p == '+')
        ++p;
    quint64 mantissa = 0;
    const char* point = nullptr;
    if (!SPSNumbersDetail::ScanDecimal(p, end, &mantissa, &point))
        return false;
    const qsizetype digits = (end - p) - (point ? 1 : 0);
    // Below 2^53 and an exact power of ten: one correctly rounded division.
    if (digits == 0 || digits > 15)
        return false;
    const double v =
        double(qint64(mantissa)) / SPSNumbersDetail::kPowersOfTen[point ? end - point - 1 : 0];
    *value = negative ? -v : v;
    return true;
}

// The point number of a text of 1 to 9 digits, the usual point text, inline
// where points are added: true with the number (as PointNumberFromText gives
// it); false for any other text.
inline bool ShortPointNumber(const char* p, qsizetype n, qint32* number)
{
    if (n < 1 || n > 9)
        return false;
    qint32 value = 0;
    for (const char* const end = p + n; p < end; ++p) {
        const unsigned d = unsigned(uchar(*p)) - '0';
        if (d > 9)
            return false;
        value = value * 10 + qint32(d);
    }
    *number = value;
    return true;
}

// The integer a point is numbered by: digits and "." of the text, read as a
// number, truncated toward zero, low 32 bits kept. Not a number, not finite or
// too large for 64 bits: 0.
SPS_ENGINE_EXPORT qint32 PointNumberFromText(SPSText text);

// count / 10^decimals with exactly that many decimals ("-12.50", "0.05",
// "2001"), decimals 0 to 18, at out; returns the end. Writes at most 22 bytes.
SPS_ENGINE_EXPORT char* WriteDecimal(qint64 count, int decimals, char* out);

// value in fixed notation with the fewest digits that read back, as
// std::to_chars(first, last, value, std::chars_format::fixed) writes it; the
// short decimals of coordinates are written without its search.
SPS_ENGINE_EXPORT char* WriteFixed(double value, char* first, char* last);
