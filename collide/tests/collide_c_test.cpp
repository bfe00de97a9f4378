// The C interface: the same bits as the C++ forms on the same gas, and every
// refused argument answered with a code and a message, the arrays untouched.
#include <collide/collide.h>
#include <collide/colider.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "flat_gas.h"

namespace {

using namespace collide_test;

int keyed(FlatGas& g, double coeff, int32_t first, int32_t end, uint64_t key, uint64_t step,
          int32_t* collisions, char* message, size_t size) {
  return collide_cells_keyed(g.velocity.data(), g.particles(), g.max_rel_speed.data(),
                             g.select_remainder.data(), g.population.data(), g.start.data(),
                             g.cells(), g.cross_ref.data(),
                             static_cast<int32_t>(g.cross_ref.size()), coeff, first, end, key,
                             step, collisions, message, size);
}

double next_from(void* context) { return (*static_cast<std::function<double()>*>(context))(); }

int with(FlatGas& g, double coeff, std::function<double()>& next, int32_t* collisions,
         char* message, size_t size) {
  return collide_cells_with(g.velocity.data(), g.particles(), g.max_rel_speed.data(),
                            g.select_remainder.data(), g.population.data(), g.start.data(),
                            g.cells(), g.cross_ref.data(),
                            static_cast<int32_t>(g.cross_ref.size()), coeff, 0, g.cells(),
                            next_from, &next, collisions, message, size);
}

TEST(CollideC, KeyedCellsGiveTheBitsOfTheCxxRangeForm) {
  FlatGas flat = random_gas(1);
  MatrixGas matrices(flat);
  long total = 0;
  for (uint64_t step = 0; step < 5; step++) {
    // The C calls in two ranges, the second first; the C++ call in one.
    int32_t low = -1, high = -1;
    char message[200];
    ASSERT_EQ(keyed(flat, 0.004, 5, 12, 77, step, &high, message, sizeof message), COLLIDE_OK)
        << message;
    ASSERT_EQ(keyed(flat, 0.004, 0, 5, 77, step, &low, message, sizeof message), COLLIDE_OK)
        << message;
    const int expected = colider_range(matrices.velocity, matrices.max_rel_speed,
                                       matrices.select_remainder, 0.004, matrices.cells, 1, 12,
                                       CellStreams{77, step});
    EXPECT_EQ(low + high, expected) << "step " << step;
    EXPECT_TRUE(matrices.same_bits(flat)) << "step " << step;
    total += expected;
  }
  EXPECT_GT(total, 1000) << "too few collisions to show anything";
}

TEST(CollideC, ACallersGeneratorGivesTheBitsOfTheCallableForm) {
  FlatGas flat = random_gas(2);
  MatrixGas matrices(flat);
  std::mt19937_64 c_engine(5), cxx_engine(5);
  std::uniform_real_distribution<double> c_uniform, cxx_uniform;
  std::function<double()> next = [&] { return c_uniform(c_engine); };
  for (int step = 0; step < 5; step++) {
    int32_t collisions = -1;
    char message[200];
    ASSERT_EQ(with(flat, 0.004, next, &collisions, message, sizeof message), COLLIDE_OK) << message;
    EXPECT_EQ(collisions, colider(matrices.velocity, matrices.max_rel_speed, 0.0,
                                  [&] { return cxx_uniform(cxx_engine); },
                                  matrices.select_remainder, 0.004, matrices.cells));
    EXPECT_TRUE(matrices.same_bits(flat)) << "step " << step;
  }
}

struct Refusal {
  const char* what;
  std::function<void(FlatGas&, double& coeff, int32_t& first, int32_t& end)> spoil;
  const char* message;  // a regular expression
};

const Refusal kRefusals[] = {
    {"a cell range past the cells", [](FlatGas&, double&, int32_t&, int32_t& end) { end = 13; },
     "^collide_cells_keyed: first_cell 0 and end_cell 13 are not a range within 0 to cells = 12$"},
    {"a reversed range", [](FlatGas&, double&, int32_t& first, int32_t& end) { first = 4, end = 3; },
     "first_cell 4 and end_cell 3 are not a range"},
    {"a particle index past the particles", [](FlatGas& g, double&, int32_t&, int32_t&) {
       g.cross_ref[g.start[3] + 1] = 600; },
     "^collide_cells_keyed: cross_ref\\[[0-9]+\\] is 600 in cell 3; a particle index must lie in "
     "\\[0, 600\\)$"},
    {"a negative particle index", [](FlatGas& g, double&, int32_t&, int32_t&) {
       g.cross_ref[g.start[11]] = -1; },
     "cross_ref\\[[0-9]+\\] is -1 in cell 11"},
    {"a cell running past cross_ref", [](FlatGas& g, double&, int32_t&, int32_t&) {
       g.start[11] = static_cast<int32_t>(g.cross_ref.size()) - 1; },
     "^collide_cells_keyed: cell_start\\[11\\] is [0-9]+ in cell 11; with cell_population\\[11\\] "
     "= [0-9]+ the cell must lie within cross_ref_size = 600$"},
    {"a negative cell start", [](FlatGas& g, double&, int32_t&, int32_t&) { g.start[2] = -4; },
     "cell_start\\[2\\] is -4 in cell 2"},
    {"a maximum that is not a number", [](FlatGas& g, double&, int32_t&, int32_t&) {
       g.max_rel_speed[7] = kNaN; },
     "^collide_cells_keyed: max_rel_speed is -?nan in cell 7; it must be finite$"},
    {"an infinite remainder", [](FlatGas& g, double&, int32_t&, int32_t&) {
       g.select_remainder[9] = -std::numeric_limits<double>::infinity(); },
     "^collide_cells_keyed: select_remainder is -inf in cell 9; it must be finite$"},
    {"a coefficient of 1e300", [](FlatGas&, double& coeff, int32_t&, int32_t&) { coeff = 1e300; },
     "^collide_cells_keyed: the expected candidate count N select_coeff \\(N - 1\\) max_rel_speed "
     "\\+ select_remainder is .* in cell 0"},
};

TEST(CollideC, EachRefusalSaysWhyAndChangesNothing) {
  for (const Refusal& refusal : kRefusals) {
    FlatGas g = random_gas(3);
    double coeff = 0.004;
    int32_t first = 0, end = 12;
    refusal.spoil(g, coeff, first, end);
    const FlatGas before = g;
    int32_t collisions = -7;
    char message[400];
    EXPECT_EQ(keyed(g, coeff, first, end, 1, 1, &collisions, message, sizeof message),
              COLLIDE_INVALID_ARGUMENT) << refusal.what;
    EXPECT_TRUE(std::regex_search(message, std::regex(refusal.message)))
        << refusal.what << ": " << message << "\n  expected to match: " << refusal.message;
    EXPECT_EQ(collisions, -7) << refusal.what;
    expect_unchanged(g, before, refusal.what);
  }
}

TEST(CollideC, NullArraysAndGeneratorsAreRefusedByName) {
  FlatGas g = random_gas(4);
  int32_t collisions = 0;
  char message[200];
  EXPECT_EQ(collide_cells_keyed(nullptr, 600, g.max_rel_speed.data(), g.select_remainder.data(),
                                g.population.data(), g.start.data(), 12, g.cross_ref.data(), 600,
                                0.004, 0, 12, 1, 1, &collisions, message, sizeof message),
            COLLIDE_INVALID_ARGUMENT);
  EXPECT_STREQ(message, "collide_cells_keyed: velocity is NULL");
  EXPECT_EQ(keyed(g, 0.004, 0, 12, 1, 1, nullptr, message, sizeof message),
            COLLIDE_INVALID_ARGUMENT);
  EXPECT_STREQ(message, "collide_cells_keyed: collisions is NULL");
  EXPECT_EQ(collide_cells_with(g.velocity.data(), 600, g.max_rel_speed.data(),
                               g.select_remainder.data(), g.population.data(), g.start.data(), 12,
                               g.cross_ref.data(), 600, 0.004, 0, 12, nullptr, nullptr,
                               &collisions, message, sizeof message),
            COLLIDE_INVALID_ARGUMENT);
  EXPECT_STREQ(message, "collide_cells_with: next is NULL");
  // An empty range reads no array at all.
  EXPECT_EQ(collide_cells_keyed(nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0, nullptr, 0,
                                0.004, 0, 0, 1, 1, &collisions, message, sizeof message),
            COLLIDE_OK);
  EXPECT_EQ(collisions, 0);
}

TEST(CollideC, ABadDeviateStopsTheCallWithItsMessageCutToTheBuffer) {
  FlatGas g = random_gas(5);
  std::function<double()> one = [] { return 1.0; };
  int32_t collisions = 0;
  char message[200];
  EXPECT_EQ(with(g, 0.004, one, &collisions, message, sizeof message), COLLIDE_INVALID_ARGUMENT);
  EXPECT_STREQ(message,
               "collide_cells_with: u1, the first particle's deviate, is 1 in cell 0; a deviate "
               "must lie in [0, 1)");
  char small[11];
  std::memset(small, 'x', sizeof small);
  EXPECT_EQ(with(g, 0.004, one, &collisions, small, sizeof small), COLLIDE_INVALID_ARGUMENT);
  EXPECT_STREQ(small, "collide_ce") << "cut to 10 bytes and its 0";
  EXPECT_EQ(with(g, 0.004, one, &collisions, nullptr, 0), COLLIDE_INVALID_ARGUMENT);
}

TEST(CollideC, TheStructFormGivesTheBitsOfTheCxxFormsForAMixture) {
  FlatGas flat = random_gas(6), flat_with = random_gas(6);
  MatrixGas matrices(flat), matrices_with(flat);
  const Beyond beyond(flat);
  std::vector<int> species(1, 0);  // C++ numbers particles from 1
  species.insert(species.end(), beyond.species.begin(), beyond.species.end());
  Matrix coeff(12, 1);
  for (int c = 0; c < 12; c++) coeff(c + 1, 1) = beyond.coeff[c];
  const Mixture mixture = {2, species.data(), beyond.mass, beyond.models.data(), 4};
  std::mt19937_64 c_engine(8), cxx_engine(8);
  std::uniform_real_distribution<double> c_uniform, cxx_uniform;
  std::function<double()> next = [&] { return c_uniform(c_engine); };
  long total = 0;
  for (uint64_t step = 0; step < 5; step++) {
    int32_t low = -1, high = -1, drawn = -1;
    char message[200];
    const collide_arguments upper = beyond.of(flat, 5, 12), lower = beyond.of(flat, 0, 5);
    ASSERT_EQ(collide_keyed(&upper, 77, step, &high, message, sizeof message), COLLIDE_OK) << message;
    ASSERT_EQ(collide_keyed(&lower, 77, step, &low, message, sizeof message), COLLIDE_OK) << message;
    const int expected = colider_range(matrices.velocity, matrices.max_rel_speed,
                                       matrices.select_remainder, coeff, matrices.cells, 1, 12,
                                       CellStreams{77, step}, mixture);
    EXPECT_EQ(low + high, expected) << "step " << step;
    EXPECT_TRUE(matrices.same_bits(flat)) << "step " << step;

    const collide_arguments all = beyond.of(flat_with, 0, 12);
    ASSERT_EQ(collide_with(&all, next_from, &next, &drawn, message, sizeof message), COLLIDE_OK)
        << message;
    EXPECT_EQ(drawn, colider(matrices_with.velocity, matrices_with.max_rel_speed, 0.0,
                             [&] { return cxx_uniform(cxx_engine); },
                             matrices_with.select_remainder, coeff, matrices_with.cells, mixture));
    EXPECT_TRUE(matrices_with.same_bits(flat_with)) << "step " << step;
    total += expected;
  }
  EXPECT_GT(total, 1000) << "too few collisions to show anything";
}

struct StructRefusal {
  const char* what;
  std::function<void(collide_arguments&, FlatGas&, Beyond&)> spoil;
  const char* message;  // a regular expression
};

const StructRefusal kStructRefusals[] = {
    {"a null struct", [](collide_arguments&, FlatGas&, Beyond&) {},  // replaced below
     "^collide_keyed: arguments is NULL$"},
    {"a struct of another layout", [](collide_arguments& a, FlatGas&, Beyond&) { a.size -= 16; },
     "^collide_keyed: arguments->size is [0-9]+; this collide's collide_arguments has [0-9]+ bytes: "
     "set size to sizeof\\(collide_arguments\\), built against this collide.h$"},
    {"an unknown kind", [](collide_arguments&, FlatGas&, Beyond& b) { b.models[3].kind = 0; },
     "^collide_keyed: models\\[3\\]\\.kind is 0; it must be one of 1 \\(HardSphere\\), 2 "
     "\\(VHS\\), 3 \\(VSS\\)$"},
    {"an alpha out of range", [](collide_arguments&, FlatGas&, Beyond& b) {
       b.models[1].alpha = b.models[2].alpha = 2.5; },
     "^collide_keyed: models\\[1\\]\\.alpha is 2\\.5; it must lie in \\[1, 2\\]$"},
    {"a table that is not symmetric", [](collide_arguments&, FlatGas&, Beyond& b) {
       b.models[2].scale = 1.3; },
     "^collide_keyed: models\\[2\\] and models\\[1\\] differ, for species 1 and 0; the table must "
     "be symmetric$"},
    {"a model count that fits no table", [](collide_arguments& a, FlatGas&, Beyond&) {
       a.model_count = 2; },
     "^collide_keyed: model_count is 2; it must be 1 \\(one model for every pair\\) or "
     "species_count\\^2 = 4$"},
    {"a mass of 0", [](collide_arguments&, FlatGas&, Beyond& b) { b.mass[0] = 0; },
     "^collide_keyed: mass\\[0\\] is 0; a mass must be finite and above 0$"},
    {"an infinite mass", [](collide_arguments&, FlatGas&, Beyond& b) {
       b.mass[1] = std::numeric_limits<double>::infinity(); },
     "^collide_keyed: mass\\[1\\] is inf; a mass must be finite and above 0$"},
    {"species without masses", [](collide_arguments& a, FlatGas&, Beyond&) { a.mass = nullptr; },
     "^collide_keyed: mass is NULL, with species_count 2$"},
    {"masses without a species count", [](collide_arguments& a, FlatGas&, Beyond&) {
       a.species_count = 0, a.models = nullptr, a.model_count = 0; },
     "^collide_keyed: species_count is 0, yet species or mass is given; give species_count too$"},
    {"a species past the count", [](collide_arguments&, FlatGas& g, Beyond& b) {
       b.species[static_cast<size_t>(g.cross_ref[g.start[11]])] = 2; },
     "^collide_keyed: species\\[[0-9]+\\] is 2 in cell 11; a species must lie in \\[0, 2\\)$"},
    {"a coefficient that is not a number", [](collide_arguments&, FlatGas&, Beyond& b) {
       b.coeff[10] = kNaN; },
     "^collide_keyed: select_coeff_per_cell is -?nan in cell 10; it must be finite$"},
};

// Each refusal of a table: the code, the message, and nothing changed.
template <size_t n>
void expect_refusals(const StructRefusal (&refusals)[n]) {
  for (const StructRefusal& refusal : refusals) {
    FlatGas g = random_gas(3);
    Beyond beyond(g);
    collide_arguments a = beyond.of(g, 0, 12);
    refusal.spoil(a, g, beyond);
    const FlatGas before = g;
    int32_t collisions = -7;
    char message[400];
    const bool null = std::string(refusal.what) == "a null struct";
    EXPECT_EQ(collide_keyed(null ? nullptr : &a, 1, 1, &collisions, message, sizeof message),
              COLLIDE_INVALID_ARGUMENT) << refusal.what;
    EXPECT_TRUE(std::regex_search(message, std::regex(refusal.message)))
        << refusal.what << ": " << message << "\n  expected to match: " << refusal.message;
    EXPECT_EQ(collisions, -7) << refusal.what;
    expect_unchanged(g, before, refusal.what);
  }
}

TEST(CollideC, EachRefusalOfTheStructFormSaysWhyAndChangesNothing) {
  expect_refusals(kStructRefusals);
}

// The struct form with rotation: species 0 linear (Z 4), species 1
// nonlinear with Parker's Z at each cell's temperature; every particle's
// rotational energy.
struct Rotating {
  std::vector<collide_internal> internal;
  std::vector<double> e_rot, temperature;
  std::vector<int32_t> levels;
  explicit Rotating(const FlatGas& g) : internal(2, collide_internal{}) {
    internal[0].rot_dof = 2;
    internal[0].z_rot = 4.0;
    internal[1].rot_dof = 3;
    internal[1].parker_z_inf = 18.0;
    internal[1].parker_t_star = 0.2;
    for (int32_t p = 0; p < g.particles(); p++) e_rot.push_back(0.2 + 0.003 * p);
    levels.assign(static_cast<size_t>(g.particles()), 0);
    for (int32_t c = 0; c < g.cells(); c++) temperature.push_back(1.0 + 0.05 * c);
  }
  void into(collide_arguments& a) {
    a.internal = internal.data();
    a.internal_size = sizeof(collide_internal);
    a.e_rot = e_rot.data();
    a.cell_temperature = temperature.data();
  }
};

TEST(CollideC, TheStructFormWithInternalEnergyGivesTheBitsOfTheCxxRangeForm) {
  FlatGas flat = random_gas(14);
  MatrixGas matrices(flat);
  Beyond beyond(flat);
  Rotating rotating(flat);
  // Species 0 vibrates too.
  rotating.internal[0].vib_quantum = 0.9;
  rotating.internal[0].z_vib = 30.0;
  for (int32_t p = 0; p < flat.particles(); p++) rotating.levels[p] = p % 3;
  std::vector<int> levels(1, 0);  // C++ numbers particles from 1
  levels.insert(levels.end(), rotating.levels.begin(), rotating.levels.end());
  std::vector<int> species(1, 0);  // C++ numbers particles from 1
  species.insert(species.end(), beyond.species.begin(), beyond.species.end());
  Matrix coeff(12, 1), e_rot(flat.particles(), 1), temperature(12, 1);
  for (int c = 0; c < 12; c++) coeff(c + 1, 1) = beyond.coeff[c], temperature(c + 1, 1) = rotating.temperature[c];
  for (int p = 0; p < flat.particles(); p++) e_rot(p + 1, 1) = rotating.e_rot[p];
  const Mixture mixture = {2, species.data(), beyond.mass, beyond.models.data(), 4};
  const InternalEnergy internal = {rotating.internal.data(), &e_rot, &temperature, levels.data()};
  long total = 0;
  for (uint64_t step = 0; step < 5; step++) {
    collide_arguments a = beyond.of(flat, 0, 12);
    rotating.into(a);
    a.vib_level = rotating.levels.data();
    int32_t collisions = -1;
    char message[300];
    ASSERT_EQ(collide_keyed(&a, 31, step, &collisions, message, sizeof message), COLLIDE_OK) << message;
    EXPECT_EQ(collisions, colider_range(matrices.velocity, matrices.max_rel_speed,
                                        matrices.select_remainder, coeff, matrices.cells, 1, 12,
                                        CellStreams{31, step}, mixture, internal));
    EXPECT_TRUE(matrices.same_bits(flat)) << "step " << step;
    for (int p = 0; p < flat.particles(); p++) {
      ASSERT_EQ(std::memcmp(&e_rot(p + 1, 1), &rotating.e_rot[p], sizeof(double)), 0) << "particle " << p;
      ASSERT_EQ(levels[p + 1], rotating.levels[p]) << "particle " << p;
    }
    total += collisions;
  }
  EXPECT_GT(total, 1000) << "too few collisions to show anything";
}

TEST(CollideC, EachRefusalOfInternalEnergySaysWhyAndChangesNothing) {
  struct Case {
    const char* what;
    std::function<void(collide_arguments&, FlatGas&, Rotating&)> spoil;
    const char* message;  // a regular expression
  };
  const Case cases[] = {
      {"a rotation of 4 degrees of freedom", [](collide_arguments&, FlatGas&, Rotating& r) { r.internal[0].rot_dof = 4; },
       "^collide_keyed: internal\\[0\\]\\.rot_dof is 4; it must be 0, 2 or 3$"},
      {"a relaxation number below 1", [](collide_arguments&, FlatGas&, Rotating& r) { r.internal[0].z_rot = 0.5; },
       "^collide_keyed: internal\\[0\\]\\.z_rot is 0\\.5; it must be finite and at least 1$"},
      {"Parker's T* of 0", [](collide_arguments&, FlatGas&, Rotating& r) { r.internal[1].parker_t_star = 0; },
       "^collide_keyed: internal\\[1\\]\\.parker_t_star is 0; it must be finite and above 0$"},
      {"a collide_internal of another layout", [](collide_arguments& a, FlatGas&, Rotating&) { a.internal_size = 8; },
       "^collide_keyed: internal_size is 8; this collide's collide_internal has [0-9]+ bytes"},
      {"rotation without energies", [](collide_arguments& a, FlatGas&, Rotating&) { a.e_rot = nullptr; },
       "a species rotates \\(rot_dof above 0\\), yet no rotational energies are given$"},
      {"energies without internal data", [](collide_arguments& a, FlatGas&, Rotating&) { a.internal = nullptr; },
       "^collide_keyed: internal is NULL, yet e_rot or vib_level is given; give internal too$"},
      {"a negative rotational energy", [](collide_arguments&, FlatGas& g, Rotating& r) {
         r.e_rot[static_cast<size_t>(g.cross_ref[g.start[6]])] = -1; },
       "^collide_keyed: e_rot\\[[0-9]+\\] is -1 in cell 6; a rotational energy must be finite and 0 or more$"},
      {"a rotational energy that is not a number", [](collide_arguments&, FlatGas& g, Rotating& r) {
         r.e_rot[static_cast<size_t>(g.cross_ref[g.start[9] + 1])] = kNaN; },
       "e_rot\\[[0-9]+\\] is -?nan in cell 9"},
      {"a cell's energy beyond a double", [](collide_arguments&, FlatGas& g, Rotating& r) {
         for (int k = 0; k < 2; k++) r.e_rot[static_cast<size_t>(g.cross_ref[g.start[3] + k])] = 1.5e308; },
       "^collide_keyed: the energy of cell 3, translational and internal, is inf; it must be at most half"},
      {"Parker's number with no temperatures", [](collide_arguments& a, FlatGas&, Rotating&) {
         a.cell_temperature = nullptr; },
       "^collide_keyed: cell_temperature is -?nan in cell 0; it must be finite and above 0$"},
      {"a cell at no temperature", [](collide_arguments&, FlatGas&, Rotating& r) { r.temperature[5] = 0; },
       "^collide_keyed: cell_temperature is 0 in cell 5; it must be finite and above 0$"},
      {"a relaxation number too small for one exchange a collision", [](collide_arguments&, FlatGas&, Rotating& r) {
         r.internal[0].z_rot = 1.2; },
       "^collide_keyed: species 0 and 0 would exchange internal energy with probabilities [0-9.]+ and "
       "[0-9.]+ in cell 0, more than 1 together"},
      {"Parker's number at a cold cell", [](collide_arguments&, FlatGas&, Rotating& r) { r.temperature[8] = 0.01; },
       "^collide_keyed: species 0 and 1 would exchange internal energy .* in cell 8, more than 1 together"},
      {"a vibrational relaxation number below 1", [](collide_arguments&, FlatGas&, Rotating& r) {
         r.internal[1].vib_quantum = 1.0; },
       "^collide_keyed: internal\\[1\\]\\.z_vib is 0; it must be finite and at least 1$"},
      {"a negative level", [](collide_arguments& a, FlatGas& g, Rotating& r) {
         r.internal[0].vib_quantum = 0.5, r.internal[0].z_vib = 20.0;
         r.levels.assign(static_cast<size_t>(g.particles()), 1);
         // A particle of species 0, the one that vibrates (species p mod 2).
         int k = g.start[4];
         while (g.cross_ref[k] % 2 != 0) k++;
         r.levels[static_cast<size_t>(g.cross_ref[k])] = -1;
         a.vib_level = r.levels.data(); },
       "^collide_keyed: vib_level\\[[0-9]+\\] is -1 in cell 4; a vibrational level must be 0 or more$"},
      {"more quanta than an int32 holds", [](collide_arguments& a, FlatGas& g, Rotating& r) {
         r.internal[0].vib_quantum = 1e-12, r.internal[0].z_vib = 20.0;
         r.levels.assign(static_cast<size_t>(g.particles()), 0);
         a.vib_level = r.levels.data(); },
       "^collide_keyed: the energy of cell 0 is .*, more than 2147483646 of species 0's vibrational "
       "quanta, 1e-12, which no level of an int32 holds$"},
      {"energies inside the velocities", [](collide_arguments& a, FlatGas& g, Rotating&) {
         a.e_rot = g.velocity.data() + 30; },
       "^collide_keyed: velocity and e_rot share memory; each needs its own$"},
      {"vibration without levels", [](collide_arguments&, FlatGas&, Rotating& r) {
         r.internal[1].vib_quantum = 1.0, r.internal[1].z_vib = 8.0; },
       "^collide_keyed: a species vibrates \\(vib_quantum above 0\\), yet no vibrational levels are "
       "given$"},
  };
  for (const Case& c : cases) {
    FlatGas g = random_gas(3);
    Beyond beyond(g);
    Rotating rotating(g);
    collide_arguments a = beyond.of(g, 0, 12);
    rotating.into(a);
    c.spoil(a, g, rotating);
    const FlatGas before = g;
    const std::vector<double> e_rot = rotating.e_rot;
    int32_t collisions = -7;
    char message[400];
    EXPECT_EQ(collide_keyed(&a, 1, 1, &collisions, message, sizeof message), COLLIDE_INVALID_ARGUMENT)
        << c.what;
    EXPECT_TRUE(std::regex_search(message, std::regex(c.message)))
        << c.what << ": " << message << "\n  expected to match: " << c.message;
    expect_unchanged(g, before, c.what);
    EXPECT_EQ(std::memcmp(e_rot.data(), rotating.e_rot.data(), e_rot.size() * 8), 0) << c.what;
  }
}

}  // namespace

