// The gas's time step, with collisions from per-cell streams, the cells
// split among threads. Apart from gas.cpp, which a benchmark also builds
// against earlier versions of collide that have no per-cell streams.
#include <algorithm>
#include <cstdint>
#include <exception>
#include <thread>
#include <vector>

#include "gas.h"

int HardSphereGas::step() {
  stream();
  sort();
  return collide();
}

int HardSphereGas::collide() {
  const CellStreams streams = {static_cast<std::uint64_t>(parameters_.seed),
                               collide_calls_++};
  const int cells = parameters_.cells;
  const int threads = std::max(1, std::min(parameters_.threads, cells));
  std::vector<int> collisions(threads, 0);
  std::vector<std::exception_ptr> failures(threads);
  // Thread t takes cells first(t) to first(t + 1) - 1.
  auto first = [&](int t) { return 1 + static_cast<int>(static_cast<long long>(cells) * t / threads); };
  auto range = [&](int t) {
    try {
      const int from = first(t), to = first(t + 1) - 1;
      const double coeff = parameters_.select_coeff;
      const GasParameters& p = parameters_;
      if (p.mixture != nullptr && p.internal != nullptr) {
        collisions[t] = colider_range(velocity_, maxRelSpeed_, selectRemainder_, coeff, cells_,
                                      from, to, streams, *p.mixture, *p.internal);
      } else if (p.mixture != nullptr) {
        collisions[t] = colider_range(velocity_, maxRelSpeed_, selectRemainder_, coeff, cells_,
                                      from, to, streams, *p.mixture);
      } else {
        const CollisionModel model = p.model != nullptr ? *p.model : HardSphere();
        collisions[t] = p.internal != nullptr
                            ? colider_range(velocity_, maxRelSpeed_, selectRemainder_, coeff,
                                            cells_, from, to, streams, model, *p.internal)
                            : colider_range(velocity_, maxRelSpeed_, selectRemainder_, coeff,
                                            cells_, from, to, streams, model);
      }
    } catch (...) {
      failures[t] = std::current_exception();
    }
  };
  std::vector<std::thread> workers;
  for (int t = 1; t < threads; t++) workers.emplace_back(range, t);
  range(0);
  for (std::thread& worker : workers) worker.join();
  for (const std::exception_ptr& failure : failures)
    if (failure) std::rethrow_exception(failure);
  int total = 0;
  for (int n : collisions) total += n;
  return total;
}
