#include "results_recorder.h"

#include "clearing.h"
#include "points.h"
#include "records_error.h"
#include "results_reader.h"
#include "state/shared_state.h"

std::optional<AttemptOutcome> ResultsRecorder::record(const resultsfile::Attempt& attempt)
{
    SharedState& state = m_services.state;
    ResultsReader reader(m_services, m_pause, m_open);
    if (!reader.refreshStatistics())
        return std::nullopt;
    const Statistics& s = state.stats;
    const CourseRules& rules = state.rules;
    const int p = attempt.pupil;
    const int c = attempt.course;
    AttemptOutcome outcome;
    outcome.pupil = p;
    outcome.course = c;
    outcome.time = attempt.time;
    outcome.points = points::weighted(attempt.time, rules.targetTime[c], rules.pointWeight[c]);
    outcome.passedBefore =
        s.totalCount(c, p) >= rules.requiredCount[c] && s.totalPoints(c, p) >= rules.requiredPoints[c];
    outcome.newPersonalBest = s.bestTime(c, p) > attempt.time;
    outcome.newCourseBest = s.courseBestTime[c] > attempt.time;
    outcome.topLevelClearedBefore = clearing::topLevelCleared(s, rules, state.catalogue, p);

    if (const auto error =
            resultsfile::appendResult(state.folders, state.organisation, attempt, m_services.clock, m_pause, m_open)) {
        reportFatal(m_services.messages, m_services.programEnd, error->message());
        return std::nullopt;
    }
    if (!reader.refreshStatistics())
        return std::nullopt;
    outcome.cleared = clearing::isCleared(state.stats, rules, c, p);
    return outcome;
}
