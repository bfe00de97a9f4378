// A double stored as a float, rounded as IEEE 754 rounds it: to the nearest
// float, and to an infinity of its sign once it lies at or past the point
// halfway between the largest float and the next power of two. In C++ a
// conversion out of float's range is undefined, so those values are worked
// out here instead of being converted; every other value, not-a-number
// included, is converted as it is, so the bytes a program writes are those
// of a plain conversion on IEEE hardware.
#pragma once

#include <cmath>
#include <limits>

inline float to_float(double value) {
  constexpr float kLargest = std::numeric_limits<float>::max();
  // The largest float is (2 - 2^-23) 2^127; half its last place is 2^103.
  constexpr double kOverflow = static_cast<double>(kLargest) + 0x1p103;
  const double magnitude = std::fabs(value);
  if (!(magnitude > kLargest)) return static_cast<float>(value);  // NaN too
  const float rounded =
      magnitude < kOverflow ? kLargest : std::numeric_limits<float>::infinity();
  return value > 0 ? rounded : -rounded;
}
