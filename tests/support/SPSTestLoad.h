#pragma once

// Helpers for tests that run whole loads: survey files of a known content, and
// one load through the loader thread with what it handed over and logged.

#include "SPSTestRows.h"
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

// The warnings and errors in the events log: a load that went well writes
// nothing but its one information entry.
inline QStringList ProblemsLogged()
{
    QStringList texts;
    for (const VeEventsLogEntry& e : VeEventsLog::Instance()->Entries())
        if (e.type != VeEventsLog::EventsLogInformation)
            texts << e.text;
    return texts;
}

// A file of `points` rows with the letter after three header rows, CRLF ends:
// points numbered from `first`, on lines of 10 points each, X = 600000 + number,
// Y = 5500000 + 2 * number, elevation = (number % 1000) / 10.
inline QByteArray Survey(char letter, int points, int first = 1)
{
    QByteArray bytes = "H00 SPS format version num.     SPS001\r\n"
                       "H01 Description of survey area  test\r\n"
                       "H26 written by the tests\r\n";
    for (int i = 0; i < points; ++i) {
        const int n = first + i;
        bytes +=
            Row(letter, QString::number(100 + i / 10), QString::number(n), QStringLiteral("12.5"),
                QString::number(600000 + n, 'f', 1), QString::number(5500000 + 2.0 * n, 'f', 1),
                QString::number((n % 1000) / 10.0, 'f', 1));
    }
    return bytes;
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
                           const SPSReadOptions& options = {},
                           const SPSNumberingSettings& settings = {})
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
        thread.SetNumberingSettings(settings);
        thread.start();
        thread.wait();
        QCoreApplication::sendPostedEvents();
    }
    QCoreApplication::sendPostedEvents();
    out.log = VeEventsLog::Instance()->Entries();
    return out;
}

} // namespace SPSTest
