// The collision step of a direct-simulation Monte Carlo gas: the collide
// module's one function, and what it needs from the program that links it.
// collide/README.md explains every argument in physical terms.
#ifndef COLLIDE_COLIDER_H
#define COLLIDE_COLIDER_H

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "Matrix.h"
#include "SortList.h"
#include "collide.h"
#include "collide_gas.h"

// What colider throws when a caller breaks its contract. what() is one line
// that names the argument, the cell and the value, for example
//   colider: u1, the first particle's deviate, is 1 in cell 3; a deviate
//   must lie in [0, 1)
// Uncaught, it ends the process with that line on standard error.
class ColiderError : public std::invalid_argument {
 public:
  explicit ColiderError(const std::string& message) : std::invalid_argument(message) {}
};

// Carries out the collisions of one time step, cell by cell, and returns how
// many it accepted.
//   velocity         row p = particle p's velocity, columns 1..3
//   maxRelSpeed      row c, column 1: cell c's estimate of the largest
//                    relative speed of a pair; raised as faster pairs show up
//   spare            ignored
//   seed             generator state, passed to rand() and nothing else
//   selectRemainder  row c, column 1: fractional candidate count carried
//                    from one call to the next
//   selectCoeff      a cell of N particles examines
//                    N selectCoeff (N - 1) maxRelSpeed(c) + selectRemainder(c)
//                    candidate pairs
//   cells            the cell lists, filled for the current positions
//
// Checked in every build, whatever flags the caller compiles with: each
// deviate lies in [0, 1); selectCoeff, and maxRelSpeed and selectRemainder of
// every cell of two or more particles, are finite; a cell's candidate count
// fits an int; cellStart is not negative. A slip throws ColiderError before
// the cell it concerns changes anything; the cells before it keep their
// collisions. Matrix checks every element access and aborts on a bad one.
int colider(Matrix& velocity, Matrix& maxRelSpeed, double spare, long& seed,
            Matrix& selectRemainder, double selectCoeff, SortList& cells);

// Supplied by the linking program for the call above: the next uniform
// deviate, which must lie in [0, 1). colider draws three per candidate pair
// and two more per accepted collision.
double rand(long& seed);

// A collision model: how a pair's chance of colliding depends on its
// relative speed g, and how it scatters. collide.h gives the formulas;
// collide/README.md the physics and how to choose the numbers.
//   HardSphere(scale)             the weight w = scale g; isotropic
//   VHS(omega, g_ref, scale)      w = scale g_ref^(2 omega - 1) g^(2 - 2 omega),
//                                 omega in [1/2, 1]; isotropic
//   VSS(omega, g_ref, alpha, scale)  the same weight; cos chi = 2 u^(1/alpha) - 1
//                                 from the relative velocity, alpha in [1, 2]
// Each throws ColiderError naming a parameter out of its range.
using CollisionModel = collide_model;
CollisionModel HardSphere(double scale = COLLIDE_DEFAULT_SCALE);
CollisionModel VHS(double omega, double g_ref, double scale = COLLIDE_DEFAULT_SCALE);
CollisionModel VSS(double omega, double g_ref, double alpha, double scale = COLLIDE_DEFAULT_SCALE);

// Molecular data and the step's numbers from it, in SI units (kg, m, K, s;
// collide_gas.h states the ranges and the table's source); each throws
// ColiderError naming a value out of its range.
//   gas_data(name)        the table's gas: "Ar", "N2", "air", ...
//   mixture_models(gases, kind)  the model of every pair by the mixing
//                         rule (COLLIDE_HARD_SPHERE, COLLIDE_VHS or
//                         COLLIDE_VSS), models[a S + b], and sigmaRef, the
//                         first gas's own cross-section at its g_ref, to
//                         which each pair's scale is relative
//   select_coeff(fN, dt, cellVolume, sigmaRef)  1/2 fN sigmaRef dt / V
//   first_max_weight(models, mass, temperature)  a first maxRelSpeed for
//                         every cell: the largest pair weight at four times
//                         each pair's most probable relative speed
using GasData = collide_gas;
GasData gas_data(const std::string& name);
struct MixtureModels {
  std::vector<CollisionModel> models;
  double sigmaRef;
};
MixtureModels mixture_models(const std::vector<GasData>& gases, int kind = COLLIDE_VHS);
double select_coeff(double fN, double dt, double cellVolume, double sigmaRef);
double first_max_weight(const std::vector<CollisionModel>& models, const std::vector<double>& mass,
                        double temperature);

