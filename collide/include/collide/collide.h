/* The collision step of a direct-simulation Monte Carlo gas, for C and any
 * language that calls C (Fortran through bind(C), Python through ctypes).
 * It works on the caller's own flat arrays, in place, with no copies.
 * Everything counts from 0:
 *
 *   velocity          particles x 3 doubles, row-major: particle p's
 *                     velocity is velocity[3 p], velocity[3 p + 1],
 *                     velocity[3 p + 2] (a Fortran real(c_double) :: v(3, n))
 *   max_rel_speed     cells doubles: each cell's upper estimate of the
 *                     largest relative speed of a pair, raised as faster
 *                     pairs show up
 *   select_remainder  cells doubles: each cell's fraction of a candidate
 *                     pair, carried from one step to the next
 *   cell_population   cells int32: the particles in each cell
 *   cell_start        cells int32: where each cell's particles begin in
 *                     cross_ref
 *   cross_ref         cross_ref_size int32: particle indices grouped by
 *                     cell; cell c's particles stand at cell_start[c] to
 *                     cell_start[c] + cell_population[c] - 1
 *   select_coeff      1/2 F_N sigma dt / V_cell (collide/README.md)
 *
 * Only the cells first_cell to end_cell - 1 are done, so that threads or
 * ranks can each take a range of cells of the same arrays (at the same
 * time, from different threads, when no particle stands in two cells).
 *
 * Each call returns COLLIDE_OK and stores the collisions it accepted in
 * *collisions, or returns another code and writes a one-line message,
 * cut to message_size bytes with its terminating 0, into message (when
 * message is not NULL). Every array, index and per-cell value is checked
 * before anything is changed; a refused call changes nothing. */
#ifndef COLLIDE_COLLIDE_H
#define COLLIDE_COLLIDE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
  COLLIDE_OK = 0,
  COLLIDE_INVALID_ARGUMENT = 1, /* an argument is refused: the message says which */
  COLLIDE_FAILED = 2            /* anything else, such as memory that could not be had */
};

/* Deviates from per-cell streams: cell c draws from Philox4x64-10 under the
 * key {key, step} with the counters {c, 0, 0, 0}, {c, 1, 0, 0}, ...; each
 * 64-bit word x of a block gives the deviate (x >> 11) 2^-53. The results
 * depend neither on the order of the cells nor on how they are split. Use
 * one key for a run and a new step number for every step. */
int collide_cells_keyed(double* velocity, int32_t particles, double* max_rel_speed,
                        double* select_remainder, const int32_t* cell_population,
                        const int32_t* cell_start, int32_t cells, const int32_t* cross_ref,
                        int32_t cross_ref_size, double select_coeff, int32_t first_cell,
                        int32_t end_cell, uint64_t key, uint64_t step, int32_t* collisions,
                        char* message, size_t message_size);

/* Deviates from the caller's generator: next(context) must return the next
 * deviate in [0, 1), three for each candidate pair and two more for each
 * accepted one, cell by cell in ascending order. A deviate outside [0, 1)
 * stops the call with COLLIDE_INVALID_ARGUMENT; the cells before it keep
 * their collisions. */
int collide_cells_with(double* velocity, int32_t particles, double* max_rel_speed,
                       double* select_remainder, const int32_t* cell_population,
                       const int32_t* cell_start, int32_t cells, const int32_t* cross_ref,
                       int32_t cross_ref_size, double select_coeff, int32_t first_cell,
                       int32_t end_cell, double (*next)(void* context), void* context,
                       int32_t* collisions, char* message, size_t message_size);

#ifdef __cplusplus
}
#endif

#endif
