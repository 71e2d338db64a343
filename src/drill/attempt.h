#pragma once

#include "divisor_drill.h"
#include "problemlog/problem_log.h"
#include "records/results_file.h"
#include "state/attempt_outcome.h"
#include "state/drill_request.h"
#include "state/services.h"

#include <QtGlobal>
#include <optional>

class Pause;
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

// How a solved attempt ended, once it is recorded as its ending says.
struct Conclusion
{
    Ending ending = Ending::NothingToRecord;
    AttemptOutcome outcome; // what it achieved, when recorded
};

// Concludes the current pupil's solved attempt on a course, taken in the given seconds:
// records it when its ending says so, and then its problems in the problem log. Nothing when a
// results file could not be used and the program has been ended.
std::optional<Conclusion> conclude(Services services, Pause& pause, int course, qint32 seconds,
                                   const QList<ProblemResult>& problems);

// The problem log's lines of an attempt's problems, dated by the wall clock now and the
// monotonic clock the problems were timed with.
QList<problemlog::Entry> logEntries(const QList<ProblemResult>& problems, int pupil, int level, const Clock& clock);

// Appends to the problem log. A log that cannot be written never stops a pupil: the teacher is
// told once in a run of the program, and the answer is false.
bool logProblems(Services services, Pause& pause, const QList<problemlog::Entry>& entries,
                 const resultsfile::Opener& open = openRecordFile);

// Concludes a practice: nothing in the results files, its problems in the log marked with its
// kind (ふくしゅう's each at the level it was missed at), and how each number went against its
// figures in the log before.
PracticeOutcome concludePractice(Services services, Pause& pause, const DrillRequest& request, qint32 seconds,
                                 const QList<ProblemResult>& problems);

// What a practice's log lines say of it.
QString practiceMark(const DrillRequest& request);

} // namespace attempt
