/* The collision step of a direct-simulation Monte Carlo gas, for C and any
 * language that calls C (Fortran through bind(C), Python through ctypes).
 * It works on the caller's own flat arrays, in place, with no copies.
 * Everything counts from 0. A call takes its arrays in a collide_arguments
 * (below); the two calls of 17 arguments further down are the same step
 * for one species of hard spheres with one coefficient for every cell.
 *
 * Each call returns COLLIDE_OK and stores the collisions it accepted in
 * *collisions, or returns another code and writes a one-line message,
 * cut to message_size bytes with its terminating 0, into message (when
 * message is not NULL). Every array, index, model, velocity and per-cell
 * value is checked before anything is changed, and so is the call's total
 * of candidate pairs (at most 2147483647, so that the collisions fit an
 * int32); a refused call changes nothing. */
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
  COLLIDE_FAILED = 2,           /* anything else, such as memory that could not be had */
  COLLIDE_CANCELLED = 3         /* the cancel callback asked the call to stop */
};

/* The collision models. Each has the cross-section
 *   sigma(g) = sigma_ref (g_ref / g)^(2 omega - 1)
 * at relative speed g, and a pair's weight, the quantity max_rel_speed
 * estimates from above, is
 *   w = scale (sigma(g) / sigma_ref) g = scale g_ref^(2 omega - 1) g^(2 - 2 omega),
 * in units of speed; a candidate pair is accepted with probability
 * w / max_rel_speed. select_coeff carries sigma_ref, and scale is the
 * pair's sigma_ref relative to it (1 for one species).
 *   COLLIDE_HARD_SPHERE  scale; omega = 1/2, so w = scale g; isotropic
 *   COLLIDE_VHS          omega in [1/2, 1], g_ref, scale; isotropic
 *   COLLIDE_VSS          omega, g_ref, alpha in [1, 2], scale: the deflection
 *                        chi from the relative velocity before the collision
 *                        has cos chi = 2 u4^(1/alpha) - 1, the azimuth is
 *                        uniform
 * g_ref lies in [1e-150, 1e150] (so that its square is a normal double) and
 * scale in (0, 1e100], so that a pair's weight stays finite at any relative
 * speed the step takes (at most about 3.5e150: every velocity component is
 * at most 1e150 in size). A model's unused fields are not read. */
enum {
  COLLIDE_HARD_SPHERE = 1,
  COLLIDE_VHS = 2,
  COLLIDE_VSS = 3
};

/* How a candidate's second particle is chosen (collide_arguments'
 * partner): at random among the cell's others, or the nearest to the first
 * by position (collide/README.md, "Near partners"). */
enum {
  COLLIDE_PARTNER_RANDOM = 0,
  COLLIDE_PARTNER_NEAREST = 1
};

/* A pair's scale when none is given: the one species' own sigma_ref. */
#define COLLIDE_DEFAULT_SCALE 1.0

typedef struct collide_model {
  int32_t kind; /* COLLIDE_HARD_SPHERE, COLLIDE_VHS or COLLIDE_VSS */
  double omega; /* viscosity-temperature exponent */
  double g_ref; /* reference relative speed */
  double alpha; /* VSS scattering exponent */
  double scale; /* the pair's sigma_ref over the one in select_coeff */
} collide_model;

