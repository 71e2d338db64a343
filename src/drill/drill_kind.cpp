#include "drill_kind.h"

#include "attempt.h"

namespace {

// The Parts' attempt: recorded in both results files, then its problems in the log.
class RecordedAttempt final : public DrillKind
{
public:
    using DrillKind::DrillKind;
    Next conclude(Services services, Pause& pause, qint32 seconds, const QList<ProblemResult>& problems) override
    {
        Next next;
        const auto conclusion = attempt::conclude(services, pause, request().course, seconds, problems);
        if (!conclusion)
            return next;
        switch (conclusion->ending) {
        case attempt::Ending::BackToBoard:
            next.screen = Next::Screen::Board;
            break;
        case attempt::Ending::NothingToRecord:
            break;
        case attempt::Ending::RecordAndShowResult:
            next.screen = Next::Screen::EndScreen;
            next.outcome = conclusion->outcome;
            break;
        }
        return next;
    }
};

// Every practice: the problem log only, marked with its kind, and the practice's end screen.
class Practice final : public DrillKind
{
public:
    using DrillKind::DrillKind;
    Next conclude(Services services, Pause& pause, qint32 seconds, const QList<ProblemResult>& problems) override
    {
        Next next;
        next.screen = Next::Screen::PracticeEnd;
        next.practice = attempt::concludePractice(services, pause, request(), seconds, problems);
        return next;
    }
};

} // namespace

std::unique_ptr<DrillKind> makeDrillKind(DrillRequest request)
{
    if (request.kind == DrillRequest::Kind::Attempt)
        return std::make_unique<RecordedAttempt>(std::move(request));
    return std::make_unique<Practice>(std::move(request));
}
