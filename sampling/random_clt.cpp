// Approximately standard normal samples as a scaled sum of 48 uniform
// deviates (central limit theorem): each term sqrt(12/48) * (u - 0.5) has
// variance 1/48, so the sum has mean 0 and variance 1.
//
// Deliberate: pow(12.0 / 48, 0.5) recomputed for every term.
#include <cmath>

#include "rand_lcg.h"
#include "sampler_frame.h"

namespace {
const ProgramHelp kHelp = {
    "random_clt", "",
    "approximately normal samples as a sum of 48 uniform deviates",
    "Draws approximately standard normal samples, each the sum of 48 uniform\n"
    "deviates scaled by sqrt(12/48) about their mean (central limit theorem).\n"
    SAMPLER_GENERATOR SAMPLER_DIALOGUE,
    SAMPLER_FAILURES};
}  // namespace

int main(int argc, char** argv) {
  start_program(argc, argv, kHelp);
  const int terms = 48;

  return run_sampler(kHelp.name, [&](long& state) {
    double sum = 0.0;
    for (int j = 0; j < terms; j++) {
      double u = rand_lcg(state);
      sum = pow(12.0 / terms, 0.5) * (u - 0.5) + sum;
    }
    return sum;
  });
}
