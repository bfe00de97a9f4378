// What the library's own forms of the collision step share, beyond the
// public headers: one cell's random stream, and the checks of a cell's
// values under the names a form gives its arguments. models.h has the
// collision models.
#ifndef COLLIDE_STEP_INTERNALS_H
#define COLLIDE_STEP_INTERNALS_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "collide/colider.h"

namespace collide_detail {

// Deviates in [0, 1) from Philox4x64-10 under the key {key, step} and the
// counters {cell, 0, 0, 0}, {cell, 1, 0, 0}, ...: each 64-bit word x of a
// block gives (x >> 11) 2^-53, the four words in order.
class CellStream;

extern const ArgumentNames kColiderNames;  // selectCoeff, maxRelSpeed, ...

// A hint that the row at `address` will be read soon; it changes no result.
inline void prefetch(const double* address) {
#if defined(__GNUC__) || defined(__clang__)
  __builtin_prefetch(address);
#else
  static_cast<void>(address);
#endif
}

// Throws ColiderError unless the velocity v[0..2] of `particle`, in `cell`,
// has finite components of at most 1e150 in size.
void check_velocity(const double* v, int particle, int cell, const ArgumentNames& names);

// With internal energy, cell `cell`'s temperature: finite and above 0
// where a relaxation number depends on it, and the probabilities of
// exchange at it. Throws ColiderError naming the value.
void check_cell_temperature(const Interactions& interactions, double temperature, int cell,
                            const ArgumentNames& names);

// The same, and each rotating particle's energy (finite, 0 or more), and the
// cell's energy, translational and internal, at most half the largest
// double, so that no exchange can overflow: the C interface's checks of a
// cell before the call changes anything.
void check_cell_internal(const Interactions& interactions, const VelocityRows& rows,
                         const int* members, int N, double temperature, int cell,
                         const ArgumentNames& names);

// The shortest text that reads back as the same double: 0.25, 1e+300.
std::string shortest(double value);

// A C call's return: `code`, with the line `what` (its "colider: " lead
// replaced by the function's name) cut into the caller's message buffer.
int report(int code, const char* function, const char* what, char* message, size_t size);

// The largest ratio of two species' masses. Scaled so that the largest is
// below 1, every mass is then above 1e-101, and a product of a mass and a
// velocity component stays a normal double down to components of 1e-207.
constexpr double kLargestMassRatio = 1e100;
constexpr double kSmallestScaledMass = 1e-101;

// Cell lists by counting sort, particles in ascending order within a cell:
// particle p (from 0) is in cell cell_of[p]; the cells, their list
// positions and the particle numbers in the list all count from `base`.
// Each pass reads cell_of[p] once and checks it where it uses it, so that a
// cell_of rewritten by another thread during the call can never send it
// outside the arrays: it returns false when a cell read is out of range or
// differs from the count, the lists then unfinished, and true otherwise.
bool counting_sort(const int* cell_of, int particles, int cells, int* population, int* start,
                   int* cross_ref, int base);

// The expected candidate count S = N selectCoeff (N - 1) maxRelSpeed +
// selectRemainder of a cell of N >= 2 particles, or with a mean population
// N-bar (not null) N selectCoeff N-bar maxRelSpeed + selectRemainder, after
// checking that the values are finite (N-bar 0 or more) and that S
// truncates to an int. Throws ColiderError naming the value, the cell and
// the argument as `names` has it.
double expected_candidates(double selectCoeff, double maxRelSpeed, double selectRemainder, int N,
                           const double* meanPopulation, int cell, const ArgumentNames& names);

class CellStream {
 public:
  CellStream(CellStreams streams, std::uint64_t cell);

  double operator()() {
    if (used_ == 4) refill();
    return static_cast<double>(block_[used_++] >> 11) * 0x1.0p-53;
  }

 private:
  void refill();

  std::uint64_t key_[2];
  std::uint64_t counter_[4];
  std::uint64_t block_[4] = {0, 0, 0, 0};
  int used_ = 4;
};

}  // namespace collide_detail

#endif
