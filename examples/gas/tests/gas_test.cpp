// The collide module inside a real simulation: a hard-sphere gas relaxing
// from one speed to Maxwell-Boltzmann, at a fixed seed. Thresholds are stated
// beside each check.
#include "gas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <memory>
#include <vector>

#include "run_program.h"
#include "statistics.h"

namespace {

// Each test relaxes a gas of its own: stepped until every particle has
// collided 15 times on average.
class GasRelaxation : public testing::Test {
 protected:
  void SetUp() override {
    start_kurtosis = gas->component_kurtosis();
    start_momentum = gas->momentum();
    start_energy = gas->energy();
    scale = gas->speed_sum();
    while (time < 15) time += 2.0 * gas->step() / gas->particles();
  }

  std::unique_ptr<HardSphereGas> gas = std::make_unique<HardSphereGas>(GasParameters{});
  double start_kurtosis = 0, start_energy = 0, scale = 0, time = 0;
  std::array<double, 3> start_momentum;
};

TEST_F(GasRelaxation, KurtosisGoesFromUniformToGaussian) {
  const double n = gas->particles();
  // A component of a fixed-speed velocity in a random direction is uniform:
  // kurtosis 1.8, whose sample estimate has variance 1.32 / n (delta method
  // with the uniform's moments); allow four standard errors.
  EXPECT_NEAR(start_kurtosis, 1.8, 4 * std::sqrt(1.32 / n));
  // A Gaussian's kurtosis is 3, estimated with variance 24 / n.
  EXPECT_NEAR(gas->component_kurtosis(), 3.0, 4 * std::sqrt(24 / n))
      << "after " << time << " collisions per particle";
}

TEST_F(GasRelaxation, MomentumAndEnergyAreConserved) {
  std::array<double, 3> momentum = gas->momentum();
  for (int k = 0; k < 3; k++)
    EXPECT_NEAR(momentum[k], start_momentum[k], 1e-10 * scale) << "component " << k;
  EXPECT_NEAR(gas->energy(), start_energy, 1e-10 * start_energy);
}

TEST_F(GasRelaxation, AcceptedCollisionsMatchTheRateOfTheCellsOwnPairs) {
  // Each call should accept sum over cells of N (N - 1) selectCoeff <w> on
  // average, <w> measured from the cell's own pairs. Accepted counts are
  // binomial, so their variance is below their mean: four standard errors
  // are at most 4 sqrt(expected).
  double expected = 0;
  long observed = 0;
  for (int call = 0; call < 20; call++) {
    gas->stream();
    gas->sort();
    expected += gas->expected_collisions();
    observed += gas->collide();
  }
  EXPECT_NEAR(static_cast<double>(observed), expected, 4 * std::sqrt(expected));
}

TEST_F(GasRelaxation, SpeedsFollowMaxwellBoltzmann) {
  for (int s = 0; s < 20; s++) gas->step();  // further from the start
  std::vector<double> speeds = gas->speeds();
  const double n = static_cast<double>(speeds.size());
  const double mean_square = gas->energy() / n;
  // Bins of 0.1 up to 2.5, the rest in one tail bin; the temperature comes
  // from the conserved energy, not from a fit, so k bins give k - 1 degrees
  // of freedom.
  std::vector<double> edges;
  for (int b = 0; b <= 25; b++) edges.push_back(0.1 * b);
  std::vector<double> observed(edges.size(), 0);
  for (double v : speeds) {
    size_t b = static_cast<size_t>(v / 0.1);
    observed[std::min(b, edges.size() - 1)] += 1;
  }
  double chi2 = 0;
  for (size_t b = 0; b < edges.size(); b++) {
    double upper = b + 1 < edges.size() ? maxwell_cdf(edges[b + 1], mean_square) : 1.0;
    double expected = n * (upper - maxwell_cdf(edges[b], mean_square));
    ASSERT_GE(expected, 5) << "bin " << b;
    chi2 += (observed[b] - expected) * (observed[b] - expected) / expected;
  }
  int dof = static_cast<int>(edges.size()) - 1;
  EXPECT_LT(chi2, chi_square_critical(dof)) << dof << " degrees of freedom";
}

TEST(MaxwellBoltzmann, DensityIntegratesToItsDistribution) {
  const double mean_square = 1.0;
  double integral = 0, step = 1e-4;
  for (double v = step / 2; v < 2.0; v += step) integral += maxwell_density(v, mean_square) * step;
  EXPECT_NEAR(integral, maxwell_cdf(2.0, mean_square), 1e-8);
  EXPECT_NEAR(maxwell_cdf(50.0, mean_square), 1.0, 1e-12);
  // The mean squared speed of the density is the one it was built from.
  double second_moment = 0;
  for (double v = step / 2; v < 10.0; v += step)
    second_moment += v * v * maxwell_density(v, 2.5) * step;
  EXPECT_NEAR(second_moment, 2.5, 1e-8);
}

TEST(GasRelaxProgram, WritesBothDataFiles) {
  Workspace dir;
  RunResult run = run_program(program_path("gas_relax"), "", dir);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(split_lines(dir.read("gas_kurtosis.dat")).size(), 151u);
  EXPECT_EQ(split_lines(dir.read("gas_speeds.dat")).size(), 40u);
  EXPECT_NE(run.out.find("hard-sphere theory"), std::string::npos) << run.out;
}

// The equilibrium rate by kinetic theory, worked out here from the run's
// parameters: every particle starts at speed 1 and energy is kept, so
// <v^2> = 1 and the mean relative speed is <w> = 4 / sqrt(3 pi). The N
// particles lie independently and evenly over 40 cells, so a cell's count n
// is binomial and the mean of n (n - 1) is N (N - 1) / 40^2: each particle
// collides 2 (N - 1) / 40 selectCoeff <w> times a step, with selectCoeff
// 1.5e-4 * 20000 / N. Below one particle a cell too, where the count per
// cell taken as N / 40 would make the rate negative.
double rate_by_theory(int particles) {
  const double select_coeff = 1.5e-4 * 20000 / particles;
  return 2.0 * (particles - 1) / 40 * select_coeff * 4 / std::sqrt(3 * M_PI);
}

// The two rates the summary's last line prints: measured, then theory.
std::pair<double, double> printed_rates(const std::string& out) {
  const std::string label = "collisions per particle and step in equilibrium: ";
  const size_t at = out.find(label);
  double measured = -1, theory = -1;
  if (at != std::string::npos)
    std::sscanf(out.c_str() + at + label.size(), "%lf (hard-sphere theory: %lf)", &measured,
                &theory);
  return {measured, theory};
}

TEST(GasRelaxProgram, TheoryRateHoldsForAnyParticleCount) {
  for (int particles : {2, 20, 39, 20000}) {
    Workspace dir;
    RunResult run = run_command({program_path("gas_relax"), std::to_string(particles), "2"}, "", dir);
    ASSERT_EQ(run.status, 0) << run.err;
    const double theory = printed_rates(run.out).second;
    EXPECT_GE(theory, 0) << particles << " particles: " << run.out;
    EXPECT_NEAR(theory, rate_by_theory(particles), 1e-5 * rate_by_theory(particles) + 1e-12)
        << particles << " particles";
  }
  // Ten particles a cell, over 10,000 steps: some 190,000 collisions in the
  // second half, a relative standard error near 0.3%. 2% is beyond four of
  // them; the count taken as 10 in every cell would predict 10% less.
  Workspace dir;
  RunResult run = run_command({program_path("gas_relax"), "400", "10000"}, "", dir);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NEAR(printed_rates(run.out).first, rate_by_theory(400), 0.02 * rate_by_theory(400))
      << run.out;
}

// The bookkeeping around colider, each part against what it must do.
GasParameters small_gas() {
  GasParameters parameters;
  parameters.particles = 2000;
  parameters.cells = 10;
  return parameters;
}

TEST(GasBookkeeping, StreamingMovesEachParticleByItsOwnVelocity) {
  HardSphereGas gas(small_gas());
  const std::vector<double> before = gas.positions();
  // Speeds of up to 50 box lengths a step, so that some wrap several times.
  for (int p = 1; p <= gas.particles(); p++)
    gas.velocities()(p, 1) = (p % 101 - 50) * 100.0 * p / gas.particles();
  gas.stream();
  const double dt = GasParameters().time_step, L = GasParameters().box;
  for (int p = 1; p <= gas.particles(); p++) {
    const double x = gas.positions()[p - 1];
    ASSERT_GE(x, 0.0) << "particle " << p;
    ASSERT_LT(x, L) << "particle " << p;
    // The move is v dt, give or take whole box lengths.
    const double laps = (x - before[p - 1] - gas.velocities()(p, 1) * dt) / L;
    ASSERT_NEAR(laps, std::round(laps), 1e-9) << "particle " << p;
  }
}

TEST(GasBookkeeping, EachParticleIsListedOnceInTheCellOfItsPosition) {
  HardSphereGas gas(small_gas());
  for (int round = 0; round < 3; round++) {
    const SortList& cells = gas.cells();
    std::vector<int> seen(gas.particles() + 1, 0);
    int position = 1;
    for (int c = 1; c <= cells.numCells; c++) {
      ASSERT_EQ(cells.cellStart[c], position) << "cell " << c;
      for (int k = 0; k < cells.cellPopulation[c]; k++) {
        const int p = cells.crossRef[cells.cellStart[c] + k];
        ASSERT_GE(p, 1);
        ASSERT_LE(p, gas.particles());
        seen[p]++;
        const double x = gas.positions()[p - 1];
        EXPECT_GE(x, (c - 1) * 0.1 - 1e-12) << "particle " << p << " in cell " << c;
        EXPECT_LT(x, c * 0.1 + 1e-12) << "particle " << p << " in cell " << c;
      }
      position += cells.cellPopulation[c];
    }
    EXPECT_EQ(position, gas.particles() + 1);
    for (int p = 1; p <= gas.particles(); p++) ASSERT_EQ(seen[p], 1) << "particle " << p;
    gas.step();
  }
}

TEST(GasBookkeeping, RenumberingKeepsEachPositionWithItsVelocity) {
  HardSphereGas gas(small_gas());
  for (int s = 0; s < 3; s++) gas.step();
  std::vector<std::array<double, 4>> before;
  for (int p = 1; p <= gas.particles(); p++)
    before.push_back({gas.positions()[p - 1], gas.velocities()(p, 1), gas.velocities()(p, 2),
                      gas.velocities()(p, 3)});
  gas.renumber_by_cell();
  std::vector<std::array<double, 4>> after;
  int previous_cell = 0;
  for (int p = 1; p <= gas.particles(); p++) {
    after.push_back({gas.positions()[p - 1], gas.velocities()(p, 1), gas.velocities()(p, 2),
                     gas.velocities()(p, 3)});
    const int cell = static_cast<int>(gas.positions()[p - 1] * 10);  // 10 cells of 0.1
    EXPECT_GE(cell, previous_cell) << "particle " << p << " is out of cell order";
    previous_cell = cell;
  }
  std::sort(before.begin(), before.end());
  std::sort(after.begin(), after.end());
  EXPECT_EQ(after, before) << "a particle's position and velocity must move together";
  // Numbered by cell, the lists count up from 1.
  for (int j = 1; j <= gas.particles(); j++) ASSERT_EQ(gas.cells().crossRef[j], j);
}

TEST(GasBookkeeping, KurtosisIsThatOfTheFirstComponentAlone) {
  HardSphereGas gas(small_gas());
  // x components of +-1 and 3: mean 0.4 over one in five at 3; the other
  // components far from it, so that using them shows.
  double m2 = 0, m4 = 0;
  const int n = gas.particles();
  for (int p = 1; p <= n; p++) {
    const double x = p % 5 == 0 ? 3.0 : (p % 2 == 0 ? 1.0 : -1.0);
    gas.velocities()(p, 1) = x;
    gas.velocities()(p, 2) = 40.0 + p % 7;
    gas.velocities()(p, 3) = -25.0 * (p % 3);
  }
  double mean = 0;
  for (int p = 1; p <= n; p++) mean += gas.velocities()(p, 1) / n;
  for (int p = 1; p <= n; p++) {
    const double d = gas.velocities()(p, 1) - mean;
    m2 += d * d / n;
    m4 += d * d * d * d / n;
  }
  EXPECT_NEAR(gas.component_kurtosis(), m4 / (m2 * m2), 1e-12);
}

TEST(GasRelaxProgram, TheSameBytesForAnyNumberOfThreads) {
  std::string out, kurtosis, speeds;
  for (const char* threads : {"1", "2", "4"}) {
    Workspace dir;
    RunResult run =
        run_command({program_path("gas_relax"), "4000", "30", "--threads", threads}, "", dir);
    ASSERT_EQ(run.status, 0) << threads << " threads: " << run.err;
    if (out.empty()) {
      out = run.out, kurtosis = dir.read("gas_kurtosis.dat"), speeds = dir.read("gas_speeds.dat");
      continue;
    }
    EXPECT_EQ(run.out, out) << threads << " threads";
    EXPECT_EQ(dir.read("gas_kurtosis.dat"), kurtosis) << threads << " threads";
    EXPECT_EQ(dir.read("gas_speeds.dat"), speeds) << threads << " threads";
  }
  EXPECT_EQ(split_lines(kurtosis).size(), 31u);
}

TEST(GasRelaxProgram, AThreadCountThatIsNotOneTo1024IsAUsageError) {
  for (const char* threads : {"0", "1025", "two", "1.5", ""}) {
    Workspace dir;
    RunResult run = run_command({program_path("gas_relax"), "--threads", threads}, "", dir);
    EXPECT_EQ(run.status, 2) << threads;
    EXPECT_EQ(run.err, std::string("gas_relax: expected a whole number from 1 to 1024 for --threads, not '") +
                           threads + "'; try --help\n");
    EXPECT_FALSE(dir.exists("gas_kurtosis.dat")) << threads;
  }
  Workspace dir;
  RunResult missing = run_command({program_path("gas_relax"), "--threads"}, "", dir);
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err, "gas_relax: unknown argument '--threads'; try --help\n");
  RunResult joined = run_command({program_path("gas_relax"), "100", "2", "--threads=3"}, "", dir);
  EXPECT_EQ(joined.status, 0) << joined.err;
}

