#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// Measures how long the thread it lives on goes without handling events: a
// timer asks to run every Interval ms, and each run records how much later
// than asked it came. The worst lateness is the longest the window stayed
// frozen (to within the interval).
class VeUiStallMonitor : public QObject
{
    Q_OBJECT
public:
    static constexpr int Interval = 10;

    explicit VeUiStallMonitor(QObject* parent = nullptr);

    void Start();
    // The worst lateness so far, in milliseconds, and how many ticks came.
    qint64 LongestStallMs() const { return m_nLongest; }
    qint64 Ticks() const { return m_nTicks; }

private:
    void Tick();

    QTimer m_Timer;
    QElapsedTimer m_Clock;
    qint64 m_nLast = 0;
    qint64 m_nLongest = 0;
    qint64 m_nTicks = 0;
};
