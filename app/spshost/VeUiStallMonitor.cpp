#include "VeUiStallMonitor.h"

VeUiStallMonitor::VeUiStallMonitor(QObject* parent) : QObject(parent)
{
    m_Timer.setTimerType(Qt::PreciseTimer);
    m_Timer.setInterval(Interval);
    connect(&m_Timer, &QTimer::timeout, this, &VeUiStallMonitor::Tick);
}

void VeUiStallMonitor::Start()
{
    m_Clock.start();
    m_nLast = 0;
    m_Timer.start();
}

void VeUiStallMonitor::Tick()
{
    const qint64 now = m_Clock.elapsed();
    m_nLongest = qMax(m_nLongest, now - m_nLast - Interval);
    m_nLast = now;
    ++m_nTicks;
}
