#pragma once

// What the row-reading fuzz targets share: the input's header decoded into
// reading settings, and the fast reader compared with the general one on every
// row and field.
#include "SPSNumberingSettings.h"
#include "SPSNumbers.h"
#include "SPSRowReader.h"

#include <QBuffer>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace FuzzReader {
struct Input
{
    bool autoSkip = true;
    QChar letter = u'S';
    qint32 skipCount = 0;
    bool rowLimit = false;
    bool load = false;
    bool existingTarget = false;
    SPSNumberingSettings numbering;
    qint32 blockSize = 64;
    std::vector<std::pair<qint32, qint32>> fields;
    QByteArray file;
};

// One header byte as a column number: mostly small, sometimes one of the
// values that break careless arithmetic.
qint32 Column(uint8_t b)
{
    switch (b) {
    case 255:
        return -1;
    case 254:
        return INT_MIN;
    case 253:
        return INT_MAX;
    case 252:
        return INT_MAX - 1;
    case 251:
        return -100;
    case 250:
        return 1 << 20;
    default:
        return b;
    }
}

Input Decode(const uint8_t* data, size_t size)
{
    Input in;
    // The standard source layout, 0-based.
    in.fields = {{1, 16}, {17, 8}, {32, 4}, {46, 9}, {55, 10}, {65, 6}};
    size_t at = 0;
    const auto next = [&](uint8_t fallback) { return at < size ? data[at++] : fallback; };
    const uint8_t flags = next(1);
    in.autoSkip = flags & 1;
    in.letter = flags & 2 ? u'R' : u'S';
    in.rowLimit = flags & 4;
    in.skipCount = int8_t(next(0));
    in.blockSize = 64 + 16 * next(0);
    if (flags & 8) {
        for (auto& field : in.fields) {
            field.first = Column(next(0));
            field.second = Column(next(0));
        }
    }
    in.load = flags & 16;
    in.existingTarget = flags & 32;
    if (flags & 64) {
        in.numbering.ShotNumberFactor = Column(next(0));
        in.numbering.ReceiverNumberFactor = Column(next(0));
        in.numbering.CoordinateScalar = Column(next(0));
        in.numbering.ElevationScalar = Column(next(0));
    }
    if (at < size)
        in.file = QByteArray(reinterpret_cast<const char*>(data + at), qsizetype(size - at));
    return in;
}

[[noreturn]] void Fail(const char* what, const QString& general, const QString& fast)
{
    std::fprintf(stderr, "fuzz_rows: %s differ\n  general: %s\n  fast:    %s\n", what,
                 general.toUtf8().toHex(' ').constData(), fast.toUtf8().toHex(' ').constData());
    std::abort();
}

[[noreturn]] void Broken(const char* what)
{
    std::fprintf(stderr, "fuzz_rows: broken: %s\n", what);
    std::abort();
}

bool SameNumber(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

void CompareReaders(const Input& in)
{
    QByteArray generalBytes = in.file;
    QByteArray fastBytes = in.file;
    QBuffer generalDevice(&generalBytes);
    QBuffer fastDevice(&fastBytes);
    generalDevice.open(QIODevice::ReadOnly);
    fastDevice.open(QIODevice::ReadOnly);

    SPSReadOptions generalOptions;
    generalOptions.generalPath = true;
    SPSRowReader general(&generalDevice, in.letter, in.autoSkip, in.skipCount, generalOptions);
    SPSReadOptions fastOptions;
    fastOptions.blockSize = in.blockSize;
    SPSRowReader fast(&fastDevice, in.letter, in.autoSkip, in.skipCount, fastOptions);
    qint64 limit = 0;
    if (in.rowLimit) {
        const auto& f = in.fields;
        limit = SPSRowReader::RowLimitFor({f[0], f[1], f[2], f[3], f[4], f[5]});
        fast.SetRowLimit(limit);
    }

    for (;;) {
        const bool moreGeneral = general.NextRecord();
        const bool moreFast = fast.NextRecord();
        if (moreGeneral != moreFast)
            Fail("record counts", general.Row(), fast.Row());
        if (!moreGeneral)
            return;
        const QString kept = limit > 0 ? general.Row().left(limit) : general.Row();
        if (fast.Row() != kept)
            Fail("rows", kept, fast.Row());
        for (const auto& [pos, len] : in.fields) {
            const QString text = general.FieldText(pos, len);
            if (fast.FieldText(pos, len) != text)
                Fail("field texts", text, fast.FieldText(pos, len));
            if (!SameNumber(general.RealField(pos, len), fast.RealField(pos, len)))
                Fail("real fields", text, fast.FieldText(pos, len));
            if (!SameNumber(general.FloatField(pos, len), fast.FloatField(pos, len)))
                Fail("single fields", text, fast.FieldText(pos, len));
            const qint32 number = PointNumberFromText(text);
            const SPSText field = fast.Field(pos, len);
            if (PointNumberFromText(field) != number)
                Fail("point numbers", text, field.toString());
        }
    }
}
} // namespace FuzzReader
