// The C interface: the collision step over the caller's flat, 0-based
// arrays. Every argument is checked before anything changes; a C++
// exception never crosses into the caller, which gets a code and a message.
#include <cmath>
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

const ArgumentNames kFlatNames = {"select_coeff",    "max_rel_speed",        "select_remainder",
                                  "velocity[",       "]",                    "e_rot[",
                                  "vib_level[",      "cell_temperature",     "pair_collisions",
                                  "particle_collisions[", "position[",       "separation",
                                  "mean_population"};
const ArgumentNames kPerCellNames = {"select_coeff_per_cell", "max_rel_speed", "select_remainder",
                                     "velocity[",       "]",                    "e_rot[",
                                     "vib_level[",      "cell_temperature",     "pair_collisions",
                                     "particle_collisions[", "position[",       "separation",
                                     "mean_population"};

[[noreturn]] void refuse(const std::string& message) { throw ColiderError("colider: " + message); }

std::string at(const char* array, long long index) {
  return std::string(array) + "[" + std::to_string(index) + "]";
}

// Cell c's entry of the per-cell arrays, which begin at cell cell_offset.
int32_t entry(const collide_arguments& a, int32_t c) { return c - a.cell_offset; }

std::string cell_population_is_negative(const collide_arguments& a, int32_t c, int32_t N) {
  std::string line = at("cell_population", entry(a, c)) + " is " + std::to_string(N);
  if (a.cell_offset != 0) line += " in cell " + std::to_string(c);
  return line + "; it must not be negative";
}

std::string cell_outside(const collide_arguments& a, int32_t c, int32_t start, int32_t N) {
  return at("cell_start", entry(a, c)) + " is " + std::to_string(start) + " in cell " +
         std::to_string(c) + "; with " + at("cell_population", entry(a, c)) + " = " +
         std::to_string(N) + " the cell must lie within cross_ref_size = " +
         std::to_string(a.cross_ref_size);
}

// The arguments as the cell loop takes them.
struct FlatGas {
  const collide_arguments& a;
  Interactions interactions;
  VelocityRows rows;
};

// Begins cell c. Its population and start are read once and checked here
// again, so that arrays rewritten since the checks before the call can
// stop it but never send it outside cross_ref.
int begin_cell(CellStep& step, const FlatGas& g, int32_t c) {
  const collide_arguments& a = g.a;
  const int32_t l = entry(a, c);
  const int32_t N = a.cell_population[l];
  if (N <= 1) {
    if (N < 0) refuse(cell_population_is_negative(a, c, N));
    return 0;
  }
  const int32_t start = a.cell_start[l];
  if (start < 0 || static_cast<long long>(start) + N > a.cross_ref_size) refuse(cell_outside(a, c, start, N));
  const bool per_cell = a.select_coeff_per_cell != nullptr;
  return step.begin({g.rows, &a.max_rel_speed[l], &a.select_remainder[l],
                     per_cell ? a.select_coeff_per_cell[l] : a.select_coeff, N,
                     a.cross_ref + start, c, &g.interactions,
                     per_cell ? &kPerCellNames : &kFlatNames,
                     a.cell_temperature != nullptr ? a.cell_temperature[l] : NAN,
                     a.mean_population != nullptr ? &a.mean_population[l] : nullptr});
}

bool cancel_requested(const FlatGas& g) {
  return g.a.cancel != nullptr && g.a.cancel(g.a.cancel_context) != 0;
}

// The internal energies, when given: their layout checked, the arrays
// taken as the step reads them.
Interactions with_internal(const collide_arguments& a, Interactions interactions) {
  if (a.internal == nullptr) {
    if (a.e_rot != nullptr || a.vib_level != nullptr)
      refuse("internal is NULL, yet e_rot or vib_level is given; give internal too");
    return interactions;
  }
  if (a.internal_size != sizeof(collide_internal)) {
    refuse("internal_size is " + std::to_string(a.internal_size) +
           "; this collide's collide_internal has " + std::to_string(sizeof(collide_internal)) +
           " bytes: set internal_size to sizeof(collide_internal), built against this collide.h");
  }
  interactions.internal = a.internal;
  interactions.eRot = a.e_rot;
  interactions.vibLevel = a.vib_level;
  return interactions;
}

// The diagnostics, when asked for.
Interactions with_diagnostics(const collide_arguments& a, Interactions interactions) {
  if (a.separation != nullptr && a.position == nullptr)
    refuse("separation is given without position; give position too");
  if (a.partner != COLLIDE_PARTNER_RANDOM && a.partner != COLLIDE_PARTNER_NEAREST)
    refuse("partner is " + std::to_string(a.partner) +
           "; it must be COLLIDE_PARTNER_RANDOM or COLLIDE_PARTNER_NEAREST");
  const bool nearest = a.partner == COLLIDE_PARTNER_NEAREST;
  if (nearest && a.position == nullptr)
    refuse("partner is COLLIDE_PARTNER_NEAREST without position; give position too");
  interactions.diagnostics = {a.pair_collisions, a.species_count > 0 ? a.species_count : 1,
                              a.particle_collisions, a.position, a.separation, nearest};
  return interactions;
}

