// colider against a reference written apart from it, straight from the
// collision step's description: on random cells, every collision count,
// velocity, maximum, remainder and generator state must agree to the last
// bit, for the call with rand(long&), for a callable that wraps the same
// rand, and for a callable over std::mt19937_64.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <random>
#include <thread>
#include <vector>

#include <collide/colider.h>

// This program's generator: the minimal standard one, in (0, 1).
double rand(long& seed) {
  seed = static_cast<long>((16807LL * seed) % 2147483647);  // in 64 bits: long has 32 on some systems
  return seed / 2147483647.0;
}

namespace {

struct Cells {
  std::vector<std::array<double, 3>> velocity;  // particle p at p - 1
  std::vector<double> max_speed, remainder;     // cell c at c - 1
  std::vector<std::vector<int>> members;        // particle numbers, cell by cell
};

// One call of the collision step, as its description states it. u(c) is the
// next deviate for cell c (counted from 0).
int reference_step(Cells& g, double coeff, const std::function<double(size_t)>& next) {
  int collisions = 0;
  for (size_t c = 0; c < g.members.size(); c++) {
    auto u = [&] { return next(c); };
    const std::vector<int>& cell = g.members[c];
    const int n = static_cast<int>(cell.size());
    if (n < 2) continue;
    const double s = static_cast<double>(n) * coeff * static_cast<double>(n - 1) * g.max_speed[c] +
                     g.remainder[c];
    const int candidates = static_cast<int>(s);
    g.remainder[c] = s - candidates;
    double running = g.max_speed[c];
    for (int m = 0; m < candidates; m++) {
      const int k1 = static_cast<int>(u() * static_cast<double>(n));
      const int k2 = (static_cast<int>(static_cast<double>(k1) + u() * static_cast<double>(n - 1)) + 1) % n;
      std::array<double, 3>& a = g.velocity[cell[k1] - 1];
      std::array<double, 3>& b = g.velocity[cell[k2] - 1];
      const double w =
          std::sqrt((std::pow(a[0] - b[0], 2) + std::pow(a[1] - b[1], 2)) + std::pow(a[2] - b[2], 2));
      if (w > running) running = w;
      if (w / g.max_speed[c] > u()) {
        collisions++;
        std::array<double, 3> centre, relative;
        for (int k = 0; k < 3; k++) centre[k] = (a[k] + b[k]) * 0.5;
        const double cos_theta = 1 - 2 * u();
        const double sin_theta = std::sqrt(1 - cos_theta * cos_theta);
        const double phi = u() * 6.283185308;
        relative = {w * cos_theta, (w * sin_theta) * std::cos(phi), (w * sin_theta) * std::sin(phi)};
        for (int k = 0; k < 3; k++) {
          a[k] = centre[k] + relative[k] * 0.5;
          b[k] = centre[k] + relative[k] * (-0.5);
        }
      }
      g.max_speed[c] = running;
    }
  }
  return collisions;
}

Cells random_cells(std::mt19937_64& engine) {
  std::uniform_int_distribution<int> particles(2, 300), cell_count(1, 12);
  std::normal_distribution<double> gauss(0.0, 1.0);
  std::uniform_real_distribution<double> uniform(0.0, 1.0);
  Cells g;
  const int n = particles(engine), cells = cell_count(engine);
  for (int p = 0; p < n; p++) g.velocity.push_back({gauss(engine), gauss(engine), gauss(engine)});
  g.members.resize(cells);
  std::vector<int> order(n);
  for (int p = 0; p < n; p++) order[p] = p + 1;
  std::shuffle(order.begin(), order.end(), engine);
  for (int p : order) g.members[std::uniform_int_distribution<int>(0, cells - 1)(engine)].push_back(p);
  for (int c = 0; c < cells; c++) {
    g.max_speed.push_back(0.5 + 3 * uniform(engine));
    g.remainder.push_back(uniform(engine));
  }
  return g;
}

// The same cells in colider's types.
struct Module {
  Matrix velocity, max_speed, remainder;
  SortList cells;
  explicit Module(const Cells& g)
      : velocity(static_cast<int>(g.velocity.size()), 3),
        max_speed(static_cast<int>(g.members.size()), 1),
        remainder(static_cast<int>(g.members.size()), 1),
        cells(static_cast<int>(g.members.size()), static_cast<int>(g.velocity.size()) + 1) {
    for (size_t p = 0; p < g.velocity.size(); p++)
      for (int k = 0; k < 3; k++) velocity(static_cast<int>(p) + 1, k + 1) = g.velocity[p][k];
    int position = 1;
    for (size_t c = 0; c < g.members.size(); c++) {
      const int cell = static_cast<int>(c) + 1;
      max_speed(cell, 1) = g.max_speed[c];
      remainder(cell, 1) = g.remainder[c];
      cells.cellPopulation[cell] = static_cast<int>(g.members[c].size());
      cells.cellStart[cell] = position;
      for (int p : g.members[c]) cells.crossRef[position++] = p;
    }
  }
};

void expect_same(const Cells& g, const Module& m, const std::string& where) {
  for (size_t p = 0; p < g.velocity.size(); p++)
    for (int k = 0; k < 3; k++)
      ASSERT_EQ(m.velocity(static_cast<int>(p) + 1, k + 1), g.velocity[p][k]) << where << ", particle " << p + 1;
  for (size_t c = 0; c < g.members.size(); c++) {
    ASSERT_EQ(m.max_speed(static_cast<int>(c) + 1, 1), g.max_speed[c]) << where << ", cell " << c + 1;
    ASSERT_EQ(m.remainder(static_cast<int>(c) + 1, 1), g.remainder[c]) << where << ", cell " << c + 1;
  }
}

TEST(ColiderReference, BitIdenticalOnRandomCellsWithEveryKindOfGenerator) {
  std::mt19937_64 engine(20261208);
  long accepted = 0;
  for (int trial = 0; trial < 300; trial++) {
    const Cells start = random_cells(engine);
    const double coeff = std::uniform_real_distribution<double>(0.0, 0.05)(engine);
    const long first_seed = std::uniform_int_distribution<long>(1, 2147483646)(engine);
    const std::string where = "trial " + std::to_string(trial);

    Cells expected = start;
    Module with_seed(start), with_wrapper(start), with_engine(start);
    Cells expected_engine = start;
    long reference_seed = first_seed, seed = first_seed, wrapped_seed = first_seed;
    std::mt19937_64 reference_engine(trial), module_engine(trial);
    std::uniform_real_distribution<double> reference_uniform, module_uniform;
    for (int call = 0; call < 3; call++) {
      const int collisions =
          reference_step(expected, coeff, [&](size_t) { return rand(reference_seed); });
      accepted += collisions;
      EXPECT_EQ(colider(with_seed.velocity, with_seed.max_speed, 0.0, seed, with_seed.remainder,
                        coeff, with_seed.cells),
                collisions) << where;
      EXPECT_EQ(colider(with_wrapper.velocity, with_wrapper.max_speed, 0.0,
                        [&wrapped_seed] { return rand(wrapped_seed); }, with_wrapper.remainder,
                        coeff, with_wrapper.cells),
                collisions) << where;
      EXPECT_EQ(reference_step(expected_engine, coeff,
                               [&](size_t) { return reference_uniform(reference_engine); }),
                colider(with_engine.velocity, with_engine.max_speed, 0.0,
                        [&] { return module_uniform(module_engine); }, with_engine.remainder,
                        coeff, with_engine.cells)) << where;
    }
    EXPECT_EQ(seed, reference_seed) << where;
    EXPECT_EQ(wrapped_seed, reference_seed) << where;
    expect_same(expected, with_seed, where + ", rand(long&)");
    expect_same(expected, with_wrapper, where + ", a callable over rand(long&)");
    expect_same(expected_engine, with_engine, where + ", a callable over mt19937_64");
  }
  EXPECT_GT(accepted, 10000) << "the trials must collide often enough to test anything";
}

// Philox4x64-10 written here from its published definition, apart from the
// library's: ten rounds of two 64 x 64 -> 128-bit products, the key bumped
// by the Weyl constants between rounds.
using Block = std::array<uint64_t, 4>;

void multiply(uint64_t a, uint64_t b, uint64_t& high, uint64_t& low) {
  const uint64_t a0 = a & 0xffffffffu, a1 = a >> 32, b0 = b & 0xffffffffu, b1 = b >> 32;
  const uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  const uint64_t middle = (p00 >> 32) + (p01 & 0xffffffffu) + (p10 & 0xffffffffu);
  low = (middle << 32) | (p00 & 0xffffffffu);
  high = p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32);
}

