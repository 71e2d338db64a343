// The problem log of a school year of a large class: 200 000 problems of 60 pupils on five
// levels. Budgets (median, on the 2-core development machine): the board's weak numbers of one
// pupil, the log read and ranked at every level, 30 ms; the class view's, every pupil's current
// level and the class's ranking of each level, 150 ms. The log's size is reported as
// "log_mb" and must stay under 15 MB. ふくしゅう on a log twice as long (400 000 lines, the
// whole school's practices included): one pupil's numbers due, 30 ms; the class view's counts for
// a class of 40, 150 ms; starting a review (the board's due numbers and the drill's request),
// 50 ms.
#include "bench_budget.h"
#include "drill/drill_kind.h"
#include "problemlog/problem_log.h"
#include "problemlog/review.h"
#include "problemlog/weak_numbers.h"
#include "records/oa_date.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kProblems = 200000;
constexpr int kPupils = 60;
constexpr int kLevels = 5;
constexpr int kMaxLogBytes = 15 * 1024 * 1024;

// Written once: the pupils' attempts through the year, ten problems each.
struct YearLog
{
    QTemporaryDir dir;
    QString path = dir.filePath(problemlog::fileName());
    qint64 bytes = 0;
    explicit YearLog(int problems = kProblems)
    {
        QRandomGenerator random(2026);
        QByteArray text = problemlog::header();
        QDate day(2026, 4, 6);
        for (int n = 0; n < problems; ++n) {
            if (n % 1000 == 999)
                day = day.addDays(1);
            problemlog::Entry e;
            e.date = day;
            e.time = QTime(15, 0).addSecs(n % 3600);
            e.pupil = 1 + (n / 10) % kPupils;
            e.level = 1 + (n / 10 / kPupils) % kLevels;
            e.number = 2 + int(random.bounded(98));
            e.seconds = double(random.bounded(20, 300)) / 10;
            e.wrong = random.bounded(10) == 0;
            e.answerShown = e.wrong > 0;
            if (e.answerShown)
                e.firstWrong = QString::number(e.number - 1);
            text += problemlog::line(e);
        }
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
            std::abort();
        bytes = text.size();
        if (bytes >= qint64(kMaxLogBytes) * problems / kProblems)
            std::abort();
    }
};

YearLog& yearLog()
{
    static YearLog log;
    return log;
}

YearLog& reviewLog()
{
    static YearLog log(400000);
    return log;
}

void reviewOfOnePupil(benchmark::State& bench)
{
    YearLog& year = reviewLog();
    const auto today = qint32(oadate::fromDate(QDate(2027, 3, 20)));
    for (auto _ : bench) {
        const auto read = problemlog::readReview(year.path, 7);
        benchmark::DoNotOptimize(review::due(read->review, 7, today));
    }
    bench.counters["budget_ms"] = 30;
}

void reviewOfTheClass(benchmark::State& bench)
{
    YearLog& year = reviewLog();
    const auto today = qint32(oadate::fromDate(QDate(2027, 3, 20)));
    for (auto _ : bench) {
        const auto read = problemlog::read(year.path);
        const auto summaries = review::perPupil(read->review, today, today - 6, today);
        for (int p = 1; p <= 40; ++p)
            benchmark::DoNotOptimize(summaries.value(p));
    }
    bench.counters["budget_ms"] = 150;
}

void startingAReview(benchmark::State& bench)
{
    YearLog& year = reviewLog();
    const auto today = qint32(oadate::fromDate(QDate(2027, 3, 20)));
    for (auto _ : bench) {
        const auto read = problemlog::readReview(year.path, 7);
        DrillRequest request;
        request.kind = DrillRequest::Kind::Review;
        for (const review::Due& d : review::due(read->review, 7, today)) {
            request.numbers.append(d.number);
            request.levels.append(d.level);
        }
        benchmark::DoNotOptimize(makeDrillKind(request));
    }
    bench.counters["budget_ms"] = 50;
}

void weakNumbersOfOnePupil(benchmark::State& bench)
{
    YearLog& year = yearLog();
    for (auto _ : bench) {
        const auto read = problemlog::readReview(year.path, 7);
        for (int level = 1; level <= kLevels; ++level)
            benchmark::DoNotOptimize(weaknumbers::rank(read->problems, 7, level));
    }
    bench.counters["log_mb"] = double(year.bytes) / (1024 * 1024);
    bench.counters["budget_ms"] = 30;
}

void weakNumbersOfTheClass(benchmark::State& bench)
{
    YearLog& year = yearLog();
    QSet<int> pupils;
    for (int p = 1; p <= kPupils; ++p)
        pupils.insert(p);
    for (auto _ : bench) {
        const auto read = problemlog::readReview(year.path, 7);
        const auto byPupil = weaknumbers::byPupil(read->problems);
        for (auto it = byPupil.cbegin(); it != byPupil.cend(); ++it)
            benchmark::DoNotOptimize(weaknumbers::rank(*it, it.key(), it->last().level));
        for (int level = 1; level <= kLevels; ++level)
            benchmark::DoNotOptimize(weaknumbers::rankGroup(read->problems, pupils, level));
    }
    bench.counters["budget_ms"] = 150;
}

} // namespace

BENCHMARK(reviewOfOnePupil)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(reviewOfTheClass)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(startingAReview)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(weakNumbersOfOnePupil)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(weakNumbersOfTheClass)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    return runWithBudgets(&argc, argv);
}
