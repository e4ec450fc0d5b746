#include "VeThread.h"

#include "VeDataLoadThread.h"
#include "VeThreadRegistry.h"

VeThread::VeThread(QObject* parent) : QThread(parent)
{
    VeThreadRegistry::Instance()->Announce(this);
}

VeThread::~VeThread()
{
    // Deleted after its run ended (wait() or the queued finished()).
    VeThreadRegistry::AcquireRunEnds();
}

void VeThread::slotDeleteMe()
{
    deleteLater();
}

VeDataLoadThread::VeDataLoadThread(QObject* parent) : VeThread(parent)
{
    VeThreadRegistry::Instance()->AnnounceLoader(this);
}

VeDataLoadThread::~VeDataLoadThread()
{
    VeThreadRegistry::Instance()->ForgetLoader(this);
}
