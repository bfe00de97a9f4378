// The loop of the collision step, included by colider.h; not for direct use.
//
// One loop over cells serves every form of the step: the classic colider,
// the callable form, colider_range, the C interface and Python. It is a
// template over the gas (Matrix and SortList, or the C interface's flat
// arrays) and over where each cell's deviates come from, so that a caller's
// generator is compiled into it and can inline. The loop draws the deviates
// and counts; CellStep does everything else. CellStep's members are compiled
// into the library alone, with the library's own floating-point options:
// every check and every rounding happens there, so that the results and the
// checks are the same whatever flags the caller builds with (-O0, -O3,
// -ffast-math).
#ifndef COLLIDE_COLIDER_STEP_H
#define COLLIDE_COLIDER_STEP_H

#include <cstdint>
#include <type_traits>

#include "Matrix.h"
#include "SortList.h"
#include "collide.h"

namespace collide_detail {

// The particles' velocities: `count` rows of `columns` doubles from `data`,
// numbered from `first`. When they are a Matrix, `matrix` names it, and a
// row outside it fails the Matrix's own check.
struct VelocityRows {
  double* data;
  long long count;
  int columns;
  int first;
  Matrix* matrix;
};

// What the step records of the pairs it accepts, each nullptr when not
// asked for, and each added to, never cleared:
//   pairCollisions      pairSpecies x pairSpecies counts: a pair of species
//                       a and b counts at [min(a, b) pairSpecies + max(a, b)]
//                       (pairSpecies 1 without species)
//   particleCollisions  particle row r's count at [r], rows counted as for
//                       species
//   position            particle row r's position at position[3 r] to
//                       position[3 r + 2]: what separation measures
//   separation          [0] the sum of the accepted pairs' separations, [1]
//                       their number
// and, reading position too:
//   nearest             each candidate's second particle the nearest to the
//                       first (false: at random)
struct Diagnostics {
  std::int64_t* pairCollisions;
  int pairSpecies;
  int* particleCollisions;
  const double* position;
  double* separation;
  bool nearest;
};

// How the pairs collide: the model of each pair and the particles' masses.
//   model         every pair's model when tableSize is 0: a copy, so that
//                 the caller's may change during the call without effect
//   table         otherwise a symmetric tableSize x tableSize table,
//                 table[a S + b] for a pair of species a and b; each entry
//                 is read, and checked, at a cell's first pair of it
//   species       particle row r's species at species[r], r counted from
//                 the velocity rows' first (nullptr: one species)
//   mass          each species' mass (nullptr: one species), read once a
//                 pair and checked there
//   speciesCount  the species species[] may name
//   massScale     the power of two that brings the largest mass into
//                 [0.5, 1): the step works with the scaled masses, which
//                 keep their ratios exactly and whose sums and products
//                 with velocities can neither overflow nor fall below the
//                 normal doubles (checked_interactions sets it)
//   internal      nullptr: every collision elastic; otherwise each
//                 species' internal energy (one entry without species)
//   eRot, vibLevel  particle row r's rotational energy and vibrational
//                 level at eRot[r] and vibLevel[r], rows counted as for
//                 species (nullptr when no species has the mode)
//   temperatureDependent  whether a species' relaxation number depends on
//                 the cell's temperature (checked_interactions sets it)
//   diagnostics   what the step records of the collisions it accepts
struct Interactions {
  collide_model model;
  const collide_model* table;
  int tableSize;
  int speciesCount;
  const int* species;
  const double* mass;
  double massScale;
  const collide_internal* internal;
  double* eRot;
  int* vibLevel;
  bool temperatureDependent;
  Diagnostics diagnostics;
};

// A model's weight as the cell step takes it (models.h): w = factor sqrt(g^2)
// for hard spheres (and omega = 1/2), otherwise
// factor (g^2 inverse_square)^exponent.
struct PairLaw {
  bool hard;
  double factor;
  double inverse_square;
  double exponent;
};

// How a model scatters, as the cell step takes it (models.h): the cosine of
// the new polar angle is 2 u4^exponent - 1, a deflection from the relative
// velocity before the collision, when it deflects, and otherwise 1 - 2 u4,
// about a fixed axis.
struct Scattering {
  bool deflects;
  double exponent;
};

// One cell's inputs, as a form of the step gives them. `names` says how the
// form's messages name its arguments.
struct ArgumentNames {
  const char* selectCoeff;
  const char* maxRelSpeed;
  const char* selectRemainder;
  const char* particle;  // a particle p's velocity: "velocity(" p ")" or "velocity[" p "]"
  const char* particle_end;
  const char* eRot;      // a particle p's rotational energy: "eRot(" p ")" or "e_rot[" p "]"
  const char* vibLevel;  // its vibrational level: "vibLevel(" p ")" or "vib_level[" p "]"
  const char* cellTemperature;
  const char* pairCollisions;
  const char* particleCollisions;  // a particle p's count: "particleCollisions[" p "]"
  const char* position;            // its position: "position(" p ")" or "position[" p "]"
  const char* separation;
  const char* meanPopulation;
};

struct CellInputs {
  VelocityRows velocity;
  double* maxRelSpeed;
  double* selectRemainder;
  double selectCoeff;
  int population;
  const int* members;  // the cell's particle numbers
  int cell;            // how messages name the cell
  const Interactions* interactions;
  const ArgumentNames* names;
  double temperature;  // the cell's kT, with internal energy; NaN: none given
  const double* meanPopulation;  // the cell's N-bar (nullptr: N - 1 partners)
};

// One cell of one step.
class CellStep {
 public:
  // Checks the cell's inputs and, for a cell of two or more particles,
  // stores its new remainder. Returns the candidate pairs to examine (none
  // for a cell of 0 or 1 particle, or a candidate count below 1). Throws
  // ColiderError before changing anything when an input is refused.
  int begin(const CellInputs& inputs);

