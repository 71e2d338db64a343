#pragma once

#include <QDate>
#include <QTime>

// The clock seen by the program: calendar date, time of day and a monotonic millisecond
// counter for measuring durations. Tests hand in a clock they advance themselves.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
    virtual QTime timeOfDay() const = 0;
    virtual qint64 monotonicMs() const = 0;
};

class SystemClock final : public Clock
{
public:
    QDate today() const override;
    QTime timeOfDay() const override;
    qint64 monotonicMs() const override;
};
