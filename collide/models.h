// What each collision model computes for one pair, included by the cell
// step so that it inlines there: the pair's weight, and the cosine of its
// new polar angle. models.cpp describes each model's parameters.
//
// In every model sigma(g) = sigma_ref (g_ref / g)^(2 omega - 1), and the
// weight is w = scale (sigma(g) / sigma_ref) g
//             = (scale g_ref) (g^2 (1 / g_ref^2))^(1 - omega),
// taken from the squared relative speed so that a model other than hard
// spheres needs one power and no square root per candidate; the factors in
// brackets are a pair's law, worked out once per model. For omega = 1/2
// it is scale g, the hard-sphere weight, taken as scale sqrt(g^2) so that
// its bits are the hard spheres'. For omega = 1 it is scale g_ref whatever
// g is: Maxwell molecules.
// Example: VHS(0.75, 2, 1) at g = 8 weighs 2 (64 / 4)^0.25 = 4.
#ifndef COLLIDE_MODELS_H
#define COLLIDE_MODELS_H

#include <cfloat>
#include <cmath>

#include "collide/colider_step.h"

namespace collide_detail {

inline PairLaw law_of(const collide_model& model) {
  if (model.kind == COLLIDE_HARD_SPHERE || model.omega == 0.5) return {true, model.scale, 0, 0};
  return {false, model.scale * model.g_ref, 1 / (model.g_ref * model.g_ref), 1 - model.omega};
}

// The pair's weight from its squared relative speed; when it takes the
// relative speed on the way, it stores it in `speed`.
// g^2 / g_ref^2 itself may overflow where the weight does not (a large speed
// over a small g_ref: g = 1e10 over g_ref = 1e-150 weighs about 1e-22 at
// omega = 0.6), and then the power is taken of each factor apart.
inline double pair_weight(const PairLaw& law, double squared_speed, double& speed) {
  if (law.hard) {
    speed = std::sqrt(squared_speed);
    return law.factor * speed;
  }
  const double ratio = squared_speed * law.inverse_square;
  if (ratio <= DBL_MAX) return law.factor * std::pow(ratio, law.exponent);
  return law.factor *
         (std::pow(squared_speed, law.exponent) * std::pow(law.inverse_square, law.exponent));
}

// Whether the model's polar angle is a deflection from the relative
// velocity before the collision (VSS), rather than an angle to a fixed axis.
inline bool deflects(const collide_model& model) { return model.kind == COLLIDE_VSS; }

// The cosine of the new polar angle from the deviate u4 in [0, 1):
//   isotropic (hard spheres, VHS)  cos theta = 1 - 2 u4
//   VSS                            cos chi = 2 u4^(1/alpha) - 1, whose mean
//                                  is (alpha - 1) / (alpha + 1)
inline double polar_cosine(const collide_model& model, double u4) {
  if (deflects(model)) return 2 * std::pow(u4, 1 / model.alpha) - 1;
  return 1 - 2 * u4;
}

}  // namespace collide_detail

#endif
