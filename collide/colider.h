// The collision step of a direct-simulation Monte Carlo gas: the collide
// module's one function, and what it needs from the program that links it.
#ifndef COLLIDE_COLIDER_H
#define COLLIDE_COLIDER_H

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
int colider(Matrix& velocity, Matrix& maxRelSpeed, double spare, long& seed,
            Matrix& selectRemainder, double selectCoeff, SortList& cells);

// Supplied by the linking program: the next uniform deviate, which must lie
// in [0, 1). colider draws three per candidate pair and two more per
// accepted collision.
double rand(long& seed);

#endif
