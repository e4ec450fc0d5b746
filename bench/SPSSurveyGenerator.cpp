#include "SPSSurveyGenerator.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <random>
#include <vector>

namespace {
constexpr int kHeaderRows = 20;
constexpr qint64 kPointsPerLine = 1000;

// A repeatable small number in [0, 1) for the point, so that rows can be made
// in any order without holding them.
double noise(quint64 index, quint32 seed, int salt)
{
    quint64 z = index * 0x9E3779B97F4A7C15ULL + seed * 0xBF58476D1CE4E5B9ULL + quint64(salt);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    return double(z >> 11) / double(1ULL << 53);
}

// One data row of 80 columns without its line end.
int formatRow(char* out, size_t size, const SPSSurveyGenerator::Options& o, qint64 index)
{
    const bool source = o.letter == u'S';
    const qint64 lineIndex = index / kPointsPerLine;
    const qint64 station = index % kPointsPerLine + 1;
    // Line names as surveys number them; the point number carries the line
    // too, so that no two points of the file share a number.
    const qint64 line = o.shortNames ? lineIndex + 1 : (source ? 5001 : 1001) + lineIndex;
    const qint64 point = o.shortNames ? index + 1 : line * 10000 + station;
    const double along = double(station) * 25.0;
    const double spacing = o.lineSpacing > 0 ? o.lineSpacing : source ? 150.0 : 200.0;
    const double across = double(lineIndex) * spacing;
    const double jitterX = std::round((noise(index, o.seed, 1) - 0.5) * 40.0) / 10.0;
    const double jitterY = std::round((noise(index, o.seed, 2) - 0.5) * 40.0) / 10.0;
    // Receivers run east, sources north.
    const double x = 600000.0 + (source ? across : along) + jitterX;
    const double y = 4200000.0 + (source ? along : across) + jitterY;
    const double elevation =
        std::round((150.0 + 60.0 * std::sin(x / 3100.0) + 40.0 * std::cos(y / 2300.0) +
                    noise(index, o.seed, 3) * 4.0) *
                   10.0) /
        10.0;
    const double depth = source ? 12.0 + std::round(noise(index, o.seed, 4) * 60.0) / 10.0 : 0.0;
    const int staticMs = -40 - int(noise(index, o.seed, 5) * 20.0);
    const int day = 120 + int(index / 5000 % 200);
    const int seconds = int(index * 7 % 86400);
    return std::snprintf(
        out, size, "%c%-16lld%8lld1%s%4d%4.1f%4d%2d%4.1f%9.1f%10.1f%6.1f%3d%02d%02d%02d",
        o.letter.toLatin1(), line, point, source ? "V1" : "G1", staticMs, depth, 0, 0, 0.0, x, y,
        elevation, day, seconds / 3600, seconds / 60 % 60, seconds % 60);
}

// Writes the rows gathered so far and starts gathering anew; the last call flushes.
bool writeOut(QFile& file, QByteArray& out, bool last, QString* error)
{
    if (file.write(out) != out.size() || (last && !file.flush())) {
        *error = file.errorString();
        return false;
    }
    out.clear();
    return true;
}
} // namespace

bool SPSSurveyGenerator::Write(const QString& path, const Options& options, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = file.errorString();
        return false;
    }
    QByteArray out;
    const char* kind = options.letter == u'S' ? "Source" : "Receiver";
    for (int h = 0; h < kHeaderRows; ++h) {
        char row[96];
        std::snprintf(row, sizeof row, "H%02d %-75s\r\n", h, h == 0 ? kind : "Synthetic survey");
        out += row;
    }
    std::vector<qint64> order;
    if (options.shuffled) {
        order.resize(size_t(options.points));
        std::iota(order.begin(), order.end(), 0);
        std::mt19937_64 random(options.seed);
        std::shuffle(order.begin(), order.end(), random);
    }
    for (qint64 i = 0; i < options.points; ++i) {
        char row[128];
        const int length =
            formatRow(row, sizeof row, options, options.shuffled ? order[size_t(i)] : i);
        out.append(row, length);
        out.append("\r\n", 2);
        if (out.size() > (1 << 20) && !writeOut(file, out, false, error))
            return false;
    }
    return writeOut(file, out, true, error);
}

