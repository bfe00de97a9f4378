// Exponential samples with mean 1 by inverse transform. The scale multiplies,
// so it is the distribution's mean, not its rate.
#include <cmath>

#include "rand_lcg.h"
#include "sampler_frame.h"

int main() {
  const double scale = 1.0;

  return run_sampler("random_expo", [&](long& state) {
    double u1 = rand_lcg(state);
    return (-scale) * log(1.0 - u1);
  });
}
