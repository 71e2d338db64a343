#include "clock.h"

#include <QDateTime>
#include <chrono>

QDate SystemClock::today() const
{
    return QDate::currentDate();
}

QTime SystemClock::timeOfDay() const
{
    return QTime::currentTime();
}

qint64 SystemClock::monotonicMs() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
