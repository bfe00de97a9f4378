// Two particles in one cell, one collision: the pair's momentum and energy
// must survive it. Exit status 0 when they do. Built as a Release client
// with NDEBUG defined as 1, which the headers must leave as it is.
#include <cmath>
#include <cstdio>

#ifdef COLLIDE_FLAT_INCLUDE
#include "colider.h"  // the older form, with include/collide on the path
#else
#include <collide/colider.h>
#endif

#if NDEBUG != 1
#error "collide's headers changed NDEBUG"
#endif

// The simulation's generator: the minimal standard one, in (0, 1).
double rand(long& seed) {
  seed = static_cast<long>((16807LL * seed) % 2147483647);  // in 64 bits: long has 32 on some systems
  return seed / 2147483647.0;
}

int main() {
  Matrix velocity(2, 3);
  velocity(1, 1) = 1.0;
  velocity(2, 2) = -2.0;
  Matrix maxRelSpeed(1, 1);
  maxRelSpeed(1, 1) = 1.0;  // below the pair's speed: always accepted
  Matrix selectRemainder(1, 1);

  SortList cells(1, 3);
  cells.cellPopulation[1] = 2;
  cells.cellStart[1] = 1;
  cells.crossRef[1] = 1;
  cells.crossRef[2] = 2;

  long seed = 1;
  // 2 * 0.5 * 1 * 1 = 1 candidate.
  int collisions = colider(velocity, maxRelSpeed, 0.0, seed, selectRemainder,
                           0.5, cells);

  double momentum[3], energy = 0;
  for (int k = 1; k <= 3; k++) {
    momentum[k - 1] = velocity(1, k) + velocity(2, k);
    energy += velocity(1, k) * velocity(1, k) + velocity(2, k) * velocity(2, k);
  }
  bool conserved = std::fabs(momentum[0] - 1.0) < 1e-12 &&
                   std::fabs(momentum[1] + 2.0) < 1e-12 &&
                   std::fabs(momentum[2]) < 1e-12 && std::fabs(energy - 5.0) < 1e-12;
  std::printf("collisions %d, momentum (%g, %g, %g), energy %g\n", collisions,
              momentum[0], momentum[1], momentum[2], energy);
  return collisions == 1 && conserved ? 0 : 1;
}
