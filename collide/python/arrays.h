// What the module's calls share: the arrays of one step as nanobind takes
// them, their shapes checked here (so that no call of the module can read
// outside an array, whatever reaches it), the C interface's arguments made
// from them, and one call run without the GIL that stops on Ctrl-C.
#ifndef COLLIDE_PYTHON_ARRAYS_H
#define COLLIDE_PYTHON_ARRAYS_H

#include <nanobind/nanobind.h>
#include <nanobind/ndarray.h>
#include <nanobind/stl/optional.h>
#include <nanobind/stl/string.h>
#include <nanobind/stl/pair.h>
#include <nanobind/stl/tuple.h>
#include <nanobind/stl/vector.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include <collide/collide.h>

#include "../models.h"

namespace collide_python {

namespace nb = nanobind;

using Velocities = nb::ndarray<double, nb::shape<-1, 3>, nb::c_contig, nb::device::cpu>;
using PerCell = nb::ndarray<double, nb::ndim<1>, nb::c_contig, nb::device::cpu>;
using Indices = nb::ndarray<const int32_t, nb::ndim<1>, nb::c_contig, nb::device::cpu>;
using Doubles = nb::ndarray<const double, nb::ndim<1>, nb::c_contig, nb::device::cpu>;
// A model as the package passes it: its kind, and its parameters in the
// order of its record in the library's table (models.h).
using ModelValues = std::pair<int32_t, std::vector<double>>;
// A species' internal energy as the package passes it: rot_dof, z_rot,
// parker_z_inf, parker_t_star, vib_quantum, z_vib, mw_c1, mw_c2.
using InternalValues = std::tuple<int32_t, double, double, double, double, double, double, double>;
using Levels = nb::ndarray<int32_t, nb::ndim<1>, nb::c_contig, nb::device::cpu>;
using PairCounts = nb::ndarray<int64_t, nb::ndim<2>, nb::c_contig, nb::device::cpu>;
using Positions = nb::ndarray<const double, nb::shape<-1, 3>, nb::c_contig, nb::device::cpu>;

inline collide_internal internal_of(const InternalValues& v) {
  collide_internal in = {};
  in.rot_dof = std::get<0>(v);
  in.z_rot = std::get<1>(v);
  in.parker_z_inf = std::get<2>(v);
  in.parker_t_star = std::get<3>(v);
  in.vib_quantum = std::get<4>(v);
  in.z_vib = std::get<5>(v);
  in.mw_c1 = std::get<6>(v);
  in.mw_c2 = std::get<7>(v);
  return in;
}

// The interface's message, under the Python function's name and with the
// package's name for a coefficient per cell.
[[noreturn]] inline void raise(const char* message) {
  std::string line = message;
  const size_t colon = line.find(": ");
  if (colon != std::string::npos) line = "colider: " + line.substr(colon + 2);
  const std::string per_cell = "select_coeff_per_cell";
  const size_t at = line.find(per_cell);
  if (at != std::string::npos) line.replace(at, per_cell.size(), "select_coeff");
  throw nb::value_error(line.c_str());
}

[[noreturn]] inline void refuse(const std::string& message) {
  throw nb::value_error(("colider: " + message).c_str());
}

struct Arrays {
  Velocities velocity;
  PerCell max_rel_speed, select_remainder;
  Indices cell_population, cell_start, cross_ref;
  double select_coeff;
  std::optional<Doubles> select_coeff_per_cell;
  std::vector<collide_model> models;
  std::optional<Indices> species;
  std::optional<Doubles> mass;
  int64_t first_cell, end_cell;  // end_cell < 0: every cell
  std::vector<collide_internal> internal;
  std::optional<PerCell> e_rot;
  std::optional<Levels> vib_level;
  std::optional<Doubles> cell_temperature;
  std::optional<PairCounts> pair_collisions;
  std::optional<Levels> particle_collisions;
  std::optional<Positions> position;
  std::optional<PerCell> separation;
  std::optional<Doubles> mean_population;
  int64_t cell_offset;  // the cell the per-cell arrays begin with
  int32_t partner;      // COLLIDE_PARTNER_RANDOM or COLLIDE_PARTNER_NEAREST

