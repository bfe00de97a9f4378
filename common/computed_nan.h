// The NaN of an invalid operation (0/0, 0 times infinity) comes with its
// sign bit set on x86-64 and clear on ARM, so a program would print "-nan"
// on one and "nan" on the other. Every NaN the programs print comes from
// such an operation on numbers (a NaN typed in is refused), and they print
// x86-64's text on every processor: a computed value that may be NaN goes
// through as_computed_on_x86 before it is printed.
// Example: as_computed_on_x86(0.0 / 0.0) prints as "-nan" everywhere.
#pragma once

#include <cmath>

inline double as_computed_on_x86(double value) {
  return std::isnan(value) ? std::copysign(value, -1.0) : value;
}
