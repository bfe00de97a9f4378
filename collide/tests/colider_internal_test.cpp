// Rotation and vibration exchanged by the Larsen-Borgnakke model, against
// kinetic theory rather than the step's own arithmetic:
//   - equilibrium held: in a gas at one temperature, <e_rot> = (zeta / 2) kT
//     and <i> = 1 / (exp(theta_v / T) - 1) of the translational kT, over
//     many collisions per particle; the energies follow Gamma(zeta / 2) kT
//     (Kolmogorov-Smirnov) and the levels Boltzmann's populations
//     (chi-square); the same in mixtures of unequal masses and omegas, and
//     with Parker's temperature-dependent relaxation number;
//   - relaxation: from T_rot = 0, T_tr - T_rot falls as Jeans' equation
//     says, exp(-(1 + zeta / 3) n / Z) after n collisions per particle; from
//     the ground level in a heat bath, the vibrational energy rises as
//     Landau and Teller's says; both fits recover the Z given within 2%;
//   - every step keeps momentum and total energy with unequal masses;
//   - the factor that converts Z_vib is the integral that defines it.
// Statistical thresholds at the 0.1% level (3.29 standard errors, from the
// spread of batch means), at fixed seeds.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <collide/colider.h>

#include "../exchange.h"
#include "statistics.h"

namespace {

const double kZ = 3.29;  // the normal's two-sided 0.1% point

// A homogeneous gas in `cells` cells of `per_cell` particles each; species
// s has mass[s], the particles alternating between the species.
struct Gas {
  int cells, per_cell;
  std::vector<double> mass;
  Matrix velocity, eRot, maxWeight, remainder, temperature;
  SortList lists;
  std::vector<int> species;  // from row 1; entry 0 unused
  std::vector<int> vibLevel;  // likewise
  uint64_t step = 0;
  double collisions_per_particle = 0;

  Gas(int cells_, int per_cell_, std::vector<double> mass_)
      : cells(cells_),
        per_cell(per_cell_),
        mass(std::move(mass_)),
        velocity(cells_ * per_cell_, 3),
        eRot(cells_ * per_cell_, 1),
        maxWeight(cells_, 1),
        remainder(cells_, 1),
        temperature(cells_, 1),
        lists(cells_, cells_ * per_cell_ + 1),
        species(cells_ * per_cell_ + 1, 0),
        vibLevel(cells_ * per_cell_ + 1, 0) {
    for (int c = 1; c <= cells; c++) {
      lists.cellPopulation[c] = per_cell;
      lists.cellStart[c] = (c - 1) * per_cell + 1;
      for (int k = 0; k < per_cell; k++) lists.crossRef[lists.cellStart[c] + k] = lists.cellStart[c] + k;
      maxWeight(c, 1) = 6.0;
      temperature(c, 1) = 1.0;
    }
    for (int p = 1; p <= particles(); p++) species[p] = (p - 1) % static_cast<int>(mass.size());
  }
  int particles() const { return cells * per_cell; }

  // Maxwell-Boltzmann velocities at translational kT, rotational energies
  // Gamma(dof / 2) kT_rot of each species' dof, and vibrational levels of
  // Boltzmann's populations at kT_rot (all 0 when it is 0).
  void thermalise(double kT, double kT_rot, const std::vector<Internal>& internal, uint64_t seed) {
    std::mt19937_64 engine(seed);
    std::normal_distribution<double> gauss(0.0, 1.0);
    for (int p = 1; p <= particles(); p++) {
      const int s = species[p];
      for (int k = 1; k <= 3; k++) velocity(p, k) = std::sqrt(kT / mass[s]) * gauss(engine);
      const int dof = internal[s].rot_dof;
      eRot(p, 1) = dof == 0 || kT_rot == 0
                       ? 0.0
                       : kT_rot * std::gamma_distribution<double>(dof / 2.0, 1.0)(engine);
      const double quantum = internal[s].vib_quantum;
      vibLevel[p] = quantum == 0 || kT_rot == 0
                        ? 0
                        : std::geometric_distribution<int>(-std::expm1(-quantum / kT_rot))(engine);
    }
  }

