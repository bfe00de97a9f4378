// The simulation's uniform generator for colider: the minimal standard
// multiplicative congruential generator (multiplier 16807, modulus 2^31 - 1),
// in integer arithmetic. Its deviates lie in (0, 1), inside the [0, 1) that
// colider requires. From seed 1 the 10000th state is 1043618065.
#include <collide/colider.h>

double rand(long& seed) {
  seed = static_cast<long>((16807LL * seed) % 2147483647);  // in 64 bits: long has 32 on some systems
  return seed / 2147483647.0;
}
