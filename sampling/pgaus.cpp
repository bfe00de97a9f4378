// The normal probability density,
//
//   pgaus(x, mean, sigma) = exp(-(x - mean)^2 / (2 sigma^2)) / (sqrt(2 pi) sigma),
//
// with pi taken as 3.14159265; pgaus(1, 1, 0.3) is about 1.32981. The
// shortened pi, pow(., 0.5) for the root and the order of every product are
// kept as they are, so that the samples random_reject prints stay the same
// to the last digit.
#include "pgaus.h"

#include <cmath>

double pgaus(double x, double mean, double sigma) {
  double norm = 1 / (pow(3.14159265 * 2, 0.5) * sigma);
  double exponent = (-(x - mean)) * (x - mean) / ((sigma * 2) * sigma);
  return norm * exp(exponent);
}
