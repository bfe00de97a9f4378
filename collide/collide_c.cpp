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

struct FlatGas {
  double* velocity;
  int32_t particles;
  double* max_rel_speed;
  double* select_remainder;
  const int32_t* cell_population;
  const int32_t* cell_start;
  int32_t cells;
  const int32_t* cross_ref;
  int32_t cross_ref_size;
  double select_coeff;
  int32_t first_cell;
  int32_t end_cell;
};

const ArgumentNames kFlatNames = {"select_coeff", "max_rel_speed", "select_remainder"};

[[noreturn]] void refuse(const std::string& message) { throw ColiderError("colider: " + message); }

std::string at(const char* array, long long index) {
  return std::string(array) + "[" + std::to_string(index) + "]";
}

// Everything the step would read or write, checked before it starts.
void check(const FlatGas& g) {
  if (g.particles < 0) refuse("particles is " + std::to_string(g.particles) + "; it must not be negative");
  if (g.cells < 0) refuse("cells is " + std::to_string(g.cells) + "; it must not be negative");
  if (g.cross_ref_size < 0)
    refuse("cross_ref_size is " + std::to_string(g.cross_ref_size) + "; it must not be negative");
  if (g.first_cell < 0 || g.end_cell < g.first_cell || g.end_cell > g.cells) {
    refuse("first_cell " + std::to_string(g.first_cell) + " and end_cell " +
           std::to_string(g.end_cell) + " are not a range within 0 to cells = " +
           std::to_string(g.cells));
  }
  if (g.first_cell == g.end_cell) return;
  const struct {
    const void* array;
    const char* name;
  } per_cell[] = {{g.cell_population, "cell_population"},
                  {g.cell_start, "cell_start"},
                  {g.max_rel_speed, "max_rel_speed"},
                  {g.select_remainder, "select_remainder"}};
  for (const auto& array : per_cell)
    if (array.array == nullptr) refuse(std::string(array.name) + " is NULL");

  for (int32_t c = g.first_cell; c < g.end_cell; c++) {
    const int32_t N = g.cell_population[c];
    if (N <= 1) continue;
    const int32_t start = g.cell_start[c];
    if (start < 0 || static_cast<long long>(start) + N > g.cross_ref_size) {
      refuse(at("cell_start", c) + " is " + std::to_string(start) + " in cell " +
             std::to_string(c) + "; with " + at("cell_population", c) + " = " +
             std::to_string(N) + " the cell must lie within cross_ref_size = " +
             std::to_string(g.cross_ref_size));
    }
    if (g.cross_ref == nullptr) refuse("cross_ref is NULL");
    for (int32_t k = start; k < start + N; k++) {
      if (g.cross_ref[k] < 0 || g.cross_ref[k] >= g.particles) {
        refuse(at("cross_ref", k) + " is " + std::to_string(g.cross_ref[k]) + " in cell " +
               std::to_string(c) + "; a particle index must lie in [0, " +
               std::to_string(g.particles) + ")");
      }
    }
    if (g.velocity == nullptr) refuse("velocity is NULL");
    expected_candidates(g.select_coeff, g.max_rel_speed[c], g.select_remainder[c], N, c,
                        kFlatNames);
  }
}

// The cells of the range, each with the deviates draw_for(c) gives it.
template <class DrawFor>
int32_t run(const FlatGas& g, DrawFor&& draw_for) {
  const VelocityRows rows = {g.velocity, g.particles, 3, 0, nullptr};
  int collisions = 0;
  for (int32_t c = g.first_cell; c < g.end_cell; c++) {
    const int32_t N = g.cell_population[c];
    CellStep cell;
    const int candidates =
        cell.begin(rows, g.max_rel_speed[c], g.select_remainder[c], g.select_coeff, N,
                   N >= 2 ? g.cross_ref + g.cell_start[c] : nullptr, c);
    if (candidates <= 0) continue;
    auto&& draw = draw_for(c);
    collide_candidates(cell, candidates, draw, collisions);
  }
  return collisions;
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

// Runs one call: the checks, the step, and every exception as a code.
template <class Step>
int guarded(const char* function, const FlatGas& g, int32_t* collisions, char* message,
            size_t size, Step&& step) {
  try {
    if (collisions == nullptr) refuse("collisions is NULL");
    check(g);
    *collisions = step();
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

}  // namespace
}  // namespace collide_detail

extern "C" int collide_cells_keyed(double* velocity, int32_t particles, double* max_rel_speed,
                                   double* select_remainder, const int32_t* cell_population,
                                   const int32_t* cell_start, int32_t cells,
                                   const int32_t* cross_ref, int32_t cross_ref_size,
                                   double select_coeff, int32_t first_cell, int32_t end_cell,
                                   uint64_t key, uint64_t step, int32_t* collisions,
                                   char* message, size_t message_size) {
  using namespace collide_detail;
  const FlatGas g = {velocity,  particles,      max_rel_speed, select_remainder,
                     cell_population, cell_start, cells,       cross_ref,
                     cross_ref_size,  select_coeff, first_cell, end_cell};
  return guarded("collide_cells_keyed", g, collisions, message, message_size, [&] {
    return run(g, [&](int32_t c) { return CellStream({key, step}, static_cast<uint64_t>(c)); });
  });
}

extern "C" int collide_cells_with(double* velocity, int32_t particles, double* max_rel_speed,
                                  double* select_remainder, const int32_t* cell_population,
                                  const int32_t* cell_start, int32_t cells,
                                  const int32_t* cross_ref, int32_t cross_ref_size,
                                  double select_coeff, int32_t first_cell, int32_t end_cell,
                                  double (*next)(void* context), void* context,
                                  int32_t* collisions, char* message, size_t message_size) {
  using namespace collide_detail;
  const FlatGas g = {velocity,  particles,      max_rel_speed, select_remainder,
                     cell_population, cell_start, cells,       cross_ref,
                     cross_ref_size,  select_coeff, first_cell, end_cell};
  auto draw = [next, context] { return next(context); };
  return guarded("collide_cells_with", g, collisions, message, message_size, [&] {
    if (next == nullptr) refuse("next is NULL");
    return run(g, [&](int32_t) -> decltype(draw)& { return draw; });
  });
}