// Several species, for the callable form and colider_range:
//   speciesCount  S, the number of species
//   species       species[p]: particle p's species, 0 to S - 1, for every
//                 velocity row p from 1 (species[0] is not read)
//   mass          mass[s] for s = 0 to S - 1: normal doubles, none more
//                 than 1e100 times another (only their ratios count)
//   models        modelCount 1: that model for every pair; modelCount S S:
//                 a symmetric table, models[a S + b] for species a and b
// An accepted pair keeps its centre-of-mass velocity and its relative speed.
// The arrays are the caller's and must outlive the call.
struct Mixture {
  int speciesCount;
  const int* species;
  const double* mass;
  const CollisionModel* models;
  int modelCount;
};

// Internal energy, for the callable form and colider_range: rotation and
// vibration exchanged with the collisions' translational energy by the
// Larsen-Borgnakke model (collide.h's collide_internal says what each
// species' data mean; collide/README.md, the exchange).
//   species          one Internal for the gas, or, with a Mixture, one per
//                    species
//   eRot             row p, column 1 (a Matrix of one column and the
//                    velocity's rows): particle p's rotational energy, in
//                    the units of m v^2 / 2 of the masses and velocities;
//                    updated in place (nullptr when no species rotates)
//   cellTemperature  row c, column 1: cell c's translational kT, for
//                    Parker's and Millikan and White's relaxation numbers
//                    and for vibration (nullptr when none needs it)
//   vibLevel         vibLevel[p]: the vibrational level of the particle in
//                    velocity row p, from 1 (entry 0 unused); updated in
//                    place (nullptr when no species vibrates)
// The arrays are the caller's and must outlive the call.
using Internal = collide_internal;
struct InternalEnergy {
  const Internal* species;
  Matrix* eRot;
  const Matrix* cellTemperature;
  int* vibLevel;
};

// What a step records of the collisions it accepts, and how it counts its
// candidates, for the callable form and colider_range. The records are
// each nullptr when not asked for, and each added to, never cleared
// (collide.h's collide_arguments gives the ranges each must lie in, so that
// no call can overflow it):
//   pairCollisions      S x S counts (1 without a Mixture): a collision of
//                       species a and b adds 1 at [min(a, b) S + max(a, b)]
//   particleCollisions  particleCollisions[p]: particle p's count, for every
//                       velocity row p from 1 (entry 0 unused); 1 is added
//                       to each particle of an accepted pair
//   position            row p, columns 1 to 3: particle p's position (a
//                       Matrix of the velocity's rows), needed by separation
//   separation          separation[0] adds each accepted pair's distance
//                       |x_a - x_b|, separation[1] adds 1: their ratio is the
//                       mean collision separation
// and the count:
//   meanPopulation      nullptr, or row c, column 1: cell c's time-averaged
//                       population N-bar, finite and 0 or more; a cell of N
//                       particles then examines N selectCoeff N-bar
//                       maxRelSpeed(c) + selectRemainder(c) candidates
//                       instead of N selectCoeff (N - 1) ... (for cells
//                       whose populations do not vary as Poisson's do)
// and how a candidate's second particle is chosen:
//   partner             COLLIDE_PARTNER_RANDOM, at random among the cell's
//                       others; or COLLIDE_PARTNER_NEAREST, the nearest of
//                       them to the first by position (which it needs),
//                       other than the first's partner in its last candidate
//                       pair of the call; the candidate count, the acceptance
//                       and the deviates stay those of random partners
// and where the per-cell values are, for colider_range:
//   cellOffset          0, or the cells before the first that the per-cell
//                       arrays hold: cell c's entries of maxRelSpeed,
//                       selectRemainder, a per-cell selectCoeff,
//                       cellTemperature, meanPopulation and the SortList's
//                       cellPopulation and cellStart are then at c -
//                       cellOffset, so that a rank keeps its own cells'
//                       only; firstCell, lastCell, the streams and the
//                       messages keep the global numbers
// Calls that run at the same time over ranges of cells each need their own
// pairCollisions and separation. The arrays are the caller's and must
// outlive the call.
struct StepOptions {
  std::int64_t* pairCollisions = nullptr;
  int* particleCollisions = nullptr;
  const Matrix* position = nullptr;
  double* separation = nullptr;
  const Matrix* meanPopulation = nullptr;
  int cellOffset = 0;
  int partner = COLLIDE_PARTNER_RANDOM;
};