  // Every velocity scaled about the centre of mass so that the
  // translational kT is `kT`: a heat bath.
  void hold_at(double kT) {
    double momentum[3] = {0, 0, 0}, total = 0;
    for (int p = 1; p <= particles(); p++) {
      total += mass[species[p]];
      for (int k = 1; k <= 3; k++) momentum[k - 1] += mass[species[p]] * velocity(p, k);
    }
    const double factor = std::sqrt(kT / translational());
    for (int p = 1; p <= particles(); p++)
      for (int k = 1; k <= 3; k++)
        velocity(p, k) = momentum[k - 1] / total + factor * (velocity(p, k) - momentum[k - 1] / total);
  }

  // One step of every cell.
  template <class Interaction>
  void advance(const Interaction& interaction, const std::vector<Internal>& internal, double coeff) {
    const InternalEnergy energy = {internal.data(), &eRot, &temperature, vibLevel.data()};
    const int n = colider_range(velocity, maxWeight, remainder, coeff, lists, 1, cells,
                                CellStreams{20261210, step++}, interaction, energy);
    collisions_per_particle += 2.0 * n / particles();
  }

  // Translational kT of species s (of all with s < 0), about the gas's
  // centre of mass, and the rotational kT of those that rotate.
  double translational(int s = -1) const {
    double momentum[3] = {0, 0, 0}, total = 0;
    for (int p = 1; p <= particles(); p++) {
      total += mass[species[p]];
      for (int k = 1; k <= 3; k++) momentum[k - 1] += mass[species[p]] * velocity(p, k);
    }
    double sum = 0;
    int count = 0;
    for (int p = 1; p <= particles(); p++) {
      if (s >= 0 && species[p] != s) continue;
      for (int k = 1; k <= 3; k++) {
        const double u = velocity(p, k) - momentum[k - 1] / total;
        sum += mass[species[p]] * u * u;
      }
      count++;
    }
    return sum / (3.0 * count);
  }
  // The vibrational kT of species s: theta_v / ln(1 + 1 / <level>).
  double vibrational(const std::vector<Internal>& internal, int s) const {
    double sum = 0;
    int count = 0;
    for (int p = 1; p <= particles(); p++) {
      if (species[p] != s) continue;
      sum += vibLevel[p];
      count++;
    }
    return internal[s].vib_quantum / std::log1p(count / sum);
  }
  double rotational(const std::vector<Internal>& internal, int s = -1) const {
    double sum = 0, dof = 0;
    for (int p = 1; p <= particles(); p++) {
      if (s >= 0 && species[p] != s) continue;
      sum += eRot(p, 1);
      dof += internal[species[p]].rot_dof;
    }
    return sum / (dof / 2);
  }
};

Internal rotating(int dof, double z_rot) {
  Internal in = {};
  in.rot_dof = dof;
  in.z_rot = z_rot;
  return in;
}

// The mean of `values` and its standard error from the spread of 20 batch
// means, which the samples' correlation over a few collisions cannot fool.
struct Estimate {
  double mean, error;
};
Estimate batch_mean(const std::vector<double>& values) {
  const int batches = 20;
  const size_t size = values.size() / batches;
  std::vector<double> means(batches, 0.0);
  for (int b = 0; b < batches; b++) {
    for (size_t k = 0; k < size; k++) means[b] += values[b * size + k];
    means[b] /= static_cast<double>(size);
  }
  double mean = 0, spread = 0;
  for (double m : means) mean += m / batches;
  for (double m : means) spread += (m - mean) * (m - mean) / (batches - 1);
  return {mean, std::sqrt(spread / batches)};
}

Internal parker(int dof, double z_inf, double t_star) {
  Internal in = rotating(dof, 1.0);
  in.parker_z_inf = z_inf;
  in.parker_t_star = t_star;
  return in;
}

Internal vibrating(int rot_dof, double z_rot, double quantum, double z_vib) {
  Internal in = rotating(rot_dof, z_rot);
  in.vib_quantum = quantum;
  in.z_vib = z_vib;
  return in;
}

struct EquilibriumCase {
  std::string name;
  std::vector<double> mass;
  std::vector<Internal> internal;
  std::vector<CollisionModel> models;  // 1, or the S x S table
  uint64_t seed;
};

void PrintTo(const EquilibriumCase& c, std::ostream* out) { *out << c.name; }

const std::vector<EquilibriumCase>& equilibrium_cases() {
  static const std::vector<EquilibriumCase> cases = {
      {"LinearMoleculesHardSpheres", {1.0}, {rotating(2, 3.0)}, {HardSphere()}, 17},
      {"NonlinearVHS", {1.0}, {rotating(3, 4.0)}, {VHS(0.75, 1.0)}, 17},
      // The pairs' own omegas: a cross collision takes 0.75, neither species'.
      {"MixtureOfTwoAndThreeDegrees",
       {1.0, 3.0},
       {rotating(2, 4.0), rotating(3, 5.0)},
       {VHS(0.6, 1.0), VSS(0.75, 1.0, 1.4), VSS(0.75, 1.0, 1.4), VHS(0.95, 1.0, 1.2)},
       17},
      {"ParkersNumberAtTheCellsTemperature", {1.0}, {parker(2, 15.0, 0.2)}, {VHS(0.74, 1.0)}, 17},
      {"VibrationAtHalfAQuantumOfKT", {1.0}, {vibrating(0, 1.0, 0.5, 5.0)}, {HardSphere()}, 23},
      {"VibrationAtOneQuantum", {1.0}, {vibrating(0, 1.0, 1.0, 5.0)}, {VHS(0.75, 1.0)}, 23},
      {"VibrationAtTwoQuanta", {1.0}, {vibrating(0, 1.0, 2.0, 5.0)}, {VHS(0.75, 1.0)}, 23},
      // A rotating, vibrating molecule among atoms of another omega: the
      // pairs' own omegas again.
      {"MoleculesAmongAtoms",
       {1.0, 2.5},
       {vibrating(2, 6.0, 1.0, 8.0), Internal{}},
       {VHS(0.6, 1.0), VHS(0.75, 1.0), VHS(0.75, 1.0), VHS(0.95, 1.0)},
       23},
  };
  return cases;
}

// Boltzmann's populations of species s's levels, the tail pooled where
// fewer than 20 are expected, at the temperature of their own mean (whose
// match with the translational kT is tested apart): the chi-square of one
// degree of freedom fewer than the bins, and its critical value.
std::pair<double, double> level_chi_square(const Gas& gas, const std::vector<Internal>& internal,
                                           int s) {
  const double x = internal[s].vib_quantum / gas.vibrational(internal, s);
  std::vector<double> observed;
  for (int p = 1; p <= gas.particles(); p++) {
    if (gas.species[p] != s) continue;
    const size_t level = static_cast<size_t>(gas.vibLevel[p]);
    if (level >= observed.size()) observed.resize(level + 1, 0.0);
    observed[level]++;
  }
  double n = 0;
  for (double o : observed) n += o;
  double chi2 = 0, tail_observed = n, tail_expected = n;
  int bins = 0;
  for (size_t level = 0;; level++) {
    const double expected = n * -std::expm1(-x) * std::exp(-x * static_cast<double>(level));
    if (expected < 20 || tail_expected - expected < 20) break;
    const double o = level < observed.size() ? observed[level] : 0.0;
    chi2 += (o - expected) * (o - expected) / expected;
    tail_observed -= o;
    tail_expected -= expected;
    bins++;
  }
  chi2 += (tail_observed - tail_expected) * (tail_observed - tail_expected) / tail_expected;
  return {chi2, chi_square_critical(bins - 1)};
}

// The Kolmogorov-Smirnov distance of species s's rotational energies from
// Gamma(zeta / 2) kT, kT the translational one, and its critical value.
std::pair<double, double> rotation_distance(const Gas& gas, const std::vector<Internal>& internal,
                                            int s) {
  const double kT = gas.translational();
  std::vector<double> energies;
  for (int p = 1; p <= gas.particles(); p++)
    if (gas.species[p] == s) energies.push_back(gas.eRot(p, 1) / kT);
  const int dof = internal[s].rot_dof;
  const double d = ks_distance(energies, [dof](double x) {
    if (dof == 2) return 1 - std::exp(-x);
    return std::erf(std::sqrt(x)) - 2 * std::sqrt(x / 3.14159265358979323846) * std::exp(-x);
  });
  return {d, ks_critical(energies.size())};
}

class InternalEquilibrium : public testing::TestWithParam<EquilibriumCase> {};

// Started in equilibrium at kT = 1, the gas stays there, over 300
// collisions per particle of 60,000:
//   - each rotating species' rotational kT is the translational kT within
//     3.29 standard errors, a precision of 0.1% or better, and its energies
//     at the end follow Gamma(zeta / 2) kT (Kolmogorov-Smirnov);
//   - each vibrating species' mean level is Boltzmann's at the translational
//     kT, <i> = 1 / (exp(theta_v / T) - 1), within 3.29 standard errors, a
//     precision of 0.15% or better (a level is a coarser measure of energy
//     than a rotation's), and its levels at the end follow Boltzmann's
//     populations (chi-square).
TEST_P(InternalEquilibrium, IsKeptWithTheEquilibriumDistributions) {
  const EquilibriumCase& c = GetParam();
  Gas gas(60, 1000, c.mass);
  gas.thermalise(1.0, 1.0, c.internal, c.seed);
  const int S = static_cast<int>(c.mass.size());
  std::vector<int> species(gas.species.begin(), gas.species.end());
  const Mixture mixture = {S, species.data(), c.mass.data(), c.models.data(),
                           static_cast<int>(c.models.size())};
  std::vector<std::vector<double>> rotation(S), vibration(S);
  const double coeff = 0.5 / (999 * 6.0);  // about 0.5 candidates a particle a step
  while (gas.collisions_per_particle < 300) {
    gas.advance(mixture, c.internal, coeff);
    if (gas.collisions_per_particle < 10) continue;  // after the start
    for (int s = 0; s < S; s++) {
      if (c.internal[s].rot_dof > 0)
        rotation[s].push_back(gas.rotational(c.internal, s) / gas.translational());
      if (c.internal[s].vib_quantum > 0)
        vibration[s].push_back(gas.vibrational(c.internal, s) / gas.translational());
    }
  }
  for (int s = 0; s < S; s++) {
    if (!rotation[s].empty()) {
      const Estimate ratio = batch_mean(rotation[s]);
      EXPECT_NEAR(ratio.mean, 1.0, kZ * ratio.error) << c.name << ", species " << s;
      EXPECT_LT(ratio.error, 1e-3) << c.name << ": too few collisions for a precision of 0.1%";
      const auto ks = rotation_distance(gas, c.internal, s);
      EXPECT_LT(ks.first, ks.second) << c.name << ", species " << s;
    }
    if (!vibration[s].empty()) {
      const Estimate ratio = batch_mean(vibration[s]);
      EXPECT_NEAR(ratio.mean, 1.0, kZ * ratio.error) << c.name << ", species " << s;
      EXPECT_LT(ratio.error, 1.5e-3) << c.name << ": too few collisions for a precision of 0.15%";
      const auto chi2 = level_chi_square(gas, c.internal, s);
      EXPECT_LT(chi2.first, chi2.second) << c.name << ", species " << s;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryCase, InternalEquilibrium, testing::ValuesIn(equilibrium_cases()),
                         [](const auto& info) { return info.param.name; });

// From T_rot = 0 at kT_tr = 1 the gas relaxes as Jeans' equation says: the
// energy's conservation makes T_tr - T_rot = exp(-(1 + zeta / 3) n / Z) of
// its start after n collisions per particle. A straight line through
// ln(T_tr - T_rot) over n from 0.2 to 2.5 e-foldings recovers Z. With
// 400,000 particles the fit scatters by about 0.3%; the exchange drains the
// translational energy's tail a little ahead of the elastic collisions that
// refill it, which moves the rate by about 1% at Z = 5 and less at larger Z.
TEST(RotationalRelaxation, FollowsJeansEquationAtTheRelaxationNumberGiven) {
  struct Case {
    const char* name;
    int dof;
    double z;
    CollisionModel model;
  };
  const Case cases[] = {{"linear, hard spheres", 2, 10.0, HardSphere()},
                        {"nonlinear, VHS", 3, 20.0, VHS(0.75, 1.0)}};
  for (const Case& c : cases) {
    const std::vector<Internal> internal = {rotating(c.dof, c.z)};
    Gas gas(160, 2500, {1.0});
    gas.thermalise(1.0, 0.0, internal, 29);
    const double e_folding = c.z / (1 + c.dof / 3.0);  // collisions per particle
    const double coeff = 0.05 / (2499 * 6.0);  // about 0.05 candidates a particle a step
    double sn = 0, sy = 0, snn = 0, sny = 0;
    int points = 0;
    const double start = gas.translational() - gas.rotational(internal);
    while (gas.collisions_per_particle < 2.5 * e_folding) {
      gas.advance(c.model, internal, coeff);
      const double n = gas.collisions_per_particle;
      if (n < 0.2 * e_folding) continue;
      const double y = std::log((gas.translational() - gas.rotational(internal)) / start);
      sn += n, sy += y, snn += n * n, sny += n * y;
      points++;
    }
    const double slope = (points * sny - sn * sy) / (points * snn - sn * sn);
    const double measured_z = -(1 + c.dof / 3.0) / slope;
    EXPECT_NEAR(measured_z / c.z, 1.0, 0.02) << c.name << ": Z measured " << measured_z;
  }
}

// Every step keeps the gas's momentum and its energy, translational,
// rotational and vibrational, with species of masses 1 and 7.
TEST(RotationalExchange, KeepsMomentumAndTotalEnergyWithUnequalMasses) {
  Internal vibrating_linear = rotating(2, 5.0);
  vibrating_linear.vib_quantum = 0.7;
  vibrating_linear.z_vib = 12.0;
  const std::vector<Internal> internal = {vibrating_linear, rotating(3, 5.0)};
  Gas gas(10, 200, {1.0, 7.0});
  gas.thermalise(1.0, 2.0, internal, 41);
  std::vector<int> species(gas.species.begin(), gas.species.end());
  const std::vector<CollisionModel> table = {VHS(0.7, 1.0), VSS(0.8, 1.0, 1.5),
                                             VSS(0.8, 1.0, 1.5), HardSphere(1.3)};
  const Mixture mixture = {2, species.data(), gas.mass.data(), table.data(), 4};
  auto totals = [&](double momentum[3]) {
    double energy = 0;
    for (int k = 0; k < 3; k++) momentum[k] = 0;
    for (int p = 1; p <= gas.particles(); p++) {
      const double m = gas.mass[gas.species[p]];
      for (int k = 1; k <= 3; k++) {
        momentum[k - 1] += m * gas.velocity(p, k);
        energy += 0.5 * m * gas.velocity(p, k) * gas.velocity(p, k);
      }
      energy += gas.eRot(p, 1) + gas.vibLevel[p] * internal[gas.species[p]].vib_quantum;
    }
    return energy;
  };
  double before[3], after[3];
  const double energy = totals(before);
  for (int step = 0; step < 50; step++) {
    gas.advance(mixture, internal, 0.3 / (199 * 6.0));
    EXPECT_NEAR(totals(after), energy, 1e-12 * energy) << "step " << step;
    for (int k = 0; k < 3; k++) EXPECT_NEAR(after[k], before[k], 1e-12 * energy) << "step " << step;
  }
  EXPECT_GT(gas.collisions_per_particle, 5.0) << "too few collisions to show anything";
}

// The C++ forms' own refusals of internal energy, before anything changes.
TEST(RotationalExchange, TheCxxFormsRefuseABadEnergyMatrixOrData) {
  const std::vector<Internal> internal = {rotating(2, 5.0)};
  Gas gas(4, 50, {1.0});
  gas.thermalise(1.0, 1.0, internal, 3);
  Matrix narrow(gas.particles(), 2), short_rows(gas.particles() - 1, 1);
  struct Case {
    const char* what;
    InternalEnergy energy;
    const char* message;
  };
  const Case cases[] = {
      {"an energy Matrix of two columns", {internal.data(), &narrow, nullptr, nullptr},
       "colider_range: eRot is 200 x 2; it must be one column of a row per velocity row, 200"},
      {"an energy Matrix short of a row", {internal.data(), &short_rows, nullptr, nullptr},
       "colider_range: eRot is 199 x 1; it must be one column of a row per velocity row, 200"},
      {"the velocities as energies", {internal.data(), &gas.velocity, nullptr, nullptr},
       "colider_range: eRot is 200 x 3; it must be one column of a row per velocity row, 200"},
      {"no species data", {nullptr, &gas.eRot, nullptr, nullptr},
       "colider_range: the internal energy needs its species' data"},
  };
  for (const Case& c : cases) {
    const Matrix before = gas.velocity;
    try {
      colider_range(gas.velocity, gas.maxWeight, gas.remainder, 0.01, gas.lists, 1, 4,
                    CellStreams{1, 1}, HardSphere(), c.energy);
      ADD_FAILURE() << "accepted: " << c.what;
    } catch (const ColiderError& refused) {
      EXPECT_EQ(std::string(refused.what()), c.message) << c.what;
    }
    for (int p = 1; p <= gas.particles(); p++)
      for (int k = 1; k <= 3; k++) ASSERT_EQ(gas.velocity(p, k), before(p, k)) << c.what;
  }
}

// In a heat bath (the translational kT held at 1 after every step), levels
// all 0 at first relax as Landau and Teller's equation says: the mean
// vibrational energy is E* (1 - exp(-n / Z)) after n collisions per
// particle, E* = theta_v / (exp(theta_v / T) - 1). A straight line through
// ln(1 - E / E*) over n from 0.2 to 2.5 Z recovers Z. The exchange's mean
// response is not quite linear in the level, which moves the rate from a
// start far from equilibrium by well under 1%.
TEST(VibrationalRelaxation, FollowsLandauAndTellerAtTheRelaxationNumberGiven) {
  struct Case {
    const char* name;
    double quantum;
    CollisionModel model;
  };
  const Case cases[] = {{"half a quantum of kT, hard spheres", 0.5, HardSphere()},
                        {"two quanta, VHS", 2.0, VHS(0.75, 1.0)}};
  const double z = 10.0;
  for (const Case& c : cases) {
    const std::vector<Internal> internal = {vibrating(0, 1.0, c.quantum, z)};
    Gas gas(160, 2500, {1.0});
    gas.thermalise(1.0, 0.0, internal, 31);
    const double equilibrium = 1 / std::expm1(c.quantum);  // levels
    double sn = 0, sy = 0, snn = 0, sny = 0;
    int points = 0;
    while (gas.collisions_per_particle < 2.5 * z) {
      gas.advance(c.model, internal, 0.05 / (2499 * 6.0));
      gas.hold_at(1.0);
      const double n = gas.collisions_per_particle;
      if (n < 0.2 * z) continue;
      double mean = 0;
      for (int p = 1; p <= gas.particles(); p++) mean += gas.vibLevel[p];
      mean /= gas.particles();
      const double y = std::log(1 - mean / equilibrium);
      sn += n, sy += y, snn += n * n, sny += n * y;
      points++;
    }
    const double slope = (points * sny - sn * sy) / (points * snn - sn * sn);
    EXPECT_NEAR(-1 / slope / z, 1.0, 0.02) << c.name << ": Z measured " << -1 / slope;
  }
}

// The factor that turns Landau and Teller's Z into a probability,
// f = Var(i) / E[Var(i | E_c)], against the integral worked out directly:
// E_c = E_t + x i, E_t ~ Gamma(b), i Boltzmann's at kT = 1; given E_c the
// level takes j with weights (E_c - x j)^(b - 1). A midpoint rule over E_c
// up to 60 kT, each level's density summed as it stands.
double factor_by_integral(double x, double b) {
  const int steps = 40000;
  const double top = 60, dE = top / steps;
  double integral = 0;
  for (int k = 0; k < steps; k++) {
    const double E = (k + 0.5) * dE;
    double density = 0, w = 0, w1 = 0, w2 = 0;
    for (int j = 0; j * x < E; j++) {
      const double t = E - j * x;
      const double weight = std::pow(t, b - 1);
      density += -std::expm1(-x) * std::exp(-x * j) * weight * std::exp(-t) / std::tgamma(b);
      w += weight, w1 += weight * j, w2 += weight * j * j;
    }
    integral += density * (w2 / w - (w1 / w) * (w1 / w)) * dE;
  }
  const double variance = std::exp(-x) / (std::expm1(-x) * std::expm1(-x));
  return variance / integral;
}

TEST(VibrationalExchange, ItsFactorIsTheIntegralsAndItsLimits) {
  for (double x : {0.3, 1.0, 4.0}) {
    for (double b : {1.5, 1.8, 2.0}) {
      const double expected = factor_by_integral(x, b);
      EXPECT_NEAR(collide_detail::vibration_factor(x, b), expected, 1e-3 * expected)
          << "theta_v / T " << x << ", b " << b;
    }
  }
  // The continuous mode's 1 + 1/b as theta_v / T goes to 0, and 1 far below.
  EXPECT_NEAR(collide_detail::vibration_factor(0.0, 2.0), 1.5, 1e-9);
  EXPECT_NEAR(collide_detail::vibration_factor(0.0, 1.5), 1 + 1 / 1.5, 1e-9);
  EXPECT_LT(collide_detail::vibration_factor(200.0, 2.0), 1.01);
}

}  // namespace
