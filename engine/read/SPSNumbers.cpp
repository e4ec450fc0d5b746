#include "SPSNumbers.h"

#include <QString>
#include <QtAlgorithms>
#include <QtEndian>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {
// Plain decimals up to this length convert on the bytes; they can neither
// overflow nor underflow a double, so they need none of the checks toDouble makes.
constexpr qsizetype kMaxPlainNumber = 64;
// Fraction digits that decide how a number of at least 0.5 rounds to a double:
// halfway points between such doubles have at most 54 of them.
constexpr qsizetype kDecidingFractionDigits = 60;

using SPSNumbersDetail::kPowersOfTen;

constexpr quint64 kEachByte = 0x0101010101010101;
constexpr quint64 kZeros = kEachByte * '0';
constexpr quint64 kPoints = kEachByte * '.';

// The low `bytes` bytes of a word, 0 to 8 of them (two shifts, as one of 64
// bits is undefined).
quint64 lowBytes(unsigned bytes)
{
    return ~((~quint64(0) << (4 * bytes)) << (4 * bytes));
}

// 0x80 in each byte of `word` that is 0, 0 elsewhere (no false hits from
// borrows, unlike the shorter test).
quint64 zeroBytes(quint64 word)
{
    constexpr quint64 kLow7 = kEachByte * 0x7f;
    return ~(((word & kLow7) + kLow7) | word | kLow7);
}

// Whether each byte of `word` is an ASCII digit or the point marked in
// `points` (as zeroBytes gives it).
bool digitsOrPoints(quint64 word, quint64 points)
{
    // The points as '0's; then high nibbles all 3, and low nibbles at most 9:
    // adding 6 keeps them below 16. When the first fails, carries of the
    // second do not matter.
    word ^= (points >> 7) * ('.' ^ '0');
    constexpr quint64 kHigh = kEachByte * 0xf0;
    return (((word & kHigh) ^ kZeros) | (((word + kEachByte * 6) & kHigh) ^ kZeros)) == 0;
}

// Eight digits, the first in the lowest byte, as a number; only the low
// nibbles count, so 0 bytes read as '0's.
quint64 eightDigits(quint64 word)
{
    word = ((word & (kEachByte * 0x0f)) * (10 * 256 + 1)) >> 8;
    word = ((word & 0x00ff00ff00ff00ff) * (100 * 65536 + 1)) >> 16;
    return ((word & 0x0000ffff0000ffff) * (10000 * (quint64(1) << 32) + 1)) >> 32;
}

quint64 load8(const char* p)
{
    return qFromLittleEndian<quint64>(p);
}

quint64 load4(const char* p)
{
    return qFromLittleEndian<quint32>(p);
}

// 1 to 8 characters in one word, the first in the lowest byte, 0s after them;
// read without a byte beyond the text.
quint64 shortText(const char* p, unsigned n)
{
    if (n >= 4)
        return load4(p) | (load4(p + n - 4) << (8 * (n - 4)));
    return quint64(uchar(p[0])) | (quint64(uchar(p[n / 2])) << (8 * (n / 2))) |
           (quint64(uchar(p[n - 1])) << (8 * (n - 1)));
}

// Unsigned, 1 to 8 characters: in one word, the first character in the lowest
// byte, 0s after the text. The digits are read as eight, point taken out, so
// the number comes out multiplied by a power of ten that the divisor takes
// back; both stay exact, so the quotient is the same double.
bool wordDecimal(const char* p, unsigned n, double* value)
{
    const quint64 word = shortText(p, n);
    const quint64 checked = word | (kZeros & ~lowBytes(n));
    const quint64 points = zeroBytes(checked ^ kPoints);
    if (!digitsOrPoints(checked, points) || (points & (points - 1)) || (points && n == 1))
        return false;
    // The bytes after the point move one back, over it (a mask, not a shift
    // count, so that the digits need not wait for the point's place).
    const quint64 fromPoint = quint64(0) - (points >> 7);
    const quint64 digits = (word & ~fromPoint) | ((word >> 8) & fromPoint);
    // Read as eight digits, the number comes out times 10^(8 - digits).
    const unsigned scale = points ? 8 - qCountTrailingZeroBits(points) / 8 : 8 - n;
    *value = double(eightDigits(digits)) / kPowersOfTen[scale];
    return true;
}

// Unsigned, 9 to 16 characters: right-aligned in two words after 0s, which
// read as leading zeros. Returns 1 with the value, 0 for a text that is not a
// number, -1 when the mantissa is too large to be exact.
int twoWordDecimal(const char* p, unsigned n, double* value)
{
    const unsigned pad = 16 - n;
    // high: the first 8 of the 16 bytes, low: the last 8.
    quint64 high = load8(p) << (8 * pad);
    quint64 low = load8(p + n - 8);
    const quint64 checked = high | (kZeros & lowBytes(pad));
    const quint64 highPoints = zeroBytes(checked ^ kPoints);
    const quint64 lowPoints = zeroBytes(low ^ kPoints);
    // Each point on a bit of its own, to count them at once.
    const quint64 points = highPoints | (lowPoints >> 1);
    if (!digitsOrPoints(checked, highPoints) || !digitsOrPoints(low, lowPoints) ||
        (points & (points - 1)))
        return 0;
    // The bytes up to the point move one on, over it; all of high does when
    // the point is in low. Masks, as in wordDecimal.
    const quint64 lowAt = lowPoints >> 7;
    const quint64 highAt = highPoints >> 7;
    const quint64 lowMoved = (lowAt << 8) - (lowAt != 0);
    const quint64 highMoved = ((highAt << 8) - (highAt != 0)) | (quint64(0) - (lowAt != 0));
    low = (((low << 8) | (high >> 56)) & lowMoved) | (low & ~lowMoved);
    high = ((high << 8) & highMoved) | (high & ~highMoved);
    const unsigned fraction = lowPoints    ? 7 - qCountTrailingZeroBits(lowPoints) / 8
                              : highPoints ? 15 - qCountTrailingZeroBits(highPoints) / 8
                                           : 0;
    const quint64 mantissa = eightDigits(high) * 100000000 + eightDigits(low);
    if (mantissa > (quint64(1) << 53))
        return -1;
    *value = double(mantissa) / kPowersOfTen[fraction];
    return 1;
}