// selectCoeff, for the callable form and colider_range: one number for
// every cell, or a Matrix that gives cell c's in row c, column 1 (cells of
// unequal volume or weight).
class SelectCoeff {
 public:
  SelectCoeff(double value) : value_(value) {}  // NOLINT: a number converts
  SelectCoeff(const Matrix& perCell) : perCell_(&perCell) {}  // NOLINT: so does a Matrix
  double value() const { return value_; }
  const Matrix* perCell() const { return perCell_; }

 private:
  double value_ = 0.0;
  const Matrix* perCell_ = nullptr;
};

// Fills the cell lists in the order rule: particle p (from 1) stands in cell
// cellOf[p - 1] (1 to numCells), and each cell lists its particles in
// ascending order, from crossRef position 1. With this order a step's
// results depend only on which particles share a cell, not on how the
// particles are numbered or split among threads or ranks. cells needs room
// for particles + 1 positions; throws ColiderError, having written nothing,
// for a cell out of range or too little room.
void sort_into_cells(const int* cellOf, int particles, SortList& cells);

#include "colider_step.h"

namespace collide_detail {
inline Interactions single_model(const CollisionModel& model) {
  return {model, nullptr, 0, 0, nullptr, nullptr, 1.0, nullptr, nullptr, nullptr, false, {}};
}
Interactions mixture_interactions(const Mixture& mixture);

// The C++ forms' gas: the arguments with their interactions checked, the
// internal energy (nullptr: none) taken in.
MatrixGas matrix_gas(Matrix& velocity, Matrix& maxRelSpeed, Matrix& selectRemainder,
                     SelectCoeff selectCoeff, const SortList& cells, Interactions interactions,
                     const InternalEnergy* internal, const StepOptions* diagnostics,
                     const char* function);

template <class Generator>
int colider_callable(Matrix& velocity, Matrix& maxRelSpeed, Generator& generator,
                     Matrix& selectRemainder, SelectCoeff selectCoeff, SortList& cells,
                     const Interactions& interactions, const InternalEnergy* internal = nullptr,
                     const StepOptions* diagnostics = nullptr) {
  const MatrixGas gas = matrix_gas(velocity, maxRelSpeed, selectRemainder, selectCoeff, cells,
                                   interactions, internal, diagnostics, "colider");
  return collide_cells(gas, gas.cellOffset + 1, gas.cellOffset + cells.numCells + 1,
                       [&generator](int) -> Generator& { return generator; });
}
}  // namespace collide_detail

// The same collision step with a generator of the caller's choice: any
// callable that returns the next deviate in [0, 1), such as a lambda over a
// std::mt19937_64. It draws the same deviates in the same order as the call
// above and gives the same bits; a callable that wraps rand(seed) gives
// exactly the classic call's results. The loop that draws is compiled in the
// caller, so that the generator inlines; every floating-point step is
// compiled into the library. A program that uses only this form need not
// define rand(long&).
//
// Beyond the classic call, it takes a coefficient per cell, a model for
// every pair (hard spheres by default) or a Mixture, and diagnostics.
template <class Generator,
          class = decltype(static_cast<double>(std::declval<Generator&>()()))>
int colider(Matrix& velocity, Matrix& maxRelSpeed, double /*spare*/, Generator&& generator,
            Matrix& selectRemainder, SelectCoeff selectCoeff, SortList& cells,
            const CollisionModel& model = HardSphere(),
            const StepOptions* diagnostics = nullptr) {
  return collide_detail::colider_callable(velocity, maxRelSpeed, generator, selectRemainder,
                                          selectCoeff, cells,
                                          collide_detail::single_model(model), nullptr,
                                          diagnostics);
}

template <class Generator,
          class = decltype(static_cast<double>(std::declval<Generator&>()()))>
