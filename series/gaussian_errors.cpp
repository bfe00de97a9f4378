// Deliberate: float edges and errors, counts written as float;
// pow(count, 0.5) for the error, of the exact count in double (the same
// value as of the float count while it is exact, up to 2^24).
#include "gaussian_errors.h"

#include <cfloat>
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

Answer GaussianErrors::ask() {
  if (!file_.is_open()) return Answer{1};
  if (Answer a = prompt_value(kProgram, "Enter the number of samples:", "the number of samples", N_); !a)
    return a;
  if (Answer a = prompt_value(kProgram, "Enter the centroid:", "the centroid", centroid_); !a)
    return a;
  if (Answer a = prompt_value(kProgram, "Enter the standard deviation", "the standard deviation",
                              sigma_);
      !a)
    return a;
  w_ = (sigma_ * 8.0) / kBins;
  lo_ = sigma_ * (-4.0) + centroid_;
  // Every edge as finish() works it out, in double, before it becomes a
  // float: one beyond FLT_MAX, or not a number (8 sigma past a double),
  // would be a conversion out of range.
  for (int k = 0; k < kBins; k++) {
    if (!(std::fabs(k * w_ + lo_) <= FLT_MAX)) {
      std::cerr << kProgram
                << ": the histogram's edges, the centroid +- 4 standard deviations, are beyond a "
                   "float's range"
                << std::endl;
      return Answer{2};
    }
  }
  return Answer{};
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
