#include "attempt.h"

#include "state/loose.h"
#include "state/shared_state.h"

qint32 AttemptClock::elapsedSeconds(qint64 nowMs) const
{
    return qint32(roundHalfEven(double(nowMs - m_startMs) / 1000.0));
}

namespace attempt {

int todayNumber(const Statistics& stats, int pupil)
{
    return int(roundHalfEven(stats.todayCount.sumOverCourses(pupil, 1, 15))) + 1;
}

bool isPractice(const Catalogue& catalogue, int course)
{
    return catalogue.courseNames[course].contains(u'練');
}

Ending endingFor(const Catalogue& catalogue, int course)
{
    if (isPractice(catalogue, course))
        return Ending::BackToBoard;
    if (catalogue.courseDefined[course] != 1)
        return Ending::NothingToRecord;
    return Ending::RecordAndShowResult;
}

} // namespace attempt
