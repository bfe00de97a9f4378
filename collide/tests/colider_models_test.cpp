// The collision models and mixtures against kinetic theory, not against the
// step's own arithmetic:
//   - the rate: over many calls on a state restored after each, accepted
//     collisions against select_coeff times the sum over ordered pairs of
//     w = scale (sigma(g) / sigma_ref) g, each pair's weight written from
//     the cross-section sigma(g) = sigma_ref (g_ref / g)^(2 omega - 1);
//     and, for pairs drawn from a Maxwellian, against the closed form
//     <g^p> = (2 kT / mu)^(p/2) Gamma((3 + p) / 2) / Gamma(3 / 2);
//   - momentum and energy with unequal masses, after every step;
//   - VSS: the deflection's distribution, P(cos chi <= x) = ((1 + x) / 2)^alpha,
//     with mean (alpha - 1) / (alpha + 1), and a uniform azimuth;
//   - two species of masses 1 and 4 at temperatures 1 and 3 under a constant
//     kernel relax at the rate a cross collision's expected energy exchange
//     gives, to the common temperature.
// Statistical thresholds are at the 0.1% level (3.29 standard deviations,
// or the Kolmogorov-Smirnov critical distance), at fixed seeds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <collide/colider.h>

#include "../models.h"
#include "statistics.h"

namespace {

const double kPi = 3.14159265358979323846;
const double kZ = 3.29;  // the normal's two-sided 0.1% point

// A homogeneous gas in fixed cells: cell c (from 1) holds `per_cell`
// particles, numbered in order; species[p] is particle p's (entry 0 unused).
struct Box {
  int cells, per_cell;
  Matrix velocity, max_weight, remainder, coeff;
  SortList lists;
  std::vector<int> species;

