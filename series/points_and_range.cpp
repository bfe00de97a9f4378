#include "points_and_range.h"

#include <iostream>

#include "console.h"

Answer ask_points_and_range(const char* program, PointsAndRange& asked) {
  if (Answer n = prompt_value(program, "Enter the number of data points:",
                              "the number of data points", asked.N);
      !n)
    return n;
  if (asked.N < 0) {
    std::cerr << program << ": the number of data points must not be negative" << std::endl;
    return Answer{1};
  }
  if (Answer lower = prompt_value(program, "Enter the lower range:", "the lower range", asked.lower);
      !lower)
    return lower;
  return prompt_value(program, "Enter the upper range:", "the upper range", asked.upper);
}
