// Finds the roots of the target cubic on [-4, 4] by walking its 10000-point
// grid in strides of a typed-in division size, refining each sign change by
// bisection, and prints the step count the search cost (8 per bisection
// iteration).
#include <iostream>

#include "console.h"
#include "grid_search.h"

int main() {
  CubicGrid grid;
  tabulate(grid);

  std::cout << "Enter the division size: ";
  int d = 0;
  bool have_d = read_value("root_step", "the division size", d);
  std::cout << std::endl;
  if (!have_d) return 1;
  if (d == 0) {
    std::cerr << "root_step: the division size must not be 0" << std::endl;
    return 1;
  }

  int steps = walk_grid(grid, d, 8, [](double root) {
    std::cout << "Found root at x = " << root << std::endl;
  });
  std::cout << "Total number of steps = " << steps << std::endl;
  return 0;
}
