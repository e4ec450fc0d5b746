#pragma once

#include "SPSEngineExport.h"

#include <QByteArrayView>
#include <QtGlobal>

// A number of a table held in 32 bits. The numbers of SPS rows are nearly all
// short decimals (whole numbers, tenths, hundredths) that 30 bits of their unit
// hold exactly; any other is kept whole in the table's SPSCheckNumbers, the code
// then its place there. A table gives the same code to the same short decimal.
struct SPS_ENGINE_EXPORT SPSCheckNumber
{
    quint32 code = 0; // the count of the unit << 2 | the unit (kWhole, ...)

    enum Unit : quint32
    {
        kWhole,
        kTenths,
        kHundredths,
        kKept,
    };
    static constexpr SPSCheckNumber Whole(qint32 n) { return {quint32(n) << 2}; }

    // A text written plainly as the number ("2001", "-12.50") is held as its
    // code alone, and written again when shown: millions of texts are such.
    // Room for the longest text a code writes.
    using Spelling = char[16];
    // The decimals (0 to 2) with which the code writes exactly these bytes;
    // -1 when it writes them with none, or is kept.
    int SpellingDecimals(const char* utf8, qsizetype size) const;
    // The same for a text of 1 to 9 digits alone (ShortPointNumber's), the
    // code that of its number: known without reading the text again.
    int DigitsSpellingDecimals(const char* digits, qsizetype size) const
    {
        return (code & 3u) == kWhole && (size == 1 || digits[0] != '0') ? 0 : -1;
    }
    // The number written with so many decimals, into room; not for a kept code.
    QByteArrayView Spell(int decimals, Spelling& room) const;
    // The count of its unit of a code that is not kept, sign and all: a
    // multiple of 4 divides exactly.
    qint32 Count() const { return qint32(code & ~3u) / 4; }
    // The number of a code that is not kept, as its text reads.
    double Value() const
    {
        const qint32 count = Count();
        return (code & 3u) == kWhole    ? double(count)
               : (code & 3u) == kTenths ? double(count) / 10
                                        : double(count) / 100;
    }
};