  // Picks a candidate pair by u1 and u2, raises the cell's maximum to its
  // weight, and tells whether u3 accepts it.
  bool examine(double u1, double u2, double u3);

  // Gives the accepted pair its new velocities: the polar angle from u4,
  // the azimuth from u5, as the pair's model scatters.
  void scatter(double u4, double u5);

  // With internal energy, an accepted pair scatters in stages, so that the
  // loop keeps drawing from its own generator: begin_exchange takes u4 and
  // u5; then, while exchange_needs() is above 0, exchange_with takes that
  // many more deviates (the second 0 when it needs one): first the one that
  // chooses the molecule that exchanges, then the draws of its new share,
  // until one is accepted. The pair scatters when no more are needed.
  bool exchanges() const { return exchanges_; }
  void begin_exchange(double u4, double u5);
  int exchange_needs() const { return needs_; }
  void exchange_with(double a, double b);

  int cell() const { return cell_; }

 private:
  long long row_offset(int particle);
  int species_of(long long row);
  [[noreturn]] void refuse_species(long long row, int species);
  // Throws the ColiderError for the pair's velocity that is not finite or
  // too large; out of the way of the candidates' loop.
#if defined(__GNUC__) || defined(__clang__)
  __attribute__((cold, noinline))
#endif
  void refuse_pair();
  void take_model(const collide_model& model);
  void take_table_entry(int entry);
  double model_weight(double d1, double d2, double d3);
  double scaled_mass(int species);
  void scatter_by_model(double u4, double u5);
  void scatter_at(double u4, double u5, double m1, double m2, double speed);
  void finish_exchange(double translational);
  void check_internal();
  void check_counts(int candidates);
  void record();
  void take_positions();
  int nearest_to(int k1) const;

