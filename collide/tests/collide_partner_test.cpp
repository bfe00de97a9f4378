// Near partners: each candidate's second particle the nearest of the cell's
// others to the first. The equilibrium rate against kinetic theory, the
// collision separation against the geometry of nearest neighbours, the
// partner of a particle's last pair set aside, the same bits for any split
// and from every form, and the refusals.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <collide/colider.h>
#include <collide/collide.h>

#include "flat_gas.h"

namespace {

using namespace collide_test;

const double kPi = 3.14159265358979323846;

// Hard spheres of one species in equilibrium (kT = 1, m = 1) in cells of
// `per_cell` particles, given N-bar = per_cell, each placed uniformly in a
// unit cube, placed anew before every call as free flight would. Returns
// the collisions over kinetic theory's select_coeff N^2 <g> a cell and a
// call, <g> = 4 / sqrt(pi), and adds to `separation`.
double rate_over_theory(int partner, int per_cell, double coeff, int calls, double separation[2]) {
  const int cells = 1000, particles = cells * per_cell;
  std::mt19937_64 engine(4242);
  std::normal_distribution<double> gauss;
  std::uniform_real_distribution<double> uniform;
  std::vector<double> velocity(3 * particles), position(3 * particles);
  for (double& v : velocity) v = gauss(engine);
  std::vector<double> max_rel_speed(cells, 6.0), remainder(cells, 0.5),
      mean_population(cells, per_cell);
  std::vector<int32_t> cell_of(particles), population(cells), start(cells), cross_ref(particles);
  for (int p = 0; p < particles; p++) cell_of[p] = p % cells;
  char message[300];
  EXPECT_EQ(collide_sort_cells(cell_of.data(), particles, cells, population.data(), start.data(),
                               cross_ref.data(), message, sizeof message), COLLIDE_OK);
  long long collisions = 0;
  for (int call = 0; call < calls; call++) {
    for (double& x : position) x = uniform(engine);
    collide_arguments a =
        arguments_over(velocity, max_rel_speed, remainder, population, start, cross_ref, coeff);
    a.mean_population = mean_population.data();
    a.position = position.data();
    a.separation = separation;
    a.partner = partner;
    int32_t n = 0;
    EXPECT_EQ(collide_keyed(&a, 77, static_cast<uint64_t>(call), &n, message, sizeof message),
              COLLIDE_OK) << message;
    collisions += n;
  }
  return collisions / (calls * coeff * cells * per_cell * per_cell * 4 / std::sqrt(kPi));
}

// About 1.1e6 collisions a run, a standard error of 0.1%: 0.5% is beyond
// the 0.1% level.
TEST(NearPartners, KeepTheEquilibriumRate) {
  double separation[2] = {0, 0};
  EXPECT_NEAR(rate_over_theory(COLLIDE_PARTNER_NEAREST, 30, 2.5e-3, 200, separation), 1.0, 0.005);
  EXPECT_NEAR(rate_over_theory(COLLIDE_PARTNER_RANDOM, 30, 2.5e-3, 200, separation), 1.0, 0.005);
}

// The mean distance from a point to the nearest of n - 1 others, all
// uniform in a unit cube, by sampling (about 0.20 for n = 30, against
// 0.6617 for a random other: the cube's sides make it some 10% more than
// Gamma(4/3) (3 / (4 pi (n - 1)))^(1/3) of unbounded space).
double nearest_neighbour_distance(int n, int samples, double& spread) {
  std::mt19937_64 engine(1717);
  std::uniform_real_distribution<double> uniform;
  std::vector<double> x(3 * n);
  double sum = 0, squares = 0;
  for (int s = 0; s < samples; s++) {
    for (double& v : x) v = uniform(engine);
    double nearest = 1e300;
    for (int k = 1; k < n; k++) {
      const double d = std::hypot(x[3 * k] - x[0], x[3 * k + 1] - x[1], x[3 * k + 2] - x[2]);
      nearest = std::min(nearest, d);
    }
    sum += nearest;
    squares += nearest * nearest;
  }
  spread = std::sqrt(squares / samples - (sum / samples) * (sum / samples));
  return sum / samples;
}

// Few collisions a cell and a call (about 0.3), so that the first
// particle's nearest is seldom its partner of earlier in the call: each
// accepted pair is then a random particle and its nearest neighbour, the
// acceptance depending on the velocities alone.
TEST(NearPartners, CutTheSeparationToTheNearestNeighbours) {
  double nearest[2] = {0, 0}, random[2] = {0, 0};
  rate_over_theory(COLLIDE_PARTNER_NEAREST, 30, 1.5e-4, 400, nearest);
  rate_over_theory(COLLIDE_PARTNER_RANDOM, 30, 1.5e-4, 400, random);
  double spread = 0;
  const int samples = 400000;
  const double geometry = nearest_neighbour_distance(30, samples, spread);
  const double unbounded = std::tgamma(4.0 / 3) * std::cbrt(3 / (4 * kPi * 29));
  EXPECT_GT(geometry, unbounded);
  EXPECT_LT(geometry, 1.2 * unbounded);
  ASSERT_GT(nearest[1], 5e4);
  const double measured = nearest[0] / nearest[1];
  const double error = spread * std::sqrt(1 / nearest[1] + 1.0 / samples);
  EXPECT_NEAR(measured, geometry, 3.5 * error) << "over " << nearest[1] << " pairs";
  // Random partners: Robbins' constant, the mean distance of two points.
  EXPECT_NEAR(random[0] / random[1], 0.66170718, 0.005);
  EXPECT_LT(measured / (random[0] / random[1]), 0.32);
}

// Three particles on a line at 0, 1 and 10, each its own species, of
// Maxwell molecules accepted every time. Without the rule 0 and 1 would
// pick each other always, and 2 pick 1: no pair (0, 2) would collide. With
// it, a particle whose nearest was its partner in its last pair takes the
// next nearest, so that no two pairs in a row are the same from the first
// particle's side.
TEST(NearPartners, SetAsideThePartnerOfTheLastPair) {
  std::vector<double> velocity = {1, 0, 0, -1, 0, 0, 0, 1, 0};
  const std::vector<double> position = {0, 0, 0, 1, 0, 0, 10, 0, 0};
  const std::vector<int32_t> species = {0, 1, 2}, population = {3}, start = {0},
                             cross_ref = {0, 1, 2};
  const double mass[3] = {1, 1, 1};
  const collide_model maxwell = VHS(1.0, 1.0);
  std::vector<int64_t> pairs(9, 0);
  double max_weight = 1.0, remainder = 0.0;
  collide_arguments a = {};
  a.size = sizeof a;
  a.velocity = velocity.data();
  a.particles = 3;
  a.max_rel_speed = &max_weight;
  a.select_remainder = &remainder;
  a.cell_population = population.data();
  a.cell_start = start.data();
  a.cells = 1;
  a.cross_ref = cross_ref.data();
  a.cross_ref_size = 3;
  a.select_coeff = 3000.0 / 6;  // 3000 candidates
  a.end_cell = 1;
  a.models = &maxwell;
  a.model_count = 1;
  a.model_size = sizeof maxwell;
  a.species = species.data();
  a.species_count = 3;
  a.mass = mass;
  a.pair_collisions = pairs.data();
  a.position = position.data();
  a.partner = COLLIDE_PARTNER_NEAREST;
  int32_t n = 0;
  char message[300];
  ASSERT_EQ(collide_keyed(&a, 1, 0, &n, message, sizeof message), COLLIDE_OK) << message;
  EXPECT_EQ(n, 3000);
  EXPECT_EQ(pairs[0 * 3 + 1] + pairs[0 * 3 + 2] + pairs[1 * 3 + 2], 3000);
  // 0 after (0, 1) takes 2, and so does 1; 2 after (2, 1) takes 0.
  EXPECT_GT(pairs[0 * 3 + 2], 300);
  EXPECT_GT(pairs[1 * 3 + 2], 300);
}

// The same bits for any split into ranges, in the C struct form and in
// colider_range, and between the two.
TEST(NearPartners, GiveTheSameBitsForAnySplitAndEveryForm) {
  FlatGas whole = random_gas(12);
  std::mt19937_64 engine(3);
  std::uniform_real_distribution<double> uniform;
  std::vector<double> position(3 * static_cast<size_t>(whole.particles()));
  for (double& x : position) x = uniform(engine);
  const std::vector<std::vector<int32_t>> splits = {{0, 12}, {0, 5, 12}, {0, 1, 7, 11, 12}};
  std::vector<FlatGas> results;
  for (const std::vector<int32_t>& split : splits) {
    FlatGas g = whole;
    for (size_t r = 0; r + 1 < split.size(); r++) {
      collide_arguments a = arguments_of(g, 0.01);
      a.first_cell = split[r];
      a.end_cell = split[r + 1];
      a.position = position.data();
      a.partner = COLLIDE_PARTNER_NEAREST;
      int32_t n = 0;
      char message[300];
      ASSERT_EQ(collide_keyed(&a, 8, 2, &n, message, sizeof message), COLLIDE_OK) << message;
    }
    results.push_back(g);
  }
  for (const FlatGas& g : results) EXPECT_EQ(g.velocity, results[0].velocity);
  // Nearest partners change which pairs collide.
  FlatGas random = whole;
  collide_arguments a = arguments_of(random, 0.01);
  int32_t n = 0;
  char message[300];
  ASSERT_EQ(collide_keyed(&a, 8, 2, &n, message, sizeof message), COLLIDE_OK);
  EXPECT_NE(random.velocity, results[0].velocity);

  MatrixGas cxx(whole);
  Matrix place(whole.particles(), 3);
  for (int p = 0; p < whole.particles(); p++)
    for (int d = 0; d < 3; d++) place(p + 1, d + 1) = position[3 * p + d];
  StepOptions options;
  options.position = &place;
  options.partner = COLLIDE_PARTNER_NEAREST;
  colider_range(cxx.velocity, cxx.max_rel_speed, cxx.select_remainder, 0.01, cxx.cells, 1, 12,
                CellStreams{8, 2}, HardSphere(), &options);
  EXPECT_TRUE(cxx.same_bits(results[0]));
}

TEST(NearPartners, AreRefusedWithoutPositionsOrOfAnUnknownKind) {
  FlatGas g = random_gas(2);
  const FlatGas before = g;
  char message[300];
  int32_t n = 0;
  collide_arguments a = arguments_of(g, 0.01);
  a.partner = COLLIDE_PARTNER_NEAREST;
  EXPECT_EQ(collide_keyed(&a, 1, 0, &n, message, sizeof message), COLLIDE_INVALID_ARGUMENT);
  EXPECT_STREQ(message, "collide_keyed: partner is COLLIDE_PARTNER_NEAREST without position; "
                        "give position too");
  a.partner = 2;
  EXPECT_EQ(collide_keyed(&a, 1, 0, &n, message, sizeof message), COLLIDE_INVALID_ARGUMENT);
  EXPECT_STREQ(message, "collide_keyed: partner is 2; it must be COLLIDE_PARTNER_RANDOM or "
                        "COLLIDE_PARTNER_NEAREST");
  std::vector<double> position(3 * static_cast<size_t>(g.particles()), 0.5);
  position[3 * g.cross_ref[g.start[4]] + 1] = kNaN;
  a.position = position.data();
  a.partner = COLLIDE_PARTNER_NEAREST;
  EXPECT_EQ(collide_keyed(&a, 1, 0, &n, message, sizeof message), COLLIDE_INVALID_ARGUMENT);
  EXPECT_NE(std::string(message).find("each component must be finite"), std::string::npos) << message;
  expect_unchanged(g, before, "a refused call");

  MatrixGas cxx(g);
  StepOptions options;
  options.partner = COLLIDE_PARTNER_NEAREST;
  EXPECT_THROW(colider_range(cxx.velocity, cxx.max_rel_speed, cxx.select_remainder, 0.01,
                             cxx.cells, 1, 12, CellStreams{1, 0}, HardSphere(), &options),
               ColiderError);
}

}  // namespace
