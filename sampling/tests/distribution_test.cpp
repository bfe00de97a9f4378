// Each sampler at its fixed seed, 100,000 samples, against the distribution
// it targets. The seed is fixed, so these tests are deterministic; the
// thresholds are those a correct sampler fails only 0.1% (Kolmogorov-Smirnov)
// or 0.3% (three standard errors) of the time over random seeds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "run_program.h"
#include "statistics.h"

namespace {

const int kCount = 100'000;

// Critical Kolmogorov-Smirnov distance at the 0.1% level for n = 100,000:
// 1.95 / sqrt(n).
const double kCriticalD = 0.00616;

struct SamplerRun {
  std::vector<double> samples;
  std::string out;
};

SamplerRun collect_samples(const std::string& name) {
  Workspace dir;
  RunResult run =
      run_program(program_path(name), std::to_string(kCount) + "\n", dir);
  EXPECT_EQ(run.status, 0) << name;
  SamplerRun result{{}, run.out};
  for (const std::string& line : split_lines(dir.read("random_dist.dat")))
    result.samples.push_back(std::stod(line));
  EXPECT_EQ(result.samples.size(), static_cast<size_t>(kCount)) << name;
  return result;
}

// sup |F_n(x) - F(x)| over the empirical distribution; equal printed values
// (six significant digits) form one step of the empirical function.
double ks_distance(std::vector<double> xs, const std::function<double(double)>& cdf) {
  std::sort(xs.begin(), xs.end());
  const double n = static_cast<double>(xs.size());
  double d = 0.0;
  for (size_t i = 0; i < xs.size();) {
    size_t j = i;
    while (j < xs.size() && xs[j] == xs[i]) j++;
    double f = cdf(xs[i]);
    d = std::max({d, std::fabs(f - i / n), std::fabs(j / n - f)});
    i = j;
  }
  return d;
}

struct Target {
  std::string program;
  std::function<double(double)> cdf;
  double lowest, highest;  // range every sample must lie in
};

// Box-Muller's largest radius: 0.3 * sqrt(2 * -log(1 / 2147483647)).
const double kBoxMullerReach = 0.3 * std::sqrt(2 * std::log(2147483647.0));

const Target kTargets[] = {
    {"random_boxmuller", [](double x) { return normal_cdf(x, 1.0, 0.3); },
     1.0 - kBoxMullerReach, 1.0 + kBoxMullerReach},
    {"random_expo", [](double x) { return x <= 0 ? 0.0 : -std::expm1(-x); },
     4.6e-10, 21.4877},
    {"random_sum2",
     [](double x) {
       if (x <= 0) return 0.0;
       if (x >= 2) return 1.0;
       return x < 1 ? x * x / 2 : 1 - (2 - x) * (2 - x) / 2;
     },
     0.0, 2.0},
    // Truncation at six standard deviations changes the CDF by 2e-9.
    {"random_reject", [](double x) { return normal_cdf(x, 1.0, 0.3); }, -0.8,
     2.8},
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const Target& c, std::ostream* os) { *os << c.program; }

class SamplerDistribution : public testing::TestWithParam<Target> {};

TEST_P(SamplerDistribution, KolmogorovSmirnovAtTheFixedSeed) {
  const Target& target = GetParam();
  SamplerRun run = collect_samples(target.program);
  double d = ks_distance(run.samples, target.cdf);
  EXPECT_LT(d, kCriticalD) << target.program << ": D = " << d;
  auto [lo, hi] = std::minmax_element(run.samples.begin(), run.samples.end());
  EXPECT_GE(*lo, target.lowest) << target.program;
  EXPECT_LE(*hi, target.highest) << target.program;
}

INSTANTIATE_TEST_SUITE_P(Samplers, SamplerDistribution,
                         testing::ValuesIn(kTargets),
                         [](const auto& info) { return info.param.program; });

TEST(CentralLimitSampler, MeanAndVarianceWithinThreeStandardErrors) {
  SamplerRun run = collect_samples("random_clt");
  const double n = kCount;
  double sum = 0.0;
  for (double x : run.samples) sum += x;
  double mean = sum / n;
  double squares = 0.0;
  for (double x : run.samples) squares += (x - mean) * (x - mean);
  double variance = squares / (n - 1);

  // A sum of 48 uniforms has excess kurtosis -1.2 / 48, so the sample
  // variance has standard error sqrt((3 - 0.025 - 1) / n).
  double mean_error = std::sqrt(1.0 / n);
  double variance_error = std::sqrt((3.0 - 1.2 / 48 - 1.0) / n);
  EXPECT_LT(std::fabs(mean), 3 * mean_error) << "mean " << mean;
  EXPECT_LT(std::fabs(variance - 1.0), 3 * variance_error)
      << "variance " << variance;
  auto [lo, hi] = std::minmax_element(run.samples.begin(), run.samples.end());
  EXPECT_GT(*lo, -12.0);
  EXPECT_LT(*hi, 12.0);
}

TEST(RejectionSampler, TriesPerPointNearTwelveOverRootTwoPi) {
  SamplerRun run = collect_samples("random_reject");
  std::vector<std::string> lines = split_lines(run.out);
  ASSERT_FALSE(lines.empty());
  const std::string label = " Tries per point: ";
  size_t at = lines.back().find(label);
  ASSERT_NE(at, std::string::npos) << lines.back();
  double per_point = std::stod(lines.back().substr(at + label.size()));
  // Acceptance probability sqrt(2 pi) / 12: the envelope is the density's
  // peak over an interval twelve standard deviations wide.
  const double expected = 12.0 / std::sqrt(2.0 * M_PI);
  EXPECT_NEAR(per_point, expected, 0.01 * expected);
}

}  // namespace