// The order rule and the checks that keep a call inside its arrays.
namespace {

TEST(SortCells, ListsEachCellsParticlesInAscendingOrder) {
  // Particles 0..4 in cells {1, 0, 1, 1, 0}: cell 0 holds 1 and 4, cell 1
  // holds 0, 2 and 3.
  const int32_t cell_of[5] = {1, 0, 1, 1, 0};
  int32_t population[2] = {-1, -1}, start[2] = {-1, -1}, cross_ref[5] = {-1, -1, -1, -1, -1};
  char message[200];
  ASSERT_EQ(collide_sort_cells(cell_of, 5, 2, population, start, cross_ref, message, sizeof message),
            COLLIDE_OK) << message;
  EXPECT_EQ(std::vector<int32_t>(population, population + 2), (std::vector<int32_t>{2, 3}));
  EXPECT_EQ(std::vector<int32_t>(start, start + 2), (std::vector<int32_t>{0, 2}));
  EXPECT_EQ(std::vector<int32_t>(cross_ref, cross_ref + 5), (std::vector<int32_t>{1, 4, 0, 2, 3}));

  // The same from 1, into a SortList.
  const int cell_of_1[5] = {2, 1, 2, 2, 1};
  SortList lists(2, 6);
  sort_into_cells(cell_of_1, 5, lists);
  EXPECT_EQ(std::vector<int>(lists.cellPopulation + 1, lists.cellPopulation + 3), (std::vector<int>{2, 3}));
  EXPECT_EQ(std::vector<int>(lists.cellStart + 1, lists.cellStart + 3), (std::vector<int>{1, 3}));
  EXPECT_EQ(std::vector<int>(lists.crossRef + 1, lists.crossRef + 6), (std::vector<int>{2, 5, 1, 3, 4}));

  const int32_t outside[3] = {0, 2, 1};
  EXPECT_EQ(collide_sort_cells(outside, 3, 2, population, start, cross_ref, message, sizeof message),
            COLLIDE_INVALID_ARGUMENT);
  EXPECT_STREQ(message, "collide_sort_cells: cell_of[1] is 2; a cell must lie in [0, 2)");
  EXPECT_EQ(population[0], 2) << "nothing written";
  const int past[2] = {1, 3};
  EXPECT_THROW(sort_into_cells(past, 2, lists), ColiderError);
  SortList small(2, 5);
  EXPECT_THROW(sort_into_cells(cell_of_1, 5, small), ColiderError) << "5 particles need 6 places";
}

// Rows in memory renumbered (as on another rank) change nothing while each
// cell lists its particles by their own, global numbers: the keyed step
// gives every particle the same velocity. Listed by row instead, they differ.
TEST(SortCells, TheOrderRuleMakesResultsIndependentOfNumbering) {
  const int particles = 3000, cells = 30;
  std::mt19937_64 engine(31);
  std::normal_distribution<double> gauss(0.0, 1.0);
  std::vector<int> cell_of(particles), order(particles);
  std::vector<std::array<double, 3>> start(particles);
  for (int p = 0; p < particles; p++) {
    cell_of[p] = 1 + std::uniform_int_distribution<int>(0, cells - 1)(engine);
    for (double& v : start[p]) v = gauss(engine);
    order[p] = p;
  }
  // Numbering b: particle p of numbering a is number renumbered[p] in b,
  // listed in the order of a's numbers within each cell.
  std::shuffle(order.begin(), order.end(), engine);
  std::vector<int> renumbered(particles), cell_of_b(particles);
  for (int k = 0; k < particles; k++) renumbered[order[k]] = k;
  auto run = [&](bool b, bool by_number) {
    Matrix velocity(particles, 3), max(cells, 1), remainder(cells, 1);
    SortList lists(cells, particles + 1);
    std::vector<int> cells_of(particles);
    for (int p = 0; p < particles; p++) {
      const int row = b ? renumbered[p] : p;
      cells_of[row] = cell_of[p];
      for (int k = 0; k < 3; k++) velocity(row + 1, k + 1) = start[p][k];
    }
    sort_into_cells(cells_of.data(), particles, lists);
    // Rows of numbering b listed by their particles' numbers in a.
    for (int c = 1; c <= cells; c++) {
      if (b && by_number)
        std::sort(lists.crossRef + lists.cellStart[c],
                  lists.crossRef + lists.cellStart[c] + lists.cellPopulation[c],
                  [&](int x, int y) { return order[x - 1] < order[y - 1]; });
      max(c, 1) = 4.0;
    }
    colider_range(velocity, max, remainder, 0.004, lists, 1, cells, CellStreams{3, 1});
    std::vector<std::array<double, 3>> after(particles);
    for (int p = 0; p < particles; p++)
      for (int k = 0; k < 3; k++) after[p][k] = velocity((b ? renumbered[p] : p) + 1, k + 1);
    return after;
  };
  const auto a = run(false, true);
  EXPECT_EQ(a, run(true, true));
  EXPECT_NE(a, run(true, false));
}

}  // namespace

