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
// accepted pair.
#include "colider.h"

#include <climits>
#include <cmath>

namespace {

// Truncation toward zero into an int. Values outside int's range saturate
// and a NaN gives 0, so no conversion is undefined whatever the caller's
// coefficients or generator produce.
int truncate(double x) {
  if (!(x == x)) return 0;
  if (x >= 2147483647.0) return INT_MAX;
  if (x <= -2147483648.0) return INT_MIN;
  return static_cast<int>(x);
}

}  // namespace

int colider(Matrix& velocity, Matrix& maxRelSpeed, double /*spare*/,
            long& seed, Matrix& selectRemainder, double selectCoeff,
            SortList& cells) {
  const int numCells = cells.numCells;
  int collisions = 0;

  for (int c = 1; c <= numCells; c++) {
    const int N = cells.cellPopulation[c];
    if (N <= 1) continue;

    double S = N * selectCoeff * (N - 1) * maxRelSpeed(c, 1) +
               selectRemainder(c, 1);
    int M = truncate(S);
    selectRemainder(c, 1) = S - M;
    double R = maxRelSpeed(c, 1);

    for (int candidate = 0; candidate < M; candidate++) {
      int k1 = truncate(rand(seed) * N);
      int k2 = (truncate(k1 + rand(seed) * (N - 1)) + 1) % N;
      int p1 = cells.crossRef[cells.cellStart[c] + k1];
      int p2 = cells.crossRef[cells.cellStart[c] + k2];

      double w = sqrt((pow(velocity(p1, 1) - velocity(p2, 1), 2) +
                       pow(velocity(p1, 2) - velocity(p2, 2), 2)) +
                      pow(velocity(p1, 3) - velocity(p2, 3), 2));
      if (w > R) R = w;

      if (w / maxRelSpeed(c, 1) > rand(seed)) {
        collisions++;
        Matrix vcm(3, 1);
        Matrix vrel(3, 1);
        for (int k = 1; k <= 3; k++)
          vcm(k, 1) = (velocity(p1, k) + velocity(p2, k)) * 0.5;

        double cos_th = 1 - 2 * rand(seed);
        double sin_th = sqrt(1 - cos_th * cos_th);
        double phi = rand(seed) * 6.283185308;
        vrel(1, 1) = w * cos_th;
        vrel(2, 1) = (w * sin_th) * cos(phi);
        vrel(3, 1) = (w * sin_th) * sin(phi);

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
