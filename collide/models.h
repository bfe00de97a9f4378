// A collision model is one record, the same for every model: its kind, its
// name in the bindings, what it is, its parameters in the order the
// bindings take them (each with its range and default), and what it does to
// a pair: its weight's law and its scattering, worked out once per model
// and taken by the cell step as data. Each model's record lives in a file
// of its own in models/; the table of them in models.cpp; every count and
// list of models (the checks, the messages, the Python classes) is made
// from the table.
//
// In every model sigma(g) = sigma_ref (g_ref / g)^(2 omega - 1), and the
// weight is w = scale (sigma(g) / sigma_ref) g
//             = (scale g_ref) (g^2 (1 / g_ref^2))^(1 - omega),
// taken from the squared relative speed so that a model other than hard
// spheres needs one power and no square root per candidate; the factors in
// brackets are a pair's law. For omega = 1/2 it is scale g, the hard-sphere
// weight, taken as scale sqrt(g^2) so that its bits are the hard spheres'.
// For omega = 1 it is scale g_ref whatever g is: Maxwell molecules.
// Example: VHS(0.75, 2, 1) at g = 8 weighs 2 (64 / 4)^0.25 = 4.
#ifndef COLLIDE_MODELS_H
#define COLLIDE_MODELS_H

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <initializer_list>

#include "collide/colider.h"

namespace collide_detail {

// One parameter of a model: its name, where a collide_model keeps it, its
// range [low, high] (low itself excluded when low_open) as `rule` states it
// in messages, its default (NaN: none), and what it means.
struct Parameter {
  const char* name;
  double collide_model::*field;
  double low, high;
  bool low_open;
  double default_value;
  const char* rule;
  const char* meaning;
};

struct ModelDescription {
  int32_t kind;
  const char* name;
  const char* summary;
  const Parameter* parameters;
  int parameter_count;
  // The pair's weight and its scattering, from a model of this kind whose
  // parameters are in range.
  PairLaw (*law)(const collide_model& model);
  Scattering (*scattering)(const collide_model& model);
};

// Every model of the library, in the order of their kinds.
struct ModelTable {
  const ModelDescription* const* first;
  int count;
  const ModelDescription* const* begin() const { return first; }
  const ModelDescription* const* end() const { return first + count; }
};
const ModelTable& model_table();

// The model of `kind`, or nullptr for a kind that names none.
const ModelDescription* describe(int32_t kind);

// The first of the model's parameters outside its range, or nullptr.
const Parameter* parameter_out_of_range(const collide_model& model,
                                        const ModelDescription& description);

// Throws ColiderError for a model of an unknown kind or with a parameter
// outside its range: "<function>: <name>.<parameter> is <value>; <rule>",
// with models[<index>] for the name when index is 0 or more, and no name
// at all when name is null.
void check_model(const collide_model& model, const char* function, const char* name, int index);

// Throws ColiderError for a species' internal data out of range:
// "<function>: internal[<index>].<name> is <value>; <rule>", without the
// internal[<index>]. when index is below 0.
void check_internal_data(const collide_internal& in, const char* function, int index);

// Whether two models are the same: the same kind and parameters.
bool same_model(const collide_model& a, const collide_model& b);

// A model of the description's kind from its parameters in the record's
// order, checked; the fields it does not use are 0.
collide_model make(const ModelDescription& description, std::initializer_list<double> values);

// The parameters the models share.
constexpr double kRequired = NAN;  // a parameter without a default
// scale at most 1e100 keeps a pair's weight finite at any relative speed the
// step takes (at most about 3.5e150): the weight is then at most 3.5e250.
constexpr Parameter kScale = {"scale", &collide_model::scale, 0.0, 1e100, true,
                              COLLIDE_DEFAULT_SCALE, "it must be above 0 and at most 1e100",
                              "the pair's reference cross-section over the one in select_coeff"};
constexpr Parameter kOmega = {"omega", &collide_model::omega, 0.5, 1.0, false, kRequired,
                              "it must lie in [0.5, 1]",
                              "the viscosity-temperature exponent: 1/2 hard spheres, 1 Maxwell molecules"};
constexpr Parameter kGRef = {"g_ref", &collide_model::g_ref, 1e-150, 1e150, false, kRequired,
                             "it must lie in [1e-150, 1e150]",
                             "the relative speed at which the cross-section is the reference one"};
constexpr Parameter kAlpha = {"alpha", &collide_model::alpha, 1.0, 2.0, false, kRequired,
                              "it must lie in [1, 2]",
                              "the scattering exponent: 1 isotropic, larger deflects less"};

// The laws and scatterings the models share.
inline PairLaw hard_sphere_law(double scale) { return {true, scale, 0, 0}; }
// The weight of a cross-section (g_ref / g)^(2 omega - 1): at omega = 1/2
// the hard spheres' law, whose bits it then gives.
inline PairLaw power_law(const collide_model& model) {
  if (model.omega == 0.5) return hard_sphere_law(model.scale);
  return {false, model.scale * model.g_ref, 1 / (model.g_ref * model.g_ref), 1 - model.omega};
}
inline Scattering isotropic(const collide_model&) { return {false, 0}; }

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

// The cosine of the new polar angle from the deviate u4 in [0, 1):
//   isotropic  cos theta = 1 - 2 u4, about a fixed axis
//   deflecting cos chi = 2 u4^exponent - 1, from the relative velocity
//              before the collision (VSS: exponent 1 / alpha, and the mean
//              is (alpha - 1) / (alpha + 1))
inline double polar_cosine(const Scattering& scattering, double u4) {
  if (scattering.deflects) return 2 * std::pow(u4, scattering.exponent) - 1;
  return 1 - 2 * u4;
}

}  // namespace collide_detail

#endif
