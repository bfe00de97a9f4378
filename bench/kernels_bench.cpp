// Kernel benchmarks: the generator, the rejection sampler's density, the
// bisection on the target cubic, and root_bisect's whole sweep.
#include <benchmark/benchmark.h>

#include <random>

#include "grid_search.h"
#include "pgaus.h"
#include "rand_lcg.h"

namespace {

void rand_lcg_deviate(benchmark::State& state) {
  long seed = 1;
  for (auto _ : state) benchmark::DoNotOptimize(rand_lcg(seed));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(rand_lcg_deviate);

// The same generator in libstdc++ (integer arithmetic), for scale.
void minstd_rand0_deviate(benchmark::State& state) {
  std::minstd_rand0 engine(1);
  for (auto _ : state) benchmark::DoNotOptimize(engine() / 2147483647.0);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(minstd_rand0_deviate);

void pgaus_density(benchmark::State& state) {
  double x = -0.8;
  for (auto _ : state) {
    benchmark::DoNotOptimize(pgaus(x, 1.0, 0.3));
    x = x < 2.8 ? x + 0.001 : -0.8;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(pgaus_density);

// The bracket root_step refines around 1.5 at division size 1: one grid
// step wide, 25 iterations.
void bisection_on_target_cubic(benchmark::State& state) {
  CubicGrid grid;
  tabulate(grid);
  for (auto _ : state) {
    int steps = 0;
    benchmark::DoNotOptimize(bisect(grid.X[6874], grid.X[6875], 8, steps));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(bisection_on_target_cubic);

// root_bisect without its output: every division size from 1 to 10000.
void root_bisect_sweep(benchmark::State& state) {
  CubicGrid grid;
  tabulate(grid);
  for (auto _ : state) {
    int lines = 0;
    for (int d = 1; d <= 10000; d++) {
      int roots = 0;
      benchmark::DoNotOptimize(walk_grid(grid, d, 7, [&roots](double) { roots += 1; }));
      lines += roots == 3;
    }
    benchmark::DoNotOptimize(lines);
  }
}
BENCHMARK(root_bisect_sweep)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
