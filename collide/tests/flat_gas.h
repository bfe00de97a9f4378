// A gas in the C interface's flat arrays, for the tests of the C interface:
// the gas itself, the same gas with everything beyond hard spheres of one
// species, and the checks and callbacks the tests share.
#pragma once

#include <collide/collide.h>
#include <collide/colider.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <vector>

namespace collide_test {

// A gas in the C interface's flat, 0-based arrays.
struct FlatGas {
  std::vector<double> velocity, max_rel_speed, select_remainder;
  std::vector<int32_t> population, start, cross_ref;
  int32_t particles() const { return static_cast<int32_t>(velocity.size() / 3); }
  int32_t cells() const { return static_cast<int32_t>(population.size()); }
};

// 600 particles in 12 cells of uneven size, each particle in one cell,
// listed in an order unrelated to their numbers.
inline FlatGas random_gas(uint64_t seed) {
  std::mt19937_64 engine(seed);
  std::normal_distribution<double> gauss(0.0, 1.0);
  FlatGas g;
  for (int k = 0; k < 600 * 3; k++) g.velocity.push_back(gauss(engine));
  std::vector<std::vector<int32_t>> members(12);
  for (int32_t p = 0; p < 600; p++)
    members[std::uniform_int_distribution<int>(0, 11)(engine)].push_back(p);
  for (auto& cell : members) {
    std::shuffle(cell.begin(), cell.end(), engine);
    g.population.push_back(static_cast<int32_t>(cell.size()));
    g.start.push_back(static_cast<int32_t>(g.cross_ref.size()));
    g.cross_ref.insert(g.cross_ref.end(), cell.begin(), cell.end());
    g.max_rel_speed.push_back(3.0 + std::uniform_real_distribution<double>(0, 2)(engine));
    g.select_remainder.push_back(std::uniform_real_distribution<double>(0, 1)(engine));
  }
  return g;
}

// The struct form's arguments over a gas's flat arrays: one species of hard
// spheres, every cell, one coefficient; a test sets what else it needs.
inline collide_arguments arguments_over(std::vector<double>& velocity,
                                        std::vector<double>& max_rel_speed,
                                        std::vector<double>& select_remainder,
                                        const std::vector<int32_t>& population,
                                        const std::vector<int32_t>& start,
                                        const std::vector<int32_t>& cross_ref, double select_coeff) {
  collide_arguments a = {};
  a.size = sizeof a;
  a.velocity = velocity.data();
  a.particles = static_cast<int32_t>(velocity.size() / 3);
  a.max_rel_speed = max_rel_speed.data();
  a.select_remainder = select_remainder.data();
  a.cell_population = population.data();
  a.cell_start = start.data();
  a.cells = static_cast<int32_t>(population.size());
  a.cross_ref = cross_ref.data();
  a.cross_ref_size = static_cast<int32_t>(cross_ref.size());
  a.select_coeff = select_coeff;
  a.end_cell = a.cells;
  return a;
}

inline collide_arguments arguments_of(FlatGas& g, double select_coeff) {
  return arguments_over(g.velocity, g.max_rel_speed, g.select_remainder, g.population, g.start,
                        g.cross_ref, select_coeff);
}

// The same gas as Matrix and SortList, numbered from 1.
struct MatrixGas {
  Matrix velocity, max_rel_speed, select_remainder;
  SortList cells;
  explicit MatrixGas(const FlatGas& g)
      : velocity(g.particles(), 3),
        max_rel_speed(g.cells(), 1),
        select_remainder(g.cells(), 1),
        cells(g.cells(), static_cast<int>(g.cross_ref.size()) + 1) {
    for (int p = 0; p < g.particles(); p++)
      for (int k = 0; k < 3; k++) velocity(p + 1, k + 1) = g.velocity[3 * p + k];
    for (int c = 0; c < g.cells(); c++) {
      max_rel_speed(c + 1, 1) = g.max_rel_speed[c];
      select_remainder(c + 1, 1) = g.select_remainder[c];
      cells.cellPopulation[c + 1] = g.population[c];
      cells.cellStart[c + 1] = g.start[c] + 1;
    }
    for (size_t k = 0; k < g.cross_ref.size(); k++) cells.crossRef[k + 1] = g.cross_ref[k] + 1;
  }

