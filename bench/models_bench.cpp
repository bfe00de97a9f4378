// The collision models side by side: nanoseconds per accepted collision and
// per candidate pair for hard spheres, VHS, VSS and a two-species mixture,
// on the same gas of 100,000 particles in 1,000 cells near equilibrium,
// drawn from the callable form with a cheap xorshift generator written
// inline, so that what differs is the module's own cost:
//   hard_spheres      the default model: one species of hard spheres
//   hard_spheres_mix  the same hard spheres given as a one-species Mixture,
//                     which takes the general path (per-pair model and mass)
//   vhs               VHS(0.75, 1): one power per candidate
//   vss               VSS(0.75, 1, 1.5): the same, and a power and a
//                     rotation per collision
//   mixture           species of masses 1 and 4 alternating, a 2 x 2 table
//                     of VHS and VSS
//   vhs_rotating      VHS(0.75, 1) with a rotation of 2 degrees of freedom
//                     and Z = 5 (a third of the collisions exchange), its
//                     energies at the gas's kT: per collision only, since an
//                     exchange draws deviates of its own
//   vhs_vibrating     the same with a vibrational mode too, theta_v = 2 T
//                     and Z_vib = 10, at each cell's temperature
// /0 keeps the particles numbered as the simulation made them; /1 numbers
// them cell by cell.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "gas.h"

