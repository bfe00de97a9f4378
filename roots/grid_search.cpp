// Deliberate: the midpoint (b + a) / 2, and the sign test on the product of values.
#include "grid_search.h"

#include <cmath>

double bisect(double a, double b, int iteration_cost, int& steps) {
  const double tolerance = 1e-10;
  const double fa0 = target_cubic(a), fb0 = target_cubic(b);
  if (fa0 == 0) return a;
  if (fb0 == 0) return b;
  if (!(fa0 * fb0 < 0)) return std::nan("");  // no sign change
  double err = 1e12;
  double m = a;
  while (err > tolerance) {
    double fa = target_cubic(a);
    m = (b + a) / 2;
    double fm = target_cubic(m);
    const bool halved = m != a && m != b;
    if (fa * fm < 0) {
      b = m;
    } else {
      a = m;
    }
    err = fabs(fm);
    steps += iteration_cost;
    if (!halved) break;  // the bracket is as narrow as doubles go
  }
  return m;
}

int walk_grid(const CubicGrid& grid, int d, int iteration_cost,
              const std::function<void(double root)>& found) {
  const int strides = CubicGrid::kPoints / d;
  int steps = 0;
  double prev = grid.F[0];
  for (int j = 1; j < strides; j++) {
    double cur = grid.F[j * d];
    if (cur == 0.0) {
      found(grid.X[j * d]);
      steps += 1;
    }
    steps += 1;
    if (cur * prev < 0) {
      steps += 2;
      found(bisect(grid.X[(j - 1) * d], grid.X[j * d], iteration_cost, steps));
      steps += 1;
    } else {
      steps += 1;
    }
    prev = cur;
  }
  return steps;
}
