#pragma once

// Helpers for tests that run whole loads: survey files of a known content, and
// one load through the loader thread with what it handed over and logged.

#include "VeEventsLog.h"
#include "VeObjNode.h"
#include "VePrevStackSegyGeometry.h"
#include "VeTaskSPSFilesLoaderParam.h"
#include "VeThreadRegistry.h"
#include "VeThreadSPSFilesLoader.h"

#include <QCoreApplication>
#include <QFile>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

namespace SPSTest {

// One row of the standard layout (0-based columns: line 1-16, point 17-24,
// depth 32-35, X 46-54, Y 55-64, elevation 65-70).
inline QByteArray Row(char letter, int line, int point, double x, double y, double elevation)
{
    QByteArray row(80, ' ');
    row[0] = letter;
    const auto put = [&row](int pos, int len, const QByteArray& text) {
        row.replace(pos + len - text.size(), text.size(), text);
    };
    put(1, 16, QByteArray::number(line));
    put(17, 8, QByteArray::number(point));
    put(32, 4, "12.5");
    put(46, 9, QByteArray::number(x, 'f', 1));
    put(55, 10, QByteArray::number(y, 'f', 1));
    put(65, 6, QByteArray::number(elevation, 'f', 1));
    return row.trimmed();
}

// A file of `points` rows with the letter after three header rows, CRLF ends:
// points numbered from `first`, on lines of 10 points each, X = 600000 + number,
// Y = 5500000 + 2 * number, elevation = (number % 1000) / 10.
inline QByteArray Survey(char letter, int points, int first = 1)
{
    QByteArray bytes = "H00 SPS format version num.     SPS V2.1\r\n"
                       "H01 Description of survey area  test\r\n"
                       "H26 written by the tests\r\n";
    for (int i = 0; i < points; ++i) {
        const int n = first + i;
        bytes +=
            Row(letter, 100 + i / 10, n, 600000 + n, 5500000 + 2.0 * n, (n % 1000) / 10.0) + "\r\n";
    }
    return bytes;
}

inline bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

struct LoadOutcome
{
    // The object the load handed over (when it created one), now ours.
    std::unique_ptr<VePrevStackSegyGeometry> created;
    int handedOver = 0;
    QList<VeEventsLogEntry> log;

    QStringList Messages(VeEventsLog::EEventsLogType type) const
    {
        QStringList texts;
        for (const VeEventsLogEntry& e : log)
            if (e.type == type)
                texts << e.text;
        return texts;
    }
};

// Runs one load to its end on its own worker thread, as the host does, and
// delivers what it sent to the main thread.
inline LoadOutcome RunLoad(VeTaskSPSFilesLoaderParam* param, VeObjNode* node = nullptr,
                           const SPSReadOptions& options = {})
{
    VeEventsLog::Instance()->Clear();
    LoadOutcome out;
    QObject receiver;
    QObject::connect(VeThreadRegistry::Instance(), &VeThreadRegistry::sigObjectCreated, &receiver,
                     [&out](VeObject* object) {
                         ++out.handedOver;
                         out.created.reset(qobject_cast<VePrevStackSegyGeometry*>(object));
                         if (!out.created)
                             delete object;
                     });
    {
        VeThreadSPSFilesLoader thread;
        thread.m_pParam = param;
        thread.m_pTargetNode = node;
        thread.SetReadOptions(options);
        thread.start();
        thread.wait();
        QCoreApplication::sendPostedEvents();
    }
    QCoreApplication::sendPostedEvents();
    out.log = VeEventsLog::Instance()->Entries();
    return out;
}

} // namespace SPSTest