namespace {
// One X row: tape and record, the shot, its channels and its receivers.
void appendRelationRow(QByteArray& out, qint64 record, qint64 sourceLine, qint64 sourcePoint,
                       qint64 firstChannel, qint64 channels, qint64 receiverLine,
                       qint64 firstReceiver)
{
    // Four columns of record number wrap every 9,999 records; the tape
    // number counts the wraps, as field crews write them.
    char tape[16];
    std::snprintf(tape, sizeof tape, "T%03lld", record / 9999 % 1000 + 1);
    char row[128];
    const int length = std::snprintf(
        row, sizeof row, "X%6s%4lld11%-16lld%8lld1%4lld%4lld1%-16lld%8lld%8lld1\r\n", tape,
        record % 9999 + 1, sourceLine, sourcePoint, firstChannel, firstChannel + channels - 1,
        receiverLine, receiverLine * 10000 + firstReceiver,
        receiverLine * 10000 + firstReceiver + channels - 1);
    out.append(row, length);
}

void appendRelationHeader(QByteArray& out)
{
    for (int h = 0; h < kHeaderRows; ++h) {
        char row[96];
        std::snprintf(row, sizeof row, "H%02d %-75s\r\n", h,
                      h == 0 ? "Relation" : "Synthetic survey");
        out += row;
    }
}
} // namespace

bool SPSSurveyGenerator::WriteRelations(const QString& path, qint64 points, qint64 rows,
                                        QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = file.errorString();
        return false;
    }
    constexpr qint64 kRowsPerRecord = 10;
    constexpr qint64 kChannels = 240;
    const qint64 lines = qMax<qint64>(1, points / kPointsPerLine);
    const qint64 records = qMax<qint64>(1, rows / kRowsPerRecord);
    QByteArray out;
    appendRelationHeader(out);
    for (qint64 k = 0; k < rows; ++k) {
        const qint64 record = k / kRowsPerRecord;
        const qint64 block = k % kRowsPerRecord;
        // The record's shot, spread over the source file.
        const qint64 shot = record * qMax<qint64>(1, points / records) % qMax<qint64>(1, points);
        const qint64 sourceLine = 5001 + shot / kPointsPerLine;
        const qint64 sourcePoint = sourceLine * 10000 + shot % kPointsPerLine + 1;
        const qint64 receiverLine = 1001 + (record + block) % lines;
        const qint64 first = 1 + (record * 37 + block) % (kPointsPerLine - kChannels);
        appendRelationRow(out, record, sourceLine, sourcePoint, block * kChannels + 1, kChannels,
                          receiverLine, first);
        if (out.size() > (1 << 20) && !writeOut(file, out, false, error))
            return false;
    }
    return writeOut(file, out, true, error);
}

bool SPSSurveyGenerator::WritePatchRelations(const QString& path, qint64 points, QString* error,
                                             bool strayShots)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = file.errorString();
        return false;
    }
    constexpr qint64 kChannels = 240;
    const qint64 lines = qMax<qint64>(1, points / kPointsPerLine);
    const qint64 pointsPerLine = qMin<qint64>(points, kPointsPerLine);
    const qint64 channels = qMin(kChannels, pointsPerLine);
    QByteArray out;
    appendRelationHeader(out);
    for (qint64 shot = 0; shot < points; ++shot) {
        const qint64 sourceLine = (strayShots ? 9001 : 5001) + shot / kPointsPerLine;
        const qint64 sourcePoint = sourceLine * 10000 + shot % kPointsPerLine + 1;
        // Shot k records on receiver line k mod lines; the shots of one receiver
        // line move its patch a station on, wrapping before the line's end.
        const qint64 receiverLine = 1001 + shot % lines;
        const qint64 first = 1 + (shot / lines) % (pointsPerLine - channels + 1);
        appendRelationRow(out, shot, sourceLine, sourcePoint, 1, channels, receiverLine, first);
        if (out.size() > (1 << 20) && !writeOut(file, out, false, error))
            return false;
    }
    return writeOut(file, out, true, error);
}
