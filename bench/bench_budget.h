#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

// Every benchmark states its budget as the counter "budget_ms" (milliseconds, median), and one
// that measures memory its "added_MiB" against "budget_MiB". The
// reporter prints each median beside its budget, and the program exits non-zero when one is
// over, so that `make bench` shows a regression at once.
class BudgetReporter final : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.aggregate_name != "median")
                continue;
            const auto memory = run.counters.find("added_MiB");
            const auto memoryBudget = run.counters.find("budget_MiB");
            if (memory != run.counters.end() && memoryBudget != run.counters.end()) {
                const bool over = memory->second.value > memoryBudget->second.value;
                m_lines.push_back(std::string(over ? "OVER " : "ok   ") + run.run_name.function_name + ": " +
                                  std::to_string(memory->second.value) + " MiB added at the peak, budget " +
                                  std::to_string(memoryBudget->second.value) + " MiB");
                m_over = m_over || over;
            }
            const auto budget = run.counters.find("budget_ms");
            if (budget == run.counters.end())
                continue;
            const double medianMs = run.GetAdjustedRealTime() * toMs(run.time_unit);
            const bool over = medianMs > budget->second.value;
            m_lines.push_back(std::string(over ? "OVER " : "ok   ") + run.run_name.function_name + ": median " +
                              std::to_string(medianMs) + " ms, budget " + std::to_string(budget->second.value) + " ms");
            m_over = m_over || over;
        }
    }
    int finish() const
    {
        std::printf("\nmedians against their budgets:\n");
        for (const std::string& line : m_lines)
            std::printf("%s\n", line.c_str());
        return m_over ? 1 : 0;
    }

private:
    static double toMs(benchmark::TimeUnit unit)
    {
        switch (unit) {
        case benchmark::kNanosecond:
            return 1e-6;
        case benchmark::kMicrosecond:
            return 1e-3;
        case benchmark::kMillisecond:
            return 1.0;
        default:
            return 1000.0;
        }
    }
    std::vector<std::string> m_lines;
    bool m_over = false;
};

inline int runWithBudgets(int* argc, char** argv)
{
    benchmark::Initialize(argc, argv);
    BudgetReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.finish();
}
