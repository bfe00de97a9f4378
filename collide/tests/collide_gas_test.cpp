// Molecular data: the table against measured molecular masses and
// viscosities, the mixing rule against the numbers worked by hand in
// collide/README.md (and the README's table against the helper), a gas in
// SI units colliding at the rate kinetic theory gives, and the refusals of
// values in the wrong units.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "colider.h"
#include "collide.h"
#include "collide_gas.h"
#include "flat_gas.h"

namespace {

using collide_test::arguments_over;

const double kPi = 3.14159265358979323846;
const double kBoltzmann = 1.380649e-23;
const double kDalton = 1.66053906660e-27;  // kg

struct Measured {
  const char* name;
  double molar_mass;  // g/mol, from the standard atomic weights
  double viscosity;   // Pa s at 273.15 K, from handbook tables
};

// Independent of the table's source: molar masses from the atomic weights
// (H 1.008, He 4.0026, C 12.011, N 14.007, O 15.999, Ne 20.180, Ar 39.948,
// Kr 83.798, Xe 131.29; dry air 28.96), and measured viscosities at 0 °C.
const Measured kMeasured[] = {
    {"H2", 2.016, 8.4e-6},     {"He", 4.0026, 18.7e-6}, {"Ne", 20.180, 29.8e-6},
    {"Ar", 39.948, 21.0e-6},   {"Kr", 83.798, 23.3e-6}, {"Xe", 131.29, 21.1e-6},
    {"N2", 28.014, 16.6e-6},   {"O2", 31.998, 19.2e-6}, {"NO", 30.006, 17.8e-6},
    {"CO", 28.010, 16.6e-6},   {"CO2", 44.009, 13.8e-6}, {"CH4", 16.043, 10.3e-6},
    {"air", 28.96, 17.2e-6},
};

// The first Chapman-Enskog viscosity of a VSS gas at its reference
// temperature (alpha = 1: VHS),
//   mu = 5 (alpha + 1) (alpha + 2) sqrt(m k T / pi)
//        / (4 alpha (5 - 2 omega) (7 - 2 omega) d^2).
double viscosity(double m, double d, double omega, double alpha, double T) {
  return 5 * (alpha + 1) * (alpha + 2) * std::sqrt(m * kBoltzmann * T / kPi) /
         (4 * alpha * (5 - 2 * omega) * (7 - 2 * omega) * d * d);
}

// Two models field by field (a struct's padding is no part of it).
bool same(const collide_model& a, const collide_model& b) {
  return a.kind == b.kind && a.omega == b.omega && a.g_ref == b.g_ref && a.alpha == b.alpha &&
         a.scale == b.scale;
}

TEST(GasData, TableGivesMeasuredMassesAndViscosities) {
  int named = 0;
  for (int k = 0; collide_gas_name(k) != nullptr; k++) named++;
  EXPECT_EQ(named, 13);
  for (const Measured& gas : kMeasured) {
    SCOPED_TRACE(gas.name);
    const GasData g = gas_data(gas.name);
    EXPECT_NEAR(g.mass / (gas.molar_mass * kDalton), 1.0, 3e-3);
    EXPECT_EQ(g.t_ref, 273.0);
    // The table's diameters at 273 K against the measured viscosity at
    // 273.15 K, both within 2.5% (carbon monoxide's VHS diameter gives 2%
    // below); and the VSS pair gives the VHS pair's viscosity within 1%.
    const double vhs = viscosity(g.mass, g.d_ref_vhs, g.omega, 1.0, g.t_ref);
    const double vss = viscosity(g.mass, g.d_ref_vss, g.omega, g.alpha, g.t_ref);
    EXPECT_NEAR(vhs / gas.viscosity, 1.0, 0.025);
    EXPECT_NEAR(vss / gas.viscosity, 1.0, 0.025);
    EXPECT_NEAR(vss / vhs, 1.0, 0.01);
  }
}

// collide/README.md's worked numbers: argon alone, nitrogen with oxygen.
TEST(GasData, MixingRuleGivesTheNumbersWorkedByHand) {
  const MixtureModels argon = mixture_models({gas_data("Ar")}, COLLIDE_VHS);
  ASSERT_EQ(argon.models.size(), 1u);
  EXPECT_NEAR(argon.models[0].g_ref, 476.9, 0.05);
  EXPECT_EQ(argon.models[0].omega, 0.81);
  EXPECT_EQ(argon.models[0].scale, 1.0);
  EXPECT_NEAR(argon.sigmaRef, 6.024e-19, 0.0005e-19);
  const MixtureModels argon_vss = mixture_models({gas_data("Ar")}, COLLIDE_VSS);
  EXPECT_NEAR(argon_vss.sigmaRef, 5.852e-19, 0.0005e-19);
  EXPECT_EQ(argon_vss.models[0].alpha, 1.40);

  const MixtureModels air = mixture_models({gas_data("N2"), gas_data("O2")}, COLLIDE_VHS);
  ASSERT_EQ(air.models.size(), 4u);
  EXPECT_NEAR(air.sigmaRef, 5.929e-19, 0.0005e-19);
  const CollisionModel& no = air.models[1];
  EXPECT_EQ(no.kind, COLLIDE_VHS);
  EXPECT_NEAR(no.omega, 0.755, 1e-12);
  EXPECT_NEAR(no.g_ref, 551.4, 0.05);
  EXPECT_NEAR(no.scale * air.sigmaRef, 5.809e-19, 0.0005e-19);
  EXPECT_NEAR(no.scale, 0.980, 0.0005);
  EXPECT_NEAR(air.models[3].scale, 0.960, 0.0005);
  EXPECT_NEAR(air.models[0].g_ref, 569.4, 0.05);
  EXPECT_TRUE(same(air.models[1], air.models[2]));

  // Hard spheres of the VHS diameters: pi d^2, and the scale of the pair
  // (d_a + d_b)^2 / (2 d_a)^2.
  const MixtureModels spheres = mixture_models({gas_data("He"), gas_data("Ar")}, COLLIDE_HARD_SPHERE);
  EXPECT_NEAR(spheres.sigmaRef, kPi * 2.33e-10 * 2.33e-10, 1e-30);
  EXPECT_NEAR(spheres.models[1].scale, std::pow((2.33 + 4.17) / (2 * 2.33), 2), 1e-12);
}

// Each number of the README's table, to the digits it prints, against
// the helper: the table may be typed by hand, but never drift from it.
TEST(GasData, ReadmeTableMatchesTheHelper) {
  std::ifstream readme(COLLIDE_README);
  ASSERT_TRUE(readme) << COLLIDE_README;
  const std::map<std::string, std::string> formula = {
      {"hydrogen", "H2"}, {"helium", "He"},      {"neon", "Ne"},
      {"argon", "Ar"},    {"krypton", "Kr"},     {"xenon", "Xe"},
      {"nitrogen", "N2"}, {"oxygen", "O2"},      {"nitric oxide", "NO"},
      {"carbon monoxide", "CO"}, {"carbon dioxide", "CO2"}, {"methane", "CH4"},
      {"air", "air"}};
  std::string line;
  int rows = 0;
  bool in_table = false;
  while (std::getline(readme, line)) {
    if (line.rfind("| Gas | m (kg) | ω |", 0) == 0) in_table = true;
    if (!in_table) continue;
    if (line.empty()) break;
    std::vector<std::string> cells;
    std::stringstream row(line.substr(1));
    for (std::string cell; std::getline(row, cell, '|');) {
      cell.erase(0, cell.find_first_not_of(' '));
      cell.erase(cell.find_last_not_of(' ') + 1);
      cells.push_back(cell);
    }
    const auto gas = formula.find(cells[0]);
    if (gas == formula.end()) continue;
    SCOPED_TRACE(cells[0]);
    ASSERT_EQ(cells.size(), 9u);
    const GasData g = gas_data(gas->second);
    const MixtureModels vhs = mixture_models({g}, COLLIDE_VHS);
    const MixtureModels vss = mixture_models({g}, COLLIDE_VSS);
    const double values[] = {g.mass, g.omega, g.d_ref_vhs, g.d_ref_vss, g.alpha,
                             vhs.models[0].g_ref, vhs.sigmaRef, vss.sigmaRef};
    for (int k = 0; k < 8; k++) {
      // The printed digits: the value within half a unit of the last one.
      const std::string& text = cells[k + 1];
      const size_t exponent = text.find('e');
      const std::string mantissa = text.substr(0, exponent);
      const size_t point = mantissa.find('.');
      const int decimals = point == std::string::npos ? 0 : static_cast<int>(mantissa.size() - point - 1);
      const double unit = std::pow(10.0, -decimals) *
                          (exponent == std::string::npos ? 1 : std::pow(10.0, std::stoi(text.substr(exponent + 1))));
      EXPECT_NEAR(std::stod(text), values[k], 0.5 * unit * (1 + 1e-9)) << "column " << k + 2;
    }
    rows++;
  }
  EXPECT_EQ(rows, 13);
}

// A step's numbers in SI units from the helper collide argon at 273 K at
// the rate of kinetic theory: each molecule's collision frequency is
//   nu = 4 d_ref^2 n sqrt(pi k T_ref / m) (T / T_ref)^(1 - omega),
// which holds whatever the helper does with Gamma(5/2 - omega), g_ref and
// the scales. Every cell holds N particles, given N-bar = N, so that the
// count is exact for fixed populations.
TEST(GasData, ArgonCollidesAtTheKineticRate) {
  for (const char* name : {"Ar", "He"}) {
    SCOPED_TRACE(name);
    const GasData gas = gas_data(name);
    const int cells = 2000, per_cell = 20, particles = cells * per_cell, steps = 50;
    const double f_n = 1e10, volume = 1e-12, T = 273.0;
    const double n = per_cell * f_n / volume;
    const double nu = 4 * gas.d_ref_vhs * gas.d_ref_vhs * n *
                      std::sqrt(kPi * kBoltzmann * gas.t_ref / gas.mass) *
                      std::pow(T / gas.t_ref, 1 - gas.omega);
    const double dt = 0.05 / nu;
    const MixtureModels argon = mixture_models({gas}, COLLIDE_VHS);
    const double coeff = select_coeff(f_n, dt, volume, argon.sigmaRef);
    std::vector<double> max_weight(cells, first_max_weight(argon.models, {gas.mass}, T));
    std::vector<double> remainder(cells, 0.5), mean_population(cells, per_cell);
    std::mt19937_64 engine(2731);
    std::normal_distribution<double> thermal(0.0, std::sqrt(kBoltzmann * T / gas.mass));
    std::vector<double> velocity(3 * particles);
    for (double& v : velocity) v = thermal(engine);
    std::vector<int32_t> cell_of(particles), population(cells), start(cells), cross_ref(particles);
    for (int p = 0; p < particles; p++) cell_of[p] = p % cells;
    char message[300];
    ASSERT_EQ(collide_sort_cells(cell_of.data(), particles, cells, population.data(), start.data(),
                                 cross_ref.data(), message, sizeof message),
              COLLIDE_OK);
    collide_arguments a =
        arguments_over(velocity, max_weight, remainder, population, start, cross_ref, coeff);
    a.models = argon.models.data();
    a.model_count = 1;
    a.model_size = sizeof(collide_model);
    a.mean_population = mean_population.data();
    long long collisions = 0;
    for (int step = 0; step < steps; step++) {
      int32_t accepted = 0;
      ASSERT_EQ(collide_keyed(&a, 9, static_cast<uint64_t>(step), &accepted, message, sizeof message),
                COLLIDE_OK) << message;
      collisions += accepted;
    }
    // Two molecules a collision; about 50,000 collisions, so a standard
    // error of 0.45%: 1.6% is beyond 3.5 of them.
    const double measured = 2.0 * collisions / (static_cast<double>(particles) * steps * dt);
    EXPECT_NEAR(measured / nu, 1.0, 0.016) << collisions << " collisions";
    // The first estimate is not exceeded by many pairs: it is seldom raised.
    int raised = 0;
    for (double w : max_weight) raised += w > first_max_weight(argon.models, {gas.mass}, T);
    EXPECT_LT(raised, 20);
  }
}

TEST(GasData, FirstMaxWeightIsFourMostProbableSpeeds) {
  const double m = 66.3e-27, T = 300;
  // Hard spheres of one gas: the weight is g itself, 4 sqrt(2 k T / (m / 2)).
  EXPECT_NEAR(first_max_weight({HardSphere()}, {m}, T), 4 * std::sqrt(4 * kBoltzmann * T / m), 1e-9);
  // Maxwell molecules weigh scale g_ref at every speed.
  EXPECT_NEAR(first_max_weight({VHS(1.0, 500.0, 0.5)}, {m}, T), 250.0, 1e-9);
  // In a mixture the lightest pair, the fastest, weighs most (hard spheres
  // of scale 1): helium with helium.
  const double he = 6.65e-27;
  const std::vector<CollisionModel> table(4, HardSphere());
  EXPECT_NEAR(first_max_weight(table, {m, he}, T), 4 * std::sqrt(4 * kBoltzmann * T / he), 1e-9);
}

// A value in the wrong units or out of range is refused, naming it, and
// the C forms give the C++ forms' numbers and write nothing when they
// refuse.
TEST(GasData, RefusesUnitSlipsAndAgreesInC) {
  GasData amu = gas_data("Ar");
  amu.mass = 39.948;
  GasData angstrom = gas_data("N2");
  angstrom.d_ref_vhs = 4.17;
  GasData warm = gas_data("O2");
  warm.t_ref = 300;
  const struct {
    std::vector<GasData> gases;
    int kind;
    const char* message;
  } refusals[] = {
      {{amu}, COLLIDE_VHS, "mixture_models: gases[0].mass is 39.948; in kg, a molecule's mass lies in [1e-28, 1e-23]"},
      {{gas_data("Ar"), angstrom}, COLLIDE_VSS, "mixture_models: gases[1].d_ref_vhs is 4.17; in m, a molecule's diameter lies in [1e-11, 1e-8]"},
      {{gas_data("N2"), warm}, COLLIDE_VHS, "mixture_models: gases[1].t_ref is 3e+02 and gases[0].t_ref 273; a mixture's gases must share one t_ref"},
      {{gas_data("N2")}, 7, "mixture_models: kind is 7; it must be COLLIDE_HARD_SPHERE, COLLIDE_VHS or COLLIDE_VSS"},
      {{}, COLLIDE_VHS, "mixture_models: it needs at least one gas"},
  };
  for (const auto& refusal : refusals) {
    try {
      mixture_models(refusal.gases, refusal.kind);
      ADD_FAILURE() << refusal.message;
    } catch (const ColiderError& refused) {
      EXPECT_STREQ(refused.what(), refusal.message);
    }
  }
  EXPECT_THROW(gas_data("argon"), ColiderError);
  EXPECT_THROW(select_coeff(1e10, 0.0, 1e-9, 6e-19), ColiderError);
  EXPECT_THROW(select_coeff(1e300, 1e300, 1e-300, 1e-19), ColiderError);
  EXPECT_THROW(first_max_weight({HardSphere()}, {39.948}, 300), ColiderError);
  EXPECT_THROW(first_max_weight({HardSphere()}, {66.3e-27}, -1), ColiderError);
  EXPECT_THROW(first_max_weight({HardSphere(), HardSphere()}, {66.3e-27}, 300), ColiderError);

  char message[300];
  collide_gas gases[2];
  ASSERT_EQ(collide_gas_data("N2", &gases[0], message, sizeof message), COLLIDE_OK);
  ASSERT_EQ(collide_gas_data("O2", &gases[1], message, sizeof message), COLLIDE_OK);
  EXPECT_EQ(collide_gas_data("Argon", &gases[1], message, sizeof message), COLLIDE_INVALID_ARGUMENT);
  EXPECT_STREQ(message, "collide_gas_data: no gas is named \"Argon\"; the table has H2, He, Ne, Ar, "
                        "Kr, Xe, N2, O2, NO, CO, CO2, CH4, air");
  collide_model models[4];
  double sigma = 0, coeff = 0, weight = 0;
  ASSERT_EQ(collide_mixture_models(gases, 2, COLLIDE_VSS, models, &sigma, message, sizeof message), COLLIDE_OK);
  const MixtureModels cpp = mixture_models({gas_data("N2"), gas_data("O2")}, COLLIDE_VSS);
  EXPECT_EQ(sigma, cpp.sigmaRef);
  for (int k = 0; k < 4; k++) EXPECT_TRUE(same(models[k], cpp.models[k])) << k;
  ASSERT_EQ(collide_select_coeff(1e10, 1e-7, 1e-9, sigma, &coeff, message, sizeof message), COLLIDE_OK);
  EXPECT_EQ(coeff, select_coeff(1e10, 1e-7, 1e-9, sigma));
  EXPECT_NEAR(coeff, 0.5 * 1e10 * 5.760e-19 * 1e-7 / 1e-9, 0.0005e-19 * 0.5e12);
  const double mass[2] = {gases[0].mass, gases[1].mass};
  ASSERT_EQ(collide_first_max_weight(models, 4, sizeof(collide_model), mass, 2, 273, &weight,
                                     message, sizeof message), COLLIDE_OK);
  EXPECT_EQ(weight, first_max_weight(cpp.models, {mass[0], mass[1]}, 273));

  // Refused: nothing is written.
  gases[1].mass = 32.0;
  collide_model kept[4];
  std::copy(models, models + 4, kept);
  sigma = -1;
  EXPECT_EQ(collide_mixture_models(gases, 2, COLLIDE_VHS, models, &sigma, message, sizeof message),
            COLLIDE_INVALID_ARGUMENT);
  EXPECT_STREQ(message, "collide_mixture_models: gases[1].mass is 32; in kg, a molecule's mass "
                        "lies in [1e-28, 1e-23]");
  for (int k = 0; k < 4; k++) EXPECT_TRUE(same(models[k], kept[k])) << k;
  EXPECT_EQ(sigma, -1);
  EXPECT_EQ(collide_first_max_weight(models, 4, sizeof(collide_model) - 8, mass, 2, 273, &weight,
                                     message, sizeof message), COLLIDE_INVALID_ARGUMENT);
  EXPECT_EQ(collide_select_coeff(1e10, 1e-7, -1e-9, sigma, &coeff, message, sizeof message),
            COLLIDE_INVALID_ARGUMENT);
  EXPECT_STREQ(message, "collide_select_coeff: cell_volume is -1e-09; it must be finite and above 0");
}

}  // namespace
