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
    // How long a screen's own short pause (the end screen's half second before its buttons)
    // really lasts: as long as asked; a test's clock lets it pass at the next turn of events.
    virtual int screenPauseMs(int milliseconds) const { return milliseconds; }
};

class SystemClock final : public Clock
{
public:
    QDate today() const override;
    QTime timeOfDay() const override;
    qint64 monotonicMs() const override;
};
