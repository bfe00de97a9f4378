// collide._core: the C interface's two calls over NumPy arrays, the cell
// lists by the order rule, the table of collision models, from which
// the package makes its model classes, and the molecular data. The package's __init__.py checks the
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

// Molecular data: the table as (name, (mass, d_ref_vhs, d_ref_vss, omega,
// alpha, t_ref)) pairs; each helper raises ValueError for a value the
// library refuses, under the Python function's name.
using GasValues = std::tuple<double, double, double, double, double, double>;

nb::list gas_table() {
  nb::list table;
  for (int32_t k = 0; collide_gas_name(k) != nullptr; k++) {
    const GasData g = gas_data(collide_gas_name(k));
    table.append(nb::make_tuple(collide_gas_name(k), nb::make_tuple(g.mass, g.d_ref_vhs,
                                g.d_ref_vss, g.omega, g.alpha, g.t_ref)));
  }
  return table;
}

template <class Body>
auto as_value_error(Body&& body) -> decltype(body()) {
  try {
    return body();
  } catch (const ColiderError& refused) {
    throw nb::value_error(refused.what());
  }
}

std::pair<std::vector<ModelValues>, double> mixture_models_of(const std::vector<GasValues>& gases,
                                                              int32_t kind) {
  std::vector<GasData> data;
  for (const GasValues& v : gases)
    data.push_back({std::get<0>(v), std::get<1>(v), std::get<2>(v), std::get<3>(v),
                    std::get<4>(v), std::get<5>(v)});
  const MixtureModels mixture = as_value_error([&] { return mixture_models(data, kind); });
  std::vector<ModelValues> models;
  for (const collide_model& model : mixture.models) {
    const collide_detail::ModelDescription* description = collide_detail::describe(model.kind);
    std::vector<double> parameters;
    for (int k = 0; k < description->parameter_count; k++)
      parameters.push_back(model.*description->parameters[k].field);
    models.emplace_back(model.kind, parameters);
  }
  return {models, mixture.sigmaRef};
}

double select_coeff_of(double f_n, double dt, double cell_volume, double sigma_ref) {
  return as_value_error([&] { return select_coeff(f_n, dt, cell_volume, sigma_ref); });
}

double first_max_weight_of(const std::vector<ModelValues>& models, const std::vector<double>& mass,
                           double temperature) {
  const std::vector<collide_model> table = models_of(models);
  return as_value_error([&] { return first_max_weight(table, mass, temperature); });
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
  m.def("gas_table", gas_table);
  m.def("mixture_models", mixture_models_of, nb::arg("gases"), nb::arg("kind"));
  m.def("select_coeff", select_coeff_of, nb::arg("f_n"), nb::arg("dt"), nb::arg("cell_volume"),
        nb::arg("sigma_ref"));
  m.def("first_max_weight", first_max_weight_of, nb::arg("models"), nb::arg("mass"),
        nb::arg("temperature"));
}
