/* An outside C program: a small gas in flat, 0-based arrays, collided ten
 * times by per-cell streams. Total momentum and energy must survive, and a
 * particle index past the particles must be refused with its message and
 * nothing changed. Exit status 0 when all holds. */
#include <collide/collide.h>

#include <math.h>
#include <stdio.h>
#include <string.h>

enum { PARTICLES = 200, CELLS = 4 };

static double totals(const double* v, double momentum[3]) {
  double energy = 0;
  momentum[0] = momentum[1] = momentum[2] = 0;
  for (int p = 0; p < PARTICLES; p++)
    for (int k = 0; k < 3; k++) {
      momentum[k] += v[3 * p + k];
      energy += v[3 * p + k] * v[3 * p + k];
    }
  return energy;
}

int main(void) {
  static double velocity[PARTICLES * 3];
  double max_rel_speed[CELLS], select_remainder[CELLS];
  int32_t population[CELLS], start[CELLS], cross_ref[PARTICLES];
  for (int p = 0; p < PARTICLES; p++)
    for (int k = 0; k < 3; k++) velocity[3 * p + k] = ((p * 37 + k * 11) % 23) / 11.0 - 1.0;
  for (int c = 0; c < CELLS; c++) {
    population[c] = PARTICLES / CELLS;
    start[c] = c * (PARTICLES / CELLS);
    max_rel_speed[c] = 4.0;
    select_remainder[c] = 0.5;
  }
  for (int k = 0; k < PARTICLES; k++) cross_ref[k] = (k * 7) % PARTICLES;

  double before[3], after[3];
  const double energy = totals(velocity, before);
  char message[256];
  int32_t collisions = 0, total = 0;
  for (uint64_t step = 0; step < 10; step++) {
    if (collide_cells_keyed(velocity, PARTICLES, max_rel_speed, select_remainder, population,
                            start, CELLS, cross_ref, PARTICLES, 0.01, 0, CELLS, 2026, step,
                            &collisions, message, sizeof message) != COLLIDE_OK) {
      fprintf(stderr, "%s\n", message);
      return 1;
    }
    total += collisions;
  }
  const double energy_after = totals(velocity, after);
  int ok = total > 0 && fabs(energy_after - energy) < 1e-9 * energy;
  for (int k = 0; k < 3; k++) ok = ok && fabs(after[k] - before[k]) < 1e-9;

  /* A refused call: particle index 200 of 200. */
  cross_ref[5] = PARTICLES;
  double kept[PARTICLES * 3];
  memcpy(kept, velocity, sizeof kept);
  const int code = collide_cells_keyed(velocity, PARTICLES, max_rel_speed, select_remainder,
                                       population, start, CELLS, cross_ref, PARTICLES, 0.01, 0,
                                       CELLS, 2026, 10, &collisions, message, sizeof message);
  ok = ok && code == COLLIDE_INVALID_ARGUMENT &&
       strcmp(message, "collide_cells_keyed: cross_ref[5] is 200 in cell 0; a particle index "
                       "must lie in [0, 200)") == 0 &&
       memcmp(kept, velocity, sizeof kept) == 0;
  printf("%d collisions, energy %g -> %g; refused: %s\n", (int)total, energy, energy_after, message);
  return ok ? 0 : 1;
}