  // Every length the C interface takes from the arrays' shapes.
  void check_shapes() {
    const size_t cells = cell_population.shape(0);
    const struct {
      const char* name;
      size_t size;
    } sizes[] = {{"velocity", velocity.shape(0)}, {"cell_population", cells},
                 {"cross_ref", cross_ref.shape(0)}};
    for (const auto& s : sizes)
      if (s.size > 2147483647)
        refuse(std::string(s.name) + " has " + std::to_string(s.size) + " entries; at most 2147483647");
    const struct {
      const char* name;
      size_t size;
    } per_cell[] = {{"max_rel_speed", max_rel_speed.shape(0)},
                    {"select_remainder", select_remainder.shape(0)},
                    {"cell_start", cell_start.shape(0)},
                    {"select_coeff", select_coeff_per_cell ? select_coeff_per_cell->shape(0) : cells}};
    for (const auto& s : per_cell)
      if (s.size != cells)
        refuse(std::string(s.name) + " has " + std::to_string(s.size) + " entries, cell_population " +
               std::to_string(cells) + ": one per cell");
    if (species.has_value() != mass.has_value()) refuse("give species= and mass= together, or neither");
    if (species && species->shape(0) != velocity.shape(0))
      refuse("species has " + std::to_string(species->shape(0)) + " entries; it needs " +
             std::to_string(velocity.shape(0)) + ", one per particle");
    if (mass && (mass->shape(0) == 0 || mass->shape(0) > 46340))
      refuse("mass has " + std::to_string(mass->shape(0)) + " entries; it needs 1 to 46340");
    const struct {
      const char* name;
      bool given;
      size_t size, needed;
    } optional[] = {
        {"e_rot", e_rot.has_value(), e_rot ? e_rot->shape(0) : 0, velocity.shape(0)},
        {"vib_level", vib_level.has_value(), vib_level ? vib_level->shape(0) : 0, velocity.shape(0)},
        {"cell_temperature", cell_temperature.has_value(),
         cell_temperature ? cell_temperature->shape(0) : 0, cells}};
    for (const auto& o : optional)
      if (o.given && o.size != o.needed)
        refuse(std::string(o.name) + " has " + std::to_string(o.size) + " entries; it needs " +
               std::to_string(o.needed));
    const size_t species_count = mass ? mass->shape(0) : 1;
    if (pair_collisions &&
        (pair_collisions->shape(0) != species_count || pair_collisions->shape(1) != species_count))
      refuse("pair_collisions has shape (" + std::to_string(pair_collisions->shape(0)) + ", " +
             std::to_string(pair_collisions->shape(1)) + "); it needs (" +
             std::to_string(species_count) + ", " + std::to_string(species_count) +
             "), a count per pair of species");
    const struct {
      const char* name;
      bool given;
      size_t size, needed;
    } diagnostics[] = {
        {"particle_collisions", particle_collisions.has_value(),
         particle_collisions ? particle_collisions->shape(0) : 0, velocity.shape(0)},
        {"position", position.has_value(), position ? position->shape(0) : 0, velocity.shape(0)},
        {"separation", separation.has_value(), separation ? separation->shape(0) : 0, 2},
        {"mean_population", mean_population.has_value(),
         mean_population ? mean_population->shape(0) : 0, cells}};
    for (const auto& o : diagnostics)
      if (o.given && o.size != o.needed)
        refuse(std::string(o.name) + " has " + std::to_string(o.size) + " entries; it needs " +
               std::to_string(o.needed));
    if (!internal.empty() && internal.size() != species_count)
      refuse("internal has " + std::to_string(internal.size()) + " entries; it needs " +
             std::to_string(species_count) + ", one per species");
    const int64_t last = cell_offset + static_cast<int64_t>(cells);
    if (cell_offset < 0 || last > 2147483647)
      refuse("cell_offset is " + std::to_string(cell_offset) +
             "; it must be 0 or more, and cell_offset + cells at most 2147483647");
    if (end_cell < 0) end_cell = last;
    if (first_cell < cell_offset || first_cell > end_cell || end_cell > last)
      refuse("first_cell " + std::to_string(first_cell) + " and end_cell " +
             std::to_string(end_cell) + " are not a range within " + std::to_string(cell_offset) +
             " to " + std::to_string(last));
  }

