#pragma once
// Speed budgets: a benchmark registered with a budget fails the run when its mean real time per
// iteration exceeds it, so the speed targets are checked by running the benchmark programs.

#include <benchmark/benchmark.h>

#include <string>

namespace bench {

// Registers `function` under `name` with a budget in milliseconds per iteration.
void registerWithBudget(const std::string& name, void (*function)(benchmark::State&),
                        double budgetMilliseconds);

}  // namespace bench
