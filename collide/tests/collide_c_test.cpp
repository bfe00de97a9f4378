// The C interface: the same bits as the C++ forms on the same gas, and every
// refused argument answered with a code and a message, the arrays untouched.
#include <collide/collide.h>
#include <collide/colider.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <regex>
#include <string>
#include <vector>

namespace {

// A gas in the C interface's flat, 0-based arrays.
struct FlatGas {
  std::vector<double> velocity, max_rel_speed, select_remainder;
  std::vector<int32_t> population, start, cross_ref;
  int32_t particles() const { return static_cast<int32_t>(velocity.size() / 3); }
  int32_t cells() const { return static_cast<int32_t>(population.size()); }
};

// 600 particles in 12 cells of uneven size, each particle in one cell,
// listed in an order unrelated to their numbers.
FlatGas random_gas(uint64_t seed) {
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

const double kNaN = std::numeric_limits<double>::quiet_NaN();

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

// The arrays a refused call must leave as they were, byte for byte.
void expect_unchanged(const FlatGas& g, const FlatGas& before, const char* what) {
  EXPECT_EQ(std::memcmp(g.velocity.data(), before.velocity.data(), g.velocity.size() * 8), 0)
      << what;
  EXPECT_EQ(std::memcmp(g.max_rel_speed.data(), before.max_rel_speed.data(), 12 * 8), 0) << what;
  EXPECT_EQ(std::memcmp(g.select_remainder.data(), before.select_remainder.data(), 12 * 8), 0)
      << what;
}

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
    collide_arguments a = {};
    a.velocity = g.velocity.data();
    a.particles = g.particles();
    a.max_rel_speed = g.max_rel_speed.data();
    a.select_remainder = g.select_remainder.data();
    a.cell_population = g.population.data();
    a.cell_start = g.start.data();
    a.cells = g.cells();
    a.cross_ref = g.cross_ref.data();
    a.cross_ref_size = static_cast<int32_t>(g.cross_ref.size());
    a.select_coeff_per_cell = coeff.data();
    a.first_cell = first;
    a.end_cell = end;
    a.models = models.data();
    a.model_count = 4;
    a.species_count = 2;
    a.species = species.data();
    a.mass = mass;
    return a;
  }
};

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

TEST(CollideC, EachRefusalOfTheStructFormSaysWhyAndChangesNothing) {
  for (const StructRefusal& refusal : kStructRefusals) {
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

}  // namespace
