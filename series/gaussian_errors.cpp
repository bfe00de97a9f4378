// The constants, pow calls and operand order here (float counts, pow(count,
// 0.5)) are kept as they are so that the output stays byte for byte the same.
#include "gaussian_errors.h"

#include <cmath>
#include <iostream>

#include "console.h"
#include "data_file.h"
#include "program.h"
#include "text_line.h"

namespace {
const char kProgram[] = "gaussian_errors";
const int kBins = 100;
}  // namespace

// Decided in double, so that no value, however far out, is converted to an
// int it does not fit.
int histogram_bin(double q) {
  if (!(q >= 0)) return 0;  // below the histogram, or not a number
  if (q >= kBins - 1) return kBins - 1;
  return static_cast<int>(q);
}

int run_gaussian_errors(const Gaussian& gaus) {
  DataFile file(kProgram, "gaussian_errors.dat");
  if (!file.is_open()) return 1;

  int N = 0;
  double centroid = 0;
  double sigma = 0;
  if (!prompt_value(kProgram, "Enter the number of samples:", "the number of samples", N) ||
      !prompt_value(kProgram, "Enter the centroid:", "the centroid", centroid) ||
      !prompt_value(kProgram, "Enter the standard deviation", "the standard deviation", sigma))
    return 1;

  const double w = (sigma * 8.0) / 100.0;
  const double lo = sigma * (-4.0) + centroid;
  float edge[kBins] = {};
  float count[kBins] = {};
  float error[kBins] = {};

  for (int i = 0; i < N; i++) {
    double g = gaus(centroid, sigma);
    double q = (g - lo) / w;
    int k = histogram_bin(q);
    count[k] = count[k] + 1;
  }

  for (int k = 0; k < kBins; k++) {
    edge[k] = k * w + lo;
    error[k] = count[k] == 0 ? 1 : pow(count[k], 0.5);
    TextLine line;
    line << edge[k] << " " << count[k] << " " << error[k];
    print_line(line);
    file.line(edge[k], count[k], error[k]);
  }

  return file.close() ? 0 : 1;
}
