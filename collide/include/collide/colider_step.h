// The loop of the collision step, included by colider.h; not for direct use.
//
// The loop draws the deviates and counts; CellStep does everything else.
// The loop is a template, so that a caller's generator is compiled into it
// and can inline. CellStep's members are compiled into the library alone,
// with the library's own floating-point options: every check and every
// rounding happens there, so that the results and the checks are the same
// whatever flags the caller builds with (-O0, -O3, -ffast-math).
#ifndef COLLIDE_COLIDER_STEP_H
#define COLLIDE_COLIDER_STEP_H

#include "Matrix.h"
#include "SortList.h"

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

// One cell of one step.
class CellStep {
 public:
  // Checks cell c's inputs and, for a cell of two or more particles, stores
  // its new remainder. Returns the candidate pairs to examine (none for a
  // cell of 0 or 1 particle, or a candidate count below 1). Throws
  // ColiderError before changing anything when an input is refused.
  int begin(Matrix& velocity, Matrix& maxRelSpeed, Matrix& selectRemainder,
            double selectCoeff, const SortList& cells, int c);

  // The same for a cell given as its values: `members` are its population
  // particle numbers, `cell` is how messages name it.
  int begin(const VelocityRows& velocity, double& maxRelSpeed, double& selectRemainder,
            double selectCoeff, int population, const int* members, int cell);

  // Picks a candidate pair by u1 and u2, raises the cell's maximum to its
  // relative speed, and tells whether u3 accepts it.
  bool examine(double u1, double u2, double u3);

  // Gives the accepted pair its new velocities: cos(theta) = 1 - 2 u4,
  // phi = 2 pi u5.
  void scatter(double u4, double u5);

  int cell() const { return cell_; }

 private:
  double* row(int particle);

  VelocityRows velocity_ = {nullptr, 0, 0, 0, nullptr};
  double* stored_max_ = nullptr;  // maxRelSpeed(c, 1)
  const int* members_ = nullptr;  // the cell's particle numbers
  int cell_ = 0;
  int population_ = 0;
  double running_max_ = 0;  // largest relative speed seen in the cell so far
  double* first_ = nullptr;   // the velocities of the pair examined last,
  double* second_ = nullptr;  // rows of the velocity matrix
  double speed_ = 0;          // and its relative speed
};

// Throws the ColiderError for a call that accepts more collisions than an
// int counts.
[[noreturn]] void too_many_collisions(int cell);

// The candidates of a begun cell, with deviates from draw(); adds the
// accepted ones to `collisions`.
template <class Draw>
void collide_candidates(CellStep& cell, int candidates, Draw& draw, int& collisions) {
  for (int candidate = 0; candidate < candidates; candidate++) {
    const double u1 = draw();
    const double u2 = draw();
    const double u3 = draw();
    if (cell.examine(u1, u2, u3)) {
      if (collisions == 2147483647) too_many_collisions(cell.cell());
      collisions++;
      const double u4 = draw();
      const double u5 = draw();
      cell.scatter(u4, u5);
    }
  }
}

template <class Draw>
int collide_cells(Matrix& velocity, Matrix& maxRelSpeed, Draw& draw, Matrix& selectRemainder,
                  double selectCoeff, const SortList& cells) {
  int collisions = 0;
  for (int c = 1; c <= cells.numCells; c++) {
    CellStep cell;
    const int candidates = cell.begin(velocity, maxRelSpeed, selectRemainder, selectCoeff, cells, c);
    collide_candidates(cell, candidates, draw, collisions);
  }
  return collisions;
}

}  // namespace collide_detail

#endif
