#pragma once

#include <QtGlobal>

struct Catalogue;
struct Statistics;

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
int todayNumber(const Statistics& stats, int pupil);

// Practice courses ("練" in the name) are run but not recorded.
bool isPractice(const Catalogue& catalogue, int course);

// How a solved attempt ends: a practice course goes back to the board without a record, a
// course outside the catalogue has nothing to record, any other is recorded and the end
// screen follows.
enum class Ending
{
    BackToBoard,
    NothingToRecord,
    RecordAndShowResult
};
Ending endingFor(const Catalogue& catalogue, int course);

} // namespace attempt