namespace {

const double kInf = std::numeric_limits<double>::infinity();

const StructRefusal kSafetyRefusals[] = {
    {"a negative population", [](collide_arguments&, FlatGas& g, Beyond&) { g.population[4] = -3; },
     "^collide_keyed: cell_population\\[4\\] is -3; it must not be negative$"},
    {"an infinite velocity", [](collide_arguments&, FlatGas& g, Beyond&) {
       g.velocity[3 * static_cast<size_t>(g.cross_ref[g.start[7]]) + 1] = kInf; },
     "^collide_keyed: velocity\\[[0-9]+\\] is \\([-0-9.e]+, inf, [-0-9.e]+\\) in cell 7; each "
     "component must be finite and at most 1e150 in size$"},
    {"a velocity whose square overflows", [](collide_arguments&, FlatGas& g, Beyond&) {
       g.velocity[3 * static_cast<size_t>(g.cross_ref[g.start[11] + 2])] = -1e200; },
     "^collide_keyed: velocity\\[[0-9]+\\] is \\(-1e\\+200, .*\\) in cell 11; each component"},
    {"a velocity that is not a number", [](collide_arguments&, FlatGas& g, Beyond&) {
       g.velocity[3 * static_cast<size_t>(g.cross_ref[g.start[0]]) + 2] = kNaN; },
     "velocity\\[[0-9]+\\] is \\(.*nan\\) in cell 0"},
    {"cell_start inside velocity", [](collide_arguments& a, FlatGas& g, Beyond&) {
       a.cell_start = reinterpret_cast<const int32_t*>(g.velocity.data()) + 4; },
     "^collide_keyed: velocity and cell_start share memory; each needs its own$"},
    {"one array for both per-cell estimates", [](collide_arguments& a, FlatGas& g, Beyond&) {
       a.select_remainder = g.max_rel_speed.data(); },
     "^collide_keyed: max_rel_speed and select_remainder share memory; each needs its own$"},
    {"masses inside the remainders", [](collide_arguments& a, FlatGas& g, Beyond&) {
       a.mass = g.select_remainder.data() + 3; },
     "^collide_keyed: select_remainder and mass share memory"},
    {"more candidates than an int counts", [](collide_arguments&, FlatGas& g, Beyond& b) {
       for (int c = 0; c < 12; c++) {  // each cell's S near 1e9: each fits, the sum does not
         b.coeff[c] = 1e9 / (g.population[c] * (g.population[c] - 1.0) * g.max_rel_speed[c]);
       } },
     "^collide_keyed: the cells' candidate pairs add up to [0-9]+, more than the 2147483647 "
     "collisions an int32 counts"},
};

TEST(CollideC, EachSafetyRefusalComesBeforeAnyChange) { expect_refusals(kSafetyRefusals); }

TEST(CollideC, ACancelledCallKeepsTheCellsBeforeAndLeavesTheRest) {
  FlatGas g = random_gas(7), whole = random_gas(7);
  Beyond beyond(g);
  collide_arguments a = beyond.of(g, 0, 12), all = beyond.of(whole, 0, 12);
  Stopper stopper;
  stopper.stop_at = 6;  // asked before cells 0 to 5: stops before cell 5
  a.cancel = Stopper::ask;
  a.cancel_context = &stopper;
  int32_t collisions = -7, done = 0;
  char message[200];
  ASSERT_EQ(collide_keyed(&all, 4, 0, &done, message, sizeof message), COLLIDE_OK);
  EXPECT_EQ(collide_keyed(&a, 4, 0, &collisions, message, sizeof message), COLLIDE_CANCELLED);
  EXPECT_STREQ(message, "collide_keyed: cancelled at cell 5; the cells before it keep their collisions");
  EXPECT_EQ(collisions, -7) << "the count is lost";
  for (int c = 0; c < 12; c++) {
    const FlatGas& expected = c < 5 ? whole : random_gas(7);
    EXPECT_EQ(g.max_rel_speed[c], expected.max_rel_speed[c]) << "cell " << c;
    EXPECT_EQ(g.select_remainder[c], expected.select_remainder[c]) << "cell " << c;
  }
}

TEST(CollideC, ALongCellIsAskedWithinItself) {
  FlatGas g = random_gas(8);
  Beyond beyond(g);
  for (int c = 0; c < 12; c++)  // about 200,000 candidates a cell
    beyond.coeff[c] = 2e5 / (g.population[c] * (g.population[c] - 1.0) * g.max_rel_speed[c]);
  collide_arguments a = beyond.of(g, 0, 12);
  Stopper stopper;
  stopper.stop_at = 3;  // before cell 0, then twice within it
  a.cancel = Stopper::ask;
  a.cancel_context = &stopper;
  int32_t collisions = 0;
  char message[200];
  EXPECT_EQ(collide_keyed(&a, 4, 0, &collisions, message, sizeof message), COLLIDE_CANCELLED);
  EXPECT_STREQ(message, "collide_keyed: cancelled at cell 0; the cells before it keep their collisions");
}

// Arrays rewritten during the call, between two cells, as another thread
// could: the call refuses to go on instead of reading outside them. (Under
// AddressSanitizer, a read outside would end the test.)
TEST(CollideC, IndicesRewrittenDuringTheCallAreCaughtWhereTheyAreRead) {
  struct Case {
    const char* what;
    std::function<void(FlatGas&, Beyond&)> spoil;
    const char* message;
  };
  const Case cases[] = {
      {"a start past cross_ref", [](FlatGas& g, Beyond&) { g.start[9] = 1 << 30; },
       "cell_start\\[9\\] is 1073741824 in cell 9; with cell_population\\[9\\]"},
      {"a population past cross_ref", [](FlatGas& g, Beyond&) { g.population[10] = 1 << 30; },
       "cell_start\\[10\\] is [0-9]+ in cell 10; with cell_population\\[10\\] = 1073741824"},
      {"a particle index past the rows", [](FlatGas& g, Beyond&) {
         for (int k = g.start[9]; k < g.start[9] + g.population[9]; k++) g.cross_ref[k] = 1 << 30; },
       "a particle number is 1073741824 in cell 9; it must name a row of the velocities"},
      {"a species past the count", [](FlatGas& g, Beyond& b) {
         for (int k = g.start[9]; k < g.start[9] + g.population[9]; k++) b.species[g.cross_ref[k]] = 1 << 30; },
       "species\\[[0-9]+\\] is 1073741824 in cell 9; a species must lie in \\[0, 2\\)"},
  };
  for (const Case& c : cases) {
    FlatGas g = random_gas(9);
    Beyond beyond(g);
    char message[300];
    EXPECT_EQ(keyed_spoiled_from_cell_8(g, beyond, [&] { c.spoil(g, beyond); }, message,
                                        sizeof message),
              COLLIDE_INVALID_ARGUMENT) << c.what;
    EXPECT_TRUE(std::regex_search(message, std::regex(c.message))) << c.what << ": " << message;
  }
}

TEST(ColiderSafety, TheCxxFormsRefuseANegativePopulationABadVelocityAndOneMatrixTwice) {
  FlatGas flat = random_gas(10);
  struct Case {
    const char* what;
    std::function<int(MatrixGas&)> call;
    const char* message;
  };
  auto keyed = [](MatrixGas& m) {
    return colider_range(m.velocity, m.max_rel_speed, m.select_remainder, 0.004, m.cells, 1, 12,
                         CellStreams{1, 1});
  };
  const Case cases[] = {
      {"a negative population", [&](MatrixGas& m) { m.cells.cellPopulation[1] = -1; return keyed(m); },
       "colider: cellPopulation is -1 in cell 1; it must not be negative"},
      {"a velocity of 1e151", [&](MatrixGas& m) {  // every particle of cell 1: one is picked
         for (int k = 0; k < m.cells.cellPopulation[1]; k++)
           m.velocity(m.cells.crossRef[m.cells.cellStart[1] + k], 2) = 1e151 * (k + 1);
         return keyed(m); },
       "colider: velocity\\([0-9]+\\) is \\(.*, [0-9.]+e\\+15[1-3], .*\\) in cell 1; each component "
       "must be finite and at most 1e150 in size"},
      {"one Matrix for both estimates", [&](MatrixGas& m) {
         return colider_range(m.velocity, m.max_rel_speed, m.max_rel_speed, 0.004, m.cells, 1, 12,
                              CellStreams{1, 1}); },
       "colider: maxRelSpeed and selectRemainder are the same Matrix; each needs its own"},
      {"the velocities as the coefficients", [&](MatrixGas& m) {
         return colider(m.velocity, m.max_rel_speed, 0.0, [] { return 0.5; }, m.select_remainder,
                        m.velocity, m.cells); },
       "colider: velocity and the per-cell selectCoeff are the same Matrix; each needs its own"},
  };
  for (const Case& c : cases) {
    MatrixGas m(flat);
    try {
      c.call(m);
      ADD_FAILURE() << "accepted: " << c.what;
    } catch (const ColiderError& refused) {
      EXPECT_TRUE(std::regex_search(refused.what(), std::regex(c.message)))
          << c.what << ": " << refused.what();
    }
    if (std::string(c.what) != "a velocity of 1e151") {
      EXPECT_TRUE(m.same_bits(flat)) << c.what;
    }
  }
}

}  // namespace
