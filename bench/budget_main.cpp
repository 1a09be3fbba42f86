#include "bench/budget.hpp"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <map>
#include <vector>

namespace bench {
namespace {

// Repetitions of every budgeted benchmark; the least CPU time among them is judged, so one
// repetition slowed by a busy machine cannot decide.
constexpr int kRepetitions = 5;

std::map<std::string, double>& budgets()
{
    static std::map<std::string, double> table;
    return table;
}

// What the repetitions of one benchmark measured, in milliseconds per iteration.
struct Measured {
    double leastCpu = std::numeric_limits<double>::infinity();
    double leastWall = std::numeric_limits<double>::infinity();
    int repetitions = 0;
    std::string error;
};

// Prints every repetition as the console reporter does, without the statistics rows, and keeps
// the least CPU and wall time of each benchmark.
class BudgetReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        std::vector<Run> repetitions;
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration)
                continue;
            repetitions.push_back(run);
            Measured& entry = measured[run.run_name.function_name];
            if (run.error_occurred) {
                entry.error = run.error_message;
                continue;
            }
            if (run.iterations == 0)
                continue;
            const double iterations = static_cast<double>(run.iterations);
            entry.leastCpu = std::min(entry.leastCpu, run.cpu_accumulated_time * 1000.0 / iterations);
            entry.leastWall = std::min(entry.leastWall, run.real_accumulated_time * 1000.0 / iterations);
            ++entry.repetitions;
        }
        ConsoleReporter::ReportRuns(repetitions);
    }

    std::map<std::string, Measured> measured;
};

}  // namespace

void registerWithBudget(const std::string& name, void (*function)(benchmark::State&),
                        double budgetMilliseconds)
{
    benchmark::RegisterBenchmark(name.c_str(), function)
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(kRepetitions);
    budgets()[name] = budgetMilliseconds;
}

}  // namespace bench

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    bench::BudgetReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    int status = 0;
    for (const auto& [name, budget] : bench::budgets()) {
        const auto found = reporter.measured.find(name);
        if (found == reporter.measured.end())
            continue;  // not chosen by --benchmark_filter
        const bench::Measured& measured = found->second;
        if (!measured.error.empty() || measured.repetitions == 0) {
            std::printf("FAIL %s: %s\n", name.c_str(),
                        measured.error.empty() ? "no repetition ran" : measured.error.c_str());
            status = 1;
            continue;
        }
        const bool within = measured.leastCpu <= budget;
        std::printf("%s %s: %.2f ms CPU per run (least of %d; wall %.2f ms), budget %.0f ms\n",
                    within ? "OK  " : "SLOW", name.c_str(), measured.leastCpu, measured.repetitions,
                    measured.leastWall, budget);
        if (!within)
            status = 1;
    }
    return status;
}
