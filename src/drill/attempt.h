#pragma once

#include <QtGlobal>

struct SharedState;

// Timing of one attempt in whole seconds, on a monotonic clock so that an attempt running
// across midnight is timed like any other.
class AttemptClock
{
public:
    void start(qint64 nowMs) { m_startMs = nowMs; }
    // Rounded to the nearest second, an exact half to the even neighbour.
    qint32 elapsedSeconds(qint64 nowMs) const;

private:
    qint64 m_startMs = 0;
};

namespace attempt {

// The number of this attempt today: the pupil's attempts today on courses 1 to 15, plus one.
int todayNumber(const SharedState& state, int pupil);

// Practice courses ("練" in the name) are run but not recorded.
bool isPractice(const SharedState& state, int course);

} // namespace attempt
