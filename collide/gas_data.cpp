// Molecular data: the table of gases, the models of a mixture's pairs by
// the mixing rule, select_coeff, and a first max_rel_speed, in SI units;
// the C++ forms throw ColiderError and the C forms turn it into a code.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "collide/collide_gas.h"
#include "collide/colider.h"
#include "models.h"
#include "step_internals.h"

namespace collide_detail {
namespace {

struct NamedGas {
  const char* name;
  collide_gas gas;
};

// Bird (1994), Appendix A: mass, and at 273 K the VHS diameter (Table A1)
// and the VSS diameter and alpha (Table A2), with omega. Air's VSS pair is
// not in Table A2: its alpha is nitrogen's and oxygen's mean weighted by
// their shares of air, 0.79 1.36 + 0.21 1.40, and its diameter the one
// that gives air's VHS viscosity with that alpha.
constexpr double kT0 = 273.0;
const NamedGas kGases[] = {
    {"H2", {3.34e-27, 2.92e-10, 2.88e-10, 0.67, 1.35, kT0}},
    {"He", {6.65e-27, 2.33e-10, 2.30e-10, 0.66, 1.26, kT0}},
    {"Ne", {33.5e-27, 2.77e-10, 2.72e-10, 0.66, 1.31, kT0}},
    {"Ar", {66.3e-27, 4.17e-10, 4.11e-10, 0.81, 1.40, kT0}},
    {"Kr", {139.1e-27, 4.76e-10, 4.70e-10, 0.80, 1.32, kT0}},
    {"Xe", {218.0e-27, 5.74e-10, 5.65e-10, 0.85, 1.44, kT0}},
    {"N2", {46.5e-27, 4.17e-10, 4.11e-10, 0.74, 1.36, kT0}},
    {"O2", {53.12e-27, 4.07e-10, 4.01e-10, 0.77, 1.40, kT0}},
    {"NO", {49.88e-27, 4.20e-10, 4.15e-10, 0.79, 1.31, kT0}},
    {"CO", {46.5e-27, 4.19e-10, 4.12e-10, 0.73, 1.49, kT0}},
    {"CO2", {73.1e-27, 5.62e-10, 5.54e-10, 0.93, 1.61, kT0}},
    {"CH4", {26.63e-27, 4.83e-10, 4.78e-10, 0.84, 1.60, kT0}},
    {"air", {48.1e-27, 4.19e-10, 4.13e-10, 0.77, 1.37, kT0}},
};
constexpr int kGasCount = sizeof kGases / sizeof kGases[0];

constexpr double kPi = 3.141592653589793;

// The ranges a molecule's data have in SI units: a value outside them is a
// units slip (a mass in atomic units, a diameter in angstrom).
void check_gas(const collide_gas& gas, const std::string& lead) {
  struct Range {
    const char* name;
    double value, low, high;
    const char* rule;
  };
  const Range ranges[] = {
      {"mass", gas.mass, 1e-28, 1e-23, "in kg, a molecule's mass lies in [1e-28, 1e-23]"},
      {"d_ref_vhs", gas.d_ref_vhs, 1e-11, 1e-8, "in m, a molecule's diameter lies in [1e-11, 1e-8]"},
      {"d_ref_vss", gas.d_ref_vss, 1e-11, 1e-8, "in m, a molecule's diameter lies in [1e-11, 1e-8]"},
      {"omega", gas.omega, 0.5, 1.0, "it must lie in [0.5, 1]"},
      {"alpha", gas.alpha, 1.0, 2.0, "it must lie in [1, 2]"},
      {"t_ref", gas.t_ref, DBL_MIN, 1e5, "in K, it must be above 0 and at most 1e5"},
  };
  for (const Range& range : ranges)
    if (!(range.value >= range.low && range.value <= range.high))
      throw ColiderError(lead + range.name + " is " + shortest(range.value) + "; " + range.rule);
}

// sqrt(2 k T / m_r), the most probable relative speed of a pair of reduced
// mass m_r at temperature T.
double pair_speed(double temperature, double reduced_mass) {
  return std::sqrt(2 * COLLIDE_BOLTZMANN * temperature / reduced_mass);
}

double reduced(double a, double b) { return a * b / (a + b); }

}  // namespace

collide_gas find_gas(const char* name, const char* function) {
  std::string names;
  for (const NamedGas& entry : kGases) {
    if (name != nullptr && std::strcmp(name, entry.name) == 0) return entry.gas;
    names += (names.empty() ? "" : ", ") + std::string(entry.name);
  }
  const std::string shown = name == nullptr ? "NULL" : "\"" + std::string(name) + "\"";
  throw ColiderError(std::string(function) + ": no gas is named " + shown + "; the table has " +
                     names);
}

const char* gas_name(int index) {
  return index >= 0 && index < kGasCount ? kGases[index].name : nullptr;
}

std::vector<collide_model> pair_models(const collide_gas* gases, int count, int kind,
                                       double& sigma_ref, const char* function) {
  if (count < 1 || gases == nullptr)
    throw ColiderError(std::string(function) + ": it needs at least one gas");
  if (kind != COLLIDE_HARD_SPHERE && kind != COLLIDE_VHS && kind != COLLIDE_VSS)
    throw ColiderError(std::string(function) + ": kind is " + std::to_string(kind) +
                       "; it must be COLLIDE_HARD_SPHERE, COLLIDE_VHS or COLLIDE_VSS");
  for (int a = 0; a < count; a++) {
    const std::string lead = std::string(function) + ": gases[" + std::to_string(a) + "].";
    check_gas(gases[a], lead);
    if (gases[a].t_ref != gases[0].t_ref)
      throw ColiderError(lead + "t_ref is " + shortest(gases[a].t_ref) + " and gases[0].t_ref " +
                         shortest(gases[0].t_ref) + "; a mixture's gases must share one t_ref");
  }
  // Each pair's cross-section at its g_ref, then each relative to the first
  // gas's own.
  std::vector<collide_model> models(static_cast<size_t>(count) * count);
  std::vector<double> sigma(models.size());
  for (int a = 0; a < count; a++) {
    for (int b = 0; b < count; b++) {
      const collide_gas& x = gases[a];
      const collide_gas& y = gases[b];
      const bool vss = kind == COLLIDE_VSS;
      const double d = vss ? (x.d_ref_vss + y.d_ref_vss) / 2 : (x.d_ref_vhs + y.d_ref_vhs) / 2;
      collide_model& model = models[a * count + b];
      model.kind = kind;
      model.omega = kind == COLLIDE_HARD_SPHERE ? 0.5 : (x.omega + y.omega) / 2;
      model.g_ref = kind == COLLIDE_HARD_SPHERE ? 0.0 : pair_speed(x.t_ref, reduced(x.mass, y.mass));
      model.alpha = vss ? (x.alpha + y.alpha) / 2 : 0.0;
      sigma[a * count + b] = kPi * d * d / std::tgamma(2.5 - model.omega);
    }
  }
  sigma_ref = sigma[0];
  for (size_t k = 0; k < models.size(); k++) {
    models[k].scale = sigma[k] / sigma_ref;
    check_model(models[k], function, "models", static_cast<int>(k));
  }
  return models;
}

double coefficient(double f_n, double dt, double cell_volume, double sigma_ref,
                   const char* function) {
  const double values[] = {f_n, dt, cell_volume, sigma_ref};
  const char* names[] = {"f_n", "dt", "cell_volume", "sigma_ref"};
  for (int k = 0; k < 4; k++)
    if (!(values[k] > 0 && values[k] <= DBL_MAX))
      throw ColiderError(std::string(function) + ": " + names[k] + " is " + shortest(values[k]) +
                         "; it must be finite and above 0");
  const double select = 0.5 * f_n * sigma_ref * dt / cell_volume;
  if (!(select > 0 && select <= DBL_MAX))
    throw ColiderError(std::string(function) + ": 1/2 f_n sigma_ref dt / cell_volume is " +
                       shortest(select) + "; it must be finite and above 0");
  return select;
}

double max_weight(const collide_model* models, int model_count, const double* mass,
                  int species_count, double temperature, const char* function) {
  if (species_count < 1 || mass == nullptr || models == nullptr)
    throw ColiderError(std::string(function) + ": it needs a model and a mass for each species");
  if (model_count != 1 && static_cast<long long>(species_count) * species_count != model_count)
    throw ColiderError(std::string(function) + ": there are " + std::to_string(model_count) +
                       " models; give 1, or one per pair of the " + std::to_string(species_count) +
                       " species: " + std::to_string(static_cast<long long>(species_count) * species_count));
  if (!(temperature > 0 && temperature <= 1e6))
    throw ColiderError(std::string(function) + ": temperature is " + shortest(temperature) +
                       "; in K, it must be above 0 and at most 1e6");
  // The step's own checks of the models and the masses, and then the
  // masses' range in kg.
  const bool one = model_count == 1;
  Interactions interactions = {models[0], one ? nullptr : models, one ? 0 : species_count,
                               species_count, nullptr, mass, 1.0, nullptr, nullptr, nullptr,
                               false, {}};
  checked_interactions(interactions, function, "model");
  for (int s = 0; s < species_count; s++)
    if (!(mass[s] >= 1e-28 && mass[s] <= 1e-23))
      throw ColiderError(std::string(function) + ": mass[" + std::to_string(s) + "] is " +
                         shortest(mass[s]) + "; in kg, a molecule's mass lies in [1e-28, 1e-23]");
  double largest = 0;
  for (int a = 0; a < species_count; a++) {
    for (int b = 0; b < species_count; b++) {
      const collide_model& model = models[one ? 0 : a * species_count + b];
      const double g = 4 * pair_speed(temperature, reduced(mass[a], mass[b]));
      double speed = 0;
      const double w = pair_weight(describe(model.kind)->law(model), g * g, speed);
      if (w > largest) largest = w;
    }
  }
  return largest;
}

}  // namespace collide_detail

