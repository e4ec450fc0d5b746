#include "SPSCheckNumber.h"

#include <cstring>

namespace {
// count / 10^decimals written with exactly that many decimals ("-12.50",
// "0.05"); gives the length.
qsizetype spell(qint64 count, int decimals, char* out)
{
    char digits[24];
    int n = 0;
    quint64 magnitude = count < 0 ? quint64(0) - quint64(count) : quint64(count);
    do {
        digits[n++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude > 0 || n <= decimals);
    qsizetype length = 0;
    if (count < 0)
        out[length++] = '-';
    while (n > 0) {
        if (n == decimals)
            out[length++] = '.';
        out[length++] = digits[--n];
    }
    return length;
}

// The code's count in units of 10^-decimals, decimals no fewer than its unit's.
qint64 countIn(quint32 code, int decimals)
{
    qint64 count = qint32(code & ~3u) / 4;
    for (int d = int(code & 3u); d < decimals; ++d)
        count *= 10;
    return count;
}
} // namespace

int SPSCheckNumber::SpellingDecimals(const char* utf8, qsizetype size) const
{
    const int unit = int(code & 3u);
    if (unit == kKept || size <= 0 || size >= qsizetype(sizeof(Spelling)))
        return -1;
    const char* dot = static_cast<const char*>(std::memchr(utf8, '.', size_t(size)));
    const int decimals = dot ? int(utf8 + size - dot - 1) : 0;
    if (decimals > 2 || decimals < unit)
        return -1;
    Spelling room;
    const QByteArrayView spelled = Spell(decimals, room);
    return spelled.size() == size && std::memcmp(spelled.data(), utf8, size_t(size)) == 0 ? decimals
                                                                                          : -1;
}

QByteArrayView SPSCheckNumber::Spell(int decimals, Spelling& room) const
{
    return QByteArrayView(room, spell(countIn(code, decimals), decimals, room));
}
