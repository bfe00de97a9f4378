#pragma once

#include "console.h"

// The questions runge and poly_deriv begin with: the number of data points,
// which must not be negative, then the lower and the upper end of the range.
// A bad answer is reported on standard error and refused: the run ends with
// the status it carries.
struct PointsAndRange {
  int N = 0;
  double lower = 0;
  double upper = 0;
};
Answer ask_points_and_range(const char* program, PointsAndRange& asked);

// What those programs' --help says of the same questions.
#define POINTS_AND_RANGE_HELP                                                   \
  "\n"                                                                          \
  "Asks for, in this order (answers separated by blanks or line ends):\n"     \
  "  the number of data points, a whole number (1e6 is taken as 1000000)\n"   \
  "  the lower range, a number\n"                                             \
  "  the upper range, a number\n"