/* A species' internal energy, exchanged with the translational energy of
 * its collisions by the Larsen-Borgnakke model (collide/README.md): a
 * rotation of rot_dof degrees of freedom, and one harmonic vibrational mode
 * of quantum vib_quantum. Energies are in the units of 1/2 m g^2 of the
 * caller's masses (1 without species) and velocities, so that kT is
 * m <v_x^2>; temperatures are given as kT, in the same units.
 *   rot_dof        0 (none), 2 (a linear molecule) or 3
 *   z_rot          the rotational relaxation number of Jeans' equation,
 *                  dE_rot/dt = (E_rot(T) - E_rot) / (z_rot tau), tau the
 *                  species' mean time between collisions: at least 1
 *   parker_z_inf, parker_t_star  when parker_z_inf is above 0, Parker's
 *                  Z_rot = z_inf / (1 + (pi^(3/2) / 2) (T* / T)^(1/2)
 *                  + (pi + pi^2 / 4) (T* / T)) at each cell's temperature T,
 *                  in place of z_rot (t_star is k T*, above 0)
 *   vib_quantum    the vibrational quantum k theta_v: 0 for none
 *   z_vib          the vibrational relaxation number of the Landau-Teller
 *                  equation, at least 1
 *   mw_c1, mw_c2   when mw_c1 is above 0, Z_vib = (c1 / T^omega)
 *                  exp(c2 T^(-1/3)) at each cell's temperature (T as kT,
 *                  omega the species' own), in place of z_vib
 * A species with neither mode is monatomic: its collisions stay elastic. */
typedef struct collide_internal {
  int32_t rot_dof;
  double z_rot;
  double parker_z_inf, parker_t_star;
  double vib_quantum;
  double z_vib;
  double mw_c1, mw_c2;
} collide_internal;