  VelocityRows velocity_ = {nullptr, 0, 0, 0, nullptr};
  const Interactions* interactions_ = nullptr;
  double* stored_max_ = nullptr;  // maxRelSpeed(c, 1)
  const int* members_ = nullptr;  // the cell's particle numbers
  int cell_ = 0;
  int population_ = 0;
  double running_max_ = 0;  // largest weight seen in the cell so far
  // The pair examined last: its velocity rows, their offsets, its model,
  // its relative velocity first - second before the collision, and the
  // squared relative speed.
  double* first_ = nullptr;
  double* second_ = nullptr;
  const ArgumentNames* names_ = nullptr;
  long long first_row_ = 0;
  long long second_row_ = 0;
  int first_species_ = 0, second_species_ = 0;  // with species
  // model_'s weight and scattering, worked out once (models.h).
  PairLaw law_ = {true, 1, 0, 0};
  Scattering scattering_ = {false, 0};
  // With a table, each entry a pair of the cell takes is read once, checked
  // and its law worked out, at the cell's first pair of it: entries below
  // kKeptEntries are kept for the cell's later pairs (bit e of kept_ says
  // entry e is), the rest read again at every pair.
  struct TableEntry {
    PairLaw law;
    Scattering scattering;
  };
  static const int kKeptEntries = 16;
  TableEntry entries_[kKeptEntries];
  unsigned kept_ = 0;
  bool hard_spheres_ = true;  // one species, the weight the relative speed, isotropic
  bool exchanges_ = false;    // with internal energy
  bool records_ = false;      // with diagnostics
  // With nearest partners: the cell's positions, read once (member k's at
  // near_[3 k]), and each member's partner in its last candidate pair of
  // the call (-1: none yet), in storage of the thread's own.
  bool nearest_ = false;
  const double* near_ = nullptr;
  int* last_partner_ = nullptr;
  double temperature_ = 0;    // the cell's kT, with internal energy
  // The accepted pair's exchange under way: its scattering deviates and
  // masses, b = 5/2 - omega, the probabilities of the first molecule's
  // rotation and vibration and the second's (in that order), the one
  // exchanging (their index; -1 while the choice is to be drawn), the tries
  // of its draw so far, the deviates it needs next.
  double u4_ = 0, u5_ = 0, m1_ = 1, m2_ = 1, b_ = 2;
  double probability_[4] = {0, 0, 0, 0};
  int exchanging_ = -1;
  long tries_ = 0;
  int needs_ = 0;
  // The probabilities of the pairs of species (a S + b, below
  // kKeptEntries) worked out so far in the cell: its temperature and the
  // pair's model do not change within it.
  double pair_probability_[kKeptEntries][4];
  unsigned probability_kept_ = 0;
  double relative_[3] = {0, 0, 0};
  double squared_speed_ = 0;
  double speed_ = -1;  // its relative speed, once taken (-1 before)
};

// Throws the ColiderError for a call that accepts more collisions than an
// int counts.
[[noreturn]] void too_many_collisions(int cell);

// What the loop throws when the gas's cancel_requested says to stop, before
// cell `cell` or within it.
struct Cancelled {
  int cell;
};

// The cells first to end - 1 of `gas`, each begun by begin_cell(step, gas,
// c) (a function of the form's own, found by argument-dependent lookup),
// its candidates drawn from draw_for(c). Asks cancel_requested(gas) before
// each cell and after every 65536 candidates. Returns the collisions
// accepted.
// One cell's candidates, begun: returns `collisions` and those accepted.
// With `exchanging`, each accepted pair draws its exchange's deviates after
// u5; without, the loop is the elastic step alone.
template <bool exchanging, class Gas, class Draw>
int collide_candidates(const Gas& gas, CellStep& cell, int candidates, Draw& draw,
                              int collisions) {
  for (int candidate = 0; candidate < candidates; candidate++) {
    if ((candidate & 0xFFFF) == 0xFFFF && cancel_requested(gas)) throw Cancelled{cell.cell()};
    const double u1 = draw();
    const double u2 = draw();
    const double u3 = draw();
    if (cell.examine(u1, u2, u3)) {
      if (collisions == 2147483647) too_many_collisions(cell.cell());
      collisions++;
      const double u4 = draw();
      const double u5 = draw();
      if (exchanging) {
        cell.begin_exchange(u4, u5);
        while (cell.exchange_needs() > 0) {
          const double a = draw();
          const double b = cell.exchange_needs() > 1 ? draw() : 0.0;
          cell.exchange_with(a, b);
        }
      } else {
        cell.scatter(u4, u5);
      }
    }
  }
  return collisions;
}

template <class Gas, class DrawFor>
int collide_cells(const Gas& gas, int first, int end, DrawFor&& draw_for) {
  int collisions = 0;
  for (int c = first; c < end; c++) {
    if (cancel_requested(gas)) throw Cancelled{c};
    CellStep cell;
    const int candidates = begin_cell(cell, gas, c);
    if (candidates <= 0) continue;
    auto&& draw = draw_for(c);
    using Draw = typename std::remove_reference<decltype(draw)>::type;
    collisions = cell.exchanges()
                     ? collide_candidates<true, Gas, Draw>(gas, cell, candidates, draw, collisions)
                     : collide_candidates<false, Gas, Draw>(gas, cell, candidates, draw, collisions);
  }
  return collisions;
}

// The C++ forms' gas: the Matrix and SortList arguments, the coefficient
// (perCell, when not null, gives one per cell in row c, column 1) and the
// interactions.
struct MatrixGas {
  Matrix& velocity;
  Matrix& maxRelSpeed;
  Matrix& selectRemainder;
  double selectCoeff;
  const Matrix* selectCoeffPerCell;
  const SortList& cells;
  Interactions interactions;
  const Matrix* cellTemperature;  // row c, column 1: cell c's kT (nullptr: none)
  const Matrix* meanPopulation;   // row c, column 1: cell c's N-bar (nullptr: none)
  int cellOffset;                 // cell c's rows and entries are c - cellOffset
};

// Begins cell c of `gas` (from 1); its Matrix entries go through the
// Matrix's checks.
int begin_cell(CellStep& step, const MatrixGas& gas, int c);

// The C++ forms cannot be cancelled.
inline bool cancel_requested(const MatrixGas&) { return false; }

// Refuses the same Matrix given for two of the step's arrays (eRot, when
// not null, among them).
void check_distinct(const MatrixGas& gas, const Matrix* eRot = nullptr);

// Refuses diagnostics that the call could not add to without overflowing:
// a pair count below 0 or above 2^63 - 2^31 (a call accepts fewer than
// 2^31 collisions), a separation sum below 0 or above 1e300, a pair count
// below 0 or above 2^53. Each cell checks its particles' counts when it
// begins, against its candidates.
void check_diagnostics(const Diagnostics& diagnostics, const ArgumentNames& names);

// Checks the model (which messages call `single`) or the table of models,
// and the masses, once before a step, and returns the interactions with
// their massScale; throws the ColiderError that names the first bad value.
Interactions checked_interactions(Interactions interactions, const char* function,
                                  const char* single = "model");

}  // namespace collide_detail

#endif
