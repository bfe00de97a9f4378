// Samples of the sum of two uniform deviates: the triangular distribution on
// 0 to 2.
#include "rand_lcg.h"
#include "sampler_frame.h"

int main() {
  return run_sampler("random_sum2", [](long& state) {
    double u1 = rand_lcg(state);
    double u2 = rand_lcg(state);
    return u1 + u2;
  });
}
