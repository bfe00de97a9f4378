// The table of collision models (each model's record is in models/), and
// what the library does with a model: finds it by kind, checks it, compares
// two, and makes one; and the checks of a mixture's models and masses.
#include "models.h"

#include <cfloat>
#include <cmath>
#include <string>

#include "exchange.h"
#include "step_internals.h"

namespace collide_detail {

extern const ModelDescription kHardSphereModel, kVHSModel, kVSSModel;

namespace {
// Every model, in the order of their kinds.
const ModelDescription* const kTable[] = {&kHardSphereModel, &kVHSModel, &kVSSModel};
}  // namespace

const ModelTable& model_table() {
  static const ModelTable table = {kTable, sizeof kTable / sizeof kTable[0]};
  return table;
}

const ModelDescription* describe(int32_t kind) {
  for (const ModelDescription* model : model_table())
    if (model->kind == kind) return model;
  return nullptr;
}

namespace {
// "<function>: <name>." or "<function>: models[<index>].", for a message.
std::string lead_of(const char* function, const char* name, int index) {
  std::string lead = std::string(function) + ": ";
  if (name == nullptr) return lead;
  if (index < 0) return lead + name + ".";
  return lead + "models[" + std::to_string(index) + "].";
}
}  // namespace

const Parameter* parameter_out_of_range(const collide_model& model,
                                        const ModelDescription& description) {
  for (int k = 0; k < description.parameter_count; k++) {
    const Parameter& parameter = description.parameters[k];
    const double value = model.*parameter.field;
    const bool above = parameter.low_open ? value > parameter.low : value >= parameter.low;
    if (!(above && value <= parameter.high)) return &parameter;
  }
  return nullptr;
}

void check_model(const collide_model& model, const char* function, const char* name, int index) {
  const ModelDescription* description = describe(model.kind);
  if (description == nullptr) {
    std::string kinds;
    for (const ModelDescription* known : model_table())
      kinds += (kinds.empty() ? "" : ", ") + std::to_string(known->kind) + " (" + known->name + ")";
    throw ColiderError(lead_of(function, name, index) + "kind is " + std::to_string(model.kind) +
                       "; it must be one of " + kinds);
  }
  if (const Parameter* parameter = parameter_out_of_range(model, *description)) {
    throw ColiderError(lead_of(function, name, index) + parameter->name + " is " +
                       shortest(model.*parameter->field) + "; " + parameter->rule);
  }
}

bool same_model(const collide_model& a, const collide_model& b) {
  const ModelDescription* description = describe(a.kind);
  if (a.kind != b.kind || description == nullptr) return false;
  for (int k = 0; k < description->parameter_count; k++) {
    const Parameter& parameter = description->parameters[k];
    if (!(a.*parameter.field == b.*parameter.field)) return false;
  }
  return true;
}

namespace {
// "<function>: mass[<s>] is <value>; <rule>", thrown.
[[noreturn]] void refuse_mass(const char* function, int s, double mass, const char* rule) {
  throw ColiderError(std::string(function) + ": mass[" + std::to_string(s) + "] is " +
                     shortest(mass) + "; " + rule);
}
}  // namespace

namespace {
bool positive_finite(double value) { return value > 0 && value <= DBL_MAX; }
}  // namespace

void check_internal_data(const collide_internal& in, const char* function, int index) {
  auto refuse = [&](const char* name, double value, const char* rule) {
    const std::string owner = index >= 0 ? "internal[" + std::to_string(index) + "]." : "";
    throw ColiderError(std::string(function) + ": " + owner + name + " is " + shortest(value) +
                       "; " + rule);
  };
  if (in.rot_dof != 0 && in.rot_dof != 2 && in.rot_dof != 3)
    refuse("rot_dof", in.rot_dof, "it must be 0, 2 or 3");
  // A species without rotation has no rotational relaxation number to read.
  const bool rotates = in.rot_dof > 0;
  if (rotates && in.parker_z_inf != 0) {
    if (!positive_finite(in.parker_z_inf))
      refuse("parker_z_inf", in.parker_z_inf, "it must be finite and above 0, or 0 for z_rot");
    if (!positive_finite(in.parker_t_star))
      refuse("parker_t_star", in.parker_t_star, "it must be finite and above 0");
  } else if (rotates && !(in.z_rot >= 1 && in.z_rot <= DBL_MAX)) {
    refuse("z_rot", in.z_rot, "it must be finite and at least 1");
  }
  if (!(in.vib_quantum >= 0 && in.vib_quantum <= DBL_MAX))
    refuse("vib_quantum", in.vib_quantum, "it must be finite and 0 or more");
  // Likewise without vibration.
  const bool vibrates = in.vib_quantum > 0;
  if (vibrates && in.mw_c1 != 0) {
    if (!positive_finite(in.mw_c1))
      refuse("mw_c1", in.mw_c1, "it must be finite and above 0, or 0 for z_vib");
    if (!(std::fabs(in.mw_c2) <= DBL_MAX)) refuse("mw_c2", in.mw_c2, "it must be finite");
  } else if (vibrates && !(in.z_vib >= 1 && in.z_vib <= DBL_MAX)) {
    refuse("z_vib", in.z_vib, "it must be finite and at least 1");
  }
}

namespace {

// Each species' internal data, and the arrays its modes need; sets
// temperatureDependent, and checks the probabilities of exchange once when
// they do not depend on the temperature.
void check_internal_energy(Interactions& interactions, const char* function) {
  const int S = interactions.speciesCount > 0 ? interactions.speciesCount : 1;
  bool rotation = false, vibration = false;
  interactions.temperatureDependent = false;
  for (int s = 0; s < S; s++) {
    const collide_internal& in = interactions.internal[s];
    check_internal_data(in, function, s);
    // Vibration's probability of exchange depends on theta_v / T.
    interactions.temperatureDependent = interactions.temperatureDependent ||
                                        (in.rot_dof > 0 && in.parker_z_inf > 0) ||
                                        in.vib_quantum > 0;
    rotation = rotation || in.rot_dof > 0;
    vibration = vibration || in.vib_quantum > 0;
  }
  if (rotation && interactions.eRot == nullptr)
    throw ColiderError(std::string(function) + ": a species rotates (rot_dof above 0), yet no "
                       "rotational energies are given");
  if (vibration && interactions.vibLevel == nullptr)
    throw ColiderError(std::string(function) + ": a species vibrates (vib_quantum above 0), yet "
                       "no vibrational levels are given");
  if (!interactions.temperatureDependent) check_probabilities(interactions, 1.0, function, -1);
}
}  // namespace

Interactions checked_interactions(Interactions interactions, const char* function,
                                  const char* single) {
  // Messages are made only for a refusal: a call that passes takes no memory.
  if (interactions.tableSize == 0) {
    check_model(interactions.model, function, single, -1);
  } else {
    const int S = interactions.tableSize;
    const collide_model* table = interactions.table;
    for (int a = 0; a < S; a++) {
      for (int b = 0; b < S; b++) {
        check_model(table[a * S + b], function, "models", a * S + b);
        if (b < a && !same_model(table[a * S + b], table[b * S + a])) {
          throw ColiderError(std::string(function) + ": models[" + std::to_string(a * S + b) +
                             "] and models[" + std::to_string(b * S + a) +
                             "] differ, for species " + std::to_string(a) + " and " +
                             std::to_string(b) + "; the table must be symmetric");
        }
      }
    }
  }
  // Only the masses' ratios count: the step works with them scaled by a
  // power of two, which is exact, so that the largest lies in [0.5, 1).
  int largest = 0, smallest = 0;
  for (int s = 0; s < interactions.speciesCount; s++) {
    const double mass = interactions.mass[s];
    if (!(mass > 0 && mass <= DBL_MAX)) refuse_mass(function, s, mass, "a mass must be finite and above 0");
    // Below DBL_MIN a mass has fewer digits, and its ratios to the others
    // are no longer kept.
    if (mass < DBL_MIN)
      refuse_mass(function, s, mass, "a mass must be a normal double, at least 2.2250738585072014e-308");
    if (mass > interactions.mass[largest]) largest = s;
    if (mass < interactions.mass[smallest]) smallest = s;
  }
  interactions.massScale = 1.0;
  if (interactions.speciesCount > 0) {
    const double heaviest = interactions.mass[largest], lightest = interactions.mass[smallest];
    if (heaviest / kLargestMassRatio > lightest) {
      throw ColiderError(std::string(function) + ": mass[" + std::to_string(largest) + "] / mass[" +
                         std::to_string(smallest) + "] is " + shortest(heaviest / lightest) +
                         "; the masses' ratios must be at most 1e100");
    }
    int exponent = 0;
    std::frexp(heaviest, &exponent);
    interactions.massScale = std::ldexp(1.0, -exponent);
  }
  if (interactions.internal != nullptr) check_internal_energy(interactions, function);
  return interactions;
}

Interactions mixture_interactions(const Mixture& mixture) {
  const int S = mixture.speciesCount;
  if (S < 1) throw ColiderError("colider: speciesCount is " + std::to_string(S) + "; it must be at least 1");
  if (mixture.species == nullptr || mixture.mass == nullptr || mixture.models == nullptr)
    throw ColiderError("colider: a Mixture needs its species, mass and models");
  if (mixture.modelCount != 1 && static_cast<long long>(S) * S != mixture.modelCount) {
    throw ColiderError("colider: modelCount is " + std::to_string(mixture.modelCount) +
                       "; it must be 1 (one model for every pair) or speciesCount^2 = " +
                       std::to_string(static_cast<long long>(S) * S));
  }
  // The step indexes species by the velocity row counted from row 1.
  const bool one_model = mixture.modelCount == 1;
  return {mixture.models[0], one_model ? nullptr : mixture.models, one_model ? 0 : S, S,
          mixture.species + 1, mixture.mass, 1.0, nullptr, nullptr, nullptr, false, {}};
}

collide_model make(const ModelDescription& description, std::initializer_list<double> values) {
  collide_model model = {};
  model.kind = description.kind;
  const double* value = values.begin();
  for (int k = 0; k < description.parameter_count; k++)
    model.*description.parameters[k].field = value[k];
  check_model(model, description.name, nullptr, -1);
  return model;
}

}  // namespace collide_detail
