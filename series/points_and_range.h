// The questions runge and poly_deriv both begin with.
#pragma once

#include <iostream>

#include "console.h"

// Asks for the number of data points, which must not be negative, then the
// lower and the upper end of the range. A bad answer is reported on
// standard error and false returned: the run ends with status 1.
inline bool ask_points_and_range(const char* program, int& N, double& lower, double& upper) {
  if (!prompt_value(program, "Enter the number of data points:", "the number of data points", N))
    return false;
  if (N < 0) {
    std::cerr << program << ": the number of data points must not be negative" << std::endl;
    return false;
  }
  return prompt_value(program, "Enter the lower range:", "the lower range", lower) &&
         prompt_value(program, "Enter the upper range:", "the upper range", upper);
}