// Any unsigned plain decimal: a branch per character.
bool charDecimal(const char* first, const char* end, double* value)
{
    // Beyond 19 digits the mantissa has wrapped, and is not used.
    quint64 mantissa = 0;
    const char* point = nullptr;
    if (!SPSNumbersDetail::ScanDecimal(first, end, &mantissa, &point))
        return false;
    const qsizetype digits = (end - first) - (point ? 1 : 0);
    if (digits == 0)
        return false;
    const qsizetype fraction = point ? end - point - 1 : 0;
    if (digits <= 19 && mantissa <= (quint64(1) << 53) && fraction <= 22) {
        *value = double(mantissa) / kPowersOfTen[fraction];
        return true;
    }
    const auto result = std::from_chars(first, end, *value, std::chars_format::fixed);
    return result.ec == std::errc() && result.ptr == end;
}

// The texts that do not fit a word; kept apart so that the one-word path
// needs no registers saved.
Q_NEVER_INLINE bool longerDecimal(const char* p, qsizetype n, bool negative, double* value)
{
    double v = 0;
    const int result = n > 8 && n <= 16 ? twoWordDecimal(p, unsigned(n), &v) : -1;
    if (result < 0 ? !charDecimal(p, p + n, &v) : result == 0)
        return false;
    *value = negative ? -v : v;
    return true;
}

// An optional sign, then digits with at most one point: the forms SPS files
// hold. Anything else is left to QString::toDouble. The short texts that are
// nearly all of them go a word at a time, without a branch per character.
Q_ALWAYS_INLINE bool plainDecimal(const char* p, qsizetype n, double* value)
{
    if (n == 0 || n > kMaxPlainNumber)
        return false;
    const bool negative = *p == '-';
    if (*p == '+' || negative) {
        ++p;
        --n;
    }
    if (n < 1 || n > 8)
        return longerDecimal(p, n, negative, value);
    double v = 0;
    if (!wordDecimal(p, unsigned(n), &v))
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
    qint32 shortNumber = 0;
    if (ShortPointNumber(text.data(), text.size(), &shortNumber))
        return shortNumber;
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

char* WriteDecimal(qint64 count, int decimals, char* out)
{
    static constexpr char kPairs[] = "00010203040506070809101112131415161718192021222324"
                                     "25262728293031323334353637383940414243444546474849"
                                     "50515253545556575859606162636465666768697071727374"
                                     "75767778798081828384858687888990919293949596979899";
    static constexpr quint64 kTens[] = {1ull,
                                        10ull,
                                        100ull,
                                        1000ull,
                                        10000ull,
                                        100000ull,
                                        1000000ull,
                                        10000000ull,
                                        100000000ull,
                                        1000000000ull,
                                        10000000000ull,
                                        100000000000ull,
                                        1000000000000ull,
                                        10000000000000ull,
                                        100000000000000ull,
                                        1000000000000000ull,
                                        10000000000000000ull,
                                        100000000000000000ull,
                                        1000000000000000000ull,
                                        10000000000000000000ull};
    quint64 magnitude = count < 0 ? quint64(0) - quint64(count) : quint64(count);
    if (count < 0)
        *out++ = '-';
    // The digits, at least one before the point, written from the last one
    // back, two at a time.
    int digits = 1;
    while (digits < 20 && magnitude >= kTens[digits])
        ++digits;
    digits = qMax(digits, decimals + 1);
    char* const end = out + digits + (decimals > 0 ? 1 : 0);
    char* p = end;
    const auto put = [&](int n) {
        for (; n >= 2; n -= 2) {
            p -= 2;
            std::memcpy(p, kPairs + 2 * (magnitude % 100), 2);
            magnitude /= 100;
        }
        if (n == 1) {
            *--p = char('0' + magnitude % 10);
            magnitude /= 10;
        }
    };
    if (decimals > 0) {
        put(decimals);
        *--p = '.';
    }
    put(digits - decimals);
    return end;
}

char* WriteFixed(double value, char* first, char* last)
{
    // Below 10^12 a double is finer than a hundredth, so at most one text of
    // d <= 2 decimals reads back as it: the integer nearest value x 10^d over
    // 10^d, when that quotient of two exact numbers is value again (it is
    // then the double the text reads as). The fewest decimals that do are the
    // shortest text. -0 keeps its sign through the general way.
    constexpr double kBelow = 1e12;
    if (last - first >= 24 && std::fabs(value) < kBelow && (value != 0 || !std::signbit(value))) {
        for (int d = 0; d <= 2; ++d) {
            const double count = std::nearbyint(value * SPSNumbersDetail::kPowersOfTen[d]);
            if (count / SPSNumbersDetail::kPowersOfTen[d] == value)
                return WriteDecimal(qint64(count), d, first);
        }
    }
    return std::to_chars(first, last, value, std::chars_format::fixed).ptr;
}
