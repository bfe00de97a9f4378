// The target cubic and its grid, shared by root_step and root_bisect.
#pragma once

#include <array>

// f(x) = 1.8 - 4.05 x + 0.4 x^2 + x^3 = (x + 2.4)(x - 0.5)(x - 1.5).
double target_cubic(double x);

// The cubic tabulated at 10000 points from -4 with spacing 0.0008; the upper
// end 4 is not a point. X[2000] is exactly -2.4 and F[2000] exactly 0.
struct CubicGrid {
  static constexpr int kPoints = 10000;
  std::array<double, kPoints> X;
  std::array<double, kPoints> F;
};

void tabulate(CubicGrid& grid);