/* One call's arrays. Start from a zeroed struct and set its size first,
 *   collide_arguments a = {sizeof a};
 * then a zero or NULL member takes the default written beside it.
 *
 *   size              sizeof(collide_arguments) as the caller was built:
 *                     a call whose size differs from this library's is
 *                     refused, never misread (a program built against
 *                     another collide.h, or a Fortran type that misses a
 *                     member)
 *   velocity          particles x 3 doubles, row-major: particle p's
 *                     velocity is velocity[3 p], velocity[3 p + 1],
 *                     velocity[3 p + 2] (a Fortran real(c_double) :: v(3, n))
 *   max_rel_speed     cells doubles: each cell's upper estimate of the
 *                     largest weight w of a pair (the relative speed, for
 *                     hard spheres), raised as heavier pairs show up
 *   select_remainder  cells doubles: each cell's fraction of a candidate
 *                     pair, carried from one step to the next
 *   cell_population   cells int32: the particles in each cell
 *   cell_start        cells int32: where each cell's particles begin in
 *                     cross_ref
 *   cross_ref         cross_ref_size int32: particle indices grouped by
 *                     cell; cell c's particles stand at cell_start[c] to
 *                     cell_start[c] + cell_population[c] - 1
 *   select_coeff      1/2 F_N sigma_ref dt / V_cell (collide/README.md),
 *                     for every cell; or, when select_coeff_per_cell is not
 *                     NULL, that array of cells doubles, one per cell
 *   first_cell, end_cell  only the cells first_cell to end_cell - 1 are
 *                     done, so that threads or ranks can each take a range
 *                     of cells of the same arrays (at the same time, from
 *                     different threads, when no particle stands in two
 *                     cells); all cells: 0 and cells
 *   cell_offset       0, or the number of the cell that the per-cell arrays
 *                     (cell_population, cell_start, max_rel_speed,
 *                     select_remainder, select_coeff_per_cell,
 *                     cell_temperature, mean_population) begin with: they
 *                     then hold `cells` entries for the cells cell_offset to
 *                     cell_offset + cells - 1, so that a rank keeps only its
 *                     own cells' entries. first_cell, end_cell, the streams
 *                     and the messages keep the global cell numbers.
 *   models            NULL: hard spheres of scale 1; or model_count models:
 *                     1, that model for every pair, or species_count^2, a
 *                     symmetric table in which models[a species_count + b]
 *                     is for a pair of species a and b
 *   model_size        with models: sizeof(collide_model) as the caller was
 *                     built, so that models of another layout are refused,
 *                     never misread
 *   species           NULL: one species; or particles int32, each
 *                     particle's species, 0 to species_count - 1
 *   mass              with species: species_count doubles, each species'
 *                     mass, a normal double (at least DBL_MIN) and finite,
 *                     no mass more than 1e100 times another (any unit: only
 *                     ratios count, and the step works with the masses
 *                     scaled by one power of two, which keeps them exactly,
 *                     so that no sum or product of theirs can overflow). An
 *                     accepted pair keeps its centre-of-mass velocity and
 *                     its relative speed.
 *   internal          NULL: no internal energy, every collision elastic;
 *                     or one collide_internal for the gas (without species)
 *                     or species_count of them, one per species
 *   internal_size     with internal: sizeof(collide_internal) as the caller
 *                     was built
 *   e_rot             with any rot_dof above 0: particles doubles, each
 *                     particle's rotational energy, 0 or more; updated
 *   vib_level         with any vib_quantum above 0: particles int32, each
 *                     particle's vibrational level, 0 or more; updated
 *   cell_temperature  cells doubles, each cell's translational kT, above 0
 *                     and finite: needed by Parker's and Millikan-White's
 *                     relaxation numbers, and by vibration (whose
 *                     probability of exchange depends on theta_v / T)
 *   pair_collisions   NULL, or species_count^2 int64 (1 without species):
 *                     the call adds each collision it accepts of species a
 *                     and b at [min(a, b) species_count + max(a, b)]; each
 *                     count must lie in [0, 2^63 - 2^31]
 *   particle_collisions  NULL, or particles int32: the call adds 1 to each
 *                     particle of a pair it accepts; a cell's counts must
 *                     lie in [0, 2147483647 - the cell's candidates]
 *   position          particles x 3 doubles, row-major as velocity: each
 *                     particle's position, finite and at most 1e150 in
 *                     size, needed by separation and by nearest partners
 *   separation        NULL, or 2 doubles: the call adds each accepted
 *                     pair's distance |x_a - x_b| to separation[0] (at most
 *                     1e300 before the call) and 1 to separation[1] (at
 *                     most 2^53), so that separation[0] / separation[1] is
 *                     the mean collision separation
 *                     Calls that run at the same time over ranges of cells
 *                     each need their own pair_collisions and separation;
 *                     particle_collisions is shared as velocity is.
 *   mean_population   NULL, or cells doubles: each cell's time-averaged
 *                     population N-bar, finite and 0 or more. A cell of N
 *                     particles then expects
 *                       N select_coeff N-bar max_rel_speed + select_remainder
 *                     candidates instead of N select_coeff (N - 1) ..., the
 *                     count for cells whose populations do not vary as
 *                     Poisson's do (collide/README.md)
 *   partner           COLLIDE_PARTNER_RANDOM (0): a candidate's second
 *                     particle at random among the cell's others; or
 *                     COLLIDE_PARTNER_NEAREST: the nearest of them to the
 *                     first by position, other than the first's partner in
 *                     its last candidate pair of this call. The candidate count,
 *                     the acceptance and the deviates (three a candidate,
 *                     u2 drawn and unused) stay those of random partners.
 *   cancel            NULL, or a function the call asks, with
 *                     cancel_context, before each cell and after every
 *                     65536 candidate pairs whether to stop: a nonzero
 *                     answer ends the call with COLLIDE_CANCELLED. The
 *                     cells done before keep their collisions, and so do
 *                     the pairs already done in the cell it stopped in;
 *                     the count of collisions is lost.
 *
 * No two of the arrays the call writes (velocity, max_rel_speed,
 * select_remainder, e_rot, vib_level and the diagnostics), nor any of them
 * and another array of the call, may share memory.
 *
 * Another thread may rewrite the arrays the call only reads while it runs:
 * cell_population, cell_start, cross_ref, species, select_coeff_per_cell,
 * mass, models, position and mean_population. Each value is read where it is used and checked there
 * (an index against its array, a mass against the range of the masses
 * checked when the call began; a table's model, read at a cell's first pair
 * that takes it, against its ranges; one model for every pair is copied
 * when the call begins), so such
 * a rewrite may end the call with COLLIDE_INVALID_ARGUMENT, the cells before
 * keeping their collisions, but never makes it read or write outside an
 * array or write a value that is not finite. The arrays the call writes
 * are the call's own while it runs: no other thread may write the rows and cells it does, or the
 * results are undefined. */
