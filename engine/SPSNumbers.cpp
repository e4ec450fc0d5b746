#include "SPSNumbers.h"

#include <QString>
#include <QtAlgorithms>
#include <QtEndian>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {
// Plain decimals up to this length convert on the bytes; they can neither
// overflow nor underflow a double, so they need none of the checks toDouble makes.
constexpr qsizetype kMaxPlainNumber = 64;
// Fraction digits that decide how a number of at least 0.5 rounds to a double:
// halfway points between such doubles have at most 54 of them.
constexpr qsizetype kDecidingFractionDigits = 60;

// Powers of ten exact as doubles: dividing an exact mantissa by one of them is
// one correctly rounded operation, so it gives the correctly rounded value, as
// the general conversion does.
constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

constexpr quint64 kEachByte = 0x0101010101010101;
constexpr quint64 kZeros = kEachByte * '0';

// The low `bytes` bytes of a word, 0 to 8 of them.
quint64 lowBytes(unsigned bytes)
{
    return bytes == 0 ? 0 : ~quint64(0) >> (64 - 8 * bytes);
}

// 0x80 in each byte of `word` that is 0, 0 elsewhere (no false hits from
// borrows, unlike the shorter test).
quint64 zeroBytes(quint64 word)
{
    constexpr quint64 kLow7 = kEachByte * 0x7f;
    return ~(((word & kLow7) + kLow7) | word | kLow7);
}

// Whether each byte of `word` is an ASCII digit.
bool allDigits(quint64 word)
{
    // High nibbles all 3, and low nibbles at most 9: adding 6 keeps them below
    // 16. When the first fails, carries of the second do not matter.
    constexpr quint64 kHigh = kEachByte * 0xf0;
    return (((word & kHigh) ^ kZeros) | (((word + kEachByte * 6) & kHigh) ^ kZeros)) == 0;
}

// Eight ASCII digits, the first in the lowest byte, as a number.
quint64 eightDigits(quint64 word)
{
    word = ((word & (kEachByte * 0x0f)) * (10 * 256 + 1)) >> 8;
    word = ((word & 0x00ff00ff00ff00ff) * (100 * 65536 + 1)) >> 16;
    return ((word & 0x0000ffff0000ffff) * (10000 * (quint64(1) << 32) + 1)) >> 32;
}

// The unsigned part of plainDecimal for 1 to 16 characters, a word at a time,
// without a branch per character: right-aligned in 16 bytes after '0's, which
// leave the value as it is. Returns 1 with the value, 0 for a text that is not
// a number, -1 when the mantissa is too large to be exact (left to the general
// code).
int shortDecimal(const char* p, qsizetype n, double* value)
{
    const auto load8 = [](const char* s) { return qFromLittleEndian<quint64>(s); };
    const auto load4 = [](const char* s) { return quint64(qFromLittleEndian<quint32>(s)); };
    const unsigned m = unsigned(n);
    // high: bytes 0-7 of the 16, low: bytes 8-15; in each word the byte that
    // comes first in the text is the lowest.
    quint64 high = kZeros;
    quint64 low;
    if (m >= 8) {
        low = load8(p + m - 8);
        if (m > 8) {
            const unsigned pad = 16 - m;
            high = (load8(p) << (8 * pad)) | (kZeros & lowBytes(pad));
        }
    } else {
        quint64 text;
        if (m >= 4)
            text = load4(p) | (load4(p + m - 4) << (8 * (m - 4)));
        else
            text = quint64(uchar(p[0])) | (quint64(uchar(p[m / 2])) << (8 * (m / 2))) |
                   (quint64(uchar(p[m - 1])) << (8 * (m - 1)));
        const unsigned pad = 8 - m;
        low = (text << (8 * pad)) | (kZeros & lowBytes(pad));
    }
    const quint64 highPoint = zeroBytes(high ^ (kEachByte * '.'));
    const quint64 lowPoint = zeroBytes(low ^ (kEachByte * '.'));
    // The point as a '0' for the digit test.
    constexpr quint64 kPointToZero = '.' ^ '0';
    if (!allDigits(high ^ ((highPoint >> 7) * kPointToZero)) ||
        !allDigits(low ^ ((lowPoint >> 7) * kPointToZero)))
        return 0;
    unsigned fraction = 0;
    if (lowPoint | highPoint) {
        // A second point, or nothing but the point.
        if ((lowPoint & (lowPoint - 1)) | (highPoint & (highPoint - 1)) ||
            (lowPoint && highPoint) || m == 1)
            return 0;
        // The digits before the point move one byte on, over it; a '0' comes
        // in at the front.
        if (lowPoint) {
            const unsigned at = qCountTrailingZeroBits(lowPoint) / 8;
            fraction = 7 - at;
            const quint64 before = lowBytes(at + 1);
            low = (((low << 8) | (high >> 56)) & before) | (low & ~before);
            high = (high << 8) | '0';
        } else {
            const unsigned at = qCountTrailingZeroBits(highPoint) / 8;
            fraction = 15 - at;
            const quint64 before = lowBytes(at + 1);
            high = (((high << 8) | '0') & before) | (high & ~before);
        }
    }
    const quint64 mantissa = eightDigits(high) * 100000000 + eightDigits(low);
    if (mantissa > (quint64(1) << 53))
        return -1;
    *value = double(mantissa) / kPowers[fraction];
    return 1;
}