// The models, species and masses: which are given, and how many.
Interactions interactions_of(const collide_arguments& a) {
  const int32_t S = a.species_count;
  if (S < 0) refuse("species_count is " + std::to_string(S) + "; it must not be negative");
  if (S == 0 && (a.species != nullptr || a.mass != nullptr))
    refuse("species_count is 0, yet species or mass is given; give species_count too");
  if (S > 0 && a.species == nullptr) refuse("species is NULL, with species_count " + std::to_string(S));
  if (S > 0 && a.mass == nullptr) refuse("mass is NULL, with species_count " + std::to_string(S));
  static const collide_model hard_spheres = HardSphere();
  if (a.models == nullptr) {
    if (a.model_count != 0)
      refuse("models is NULL, with model_count " + std::to_string(a.model_count));
    return with_diagnostics(a, with_internal(a, {hard_spheres, nullptr, 0, S, a.species, a.mass, 1.0, nullptr,
                             nullptr, nullptr, false, {}}));
  }
  // The models are read at the stride of this library's collide_model.
  if (a.model_size != sizeof(collide_model)) {
    refuse("model_size is " + std::to_string(a.model_size) + "; this collide's collide_model has " +
           std::to_string(sizeof(collide_model)) +
           " bytes: set model_size to sizeof(collide_model), built against this collide.h");
  }
  const long long table = static_cast<long long>(S) * S;
  if (a.model_count != 1 && (S == 0 || a.model_count != table)) {
    refuse("model_count is " + std::to_string(a.model_count) +
           "; it must be 1 (one model for every pair) or species_count^2 = " +
           std::to_string(table));
  }
  // One model is copied here, and read no more; a table's entries are read
  // where a pair takes them.
  if (a.model_count == 1)
    return with_diagnostics(a, with_internal(a, {a.models[0], nullptr, 0, S, a.species, a.mass, 1.0, nullptr,
                             nullptr, nullptr, false, {}}));
  return with_diagnostics(a, with_internal(a, {hard_spheres, a.models, S, S, a.species, a.mass, 1.0, nullptr,
                           nullptr, nullptr, false, {}}));
}

// The velocities of cell c's particles, read ahead of the check so that
// their cache misses overlap (the rows may lie anywhere in memory). The
// indices are known to be in range.
void check_cell_velocities(const collide_arguments& a, int32_t start, int32_t N, int32_t c) {
  const int32_t ahead = 8;
  for (int32_t k = start; k < start + N && k < start + ahead; k++)
    prefetch(a.velocity + 3LL * a.cross_ref[k]);
  for (int32_t k = start; k < start + N; k++) {
    if (k + ahead < start + N) prefetch(a.velocity + 3LL * a.cross_ref[k + ahead]);
    const double* v = a.velocity + 3LL * a.cross_ref[k];
    if (!(std::fabs(v[0]) <= 1e150 && std::fabs(v[1]) <= 1e150 && std::fabs(v[2]) <= 1e150))
      check_velocity(v, a.cross_ref[k], c, kFlatNames);
  }
}

// Cell c's particle counts, which its M candidates could raise by M, and
// the positions its separations would take.
void check_cell_diagnostics(const collide_arguments& a, int32_t start, int32_t N, int32_t M,
                            int32_t c) {
  const bool positions = a.separation != nullptr || a.partner == COLLIDE_PARTNER_NEAREST;
  if (a.particle_collisions == nullptr && !positions) return;
  for (int32_t k = start; k < start + N; k++) {
    const int32_t p = a.cross_ref[k];
    if (a.particle_collisions != nullptr &&
        (a.particle_collisions[p] < 0 || a.particle_collisions[p] > 2147483647 - M)) {
      refuse(at("particle_collisions", p) + " is " + std::to_string(a.particle_collisions[p]) +
             " in cell " + std::to_string(c) + ", with " + std::to_string(M) +
             " candidates to come; a count must lie in [0, 2147483647 - candidates]");
    }
    if (positions) {
      const double* x = a.position + 3LL * p;
      if (!(std::fabs(x[0]) <= 1e150 && std::fabs(x[1]) <= 1e150 && std::fabs(x[2]) <= 1e150)) {
        refuse(at("position", p) + " is (" + shortest(x[0]) + ", " + shortest(x[1]) + ", " +
               shortest(x[2]) + ") in cell " + std::to_string(c) +
               "; each component must be finite and at most 1e150 in size");
      }
    }
  }
}

