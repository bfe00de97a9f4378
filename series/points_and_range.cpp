#include "points_and_range.h"

#include <iostream>

#include "console.h"

bool ask_points_and_range(const char* program, PointsAndRange& asked) {
  if (!prompt_value(program, "Enter the number of data points:", "the number of data points",
                    asked.N))
    return false;
  if (asked.N < 0) {
    std::cerr << program << ": the number of data points must not be negative" << std::endl;
    return false;
  }
  return prompt_value(program, "Enter the lower range:", "the lower range", asked.lower) &&
         prompt_value(program, "Enter the upper range:", "the upper range", asked.upper);
}
