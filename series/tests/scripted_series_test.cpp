// poly_deriv's and gaussian_errors' work driven by a scripted generator:
// every deviate is known, so every line can be checked exactly, and the
// calls the generator receives are recorded.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "arrays.h"
#include "gaussian_errors.h"
#include "poly_deriv.h"
#include "run_program.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// Returns mean + sigma * z for the scripted z in turn (so sigma 0 gives the
// mean), or the scripted sample itself when `samples` is set.
struct Script {
  explicit Script(std::vector<double> scripted, bool as_samples = false)
      : values(std::move(scripted)), samples(as_samples) {}

  std::vector<double> values;
  bool samples;
  std::vector<std::pair<double, double>> calls;  // (mean, sigma)

  Gaussian source() {
    return [this](double mean, double sigma) {
      double v = values.at(calls.size() % values.size());
      calls.emplace_back(mean, sigma);
      return samples ? v : mean + sigma * v;
    };
  }
};

const char kPolyPrompts[] =
    "Enter the number of data points:\nEnter the lower range:\nEnter the upper range:\n";

TEST(ScriptedPolyDeriv, FourPointsOnZeroToFour) {
  // h = 1: points 0, 1, 2, 3. The clean values at 1, 2, 3 are exactly 0, so
  // no noise; at 0 the deviation is sqrt(6) and the scripted z = 0.5 adds
  // sqrt(6) / 2: -6 + 1.22474 = -4.77526. The derivative at 1 is
  // (0 + 4.77526) / 2, at 2 it is (0 - 0) / 2.
  Script script({0.5});
  Workspace dir;
  RunResult run = run_in_process([&] { return run_poly_deriv(script.source()); },
                                 "4\n0\n4\n", dir);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, std::string(kPolyPrompts) +
                         "X-value: 0 F(x): -4.77526\nX-value: 1 F(x): 0\n"
                         "X-value: 2 F(x): 0\nX-value: 3 F(x): 0\n"
                         "X-value: 1 F'(x): 2.38763\nX-value: 2 F'(x): 0\n");
  EXPECT_EQ(dir.read("poly.dat"), "0 -4.77526 2.44949\n1 0 0\n2 0 0\n3 0 0\n");
  EXPECT_EQ(dir.read("deriv.dat"), "1 2.38763\n2 0\n");
  ASSERT_EQ(script.calls.size(), 4u);
  const double sigmas[] = {std::sqrt(6.0), 0, 0, 0};
  for (size_t i = 0; i < 4; i++) {
    EXPECT_EQ(script.calls[i].first, 0.0) << "call " << i;
    EXPECT_NEAR(script.calls[i].second, sigmas[i], 1e-6) << "call " << i;
  }
}

TEST(ScriptedPolyDeriv, SmallCountsWriteNoDerivative) {
  for (int n : {0, 1, 2}) {
    Script script({0.0});
    Workspace dir;
    RunResult run = run_in_process([&] { return run_poly_deriv(script.source()); },
                                   std::to_string(n) + "\n0\n1\n", dir);
    EXPECT_EQ(run.status, 0) << n;
    EXPECT_EQ(split_lines(run.out).size(), 3u + n) << n;
    EXPECT_EQ(split_lines(dir.read("poly.dat")).size(), static_cast<size_t>(n)) << n;
    EXPECT_EQ(dir.read("deriv.dat"), "") << n;
    EXPECT_EQ(script.calls.size(), static_cast<size_t>(n)) << n;
  }
}

TEST(ScriptedPolyDeriv, PointsRunFromLowerAndNeverReachUpper) {
  const struct {
    const char* input;
    const char* first;
    const char* last;
  } cases[] = {
      {"7\n0\n1\n", "0", "0.857143"},      // 6/7
      {"4\n2\n-2\n", "2", "-1"},           // lower above upper: downward
      {"3\n1.5\n1.5\n", "1.5", "1.5"},     // h = 0
  };
  for (const auto& c : cases) {
    Script script({0.0});
    Workspace dir;
    run_in_process([&] { return run_poly_deriv(script.source()); }, c.input, dir);
    std::vector<std::string> lines = split_lines(dir.read("poly.dat"));
    ASSERT_FALSE(lines.empty()) << c.input;
    EXPECT_EQ(lines.front().substr(0, lines.front().find(' ')), c.first) << c.input;
    EXPECT_EQ(lines.back().substr(0, lines.back().find(' ')), c.last) << c.input;
  }
}

