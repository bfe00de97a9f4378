// Deliberate: float edges and errors, counts written as float;
// pow(count, 0.5) for the error, of the exact count in double (the same
// value as of the float count while it is exact, up to 2^24).
#include "gaussian_errors.h"

#include <cmath>
#include <iostream>

#include "console.h"
#include "data_file.h"
#include "program.h"
#include "text_line.h"

namespace {
const char kProgram[] = "gaussian_errors";
}  // namespace

GaussianErrors::GaussianErrors() : file_(kProgram, "gaussian_errors.dat") {}

bool GaussianErrors::ask() {
  if (!file_.is_open()) return false;
  if (!prompt_value(kProgram, "Enter the number of samples:", "the number of samples", N_) ||
      !prompt_value(kProgram, "Enter the centroid:", "the centroid", centroid_) ||
      !prompt_value(kProgram, "Enter the standard deviation", "the standard deviation", sigma_))
    return false;
  w_ = (sigma_ * 8.0) / 100.0;
  lo_ = sigma_ * (-4.0) + centroid_;
  return true;
}

int GaussianErrors::finish() {
  float edge[kBins] = {};
  float error[kBins] = {};
  for (int k = 0; k < kBins; k++) {
    edge[k] = k * w_ + lo_;
    error[k] = count_[k] == 0 ? 1 : pow(static_cast<double>(count_[k]), 0.5);
    const float count = static_cast<float>(count_[k]);
    TextLine line;
    line << edge[k] << " " << count << " " << error[k];
    print_line(line);
    file_.line(edge[k], count, error[k]);
  }
  return file_.close() ? 0 : 1;
}
