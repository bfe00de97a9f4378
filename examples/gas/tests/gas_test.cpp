// The collide module inside a real simulation: a hard-sphere gas relaxing
// from one speed to Maxwell-Boltzmann, at a fixed seed. Thresholds are stated
// beside each check.
#include "gas.h"

#include <gtest/gtest.h>

#include <cmath>
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

}  // namespace