// Byte ranges of the call's arrays, for the overlap check.
struct Span {
  const char* name;
  uintptr_t begin, end;
  bool written;
};

template <class T>
Span span(const char* name, const T* array, long long count, bool written) {
  const uintptr_t begin = reinterpret_cast<uintptr_t>(array);
  return {name, begin, array == nullptr || count <= 0 ? begin : begin + sizeof(T) * count, written};
}

// No array the step writes shares memory with another array of the call.
void check_apart(const collide_arguments& a, const Interactions& interactions) {
  const long long models = interactions.tableSize == 0 ? 1 : static_cast<long long>(interactions.tableSize) * interactions.tableSize;
  const Span spans[] = {
      span("velocity", a.velocity, 3LL * a.particles, true),
      span("max_rel_speed", a.max_rel_speed, a.cells, true),
      span("select_remainder", a.select_remainder, a.cells, true),
      span("cell_population", a.cell_population, a.cells, false),
      span("cell_start", a.cell_start, a.cells, false),
      span("cross_ref", a.cross_ref, a.cross_ref_size, false),
      span("select_coeff_per_cell", a.select_coeff_per_cell, a.cells, false),
      span("species", a.species, a.species != nullptr ? a.particles : 0, false),
      span("mass", a.mass, a.species_count, false),
      span("models", a.models, a.models != nullptr ? models : 0, false),
      span("e_rot", a.e_rot, a.e_rot != nullptr ? a.particles : 0, true),
      span("vib_level", a.vib_level, a.vib_level != nullptr ? a.particles : 0, true),
      span("cell_temperature", a.cell_temperature, a.cell_temperature != nullptr ? a.cells : 0, false),
      span("pair_collisions", a.pair_collisions,
           static_cast<long long>(interactions.diagnostics.pairSpecies) * interactions.diagnostics.pairSpecies,
           true),
      span("particle_collisions", a.particle_collisions, a.particles, true),
      span("separation", a.separation, 2, true),
      span("position", a.position, 3LL * a.particles, false),
      span("mean_population", a.mean_population, a.mean_population != nullptr ? a.cells : 0, false),
      span("internal", a.internal,
           a.internal != nullptr ? (interactions.speciesCount > 0 ? interactions.speciesCount : 1) : 0,
           false)};
  for (const Span& w : spans) {
    if (!w.written) continue;
    for (const Span& other : spans) {
      if (&other == &w || (other.written && &other < &w)) continue;
      if (w.begin < other.end && other.begin < w.end)
        refuse(std::string(w.name) + " and " + other.name + " share memory; each needs its own");
    }
  }
}

