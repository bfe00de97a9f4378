// The edges of what a call takes: masses and models at the ends of the
// doubles, and arrays rewritten while a call runs, as another thread could.
// Each call either refuses with nothing changed, or succeeds with every
// array finite and the gas's momentum and energy kept.
#include <collide/collide.h>
#include <collide/colider.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "flat_gas.h"

namespace {

using namespace collide_test;

// Momentum and energy in units of the heaviest mass, which only the masses'
// ratios decide and which no mass of a double can overflow.
struct Totals {
  double momentum[3] = {0, 0, 0}, momentum_scale = 0, energy = 0;
};

Totals totals(const FlatGas& g, const Beyond& b) {
  const double heaviest = std::fmax(b.mass[0], b.mass[1]);
  Totals t;
  for (int32_t p = 0; p < g.particles(); p++) {
    const double m = b.mass[b.species[p]] / heaviest;
    for (int k = 0; k < 3; k++) {
      const double v = g.velocity[3 * p + k];
      t.momentum[k] += m * v;
      t.momentum_scale += m * std::fabs(v);
      t.energy += m * v * v;
    }
  }
  return t;
}

bool all_finite(const std::vector<double>& values) {
  for (double v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

struct Extreme {
  const char* what;
  double mass[2];
  double speed;                // the velocities' scale
  double max_rel_speed;        // every cell's stored estimate at first
  std::vector<collide_model> models;  // one for every pair, or the 2 x 2 table
  const char* refusal;         // a regular expression; nullptr: the call succeeds
};

// The weight of every pair under one VHS model, g_ref^(2 omega - 1) g^(2 - 2 omega),
// worked out in logarithms: none of its factors can overflow.
double vhs_weight(double omega, double g_ref, double g) {
  return std::exp((2 * omega - 1) * std::log(g_ref) + (2 - 2 * omega) * std::log(g));
}

TEST(CollideLimits, ExtremeMassesAndModelsAreRefusedOrLeaveTheGasFiniteAndConserved) {
  const Beyond usual(random_gas(1));
  // Past what a constructor takes, set on a model's copy as a C caller could.
  collide_model hard_spheres_1e308 = HardSphere(), vss_dbl_max = VSS(1.0, 1e150, 2.0);
  hard_spheres_1e308.scale = 1e308;
  vss_dbl_max.scale = DBL_MAX;
  const std::vector<Extreme> cases = {
      {"masses 1e308 and 1.5e308", {1e308, 1.5e308}, 1.0, 4.0, usual.models, nullptr},
      {"masses 1e300 and 4e300 at speeds near 1e10", {1e300, 4e300}, 1e10, 4.0, usual.models,
       nullptr},
      {"masses 5e-324 and 1.5e-323 (subnormal)", {5e-324, 1.5e-323}, 1.0, 4.0, usual.models,
       "^collide_keyed: mass\\[0\\] is 5e-324; a mass must be a normal double, at least "
       "2.2250738585072014e-308$"},
      {"masses 1 and 1e101", {1.0, 1e101}, 1.0, 4.0, usual.models,
       "^collide_keyed: mass\\[1\\] / mass\\[0\\] is 1e\\+101; the masses' ratios must be at "
       "most 1e100$"},
      {"hard spheres of scale 1e308", {1.0, 3.0}, 1.0, 4.0, {hard_spheres_1e308},
       "^collide_keyed: models\\[0\\]\\.scale is 1e\\+308; it must be above 0 and at most 1e100$"},
      {"VSS(1, 1e150, 2, DBL_MAX)", {1.0, 3.0}, 1.0, 4.0, {vss_dbl_max},
       "^collide_keyed: models\\[0\\]\\.scale is 1.7976931348623157e\\+308; it must be above 0 "
       "and at most 1e100$"},
      // g^2 / g_ref^2 near 1e320 overflows; the weight itself is near 1e-22.
      {"VHS(0.6, 1e-150) at speeds near 1e10", {1.0, 3.0}, 1e10, 1e-22, {VHS(0.6, 1e-150)},
       nullptr},
  };
  for (const Extreme& c : cases) {
    FlatGas g = random_gas(12);
    Beyond b(g);
    b.mass[0] = c.mass[0], b.mass[1] = c.mass[1];
    b.models = c.models;
    for (double& v : g.velocity) v *= c.speed;
    for (int32_t cell = 0; cell < g.cells(); cell++) {
      g.max_rel_speed[cell] = c.max_rel_speed;
      // About 40 candidates a cell, whatever the estimate.
      b.coeff[cell] = 40 / (g.population[cell] * (g.population[cell] - 1.0) * c.max_rel_speed);
    }
    collide_arguments a = b.of(g, 0, 12);
    a.model_count = static_cast<int32_t>(c.models.size());
    const FlatGas before = g;
    const Totals start = totals(g, b);
    int32_t collisions = -7;
    char message[400];
    const int code = collide_keyed(&a, 5, 1, &collisions, message, sizeof message);
    if (c.refusal != nullptr) {
      EXPECT_EQ(code, COLLIDE_INVALID_ARGUMENT) << c.what;
      EXPECT_TRUE(std::regex_search(message, std::regex(c.refusal)))
          << c.what << ": " << message << "\n  expected to match: " << c.refusal;
      expect_unchanged(g, before, c.what);
      continue;
    }
    ASSERT_EQ(code, COLLIDE_OK) << c.what << ": " << message;
    EXPECT_GT(collisions, 100) << c.what << ": too few collisions to show anything";
    EXPECT_TRUE(all_finite(g.velocity)) << c.what;
    EXPECT_TRUE(all_finite(g.max_rel_speed)) << c.what;
    EXPECT_TRUE(all_finite(g.select_remainder)) << c.what;
    const Totals end = totals(g, b);
    for (int k = 0; k < 3; k++)
      EXPECT_NEAR(end.momentum[k], start.momentum[k], 1e-13 * start.momentum_scale)
          << c.what << ", component " << k;
    EXPECT_NEAR(end.energy, start.energy, 1e-13 * start.energy) << c.what;
    if (c.models.size() == 1 && c.models[0].kind == COLLIDE_VHS) {
      // No pair is more than 20 times the fastest particle's speed apart.
      double fastest = 0;
      for (double v : before.velocity) fastest = std::fmax(fastest, std::fabs(v));
      const double bound = vhs_weight(c.models[0].omega, c.models[0].g_ref, 20 * fastest);
      for (int32_t cell = 0; cell < g.cells(); cell++)
        EXPECT_LE(g.max_rel_speed[cell], bound) << c.what << ", cell " << cell;
    }
  }
}

// Masses and models rewritten between two cells, through the cancel
// callback, as another thread could: the call stops where a value it reads
// is out of range, and never writes a value that is not finite.
TEST(CollideLimits, MassesAndModelsRewrittenDuringTheCallAreCheckedWhereTheyAreRead) {
  struct Case {
    const char* what;
    std::function<void(Beyond&)> spoil;
    const char* refusal;  // nullptr: the call goes on and succeeds
  };
  const Case cases[] = {
      {"a mass far beyond the others", [](Beyond& b) { b.mass[1] = 1e308; },
       "^collide_keyed: mass\\[1\\] is 1e\\+308 in cell 8; it changed during the call"},
      {"a mass that is not a number", [](Beyond& b) { b.mass[0] = kNaN; },
       "^collide_keyed: mass\\[0\\] is -?nan in cell 8; it changed during the call"},
      {"a negative mass", [](Beyond& b) { b.mass[1] = -3; },
       "^collide_keyed: mass\\[1\\] is -3 in cell 8"},
      {"an omega out of range", [](Beyond& b) { b.models[0].omega = 5; },
       "^collide_keyed: models\\[0\\]\\.omega is 5; it must lie in \\[0\\.5, 1\\]$"},
      {"an alpha below 0", [](Beyond& b) { b.models[1].alpha = b.models[2].alpha = -1; },
       "^collide_keyed: models\\[[12]\\]\\.alpha is -1; it must lie in \\[1, 2\\]$"},
      {"an unknown kind", [](Beyond& b) { b.models[3].kind = 7; },
       "^collide_keyed: models\\[3\\]\\.kind is 7; it must be one of"},
      {"a lighter mass, within the range checked", [](Beyond& b) { b.mass[1] = 2; }, nullptr},
  };
  for (const Case& c : cases) {
    FlatGas g = random_gas(9);
    Beyond beyond(g);
    char message[300];
    const int code =
        keyed_spoiled_from_cell_8(g, beyond, [&] { c.spoil(beyond); }, message, sizeof message);
    EXPECT_TRUE(all_finite(g.velocity)) << c.what;
    EXPECT_TRUE(all_finite(g.max_rel_speed)) << c.what;
    if (c.refusal == nullptr) {
      EXPECT_EQ(code, COLLIDE_OK) << c.what << ": " << message;
      continue;
    }
    EXPECT_EQ(code, COLLIDE_INVALID_ARGUMENT) << c.what;
    EXPECT_TRUE(std::regex_search(message, std::regex(c.refusal))) << c.what << ": " << message;
  }
}

// cell_of rewritten by another thread while the lists are made: every call
// ends with COLLIDE_OK or COLLIDE_INVALID_ARGUMENT, and never reads or writes
// outside its arrays (which AddressSanitizer would report), in the C form
// and the C++ one.
TEST(SortCells, ARacingRewriteOfCellOfStaysInsideTheArrays) {
  const int32_t particles = 20000, cells = 50;
  // cell_of for the C form, from 0, and for the C++ form, from 1.
  std::vector<int32_t> cell_of(particles), cell_of_cxx(particles);
  for (int32_t p = 0; p < particles; p++) cell_of[p] = p % cells, cell_of_cxx[p] = p % cells + 1;
  std::vector<int32_t> population(cells), start(cells), cross_ref(particles);
  SortList lists(cells, particles + 1);
  std::atomic<bool> done{false};
  // Writes a value out of range or of another cell and puts the old one
  // back, over and over, so that the passes of a call see different values.
  std::thread rewriter([&] {
    std::mt19937 engine(3);
    std::uniform_int_distribution<int32_t> particle(0, particles - 1), cell(-3, cells + 3);
    volatile int32_t* const shared[2] = {cell_of.data(), cell_of_cxx.data()};
    for (unsigned round = 0; !done; round++) {
      volatile int32_t* array = shared[round % 2];
      const int32_t p = particle(engine);
      const int32_t old = array[p];
      array[p] = cell(engine);
      for (int k = 0; k < 2000; k++) static_cast<void>(array[k]);
      array[p] = old;
    }
  });
  int ok = 0, refused = 0, other = 0;
  for (int call = 0; call < 400; call++) {
    char message[200];
    const int code = collide_sort_cells(cell_of.data(), particles, cells, population.data(),
                                        start.data(), cross_ref.data(), message, sizeof message);
    (code == COLLIDE_OK ? ok : code == COLLIDE_INVALID_ARGUMENT ? refused : other)++;
    try {
      sort_into_cells(cell_of_cxx.data(), particles, lists);
    } catch (const ColiderError&) {
    }
  }
  done = true;
  rewriter.join();
  EXPECT_EQ(other, 0) << ok << " calls ended with COLLIDE_OK, " << refused << " were refused";
}

}  // namespace
