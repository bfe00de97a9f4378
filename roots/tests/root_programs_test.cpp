// root_step and root_bisect run end to end, against the documented roots and
// totals, and against each other.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "run_program.h"

namespace {

std::string step_dialogue(const std::vector<std::string>& roots, int total) {
  std::string out = "Enter the division size: \n";
  for (const std::string& root : roots) out += "Found root at x = " + root + "\n";
  return out + "Total number of steps = " + std::to_string(total) + "\n";
}

// Known totals: the division sizes required of root_step, each total
// counted by hand from the step-count rules (1 per examined point, 1 more
// for a zero or no sign change, 2 + 8 per iteration + 1 for a bisection).
TEST(RootStep, RootsAndTotalsForKnownDivisionSizes) {
  const std::vector<std::string> all = {"-2.4", "0.5", "1.5"};
  const struct {
    int d;
    std::vector<std::string> roots;
    int total;
  } cases[] = {
      {1, all, 20403},       {2, all, 10019},
      {100, all, 235},       {2000, all, 77},
      {1400, {"-2.4"}, 302},  // 0.48 and 1.6 enclose both 0.5 and 1.5
      {3333, {"-2.4", "0.5"}, 576},  // 1.5 lies beyond the last point
      {5000, {"-2.4"}, 300}, {5001, {}, 0},
      {10000, {}, 0},        {10001, {}, 0},
      {-1, {}, 0},           {-2147483647, {}, 0},
  };
  for (const auto& c : cases) {
    Workspace dir;
    RunResult run =
        run_program(program_path("root_step"), std::to_string(c.d) + "\n", dir);
    EXPECT_EQ(run.status, 0) << "d = " << c.d;
    EXPECT_EQ(run.err, "") << "d = " << c.d;
    EXPECT_EQ(run.out, step_dialogue(c.roots, c.total)) << "d = " << c.d;
  }
}

TEST(RootStep, ZeroOrUnreadableDivisionSizeIsAnError) {
  const struct {
    const char* input;
    const char* message;
  } cases[] = {
      {"0\n", "root_step: the division size must not be 0\n"},
      {"", "root_step: expected a whole number for the division size\n"},
      {"ten\n", "root_step: expected a whole number for the division size, not 'ten'\n"},
      {"99999999999\n",
       "root_step: expected a whole number for the division size, not '99999999999' (out of range)\n"},
      {"2.5\n", "root_step: expected a whole number for the division size, not '2.5'\n"},
  };
  for (const auto& c : cases) {
    Workspace dir;
    RunResult run = run_program(program_path("root_step"), c.input, dir);
    EXPECT_EQ(run.status, 1) << "input '" << c.input << "'";
    EXPECT_EQ(run.out, "Enter the division size: \n") << "input '" << c.input << "'";
    EXPECT_EQ(run.err, c.message) << "input '" << c.input << "'";
  }
}

// root_bisect's lines as a map from division size to step count.
std::map<int, int> bisect_lines() {
  Workspace dir;
  RunResult run = run_program(program_path("root_bisect"), "", dir);
  EXPECT_EQ(run.status, 0);
  std::map<int, int> lines;
  int previous = 0;
  for (const std::string& line : split_lines(run.out)) {
    std::istringstream in(line);
    int d = 0, steps = 0;
    std::string rest;
    EXPECT_TRUE(in >> d >> steps) << line;
    EXPECT_FALSE(in >> rest) << line;
    EXPECT_GT(d, previous) << "lines in increasing order of d";
    previous = d;
    lines[d] = steps;
  }
  return lines;
}

TEST(RootBisect, LinesForExactlyTheSizesThatFindAllThreeRoots) {
  std::map<int, int> lines = bisect_lines();
  EXPECT_EQ(lines.size(), 1759u);
  const std::map<int, int> telling = {
      {1, 20353}, {2, 10017}, {3, 7223}, {100, 231}, {2000, 69}};
  for (auto [d, steps] : telling) EXPECT_EQ(lines[d], steps) << "d = " << d;
  EXPECT_EQ(lines.begin()->first, 1);
  EXPECT_EQ(lines.rbegin()->first, 2000);
  for (int d = 1; d <= 2000; d++) {
    bool missed = (d >= 1375 && d <= 1406) || (d >= 1667 && d <= 1875);
    EXPECT_EQ(lines.count(d), missed ? 0u : 1u) << "d = " << d;
  }
}

// Bisection iterations the walk at division size d makes, counted here from
// scratch: the cubic in its fixed evaluation order, the grid, and the
// bisection's stopping rule.
int bisection_iterations(int d) {
  auto f = [](double x) {
    return ((-4.05 * x + 1.8) + (0.4 * x) * x) + ((1 * x) * x) * x;
  };
  auto X = [](int i) { return i * 0.0008 + -4.0; };
  int iterations = 0;
  double prev = f(X(0));
  for (int j = 1; j < 10000 / d; j++) {
    double cur = f(X(j * d));
    if (cur * prev < 0) {
      double a = X((j - 1) * d), b = X(j * d);
      double err = 1e12;
      while (err > 1e-10) {
        double m = (b + a) / 2;
        if (f(a) * f(m) < 0) b = m; else a = m;
        err = std::fabs(f(m));
        iterations++;
      }
    }
    prev = cur;
  }
  return iterations;
}

TEST(RootBisect, DiffersFromRootStepByOneStepPerBisectionIteration) {
  // root_step charges 8 per iteration and root_bisect 7, all else equal.
  for (auto [d, steps] : bisect_lines()) {
    Workspace dir;
    RunResult run =
        run_program(program_path("root_step"), std::to_string(d) + "\n", dir);
    std::vector<std::string> lines = split_lines(run.out);
    ASSERT_FALSE(lines.empty());
    const std::string label = "Total number of steps = ";
    ASSERT_EQ(lines.back().rfind(label, 0), 0u) << lines.back();
    int step_total = std::stoi(lines.back().substr(label.size()));
    ASSERT_EQ(step_total - steps, bisection_iterations(d)) << "d = " << d;
  }
}

}  // namespace
