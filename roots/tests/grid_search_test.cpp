// The target cubic's grid and the bisection walk, called directly.
#include "grid_search.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

const double kRoots[] = {-2.4, 0.5, 1.5};

TEST(CubicGrid, ExactValuesAtTheRoots) {
  CubicGrid grid;
  tabulate(grid);
  EXPECT_EQ(grid.X[0], -4.0);
  EXPECT_NEAR(grid.X[9999], 3.9992, 1e-12);
  EXPECT_EQ(grid.X[2000], -2.4);
  EXPECT_EQ(grid.F[2000], 0.0) << "-2.4 is an exact zero of the table";
  // The other two roots sit on grid points too, but their values round to
  // tiny nonzero numbers, so they only show as sign changes.
  EXPECT_NEAR(grid.X[5625], 0.5, 1e-15);
  EXPECT_NEAR(grid.X[6875], 1.5, 1e-15);
  EXPECT_NE(grid.F[5625], 0.0);
  EXPECT_NE(grid.F[6875], 0.0);
  EXPECT_LT(std::fabs(grid.F[5625]), 1e-15);
  EXPECT_LT(std::fabs(grid.F[6875]), 1e-14);
}

TEST(CubicGrid, TableMatchesTheFactoredCubic) {
  CubicGrid grid;
  tabulate(grid);
  for (int i = 0; i < CubicGrid::kPoints; i++) {
    double x = grid.X[i];
    double factored = (x + 2.4) * (x - 0.5) * (x - 1.5);
    ASSERT_NEAR(grid.F[i], factored, 1e-12) << "x = " << x;
  }
}

TEST(Bisect, StaysInsideTheBracketAndStopsOnTheValue) {
  const struct {
    double a, b, root;
  } brackets[] = {{-4, 0, -2.4}, {0.48, 0.52, 0.5}, {1.0, 1.6, 1.5},
                  {0.4, 0.8, 0.5}, {-3, -2, -2.4}};
  for (const auto& c : brackets) {
    int steps = 0;
    double m = bisect(c.a, c.b, 8, steps);
    EXPECT_GE(m, c.a);
    EXPECT_LE(m, c.b);
    EXPECT_LE(std::fabs(target_cubic(m)), 1e-10) << "bracket " << c.a;
    EXPECT_NEAR(m, c.root, 1e-10) << "bracket " << c.a;
    EXPECT_GT(steps, 0);
    EXPECT_EQ(steps % 8, 0) << "whole iterations only";
  }
}

// Brackets that break the precondition, or barely keep it: each returns;
// NaN and no steps without a sign change, the end itself and no steps at an
// exact zero.
TEST(Bisect, InvalidBracketsReturn) {
  const struct {
    const char* what;
    double a, b;
    bool root;  // a root is returned, else NaN
  } brackets[] = {
      {"no sign change, above every root", 2.0, 3.0, false},
      {"no sign change, between the two lower roots", -2.0, 0.0, false},
      {"two roots inside, no net sign change", 0.0, 2.0, false},
      {"an empty bracket away from a root", 1.0, 1.0, false},
      {"a reversed bracket", 1.6, 1.0, true},
      {"a bracket ending on the exact zero", -2.0, -2.4, true},
      {"the narrowest bracket around 0.5", 0.5, std::nextafter(0.5, 1.0), true},
  };
  for (const auto& c : brackets) {
    int steps = 0;
    const double m = bisect(c.a, c.b, 8, steps);
    if (c.b == -2.4) {
      EXPECT_EQ(m, -2.4) << c.what;
      EXPECT_EQ(steps, 0) << c.what;
    } else if (c.root) {
      EXPECT_GE(m, std::fmin(c.a, c.b)) << c.what;
      EXPECT_LE(m, std::fmax(c.a, c.b)) << c.what;
      EXPECT_GT(steps, 0) << c.what;
    } else {
      EXPECT_TRUE(std::isnan(m)) << c.what << ": " << m;
      EXPECT_EQ(steps, 0) << c.what;
    }
  }
}

TEST(Bisect, RunsAtLeastOnceAndChargesPerIteration) {
  // The midpoint of [0.4, 0.6] is the root itself to rounding: one iteration.
  int steps = 0;
  double m = bisect(0.4, 0.6, 7, steps);
  EXPECT_EQ(steps, 7);
  EXPECT_NEAR(m, 0.5, 1e-15);
}

// Every root any division size reports is within the bisection's tolerance:
// |f| at most 1e-10 at the full-precision value, and so within 1e-10 / |f'|
// (f' is 11.31, -2.9 and 3.9 at the three roots) of the exact root.
TEST(WalkGrid, EveryReportedRootIsWithinTolerance) {
  CubicGrid grid;
  tabulate(grid);
  for (int d = 1; d <= 10000; d++) {
    std::vector<double> found;
    walk_grid(grid, d, 8, [&found](double x) { found.push_back(x); });
    ASSERT_LE(found.size(), 3u) << "d = " << d;
    for (double x : found) {
      double nearest = kRoots[0];
      for (double r : kRoots)
        if (std::fabs(x - r) < std::fabs(x - nearest)) nearest = r;
      double factored = (x + 2.4) * (x - 0.5) * (x - 1.5);
      ASSERT_LE(std::fabs(factored), 1e-10 + 1e-15) << "d = " << d << " x = " << x;
      ASSERT_LT(std::fabs(x - nearest), 4e-11) << "d = " << d << " x = " << x;
    }
  }
}

TEST(WalkGrid, SizesThatExamineNothingCostNothing) {
  CubicGrid grid;
  tabulate(grid);
  const int sizes[] = {5001, 7500, 10000, 10001, 1 << 30, -1, -5000, -2147483647 - 1};
  for (int d : sizes) {
    int calls = 0;
    EXPECT_EQ(walk_grid(grid, d, 8, [&calls](double) { calls++; }), 0) << d;
    EXPECT_EQ(calls, 0) << d;
  }
}

}  // namespace