// An optional sign, then digits with at most one point: the forms SPS files
// hold. Anything else is left to QString::toDouble.
bool plainDecimal(const char* p, qsizetype n, double* value)
{
    if (n == 0 || n > kMaxPlainNumber)
        return false;
    const char* q = p;
    const char* const end = p + n;
    const bool negative = *q == '-';
    if (*q == '+' || negative)
        ++q;
    if (end - q >= 1 && end - q <= 16) {
        double v = 0;
        const int result = shortDecimal(q, end - q, &v);
        if (result == 0)
            return false;
        if (result > 0) {
            *value = negative ? -v : v;
            return true;
        }
    }
    const char* const first = q;
    // The digits as an integer; it wraps beyond 19 digits, where it is not used.
    quint64 mantissa = 0;
    const char* point = nullptr;
    for (; q < end; ++q) {
        const unsigned d = unsigned(uchar(*q)) - '0';
        if (d <= 9)
            mantissa = mantissa * 10 + d;
        else if (*q == '.' && !point)
            point = q;
        else
            return false;
    }
    const qsizetype digits = (end - first) - (point ? 1 : 0);
    if (digits == 0)
        return false;
    const qsizetype fraction = point ? end - point - 1 : 0;
    if (digits <= 19 && mantissa <= (quint64(1) << 53) && fraction <= 22) {
        const double v = double(mantissa) / kPowers[fraction];
        *value = negative ? -v : v;
        return true;
    }
    double v = 0;
    const auto result = std::from_chars(first, end, v, std::chars_format::fixed);
    if (result.ec != std::errc() || result.ptr != end)
        return false;
    *value = negative ? -v : v;
    return true;
}

// QString::toFloat from the double that toDouble gave.
float floatLikeToFloat(double d)
{
    if (std::isinf(d))
        return float(d);
    if (std::fabs(d) > double(std::numeric_limits<float>::max())) {
        constexpr float huge = std::numeric_limits<float>::infinity();
        return d < 0 ? -huge : huge;
    }
    if (d != 0 && float(d) == 0)
        return 0;
    return float(d);
}

qint32 truncatedNumber(bool ok, double value)
{
    // 2^63: the first magnitude a signed 64-bit integer cannot hold.
    constexpr double kLimit = 9223372036854775808.0;
    if (!ok || !std::isfinite(value) || std::fabs(value) >= kLimit)
        return 0;
    return qint32(quint32(quint64(qint64(value))));
}

// A long text can only be a number when it holds nothing but these; most long
// fields are not numbers, and are told so without a copy.
bool mayBeLongNumber(QLatin1StringView text)
{
    for (const char c : text)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-' || c == 'e' || c == 'E'))
            return false;
    return true;
}

double latin1Real(QLatin1StringView text, bool* ok)
{
    double value = 0;
    if (plainDecimal(text.data(), text.size(), &value)) {
        *ok = true;
        return value;
    }
    if (text.size() > kMaxPlainNumber && !mayBeLongNumber(text)) {
        *ok = false;
        return 0;
    }
    return text.toString().toDouble(ok);
}

qint32 utf16PointNumber(QStringView text)
{
    QString kept;
    kept.reserve(text.size());
    for (QChar c : text)
        if (c == u'.' || c.isDigit())
            kept.append(c);
    bool ok = false;
    const double value = kept.toDouble(&ok);
    return truncatedNumber(ok, value);
}

qint32 latin1PointNumber(QLatin1StringView text)
{
    // Digits alone, few enough to be exact as a double: the number itself.
    if (text.size() <= 15) {
        qint64 number = 0;
        bool digits = !text.isEmpty();
        for (const char c : text) {
            const unsigned d = unsigned(uchar(c)) - '0';
            if (d > 9) {
                digits = false;
                break;
            }
            number = number * 10 + d;
        }
        if (digits)
            return qint32(quint32(quint64(number)));
    }
    // The digits and point kept, shortened without changing the double they
    // read as: leading zeros go, and of the fraction only the digits that can
    // decide the rounding stay, plus a 1 standing for any non-zero rest. A
    // field of any length thus costs no memory of its own.
    std::string kept;
    bool point = false;
    bool droppedNonZero = false;
    qsizetype fraction = 0;
    for (const char c : text) {
        if (c == '.') {
            if (point)
                return 0; // two points: not a number
            point = true;
            kept += c;
        } else if (c >= '0' && c <= '9') {
            if (!point && c == '0' && kept.empty())
                continue;
            if (point && ++fraction > kDecidingFractionDigits) {
                droppedNonZero |= c != '0';
                continue;
            }
            kept += c;
        }
    }
    const size_t integerDigits = point ? kept.find('.') : kept.size();
    // From 10^19 on the value is beyond 2^63.
    if (integerDigits > 19)
        return 0;
    if (droppedNonZero)
        kept += '1';
    double value = 0;
    bool ok = plainDecimal(kept.data(), qsizetype(kept.size()), &value);
    if (!ok)
        value = QLatin1StringView(kept.data(), qsizetype(kept.size())).toString().toDouble(&ok);
    return truncatedNumber(ok, value);
}
} // namespace

double RealFromText(SPSText text)
{
    double value = 0;
    RealFromText(text, &value);
    return value;
}

bool RealFromText(SPSText text, double* value)
{
    bool ok = false;
    *value = text.IsLatin1() ? latin1Real(text.Latin1(), &ok) : text.Utf16().toDouble(&ok);
    return ok;
}

float FloatFromText(SPSText text)
{
    if (text.IsLatin1()) {
        const QLatin1StringView latin1 = text.Latin1();
        double value = 0;
        if (plainDecimal(latin1.data(), latin1.size(), &value))
            return floatLikeToFloat(value);
        if (latin1.size() > kMaxPlainNumber && !mayBeLongNumber(latin1))
            return 0;
        return latin1.toString().toFloat();
    }
    return text.Utf16().toFloat();
}

qint32 PointNumberFromText(SPSText text)
{
    if (text.IsLatin1())
        return latin1PointNumber(text.Latin1());
    return utf16PointNumber(text.Utf16());
}
