#include "attempt.h"

#include "state/loose.h"
#include "state/shared_state.h"

qint32 AttemptClock::elapsedSeconds(qint64 nowMs) const
{
    return qint32(roundHalfEven(double(nowMs - m_startMs) / 1000.0));
}

namespace attempt {

int todayNumber(const SharedState& state, int pupil)
{
    return int(roundHalfEven(state.stats.todayCount.sumOverCourses(pupil, 1, 15))) + 1;
}

bool isPractice(const SharedState& state, int course)
{
    return state.catalogue.courseNames[course].contains(u'練');
}

} // namespace attempt
