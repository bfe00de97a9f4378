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
// Entry 0 of cellPopulation and cellStart is never read. crossRefSize, after
// them, is the room in crossRef, for sort_into_cells (colider.h).
#ifndef COLLIDE_SORTLIST_H
#define COLLIDE_SORTLIST_H

#include <cstddef>
#include <stdexcept>
#include <string>
#include <utility>

class SortList {
 public:
  int numCells;
  int* cellPopulation;
  int* cellStart;
  int* crossRef;
  int crossRefSize;

  // Zero-filled arrays: numCells + 1 entries for the per-cell arrays, and
  // crossRefSize positions (numParticles + 1 lets positions count from 1).
  // A negative size throws std::invalid_argument naming it.
  SortList(int numCells_, int crossRefSize_)
      : numCells(checked_sizes(numCells_, crossRefSize_)),
        cellPopulation(new int[static_cast<std::size_t>(numCells_) + 1]()),
        cellStart(new int[static_cast<std::size_t>(numCells_) + 1]()),
        crossRef(new int[static_cast<std::size_t>(crossRefSize_)]()),
        crossRefSize(crossRefSize_) {}

  ~SortList() {
    delete[] cellPopulation;
    delete[] cellStart;
    delete[] crossRef;
  }

  // Each SortList owns its arrays: it can be moved, which leaves the source
  // empty (no cells, no arrays), but not copied, which would free them twice.
  SortList(SortList&& other) noexcept
      : numCells(other.numCells),
        cellPopulation(other.cellPopulation),
        cellStart(other.cellStart),
        crossRef(other.crossRef),
        crossRefSize(other.crossRefSize) {
    other.numCells = 0;
    other.crossRefSize = 0;
    other.cellPopulation = other.cellStart = other.crossRef = nullptr;
  }
  SortList& operator=(SortList&& other) noexcept {
    std::swap(numCells, other.numCells);
    std::swap(cellPopulation, other.cellPopulation);
    std::swap(cellStart, other.cellStart);
    std::swap(crossRef, other.crossRef);
    std::swap(crossRefSize, other.crossRefSize);
    return *this;
  }
  SortList(const SortList&) = delete;
  SortList& operator=(const SortList&) = delete;

 private:
  // Both sizes are checked before anything is allocated.
  static int checked_sizes(int numCells_, int crossRefSize_) {
    const char* name = numCells_ < 0 ? "numCells" : crossRefSize_ < 0 ? "crossRefSize" : 0;
    if (name != 0) {
      throw std::invalid_argument(std::string("SortList: ") + name + " must not be negative, not " +
                                  std::to_string(numCells_ < 0 ? numCells_ : crossRefSize_));
    }
    return numCells_;
  }
};

#endif