GasData gas_data(const std::string& name) {
  return collide_detail::find_gas(name.c_str(), "gas_data");
}

MixtureModels mixture_models(const std::vector<GasData>& gases, int kind) {
  MixtureModels result;
  result.models = collide_detail::pair_models(gases.data(), static_cast<int>(gases.size()), kind,
                                              result.sigmaRef, "mixture_models");
  return result;
}

double select_coeff(double fN, double dt, double cellVolume, double sigmaRef) {
  return collide_detail::coefficient(fN, dt, cellVolume, sigmaRef, "select_coeff");
}

double first_max_weight(const std::vector<CollisionModel>& models, const std::vector<double>& mass,
                        double temperature) {
  if (models.size() > 2147483647 || mass.size() > 46340)
    throw ColiderError("first_max_weight: too many models or species");
  return collide_detail::max_weight(models.data(), static_cast<int>(models.size()), mass.data(),
                                    static_cast<int>(mass.size()), temperature,
                                    "first_max_weight");
}

namespace {
// A C call: its code, and its message under the function's name.
template <class Body>
int c_call(const char* function, char* message, size_t size, Body&& body) {
  try {
    body();
    if (message != nullptr && size > 0) message[0] = '\0';
    return COLLIDE_OK;
  } catch (const ColiderError& refused) {
    return collide_detail::report(COLLIDE_INVALID_ARGUMENT, function, refused.what(), message,
                                  size);
  } catch (const std::exception& failure) {
    return collide_detail::report(COLLIDE_FAILED, function, failure.what(), message, size);
  }
}

[[noreturn]] void refuse_null(const char* function, const char* name) {
  throw ColiderError(std::string(function) + ": " + name + " is NULL");
}
}  // namespace

