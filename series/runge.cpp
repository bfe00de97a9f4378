// The Runge function 1 / (1 + x^2) tabulated at N points from lower to upper,
// both included (the step divides by N - 1).
//
// Deliberate: the step (upper - lower) / (N - 1), which divides by zero at N = 1.
#include <cmath>
#include <iostream>

#include "computed_nan.h"
#include "data_file.h"
#include "points_and_range.h"
#include "program.h"
#include "text_line.h"

namespace {
const ProgramHelp kHelp = {
    "runge", "",
    "table of the Runge function 1 / (1 + x^2)",
    "Tabulates the Runge function 1 / (1 + x^2) at N evenly spaced points from\n"
    "the lower to the upper range, both included (the step is\n"
    "(upper - lower) / (N - 1); with N = 1 the one line shows not-a-number).\n"
    POINTS_AND_RANGE_HELP
    "\n"
    "Writes:\n"
    "  standard output  the prompts, then \"X-value: <x> F(x): <f>\" per point\n"
    "  runge.dat        \"<x> <f>\" per point; emptied before the questions\n",
    "runge.dat could not be opened or written, or another run is writing\n"
    "     it; an answer was not a number of the kind asked for, or the number of\n"
    "     points is negative; standard output could not be written",
    ANSWER_USAGE_ERRORS "; a range\n"
    "     too wide for a double (its width or its last point overflows)"};
}  // namespace

int main(int argc, char** argv) {
  start_program(argc, argv, kHelp);
  const char* program = kHelp.name;
  DataFile file(program, "runge.dat");
  if (!file.is_open()) return 1;

  PointsAndRange asked;
  if (Answer answer = ask_points_and_range(program, asked); !answer) return answer.status;
  const int N = asked.N;
  const double lower = asked.lower;
  const double upper = asked.upper;

  double h = (upper - lower) / (N - 1);
  // A range whose width, or whose last point, lies beyond a double would
  // print infinities and not-a-numbers as if they were the table. The
  // points run monotonically from lower to the last, so those two decide.
  if (!std::isfinite(upper - lower) || (N > 1 && !std::isfinite((N - 1) * h + lower))) {
    std::cerr << program << ": the range is too wide: its step or its points overflow a double"
              << std::endl;
    return 2;
  }
  TextLine line;

  for (int i = 0; i < N; i++) {
    // At N = 1, 0 times an infinite step: a NaN, printed as x86-64 prints it.
    double x = as_computed_on_x86(i * h + lower);
    double f = 1.0 / (x * x + 1.0);
    line << "X-value: " << x << " F(x): " << f;
    print_line(line);
    file.line(x, f);
  }

  return file.close() ? 0 : 1;
}
