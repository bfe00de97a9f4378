// The cost of the step search for every division size from 1 to 10000: one
// line "d steps" for each size that finds all three roots of the target
// cubic (7 steps per bisection iteration).
#include <iostream>

#include "grid_search.h"

int main() {
  CubicGrid grid;
  tabulate(grid);

  for (int d = 1; d <= 10000; d++) {
    int roots = 0;
    int steps = walk_grid(grid, d, 7, [&roots](double) { roots += 1; });
    if (roots == 3) std::cout << d << " " << steps << std::endl;
  }
  return 0;
}
