#include "bench/budget.hpp"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <map>
#include <random>
#include <vector>

namespace bench {
namespace {

// Repetitions of every budgeted benchmark; the least of their CPU times, each scaled by its
// yardstick run, is judged, so one repetition slowed by a busy machine cannot decide.
constexpr int kRepetitions = 5;

// The yardstick: zlib's strongest deflate of 64 KiB of few-colour runs, a match search much like
// the sprite compressor's. Its CPU time on the machine the budgets were set on (a two-core 2.1 GHz
// Xeon, idle) was 53 to 60 ms a run.
constexpr double kYardstickReferenceMilliseconds = 57;
constexpr std::size_t kYardstickInputBytes = 64 * 1024;
constexpr int kYardstickLevel = 9;

// Each yardstick run is named after the benchmark it scales, so a --benchmark_filter that picks the
// benchmark picks its yardstick too.
const std::string kYardstickPrefix = "Yardstick:";

std::map<std::string, double>& budgets()
{
    static std::map<std::string, double> table;
    return table;
}

void yardstick(benchmark::State& state)
{
    static const std::vector<Bytef> input = [] {
        std::mt19937 random(7);
        constexpr Bytef kPairs[] = {0x00, 0x01, 0x10, 0x11, 0x23, 0x32};
        constexpr unsigned kLongestRun = 8;
        std::vector<Bytef> bytes(kYardstickInputBytes);
        for (std::size_t i = 0; i < bytes.size();) {
            const Bytef pair = kPairs[random() % std::size(kPairs)];
            for (unsigned run = 1 + random() % kLongestRun; run > 0 && i < bytes.size(); --run)
                bytes[i++] = pair;
        }
        return bytes;
    }();
    // One stream for all iterations, so that they time the match search alone, not the allocation
    // and page faults of a new stream's quarter megabyte of tables.
    z_stream stream{};
    if (deflateInit(&stream, kYardstickLevel) != Z_OK) {
        state.SkipWithError("zlib failed");
        return;
    }
    std::vector<Bytef> output(deflateBound(&stream, input.size()));
    for (auto _ : state) {
        deflateReset(&stream);
        stream.next_in = const_cast<Bytef*>(input.data());
        stream.avail_in = static_cast<uInt>(input.size());
        stream.next_out = output.data();
        stream.avail_out = static_cast<uInt>(output.size());
        if (deflate(&stream, Z_FINISH) != Z_STREAM_END) {
            state.SkipWithError("zlib failed");
            break;
        }
        benchmark::DoNotOptimize(output.data());
    }
    deflateEnd(&stream);
}

// What the repetitions of one benchmark measured, in milliseconds per iteration.
struct Measured {
    double leastCpu = std::numeric_limits<double>::infinity();
    double leastWall = std::numeric_limits<double>::infinity();
    // The least CPU time after dividing each repetition by how much slower than the reference the
    // yardstick ran just before it (never by less than 1).
    double leastScaledCpu = std::numeric_limits<double>::infinity();
    int repetitions = 0;
    std::string error;
};

// Prints every run as the console reporter does and keeps, for each budgeted benchmark, the least
// CPU and wall time and the least CPU time scaled by the yardstick run just before it.
class BudgetReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            const std::string& name = run.run_name.function_name;
            const bool usable = !run.error_occurred && run.iterations != 0;
            const double iterations = static_cast<double>(run.iterations);
            const double cpu = usable ? run.cpu_accumulated_time * 1000.0 / iterations : 0;
            if (name.starts_with(kYardstickPrefix)) {
                slowdown_ = usable ? std::max(1.0, cpu / kYardstickReferenceMilliseconds) : 1.0;
                continue;
            }
            Measured& entry = measured[name];
            if (run.error_occurred)
                entry.error = run.error_message;
            if (!usable)
                continue;
            entry.leastCpu = std::min(entry.leastCpu, cpu);
            entry.leastWall = std::min(entry.leastWall, run.real_accumulated_time * 1000.0 / iterations);
            entry.leastScaledCpu = std::min(entry.leastScaledCpu, cpu / slowdown_);
            ++entry.repetitions;
            slowdown_ = 1;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, Measured> measured;

private:
    double slowdown_ = 1;
};

}  // namespace

void registerWithBudget(const std::string& name, void (*function)(benchmark::State&),
                        double budgetMilliseconds)
{
    // Each repetition runs just after a yardstick run, so both see the machine in the same state.
    for (int repetition = 0; repetition < kRepetitions; ++repetition) {
        benchmark::RegisterBenchmark((kYardstickPrefix + name).c_str(), yardstick)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(name.c_str(), function)->Unit(benchmark::kMillisecond);
    }
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
        const bool within = measured.leastScaledCpu <= budget;
        std::printf("%s %s: %.2f ms CPU per run (least of %d; wall %.2f ms), %.2f ms at the reference "
                    "speed, budget %.0f ms\n",
                    within ? "OK  " : "SLOW", name.c_str(), measured.leastCpu, measured.repetitions,
                    measured.leastWall, measured.leastScaledCpu, budget);
        if (!within)
            status = 1;
    }
    return status;
}
