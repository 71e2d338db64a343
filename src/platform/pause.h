#pragma once

class Clock;

// A wait that keeps the screen answering: window events run while it lasts.
class Pause
{
public:
    virtual ~Pause() = default;
    virtual void wait(int milliseconds) = 0;
};

class EventLoopPause final : public Pause
{
public:
    explicit EventLoopPause(const Clock& clock) : m_clock(clock) {}
    void wait(int milliseconds) override;

private:
    const Clock& m_clock;
};