extern "C" int collide_gas_data(const char* name, collide_gas* gas, char* message,
                                size_t message_size) {
  const char* function = "collide_gas_data";
  return c_call(function, message, message_size, [&] {
    if (gas == nullptr) refuse_null(function, "gas");
    *gas = collide_detail::find_gas(name, function);
  });
}

extern "C" const char* collide_gas_name(int32_t index) { return collide_detail::gas_name(index); }

extern "C" int collide_mixture_models(const collide_gas* gases, int32_t gas_count, int32_t kind,
                                      collide_model* models, double* sigma_ref, char* message,
                                      size_t message_size) {
  const char* function = "collide_mixture_models";
  return c_call(function, message, message_size, [&] {
    if (models == nullptr) refuse_null(function, "models");
    if (sigma_ref == nullptr) refuse_null(function, "sigma_ref");
    if (gas_count > 46340) throw ColiderError("collide_mixture_models: too many gases");
    double sigma = 0;
    const std::vector<collide_model> table =
        collide_detail::pair_models(gases, gas_count, kind, sigma, function);
    std::copy(table.begin(), table.end(), models);
    *sigma_ref = sigma;
  });
}

extern "C" int collide_select_coeff(double f_n, double dt, double cell_volume, double sigma_ref,
                                    double* select_coeff, char* message, size_t message_size) {
  const char* function = "collide_select_coeff";
  return c_call(function, message, message_size, [&] {
    if (select_coeff == nullptr) refuse_null(function, "select_coeff");
    *select_coeff = collide_detail::coefficient(f_n, dt, cell_volume, sigma_ref, function);
  });
}

extern "C" int collide_first_max_weight(const collide_model* models, int32_t model_count,
                                        size_t model_size, const double* mass,
                                        int32_t species_count, double temperature,
                                        double* max_weight, char* message, size_t message_size) {
  const char* function = "collide_first_max_weight";
  return c_call(function, message, message_size, [&] {
    if (max_weight == nullptr) refuse_null(function, "max_weight");
    if (model_size != sizeof(collide_model))
      throw ColiderError(std::string(function) + ": model_size is " + std::to_string(model_size) +
                         "; this collide's collide_model has " +
                         std::to_string(sizeof(collide_model)) + " bytes");
    *max_weight = collide_detail::max_weight(models, model_count, mass, species_count,
                                             temperature, function);
  });
}