  Box(int cells_, int per_cell_)
      : cells(cells_),
        per_cell(per_cell_),
        velocity(cells_ * per_cell_, 3),
        max_weight(cells_, 1),
        remainder(cells_, 1),
        coeff(cells_, 1),
        lists(cells_, cells_ * per_cell_ + 1),
        species(cells_ * per_cell_ + 1, 0) {
    for (int c = 1; c <= cells; c++) {
      lists.cellPopulation[c] = per_cell;
      lists.cellStart[c] = (c - 1) * per_cell + 1;
      for (int k = 0; k < per_cell; k++) lists.crossRef[lists.cellStart[c] + k] = lists.cellStart[c] + k;
    }
  }
  int particles() const { return cells * per_cell; }
  int first(int c) const { return (c - 1) * per_cell + 1; }
};

// A pair's weight from its model's cross-section, sigma(g) / sigma_ref =
// (g_ref / g)^(2 omega - 1) (1 for hard spheres), times its scale and g.
double weight(const CollisionModel& model, double g) {
  if (model.kind == COLLIDE_HARD_SPHERE) return model.scale * g;
  return model.scale * std::pow(model.g_ref / g, 2 * model.omega - 1) * g;
}

double relative_speed(const Matrix& v, int a, int b) {
  double sum = 0;
  for (int k = 1; k <= 3; k++) sum += (v(a, k) - v(b, k)) * (v(a, k) - v(b, k));
  return std::sqrt(sum);
}

// One model for every pair, or a table over two species with masses 1 and 4.
struct Interaction {
  std::string name;
  std::vector<CollisionModel> models;  // 1, or 2 x 2
  const CollisionModel& of(int a, int b) const {
    return models.size() == 1 ? models[0] : models[static_cast<size_t>(2 * a + b)];
  }
};

void PrintTo(const Interaction& interaction, std::ostream* out) { *out << interaction.name; }

const std::vector<Interaction>& interactions() {
  static const std::vector<Interaction> table = {
      {"HardSphere", {HardSphere()}},
      {"HardSphereOfScale2_5", {HardSphere(2.5)}},
      {"VHS_0_75", {VHS(0.75, 1.3)}},
      {"MaxwellMolecules", {VHS(1.0, 0.7, 2.0)}},
      {"VSS", {VSS(0.8, 1.1, 1.6)}},
      {"Mixture", {VHS(0.7, 1.0), VHS(0.75, 1.0, 1.5), VHS(0.75, 1.0, 1.5), HardSphere(0.5)}},
  };
  return table;
}

const double kMasses[2] = {1.0, 4.0};

// Calls the callable form with one model, or the table as a Mixture.
template <class Generator>
int step(Box& box, const Interaction& interaction, Generator& generator) {
  if (interaction.models.size() == 1) {
    return colider(box.velocity, box.max_weight, 0.0, generator, box.remainder, box.coeff,
                   box.lists, interaction.models[0]);
  }
  const Mixture mixture = {2, box.species.data(), kMasses, interaction.models.data(), 4};
  return colider(box.velocity, box.max_weight, 0.0, generator, box.remainder, box.coeff,
                 box.lists, mixture);
}

class ModelRate : public testing::TestWithParam<Interaction> {};

// On a fixed, far from equilibrium state, restored after every call, with at
// most one candidate per cell and call: each candidate is a pair of that
// state, accepted with probability w / max_weight, so the collisions of K
// calls have the mean K sum_c coeff_c sum_{i != j} w_ij and a binomial spread.
TEST_P(ModelRate, MatchesTheCoefficientTimesTheSumOverPairsOfTheirWeights) {
  const Interaction& interaction = GetParam();
  std::mt19937_64 engine(20261209);
  std::uniform_real_distribution<double> uniform(-1.0, 1.0);
  Box box(100, 20);
  for (int p = 1; p <= box.particles(); p++) {
    box.species[p] = p % 2;
    const double spread = 0.2 + 0.01 * ((p - 1) / box.per_cell);  // unequal cells
    for (int k = 1; k <= 3; k++) box.velocity(p, k) = spread * uniform(engine);
  }
  double mean = 0, variance = 0;
  const int calls = 20000;
  for (int c = 1; c <= box.cells; c++) {
    double sum = 0, largest = 0;
    for (int i = box.first(c); i < box.first(c) + box.per_cell; i++) {
      for (int j = box.first(c); j < box.first(c) + box.per_cell; j++) {
        if (i == j) continue;
        const double w =
            weight(interaction.of(box.species[i], box.species[j]), relative_speed(box.velocity, i, j));
        sum += w;
        largest = std::max(largest, w);
      }
    }
    box.max_weight(c, 1) = 1.25 * largest;
    const double pairs = box.per_cell * (box.per_cell - 1.0);
    box.coeff(c, 1) = 0.9 / (pairs * box.max_weight(c, 1));  // S = 0.9 a call
    const double candidates = 0.9 * calls, accept = sum / pairs / box.max_weight(c, 1);
    mean += candidates * accept;
    variance += candidates * accept * (1 - accept);
  }
  const Matrix start = box.velocity, start_max = box.max_weight;
  std::uniform_real_distribution<double> deviate(0.0, 1.0);
  auto draw = [&] { return deviate(engine); };
  long long collisions = 0;
  for (int call = 0; call < calls; call++) {
    collisions += step(box, interaction, draw);
    box.velocity = start;
  }
  EXPECT_NEAR(static_cast<double>(collisions), mean, kZ * std::sqrt(variance))
      << interaction.name << ": relative " << collisions / mean - 1;
  for (int c = 1; c <= box.cells; c++)
    EXPECT_EQ(box.max_weight(c, 1), start_max(c, 1)) << "no pair outweighs the estimate";
}

INSTANTIATE_TEST_SUITE_P(EveryModel, ModelRate, testing::ValuesIn(interactions()),
                         [](const auto& info) { return info.param.name; });

// A model added to the library's table is not tested until its weight is
// written above and a case of it is in interactions().
TEST(ModelRate, CoversEveryModelOfTheTable) {
  for (const collide_detail::ModelDescription* model : collide_detail::model_table()) {
    bool covered = false;
    for (const Interaction& interaction : interactions())
      for (const CollisionModel& m : interaction.models) covered = covered || m.kind == model->kind;
    EXPECT_TRUE(covered) << model->name << " (kind " << model->kind
                         << ") has no case in interactions()";
  }
}

// Pairs of a gas in equilibrium at kT / m = 1, drawn afresh for every call:
// a candidate is accepted with probability <w> / max_weight, where
// <w> = scale g_ref^(2 omega - 1) <g^(2 - 2 omega)> and the relative speed
// of two particles of mass m has 2 kT / mu = 4 kT / m = 4.
TEST(ModelRate, MatchesTheClosedFormInAnEquilibriumGasUnderVHS) {
  for (const CollisionModel& model : {HardSphere(), VHS(0.75, 1.0), VHS(0.9, 2.0, 1.5)}) {
    const double omega = model.kind == COLLIDE_HARD_SPHERE ? 0.5 : model.omega;
    const double p = 2 - 2 * omega;
    const double mean_g_p = std::pow(4.0, p / 2) * std::tgamma((3 + p) / 2) / std::tgamma(1.5);
    const double g_ref = model.kind == COLLIDE_HARD_SPHERE ? 1.0 : model.g_ref;
    const double mean_w = model.scale * std::pow(g_ref, 2 * omega - 1) * mean_g_p;
    // Two particles' relative speed is 2 times a chi of three degrees of
    // freedom: beyond 14 with a chance below 1e-20.
    const double largest = weight(model, 14.0);
    const double accept = mean_w / largest;

    Box box(200, 10);
    for (int c = 1; c <= box.cells; c++) {
      box.max_weight(c, 1) = largest;
      box.coeff(c, 1) = 0.9 / (box.per_cell * (box.per_cell - 1.0) * largest);
    }
    std::mt19937_64 engine(7);
    std::normal_distribution<double> gauss(0.0, 1.0);
    std::uniform_real_distribution<double> deviate(0.0, 1.0);
    auto draw = [&] { return deviate(engine); };
    const int calls = 5000;
    long long collisions = 0;
    const Interaction one = {"model", {model}};
    for (int call = 0; call < calls; call++) {
      for (int p = 1; p <= box.particles(); p++)
        for (int k = 1; k <= 3; k++) box.velocity(p, k) = gauss(engine);
      collisions += step(box, one, draw);
    }
    const double candidates = 0.9 * calls * box.cells;
    EXPECT_NEAR(static_cast<double>(collisions), candidates * accept,
                kZ * std::sqrt(candidates * accept * (1 - accept)))
        << "omega " << omega << ": <w> measured " << collisions / candidates * largest
        << ", theory " << mean_w;
  }
}

// Sum of m v and of m v^2 over every particle.
struct Totals {
  double momentum[3] = {0, 0, 0};
  double energy = 0, scale = 0;
};

Totals totals(const Box& box, const double* mass) {
  Totals t;
  for (int p = 1; p <= box.particles(); p++) {
    const double m = mass[box.species[p]];
    for (int k = 1; k <= 3; k++) {
      t.momentum[k - 1] += m * box.velocity(p, k);
      t.energy += m * box.velocity(p, k) * box.velocity(p, k);
      t.scale += m * std::fabs(box.velocity(p, k));
    }
  }
  return t;
}

TEST(ModelConservation, MomentumAndEnergyOfUnequalMassesAfterEveryStep) {
  const double mass[3] = {1.0, 4.0, 0.25};
  const std::vector<CollisionModel> table = {
      HardSphere(),        VHS(0.75, 1.0, 1.2), VSS(0.8, 1.0, 1.5),  //
      VHS(0.75, 1.0, 1.2), VSS(0.9, 2.0, 1.3),  VHS(1.0, 1.0),       //
      VSS(0.8, 1.0, 1.5),  VHS(1.0, 1.0),       HardSphere(0.7)};
  Box box(50, 40);
  std::mt19937_64 engine(11);
  std::normal_distribution<double> gauss(0.0, 1.0);
  for (int p = 1; p <= box.particles(); p++) {
    box.species[p] = p % 3;
    for (int k = 1; k <= 3; k++) box.velocity(p, k) = gauss(engine) / std::sqrt(mass[p % 3]) + 0.3 * k;
  }
  for (int c = 1; c <= box.cells; c++) box.max_weight(c, 1) = 3.0;
  const Mixture mixture = {3, box.species.data(), mass, table.data(), 9};
  const Totals before = totals(box, mass);
  int collisions = 0;
  for (std::uint64_t s = 0; s < 20; s++) {
    collisions += colider_range(box.velocity, box.max_weight, box.remainder, 0.002, box.lists, 1,
                                box.cells, CellStreams{5, s}, mixture);
    const Totals after = totals(box, mass);
    for (int k = 0; k < 3; k++)
      EXPECT_NEAR(after.momentum[k], before.momentum[k], 1e-13 * before.scale) << "step " << s;
    EXPECT_NEAR(after.energy, before.energy, 1e-13 * before.energy) << "step " << s;
  }
  EXPECT_GT(collisions, 20 * box.particles() / 10) << "the gas collided";
}

// One collision in each of many two-particle cells, each pair with a random
// relative velocity (along the x axis for some): the deflection cos chi and
// the azimuth about the old relative velocity, measured in a frame of the
// test's own.
struct Deflections {
  std::vector<double> cosines, azimuths;
  double worst_speed_change = 0, worst_centre_change = 0;
};

Deflections deflections(const CollisionModel& model, int calls) {
  Box box(1000, 2);
  std::mt19937_64 engine(3);
  std::normal_distribution<double> gauss(0.0, 1.0);
  std::uniform_real_distribution<double> deviate(0.0, 1.0);
  auto draw = [&] { return deviate(engine); };
  Deflections out;
  for (int call = 0; call < calls; call++) {
    for (int p = 1; p <= box.particles(); p++)
      for (int k = 1; k <= 3; k++) box.velocity(p, k) = gauss(engine);
    for (int c = 1; c <= box.cells; c++) {
      if (c % 50 == 0) box.velocity(2 * c, 2) = box.velocity(2 * c - 1, 2), box.velocity(2 * c, 3) = box.velocity(2 * c - 1, 3);
      const double w = weight(model, relative_speed(box.velocity, 2 * c - 1, 2 * c));
      box.max_weight(c, 1) = w;  // w / w = 1 > u3: always accepted
      box.coeff(c, 1) = 1 / (2 * w);
      box.remainder(c, 1) = 0.5;  // S = 1.5: one candidate
    }
    const Matrix before = box.velocity;
    const Interaction one = {"model", {model}};
    EXPECT_EQ(step(box, one, draw), box.cells);
    for (int c = 1; c <= box.cells; c++) {
      double g[3], h[3];
      for (int k = 0; k < 3; k++) {
        g[k] = before(2 * c - 1, k + 1) - before(2 * c, k + 1);
        h[k] = box.velocity(2 * c - 1, k + 1) - box.velocity(2 * c, k + 1);
        out.worst_centre_change = std::max(
            out.worst_centre_change,
            std::fabs(box.velocity(2 * c - 1, k + 1) + box.velocity(2 * c, k + 1) -
                      before(2 * c - 1, k + 1) - before(2 * c, k + 1)));
      }
      const double gg = std::sqrt(g[0] * g[0] + g[1] * g[1] + g[2] * g[2]);
      const double hh = std::sqrt(h[0] * h[0] + h[1] * h[1] + h[2] * h[2]);
      // Round-off in v_cm +- g'/2 scales with the speeds, not with g.
      double speeds = 0;
      for (int k = 1; k <= 3; k++) speeds += std::fabs(before(2 * c - 1, k)) + std::fabs(before(2 * c, k));
      out.worst_speed_change = std::max(out.worst_speed_change, std::fabs(hh - gg) / speeds);
      // e1 perpendicular to g, from the axis least along it; e2 = g x e1 / |g|.
      const int least = std::fabs(g[0]) <= std::fabs(g[1]) && std::fabs(g[0]) <= std::fabs(g[2]) ? 0
                        : std::fabs(g[1]) <= std::fabs(g[2])                                   ? 1
                                                                                               : 2;
      double axis[3] = {0, 0, 0};
      axis[least] = 1;
      double e1[3] = {g[1] * axis[2] - g[2] * axis[1], g[2] * axis[0] - g[0] * axis[2],
                      g[0] * axis[1] - g[1] * axis[0]};
      const double n1 = std::sqrt(e1[0] * e1[0] + e1[1] * e1[1] + e1[2] * e1[2]);
      for (double& e : e1) e /= n1;
      const double e2[3] = {(g[1] * e1[2] - g[2] * e1[1]) / gg, (g[2] * e1[0] - g[0] * e1[2]) / gg,
                            (g[0] * e1[1] - g[1] * e1[0]) / gg};
      out.cosines.push_back((g[0] * h[0] + g[1] * h[1] + g[2] * h[2]) / (gg * hh));
      out.azimuths.push_back(std::atan2(h[0] * e2[0] + h[1] * e2[1] + h[2] * e2[2],
                                        h[0] * e1[0] + h[1] * e1[1] + h[2] * e1[2]));
    }
  }
  return out;
}

TEST(VSS, DeflectionFollowsItsLawWithAUniformAzimuth) {
  for (double alpha : {1.0, 1.5, 2.0}) {
    const Deflections d = deflections(VSS(0.75, 1.0, alpha), 100);
    const size_t n = d.cosines.size();
    EXPECT_LT(ks_distance(d.cosines, [&](double x) { return std::pow((1 + x) / 2, alpha); }),
              ks_critical(n))
        << "alpha " << alpha;
    EXPECT_LT(ks_distance(d.azimuths, [](double phi) { return (phi + kPi) / (2 * kPi); }),
              ks_critical(n))
        << "alpha " << alpha;
    // cos chi = 2 u^(1/alpha) - 1: E[u^(k/alpha)] = alpha / (alpha + k).
    const double mean = (alpha - 1) / (alpha + 1);
    const double square = 4 * alpha / (alpha + 2) - 4 * alpha / (alpha + 1) + 1;
    double sum = 0;
    for (double c : d.cosines) sum += c;
    EXPECT_NEAR(sum / n, mean, kZ * std::sqrt((square - mean * mean) / n)) << "alpha " << alpha;
    EXPECT_LT(d.worst_speed_change, 1e-14) << "relative speed kept, alpha " << alpha;
    EXPECT_LT(d.worst_centre_change, 1e-14) << "centre of mass kept, alpha " << alpha;
  }
}

TEST(VHS, ScattersIsotropically) {
  const Deflections d = deflections(VHS(0.75, 1.0), 100);
  EXPECT_LT(ks_distance(d.cosines, [](double x) { return (1 + x) / 2; }), ks_critical(d.cosines.size()));
  EXPECT_LT(d.worst_speed_change, 1e-14);
}

// Masses 1 and 4, temperatures 1 and 3, w = 1 for every pair (omega = 1).
// A cross collision of isotropic scattering changes species a's energy by
// -m_a (m_b / M) V.g on average, V the centre-of-mass velocity and g the
// relative one: -3 beta (T_a - T_b) with beta = m_a m_b / M^2 = 4/25, since
// <m v^2> = 3 T. So each cross collision multiplies T_a - T_b by
// 1 - 2 beta (1/N_a + 1/N_b), and a cell of n + n particles has
// 2 n n coeff w of them a step: T_a - T_b = 2 exp(-k t), k = 8 beta coeff n
// per step for equal numbers. Both end at (1 + 3) / 2 = 2.
TEST(TwoSpecies, TemperaturesRelaxAtTheCrossCollisionRateToTheCommonOne) {
  const int cells = 1000, n = 25;  // n of each species a cell
  Box box(cells, 2 * n);
  const double mass[2] = {1.0, 4.0}, temperature[2] = {1.0, 3.0};
  std::mt19937_64 engine(2026);
  std::normal_distribution<double> gauss(0.0, 1.0);
  for (int p = 1; p <= box.particles(); p++) {
    box.species[p] = p % 2;
    for (int k = 1; k <= 3; k++) box.velocity(p, k) = gauss(engine);
  }
  // Each species exactly at rest and at its temperature.
  auto temperature_of = [&](int s) {
    double sum = 0;
    for (int p = 1; p <= box.particles(); p++)
      if (box.species[p] == s)
        for (int k = 1; k <= 3; k++) sum += mass[s] * box.velocity(p, k) * box.velocity(p, k);
    return sum / (3.0 * cells * n);
  };
  for (int s = 0; s < 2; s++) {
    for (int k = 1; k <= 3; k++) {
      double mean = 0;
      for (int p = 1; p <= box.particles(); p++) if (box.species[p] == s) mean += box.velocity(p, k);
      mean /= cells * n;
      for (int p = 1; p <= box.particles(); p++) if (box.species[p] == s) box.velocity(p, k) -= mean;
    }
    const double factor = std::sqrt(temperature[s] / temperature_of(s));
    for (int p = 1; p <= box.particles(); p++)
      if (box.species[p] == s)
        for (int k = 1; k <= 3; k++) box.velocity(p, k) *= factor;
  }
  const CollisionModel maxwell = VHS(1.0, 1.0);
  const Mixture mixture = {2, box.species.data(), mass, &maxwell, 1};
  for (int c = 1; c <= cells; c++) box.max_weight(c, 1) = 1.0;
  const double coeff = 0.05 / (2 * n - 1);  // 0.1 collisions a particle a step
  const double beta = 4.0 / 25, k = 8 * beta * coeff * n;

  // Measured at a quarter, a half, one and two e-foldings, then at twelve.
  // Each species' temperature wanders by about T sqrt(2 / (3 N)) as the
  // exchanges fall at random; the difference by sqrt(2) times that at T = 2.
  const double spread = std::sqrt(2.0) * 2 * std::sqrt(2.0 / (3.0 * cells * n));
  int t = 0;
  for (double efoldings : {0.25, 0.5, 1.0, 2.0}) {
    for (; t < std::lround(efoldings / k); t++)
      colider_range(box.velocity, box.max_weight, box.remainder, coeff, box.lists, 1, cells,
                    CellStreams{9, static_cast<std::uint64_t>(t)}, mixture);
    const double expected = 2 * std::exp(-k * t);
    EXPECT_NEAR(temperature_of(1) - temperature_of(0), expected, kZ * spread)
        << "after " << t << " steps, " << efoldings << " e-foldings";
  }
  for (; t < std::lround(12 / k); t++)
    colider_range(box.velocity, box.max_weight, box.remainder, coeff, box.lists, 1, cells,
                  CellStreams{9, static_cast<std::uint64_t>(t)}, mixture);
  // At equilibrium with the total energy fixed, a species' temperature
  // fluctuates by T sqrt(2 / (3 N_s) N_other / N).
  const double equilibrium = 2 * std::sqrt(2.0 / (3.0 * cells * n) * 0.5);
  EXPECT_NEAR(temperature_of(0), 2.0, kZ * equilibrium);
  EXPECT_NEAR(temperature_of(1), 2.0, kZ * equilibrium);
  EXPECT_NEAR(temperature_of(0) + temperature_of(1), 4.0, 1e-12) << "energy kept";
}

}  // namespace