Block philox4x64(Block counter, std::array<uint64_t, 2> key) {
  for (int round = 0; round < 10; round++) {
    if (round > 0) key = {key[0] + 0x9E3779B97F4A7C15u, key[1] + 0xBB67AE8584CAA73Bu};
    uint64_t high0, low0, high1, low1;
    multiply(0xD2E7470EE14C6C93u, counter[0], high0, low0);
    multiply(0xCA5A826395121157u, counter[2], high1, low1);
    counter = {high1 ^ counter[1] ^ key[0], low1, high0 ^ counter[3] ^ key[1], low0};
  }
  return counter;
}

// Cell c's deviates: counters {c, 0, 0, 0}, {c, 1, 0, 0}, ..., four words a
// block, each word x giving (x >> 11) 2^-53.
struct ReferenceStream {
  uint64_t key, step, cell, block = 0;
  int used = 4;
  Block words{};
  double operator()() {
    if (used == 4) words = philox4x64({cell, block++, 0, 0}, {key, step}), used = 0;
    return static_cast<double>(words[used++] >> 11) / 9007199254740992.0;
  }
};

TEST(CellStreams, PhiloxMatchesItsPublishedKnownAnswer) {
  // Random123's known-answer vector for counter 0 and key 0.
  EXPECT_EQ(philox4x64({0, 0, 0, 0}, {0, 0}),
            (Block{0x16554d9eca36314cu, 0xdb20fe9d672d0fdcu, 0xd7e772cee186176bu,
                   0x7e68b68aec7ba23bu}));
}

