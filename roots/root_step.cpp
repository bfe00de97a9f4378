// Finds the roots of the target cubic on [-4, 4] by walking its 10000-point
// grid in strides of a typed-in division size, refining each sign change by
// bisection, and prints the step count the search cost (8 per bisection
// iteration).
#include <iostream>

#include "console.h"
#include "grid_search.h"
#include "program.h"
#include "text_line.h"

namespace {
const ProgramHelp kHelp = {
    "root_step", "",
    "roots of a cubic by a grid walk with bisection",
    "Finds the roots of the cubic x^3 + 0.4x^2 - 4.05x + 1.8 (roots -2.4, 0.5\n"
    "and 1.5) on [-4, 4]: the cubic is tabulated at 10000 points from -4, the\n"
    "table is walked in strides of the division size, an exact zero is a root\n"
    "and a sign change between strides is refined by bisection. At the end it\n"
    "prints the step count that prices the search.\n"
    "\n"
    "Asks for:\n"
    "  the division size, a whole number other than 0; a negative size or one\n"
    "  above 5000 examines no point\n"
    "\n"
    "Writes:\n"
    "  standard output  the prompt, \"Found root at x = <root>\" per root, then\n"
    "                   \"Total number of steps = <count>\"; no file\n",
    "the answer was not a whole number, or was 0; standard output could not\n"
    "     be written",
    ANSWER_USAGE_ERRORS};
}  // namespace

int main(int argc, char** argv) {
  start_program(argc, argv, kHelp);
  CubicGrid grid;
  tabulate(grid);

  std::cout << "Enter the division size: ";
  int d = 0;
  const Answer answer = read_value(kHelp.name, "the division size", d);
  std::cout << std::endl;
  if (!answer) return answer.status;
  if (d == 0) {
    std::cerr << kHelp.name << ": the division size must not be 0" << std::endl;
    return 1;
  }

  TextLine line;
  int steps = walk_grid(grid, d, 8, [&line](double root) {
    line << "Found root at x = " << root;
    print_line(line);
  });
  line << "Total number of steps = " << steps;
  print_line(line);
  return 0;
}