  bool same_bits(const FlatGas& g) {
    for (int p = 0; p < g.particles(); p++)
      for (int k = 0; k < 3; k++)
        if (std::memcmp(&velocity(p + 1, k + 1), &g.velocity[3 * p + k], sizeof(double)) != 0)
          return false;
    for (int c = 0; c < g.cells(); c++)
      if (max_rel_speed(c + 1, 1) != g.max_rel_speed[c] ||
          select_remainder(c + 1, 1) != g.select_remainder[c])
        return false;
    return true;
  }
};

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// The arrays a refused call must leave as they were, byte for byte.
inline void expect_unchanged(const FlatGas& g, const FlatGas& before, const char* what) {
  EXPECT_EQ(std::memcmp(g.velocity.data(), before.velocity.data(), g.velocity.size() * 8), 0)
      << what;
  EXPECT_EQ(std::memcmp(g.max_rel_speed.data(), before.max_rel_speed.data(), 12 * 8), 0) << what;
  EXPECT_EQ(std::memcmp(g.select_remainder.data(), before.select_remainder.data(), 12 * 8), 0)
      << what;
}

// The struct form with everything beyond hard spheres of one species:
// two species of masses 1 and 3, a table of models, a coefficient per
// cell. Particle p's species is p mod 2.
struct Beyond {
  std::vector<int32_t> species;
  std::vector<double> coeff;
  double mass[2] = {1.0, 3.0};
  std::vector<collide_model> models = {VHS(0.8, 1.0), VSS(0.75, 1.5, 1.5, 1.2),
                                       VSS(0.75, 1.5, 1.5, 1.2), HardSphere(0.7)};
  explicit Beyond(const FlatGas& g) {
    for (int32_t p = 0; p < g.particles(); p++) species.push_back(p % 2);
    for (int32_t c = 0; c < g.cells(); c++) coeff.push_back(0.004 + 0.0003 * c);
  }
  collide_arguments of(FlatGas& g, int32_t first, int32_t end) const {
    collide_arguments a = arguments_of(g, 0.0);
    a.select_coeff_per_cell = coeff.data();
    a.first_cell = first;
    a.end_cell = end;
    a.models = models.data();
    a.model_count = 4;
    a.model_size = sizeof(collide_model);
    a.species_count = 2;
    a.species = species.data();
    a.mass = mass;
    return a;
  }
};

// A cancel callback that stops the call at its n-th question, and may
// spoil the arrays on an earlier one, as another thread could.
struct Stopper {
  int asked = 0, stop_at = 1 << 30, spoil_at = -1;
  std::function<void()> spoil;
  static int ask(void* self) {
    auto* s = static_cast<Stopper*>(self);
    if (++s->asked == s->spoil_at) s->spoil();
    return s->asked >= s->stop_at;
  }
};

// collide_keyed (key 4, step 0) over every cell of g with beyond's extras,
// spoil() called through the cancel callback before cell 8, as another
// thread could rewrite the arrays between two cells.
inline int keyed_spoiled_from_cell_8(FlatGas& g, Beyond& beyond, const std::function<void()>& spoil,
                                     char* message, size_t size) {
  collide_arguments a = beyond.of(g, 0, 12);
  Stopper stopper;
  stopper.spoil_at = 9;  // the 9th question comes before cell 8
  stopper.spoil = spoil;
  a.cancel = Stopper::ask;
  a.cancel_context = &stopper;
  int32_t collisions = 0;
  return collide_keyed(&a, 4, 0, &collisions, message, size);
}

}  // namespace collide_test
