// collide._core: the C interface's two calls over NumPy arrays, the cell
// lists by the order rule, and the table of collision models, from which
// the package makes its model classes. The package's __init__.py checks the
// arrays (dtype, shape, contiguity) with messages of its own; the shapes are
// checked again here (arrays.h), and the interface checks every index, model
// and per-cell value before it changes anything, so a refusal leaves the
// arrays as they were. The step runs without the GIL, and stops on Ctrl-C.
#include <nanobind/nanobind.h>
#include <nanobind/stl/vector.h>

#include <numpy/random/bitgen.h>

#include <cmath>
#include <cstdint>

#include <collide/colider.h>
#include <collide/collide.h>

#include "../models.h"
#include "arrays.h"

namespace {

using namespace collide_python;

// Deviates from a numpy.random bit generator's C interface. The caller holds
// the bit generator's lock.
int32_t with_bit_generator(Arrays a, nb::capsule capsule) {
  auto* bitgen = static_cast<bitgen_t*>(PyCapsule_GetPointer(capsule.ptr(), "BitGenerator"));
  if (bitgen == nullptr) throw nb::python_error();
  return step_without_gil(a.arguments(), [&](const collide_arguments* arguments,
                                             int32_t* collisions, char* message, size_t size) {
    return collide_with(arguments, bitgen->next_double, bitgen->state, collisions, message, size);
  });
}

// Cell lists by the order rule, into the package's arrays.
using Written = nb::ndarray<int32_t, nb::ndim<1>, nb::c_contig, nb::device::cpu>;
void sort_cells(Indices cell_of, int32_t cells, Written population, Written start,
                Written cross_ref) {
  if (population.shape(0) != static_cast<size_t>(cells) || start.shape(0) != population.shape(0) ||
      cross_ref.shape(0) != cell_of.shape(0) || cell_of.shape(0) > 2147483647)
    refuse("sort_cells: the arrays do not match cell_of and cells");
  char message[300];
  if (collide_sort_cells(cell_of.data(), static_cast<int32_t>(cell_of.shape(0)), cells,
                         population.data(), start.data(), cross_ref.data(), message,
                         sizeof message) != COLLIDE_OK)
    throw nb::value_error(message);
}

// The models the package offers, from the library's one table: for each,
// (kind, name, summary, parameters), each parameter (name, default or None,
// rule, meaning).
nb::list model_kinds() {
  nb::list kinds;
  for (const collide_detail::ModelDescription* model : collide_detail::model_table()) {
    nb::list parameters;
    for (int k = 0; k < model->parameter_count; k++) {
      const collide_detail::Parameter& p = model->parameters[k];
      nb::object default_value = nb::none();
      if (!std::isnan(p.default_value)) default_value = nb::float_(p.default_value);
      parameters.append(nb::make_tuple(p.name, default_value, p.rule, p.meaning));
    }
    kinds.append(nb::make_tuple(model->kind, model->name, model->summary, parameters));
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

// Raises ValueError, "Internal: <name> is <value>; <rule>", for internal
// data the library refuses.
void check_internal(const InternalValues& values) {
  try {
    collide_detail::check_internal_data(internal_of(values), "Internal", -1);
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
  m.def("sort_cells", sort_cells, nb::arg("cell_of").noconvert(), nb::arg("cells"),
        nb::arg("population").noconvert(), nb::arg("start").noconvert(),
        nb::arg("cross_ref").noconvert());
  m.def("model_kinds", model_kinds);
  m.def("check_model", check_model, nb::arg("values"));
  m.def("check_internal", check_internal, nb::arg("values"));
}