TEST(GasRelaxProgram, SizesAreWholeNumbersByTheSuitesRule) {
  // 2e3 is 2000 written another way: the same run, byte for byte.
  Workspace plain, exponent;
  RunResult a = run_command({program_path("gas_relax"), "2000", "5"}, "", plain);
  RunResult b = run_command({program_path("gas_relax"), "2e3", "0.5e1"}, "", exponent);
  ASSERT_EQ(a.status, 0) << a.err;
  ASSERT_EQ(b.status, 0) << b.err;
  EXPECT_EQ(b.out, a.out);
  EXPECT_EQ(exponent.read("gas_kurtosis.dat"), plain.read("gas_kurtosis.dat"));
  EXPECT_EQ(split_lines(plain.read("gas_kurtosis.dat")).size(), 6u);
  for (const char* size : {"2.5", "12abc", "0", "100000001", "1e9", "0x10", ""}) {
    Workspace dir;
    RunResult run = run_command({program_path("gas_relax"), "100", size}, "", dir);
    EXPECT_EQ(run.status, 2) << size;
    EXPECT_EQ(run.err, std::string("gas_relax: expected a whole number from 1 to 100000000, not '") +
                           size + "'; try --help\n");
    EXPECT_FALSE(dir.exists("gas_kurtosis.dat")) << size;
  }
  // One particle has no partner, and its kurtosis would be 0 / 0: refused
  // before any Data file is touched (it printed "-nan" as data).
  for (const char* one : {"1", "1e0"}) {
    Workspace dir;
    RunResult run = run_command({program_path("gas_relax"), one, "5"}, "", dir);
    EXPECT_EQ(run.status, 2) << one;
    EXPECT_EQ(run.err, "gas_relax: a gas of 1 particle cannot collide; give PARTICLES of 2 or more\n");
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(dir.exists("gas_kurtosis.dat"));
  }
}

}  // namespace

