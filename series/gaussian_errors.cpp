// Deliberate: float counts, edges and errors; pow(count, 0.5) for the error.
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
    error[k] = count_[k] == 0 ? 1 : pow(count_[k], 0.5);
    TextLine line;
    line << edge[k] << " " << count_[k] << " " << error[k];
    print_line(line);
    file_.line(edge[k], count_[k], error[k]);
  }
  return file_.close() ? 0 : 1;
}
