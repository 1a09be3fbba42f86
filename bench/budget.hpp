#pragma once
// Speed budgets: a benchmark registered with a budget runs several repetitions and fails the run
// when the least CPU time per iteration among them exceeds it, so the speed targets are checked by
// running the benchmark programs. CPU time is judged because a busy machine stretches the wall
// time of the same work many times over; the wall time is shown beside it.
//
// CPU time still grows when the machine itself runs slower (a shared host whose neighbours take
// the caches and the memory bus, or a slower processor). So each repetition of a budgeted benchmark
// runs just after a yardstick, fixed work in a library this project does not write, and is divided
// by how much longer the yardstick took than on the machine the budgets were set on. It is never
// multiplied: a fast machine is held to the budget as written.

#include <benchmark/benchmark.h>

#include <string>

namespace bench {

// Registers `function` under `name` with a budget in milliseconds of CPU time per iteration.
void registerWithBudget(const std::string& name, void (*function)(benchmark::State&),
                        double budgetMilliseconds);

}  // namespace bench
