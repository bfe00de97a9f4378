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

bool counting_sort(const int* cell_of, int particles, int cells, int* population, int* start,
                   int* cross_ref, int base) {
  const int end = cells + base;
  for (int c = base; c < end; c++) population[c] = 0;
  for (int p = 0; p < particles; p++) {
    const int c = cell_of[p];
    if (c < base || c >= end) return false;
    population[c]++;
  }
  int position = base;
  for (int c = base; c < end; c++) {
    start[c] = position;
    position += population[c];
  }
  // Each cell fills from its end, the particles taken in descending order,
  // its population counting down the places still free; a cell with none
  // left means a cell_of that is not the one counted.
  for (int p = particles - 1; p >= 0; p--) {
    const int c = cell_of[p];
    if (c < base || c >= end || population[c] == 0) return false;
    cross_ref[start[c] + --population[c]] = p + base;
  }
  for (int c = base; c < end; c++) population[c] = (c + 1 < end ? start[c + 1] : position) - start[c];
  return true;
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
    const int c = cellOf[p];
    if (c < 1 || c > cells.numCells) {
      throw ColiderError("sort_into_cells: cellOf[" + std::to_string(p) + "], particle " +
                         std::to_string(p + 1) + "'s cell, is " + std::to_string(c) +
                         "; it must lie in 1 to numCells = " + std::to_string(cells.numCells));
    }
  }
  if (!collide_detail::counting_sort(cellOf, particles, cells.numCells, cells.cellPopulation,
                                     cells.cellStart, cells.crossRef, 1))
    throw ColiderError("sort_into_cells: cellOf changed during the call; the cell lists are "
                       "unfinished");
}
