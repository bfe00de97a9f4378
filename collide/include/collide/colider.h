// The collision step of a direct-simulation Monte Carlo gas: the collide
// module's one function, and what it needs from the program that links it.
#ifndef COLLIDE_COLIDER_H
#define COLLIDE_COLIDER_H

#include <memory>
#include <type_traits>
#include <utility>

#include "Matrix.h"
#include "SortList.h"

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
//                    N (N - 1) selectCoeff maxRelSpeed(c) candidate pairs
//   cells            the cell lists, filled for the current positions
//
// Checked in every build, each ending the process with one line on standard
// error that names the value, then abort(): a deviate outside [0, 1), a
// selectCoeff that is not finite, a negative cellStart of a cell of two or
// more particles. Matrix checks every element access.
int colider(Matrix& velocity, Matrix& maxRelSpeed, double spare, long& seed,
            Matrix& selectRemainder, double selectCoeff, SortList& cells);

// Supplied by the linking program for the call above: the next uniform
// deviate, which must lie in [0, 1). colider draws three per candidate pair
// and two more per accepted collision.
double rand(long& seed);

namespace collide_detail {

// A generator seen through a pointer: next(generator) is its next deviate.
struct DeviateSource {
  double (*next)(void* generator);
  void* generator;
};

template <class Generator>
double next_deviate(void* generator) {
  return (*static_cast<Generator*>(generator))();
}

int colider(Matrix& velocity, Matrix& maxRelSpeed, DeviateSource deviates,
            Matrix& selectRemainder, double selectCoeff, SortList& cells);

}  // namespace collide_detail

// The same collision step with a generator of the caller's choice: any
// callable that returns the next deviate in [0, 1), such as a lambda over a
// std::mt19937_64. It draws the same deviates in the same order as the call
// above; a callable that wraps rand(seed) gives bit-identical results. A
// program that uses only this form need not define rand(long&).
template <class Generator,
          class = decltype(static_cast<double>(std::declval<Generator&>()()))>
int colider(Matrix& velocity, Matrix& maxRelSpeed, double /*spare*/, Generator&& generator,
            Matrix& selectRemainder, double selectCoeff, SortList& cells) {
  typedef typename std::remove_reference<Generator>::type Callable;
  collide_detail::DeviateSource deviates = {
      &collide_detail::next_deviate<Callable>,
      const_cast<void*>(static_cast<const void*>(std::addressof(generator)))};
  return collide_detail::colider(velocity, maxRelSpeed, deviates, selectRemainder, selectCoeff,
                                 cells);
}

#endif
