// collide._hooks: what the module's tests and benchmark compare it with,
// built only when COLLIDE_PYTHON_HOOKS is on (scripts/python_test.sh), never
// into the package a user installs:
//   cxx_range    the C++ colider_range over a Matrix and a SortList (from 1)
//                on copies of the arrays, for hard spheres of one species;
//   timed_keyed  the keyed step timed from inside C++: (collisions, seconds).
#include <nanobind/nanobind.h>
#include <nanobind/stl/pair.h>

#include <chrono>
#include <cstdint>
#include <utility>

#include <collide/colider.h>

#include "arrays.h"

namespace {

using namespace collide_python;

int32_t cxx_range(Arrays a, uint64_t key, uint64_t step) {
  const collide_arguments checked = a.arguments();
  const int particles = checked.particles, cells = checked.cells;
  Matrix velocity(particles, 3), max_rel_speed(cells, 1), select_remainder(cells, 1);
  SortList lists(cells, checked.cross_ref_size + 1);
  for (int p = 0; p < particles; p++)
    for (int k = 0; k < 3; k++) velocity(p + 1, k + 1) = a.velocity(p, k);
  for (int c = 0; c < cells; c++) {
    max_rel_speed(c + 1, 1) = a.max_rel_speed(c);
    select_remainder(c + 1, 1) = a.select_remainder(c);
    lists.cellPopulation[c + 1] = a.cell_population(c);
    lists.cellStart[c + 1] = a.cell_start(c) + 1;
  }
  for (int k = 0; k < checked.cross_ref_size; k++) lists.crossRef[k + 1] = a.cross_ref(k) + 1;
  int32_t collisions;
  try {
    collisions = colider_range(velocity, max_rel_speed, select_remainder, a.select_coeff, lists,
                               checked.first_cell + 1, checked.end_cell, CellStreams{key, step});
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

std::pair<int32_t, double> timed_keyed(Arrays a, uint64_t key, uint64_t step) {
  const auto start = std::chrono::steady_clock::now();
  const int32_t collisions = keyed(a, key, step);
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  return {collisions, seconds.count()};
}

}  // namespace

NB_MODULE(_hooks, m) {
  m.doc() = "Test and benchmark hooks of the collide module; not part of the package.";
  m.def("cxx_range", with_arrays(cxx_range), COLLIDE_ARRAYS, nb::arg("key"), nb::arg("step"),
        COLLIDE_EXTRAS);
  m.def("timed_keyed", with_arrays(timed_keyed), COLLIDE_ARRAYS, nb::arg("key"),
        nb::arg("step"), COLLIDE_EXTRAS);
}
