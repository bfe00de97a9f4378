#include "target_cubic.h"

// Evaluated in exactly this order: (c1 x + c0) + (c2 x) x + ((c3 x) x) x.
// Whether a grid value is exactly zero, and how many bisection steps a root
// takes, depend on the last bit of each value, so the order is part of the
// result. F at x = 0.5 is about 1.4e-16 and at x = 1.5 about 8.9e-16.
double target_cubic(double x) {
  const double c0 = 1.8;
  const double c1 = -4.05;
  const double c2 = 0.4;
  const double c3 = 1;
  double f = c1 * x + c0;
  f = f + (c2 * x) * x;
  f = f + ((c3 * x) * x) * x;
  return f;
}

void tabulate(CubicGrid& grid) {
  const double lower = -4;
  const double upper = 4;
  const double h = (upper - lower) / CubicGrid::kPoints;
  for (int i = 0; i < CubicGrid::kPoints; i++) {
    grid.X[i] = i * h + lower;
    grid.F[i] = target_cubic(grid.X[i]);
  }
}