TEST(ScriptedPolyDeriv, EqualBoundsDivideTheDerivativeByZero) {
  // Every point is 1.5, where f = 0.375; with no noise (z = 0) neighbours
  // are equal, 0 / 0 gives a NaN; with noise they differ: an infinity.
  Script quiet({0.0});
  Workspace dir;
  run_in_process([&] { return run_poly_deriv(quiet.source()); }, "3\n1.5\n1.5\n", dir);
  EXPECT_EQ(dir.read("deriv.dat"), "1.5 -nan\n");
  Script noisy({1.0, 0.0, -1.0});
  Workspace dir2;
  run_in_process([&] { return run_poly_deriv(noisy.source()); }, "3\n1.5\n1.5\n", dir2);
  EXPECT_EQ(dir2.read("deriv.dat"), "1.5 -inf\n");
}

TEST(ScriptedPolyDeriv, ValuesBeyondAFloatAreInfinities) {
  // Points 0 and 5e13: the cubic at 5e13 is 1.25e41, past the largest
  // float (3.4e38), and so is its noise deviation's square; stored as
  // float they round to infinity. At 0: -6 + sqrt(6) = -3.55051.
  Script wide({1.0});
  Workspace dir;
  RunResult run = run_in_process([&] { return run_poly_deriv(wide.source()); },
                                 "2\n0\n1e14\n", dir);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(dir.read("poly.dat"), "0 -3.55051 2.44949\n5e+13 inf inf\n");
  // A step of 1e-300: every point stores as float 0, where f = -6 plus
  // noise of +-sqrt(6); the difference -2 sqrt(6) over 2e-300 is -2.4e300,
  // an infinity as a float.
  Script narrow({1.0, 0.0, -1.0});
  Workspace dir2;
  run_in_process([&] { return run_poly_deriv(narrow.source()); }, "3\n0\n3e-300\n", dir2);
  EXPECT_EQ(dir2.read("deriv.dat"), "0 -inf\n");
}

TEST(ScriptedPolyDeriv, BadInputStopsWithOneLine) {
  const struct {
    const char* input;
    const char* message;
  } cases[] = {
      {"-5\n0\n1\n", "poly_deriv: the number of data points must not be negative\n"},
      {"", "poly_deriv: expected a whole number for the number of data points\n"},
      {"many\n", "poly_deriv: expected a whole number for the number of data points, not 'many'\n"},
      {"5\nlow\n", "poly_deriv: expected a number for the lower range, not 'low'\n"},
      {"5\n0\n", "poly_deriv: expected a number for the upper range\n"},
      {"5\nnan\n1\n", "poly_deriv: expected a number for the lower range, not 'nan'\n"},
      {"5\n0\ninf\n", "poly_deriv: expected a number for the upper range, not 'inf'\n"},
  };
  for (const auto& c : cases) {
    Script script({0.0});
    Workspace dir;
    RunResult run = run_in_process([&] { return run_poly_deriv(script.source()); },
                                   c.input, dir);
    EXPECT_EQ(run.status, 1) << c.input;
    EXPECT_EQ(run.err, c.message) << c.input;
    EXPECT_TRUE(script.calls.empty()) << "no deviate for a run that draws nothing";
    EXPECT_EQ(dir.read("poly.dat"), "") << c.input;
    EXPECT_EQ(dir.read("deriv.dat"), "") << c.input;
  }
}

// The check itself, on an array no machine holds: 2^31 elements of 1 MiB.
TEST(AllocateArray, RefusesWhatPhysicalMemoryCannotHold) {
  std::vector<std::array<char, 1 << 20>> huge;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(allocate_array("poly_deriv", 2147483647, huge));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "poly_deriv: 2147483647 data points do not fit in memory\n");
  EXPECT_TRUE(huge.empty()) << "nothing allocated";
  EXPECT_TRUE(allocate_array("poly_deriv", 1000, huge));
  EXPECT_EQ(huge.size(), 1000u);
}

TEST(ScriptedPolyDeriv, CountTooLargeForMemoryIsAnError) {
  // One float array of the largest int elements: 8.6 GB.
  if (2147483647.0 * 4 <= 1.0 * platform::physical_memory()) GTEST_SKIP() << "this machine could hold it";
  Script script({0.0});
  Workspace dir;
  RunResult run = run_in_process([&] { return run_poly_deriv(script.source()); },
                                 "2147483647\n0\n1\n", dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "poly_deriv: 2147483647 data points do not fit in memory\n");
  EXPECT_EQ(dir.read("poly.dat"), "");
}

TEST(ScriptedPolyDeriv, UnwritableDataFilesStopBeforePrompting) {
  for (const char* name : {"poly.dat", "deriv.dat"}) {
    Script script({0.0});
    Workspace dir;
    std::filesystem::create_directory(dir.file(name));
    RunResult run = run_in_process([&] { return run_poly_deriv(script.source()); },
                                   "3\n0\n1\n", dir);
    EXPECT_EQ(run.status, 1) << name;
    EXPECT_EQ(run.out, "") << name;
    EXPECT_EQ(run.err, std::string("poly_deriv: cannot open ") + name +
                           " for writing: Is a directory\n");
  }
}

