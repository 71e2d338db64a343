#include "attempt.h"

#include "records/results_recorder.h"
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

std::optional<Conclusion> conclude(Services services, Pause& pause, int course, qint32 seconds)
{
    Conclusion conclusion;
    conclusion.ending = endingFor(services.state.catalogue, course);
    if (conclusion.ending != Ending::RecordAndShowResult)
        return conclusion;
    ResultsRecorder recorder(services, pause);
    const auto outcome = recorder.record({services.state.current.pupilNo, course, seconds});
    if (!outcome)
        return std::nullopt;
    conclusion.outcome = *outcome;
    return conclusion;
}

} // namespace attempt