// The same gas through colider_range, with the cells split into random
// ranges, done in random order, some of them on threads of their own.
void collide_in_pieces(Module& m, double coeff, CellStreams streams, std::mt19937_64& engine) {
  const int cells = m.cells.numCells;
  std::vector<std::pair<int, int>> ranges;
  for (int first = 1; first <= cells;) {
    const int last = std::uniform_int_distribution<int>(first - 1, cells)(engine);
    ranges.push_back({first, last});  // may be empty
    first = last + 1;
  }
  std::shuffle(ranges.begin(), ranges.end(), engine);
  std::vector<std::thread> threads;
  for (size_t r = 0; r < ranges.size(); r++) {
    auto piece = [&m, coeff, streams, range = ranges[r]] {
      colider_range(m.velocity, m.max_speed, m.remainder, coeff, m.cells, range.first,
                    range.second, streams);
    };
    if (r % 2 == 0) threads.emplace_back(piece); else piece();
  }
  for (std::thread& t : threads) t.join();
}

TEST(CellStreams, BitIdenticalToTheReferenceHoweverTheCellsAreSplit) {
  std::mt19937_64 engine(20261209);
  long accepted = 0;
  for (int trial = 0; trial < 100; trial++) {
    const Cells start = random_cells(engine);
    const double coeff = std::uniform_real_distribution<double>(0.0, 0.05)(engine);
    const CellStreams streams = {engine(), static_cast<uint64_t>(trial)};
    const std::string where = "trial " + std::to_string(trial);

    Cells expected = start;
    std::map<size_t, ReferenceStream> per_cell;
    for (size_t c = 0; c < start.members.size(); c++)
      per_cell[c] = ReferenceStream{streams.key, streams.step, c};
    const int collisions = reference_step(expected, coeff, [&](size_t c) { return per_cell[c](); });
    accepted += collisions;

    Module whole(start), pieces(start);
    EXPECT_EQ(colider_range(whole.velocity, whole.max_speed, whole.remainder, coeff, whole.cells,
                            1, whole.cells.numCells, streams),
              collisions) << where;
    collide_in_pieces(pieces, coeff, streams, engine);
    expect_same(expected, whole, where + ", one range");
    expect_same(expected, pieces, where + ", split among threads");
  }
  EXPECT_GT(accepted, 3000) << "the trials must collide often enough to test anything";
}

TEST(CellStreams, ARangeOutsideTheCellsIsRefused) {
  Cells g;
  g.velocity = {{0, 0, 0}, {1, 0, 0}};
  g.members = {{1, 2}, {}};
  g.max_speed = {1, 1};
  g.remainder = {0, 0};
  Module m(g);
  const int ranges[][2] = {{0, 1}, {1, 3}, {2, 0}};
  for (const auto& r : ranges) {
    try {
      colider_range(m.velocity, m.max_speed, m.remainder, 0.5, m.cells, r[0], r[1], {1, 1});
      ADD_FAILURE() << r[0] << " to " << r[1] << " was taken";
    } catch (const ColiderError& refused) {
      EXPECT_EQ(std::string(refused.what()),
                "colider_range: cells " + std::to_string(r[0]) + " to " + std::to_string(r[1]) +
                    " are not a range within 1 to numCells = 2");
    }
  }
  // An empty range at either end is a range.
  EXPECT_EQ(colider_range(m.velocity, m.max_speed, m.remainder, 0.5, m.cells, 3, 2, {1, 1}), 0);
  EXPECT_EQ(colider_range(m.velocity, m.max_speed, m.remainder, 0.5, m.cells, 1, 0, {1, 1}), 0);
  EXPECT_EQ(m.remainder(1, 1), 0.0) << "nothing done";
}

}  // namespace