TEST(ScriptedPolyDeriv, FullDiskIsReportedAfterTheRun) {
  Script script({0.0});
  Workspace dir;
  std::filesystem::create_symlink("/dev/full", dir.file("deriv.dat"));
  RunResult run = run_in_process([&] { return run_poly_deriv(script.source()); },
                                 "4\n0\n4\n", dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(split_lines(run.out).size(), 3u + 4 + 2) << "standard output keeps every line";
  EXPECT_EQ(split_lines(dir.read("poly.dat")).size(), 4u) << "the other file is whole";
  EXPECT_EQ(run.err, "poly_deriv: cannot write deriv.dat: No space left on device\n");
}

TEST(HistogramBin, EveryValueFindsABinWithoutOverflow) {
  const struct {
    double q;
    int bin;
  } cases[] = {
      {kNaN, 0},   {-kInf, 0},  {-1e300, 0}, {-0.5, 0}, {-0.0, 0},   {0.0, 0},
      {0.999, 0},  {1.0, 1},    {50.5, 50},  {98.99, 98}, {99.0, 99}, {99.5, 99},
      {100.0, 99}, {3e9, 99},   {1e300, 99}, {kInf, 99},
  };
  for (const auto& c : cases) EXPECT_EQ(histogram_bin(c.q), c.bin) << "q = " << c.q;
}

const char kHistogramPrompts[] =
    "Enter the number of samples:\nEnter the centroid:\nEnter the standard deviation\n";

TEST(ScriptedGaussianErrors, ZeroSigmaPutsEverySampleInTheFirstBin) {
  // w = 0: every edge is the centroid, and every q is 0 / 0.
  Script script({0.3, -1.2, 2.0, 0.0});
  Workspace dir;
  RunResult run = run_in_process([&] { return run_gaussian_errors(script.source()); },
                                 "4\n2\n0\n", dir);
  std::string table = "2 4 2\n";
  for (int k = 1; k < 100; k++) table += "2 0 1\n";
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, kHistogramPrompts + table);
  EXPECT_EQ(dir.read("gaussian_errors.dat"), table);
  ASSERT_EQ(script.calls.size(), 4u);
  EXPECT_EQ(script.calls[0], (std::pair<double, double>(2.0, 0.0)));
}

TEST(ScriptedGaussianErrors, SamplesBeyondTheEndsCountInTheEndBins) {
  // Centroid 0, sigma 1: w = 0.08, lo = -4. Samples: three in bin 0 (at the
  // lower edge, far below, not a number), four in bin 99 (at the upper end,
  // just below it, far above, infinite), one in bin 50.
  Script script({-4.0, -1e300, kNaN, 4.0, 3.99, 1e300, kInf, 0.04}, true);
  Workspace dir;
  RunResult run = run_in_process([&] { return run_gaussian_errors(script.source()); },
                                 "8\n0\n1\n", dir);
  EXPECT_EQ(run.status, 0);
  std::vector<std::string> lines = split_lines(dir.read("gaussian_errors.dat"));
  ASSERT_EQ(lines.size(), 100u);
  EXPECT_EQ(lines[0], "-4 3 1.73205");
  EXPECT_EQ(lines[50], "0 1 1");
  EXPECT_EQ(lines[99], "3.92 4 2");
  EXPECT_EQ(lines[1], "-3.92 0 1");
}

TEST(ScriptedGaussianErrors, NegativeSigmaRunsTheEdgesDownward) {
  // w = -0.08, lo = 4: bin 0 takes samples just below 4, bin 99 those near
  // -4 and below; a sample above 4 lies below the (reversed) histogram.
  Script script({3.95, -3.95, 5.0, -10.0}, true);
  Workspace dir;
  run_in_process([&] { return run_gaussian_errors(script.source()); }, "4\n0\n-1\n", dir);
  std::vector<std::string> lines = split_lines(dir.read("gaussian_errors.dat"));
  ASSERT_EQ(lines.size(), 100u);
  EXPECT_EQ(lines[0], "4 2 1.41421");
  EXPECT_EQ(lines[1], "3.92 0 1");
  EXPECT_EQ(lines[99], "-3.92 2 1.41421");
}

