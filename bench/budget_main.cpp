#include "bench/budget.hpp"

#include <cstdio>
#include <map>
#include <vector>

namespace bench {
namespace {

std::map<std::string, double>& budgets()
{
    static std::map<std::string, double> table;
    return table;
}

// Prints as the console reporter does and remembers the mean time of each run.
class BudgetReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0)
                continue;
            const double milliseconds =
                run.real_accumulated_time * 1000.0 / static_cast<double>(run.iterations);
            measured[run.run_name.function_name] = milliseconds;
        }
    }

    std::map<std::string, double> measured;
};

}  // namespace

void registerWithBudget(const std::string& name, void (*function)(benchmark::State&),
                        double budgetMilliseconds)
{
    benchmark::RegisterBenchmark(name.c_str(), function)->Unit(benchmark::kMillisecond);
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
            continue;
        const bool within = found->second <= budget;
        std::printf("%s %s: %.2f ms per run, budget %.0f ms\n", within ? "OK  " : "SLOW",
                    name.c_str(), found->second, budget);
        if (!within)
            status = 1;
    }
    return status;
}