namespace {

// A gas with every kind of cell for the bit and refusal tests: 30 cells of
// 0 to 59 particles, listed out of order, two species.
Box uneven_box(std::uint64_t seed) {
  Box box(30, 60);
  std::mt19937_64 engine(seed);
  std::normal_distribution<double> gauss(0.0, 1.0);
  std::uniform_real_distribution<double> uniform(0.0, 1.0);
  for (int p = 1; p <= box.particles(); p++) {
    box.species[p] = static_cast<int>(uniform(engine) * 2);
    for (int k = 1; k <= 3; k++) box.velocity(p, k) = gauss(engine);
  }
  for (int c = 1; c <= box.cells; c++) {
    box.lists.cellPopulation[c] = static_cast<int>(uniform(engine) * 60);
    std::shuffle(box.lists.crossRef + box.first(c), box.lists.crossRef + box.first(c) + 60, engine);
    box.max_weight(c, 1) = 3 + uniform(engine);
    box.remainder(c, 1) = uniform(engine);
    box.coeff(c, 1) = 0.001 * (1 + uniform(engine));
  }
  return box;
}

bool same_bits(const Matrix& a, const Matrix& b) {
  for (int i = 1; i <= a.nRow(); i++)
    for (int j = 1; j <= a.nCol(); j++)
      if (std::memcmp(&a(i, j), &b(i, j), sizeof(double)) != 0) return false;
  return true;
}

bool same_gas(const Box& a, const Box& b) {
  return same_bits(a.velocity, b.velocity) && same_bits(a.max_weight, b.max_weight) &&
         same_bits(a.remainder, b.remainder);
}

template <class Interactions>
int keyed(Box& box, SelectCoeff coeff, const Interactions& interactions, int first = 1,
          int last = 30) {
  return colider_range(box.velocity, box.max_weight, box.remainder, coeff, box.lists, first, last,
                       CellStreams{77, 3}, interactions);
}

TEST(ModelBits, OneHalfOmegaIsHardSpheres) {
  Box vhs = uneven_box(1), hs = uneven_box(1);
  EXPECT_EQ(keyed(vhs, 0.001, VHS(0.5, 3.0, 1.7)), keyed(hs, 0.001, HardSphere(1.7)));
  EXPECT_TRUE(same_gas(vhs, hs));
}

TEST(ModelBits, OneSpeciesOfOneMassAsAMixtureIsTheClassicStep) {
  Box mixed = uneven_box(2), classic = uneven_box(2);
  const double mass[2] = {2.0, 2.0};
  const CollisionModel hard = HardSphere();
  EXPECT_EQ(keyed(mixed, 0.001, Mixture{2, mixed.species.data(), mass, &hard, 1}),
            keyed(classic, 0.001, HardSphere()));
  EXPECT_TRUE(same_gas(mixed, classic));
}

TEST(ModelBits, ACoefficientPerCellIsEachCellsOwnScalar) {
  const std::vector<CollisionModel> table = {VHS(0.7, 1.0), VSS(0.8, 1.0, 1.4),
                                             VSS(0.8, 1.0, 1.4), HardSphere(0.6)};
  for (bool mixture : {false, true}) {
    Box per_cell = uneven_box(3), one_by_one = uneven_box(3), equal = uneven_box(3),
        scalar = uneven_box(3);
    const Mixture mix = {2, per_cell.species.data(), kMasses, table.data(), 4};
    int together = 0, apart = 0;
    if (mixture) {
      together = keyed(per_cell, per_cell.coeff, mix);
      for (int c = 1; c <= 30; c++) apart += keyed(one_by_one, one_by_one.coeff(c, 1), mix, c, c);
    } else {
      together = keyed(per_cell, per_cell.coeff, VHS(0.8, 1.2));
      for (int c = 1; c <= 30; c++)
        apart += keyed(one_by_one, one_by_one.coeff(c, 1), VHS(0.8, 1.2), c, c);
    }
    EXPECT_EQ(together, apart);
    EXPECT_TRUE(same_gas(per_cell, one_by_one)) << "mixture " << mixture;
    for (int c = 1; c <= 30; c++) equal.coeff(c, 1) = 0.0015;
    EXPECT_EQ(keyed(equal, equal.coeff, VHS(0.8, 1.2)), keyed(scalar, 0.0015, VHS(0.8, 1.2)));
    EXPECT_TRUE(same_gas(equal, scalar));
  }
}

TEST(ModelArguments, EachConstructorRefusesAParameterOutOfRangeByName) {
  struct Case {
    std::function<CollisionModel()> make;
    std::string message;
  };
  const std::vector<Case> cases = {
      {[] { return VHS(0.4, 1.0); }, "VHS: omega is 0.4; it must lie in [0.5, 1]"},
      {[] { return VHS(1.5, 1.0); }, "VHS: omega is 1.5; it must lie in [0.5, 1]"},
      {[] { return VHS(0.75, 0.0); }, "VHS: g_ref is 0; it must lie in [1e-150, 1e150]"},
      {[] { return VHS(0.75, NAN); }, "VHS: g_ref is nan; it must lie in [1e-150, 1e150]"},
      {[] { return VSS(0.75, 1.0, 0.5); }, "VSS: alpha is 0.5; it must lie in [1, 2]"},
      {[] { return VSS(0.75, 1.0, 1.5, -1.0); }, "VSS: scale is -1; it must be above 0 and at most 1e100"},
      {[] { return HardSphere(0.0); }, "HardSphere: scale is 0; it must be above 0 and at most 1e100"},
      {[] { return HardSphere(INFINITY); }, "HardSphere: scale is inf; it must be above 0 and at most 1e100"},
      // Beyond it a pair's weight could overflow at a speed the step takes.
      {[] { return HardSphere(1e308); }, "HardSphere: scale is 1e+308; it must be above 0 and at most 1e100"},
      {[] { return VSS(1.0, 1e150, 2.0, DBL_MAX); },
       "VSS: scale is 1.7976931348623157e+308; it must be above 0 and at most 1e100"},
  };
  for (const Case& c : cases) {
    try {
      c.make();
      ADD_FAILURE() << "accepted: " << c.message;
    } catch (const ColiderError& refused) {
      EXPECT_EQ(refused.what(), c.message);
    }
  }
}

// Whether `text` is `pattern`, where a * in the pattern stands for any text.
bool matches(const std::string& text, const std::string& pattern) {
  const size_t star = pattern.find('*');
  if (star == std::string::npos) return text == pattern;
  const std::string head = pattern.substr(0, star), tail = pattern.substr(star + 1);
  return text.size() >= head.size() + tail.size() && text.compare(0, head.size(), head) == 0 &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(ModelArguments, EachRefusalOfAStepNamesItsValueAndChangesNothing) {
  const CollisionModel good = VHS(0.75, 1.0);
  CollisionModel unknown = good;
  unknown.kind = 9;
  CollisionModel narrow = good;
  narrow.omega = 0.3;
  const std::vector<CollisionModel> asymmetric = {good, HardSphere(), HardSphere(1.1), good};
  const double bad_mass[2] = {1.0, 0.0}, nan_mass[2] = {NAN, 1.0};
  struct Case {
    std::function<int(Box&)> call;
    std::string message;
  };
  const std::vector<Case> cases = {
      {[&](Box& b) { return keyed(b, 0.001, unknown); },
       "colider_range: model.kind is 9; it must be one of 1 (HardSphere), 2 (VHS), 3 (VSS)"},
      {[&](Box& b) { return keyed(b, 0.001, narrow); },
       "colider_range: model.omega is 0.3; it must lie in [0.5, 1]"},
      {[&](Box& b) { return keyed(b, 0.001, Mixture{2, b.species.data(), kMasses, asymmetric.data(), 4}); },
       "colider_range: models[2] and models[1] differ, for species 1 and 0; the table must be symmetric"},
      {[&](Box& b) { return keyed(b, 0.001, Mixture{2, b.species.data(), bad_mass, &good, 1}); },
       "colider_range: mass[1] is 0; a mass must be finite and above 0"},
      {[&](Box& b) { return keyed(b, 0.001, Mixture{2, b.species.data(), nan_mass, &good, 1}); },
       "colider_range: mass[0] is nan; a mass must be finite and above 0"},
      {[&](Box& b) { return keyed(b, 0.001, Mixture{2, b.species.data(), kMasses, &good, 3}); },
       "colider: modelCount is 3; it must be 1 (one model for every pair) or speciesCount^2 = 4"},
      {[&](Box& b) { return keyed(b, 0.001, Mixture{0, b.species.data(), kMasses, &good, 1}); },
       "colider: speciesCount is 0; it must be at least 1"},
      {[&](Box& b) { return keyed(b, 0.001, Mixture{2, nullptr, kMasses, &good, 1}); },
       "colider: a Mixture needs its species, mass and models"},
      {[&](Box& b) {
         b.species[b.lists.crossRef[b.first(1) + 1]] = 2;
         return keyed(b, 0.001, Mixture{2, b.species.data(), kMasses, &good, 1});
       },
       "colider: species[*] is 2 in cell 1; a species must lie in [0, 2)"},
      {[&](Box& b) {
         b.coeff(1, 1) = NAN;
         return keyed(b, b.coeff, good);
       },
       "colider: selectCoeff is nan in cell 1; it must be finite"},
  };
  for (const Case& c : cases) {
    Box box = uneven_box(4), untouched = uneven_box(4);
    box.lists.cellPopulation[1] = untouched.lists.cellPopulation[1] = 40;  // refused at cell 1
    try {
      c.call(box);
      ADD_FAILURE() << "accepted: " << c.message;
    } catch (const ColiderError& refused) {
      EXPECT_TRUE(matches(refused.what(), c.message)) << refused.what() << "\nexpected " << c.message;
    }
    EXPECT_TRUE(same_gas(box, untouched)) << c.message;
  }
}

}  // namespace
