// The cost of the step search for every division size from 1 to 10000: one
// line "d steps" for each size that finds all three roots of the target
// cubic (7 steps per bisection iteration).
#include <iostream>

#include "grid_search.h"
#include "program.h"
#include "text_line.h"

namespace {
const ProgramHelp kHelp = {
    "root_bisect", "",
    "cost of the grid-walk root search for every division size",
    "Runs root_step's search on the cubic x^3 + 0.4x^2 - 4.05x + 1.8 for every\n"
    "division size from 1 to 10000 (7 steps per bisection iteration) and\n"
    "prints \"<division size> <step count>\" for each size that finds all three\n"
    "roots. Asks nothing and writes no file.\n",
    "standard output could not be written"};
}  // namespace

int main(int argc, char** argv) {
  start_program(argc, argv, kHelp);
  CubicGrid grid;
  tabulate(grid);

  TextLine line;
  for (int d = 1; d <= 10000; d++) {
    int roots = 0;
    int steps = walk_grid(grid, d, 7, [&roots](double) { roots += 1; });
    if (roots == 3) {
      line << d << " " << steps;
      print_line(line);
    }
  }
  return 0;
}
