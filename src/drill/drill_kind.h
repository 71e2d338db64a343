#pragma once

#include "state/attempt_outcome.h"
#include "state/drill_request.h"

#include <QList>
#include <memory>

class Pause;
struct ProblemResult;
struct Services;

// One kind of drill as the drill screen runs it: which numbers, how many problems, whether a
// clock is shown, and what happens once the last problem is solved. The screen knows no kind;
// a new kind of practice is a new request and, when it concludes differently, a new kind here.
class DrillKind
{
public:
    explicit DrillKind(DrillRequest request) : m_request(std::move(request)) {}
    virtual ~DrillKind() = default;
    DrillKind(const DrillKind&) = delete;
    DrillKind& operator=(const DrillKind&) = delete;

    const DrillRequest& request() const { return m_request; }
    // A recorded attempt: one of today's attempts, "成績記録中" while it is written.
    bool isAttempt() const { return m_request.kind == DrillRequest::Kind::Attempt; }

    // What follows the solved drill.
    struct Next
    {
        enum class Screen
        {
            None, // the program has been ended
            Board,
            EndScreen,
            PracticeEnd
        };
        Screen screen = Screen::None;
        AttemptOutcome outcome;
        PracticeOutcome practice;
    };
    // Records what the kind records, in the given seconds.
    virtual Next conclude(Services services, Pause& pause, qint32 seconds, const QList<ProblemResult>& problems) = 0;

private:
    DrillRequest m_request;
};

std::unique_ptr<DrillKind> makeDrillKind(DrillRequest request);