TEST(ScriptedGaussianErrors, NoSamplesForZeroOrNegativeCounts) {
  for (const char* input : {"0\n5\n2\n", "-7\n5\n2\n"}) {
    Script script({0.0});
    Workspace dir;
    RunResult run = run_in_process([&] { return run_gaussian_errors(script.source()); },
                                   input, dir);
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(script.calls.empty());
    std::vector<std::string> lines = split_lines(dir.read("gaussian_errors.dat"));
    ASSERT_EQ(lines.size(), 100u);
    EXPECT_EQ(lines[0], "-3 0 1");  // 2 * -4 + 5
    EXPECT_EQ(lines[50], "5 0 1");
    for (const std::string& line : lines)
      EXPECT_EQ(line.substr(line.find(' ')), " 0 1") << line;
  }
}

TEST(ScriptedGaussianErrors, BadInputStopsWithOneLine) {
  const struct {
    const char* input;
    const char* message;
  } cases[] = {
      {"", "gaussian_errors: expected a whole number for the number of samples\n"},
      {"99999999999\n",
       "gaussian_errors: expected a whole number for the number of samples, not '99999999999' "
       "(out of range)\n"},
      {"1e99\n",
       "gaussian_errors: expected a whole number for the number of samples, not '1e99' "
       "(out of range)\n"},
      {"10\nmiddle\n", "gaussian_errors: expected a number for the centroid, not 'middle'\n"},
      {"10\n0\n", "gaussian_errors: expected a number for the standard deviation\n"},
      {"10\n0\nnan\n", "gaussian_errors: expected a number for the standard deviation, not 'nan'\n"},
  };
  for (const auto& c : cases) {
    Script script({0.0});
    Workspace dir;
    RunResult run = run_in_process([&] { return run_gaussian_errors(script.source()); },
                                   c.input, dir);
    EXPECT_EQ(run.status, 1) << c.input;
    EXPECT_EQ(run.err, c.message) << c.input;
    EXPECT_EQ(dir.read("gaussian_errors.dat"), "") << c.input;
  }
}

// An edge, the centroid + (k * 8 / 100 - 4) sigma, beyond a float (FLT_MAX
// is 3.40282e38), or not a number once 8 sigma passes a double, is refused
// with status 2 before any sample is drawn.
TEST(ScriptedGaussianErrors, EdgesBeyondAFloatAreRefused) {
  for (const char* input : {"10\n0\n1e308\n", "10\n0\n1e38\n", "10\n0\n-1e38\n",
                            "10\n3.5e38\n0\n", "10\n-1e300\n1\n"}) {
    Script script({0.0});
    Workspace dir;
    RunResult run = run_in_process([&] { return run_gaussian_errors(script.source()); },
                                   input, dir);
    EXPECT_EQ(run.status, 2) << input;
    EXPECT_EQ(run.out, kHistogramPrompts) << input;
    EXPECT_EQ(run.err,
              "gaussian_errors: the histogram's edges, the centroid +- 4 standard deviations, "
              "are beyond a float's range\n")
        << input;
    EXPECT_TRUE(script.calls.empty()) << input;
    EXPECT_EQ(dir.read("gaussian_errors.dat"), "") << input;
  }
  // Just inside: sigma 8.5e37 puts the edges from -3.4e38 to 3.332e38 in
  // steps of 6.8e36.
  Script script({0.0});
  Workspace dir;
  RunResult run = run_in_process([&] { return run_gaussian_errors(script.source()); },
                                 "1\n0\n8.5e37\n", dir);
  EXPECT_EQ(run.status, 0) << run.err;
  std::vector<std::string> lines = split_lines(dir.read("gaussian_errors.dat"));
  ASSERT_EQ(lines.size(), 100u);
  EXPECT_EQ(lines[0], "-3.4e+38 0 1");
  EXPECT_EQ(lines[50], "0 1 1");
  EXPECT_EQ(lines[99], "3.332e+38 0 1");
}

TEST(ScriptedGaussianErrors, UnwritableDataFile) {
  {
    Script script({0.0});
    Workspace dir;
    std::filesystem::create_directory(dir.file("gaussian_errors.dat"));
    RunResult run = run_in_process([&] { return run_gaussian_errors(script.source()); },
                                   "10\n0\n1\n", dir);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "gaussian_errors: cannot open gaussian_errors.dat for writing: Is a directory\n");
  }
  {
    Script script({0.0});
    Workspace dir;
    std::filesystem::create_symlink("/dev/full", dir.file("gaussian_errors.dat"));
    RunResult run = run_in_process([&] { return run_gaussian_errors(script.source()); },
                                   "10\n0\n1\n", dir);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(split_lines(run.out).size(), 103u);
    EXPECT_EQ(run.err, "gaussian_errors: cannot write gaussian_errors.dat: No space left on device\n");
  }
}

}  // namespace
