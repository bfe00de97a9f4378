// collide._core: the C interface's two calls over NumPy arrays, which the
// package's __init__.py checks (dtype, shape, contiguity) before calling in,
// and the table of collision models, from which the package makes its model
// classes. The interface itself checks every index, model and per-cell value
// before it changes anything, so a refusal leaves the arrays as they were.
// The step runs without the GIL.
#include <nanobind/nanobind.h>
#include <nanobind/ndarray.h>
#include <nanobind/stl/optional.h>
#include <nanobind/stl/pair.h>
#include <nanobind/stl/string.h>
#include <nanobind/stl/tuple.h>
#include <nanobind/stl/vector.h>

#include <numpy/random/bitgen.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <collide/colider.h>
#include <collide/collide.h>

#include "../step_internals.h"

namespace nb = nanobind;

namespace {

using Velocities = nb::ndarray<double, nb::ndim<2>, nb::c_contig, nb::device::cpu>;
using PerCell = nb::ndarray<double, nb::ndim<1>, nb::c_contig, nb::device::cpu>;
using Indices = nb::ndarray<const int32_t, nb::ndim<1>, nb::c_contig, nb::device::cpu>;
using Doubles = nb::ndarray<const double, nb::ndim<1>, nb::c_contig, nb::device::cpu>;
// A model as the package passes it: kind, omega, g_ref, alpha, scale.
using ModelValues = std::tuple<int32_t, double, double, double, double>;

// The interface's message, under the Python function's name and with the
// package's name for a coefficient per cell.
[[noreturn]] void raise(const char* message) {
  std::string line = message;
  const size_t colon = line.find(": ");
  if (colon != std::string::npos) line = "colider: " + line.substr(colon + 2);
  const std::string per_cell = "select_coeff_per_cell";
  const size_t at = line.find(per_cell);
  if (at != std::string::npos) line.replace(at, per_cell.size(), "select_coeff");
  throw nb::value_error(line.c_str());
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

  int32_t particles() const { return static_cast<int32_t>(velocity.shape(0)); }
  int32_t cells() const { return static_cast<int32_t>(cell_population.shape(0)); }
  int32_t cross_ref_size() const { return static_cast<int32_t>(cross_ref.shape(0)); }

  // The C interface's arguments for every cell.
  collide_arguments arguments() {
    collide_arguments a = {};
    a.velocity = velocity.data();
    a.particles = particles();
    a.max_rel_speed = max_rel_speed.data();
    a.select_remainder = select_remainder.data();
    a.cell_population = cell_population.data();
    a.cell_start = cell_start.data();
    a.cells = cells();
    a.cross_ref = cross_ref.data();
    a.cross_ref_size = cross_ref_size();
    a.select_coeff = select_coeff;
    a.select_coeff_per_cell = select_coeff_per_cell ? select_coeff_per_cell->data() : nullptr;
    a.first_cell = 0;
    a.end_cell = cells();
    a.models = models.empty() ? nullptr : models.data();
    a.model_count = static_cast<int32_t>(models.size());
    a.species = species ? species->data() : nullptr;
    a.mass = mass ? mass->data() : nullptr;
    a.species_count = mass ? static_cast<int32_t>(mass->shape(0)) : 0;
    return a;
  }
};

std::vector<collide_model> models_of(const std::vector<ModelValues>& values) {
  std::vector<collide_model> models;
  for (const ModelValues& v : values)
    models.push_back({std::get<0>(v), std::get<1>(v), std::get<2>(v), std::get<3>(v), std::get<4>(v)});
  return models;
}

// One call of the C interface, given the collision count and the message
// buffer, run without the GIL; its refusal raised as ValueError.
template <class Call>
int32_t step_without_gil(Call&& call) {
  int32_t collisions = 0;
  char message[512];
  int code;
  {
    nb::gil_scoped_release unlocked;
    code = call(&collisions, message, sizeof message);
  }
  if (code != COLLIDE_OK) raise(message);
  return collisions;
}

int32_t keyed(Arrays a, uint64_t key, uint64_t step) {
  const collide_arguments arguments = a.arguments();
  return step_without_gil([&](int32_t* collisions, char* message, size_t size) {
    return collide_keyed(&arguments, key, step, collisions, message, size);
  });
}

// Deviates from a numpy.random bit generator's C interface. The caller holds
// the bit generator's lock.
int32_t with_bit_generator(Arrays a, nb::capsule capsule) {
  auto* bitgen = static_cast<bitgen_t*>(PyCapsule_GetPointer(capsule.ptr(), "BitGenerator"));
  if (bitgen == nullptr) throw nb::python_error();
  const collide_arguments arguments = a.arguments();
  return step_without_gil([&](int32_t* collisions, char* message, size_t size) {
    return collide_with(&arguments, bitgen->next_double, bitgen->state, collisions, message, size);
  });
}

// The keyed step timed from inside C++, for the benchmark that compares a
// call from Python with the same step called from C++: (collisions, seconds).
std::pair<int32_t, double> timed_keyed(Arrays a, uint64_t key, uint64_t step) {
  const auto start = std::chrono::steady_clock::now();
  const int32_t collisions = keyed(a, key, step);
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  return {collisions, seconds.count()};
}

// The C++ form, colider_range over a Matrix and a SortList (from 1), on
// copies of the arrays, for hard spheres of one species: what the tests
// compare the module with.
int32_t cxx_range(Arrays a, uint64_t key, uint64_t step) {
  const double select_coeff = a.select_coeff;
  const int particles = a.particles(), cells = a.cells();
  Matrix velocity(particles, 3), max_rel_speed(cells, 1), select_remainder(cells, 1);
  SortList lists(cells, a.cross_ref_size() + 1);
  for (int p = 0; p < particles; p++)
    for (int k = 0; k < 3; k++) velocity(p + 1, k + 1) = a.velocity(p, k);
  for (int c = 0; c < cells; c++) {
    max_rel_speed(c + 1, 1) = a.max_rel_speed(c);
    select_remainder(c + 1, 1) = a.select_remainder(c);
    lists.cellPopulation[c + 1] = a.cell_population(c);
    lists.cellStart[c + 1] = a.cell_start(c) + 1;
  }
  for (int k = 0; k < a.cross_ref_size(); k++) lists.crossRef[k + 1] = a.cross_ref(k) + 1;
  int32_t collisions;
  try {
    collisions = colider_range(velocity, max_rel_speed, select_remainder, select_coeff, lists, 1,
                               cells, CellStreams{key, step});
  } catch (const ColiderError& refused) {
    throw nb::value_error(refused.what());
  }
  for (int p = 0; p < particles; p++)
    for (int k = 0; k < 3; k++) a.velocity(p, k) = velocity(p + 1, k + 1);
  for (int c = 0; c < cells; c++) {
    a.max_rel_speed(c) = max_rel_speed(c + 1, 1);
    a.select_remainder(c) = select_remainder(c + 1, 1);
  }
  return collisions;
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
      nb::arg("mass").noconvert().none() = nb::none()

template <class Result, class... Rest>
auto with_arrays(Result (*step)(Arrays, Rest...)) {
  return [step](Velocities velocity, PerCell max_rel_speed, PerCell select_remainder,
                double select_coeff, Indices cell_population, Indices cell_start,
                Indices cross_ref, Rest... rest, std::optional<Doubles> select_coeff_per_cell,
                const std::vector<ModelValues>& models, std::optional<Indices> species,
                std::optional<Doubles> mass) {
    return step(Arrays{velocity, max_rel_speed, select_remainder, cell_population, cell_start,
                       cross_ref, select_coeff, select_coeff_per_cell, models_of(models),
                       species, mass},
                rest...);
  };
}

// The models the package offers, from the library's one table: for each,
// (kind, name, summary, parameters), each parameter (name, default or None,
// rule, meaning).
nb::list model_kinds() {
  nb::list kinds;
  for (const collide_detail::ModelDescription& model : collide_detail::kModels) {
    nb::list parameters;
    for (int k = 0; k < model.parameter_count; k++) {
      const collide_detail::Parameter& p = model.parameters[k];
      nb::object default_value = nb::none();
      if (!std::isnan(p.default_value)) default_value = nb::float_(p.default_value);
      parameters.append(nb::make_tuple(p.name, default_value, p.rule, p.meaning));
    }
    kinds.append(nb::make_tuple(model.kind, model.name, model.summary, parameters));
  }
  return kinds;
}

// Raises ValueError, "<name>: <parameter> is <value>; <rule>", for a model
// the library refuses.
void check_model(const ModelValues& values) {
  const collide_model model = models_of({values})[0];
  const collide_detail::ModelDescription* description = collide_detail::describe(model.kind);
  try {
    collide_detail::check_model(model, description != nullptr ? description->name : "model",
                                nullptr, -1);
  } catch (const ColiderError& refused) {
    throw nb::value_error(refused.what());
  }
}

}  // namespace

NB_MODULE(_core, m) {
  m.doc() = "The collision step over NumPy arrays; use the collide package, which checks them.";
  m.def("keyed", with_arrays(keyed), COLLIDE_ARRAYS, nb::arg("key"), nb::arg("step"),
        COLLIDE_EXTRAS);
  m.def("with_bit_generator", with_arrays(with_bit_generator), COLLIDE_ARRAYS,
        nb::arg("capsule"), COLLIDE_EXTRAS);
  m.def("cxx_range", with_arrays(cxx_range), COLLIDE_ARRAYS, nb::arg("key"), nb::arg("step"),
        COLLIDE_EXTRAS);
  m.def("timed_keyed", with_arrays(timed_keyed), COLLIDE_ARRAYS, nb::arg("key"),
        nb::arg("step"), COLLIDE_EXTRAS);
  m.def("model_kinds", model_kinds);
  m.def("check_model", check_model, nb::arg("values"));
}
