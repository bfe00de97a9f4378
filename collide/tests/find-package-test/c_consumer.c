/* An outside C program: a small gas in flat, 0-based arrays, collided ten
 * times by per-cell streams. Total momentum and energy must survive, and a
 * particle index past the particles must be refused with its message and
 * nothing changed. Then the same gas as two species of masses 1 and 4,
 * through the struct form with a table of models and a coefficient per
 * cell: sum m v and sum m v^2 must survive. Exit status 0 when all holds. */
#include <collide/collide.h>

#include <math.h>
#include <stdio.h>
#include <string.h>

enum { PARTICLES = 200, CELLS = 4 };

static const double MASS[2] = {1.0, 4.0};

/* Sum of m v and of m v^2; every mass 1 when species is NULL. */
static double weighed_totals(const double* v, const int32_t* species, double momentum[3]) {
  double energy = 0;
  momentum[0] = momentum[1] = momentum[2] = 0;
  for (int p = 0; p < PARTICLES; p++) {
    const double m = species ? MASS[species[p]] : 1.0;
    for (int k = 0; k < 3; k++) {
      momentum[k] += m * v[3 * p + k];
      energy += m * v[3 * p + k] * v[3 * p + k];
    }
  }
  return energy;
}

static double totals(const double* v, double momentum[3]) {
  return weighed_totals(v, NULL, momentum);
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
  cross_ref[5] = 5 * 7;

  /* Two species, a table of models (hard spheres, VHS across, VSS), and a
   * coefficient per cell. */
  int32_t species[PARTICLES];
  for (int p = 0; p < PARTICLES; p++) species[p] = p % 2;
  const collide_model models[4] = {{COLLIDE_HARD_SPHERE, 0.5, 1.0, 1.0, 1.0},
                                   {COLLIDE_VHS, 0.75, 1.0, 1.0, 1.5},
                                   {COLLIDE_VHS, 0.75, 1.0, 1.0, 1.5},
                                   {COLLIDE_VSS, 0.8, 1.0, 1.5, 1.0}};
  const double coeff[CELLS] = {0.01, 0.012, 0.014, 0.016};
  collide_arguments a = {sizeof a};
  a.velocity = velocity;
  a.particles = PARTICLES;
  a.max_rel_speed = max_rel_speed;
  a.select_remainder = select_remainder;
  a.cell_population = population;
  a.cell_start = start;
  a.cells = CELLS;
  a.cross_ref = cross_ref;
  a.cross_ref_size = PARTICLES;
  a.select_coeff_per_cell = coeff;
  a.first_cell = 0;
  a.end_cell = CELLS;
  a.models = models;
  a.model_count = 4;
  a.model_size = sizeof(collide_model);
  a.species_count = 2;
  a.species = species;
  a.mass = MASS;
  const double mixed_energy = weighed_totals(velocity, species, before);
  int32_t mixed = 0;
  for (uint64_t step = 0; step < 10; step++) {
    if (collide_keyed(&a, 2026, step, &collisions, message, sizeof message) != COLLIDE_OK) {
      fprintf(stderr, "%s\n", message);
      return 1;
    }
    mixed += collisions;
  }
  const double mixed_after = weighed_totals(velocity, species, after);
  ok = ok && mixed > 0 && fabs(mixed_after - mixed_energy) < 1e-9 * mixed_energy;
  for (int k = 0; k < 3; k++) ok = ok && fabs(after[k] - before[k]) < 1e-9;
  printf("mixture: %d collisions, energy %g -> %g\n", (int)mixed, mixed_energy, mixed_after);
  return ok ? 0 : 1;
}
