// Reference distributions and critical values the statistical tests share.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

inline double normal_cdf(double x, double mean, double sigma) {
  return 0.5 * std::erfc(-(x - mean) / (sigma * std::sqrt(2.0)));
}

// Upper quantile of chi-square with k degrees of freedom at the 0.1% level,
// by the Wilson-Hilferty approximation (58.4 against the table's 58.30 at
// k = 29, 148.3 against 148.2 at k = 99).
inline double chi_square_critical(int k) {
  const double z = 3.0902;  // the standard normal's 99.9% point
  double c = 2.0 / (9 * k);
  return k * std::pow(1 - c + z * std::sqrt(c), 3);
}

// Kolmogorov-Smirnov distance sup |F_n(x) - F(x)| of continuous samples
// (no two equal) from the distribution function `cdf`.
template <class Cdf>
double ks_distance(std::vector<double> samples, Cdf&& cdf) {
  std::sort(samples.begin(), samples.end());
  const double n = static_cast<double>(samples.size());
  double d = 0;
  for (size_t i = 0; i < samples.size(); i++) {
    const double f = cdf(samples[i]);
    d = std::max({d, f - static_cast<double>(i) / n, static_cast<double>(i + 1) / n - f});
  }
  return d;
}

// Its critical value at the 0.1% level for n samples (n in the hundreds or
// more): 1.95 / sqrt(n).
inline double ks_critical(size_t n) { return 1.95 / std::sqrt(static_cast<double>(n)); }
