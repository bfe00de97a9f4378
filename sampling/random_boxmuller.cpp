// Normal samples with mean 1 and standard deviation 0.3 by the Box-Muller
// transform, cosine branch only: every sample takes a fresh pair of deviates,
// the first setting the radius and the second the angle.
#include <cmath>

#include "rand_lcg.h"
#include "sampler_frame.h"

int main() {
  const double pi = 3.14159265;
  const double mean = 1.0;
  const double s = 0.3;

  return run_sampler("random_boxmuller", [&](long& state) {
    double u1 = rand_lcg(state);
    double t = -log(1.0 - u1);
    double u2 = rand_lcg(state);
    double radius = pow(((s * 2) * s) * t, 0.5);
    double angle = (pi * 2) * u2;
    return cos(angle) * radius + mean;
  });
}