// Everything the step would read or write, checked before it starts;
// returns the interactions checked.
Interactions check(const collide_arguments& a, Interactions interactions) {
  if (a.particles < 0) refuse("particles is " + std::to_string(a.particles) + "; it must not be negative");
  if (a.cells < 0) refuse("cells is " + std::to_string(a.cells) + "; it must not be negative");
  if (a.cross_ref_size < 0)
    refuse("cross_ref_size is " + std::to_string(a.cross_ref_size) + "; it must not be negative");
  if (a.cell_offset < 0 || static_cast<long long>(a.cell_offset) + a.cells > 2147483647) {
    refuse("cell_offset is " + std::to_string(a.cell_offset) +
           "; it must be 0 or more, and cell_offset + cells at most 2147483647");
  }
  if (a.first_cell < a.cell_offset || a.end_cell < a.first_cell ||
      a.end_cell > a.cell_offset + a.cells) {
    if (a.cell_offset == 0) {
      refuse("first_cell " + std::to_string(a.first_cell) + " and end_cell " +
             std::to_string(a.end_cell) + " are not a range within 0 to cells = " +
             std::to_string(a.cells));
    }
    refuse("first_cell " + std::to_string(a.first_cell) + " and end_cell " +
           std::to_string(a.end_cell) + " are not a range within the per-cell arrays' cells, " +
           std::to_string(a.cell_offset) + " to cell_offset + cells = " +
           std::to_string(a.cell_offset + a.cells));
  }
  interactions = checked_interactions(interactions, "colider", "models[0]");
  if (a.first_cell == a.end_cell) return interactions;
  const struct {
    const void* array;
    const char* name;
  } per_cell[] = {{a.cell_population, "cell_population"},
                  {a.cell_start, "cell_start"},
                  {a.max_rel_speed, "max_rel_speed"},
                  {a.select_remainder, "select_remainder"}};
  for (const auto& array : per_cell)
    if (array.array == nullptr) refuse(std::string(array.name) + " is NULL");

  check_apart(a, interactions);
  check_diagnostics(interactions.diagnostics, kFlatNames);
  long long candidates = 0;
  for (int32_t c = a.first_cell; c < a.end_cell; c++) {
    const int32_t l = entry(a, c);
    const int32_t N = a.cell_population[l];
    if (N < 0) refuse(cell_population_is_negative(a, c, N));
    if (N <= 1) continue;
    const int32_t start = a.cell_start[l];
    if (start < 0 || static_cast<long long>(start) + N > a.cross_ref_size)
      refuse(cell_outside(a, c, start, N));
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
    check_cell_velocities(a, start, N, c);
    if (interactions.internal != nullptr) {
      const double temperature = a.cell_temperature != nullptr ? a.cell_temperature[l] : NAN;
      check_cell_internal(interactions, {a.velocity, a.particles, 3, 0, nullptr}, a.cross_ref + start,
                          N, temperature, c, kFlatNames);
    }
    const bool per_cell_coeff = a.select_coeff_per_cell != nullptr;
    const double S = expected_candidates(per_cell_coeff ? a.select_coeff_per_cell[l] : a.select_coeff,
                                         a.max_rel_speed[l], a.select_remainder[l], N,
                                         a.mean_population != nullptr ? &a.mean_population[l] : nullptr, c,
                                         per_cell_coeff ? kPerCellNames : kFlatNames);
    if (S >= 1) {
      candidates += static_cast<int32_t>(S);
      check_cell_diagnostics(a, start, N, static_cast<int32_t>(S), c);
    }
  }
  // Collisions are at most the candidates: a call that fits them all in an
  // int can count its collisions.
  if (candidates > 2147483647) {
    refuse("the cells' candidate pairs add up to " + std::to_string(candidates) +
           ", more than the 2147483647 collisions an int32 counts; split the call into "
           "ranges of cells, or check select_coeff and max_rel_speed");
  }
  return interactions;
}


// Runs one call: the checks, then the cells of the range, each with the
// deviates draw_for(c) gives it; every exception becomes a code.
template <class DrawFor>
int run(const char* function, const collide_arguments* arguments, int32_t* collisions,
        char* message, size_t size, DrawFor&& draw_for) {
  try {
    if (collisions == nullptr) refuse("collisions is NULL");
    if (arguments == nullptr) refuse("arguments is NULL");
    if (arguments->size != sizeof(collide_arguments)) {
      refuse("arguments->size is " + std::to_string(arguments->size) + "; this collide's "
             "collide_arguments has " + std::to_string(sizeof(collide_arguments)) +
             " bytes: set size to sizeof(collide_arguments), built against this collide.h");
    }
    const collide_arguments& a = *arguments;
    const FlatGas gas = {a, check(a, interactions_of(a)), {a.velocity, a.particles, 3, 0, nullptr}};
    *collisions = collide_cells(gas, a.first_cell, a.end_cell, draw_for);
    if (message != nullptr && size > 0) message[0] = '\0';
    return COLLIDE_OK;
  } catch (const Cancelled& stopped) {
    const std::string line = "colider: cancelled at cell " + std::to_string(stopped.cell) +
                             "; the cells before it keep their collisions";
    return report(COLLIDE_CANCELLED, function, line.c_str(), message, size);
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
  a.size = sizeof a;
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

extern "C" int collide_sort_cells(const int32_t* cell_of, int32_t particles, int32_t cells,
                                  int32_t* cell_population, int32_t* cell_start,
                                  int32_t* cross_ref, char* message, size_t message_size) {
  using namespace collide_detail;
  try {
    if (particles < 0 || cells < 0)
      refuse("particles and cells must not be negative, not " + std::to_string(particles) +
             " and " + std::to_string(cells));
    if ((particles > 0 && (cell_of == nullptr || cross_ref == nullptr)) ||
        (cells > 0 && (cell_population == nullptr || cell_start == nullptr)))
      refuse("an array is NULL");
    for (int32_t p = 0; p < particles; p++) {
      const int32_t c = cell_of[p];
      if (c < 0 || c >= cells)
        refuse(at("cell_of", p) + " is " + std::to_string(c) + "; a cell must lie in [0, " +
               std::to_string(cells) + ")");
    }
    if (!counting_sort(cell_of, particles, cells, cell_population, cell_start, cross_ref, 0))
      refuse("cell_of changed during the call; the cell lists are unfinished");
    if (message != nullptr && message_size > 0) message[0] = '\0';
    return COLLIDE_OK;
  } catch (const ColiderError& refused) {
    return report(COLLIDE_INVALID_ARGUMENT, "collide_sort_cells", refused.what(), message,
                  message_size);
  }
}
