// Recomputing the statistics from a results file of 20000 records.
// Budget: 2 ms median on the development machine (2 cores); the menu, the end screen and the
// course board all recompute when they open, so this is felt by every pupil.
#include "bench_budget.h"
#include "bench_fakes.h"
#include "platform/pause.h"
#include "records/oa_date.h"
#include "records/result_record.h"
#include "records/results_file.h"
#include "records/results_reader.h"
#include "state/clock.h"
#include "state/message_box.h"
#include "state/random_source.h"
#include "state/shared_state.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

void computeStatistics(benchmark::State& bench)
{
    QTemporaryDir dir;
    auto state = std::make_unique<SharedState>();
    state->folders.programFolder = dir.path() + "/";
    SystemClock clock;
    SystemRandom random;
    NoBox box;
    NoEnd end;
    EventLoopPause pause(clock);
    state->catalogue.courseCount = 5;
    for (int c = 1; c <= 5; ++c) {
        state->rules.targetTime[c] = 60 * c;
        state->rules.pointWeight[c] = 1.5f;
        state->rules.windowDays[c] = Loose(30);
        state->rules.window2Days[c] = Loose(7);
    }
    QFile file(resultsfile::resultsPath(state->folders));
    if (!file.open(QIODevice::WriteOnly))
        std::abort();
    const double today = oadate::fromDate(QDate::currentDate());
    for (int n = 0; n < 20000; ++n) {
        ResultRecord r;
        r.date = today - (n % 60);
        r.clockTime = 0.5;
        r.pupil = qint16(1 + n % 300);
        r.course = qint16(1 + n % 5);
        r.time = 40 + n % 400;
        r.points = recordtext::pointsField(0);
        file.write(r.encode());
    }
    file.close();
    ResultsReader reader(Services{*state, clock, random, box, end}, pause);
    for (auto _ : bench) {
        reader.refreshStatistics();
        benchmark::DoNotOptimize(state->stats.totalPoints(1, 1));
    }
    bench.counters["budget_ms"] = 2.0;
}

} // namespace

BENCHMARK(computeStatistics)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
int main(int argc, char** argv)
{
    return runWithBudgets(&argc, argv);
}
