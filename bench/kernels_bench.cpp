// Kernel benchmarks: the generator, the rejection sampler's density, the
// bisection on the target cubic, root_bisect's whole sweep, and the pieces
// of a sampler's per-sample cost that its floor program does not pay: the
// transform's libm calls and the text of its line.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <sstream>
#include <vector>

#include "grid_search.h"
#include "pgaus.h"
#include "rand_lcg.h"
#include "text_line.h"

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

// A deviate as colider's callable-form benchmark draws it: std::mt19937_64
// through std::uniform_real_distribution.
void mt19937_64_uniform_deviate(benchmark::State& state) {
  std::mt19937_64 engine(42);
  std::uniform_real_distribution<double> uniform(0.0, 1.0);
  for (auto _ : state) benchmark::DoNotOptimize(uniform(engine));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(mt19937_64_uniform_deviate);

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

// The libm calls of one Box-Muller sample (log, pow, cos) on deviates
// drawn beforehand.
void boxmuller_libm_calls(benchmark::State& state) {
  std::vector<double> u(4096);
  long seed = 1;
  for (double& x : u) x = rand_lcg(seed);
  size_t k = 0;
  for (auto _ : state) {
    double t = -log(1.0 - u[k]);
    double radius = pow(0.18 * t, 0.5);
    benchmark::DoNotOptimize(cos(6.2831853 * u[k + 1]) * radius + 1.0);
    k = (k + 2) % u.size();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(boxmuller_libm_calls);

// Generator states and values in a sampler's range, drawn beforehand.
struct Samples {
  std::vector<long> states;
  std::vector<double> values;
  Samples() {
    long seed = 1;
    for (int i = 0; i < 4096; i++) {
      values.push_back(rand_lcg(seed) * 2.0);
      states.push_back(seed);
    }
  }
};

// The text of one sample: its console line and its Data file line, as the
// sampler frame makes them, without the writes.
void sample_lines_text(benchmark::State& state) {
  const Samples samples;
  int i = 0;
  for (auto _ : state) {
    size_t k = static_cast<size_t>(i) % samples.values.size();
    TextLine console, file;
    NumberText value(samples.values[k]);
    console << "Random number: " << i++ << " = " << samples.states[k] << " = " << value;
    file << value;
    benchmark::DoNotOptimize(console.text().data());
    benchmark::DoNotOptimize(file.text().data());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(sample_lines_text);

// The same two lines through a default std::ostream, for scale.
void sample_lines_stream(benchmark::State& state) {
  const Samples samples;
  int i = 0;
  std::ostringstream console, file;
  for (auto _ : state) {
    size_t k = static_cast<size_t>(i) % samples.values.size();
    double value = samples.values[k];
    console.seekp(0);
    file.seekp(0);
    console << "Random number: " << i++ << " = " << samples.states[k] << " = " << value << '\n';
    file << value << '\n';
    benchmark::DoNotOptimize(console.tellp());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(sample_lines_stream);

}  // namespace

BENCHMARK_MAIN();