typedef struct collide_arguments {
  size_t size;
  double* velocity;
  int32_t particles;
  double* max_rel_speed;
  double* select_remainder;
  const int32_t* cell_population;
  const int32_t* cell_start;
  int32_t cells;
  const int32_t* cross_ref;
  int32_t cross_ref_size;
  double select_coeff;
  const double* select_coeff_per_cell;
  int32_t first_cell;
  int32_t end_cell;
  const collide_model* models;
  int32_t model_count;
  int32_t species_count;
  const int32_t* species;
  const double* mass;
  int (*cancel)(void* context);
  void* cancel_context;
  size_t model_size;
  const collide_internal* internal;
  size_t internal_size;
  double* e_rot;
  int32_t* vib_level;
  const double* cell_temperature;
  int64_t* pair_collisions;
  int32_t* particle_collisions;
  const double* position;
  double* separation;
  const double* mean_population;
  int32_t cell_offset;
  int32_t partner;
} collide_arguments;

/* Cell lists in the order that makes a step's results independent of how
 * the particles are numbered or split among ranks: particle p (from 0) is
 * in cell cell_of[p], 0 to cells - 1; cell c's particles are listed in
 * ascending order from cross_ref[cell_start[c]], cell_population[c] of
 * them, in one counting pass. cross_ref has room for `particles` entries.
 * Returns COLLIDE_OK, or COLLIDE_INVALID_ARGUMENT with the message for a
 * cell out of range, having written nothing. Each pass reads cell_of[p]
 * once and checks it where it uses it: a cell_of that another thread
 * rewrites during the call ends it with COLLIDE_INVALID_ARGUMENT ("cell_of
 * changed during the call"), the lists unfinished, and never makes it read
 * or write outside its arrays. */
int collide_sort_cells(const int32_t* cell_of, int32_t particles, int32_t cells,
                       int32_t* cell_population, int32_t* cell_start, int32_t* cross_ref,
                       char* message, size_t message_size);

/* The step with per-cell streams: cell c draws from Philox4x64-10 under the
 * key {key, step} with the counters {c, 0, 0, 0}, {c, 1, 0, 0}, ...; each
 * 64-bit word x of a block gives the deviate (x >> 11) 2^-53. The results
 * depend neither on the order of the cells nor on how they are split. Use
 * one key for a run and a new step number for every step. */
int collide_keyed(const collide_arguments* arguments, uint64_t key, uint64_t step,
                  int32_t* collisions, char* message, size_t message_size);

/* The step with deviates from the caller's generator: next(context) must
 * return the next deviate in [0, 1), three for each candidate pair and two
 * more for each accepted one, cell by cell in ascending order. A deviate
 * outside [0, 1) stops the call with COLLIDE_INVALID_ARGUMENT; the cells
 * before it keep their collisions. */
int collide_with(const collide_arguments* arguments, double (*next)(void* context),
                 void* context, int32_t* collisions, char* message, size_t message_size);

/* collide_keyed and collide_with for hard spheres of one species, with the
 * arrays given one by one. */
int collide_cells_keyed(double* velocity, int32_t particles, double* max_rel_speed,
                        double* select_remainder, const int32_t* cell_population,
                        const int32_t* cell_start, int32_t cells, const int32_t* cross_ref,
                        int32_t cross_ref_size, double select_coeff, int32_t first_cell,
                        int32_t end_cell, uint64_t key, uint64_t step, int32_t* collisions,
                        char* message, size_t message_size);

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
