// libFuzzer target for colider. Each input becomes one call within the
// module's contract: 1 to 40 particles with arbitrary finite velocities, 0 to
// 6 cells holding every particle once, per-cell maxima and remainders, a
// selection coefficient small enough to keep the candidates per cell in the
// tens, and the deviates themselves, anywhere in [0, 1). The call must not
// trip a sanitizer, and total momentum and energy must come out unchanged
// to 1e-9 of their scale.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <collide/colider.h>

#include "gas.h"

namespace {

std::vector<double> scripted;
size_t next_deviate = 0;
uint64_t fallback = 0;

void check(bool ok, const char* what, double observed, double expected) {
  if (ok) return;
  std::fprintf(stderr, "%s: %.17g, expected %.17g\n", what, observed, expected);
  std::abort();
}

}  // namespace

// Deviates from the input first, then from a fixed 64-bit LCG, in [0, 1).
double rand(long& seed) {
  seed++;
  if (next_deviate < scripted.size()) return scripted[next_deviate++];
  fallback = fallback * 6364136223846793005ULL + 1442695040888963407ULL;
  return static_cast<double>(fallback >> 11) * 0x1.0p-53;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const int particles = in.ConsumeIntegralInRange(1, 40);
  const int cells = in.ConsumeIntegralInRange(0, 6);

  Matrix velocity(particles, 3);
  for (int p = 1; p <= particles; p++) {
    for (int k = 1; k <= 3; k++) {
      double v = in.ConsumeFloatingPoint<double>();
      velocity(p, k) = std::isfinite(v) ? std::clamp(v, -1e100, 1e100) : 0.0;
    }
  }

  // Every particle in one cell, grouped by cell (none without cells).
  SortList list(cells, particles + 1);
  std::vector<int> cell_of;
  for (int p = 1; p <= particles && cells > 0; p++) cell_of.push_back(in.ConsumeIntegralInRange(1, cells));
  sort_into_cells(cell_of.data(), static_cast<int>(cell_of.size()), list);

  Matrix maxRelSpeed(std::max(cells, 1), 1);
  Matrix selectRemainder(std::max(cells, 1), 1);
  double largest = 0;
  for (int c = 1; c <= std::max(cells, 1); c++) {
    maxRelSpeed(c, 1) = in.ConsumeFloatingPointInRange(0.0, 1e120);
    selectRemainder(c, 1) = in.ConsumeProbability<double>() * 0.999;
    if (c <= cells) {
      double n = list.cellPopulation[c];
      largest = std::max(largest, n * (n - 1) * maxRelSpeed(c, 1));
    }
  }
  const double selectCoeff = largest > 0 ? in.ConsumeProbability<double>() * 30 / largest : 0.5;

  scripted.clear();
  next_deviate = 0;
  fallback = size;
  while (in.remaining_bytes() > 0)
    scripted.push_back(std::min(in.ConsumeProbability<double>(), 0x1.fffffffffffffp-1));

  double momentum[3] = {0, 0, 0}, scale[3] = {0, 0, 0}, energy = 0;
  for (int p = 1; p <= particles; p++) {
    for (int k = 1; k <= 3; k++) {
      momentum[k - 1] += velocity(p, k);
      scale[k - 1] += std::fabs(velocity(p, k));
      energy += velocity(p, k) * velocity(p, k);
    }
  }

  long seed = 0;
  int collisions = colider(velocity, maxRelSpeed, 0.0, seed, selectRemainder, selectCoeff, list);
  check(collisions >= 0, "collisions", collisions, 0);

  double energy_after = 0;
  for (int k = 1; k <= 3; k++) {
    double total = 0;
    for (int p = 1; p <= particles; p++) total += velocity(p, k);
    check(std::fabs(total - momentum[k - 1]) <= 1e-9 * scale[k - 1] + 1e-300, "momentum",
          total, momentum[k - 1]);
  }
  for (int p = 1; p <= particles; p++)
    for (int k = 1; k <= 3; k++) energy_after += velocity(p, k) * velocity(p, k);
  check(std::fabs(energy_after - energy) <= 1e-9 * energy + 1e-300, "energy", energy_after, energy);
  return 0;
}
