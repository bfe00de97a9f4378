// The Larsen-Borgnakke exchange's pieces (exchange.h): the relaxation
// numbers at a temperature, and the draws of a rotation's new share.
#include "exchange.h"

#include <cmath>
#include <string>

#include "models.h"
#include "step_internals.h"

namespace collide_detail {

double parker_z(double z_inf, double t_star, double temperature) {
  const double pi = 3.14159265358979323846;
  const double ratio = t_star / temperature;
  return z_inf / (1 + (std::pow(pi, 1.5) / 2) * std::sqrt(ratio) + (pi + pi * pi / 4) * ratio);
}

double rotational_z(const collide_internal& in, double temperature) {
  if (in.parker_z_inf > 0) return parker_z(in.parker_z_inf, in.parker_t_star, temperature);
  return in.z_rot;
}

double vibrational_z(const collide_internal& in, double omega, double temperature) {
  if (in.mw_c1 > 0) return (in.mw_c1 / std::pow(temperature, omega)) * std::exp(in.mw_c2 / std::cbrt(temperature));
  return in.z_vib;
}

namespace {
const int kUPoints = 129, kBPoints = 41;
const double kBLow = 1.5, kBHigh = 2.0;
const double kFactorTable[kBPoints][kUPoints] = {
#include "vibration_factor_table.inc"
};

// Catmull-Rom between p1 and p2 at t in [0, 1].
double catmull_rom(double p0, double p1, double p2, double p3, double t) {
  return p1 + 0.5 * t * (p2 - p0 + t * (2 * p0 - 5 * p1 + 4 * p2 - p3 + t * (3 * (p1 - p2) + p3 - p0)));
}

// Row b of the table at u's point k, a straight line beyond either end.
double table_at(int b, int k) {
  if (k < 0) return 2 * kFactorTable[b][0] - kFactorTable[b][1];
  if (k >= kUPoints) return 2 * kFactorTable[b][kUPoints - 1] - kFactorTable[b][kUPoints - 2];
  return kFactorTable[b][k];
}
}  // namespace

double vibration_factor(double theta_over_t, double b) {
  const double u = 1 / (1 + theta_over_t);
  const double fu = u * (kUPoints - 1);
  const int i = fu >= kUPoints - 1 ? kUPoints - 2 : static_cast<int>(fu);
  const double tu = fu - i;
  const double fb = (b - kBLow) / (kBHigh - kBLow) * (kBPoints - 1);
  const int j = fb >= kBPoints - 1 ? kBPoints - 2 : static_cast<int>(fb);
  const double tb = fb - j;
  double rows[4];
  for (int k = 0; k < 4; k++) {
    const int row = j - 1 + k;
    if (row < 0 || row >= kBPoints) continue;
    rows[k] = catmull_rom(table_at(row, i - 1), table_at(row, i), table_at(row, i + 1),
                          table_at(row, i + 2), tu);
  }
  if (j == 0) rows[0] = 2 * rows[1] - rows[2];
  if (j == kBPoints - 2) rows[3] = 2 * rows[2] - rows[1];
  const double h = catmull_rom(rows[0], rows[1], rows[2], rows[3], tb);
  return 1 + h / std::pow(1 + theta_over_t, b - 1);
}

double vibrational_probability(const collide_internal& in, double b, double omega,
                               double temperature) {
  if (!(in.vib_quantum > 0)) return 0;
  return vibration_factor(in.vib_quantum / temperature, b) / vibrational_z(in, omega, temperature);
}

bool vibrational_level(double collision_energy, double quantum, double b, double u, double v,
                       int& level) {
  if (!(collision_energy > 0)) {  // no energy to share: the ground level
    level = 0;
    return true;
  }
  const double top = std::floor(collision_energy / quantum);
  level = static_cast<int>(u * (top + 1));
  // The ground level's weight is the largest: always accepted.
  return level == 0 || v < std::pow(1 - level * quantum / collision_energy, b - 1);
}

double own_omega(const Interactions& interactions, int species) {
  const collide_model model =
      interactions.tableSize == 0
          ? interactions.model
          : interactions.table[species * interactions.tableSize + species];
  const ModelDescription* description = describe(model.kind);
  if (description == nullptr || parameter_out_of_range(model, *description) != nullptr)
    check_model(model, "colider", "models", species * interactions.tableSize + species);
  return omega_of(description->law(model));
}

double exchange_probability(const Interactions& interactions, int species, double b,
                            double temperature) {
  const collide_internal& in = interactions.internal[species];
  const double vibration =
      in.vib_quantum > 0
          ? vibrational_probability(in, b, own_omega(interactions, species), temperature)
          : 0.0;
  return rotational_probability(in, b, temperature) + vibration;
}

double rotational_probability(const collide_internal& in, double b, double temperature) {
  if (in.rot_dof == 0) return 0;
  return (1 / rotational_z(in, temperature)) * (1 + in.rot_dof / (2 * b));
}

void check_probabilities(const Interactions& interactions, double temperature,
                         const char* function, int cell) {
  const int S = interactions.speciesCount > 0 ? interactions.speciesCount : 1;
  for (int i = 0; i < S; i++) {
    for (int j = i; j < S; j++) {
      const collide_model model = interactions.tableSize == 0
                                      ? interactions.model
                                      : interactions.table[i * interactions.tableSize + j];
      const ModelDescription* description = describe(model.kind);
      if (description == nullptr || parameter_out_of_range(model, *description) != nullptr)
        check_model(model, function, "models", i * interactions.tableSize + j);
      const double b = collision_exponent(description->law(model));
      const double pi = exchange_probability(interactions, i, b, temperature);
      const double pj = exchange_probability(interactions, j, b, temperature);
      if (pi + pj <= 1) continue;
      throw ColiderError(
          std::string(function) + ": species " + std::to_string(i) + " and " + std::to_string(j) +
          " would exchange internal energy with probabilities " + shortest(pi) + " and " +
          shortest(pj) + (cell >= 0 ? " in cell " + std::to_string(cell) : std::string()) +
          ", more than 1 together: their relaxation numbers are too small for this model "
          "(collide/README.md, the exchange)");
    }
  }
}

bool rotational_share(int dof, double b, double u, double v, double& share) {
  if (dof == 2) {
    share = 1 - std::pow(u, 1 / b);
    return true;
  }
  // Beta(3/2, b) against its largest density, at x* = (1/2) / (b - 1/2):
  // the ratio is (x / x*)^(1/2) ((1 - x) / (1 - x*))^(b - 1).
  const double mode = 0.5 / (b - 0.5);
  share = u;
  return v < std::sqrt(u / mode) * std::pow((1 - u) / (1 - mode), b - 1);
}

}  // namespace collide_detail
