// Samples of the sum of two uniform deviates: the triangular distribution on
// 0 to 2.
#include "rand_lcg.h"
#include "sampler_frame.h"

namespace {
const ProgramHelp kHelp = {
    "random_sum2", "",
    "samples of the sum of two uniform deviates",
    "Draws samples of the sum of two uniform deviates, triangular on 0 to 2.\n"
    SAMPLER_GENERATOR SAMPLER_DIALOGUE,
    SAMPLER_FAILURES};
}  // namespace

int main(int argc, char** argv) {
  start_program(argc, argv, kHelp);
  return run_sampler(kHelp.name, [](long& state) {
    double u1 = rand_lcg(state);
    double u2 = rand_lcg(state);
    return u1 + u2;
  });
}
