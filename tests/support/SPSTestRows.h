#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace SPSTest {

// One point row in the standard column layout (0-based: line 1+16, point 17+8,
// depth 32+4, X 46+9, Y 55+10, elevation 65+6), each field right-aligned, with
// its CR LF, so tests can state rows by their fields.
inline QByteArray Row(char letter, const QString& line, const QString& point, const QString& depth,
                      const QString& x, const QString& y, const QString& elevation)
{
    QString row(71, u' ');
    row[0] = QChar::fromLatin1(letter);
    auto put = [&row](int pos, int len, const QString& text) {
        row.replace(pos + len - text.size(), text.size(), text);
    };
    put(1, 16, line);
    put(17, 8, point);
    put(32, 4, depth);
    put(46, 9, x);
    put(55, 10, y);
    put(65, 6, elevation);
    return row.toUtf8() + "\r\n";
}

inline bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

} // namespace SPSTest
