// The problem log of a school year of a large class: 200 000 problems of 60 pupils on five
// levels. Budgets (median, on the 2-core development machine): the board's weak numbers of one
// pupil, the log read and ranked at every level, 30 ms; the class view's, every pupil's current
// level and the class's ranking of each level, 150 ms. The log's size is reported as
// "log_mb" and must stay under 15 MB.
#include "bench_budget.h"
#include "problemlog/problem_log.h"
#include "problemlog/weak_numbers.h"

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
    YearLog()
    {
        QRandomGenerator random(2026);
        QByteArray text = problemlog::header();
        QDate day(2026, 4, 6);
        for (int n = 0; n < kProblems; ++n) {
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
        if (bytes >= kMaxLogBytes)
            std::abort();
    }
};

YearLog& yearLog()
{
    static YearLog log;
    return log;
}

void weakNumbersOfOnePupil(benchmark::State& bench)
{
    YearLog& year = yearLog();
    for (auto _ : bench) {
        const auto read = problemlog::read(year.path);
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
        const auto read = problemlog::read(year.path);
        const auto byPupil = weaknumbers::byPupil(read->problems);
        for (auto it = byPupil.cbegin(); it != byPupil.cend(); ++it)
            benchmark::DoNotOptimize(weaknumbers::rank(*it, it.key(), it->last().level));
        for (int level = 1; level <= kLevels; ++level)
            benchmark::DoNotOptimize(weaknumbers::rankGroup(read->problems, pupils, level));
    }
    bench.counters["budget_ms"] = 150;
}

} // namespace

BENCHMARK(weakNumbersOfOnePupil)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(weakNumbersOfTheClass)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    return runWithBudgets(&argc, argv);
}
