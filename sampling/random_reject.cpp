// Normal samples with mean 1 and standard deviation 0.3 by rejection: a point
// proposed uniformly on mean +- 6 sigma is accepted with probability
// pgaus(x) / pgaus(mean). The acceptance rate is sqrt(2 pi) / 12 (about
// 0.2089), so the tries per point approach 12 / sqrt(2 pi), about 4.787.
// Every try draws two deviates; the run ends with the total tries and the
// tries per point.
//
// Deliberate: the bounds as sigma * (-6) + mean and sigma * 6 + mean.
#include <iostream>

#include "computed_nan.h"
#include "pgaus.h"

#include "rand_lcg.h"
#include "program.h"
#include "sampler_frame.h"
#include "text_line.h"

namespace {
const ProgramHelp kHelp = {
    "random_reject", "",
    "normal samples by rejection, with the tries per point",
    "Draws normal samples with mean 1 and standard deviation 0.3 by rejection:\n"
    "a point proposed uniformly on mean +- 6 sigma is accepted with probability\n"
    "equal to the normal density there over its peak. Every try draws two\n"
    "deviates; after the samples a last line gives the total number of tries\n"
    "and the tries per point (about 4.787 for a large count).\n"
    SAMPLER_GENERATOR SAMPLER_DIALOGUE,
    SAMPLER_FAILURES};
}  // namespace

int main(int argc, char** argv) {
  start_program(argc, argv, kHelp);
  const double mean = 1.0;
  const double sigma = 0.3;
  const double lower = sigma * (-6) + mean;
  const double upper = sigma * 6 + mean;
  const double peak = pgaus(mean, mean, sigma);
  double tries = 0.0;

  auto sample = [&](long& state) {
    double y = 1.0;
    double ratio = 0.0;
    double x = 0.0;
    while (y > ratio) {
      tries = tries + 1.0;
      double u1 = rand_lcg(state);
      x = (upper - lower) * u1 + lower;
      double p = pgaus(x, mean, sigma);
      y = rand_lcg(state);
      ratio = p / peak;
    }
    return x;
  };

  auto summary = [&](int count) {
    double per_point = as_computed_on_x86(tries / count);  // 0/0 for a count of 0
    TextLine line;
    line << "Total number of tries: " << tries << " Tries per point: " << per_point;
    print_line(line);
  };

  return run_sampler(kHelp.name, sample, summary);
}
