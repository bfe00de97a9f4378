// Cell lists in the order rule: each cell's particles in ascending order of
// their numbers. With that order a step's results depend only on which
// particles stand in which cell, not on how they are numbered in memory or
// split among threads and ranks, since a candidate pair is picked by its
// place in the cell's list. One counting pass, no memory of its own.
// Example: cells of particles 0..4 = {1, 0, 1, 1, 0} give populations
// {2, 3}, starts {0, 2}, and the list {1, 4, 0, 2, 3}.
#include <string>

#include "collide/colider.h"
#include "step_internals.h"

namespace collide_detail {

void counting_sort(const int* cell_of, int particles, int cells, int* population, int* start,
                   int* cross_ref, int base) {
  for (int c = base; c < cells + base; c++) population[c] = 0;
  for (int p = 0; p < particles; p++) population[cell_of[p]]++;
  int position = base;
  for (int c = base; c < cells + base; c++) {
    start[c] = position;
    position += population[c];
  }
  // The starts serve as each cell's next free place, and are put back after.
  for (int p = 0; p < particles; p++) cross_ref[start[cell_of[p]]++] = p + base;
  for (int c = base; c < cells + base; c++) start[c] -= population[c];
}

}  // namespace collide_detail

void sort_into_cells(const int* cellOf, int particles, SortList& cells) {
  if (particles < 0 || (particles > 0 && cellOf == nullptr))
    throw ColiderError("sort_into_cells: particles is " + std::to_string(particles) +
                       (particles < 0 ? "; it must not be negative" : " and cellOf is null"));
  if (cells.crossRefSize < particles + 1) {
    throw ColiderError("sort_into_cells: crossRef has room for " + std::to_string(cells.crossRefSize) +
                       " positions; " + std::to_string(particles) + " particles, from position 1, need " +
                       std::to_string(particles + 1));
  }
  for (int p = 0; p < particles; p++) {
    if (cellOf[p] < 1 || cellOf[p] > cells.numCells) {
      throw ColiderError("sort_into_cells: cellOf[" + std::to_string(p) + "], particle " +
                         std::to_string(p + 1) + "'s cell, is " + std::to_string(cellOf[p]) +
                         "; it must lie in 1 to numCells = " + std::to_string(cells.numCells));
    }
  }
  collide_detail::counting_sort(cellOf, particles, cells.numCells, cells.cellPopulation,
                                cells.cellStart, cells.crossRef, 1);
}
