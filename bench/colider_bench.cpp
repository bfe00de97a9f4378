// colider at 100,000 particles in 1,000 cells near equilibrium: nanoseconds
// per candidate pair and per accepted collision, in both forms:
//   colider_classic   rand(long&), built twice: with the reference
//                     simulation's generator (the minimal standard one,
//                     integer arithmetic), and with a cheap xorshift one, so
//                     that the module's own cost shows apart from its
//                     caller's;
//   colider_mt19937   the callable form over std::mt19937_64 through
//                     std::uniform_real_distribution;
//   colider_xorshift  the callable form over the cheap xorshift generator,
//                     written inline, so that its cost is the module's own.
// Each runs twice: particles numbered as the simulation made them (/0: a
// cell's velocities scattered over the 2.4 MB matrix), and renumbered cell by
// cell (/1: together in memory).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>

#include "gas.h"

namespace {
long deviates_drawn = 0;

// xorshift64*, top 53 bits: in [0, 1).
double xorshift(uint64_t& x) {
  x ^= x >> 12;
  x ^= x << 25;
  x ^= x >> 27;
  return static_cast<double>((x * 0x2545F4914F6CDD1DULL) >> 11) * 0x1.0p-53;
}
}  // namespace

#ifdef CHEAP_GENERATOR
double rand(long& seed) {
  deviates_drawn++;
  uint64_t x = static_cast<uint64_t>(seed) | 1;
  const double u = xorshift(x);
  seed = static_cast<long>(x);
  return u;
}
#else
double rand(long& seed) {
  deviates_drawn++;
  seed = static_cast<long>((16807LL * seed) % 2147483647);
  return seed / 2147483647.0;
}
#endif

namespace {

HardSphereGas near_equilibrium(bool by_cell) {
  GasParameters parameters;
  parameters.particles = 100000;
  parameters.cells = 1000;
  // 100 particles a cell: the same 0.2 collisions per particle and step as
  // the reference simulation's 500 a cell.
  parameters.select_coeff = 1.5e-4 * 499 / 99;
  HardSphereGas gas(parameters);
  for (int s = 0; s < 60; s++) {  // about 12 collisions per particle
    gas.stream();
    gas.sort();
    gas.collide_classic();
  }
  if (by_cell) gas.renumber_by_cell();
  return gas;
}

// Three deviates per candidate, two more per accepted collision.
void report(benchmark::State& state, long accepted) {
  const double candidates = (deviates_drawn - 2.0 * accepted) / 3.0;
  using benchmark::Counter;
  state.counters["per_candidate"] = Counter(candidates, Counter::kIsRate | Counter::kInvert);
  state.counters["per_collision"] = Counter(accepted, Counter::kIsRate | Counter::kInvert);
  state.counters["acceptance"] = accepted / candidates;
}

void colider_classic(benchmark::State& state) {
  HardSphereGas gas = near_equilibrium(state.range(0) == 1);
  long accepted = 0;
  deviates_drawn = 0;
  for (auto _ : state) accepted += gas.collide_classic();
  report(state, accepted);
}
BENCHMARK(colider_classic)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void colider_mt19937(benchmark::State& state) {
  HardSphereGas gas = near_equilibrium(state.range(0) == 1);
  std::mt19937_64 engine(42);
  std::uniform_real_distribution<double> uniform(0.0, 1.0);
  long accepted = 0;
  deviates_drawn = 0;
  long drawn = 0;
  for (auto _ : state) accepted += gas.collide([&] { return drawn++, uniform(engine); });
  deviates_drawn = drawn;
  report(state, accepted);
}
BENCHMARK(colider_mt19937)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void colider_xorshift(benchmark::State& state) {
  HardSphereGas gas = near_equilibrium(state.range(0) == 1);
  uint64_t x = 88172645463325252ULL;
  long accepted = 0;
  long drawn = 0;
  for (auto _ : state) accepted += gas.collide([&] { return drawn++, xorshift(x); });
  deviates_drawn = drawn;
  report(state, accepted);
}
BENCHMARK(colider_xorshift)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
