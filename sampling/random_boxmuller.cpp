// Normal samples with mean 1 and standard deviation 0.3 by the Box-Muller
// transform, cosine branch only: every sample takes a fresh pair of deviates,
// the first setting the radius and the second the angle.
//
// Deliberate: pi as 3.14159265, pow(x, 0.5) for the root, log(1 - u1).
#include <cmath>

#include "rand_lcg.h"
#include "sampler_frame.h"

namespace {
const ProgramHelp kHelp = {
    "random_boxmuller", "",
    "normal samples by the Box-Muller transform",
    "Draws normal samples with mean 1 and standard deviation 0.3 by the\n"
    "Box-Muller transform, cosine branch only: each sample takes a fresh pair\n"
    "of uniform deviates.\n"
    SAMPLER_GENERATOR SAMPLER_DIALOGUE,
    SAMPLER_FAILURES};
}  // namespace

int main(int argc, char** argv) {
  start_program(argc, argv, kHelp);
  const double pi = 3.14159265;
  const double mean = 1.0;
  const double s = 0.3;

  return run_sampler(kHelp.name, [&](long& state) {
    double u1 = rand_lcg(state);
    double t = -log(1.0 - u1);
    double u2 = rand_lcg(state);
    double radius = pow(((s * 2) * s) * t, 0.5);
    double angle = (pi * 2) * u2;
    return cos(angle) * radius + mean;
  });
}
