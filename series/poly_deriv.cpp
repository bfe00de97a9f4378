// Noisy cubic and its derivative, with Gaussian noise from ROOT's TRandom
// (seed 65539).
#include <TRandom.h>

#include <memory>

#include "noisy_poly.h"

int main() {
  return run_poly_deriv([] {
    auto random = std::make_shared<TRandom>(65539);
    return Gaussian([random](double mean, double sigma) { return random->Gaus(mean, sigma); });
  });
}
