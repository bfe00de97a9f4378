// DSMC collision step (no-time-counter selection with a remainder carried
// between calls). In each cell of N >= 2 particles:
//
//   S = N selectCoeff (N - 1) maxRelSpeed(c) + selectRemainder(c)
//
// candidate pairs, the integer part examined now and the fraction carried.
// A pair of relative speed w is accepted with probability w / maxRelSpeed(c),
// the stored maximum as it stood before the pair, so the expected accepted
// collisions per cell are N (N - 1) selectCoeff <w>. An accepted pair keeps
// its centre-of-mass velocity and its relative speed; the direction of its
// relative velocity is drawn uniformly over the sphere:
//
//   cos(theta) = 1 - 2 u4,  phi = 2 pi u5   (2 pi taken as 6.283185308).
//
// Deviates are drawn in the order u1, u2, u3 per candidate, u4, u5 per
// accepted pair. The constants, pow(., 2) and the order of every product and
// sum are kept as they are so that results stay the same to the last bit.
//
// One template, instantiated once for each way of drawing deviates
// (colider.cpp, colider_generator.cpp), so that both give the same bits.
#ifndef COLLIDE_COLIDER_CELLS_H
#define COLLIDE_COLIDER_CELLS_H

#include <climits>
#include <cmath>

#include "collide/colider.h"

namespace collide_detail {

// Truncation toward zero into an int. Values outside int's range saturate
// and a NaN gives 0, so no conversion is undefined whatever the caller's
// coefficients produce.
inline int truncate(double x) {
  if (!(x == x)) return 0;
  if (x >= 2147483647.0) return INT_MAX;
  if (x <= -2147483648.0) return INT_MIN;
  return static_cast<int>(x);
}

// A broken contract ends the process, as a failed check of Matrix does.
// Prints "colider: <what> is <value> in cell <cell>; <requirement>".
[[noreturn]] void contract_broken(const char* what, int cell, double value,
                                  const char* requirement);

// The next deviate, which must lie in [0, 1): a deviate of 1 or more, or
// below 0, would pick a particle outside the cell.
template <class Draw>
double deviate(Draw& draw, const char* which, int cell) {
  const double u = draw();
  if (!(u >= 0.0 && u < 1.0)) contract_broken(which, cell, u, "a deviate must lie in [0, 1)");
  return u;
}

template <class Draw>
int collide_cells(Matrix& velocity, Matrix& maxRelSpeed, Draw draw, Matrix& selectRemainder,
                  double selectCoeff, SortList& cells) {
  const int numCells = cells.numCells;
  int collisions = 0;

  for (int c = 1; c <= numCells; c++) {
    const int N = cells.cellPopulation[c];
    if (N <= 1) continue;
    if (!std::isfinite(selectCoeff))
      contract_broken("selectCoeff", c, selectCoeff, "it must be finite");
    if (cells.cellStart[c] < 0)
      contract_broken("cellStart", c, cells.cellStart[c], "it must not be negative");

    double S = N * selectCoeff * (N - 1) * maxRelSpeed(c, 1) + selectRemainder(c, 1);
    int M = truncate(S);
    selectRemainder(c, 1) = S - M;
    double R = maxRelSpeed(c, 1);

    for (int candidate = 0; candidate < M; candidate++) {
      int k1 = truncate(deviate(draw, "u1, the first particle's deviate,", c) * N);
      int k2 = (truncate(k1 + deviate(draw, "u2, the second particle's deviate,", c) * (N - 1)) +
                1) % N;
      int p1 = cells.crossRef[cells.cellStart[c] + k1];
      int p2 = cells.crossRef[cells.cellStart[c] + k2];

      double w = std::sqrt((std::pow(velocity(p1, 1) - velocity(p2, 1), 2) +
                            std::pow(velocity(p1, 2) - velocity(p2, 2), 2)) +
                           std::pow(velocity(p1, 3) - velocity(p2, 3), 2));
      if (w > R) R = w;

      if (w / maxRelSpeed(c, 1) > deviate(draw, "u3, the acceptance deviate,", c)) {
        collisions++;
        Matrix vcm(3, 1);
        Matrix vrel(3, 1);
        for (int k = 1; k <= 3; k++) vcm(k, 1) = (velocity(p1, k) + velocity(p2, k)) * 0.5;

        double cos_th = 1 - 2 * deviate(draw, "u4, the polar deviate,", c);
        double sin_th = std::sqrt(1 - cos_th * cos_th);
        double phi = deviate(draw, "u5, the azimuth deviate,", c) * 6.283185308;
        vrel(1, 1) = w * cos_th;
        vrel(2, 1) = (w * sin_th) * std::cos(phi);
        vrel(3, 1) = (w * sin_th) * std::sin(phi);

        for (int k = 1; k <= 3; k++) {
          velocity(p1, k) = vcm(k, 1) + vrel(k, 1) * 0.5;
          velocity(p2, k) = vcm(k, 1) + vrel(k, 1) * (-0.5);
        }
      }
      maxRelSpeed(c, 1) = R;
    }
  }
  return collisions;
}

}  // namespace collide_detail

#endif
