// The grid walk with bisection refinement, and the step count that prices it.
#pragma once

#include <functional>

#include "target_cubic.h"

// Bisection of the target cubic on [a, b]: halves the bracket until the
// cubic's magnitude at the midpoint is at most 1e-10 (the test is on the
// value, not the bracket's width; the loop runs at least once). Adds
// `iteration_cost` to `steps` per iteration and returns the last midpoint.
// Precondition: the cubic changes sign strictly over the bracket (a > b is a
// bracket too). Otherwise it returns at once, adding nothing to `steps`: an
// end where the cubic is exactly 0, or else NaN. It also stops when the
// bracket can no longer be halved (the midpoint equals an end), so it
// always returns.
double bisect(double a, double b, int iteration_cost, int& steps);

// Walks the grid's points d, 2d, ... (M - 1) d, with M = 10000 / d and point
// 0 as the first previous value. An exact zero at an examined point is a
// root; a strict sign change between consecutive examined points is refined
// by bisection. Each root is passed to `found` the moment it is known.
// Returns the step count:
//   every examined point                      1
//   exact zero                                1 more
//   no sign change with the previous point    1 more
//   sign change: bracket set                  2
//                each bisection iteration     iteration_cost
//                after the refinement         1
// Needs d != 0; a negative d or one above 5000 examines nothing.
int walk_grid(const CubicGrid& grid, int d, int iteration_cost,
              const std::function<void(double root)>& found);