int colider(Matrix& velocity, Matrix& maxRelSpeed, double /*spare*/, Generator&& generator,
            Matrix& selectRemainder, SelectCoeff selectCoeff, SortList& cells,
            const Mixture& mixture, const StepOptions* diagnostics = nullptr) {
  return collide_detail::colider_callable(velocity, maxRelSpeed, generator, selectRemainder,
                                          selectCoeff, cells,
                                          collide_detail::mixture_interactions(mixture), nullptr,
                                          diagnostics);
}

// The same, with internal energy.
template <class Generator,
          class = decltype(static_cast<double>(std::declval<Generator&>()()))>
int colider(Matrix& velocity, Matrix& maxRelSpeed, double /*spare*/, Generator&& generator,
            Matrix& selectRemainder, SelectCoeff selectCoeff, SortList& cells,
            const CollisionModel& model, const InternalEnergy& internal,
            const StepOptions* diagnostics = nullptr) {
  return collide_detail::colider_callable(velocity, maxRelSpeed, generator, selectRemainder,
                                          selectCoeff, cells, collide_detail::single_model(model),
                                          &internal, diagnostics);
}

template <class Generator,
          class = decltype(static_cast<double>(std::declval<Generator&>()()))>
int colider(Matrix& velocity, Matrix& maxRelSpeed, double /*spare*/, Generator&& generator,
            Matrix& selectRemainder, SelectCoeff selectCoeff, SortList& cells,
            const Mixture& mixture, const InternalEnergy& internal,
            const StepOptions* diagnostics = nullptr) {
  return collide_detail::colider_callable(velocity, maxRelSpeed, generator, selectRemainder,
                                          selectCoeff, cells,
                                          collide_detail::mixture_interactions(mixture), &internal,
                                          diagnostics);
}

// Per-cell random streams: the deviates of a cell depend only on a key of
// the run's, the step number and the cell, so that results depend neither
// on the order in which cells are processed nor on how they are split among
// threads or ranks. The cell counted from 0 (SortList's cell c is c - 1)
// draws from Philox4x64-10 under the key {key, step}, with the counters
// {cell, 0, 0, 0}, {cell, 1, 0, 0}, ...; each counter gives four 64-bit
// words, and each word x the deviate (x >> 11) 2^-53, in [0, 1). Use one key
// for a run and a new step number for every step.
struct CellStreams {
  std::uint64_t key;
  std::uint64_t step;
};

// The collision step for the cells firstCell to lastCell (inclusive,
// 1-based, as in SortList) alone, each with its own stream. Calls for
// disjoint ranges may run at the same time on the same arrays, from
// different threads, as long as no particle stands in two cells: each call
// writes only its cells' particles and its cells' entries of maxRelSpeed and
// selectRemainder, and only reads cells. Returns the collisions accepted in
// the range; checks and throws as colider does, and throws ColiderError for
// a range outside 1 to numCells (an empty range, lastCell = firstCell - 1,
// does nothing). Takes a model for every pair (hard spheres by default) or
// a Mixture, and diagnostics, as the callable form does.
int colider_range(Matrix& velocity, Matrix& maxRelSpeed, Matrix& selectRemainder,
                  SelectCoeff selectCoeff, const SortList& cells, int firstCell, int lastCell,
                  CellStreams streams, const CollisionModel& model = HardSphere(),
                  const StepOptions* diagnostics = nullptr);
int colider_range(Matrix& velocity, Matrix& maxRelSpeed, Matrix& selectRemainder,
                  SelectCoeff selectCoeff, const SortList& cells, int firstCell, int lastCell,
                  CellStreams streams, const Mixture& mixture,
                  const StepOptions* diagnostics = nullptr);
// The same, with internal energy.
int colider_range(Matrix& velocity, Matrix& maxRelSpeed, Matrix& selectRemainder,
                  SelectCoeff selectCoeff, const SortList& cells, int firstCell, int lastCell,
                  CellStreams streams, const CollisionModel& model, const InternalEnergy& internal,
                  const StepOptions* diagnostics = nullptr);
int colider_range(Matrix& velocity, Matrix& maxRelSpeed, Matrix& selectRemainder,
                  SelectCoeff selectCoeff, const SortList& cells, int firstCell, int lastCell,
                  CellStreams streams, const Mixture& mixture, const InternalEnergy& internal,
                  const StepOptions* diagnostics = nullptr);

#endif
