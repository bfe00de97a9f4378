// What the library's own forms of the collision step share, beyond the
// public headers: one cell's random stream, and the checks of a cell's
// values under the names a form gives its arguments.
#ifndef COLLIDE_STEP_INTERNALS_H
#define COLLIDE_STEP_INTERNALS_H

#include <cstdint>

#include "collide/colider.h"

namespace collide_detail {

// Deviates in [0, 1) from Philox4x64-10 under the key {key, step} and the
// counters {cell, 0, 0, 0}, {cell, 1, 0, 0}, ...: each 64-bit word x of a
// block gives (x >> 11) 2^-53, the four words in order.
class CellStream;

// How a form names the per-cell arguments in its messages.
struct ArgumentNames {
  const char* selectCoeff;
  const char* maxRelSpeed;
  const char* selectRemainder;
};
extern const ArgumentNames kColiderNames;  // selectCoeff, maxRelSpeed, ...

// The expected candidate count S = N selectCoeff (N - 1) maxRelSpeed +
// selectRemainder of a cell of N >= 2 particles, after checking that the
// three values are finite and that S truncates to an int. Throws
// ColiderError naming the value, the cell and the argument as `names` has it.
double expected_candidates(double selectCoeff, double maxRelSpeed, double selectRemainder, int N,
                           int cell, const ArgumentNames& names);

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