namespace {

// gas_mixture: 10000 particles of each species. Each species' temperature
// wanders about its expected value by about T sqrt(2 / (3 N_s) / 2) as
// energy passes between them at random (0.012 at T = 2); the checks allow
// 3.29 times that, the 0.1% level.
// gas_diatomic: 20000 molecules, so each temperature scatters by about 1%
// about its expected value from step to step. Energy is kept line by line
// (to the six printed digits), the three temperatures follow Jeans' and
// Landau and Teller's curves within 1.5% on average, and all three end
// within 2% of the common temperature of the energy, which the program
// works out from (5/2) T + theta_v / (exp(theta_v / T) - 1) = (3/2) 10000 K.
TEST(GasDiatomicProgram, RotationAndVibrationFollowTheirTheoryToTheCommonTemperature) {
  Workspace dir;
  RunResult run = run_program(program_path("gas_diatomic"), "", dir);
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = split_lines(dir.read("gas_diatomic.dat"));
  ASSERT_EQ(lines.size(), 601u);
  EXPECT_EQ(lines[0], "0 10000 0 0 10000 0 0") << "hot in translation alone";
  const double theta = 3371;
  auto vibrational_energy = [&](double t) { return t > 0 ? theta / std::expm1(theta / t) : 0.0; };
  double sum[3] = {0, 0, 0};
  int points = 0;
  double time = 0, t[6] = {0, 0, 0, 0, 0, 0};
  for (const std::string& line : lines) {
    ASSERT_EQ(std::sscanf(line.c_str(), "%lf %lf %lf %lf %lf %lf %lf", &time, &t[0], &t[1],
                          &t[2], &t[3], &t[4], &t[5]), 7) << line;
    EXPECT_NEAR(1.5 * t[0] + t[1] + vibrational_energy(t[2]), 15000, 0.05) << "energy, at " << time;
    if (time < 2) continue;
    for (int k = 0; k < 3; k++) sum[k] += std::fabs(t[k] / t[k + 3] - 1);
    points++;
  }
  EXPECT_GT(time, 60.0) << "long enough to relax";
  // The common temperature, solved here by bisection.
  double low = 0, high = 15000;
  for (int k = 0; k < 100; k++) {
    const double mid = (low + high) / 2;
    (2.5 * mid + vibrational_energy(mid) < 15000 ? low : high) = mid;
  }
  for (int k = 0; k < 3; k++) {
    EXPECT_LT(sum[k] / points, 0.015) << "mode " << k << ": mean deviation from theory";
    EXPECT_NEAR(t[k] / low, 1.0, 0.02) << "mode " << k << " at the end";
  }
  const std::string label = "common temperature of the energy (K): ";
  const size_t at = run.out.find(label);
  ASSERT_NE(at, std::string::npos) << run.out;
  EXPECT_NEAR(std::atof(run.out.c_str() + at + label.size()), low, 0.01) << run.out;
}

TEST(GasMixtureProgram, BothSpeciesFollowTheTheoryToTheCommonTemperature) {
  Workspace dir;
  RunResult run = run_program(program_path("gas_mixture"), "", dir);
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = split_lines(dir.read("gas_mixture.dat"));
  ASSERT_EQ(lines.size(), 101u);
  EXPECT_EQ(lines[0], "0 1 3 1 3") << "light at temperature 1, heavy at 3";
  const double spread = 3.29 * 2 * std::sqrt(2.0 / (3 * 10000) / 2);
  double time = 0, light = 0, heavy = 0, light_theory = 0, heavy_theory = 0;
  for (const std::string& line : lines) {
    ASSERT_EQ(std::sscanf(line.c_str(), "%lf %lf %lf %lf %lf", &time, &light, &heavy,
                          &light_theory, &heavy_theory), 5) << line;
    EXPECT_NEAR(light, light_theory, spread) << "at " << time << " collisions per particle";
    EXPECT_NEAR(heavy, heavy_theory, spread) << "at " << time << " collisions per particle";
    EXPECT_NEAR(light + heavy, 4.0, 1e-4) << "energy kept, at " << time;
  }
  EXPECT_GT(time, 15.0) << "long enough to relax";
  EXPECT_NEAR(light, 2.0, spread);
  EXPECT_NEAR(heavy, 2.0, spread);
  EXPECT_NE(run.out.find("(common: 2)"), std::string::npos) << run.out;
}

}  // namespace

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

// 10^8 particles need some 5 GB; with 2 GB of address space the run ends
// with one line and status 1, not an uncaught std::bad_alloc (status 134).
TEST(GasRelaxProgram, ShortOfMemoryIsOneLineAndStatusOne) {
  if (kAddressSanitizer) GTEST_SKIP() << "AddressSanitizer needs more address space than the limit";
  Workspace dir;
  RunResult run = run_started_with(
      {"/bin/sh", "-c", "ulimit -v 2000000 && exec \"$0\" 100000000 1", program_path("gas_relax")},
      "", dir, StartedWith{});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_EQ(run.err, "gas_relax: 100000000 particles do not fit in memory\n");
}

}  // namespace
