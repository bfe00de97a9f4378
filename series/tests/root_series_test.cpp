// poly_deriv and gaussian_errors as built, with ROOT's TRandom: the exact
// cases the generator cannot touch, and statistics at the fixed seed.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "run_program.h"
#include "statistics.h"

namespace {

// Runs a ROOT-linked program, or skips the test when it was not built.
#define RUN_ROOT_PROGRAM(result, name, input, dir)                         \
  if (access(program_path(name).c_str(), X_OK) != 0)                      \
    GTEST_SKIP() << name << " was not built: ROOT was not found";          \
  RunResult result = run_program(program_path(name), input, dir)

std::vector<std::vector<double>> columns(const std::string& text) {
  std::vector<std::vector<double>> rows;
  for (const std::string& line : split_lines(text)) {
    std::istringstream in(line);
    std::vector<double> row;
    for (double v; in >> v;) row.push_back(v);
    rows.push_back(row);
  }
  return rows;
}

TEST(PolyDeriv, FourPointsOnZeroToFour) {
  Workspace dir;
  RUN_ROOT_PROGRAM(run, "poly_deriv", "4\n0\n4\n", dir);
  EXPECT_EQ(run.status, 0);
  std::vector<std::string> poly = split_lines(dir.read("poly.dat"));
  ASSERT_EQ(poly.size(), 4u);
  // At 1, 2 and 3 the cubic is exactly 0: no noise is added.
  EXPECT_EQ(poly[1], "1 0 0");
  EXPECT_EQ(poly[2], "2 0 0");
  EXPECT_EQ(poly[3], "3 0 0");
  EXPECT_EQ(poly[0].substr(0, 2), "0 ");
  EXPECT_EQ(poly[0].substr(poly[0].rfind(' ')), " 2.44949") << "sqrt(6)";
  std::vector<std::string> deriv = split_lines(dir.read("deriv.dat"));
  ASSERT_EQ(deriv.size(), 2u);
  EXPECT_EQ(deriv[1], "2 0");
  std::vector<std::string> out = split_lines(run.out);
  ASSERT_EQ(out.size(), 9u);
  EXPECT_EQ(out[4], "X-value: 1 F(x): 0");
  EXPECT_EQ(out[8], "X-value: 2 F'(x): 0");
}

TEST(PolyDeriv, LineCountsForSmallN) {
  for (int n : {0, 1, 2}) {
    Workspace dir;
    RUN_ROOT_PROGRAM(run, "poly_deriv", std::to_string(n) + "\n0\n4\n", dir);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(split_lines(run.out).size(), 3u + n) << n;
    EXPECT_EQ(split_lines(dir.read("poly.dat")).size(), static_cast<size_t>(n)) << n;
    EXPECT_EQ(dir.read("deriv.dat"), "") << n;
  }
}

// The noise: at 100,000 points on [0, 4), (noisy - clean) / s must be
// standard normal, which it is only if Gaus got mean 0 and sigma s. The clean
// value is recovered as s^2 with the cubic's sign at x. Mean and variance
// within four standard errors (1 / sqrt(n) and sqrt(2 / n)).
// Every derivative is also recomputed from poly.dat's columns: the difference
// in single precision over 2h, to the six digits the file holds.
TEST(PolyDeriv, NoiseIsStandardAndDerivativesAreCentralDifferences) {
  const int n = 100000;
  Workspace dir;
  RUN_ROOT_PROGRAM(run, "poly_deriv", std::to_string(n) + "\n0\n4\n", dir);
  ASSERT_EQ(run.status, 0);
  auto poly = columns(dir.read("poly.dat"));
  auto deriv = columns(dir.read("deriv.dat"));
  ASSERT_EQ(poly.size(), static_cast<size_t>(n));
  ASSERT_EQ(deriv.size(), static_cast<size_t>(n - 2));

  double sum = 0, squares = 0;
  int used = 0;
  for (const auto& row : poly) {
    double x = row[0], noisy = row[1], s = row[2];
    ASSERT_LT(x, 4.0) << "the upper bound is never a point";
    if (s == 0) continue;
    double sign = (x - 1) * (x - 2) * (x - 3) < 0 ? -1 : 1;
    double z = (noisy - sign * s * s) / s;
    sum += z;
    squares += z * z;
    used++;
  }
  double mean = sum / used, variance = squares / used - mean * mean;
  EXPECT_NEAR(mean, 0.0, 4 / std::sqrt(used));
  EXPECT_NEAR(variance, 1.0, 4 * std::sqrt(2.0 / used));

  const double h = 4.0 / n;
  for (int i = 1; i < n - 1; i++) {
    float difference = static_cast<float>(poly[i + 1][1]) - static_cast<float>(poly[i - 1][1]);
    double expected = difference / (h * 2.0);
    double printing = 5e-6 * (std::fabs(poly[i + 1][1]) + std::fabs(poly[i - 1][1])) / (2 * h);
    ASSERT_EQ(deriv[i - 1][0], poly[i][0]);
    ASSERT_NEAR(deriv[i - 1][1], expected, printing + 1e-5 * std::fabs(expected)) << "i = " << i;
  }
}

std::vector<std::vector<double>> histogram(const std::string& input, RunResult* run_out = nullptr) {
  Workspace dir;
  RunResult run = run_program(program_path("gaussian_errors"), input, dir);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(split_lines(run.out).size(), 103u);
  if (run_out) *run_out = run;
  return columns(dir.read("gaussian_errors.dat"));
}

TEST(GaussianErrors, ZeroSigmaAndCountsOfZeroOrLess) {
  Workspace dir;
  RUN_ROOT_PROGRAM(run, "gaussian_errors", "4\n2\n0\n", dir);
  std::string expected = "2 4 2\n";
  for (int k = 1; k < 100; k++) expected += "2 0 1\n";
  EXPECT_EQ(dir.read("gaussian_errors.dat"), expected);
  for (const char* input : {"0\n0\n1\n", "-3\n0\n1\n"}) {
    for (const auto& row : histogram(input)) {
      EXPECT_EQ(row[1], 0) << input;
      EXPECT_EQ(row[2], 1) << input;
    }
  }
}

TEST(GaussianErrors, CountsSumToNWithSquareRootErrors) {
  if (access(program_path("gaussian_errors").c_str(), X_OK) != 0) GTEST_SKIP();
  for (const char* input : {"1000\n5\n2\n", "777\n-1\n-0.5\n", "5000\n0\n0.001\n"}) {
    auto rows = histogram(input);
    ASSERT_EQ(rows.size(), 100u);
    double total = 0;
    for (const auto& row : rows) {
      total += row[1];
      double error = row[1] == 0 ? 1 : std::sqrt(row[1]);
      EXPECT_NEAR(row[2], error, 5e-6 * error) << input;
    }
    EXPECT_EQ(total, std::stod(input)) << input;
  }
}

// Past 2^24 = 16,777,216 a float count stops growing; the counts are exact.
// With sigma 0 every sample is the centroid, whose bin is 0 (0/0): 2e7 in
// bin 0, written as a float, 2e+07, with error sqrt(2e7) = 4472.14.
TEST(GaussianErrors, CountsPast2To24AreExact) {
  if (access(program_path("gaussian_errors").c_str(), X_OK) != 0) GTEST_SKIP();
  Workspace dir;
  RunResult run = run_program(program_path("gaussian_errors"), "20000000 0 0\n", dir);
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = split_lines(dir.read("gaussian_errors.dat"));
  ASSERT_EQ(lines.size(), 100u);
  EXPECT_EQ(lines[0], "0 2e+07 4472.14");
  EXPECT_EQ(lines[99], "0 0 1");
}

TEST(GaussianErrors, NegativeSigmaCountsEverySampleOnce) {
  if (access(program_path("gaussian_errors").c_str(), X_OK) != 0) GTEST_SKIP();
  auto rows = histogram("2000\n1\n-0.5\n");
  ASSERT_EQ(rows.size(), 100u);
  EXPECT_EQ(rows[0][0], 3) << "lo = 1 + 4 * 0.5";
  EXPECT_LT(rows[99][0], rows[0][0]) << "edges run downward";
  double total = 0;
  for (const auto& row : rows) total += row[1];
  EXPECT_EQ(total, 2000);
}

// Chi-square of the counts against the normal bin probabilities (the end
// bins take the tails) at the 0.1% level; bins are merged from the left
// until each expects at least 5 samples.
TEST(GaussianErrors, HistogramFollowsTheNormalDistribution) {
  if (access(program_path("gaussian_errors").c_str(), X_OK) != 0) GTEST_SKIP();
  const double n = 100000, centroid = 3, sigma = 2;
  auto rows = histogram("100000\n3\n2\n");
  ASSERT_EQ(rows.size(), 100u);
  const double w = sigma * 8 / 100, lo = centroid - 4 * sigma;
  std::vector<double> observed, expected;
  double pending_observed = 0, pending_expected = 0;
  for (int k = 0; k < 100; k++) {
    double low = k == 0 ? 0.0 : normal_cdf(lo + k * w, centroid, sigma);
    double high = k == 99 ? 1.0 : normal_cdf(lo + (k + 1) * w, centroid, sigma);
    pending_observed += rows[k][1];
    pending_expected += n * (high - low);
    if (pending_expected >= 5) {
      observed.push_back(pending_observed);
      expected.push_back(pending_expected);
      pending_observed = pending_expected = 0;
    }
  }
  observed.back() += pending_observed;  // a thin last tail joins its neighbour
  expected.back() += pending_expected;
  double chi2 = 0;
  for (size_t b = 0; b < observed.size(); b++)
    chi2 += (observed[b] - expected[b]) * (observed[b] - expected[b]) / expected[b];
  int dof = static_cast<int>(observed.size()) - 1;
  EXPECT_LT(chi2, chi_square_critical(dof)) << dof << " degrees of freedom";
}

TEST(GaussianErrors, TwoRunsWriteIdenticalFiles) {
  Workspace first, second;
  RUN_ROOT_PROGRAM(a, "gaussian_errors", "5000\n0\n1\n", first);
  RunResult b = run_program(program_path("gaussian_errors"), "5000\n0\n1\n", second);
  EXPECT_EQ(a.out, b.out);
  EXPECT_EQ(first.read("gaussian_errors.dat"), second.read("gaussian_errors.dat"));
}

}  // namespace