  // The C interface's arguments, the shapes checked.
  collide_arguments arguments() {
    check_shapes();
    collide_arguments a = {};
    a.size = sizeof a;
    a.velocity = velocity.data();
    a.particles = static_cast<int32_t>(velocity.shape(0));
    a.max_rel_speed = max_rel_speed.data();
    a.select_remainder = select_remainder.data();
    a.cell_population = cell_population.data();
    a.cell_start = cell_start.data();
    a.cells = static_cast<int32_t>(cell_population.shape(0));
    a.cross_ref = cross_ref.data();
    a.cross_ref_size = static_cast<int32_t>(cross_ref.shape(0));
    a.select_coeff = select_coeff;
    a.select_coeff_per_cell = select_coeff_per_cell ? select_coeff_per_cell->data() : nullptr;
    a.first_cell = static_cast<int32_t>(first_cell);
    a.end_cell = static_cast<int32_t>(end_cell);
    a.cell_offset = static_cast<int32_t>(cell_offset);
    a.models = models.empty() ? nullptr : models.data();
    a.model_count = static_cast<int32_t>(models.size());
    a.model_size = sizeof(collide_model);
    a.species = species ? species->data() : nullptr;
    a.mass = mass ? mass->data() : nullptr;
    a.species_count = mass ? static_cast<int32_t>(mass->shape(0)) : 0;
    a.internal = internal.empty() ? nullptr : internal.data();
    a.internal_size = sizeof(collide_internal);
    a.e_rot = e_rot ? e_rot->data() : nullptr;
    a.vib_level = vib_level ? vib_level->data() : nullptr;
    a.cell_temperature = cell_temperature ? cell_temperature->data() : nullptr;
    a.pair_collisions = pair_collisions ? pair_collisions->data() : nullptr;
    a.particle_collisions = particle_collisions ? particle_collisions->data() : nullptr;
    a.position = position ? position->data() : nullptr;
    a.separation = separation ? separation->data() : nullptr;
    a.mean_population = mean_population ? mean_population->data() : nullptr;
    a.partner = partner;
    return a;
  }
};

// The models, each set field by field from its record; unused fields 0.
inline std::vector<collide_model> models_of(const std::vector<ModelValues>& values) {
  std::vector<collide_model> models;
  for (const ModelValues& v : values) {
    collide_model model = {};
    model.kind = v.first;
    const collide_detail::ModelDescription* description = collide_detail::describe(v.first);
    if (description == nullptr || static_cast<size_t>(description->parameter_count) != v.second.size())
      refuse("a model of kind " + std::to_string(v.first) + " with " +
             std::to_string(v.second.size()) + " parameters is none of the library's");
    for (int k = 0; k < description->parameter_count; k++)
      model.*description->parameters[k].field = v.second[static_cast<size_t>(k)];
    models.push_back(model);
  }
  return models;
}

// The step's cancel callback: at most every 50 ms it takes the GIL and lets
// Python run its signal handlers. One that raises (KeyboardInterrupt, on
// Ctrl-C) stops the step; the exception stays set, to be raised.
struct Interrupts {
  std::chrono::steady_clock::time_point next = std::chrono::steady_clock::now();
  bool raised = false;

