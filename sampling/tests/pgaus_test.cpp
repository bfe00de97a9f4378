// The rejection sampler's density, called directly.
#include "pgaus.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(Pgaus, PeakIsOneOverRootTwoPiSigma) {
  // With pi taken as 3.14159265 the peak differs from the exact
  // 1 / (sqrt(2 pi) * 0.3) by about 1e-9 relative.
  double peak = pgaus(1.0, 1.0, 0.3);
  EXPECT_NEAR(peak, 1.0 / (std::sqrt(2 * M_PI) * 0.3), 1e-8);
  EXPECT_NEAR(peak, 1.32981, 5e-6);
}

TEST(Pgaus, SymmetricAboutTheMeanAndFallsByRootEAtOneSigma) {
  const double peak = pgaus(1.0, 1.0, 0.3);
  const double offsets[] = {0.1, 0.3, 0.75, 1.8};
  for (double dx : offsets) {
    // 1 + dx and 1 - dx round differently, so equal only to rounding.
    double above = pgaus(1.0 + dx, 1.0, 0.3);
    double below = pgaus(1.0 - dx, 1.0, 0.3);
    EXPECT_NEAR(above, below, 1e-12 * above) << "offset " << dx;
  }
  EXPECT_NEAR(pgaus(1.3, 1.0, 0.3), peak * std::exp(-0.5), 1e-12);
  EXPECT_NEAR(pgaus(0.7, 1.0, 0.3), peak * std::exp(-0.5), 1e-12);
}

TEST(Pgaus, IntegratesToOne) {
  // Midpoint rule over mean +- 8 sigma.
  const double step = 1e-4;
  double total = 0.0;
  for (double x = 1.0 - 2.4 + step / 2; x < 1.0 + 2.4; x += step)
    total += pgaus(x, 1.0, 0.3) * step;
  EXPECT_NEAR(total, 1.0, 1e-6);
}

}  // namespace
