#include "SPSCheckNumber.h"

#include "SPSNumbers.h"

namespace {
// The code's count in units of 10^-decimals, decimals no fewer than its unit's.
qint64 countIn(SPSCheckNumber n, int decimals)
{
    qint64 count = n.Count();
    for (int d = int(n.code & 3u); d < decimals; ++d)
        count *= 10;
    return count;
}
} // namespace

int SPSCheckNumber::SpellingDecimals(const char* utf8, qsizetype size) const
{
    // What Spell writes, read back without writing it: a sign only before a
    // count that is not 0, an integer part without leading zeros, and up to
    // two decimals after a point that has some.
    const int unit = int(code & 3u);
    if (unit == kKept || size <= 0 || size >= qsizetype(sizeof(Spelling)))
        return -1;
    const char* p = utf8;
    const char* const end = utf8 + size;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    const char* const integer = p;
    qint64 count = 0;
    for (; p < end && unsigned(*p - '0') <= 9; ++p)
        count = count * 10 + (*p - '0');
    const qsizetype integerDigits = p - integer;
    if (integerDigits == 0 || (integerDigits > 1 && *integer == '0'))
        return -1;
    int decimals = 0;
    if (p < end) {
        if (*p++ != '.')
            return -1;
        for (; p < end && unsigned(*p - '0') <= 9; ++p, ++decimals)
            count = count * 10 + (*p - '0');
        if (p < end || decimals == 0 || decimals > 2)
            return -1;
    }
    if (decimals < unit || (negative && count == 0))
        return -1;
    return countIn(*this, decimals) == (negative ? -count : count) ? decimals : -1;
}

QByteArrayView SPSCheckNumber::Spell(int decimals, Spelling& room) const
{
    return QByteArrayView(room, WriteDecimal(countIn(*this, decimals), decimals, room) - room);
}