namespace {

// xorshift64*, top 53 bits: in [0, 1).
double xorshift(uint64_t& x) {
  x ^= x >> 12;
  x ^= x << 25;
  x ^= x >> 27;
  return static_cast<double>((x * 0x2545F4914F6CDD1DULL) >> 11) * 0x1.0p-53;
}

enum Kind { kHardSpheres, kHardSpheresMix, kVHS, kVSS, kMixture, kVHSRotating, kVHSVibrating };

void models(benchmark::State& state, Kind kind) {
  GasParameters parameters;
  parameters.particles = 100000;
  parameters.cells = 1000;
  parameters.select_coeff = 1.5e-4 * 499 / 99;
  HardSphereGas gas(parameters);
  for (int s = 0; s < 60; s++) gas.step();  // about 12 collisions per particle
  if (state.range(0) == 1) gas.renumber_by_cell();

  std::vector<int> species(parameters.particles + 1);
  for (int p = 0; p <= parameters.particles; p++) species[p] = p % 2;
  const double one_mass[1] = {1.0}, masses[2] = {1.0, 4.0};
  const CollisionModel hard = HardSphere();
  const std::vector<CollisionModel> table = {VHS(0.75, 1.0), VSS(0.75, 1.0, 1.5),
                                             VSS(0.75, 1.0, 1.5), VHS(0.8, 1.0, 1.2)};
  std::vector<int> single(parameters.particles + 1, 0);
  const Mixture hard_mix = {1, single.data(), one_mass, &hard, 1};
  const Mixture mixture = {2, species.data(), masses, table.data(), 4};
  const CollisionModel vhs = VHS(0.75, 1.0), vss = VSS(0.75, 1.0, 1.5);
  Internal linear = {};
  linear.rot_dof = 2;
  linear.z_rot = 5.0;
  Matrix e_rot(parameters.particles, 1);
  double kT = 0;
  for (int p = 1; p <= parameters.particles; p++) kT += gas.velocities()(p, 1) * gas.velocities()(p, 1);
  e_rot.set(kT / parameters.particles);
  const InternalEnergy rotating = {&linear, &e_rot, nullptr, nullptr};
  Internal vibrating_molecule = linear;
  vibrating_molecule.vib_quantum = 2 * kT / parameters.particles;
  vibrating_molecule.z_vib = 10.0;
  std::vector<int> levels(parameters.particles + 1, 0);
  Matrix temperature(parameters.cells, 1);
  temperature.set(kT / parameters.particles);
  const InternalEnergy vibrating = {&vibrating_molecule, &e_rot, &temperature, levels.data()};

  Matrix max_weight(parameters.cells, 1), remainder(parameters.cells, 1);
  // Low, so that each cell's estimate rises to the heaviest pair it meets
  // in the warm-up below, and the acceptance is each model's own.
  max_weight.set(0.5);
  uint64_t x = 88172645463325252ULL;
  long drawn = 0;
  auto draw = [&] { return drawn++, xorshift(x); };
  auto step = [&] {
    Matrix& v = gas.velocities();
    // colider takes a SortList& as its classic signature does, and only reads it.
    SortList& cells = const_cast<SortList&>(gas.cells());
    const double coeff = parameters.select_coeff;
    switch (kind) {
      case kHardSpheres: return colider(v, max_weight, 0.0, draw, remainder, coeff, cells);
      case kHardSpheresMix: return colider(v, max_weight, 0.0, draw, remainder, coeff, cells, hard_mix);
      case kVHS: return colider(v, max_weight, 0.0, draw, remainder, coeff, cells, vhs);
      case kVSS: return colider(v, max_weight, 0.0, draw, remainder, coeff, cells, vss);
      case kMixture: return colider(v, max_weight, 0.0, draw, remainder, coeff, cells, mixture);
      case kVHSRotating:
        return colider(v, max_weight, 0.0, draw, remainder, coeff, cells, vhs, rotating);
      case kVHSVibrating:
        return colider(v, max_weight, 0.0, draw, remainder, coeff, cells, vhs, vibrating);
    }
    return 0;
  };
  for (int s = 0; s < 20; s++) step();  // each cell's estimate settles

  long accepted = 0;
  drawn = 0;
  for (auto _ : state) accepted += step();
  // Three deviates per candidate, two more per accepted collision.
  const double candidates = (drawn - 2.0 * accepted) / 3.0;
  using benchmark::Counter;
  const bool exchanging = kind == kVHSRotating || kind == kVHSVibrating;
  if (!exchanging)
    state.counters["per_candidate"] = Counter(candidates, Counter::kIsRate | Counter::kInvert);
  state.counters["per_collision"] = Counter(static_cast<double>(accepted),
                                            Counter::kIsRate | Counter::kInvert);
  if (!exchanging) state.counters["acceptance"] = accepted / candidates;
}

BENCHMARK_CAPTURE(models, hard_spheres, kHardSpheres)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(models, hard_spheres_mix, kHardSpheresMix)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(models, vhs, kVHS)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(models, vss, kVSS)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(models, mixture, kMixture)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(models, vhs_rotating, kVHSRotating)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(models, vhs_vibrating, kVHSVibrating)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The keyed form, which threads and ranks use (colider_range over every
// cell, per-cell Philox streams), per accepted collision, at 100,000 and at
// 1,000,000 particles in cells of 100: /0 with the particles numbered as
// the simulation made them, /1 renumbered cell by cell, so that a cell's
// velocity rows lie together in memory.
void keyed(benchmark::State& state) {
  GasParameters parameters;
  parameters.particles = static_cast<int>(state.range(1));
  parameters.cells = parameters.particles / 100;
  parameters.select_coeff = 1.5e-4 * 499 / 99;
  HardSphereGas gas(parameters);
  for (int s = 0; s < 60; s++) gas.step();  // about 12 collisions per particle
  if (state.range(0) == 1) gas.renumber_by_cell();
  long accepted = 0;
  for (auto _ : state) accepted += gas.collide();
  state.counters["per_collision"] = benchmark::Counter(static_cast<double>(accepted),
                                                       benchmark::Counter::kIsRate |
                                                           benchmark::Counter::kInvert);
}
BENCHMARK(keyed)->ArgsProduct({{0, 1}, {100000, 1000000}})->Unit(benchmark::kMillisecond);

// What a candidate's weight costs alone: the square root hard spheres take,
// against the power VHS and VSS take, over squared speeds of a gas near
// equilibrium. Independent, as a pipeline overlaps them (/0); and chained,
// each waiting for the one before (/1), as a candidate's acceptance waits
// for its weight when the branch on it is mispredicted.
template <class Weight>
void weight_of_a_candidate(benchmark::State& state, Weight weight) {
  std::vector<double> squares(4096);
  uint64_t x = 12345;
  for (double& g2 : squares) g2 = 6 * xorshift(x) * xorshift(x);
  double sum = 0, last = 0;
  for (auto _ : state) {
    if (state.range(0) == 1) {
      for (double g2 : squares) sum += last = weight(g2 + 1e-300 * last);
    } else {
      for (double g2 : squares) sum += weight(g2);
    }
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * static_cast<long>(squares.size()));
}
BENCHMARK_CAPTURE(weight_of_a_candidate, sqrt, [](double g2) { return std::sqrt(g2); })->Arg(0)->Arg(1);
BENCHMARK_CAPTURE(weight_of_a_candidate, pow_0_25, [](double g2) { return std::pow(g2, 0.25); })->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
