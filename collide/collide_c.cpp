// The C interface: the collision step over the caller's flat, 0-based
// arrays. Every argument is checked before anything changes; a C++
// exception never crosses into the caller, which gets a code and a message.
#include <cstdint>
#include <cstring>
#include <exception>
#include <string>
#include <type_traits>

#include "collide/collide.h"
#include "collide/colider.h"
#include "step_internals.h"

static_assert(std::is_same<int32_t, int>::value, "cell lists are int32 in C and int in C++");

namespace collide_detail {
namespace {

const ArgumentNames kFlatNames = {"select_coeff", "max_rel_speed", "select_remainder"};
const ArgumentNames kPerCellNames = {"select_coeff_per_cell", "max_rel_speed", "select_remainder"};
const collide_model kHardSpheres = {COLLIDE_HARD_SPHERE, 0.5, 1.0, 1.0, 1.0};

[[noreturn]] void refuse(const std::string& message) { throw ColiderError("colider: " + message); }

std::string at(const char* array, long long index) {
  return std::string(array) + "[" + std::to_string(index) + "]";
}

// The arguments as the cell loop takes them.
struct FlatGas {
  const collide_arguments& a;
  Interactions interactions;
  VelocityRows rows;
};

int begin_cell(CellStep& step, const FlatGas& g, int32_t c) {
  const collide_arguments& a = g.a;
  const int32_t N = a.cell_population[c];
  if (N <= 1) return 0;
  const bool per_cell = a.select_coeff_per_cell != nullptr;
  return step.begin({g.rows, &a.max_rel_speed[c], &a.select_remainder[c],
                     per_cell ? a.select_coeff_per_cell[c] : a.select_coeff, N,
                     a.cross_ref + a.cell_start[c], c, &g.interactions,
                     per_cell ? &kPerCellNames : &kFlatNames});
}

// The models, species and masses: which are given, and how many.
Interactions interactions_of(const collide_arguments& a) {
  const int32_t S = a.species_count;
  if (S < 0) refuse("species_count is " + std::to_string(S) + "; it must not be negative");
  if (S == 0 && (a.species != nullptr || a.mass != nullptr))
    refuse("species_count is 0, yet species or mass is given; give species_count too");
  if (S > 0 && a.species == nullptr) refuse("species is NULL, with species_count " + std::to_string(S));
  if (S > 0 && a.mass == nullptr) refuse("mass is NULL, with species_count " + std::to_string(S));
  if (a.models == nullptr) {
    if (a.model_count != 0)
      refuse("models is NULL, with model_count " + std::to_string(a.model_count));
    return {&kHardSpheres, 0, S, a.species, a.mass};
  }
  const long long table = static_cast<long long>(S) * S;
  if (a.model_count != 1 && (S == 0 || a.model_count != table)) {
    refuse("model_count is " + std::to_string(a.model_count) +
           "; it must be 1 (one model for every pair) or species_count^2 = " +
           std::to_string(table));
  }
  return {a.models, a.model_count == 1 ? 0 : S, S, a.species, a.mass};
}

// Everything the step would read or write, checked before it starts.
void check(const collide_arguments& a, const Interactions& interactions) {
  if (a.particles < 0) refuse("particles is " + std::to_string(a.particles) + "; it must not be negative");
  if (a.cells < 0) refuse("cells is " + std::to_string(a.cells) + "; it must not be negative");
  if (a.cross_ref_size < 0)
    refuse("cross_ref_size is " + std::to_string(a.cross_ref_size) + "; it must not be negative");
  if (a.first_cell < 0 || a.end_cell < a.first_cell || a.end_cell > a.cells) {
    refuse("first_cell " + std::to_string(a.first_cell) + " and end_cell " +
           std::to_string(a.end_cell) + " are not a range within 0 to cells = " +
           std::to_string(a.cells));
  }
  check_interactions(interactions, "colider", "models[0]");
  if (a.first_cell == a.end_cell) return;
  const struct {
    const void* array;
    const char* name;
  } per_cell[] = {{a.cell_population, "cell_population"},
                  {a.cell_start, "cell_start"},
                  {a.max_rel_speed, "max_rel_speed"},
                  {a.select_remainder, "select_remainder"}};
  for (const auto& array : per_cell)
    if (array.array == nullptr) refuse(std::string(array.name) + " is NULL");

  for (int32_t c = a.first_cell; c < a.end_cell; c++) {
    const int32_t N = a.cell_population[c];
    if (N <= 1) continue;
    const int32_t start = a.cell_start[c];
    if (start < 0 || static_cast<long long>(start) + N > a.cross_ref_size) {
      refuse(at("cell_start", c) + " is " + std::to_string(start) + " in cell " +
             std::to_string(c) + "; with " + at("cell_population", c) + " = " +
             std::to_string(N) + " the cell must lie within cross_ref_size = " +
             std::to_string(a.cross_ref_size));
    }
    if (a.cross_ref == nullptr) refuse("cross_ref is NULL");
    for (int32_t k = start; k < start + N; k++) {
      const int32_t p = a.cross_ref[k];
      if (p < 0 || p >= a.particles) {
        refuse(at("cross_ref", k) + " is " + std::to_string(p) + " in cell " +
               std::to_string(c) + "; a particle index must lie in [0, " +
               std::to_string(a.particles) + ")");
      }
      if (a.species != nullptr && (a.species[p] < 0 || a.species[p] >= a.species_count)) {
        refuse(at("species", p) + " is " + std::to_string(a.species[p]) + " in cell " +
               std::to_string(c) + "; a species must lie in [0, " +
               std::to_string(a.species_count) + ")");
      }
    }
    if (a.velocity == nullptr) refuse("velocity is NULL");
    const bool per_cell_coeff = a.select_coeff_per_cell != nullptr;
    expected_candidates(per_cell_coeff ? a.select_coeff_per_cell[c] : a.select_coeff,
                        a.max_rel_speed[c], a.select_remainder[c], N, c,
                        per_cell_coeff ? kPerCellNames : kFlatNames);
  }
}

// The message into the caller's buffer, under the function's own name.
int report(int code, const char* function, const char* what, char* message, size_t size) {
  if (message == nullptr || size == 0) return code;
  std::string line = what;
  if (line.compare(0, 9, "colider: ") == 0) line = std::string(function) + ": " + line.substr(9);
  const size_t length = line.size() < size - 1 ? line.size() : size - 1;
  std::memcpy(message, line.data(), length);
  message[length] = '\0';
  return code;
}

// Runs one call: the checks, then the cells of the range, each with the
// deviates draw_for(c) gives it; every exception becomes a code.
template <class DrawFor>
int run(const char* function, const collide_arguments* arguments, int32_t* collisions,
        char* message, size_t size, DrawFor&& draw_for) {
  try {
    if (collisions == nullptr) refuse("collisions is NULL");
    if (arguments == nullptr) refuse("arguments is NULL");
    const collide_arguments& a = *arguments;
    const FlatGas gas = {a, interactions_of(a), {a.velocity, a.particles, 3, 0, nullptr}};
    check(a, gas.interactions);
    *collisions = collide_cells(gas, a.first_cell, a.end_cell, draw_for);
    if (message != nullptr && size > 0) message[0] = '\0';
    return COLLIDE_OK;
  } catch (const ColiderError& refused) {
    return report(COLLIDE_INVALID_ARGUMENT, function, refused.what(), message, size);
  } catch (const std::exception& failure) {
    return report(COLLIDE_FAILED, function, failure.what(), message, size);
  } catch (...) {
    return report(COLLIDE_FAILED, function, "an unknown failure", message, size);
  }
}

int keyed(const char* function, const collide_arguments* a, uint64_t key, uint64_t step,
          int32_t* collisions, char* message, size_t size) {
  return run(function, a, collisions, message, size,
             [&](int32_t c) { return CellStream({key, step}, static_cast<uint64_t>(c)); });
}

int with(const char* function, const collide_arguments* a, double (*next)(void*), void* context,
         int32_t* collisions, char* message, size_t size) {
  if (next == nullptr) {
    return report(COLLIDE_INVALID_ARGUMENT, function, "colider: next is NULL", message, size);
  }
  auto draw = [next, context] { return next(context); };
  return run(function, a, collisions, message, size,
             [&](int32_t) -> decltype(draw)& { return draw; });
}

// The arguments of the calls for one species of hard spheres.
collide_arguments hard_spheres(double* velocity, int32_t particles, double* max_rel_speed,
                               double* select_remainder, const int32_t* cell_population,
                               const int32_t* cell_start, int32_t cells, const int32_t* cross_ref,
                               int32_t cross_ref_size, double select_coeff, int32_t first_cell,
                               int32_t end_cell) {
  collide_arguments a = {};
  a.velocity = velocity;
  a.particles = particles;
  a.max_rel_speed = max_rel_speed;
  a.select_remainder = select_remainder;
  a.cell_population = cell_population;
  a.cell_start = cell_start;
  a.cells = cells;
  a.cross_ref = cross_ref;
  a.cross_ref_size = cross_ref_size;
  a.select_coeff = select_coeff;
  a.first_cell = first_cell;
  a.end_cell = end_cell;
  return a;
}

}  // namespace
}  // namespace collide_detail

