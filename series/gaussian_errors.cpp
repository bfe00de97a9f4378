// Histogram of Gaussian samples with square-root errors, the samples from
// ROOT's TRandom (seed 65539).
#include <TRandom.h>

#include <memory>

#include "gauss_histogram.h"

int main() {
  return run_gaussian_errors([] {
    auto random = std::make_shared<TRandom>(65539);
    return Gaussian([random](double mean, double sigma) { return random->Gaus(mean, sigma); });
  });
}
