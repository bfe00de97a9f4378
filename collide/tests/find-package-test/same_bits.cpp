// A small gas collided ten times, five with each form of colider, writing
// every velocity, maximum and remainder as exact hexadecimal to the file
// named by its argument. Builds of the library and of this program with
// different flags must write the same file. Only colider rounds anything:
// the start values and both generators use exact operations alone, so that
// this program's own flags (even -ffast-math) cannot change a bit.
#include <collide/colider.h>

#include <cstdint>
#include <cstdio>

// Minimal standard states, scaled by 2^-31 (exact): deviates in (0, 1).
double rand(long& seed) {
  seed = static_cast<long>((16807LL * seed) % 2147483647);
  return seed * 0x1.0p-31;
}

namespace {

// xorshift64*, top 53 bits scaled by 2^-53 (exact): deviates in [0, 1).
struct Xorshift {
  std::uint64_t state;
  double operator()() {
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    return static_cast<double>((state * 0x2545F4914F6CDD1DULL) >> 11) * 0x1.0p-53;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: same_bits FILE\n");
    return 2;
  }
  const int particles = 600, cell_count = 6;
  Matrix velocity(particles, 3), maxRelSpeed(cell_count, 1), selectRemainder(cell_count, 1);
  long seed = 1;
  for (int p = 1; p <= particles; p++)  // multiples of 1/256 in [-4, 4)
    for (int k = 1; k <= 3; k++) velocity(p, k) = (static_cast<int>(rand(seed) * 2048) - 1024) / 256.0;
  SortList cells(cell_count, particles + 1);
  for (int c = 1; c <= cell_count; c++) {
    cells.cellPopulation[c] = particles / cell_count;
    cells.cellStart[c] = 1 + (c - 1) * (particles / cell_count);
    maxRelSpeed(c, 1) = 2.0;
    selectRemainder(c, 1) = 0.5;
  }
  for (int position = 1; position <= particles; position++)  // scattered over the rows
    cells.crossRef[position] = 1 + (position * 7) % particles;

  Xorshift xorshift = {88172645463325252ULL};
  long collisions = 0;
  for (int call = 0; call < 10; call++) {
    collisions += call % 2 == 0
        ? colider(velocity, maxRelSpeed, 0.0, seed, selectRemainder, 0.005, cells)
        : colider(velocity, maxRelSpeed, 0.0, xorshift, selectRemainder, 0.005, cells);
  }

  std::FILE* out = std::fopen(argv[1], "w");
  if (out == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  std::fprintf(out, "collisions %ld, seed %ld\n", collisions, seed);
  for (int c = 1; c <= cell_count; c++)
    std::fprintf(out, "cell %d: %a %a\n", c, maxRelSpeed(c, 1), selectRemainder(c, 1));
  for (int p = 1; p <= particles; p++)
    std::fprintf(out, "%d: %a %a %a\n", p, velocity(p, 1), velocity(p, 2), velocity(p, 3));
  const bool written = std::fclose(out) == 0;
  std::printf("collisions %ld\n", collisions);
  return written && collisions > 1000 ? 0 : 1;
}