extern "C" int collide_keyed(const collide_arguments* arguments, uint64_t key, uint64_t step,
                             int32_t* collisions, char* message, size_t message_size) {
  return collide_detail::keyed("collide_keyed", arguments, key, step, collisions, message,
                               message_size);
}

extern "C" int collide_with(const collide_arguments* arguments, double (*next)(void* context),
                            void* context, int32_t* collisions, char* message,
                            size_t message_size) {
  return collide_detail::with("collide_with", arguments, next, context, collisions, message,
                              message_size);
}

extern "C" int collide_cells_keyed(double* velocity, int32_t particles, double* max_rel_speed,
                                   double* select_remainder, const int32_t* cell_population,
                                   const int32_t* cell_start, int32_t cells,
                                   const int32_t* cross_ref, int32_t cross_ref_size,
                                   double select_coeff, int32_t first_cell, int32_t end_cell,
                                   uint64_t key, uint64_t step, int32_t* collisions,
                                   char* message, size_t message_size) {
  const collide_arguments a = collide_detail::hard_spheres(
      velocity, particles, max_rel_speed, select_remainder, cell_population, cell_start, cells,
      cross_ref, cross_ref_size, select_coeff, first_cell, end_cell);
  return collide_detail::keyed("collide_cells_keyed", &a, key, step, collisions, message,
                               message_size);
}

extern "C" int collide_cells_with(double* velocity, int32_t particles, double* max_rel_speed,
                                  double* select_remainder, const int32_t* cell_population,
                                  const int32_t* cell_start, int32_t cells,
                                  const int32_t* cross_ref, int32_t cross_ref_size,
                                  double select_coeff, int32_t first_cell, int32_t end_cell,
                                  double (*next)(void* context), void* context,
                                  int32_t* collisions, char* message, size_t message_size) {
  const collide_arguments a = collide_detail::hard_spheres(
      velocity, particles, max_rel_speed, select_remainder, cell_population, cell_start, cells,
      cross_ref, cross_ref_size, select_coeff, first_cell, end_cell);
  return collide_detail::with("collide_cells_with", &a, next, context, collisions, message,
                              message_size);
}
