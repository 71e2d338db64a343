#include "pending_events.h"

#include <QCoreApplication>

void letPendingEventsRun()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}
