#pragma once

#include <QByteArray>

#include <zlib.h>

namespace SPSTest {

// The bytes as a gzip file holds them (as `gzip` writes them), in `members`
// members of about equal size one after the other, as `cat a.gz b.gz` makes.
inline QByteArray Gzip(const QByteArray& bytes, int members = 1)
{
    QByteArray out;
    const qsizetype step = qMax<qsizetype>(1, (bytes.size() + members - 1) / qMax(members, 1));
    qsizetype from = 0;
    do {
        const QByteArray part = bytes.mid(from, step);
        from += step;
        z_stream z{};
        deflateInit2(&z, Z_BEST_SPEED, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
        QByteArray packed(qsizetype(deflateBound(&z, uLong(part.size()))), '\0');
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(part.constData()));
        z.avail_in = uInt(part.size());
        z.next_out = reinterpret_cast<Bytef*>(packed.data());
        z.avail_out = uInt(packed.size());
        deflate(&z, Z_FINISH);
        packed.truncate(qsizetype(z.total_out));
        deflateEnd(&z);
        out += packed;
    } while (from < bytes.size());
    return out;
}

} // namespace SPSTest
