// Minimal standard multiplicative congruential generator (Park and Miller,
// "Random number generators: good ones are hard to find", CACM 31, 1988):
//
//   state' = 16807 * state mod 2147483647,   deviate = state' / 2147483647
//
// Period 2147483646 over the states 1 .. 2147483646; every deviate lies
// strictly between 0 and 1. From state 1 the 10000th state is 1043618065.
//
// The step is computed in double precision with fmod. Inside the cycle the
// product stays below 2^46, so it and its remainder are exact and the step
// equals the integer congruence. Outside the cycle the double expression is
// what counts: 0 is a fixed point, negative states stay negative (fmod keeps
// the sign of the product), and for |state| above 2^53 / 16807 the product
// is rounded before the remainder is taken. The remainder's magnitude is
// always below the modulus, so the conversion back to long is always defined.
//
// Deliberate: the step in double precision with fmod, not in integers.
#include "rand_lcg.h"

#include <cmath>

double rand_lcg(long& state) {
  const double multiplier = 16807.0;
  const double modulus = 2147483647.0;
  double product = static_cast<double>(state) * multiplier;
  state = static_cast<long>(std::fmod(product, modulus));
  return static_cast<double>(state) / modulus;
}
