// DSMC collision step (no-time-counter selection with a remainder carried
// between calls), one cell at a time. In a cell of N >= 2 particles
//
//   S = N selectCoeff (N - 1) maxRelSpeed(c) + selectRemainder(c)
//
// candidate pairs are due, the whole part examined now and the fraction
// carried. A pair of relative speed w is accepted with probability
// w / maxRelSpeed(c), the stored maximum as it stood before the pair, so the
// expected accepted collisions per cell are N (N - 1) selectCoeff <w>. An
// accepted pair keeps its centre-of-mass velocity and its relative speed; the
// direction of its relative velocity is drawn uniformly over the sphere:
//
//   cos(theta) = 1 - 2 u4,  phi = 2 pi u5   (2 pi taken as 6.283185308).
//
// Example: N = 3, selectCoeff 0.45, maxRelSpeed 1 and a remainder of 0.5
// give S = 3.2: three candidates now, 0.2 carried to the next call.
//
// Deliberate arithmetic: the constants, and the order of every product and
// sum, are kept as they stand, so that results stay the same to the last bit.
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "collide/colider.h"
#include "step_internals.h"

namespace collide_detail {

namespace {

// The shortest text that reads back as the same double: 0.25, 1e+300
// (17 digits always do; a NaN never reads back equal, and prints as nan).
std::string shortest(double value) {
  char text[32];
  for (int digits = 1; digits <= 17; digits++) {
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    if (std::strtod(text, nullptr) == value) break;
  }
  return text;
}

// "colider: <what> is <value> in cell <cell>; <requirement>", thrown.
[[noreturn]] void refuse(const char* what, double value, int cell, const char* requirement) {
  throw ColiderError(std::string("colider: ") + what + " is " + shortest(value) + " in cell " +
                     std::to_string(cell) + "; " + requirement);
}

// A deviate of 1 or more, or below 0, would pick a particle outside the cell.
double checked_deviate(double u, const char* which, int cell) {
  if (!(u >= 0.0 && u < 1.0)) refuse(which, u, cell, "a deviate must lie in [0, 1)");
  return u;
}

void require_finite(const char* what, double value, int cell) {
  if (!std::isfinite(value)) refuse(what, value, cell, "it must be finite");
}

// A hint that the row at `address` will be read soon; it changes no result.
inline void prefetch(const double* address) {
#if defined(__GNUC__) || defined(__clang__)
  __builtin_prefetch(address);
#else
  static_cast<void>(address);
#endif
}

}  // namespace

int CellStep::begin(Matrix& velocity, Matrix& maxRelSpeed, Matrix& selectRemainder,
                    double selectCoeff, const SortList& cells, int c) {
  const int N = cells.cellPopulation[c];
  if (N <= 1) return 0;
  if (cells.cellStart[c] < 0) refuse("cellStart", cells.cellStart[c], c, "it must not be negative");
  const VelocityRows rows = {&velocity(1, 1), velocity.nRow(), velocity.nCol(), 1, &velocity};
  return begin(rows, maxRelSpeed(c, 1), selectRemainder(c, 1), selectCoeff, N,
               cells.crossRef + cells.cellStart[c], c);
}

const ArgumentNames kColiderNames = {"selectCoeff", "maxRelSpeed", "selectRemainder"};

double expected_candidates(double selectCoeff, double maxRelSpeed, double selectRemainder, int N,
                           int c, const ArgumentNames& names) {
  require_finite(names.selectCoeff, selectCoeff, c);
  require_finite(names.maxRelSpeed, maxRelSpeed, c);
  require_finite(names.selectRemainder, selectRemainder, c);
  const double S = N * selectCoeff * (N - 1) * maxRelSpeed + selectRemainder;
  // The candidate count is an int: S must truncate to one.
  if (!(S > -2147483649.0 && S < 2147483648.0)) {
    throw ColiderError(std::string("colider: the expected candidate count N ") + names.selectCoeff +
                       " (N - 1) " + names.maxRelSpeed + " + " + names.selectRemainder + " is " +
                       shortest(S) + " in cell " + std::to_string(c) + " (N = " +
                       std::to_string(N) + ", " + names.selectCoeff + " = " + shortest(selectCoeff) +
                       ", " + names.maxRelSpeed + " = " + shortest(maxRelSpeed) + ", " +
                       names.selectRemainder + " = " + shortest(selectRemainder) +
                       "); it must fit a 32-bit count");
  }
  return S;
}

int CellStep::begin(const VelocityRows& velocity, double& maxRelSpeed, double& selectRemainder,
                    double selectCoeff, int population, const int* members, int c) {
  const int N = population;
  if (N <= 1) return 0;
  const double S =
      expected_candidates(selectCoeff, maxRelSpeed, selectRemainder, N, c, kColiderNames);
  const int M = static_cast<int>(S);
  selectRemainder = S - M;

  velocity_ = velocity;
  stored_max_ = &maxRelSpeed;
  members_ = members;
  cell_ = c;
  population_ = N;
  running_max_ = maxRelSpeed;
  // The candidates will read the cell's velocity rows, which may lie anywhere
  // in memory: ask for them all at once, so that their cache misses overlap
  // instead of stalling one candidate after another.
  if (M > 0) {
    for (int k = 0; k < N; k++) {
      const long long r = static_cast<long long>(members_[k]) - velocity_.first;
      if (r >= 0 && r < velocity_.count) prefetch(velocity_.data + velocity_.columns * r);
    }
  }
  return M;
}

// Particle p's velocity, three doubles. A particle outside the rows, or rows
// of fewer than three columns, fail the Matrix's check when there is one.
double* CellStep::row(int p) {
  const long long r = static_cast<long long>(p) - velocity_.first;
  if (r < 0 || r >= velocity_.count || velocity_.columns < 3) {
    if (velocity_.matrix != nullptr) static_cast<void>((*velocity_.matrix)(p, 3));
    refuse("a particle number", p, cell_, "it must name a row of the velocities");
  }
  return velocity_.data + velocity_.columns * r;
}

bool CellStep::examine(double u1, double u2, double u3) {
  const int N = population_;
  // 0 <= k1 <= N - 1. k2 = (trunc(k1 + u2 (N - 1)) + 1) mod N is one of the
  // other offsets; the value before the remainder lies in [1, 2N - 1], so the
  // remainder is at most one subtraction (and 64 bits hold it for any N).
  const int k1 = static_cast<int>(checked_deviate(u1, "u1, the first particle's deviate,", cell_) * N);
  long long k2 = static_cast<long long>(
                     k1 + checked_deviate(u2, "u2, the second particle's deviate,", cell_) * (N - 1)) +
                 1;
  if (k2 >= N) k2 -= N;
  first_ = row(members_[k1]);
  second_ = row(members_[k2]);

  // pow(d, 2) with an exponent of 2 is one correctly rounded product, d * d,
  // which is how the library has always computed it.
  const double d1 = first_[0] - second_[0];
  const double d2 = first_[1] - second_[1];
  const double d3 = first_[2] - second_[2];
  speed_ = std::sqrt((d1 * d1 + d2 * d2) + d3 * d3);
  if (speed_ > running_max_) running_max_ = speed_;

  // The divisor is the stored maximum from before this candidate.
  const bool accepted =
      speed_ / *stored_max_ > checked_deviate(u3, "u3, the acceptance deviate,", cell_);
  if (!accepted) *stored_max_ = running_max_;
  return accepted;
}

void CellStep::scatter(double u4, double u5) {
  double centre[3], relative[3];
  for (int k = 0; k < 3; k++) centre[k] = (first_[k] + second_[k]) * 0.5;

  const double cos_th = 1 - 2 * checked_deviate(u4, "u4, the polar deviate,", cell_);
  const double sin_th = std::sqrt(1 - cos_th * cos_th);
  const double phi = checked_deviate(u5, "u5, the azimuth deviate,", cell_) * 6.283185308;
  relative[0] = speed_ * cos_th;
  relative[1] = (speed_ * sin_th) * std::cos(phi);
  relative[2] = (speed_ * sin_th) * std::sin(phi);

  for (int k = 0; k < 3; k++) {
    first_[k] = centre[k] + relative[k] * 0.5;
    second_[k] = centre[k] + relative[k] * (-0.5);
  }
  *stored_max_ = running_max_;
}

void too_many_collisions(int cell) {
  throw ColiderError("colider: more than 2147483647 collisions in one call, at cell " +
                     std::to_string(cell) + "; the count is an int");
}

}  // namespace collide_detail
