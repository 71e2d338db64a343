#include "pause.h"

#include "platform/pending_events.h"
#include "state/clock.h"

#include <QThread>

void EventLoopPause::wait(int milliseconds)
{
    const qint64 until = m_clock.monotonicMs() + milliseconds;
    while (m_clock.monotonicMs() < until) {
        letPendingEventsRun();
        QThread::msleep(5);
    }
}
