// colider takes no memory from the heap: its working vectors are plain
// locals. This program counts every operator new while a call runs, with
// many accepted collisions, in both forms, and with per-cell streams for a
// mixture of models, masses and a coefficient per cell.
#include <collide/colider.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size) {
  allocations++;
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

double rand(long& seed) {
  seed = static_cast<long>((16807LL * seed) % 2147483647);
  return seed / 2147483647.0;
}

namespace {

// 400 particles in 4 cells, with a stored maximum of 0.1 that nearly every
// pair outruns, so that nearly every candidate is accepted at first.
struct Gas {
  Matrix velocity{400, 3}, maxRelSpeed{4, 1}, selectRemainder{4, 1};
  SortList cells{4, 401};
  Gas() {
    std::mt19937_64 engine(5);
    std::normal_distribution<double> gauss(0.0, 1.0);
    for (int p = 1; p <= 400; p++)
      for (int k = 1; k <= 3; k++) velocity(p, k) = gauss(engine);
    for (int c = 1; c <= 4; c++) {
      cells.cellPopulation[c] = 100;
      cells.cellStart[c] = 1 + 100 * (c - 1);
      maxRelSpeed(c, 1) = 0.1;
    }
    for (int p = 1; p <= 400; p++) cells.crossRef[p] = p;
  }
};

TEST(ColiderAllocation, NoCallTakesMemoryFromTheHeap) {
  Gas classic, callable, mixed;
  int species[401];
  for (int p = 0; p <= 400; p++) species[p] = p % 2;
  const double mass[2] = {1.0, 3.0};
  const CollisionModel table[4] = {VHS(0.8, 1.0), VSS(0.75, 1.0, 1.5), VSS(0.75, 1.0, 1.5),
                                   HardSphere(0.5)};
  const Mixture mixture = {2, species, mass, table, 4};
  Matrix coeff(4, 1);
  for (int c = 1; c <= 4; c++) coeff(c, 1) = 1e-3 * c;
  std::mt19937_64 engine(11);
  std::uniform_real_distribution<double> uniform(0.0, 1.0);
  auto draw = [&] { return uniform(engine); };
  long seed = 1;

  const long before = allocations;
  // 100 * 1e-3 * 99 * 0.1 = 0.99 candidates per cell at first; each maximum
  // rises to the fastest pair seen, so later calls examine dozens.
  int collisions = 0;
  for (int call = 0; call < 20; call++) {
    collisions += colider(classic.velocity, classic.maxRelSpeed, 0.0, seed,
                          classic.selectRemainder, 1e-3, classic.cells);
    collisions += colider(callable.velocity, callable.maxRelSpeed, 0.0, draw,
                          callable.selectRemainder, 1e-3, callable.cells);
    collisions += colider_range(mixed.velocity, mixed.maxRelSpeed, mixed.selectRemainder, coeff,
                                mixed.cells, 1, 4, CellStreams{1, static_cast<unsigned>(call)},
                                mixture);
  }
  const long taken = allocations - before;
  EXPECT_GT(collisions, 1000) << "too few collisions to show anything";
  EXPECT_EQ(taken, 0) << "heap allocations inside " << collisions << " collisions";
}

}  // namespace
