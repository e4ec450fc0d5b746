#pragma once

#include <QByteArray>
#include <QList>

// Rows of SPS revision 2.1, fields right-aligned in their columns (counted
// from 1): S and R rows line 2-11, point 12-21, index 24, depth 31-34,
// easting 47-55, northing 56-65, elevation 66-71; X rows field record 8-15,
// source line 18-27, source point 28-37, channels 39-43 and 44-48, channel
// increment 49, receiver line 50-59, receivers 60-69 and 70-79.
namespace sps21 {
inline void put(QByteArray& row, int /*first*/, int last, const QByteArray& text)
{
    if (row.size() < last)
        row.append(QByteArray(last - row.size(), ' '));
    row.replace(last - text.size(), text.size(), text);
}

inline QByteArray pointRow(char letter, const QByteArray& line, const QByteArray& point,
                           const QByteArray& x, const QByteArray& y, const QByteArray& z = "95.0",
                           const QByteArray& index = "1", const QByteArray& depth = "12.5")
{
    QByteArray row(1, letter);
    put(row, 2, 11, line);
    put(row, 12, 21, point);
    put(row, 24, 24, index);
    put(row, 31, 34, depth);
    put(row, 47, 55, x);
    put(row, 56, 65, y);
    put(row, 66, 71, z);
    return row;
}

inline QByteArray relationRow(const QByteArray& record, const QByteArray& sourceLine,
                              const QByteArray& sourcePoint, const QByteArray& firstChannel,
                              const QByteArray& lastChannel, const QByteArray& receiverLine,
                              const QByteArray& firstReceiver, const QByteArray& lastReceiver,
                              const QByteArray& increment = "1")
{
    QByteArray row(1, 'X');
    put(row, 8, 15, record);
    put(row, 18, 27, sourceLine);
    put(row, 28, 37, sourcePoint);
    put(row, 38, 38, "1");
    put(row, 39, 43, firstChannel);
    put(row, 44, 48, lastChannel);
    put(row, 49, 49, increment);
    put(row, 50, 59, receiverLine);
    put(row, 60, 69, firstReceiver);
    put(row, 70, 79, lastReceiver);
    put(row, 80, 80, "1");
    return row;
}

inline QByteArray file(const QList<QByteArray>& rows)
{
    QByteArray bytes;
    for (const QByteArray& r : rows)
        bytes += r + "\r\n";
    return bytes;
}
} // namespace sps21