  static int ask(void* self) {
    auto* s = static_cast<Interrupts*>(self);
    const auto now = std::chrono::steady_clock::now();
    if (now < s->next) return 0;
    s->next = now + std::chrono::milliseconds(50);
    nb::gil_scoped_acquire locked;
    s->raised = PyErr_CheckSignals() != 0;
    return s->raised;
  }
};

// One call of the C interface, given its arguments, the collision count and
// the message buffer, run without the GIL; a refusal raised as ValueError,
// an interruption as what the signal handler raised.
template <class Call>
int32_t step_without_gil(collide_arguments arguments, Call&& call) {
  Interrupts interrupts;
  arguments.cancel = Interrupts::ask;
  arguments.cancel_context = &interrupts;
  int32_t collisions = 0;
  char message[512];
  int code;
  {
    nb::gil_scoped_release unlocked;
    code = call(&arguments, &collisions, message, sizeof message);
  }
  if (code == COLLIDE_CANCELLED && interrupts.raised) throw nb::python_error();
  if (code != COLLIDE_OK) raise(message);
  return collisions;
}

inline int32_t keyed(Arrays a, uint64_t key, uint64_t step) {
  return step_without_gil(a.arguments(), [&](const collide_arguments* arguments,
                                             int32_t* collisions, char* message, size_t size) {
    return collide_keyed(arguments, key, step, collisions, message, size);
  });
}

// The arguments as the package passes them; noconvert, so that an array is
// never copied (a copy would take the updates away from the caller's).
#define COLLIDE_ARRAYS                                                               \
  nb::arg("velocity").noconvert(), nb::arg("max_rel_speed").noconvert(),            \
      nb::arg("select_remainder").noconvert(), nb::arg("select_coeff"),              \
      nb::arg("cell_population").noconvert(), nb::arg("cell_start").noconvert(),     \
      nb::arg("cross_ref").noconvert()
#define COLLIDE_EXTRAS                                                                   \
  nb::arg("select_coeff_per_cell").noconvert().none() = nb::none(),                      \
      nb::arg("models") = std::vector<ModelValues>(),                                   \
      nb::arg("species").noconvert().none() = nb::none(),                               \
      nb::arg("mass").noconvert().none() = nb::none(), nb::arg("first_cell") = 0,       \
      nb::arg("end_cell") = -1, nb::arg("internal") = std::vector<InternalValues>(),     \
      nb::arg("e_rot").noconvert().none() = nb::none(),                                 \
      nb::arg("vib_level").noconvert().none() = nb::none(),                             \
      nb::arg("cell_temperature").noconvert().none() = nb::none(),                      \
      nb::arg("pair_collisions").noconvert().none() = nb::none(),                       \
      nb::arg("particle_collisions").noconvert().none() = nb::none(),                   \
      nb::arg("position").noconvert().none() = nb::none(),                              \
      nb::arg("separation").noconvert().none() = nb::none(),                            \
      nb::arg("mean_population").noconvert().none() = nb::none(),                       \
      nb::arg("cell_offset") = 0, nb::arg("partner") = 0

// A call of the module as nanobind binds it: the arrays, then the call's own
// arguments, then the extras by keyword.
template <class Result, class... Rest>
auto with_arrays(Result (*step)(Arrays, Rest...)) {
  return [step](Velocities velocity, PerCell max_rel_speed, PerCell select_remainder,
                double select_coeff, Indices cell_population, Indices cell_start,
                Indices cross_ref, Rest... rest, std::optional<Doubles> select_coeff_per_cell,
                const std::vector<ModelValues>& models, std::optional<Indices> species,
                std::optional<Doubles> mass, int64_t first_cell, int64_t end_cell,
                const std::vector<InternalValues>& internal, std::optional<PerCell> e_rot,
                std::optional<Levels> vib_level, std::optional<Doubles> cell_temperature,
                std::optional<PairCounts> pair_collisions,
                std::optional<Levels> particle_collisions, std::optional<Positions> position,
                std::optional<PerCell> separation, std::optional<Doubles> mean_population,
                int64_t cell_offset, int32_t partner) {
    std::vector<collide_internal> species_internal;
    for (const InternalValues& v : internal) species_internal.push_back(internal_of(v));
    return step(Arrays{velocity, max_rel_speed, select_remainder, cell_population, cell_start,
                       cross_ref, select_coeff, select_coeff_per_cell, models_of(models), species,
                       mass, first_cell, end_cell, species_internal, e_rot, vib_level,
                       cell_temperature, pair_collisions, particle_collisions, position,
                       separation, mean_population, cell_offset, partner},
                rest...);
  };
}

}  // namespace collide_python

#endif
