#include "SPSLoadDriver.h"

#include "VeTaskSPSFilesLoaderParam.h"
#include "VeThreadRegistry.h"
#include "VeThreadSPSFilesLoader.h"

#include <QEventLoop>
#include <QMutex>
#include <QMutexLocker>

SPSFinishedLoad SPSLoadDriver::Run(const VeTaskSPSFilesLoaderParam& param,
                                   SPSRowObserver* sourceRows, SPSRowObserver* receiverRows)
{
    VeThreadRegistry* registry = VeThreadRegistry::Instance();
    VeThreadSPSFilesLoader thread;
    thread.m_pParam = &param;
    thread.SetNumberingSettings(param.Numbering);
    thread.SetRowObservers(sourceRows, receiverRows);

    SPSFinishedLoad result;
    // Entries are written on the worker, kept in order.
    QMutex logMutex;
    QEventLoop loop;
    QObject receiver; // ties the connections below to this call
    QObject::connect(
        VeEventsLog::Instance(), &VeEventsLog::sigNewEntry, &receiver,
        [&](const VeEventsLogEntry& entry) {
            QMutexLocker lock(&logMutex);
            result.log.append(entry);
        },
        Qt::DirectConnection);
    QObject::connect(registry, &VeThreadRegistry::sigObjectCreatedBy, &receiver,
                     [&](VeThread* from, VeObject* object) {
                         // The subscriber owns whatever arrives.
                         std::unique_ptr<VeObject> owned(object);
                         auto* geometry = qobject_cast<VePrevStackSegyGeometry*>(object);
                         if (from == &thread && geometry && !result.geometry) {
                             owned.release();
                             result.geometry.reset(geometry);
                         }
                     });
    QObject::connect(registry, &VeThreadRegistry::sigThreadFinished, &receiver,
                     [&](VeThread* finished) {
                         if (finished == &thread)
                             loop.quit();
                     });
    thread.start();
    loop.exec();
    thread.wait();
    QObject::disconnect(VeEventsLog::Instance(), nullptr, &receiver, nullptr);

    QMutexLocker lock(&logMutex);
    result.numbersFit = thread.NumbersFit();
    return result;
}
