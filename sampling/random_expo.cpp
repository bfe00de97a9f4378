// Exponential samples with mean 1 by inverse transform. The scale multiplies,
// so it is the distribution's mean, not its rate.
//
// Deliberate: (-scale) * log(1.0 - u1).
#include <cmath>

#include "rand_lcg.h"
#include "sampler_frame.h"

namespace {
const ProgramHelp kHelp = {
    "random_expo", "",
    "exponential samples by inverse transform",
    "Draws exponential samples with mean 1 by inverse transform:\n"
    "-log(1 - u) for a uniform deviate u.\n"
    SAMPLER_GENERATOR SAMPLER_DIALOGUE,
    SAMPLER_FAILURES};
}  // namespace

int main(int argc, char** argv) {
  start_program(argc, argv, kHelp);
  const double scale = 1.0;

  return run_sampler(kHelp.name, [&](long& state) {
    double u1 = rand_lcg(state);
    return (-scale) * log(1.0 - u1);
  });
}
