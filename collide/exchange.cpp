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
      const double pi = rotational_probability(interactions.internal[i], b, temperature);
      const double pj = rotational_probability(interactions.internal[j], b, temperature);
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
