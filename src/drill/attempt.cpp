#include "attempt.h"

#include "problemlog/weak_numbers.h"
#include "records/results_recorder.h"
#include "state/clock.h"
#include "state/loose.h"
#include "state/message_box.h"
#include "state/shared_state.h"

#include <QDateTime>
#include <QDir>
#include <QHash>
#include <algorithm>

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

std::optional<Conclusion> conclude(Services services, Pause& pause, int course, qint32 seconds,
                                   const QList<ProblemResult>& problems)
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
    logProblems(services, pause, logEntries(problems, outcome->pupil, course, services.clock));
    return conclusion;
}

QList<problemlog::Entry> logEntries(const QList<ProblemResult>& problems, int pupil, int level, const Clock& clock)
{
    const QDateTime now(clock.today(), clock.timeOfDay());
    const qint64 nowMs = clock.monotonicMs();
    QList<problemlog::Entry> entries;
    entries.reserve(problems.size());
    for (const ProblemResult& p : problems) {
        const QDateTime ended = now.addMSecs(std::min<qint64>(0, p.endedMs - nowMs));
        problemlog::Entry e;
        e.date = ended.date();
        e.time = ended.time();
        e.pupil = pupil;
        e.level = level;
        e.number = p.number;
        e.seconds = double(std::max<qint64>(0, p.endedMs - p.startedMs) / 100) / 10.0;
        e.wrong = p.wrong;
        e.firstWrong = p.firstWrong;
        e.answerShown = p.answerShown;
        entries.append(e);
    }
    return entries;
}

bool logProblems(Services services, Pause& pause, const QList<problemlog::Entry>& entries,
                 const resultsfile::Opener& open)
{
    const QString path = problemlog::path(services.state.folders);
    const std::optional<QString> error = problemlog::append(path, entries, pause, open);
    if (!error)
        return true;
    if (!services.state.problemLogFaultTold) {
        services.state.problemLogFaultTold = true;
        services.messages.show(QStringLiteral("注意"),
                               QStringLiteral("問題ごとの記録「%1」に書きこめません。\r\n%2\r\n"
                                              "せいせきのファイルへの記録は、そのままです。先生に知らせてください。\r\n"
                                              "（この注意は、プログラムを終了するまでもう出ません。）")
                                   .arg(QDir::toNativeSeparators(path), *error),
                               MessageBox::Icon::Warning);
    }
    return false;
}

namespace {

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    if (n == 0)
        return 0;
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

QString practiceMark(const DrillRequest& request)
{
    switch (request.kind) {
    case DrillRequest::Kind::Attempt:
        return QString();
    case DrillRequest::Kind::WeakNumbers:
        return QStringLiteral("にがて");
    case DrillRequest::Kind::Review:
        return QStringLiteral("ふくしゅう");
    case DrillRequest::Kind::Set:
        return QStringLiteral("セット（%1）").arg(request.name);
    }
    return QString();
}

PracticeOutcome concludePractice(Services services, Pause& pause, const DrillRequest& request, qint32 seconds,
                                 const QList<ProblemResult>& problems)
{
    const int course = request.course;
    PracticeOutcome outcome;
    outcome.pupil = services.state.current.pupilNo;
    outcome.course = course;
    outcome.name = request.name;
    outcome.timed = request.timed;
    outcome.time = seconds;
    // The figures before come from the log as it is before this practice is added.
    const std::optional<problemlog::Read> log = problemlog::read(problemlog::path(services.state.folders));
    const QList<weaknumbers::Weak> before =
        log ? weaknumbers::rank(log->problems, outcome.pupil, course) : QList<weaknumbers::Weak>{};
    QHash<int, QList<double>> secondsNow;
    for (const ProblemResult& p : problems) {
        const auto it = std::find_if(outcome.numbers.begin(), outcome.numbers.end(),
                                     [&](const PracticeOutcome::Number& n) { return n.number == p.number; });
        PracticeOutcome::Number& n = it != outcome.numbers.end() ? *it : outcome.numbers.emplace_back();
        n.number = p.number;
        ++n.timesNow;
        if (p.wrong > 0 || p.answerShown)
            ++n.mistakesNow;
        secondsNow[p.number].append(double(std::max<qint64>(0, p.endedMs - p.startedMs) / 100) / 10.0);
    }
    for (PracticeOutcome::Number& n : outcome.numbers) {
        n.secondsNow = median(secondsNow.value(n.number));
        for (const weaknumbers::Weak& w : before) {
            if (w.number == n.number) {
                n.secondsBefore = w.medianSeconds;
                n.mistakesBefore = w.mistakes;
                n.appearancesBefore = w.appearances;
            }
        }
    }
    QList<problemlog::Entry> entries = logEntries(problems, outcome.pupil, course, services.clock);
    for (problemlog::Entry& e : entries) {
        e.practice = practiceMark(request);
        const qsizetype at = request.numbers.indexOf(e.number);
        if (at >= 0 && at < request.levels.size())
            e.level = request.levels[at];
    }
    outcome.logged = logProblems(services, pause, entries);
    return outcome;
}

} // namespace attempt
