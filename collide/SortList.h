// SortList: the cell lists a simulation fills before each colider call.
//
// colider reads the first four members, so their types and order are the
// module's binary interface: keep them first and in this order.
//   numCells           number of cells
//   cellPopulation[c]  particles in cell c, for c = 1 .. numCells
//   cellStart[c]       position in crossRef of cell c's first particle
//   crossRef[k]        particle numbers (rows of the velocity Matrix, from 1)
//                      grouped by cell: cell c's particles stand at
//                      cellStart[c] .. cellStart[c] + cellPopulation[c] - 1
// Entry 0 of cellPopulation and cellStart is never read.
#ifndef COLLIDE_SORTLIST_H
#define COLLIDE_SORTLIST_H

class SortList {
 public:
  int numCells;
  int* cellPopulation;
  int* cellStart;
  int* crossRef;

  // Zero-filled arrays: numCells + 1 entries for the per-cell arrays, and
  // crossRefSize positions (numParticles + 1 lets positions count from 1).
  SortList(int numCells_, int crossRefSize)
      : numCells(numCells_),
        cellPopulation(new int[numCells_ + 1]()),
        cellStart(new int[numCells_ + 1]()),
        crossRef(new int[crossRefSize]()) {}

  ~SortList() {
    delete[] cellPopulation;
    delete[] cellStart;
    delete[] crossRef;
  }

  // Each SortList owns its arrays; copying would free them twice.
  SortList(const SortList&) = delete;
  SortList& operator=(const SortList&) = delete;
};

#endif
