// A client that draws its deviates from a std::mt19937_64 and defines no
// rand(long&): it links all the same. Four particles in one cell collide,
// as hard spheres and then as variable soft spheres; total momentum and
// energy must survive. Exit status 0 when they do.
#include <cmath>
#include <cstdio>
#include <random>

#include <collide/colider.h>

int main() {
  Matrix velocity(4, 3);
  const double start[4][3] = {{1, 0, 0}, {0, -2, 0}, {0, 0, 3}, {-1, 1, 0}};
  double momentum[3] = {0, 0, 0}, energy = 0;
  for (int p = 1; p <= 4; p++)
    for (int k = 1; k <= 3; k++) velocity(p, k) = start[p - 1][k - 1];
  Matrix maxRelSpeed(1, 1), selectRemainder(1, 1);
  maxRelSpeed(1, 1) = 1.0;
  SortList cells(1, 5);
  cells.cellPopulation[1] = 4;
  cells.cellStart[1] = 1;
  for (int p = 1; p <= 4; p++) cells.crossRef[p] = p;

  std::mt19937_64 engine(7);
  std::uniform_real_distribution<double> uniform(0.0, 1.0);
  int collisions = 0;
  for (int step = 0; step < 20; step++)
    collisions += colider(velocity, maxRelSpeed, 0.0, [&] { return uniform(engine); },
                          selectRemainder, 0.25, cells);
  const CollisionModel vss = VSS(0.75, 1.0, 1.4);
  for (int step = 0; step < 20; step++)
    collisions += colider(velocity, maxRelSpeed, 0.0, [&] { return uniform(engine); },
                          selectRemainder, 0.25, cells, vss);

  double after[3] = {0, 0, 0}, energy_after = 0;
  for (int p = 1; p <= 4; p++) {
    for (int k = 1; k <= 3; k++) {
      momentum[k - 1] += start[p - 1][k - 1];
      energy += start[p - 1][k - 1] * start[p - 1][k - 1];
      after[k - 1] += velocity(p, k);
      energy_after += velocity(p, k) * velocity(p, k);
    }
  }
  bool conserved = std::fabs(energy_after - energy) < 1e-9 * energy;
  for (int k = 0; k < 3; k++) conserved = conserved && std::fabs(after[k] - momentum[k]) < 1e-9;
  std::printf("collisions %d, energy %g -> %g\n", collisions, energy, energy_after);
  return collisions > 0 && conserved ? 0 : 1;
}
