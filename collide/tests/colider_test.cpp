// colider driven by a scripted generator: every deviate is chosen by the
// test, and the seed counts how many were drawn.
#include "colider.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <limits>
#include <memory>
#include <random>
#include <regex>
#include <string>
#include <vector>

namespace {

std::vector<double> script;
size_t next_deviate = 0;

void play(std::vector<double> deviates) {
  script = std::move(deviates);
  next_deviate = 0;
}

}  // namespace

// The linking program's generator, here a script. Each draw adds 1 to the
// seed, so the seed tells how many deviates a call consumed.
double rand(long& seed) {
  seed += 1;
  if (next_deviate >= script.size()) {
    ADD_FAILURE() << "colider drew more deviates than scripted (" << script.size() << ")";
    return 0.5;
  }
  return script[next_deviate++];
}

namespace {

using Velocity = std::array<double, 3>;

// One simulation's state: particles 1..n, cells of given particle numbers.
struct Gas {
  Matrix velocity;
  Matrix maxRelSpeed;
  Matrix selectRemainder;
  std::unique_ptr<SortList> cells;

  Gas(const std::vector<Velocity>& velocities,
        const std::vector<std::vector<int>>& members, double maxSpeed,
        double remainder)
      : velocity(static_cast<int>(velocities.size()), 3),
        maxRelSpeed(std::max<int>(1, members.size()), 1),
        selectRemainder(std::max<int>(1, members.size()), 1) {
    for (size_t p = 0; p < velocities.size(); p++)
      for (int k = 0; k < 3; k++) velocity(p + 1, k + 1) = velocities[p][k];
    maxRelSpeed.set(maxSpeed);
    selectRemainder.set(remainder);
    int cellCount = static_cast<int>(members.size());
    cells = std::make_unique<SortList>(cellCount, velocities.size() + 1);
    int position = 1;
    for (int c = 1; c <= cellCount; c++) {
      cells->cellPopulation[c] = static_cast<int>(members[c - 1].size());
      cells->cellStart[c] = position;
      for (int p : members[c - 1]) cells->crossRef[position++] = p;
    }
  }

  Velocity v(int p) { return {velocity(p, 1), velocity(p, 2), velocity(p, 3)}; }

  // Runs colider and returns how many deviates it drew.
  long collide(double selectCoeff, int& collisions, double spare = 0.0) {
    long seed = 0;
    collisions = colider(velocity, maxRelSpeed, spare, seed, selectRemainder,
                         selectCoeff, *cells);
    EXPECT_EQ(next_deviate, script.size()) << "scripted deviates left unused";
    return seed;
  }
};

TEST(Colider, NoCellsOrNoPairsDrawNothing) {
  play({});
  Gas none({{1, 0, 0}}, {}, 1.0, 0.25);
  none.cells->numCells = 0;
  int collisions = -1;
  EXPECT_EQ(none.collide(1.0, collisions), 0);
  EXPECT_EQ(collisions, 0);

  // Four cells of 0 or 1 particle, but per-cell matrices of one row: reading
  // a cell's entry past row 1 would fail an assertion.
  Gas lonely({{1, 0, 0}, {0, 1, 0}}, {{1}}, 1.0, 0.25);
  lonely.cells = std::make_unique<SortList>(4, 3);
  const int population[] = {0, 0, 1, 0, 1};
  for (int c = 1; c <= 4; c++) {
    lonely.cells->cellPopulation[c] = population[c];
    lonely.cells->cellStart[c] = c == 2 ? 1 : 2;
  }
  lonely.cells->crossRef[1] = 1;
  lonely.cells->crossRef[2] = 2;
  EXPECT_EQ(lonely.collide(1.0, collisions), 0);
  EXPECT_EQ(collisions, 0);
  EXPECT_EQ(lonely.maxRelSpeed(1, 1), 1.0);
  EXPECT_EQ(lonely.selectRemainder(1, 1), 0.25);
  EXPECT_EQ(lonely.v(1), (Velocity{1, 0, 0}));
}

TEST(Colider, PairOfTwoAlwaysTakesTheOtherParticle) {
  for (double u1 : {0.0, 0.3, 0.5, 0.99999}) {
    for (double u2 : {0.0, 0.5, 0.99999}) {
      // Particles 2 and 5 share the cell; the others must not move. One
      // candidate (2 * 0.5 * 1 * 1), accepted (u3 = 0); u4 = 0.5 puts the new
      // relative velocity at right angles to x, u5 = 0 along y.
      play({u1, u2, 0.0, 0.5, 0.0});
      std::vector<Velocity> start = {{7, 7, 7}, {1, 0, 0}, {8, 8, 8},
                                     {9, 9, 9}, {-1, 0, 0}, {6, 6, 6}};
      Gas s(start, {{2, 5}}, 1.0, 0.0);
      int collisions = 0;
      EXPECT_EQ(s.collide(0.5, collisions), 5) << "u1 " << u1 << " u2 " << u2;
      EXPECT_EQ(collisions, 1);
      // The first particle drawn (k1 = 0: particle 2) gets +w/2 along y.
      int first = u1 < 0.5 ? 2 : 5, second = u1 < 0.5 ? 5 : 2;
      EXPECT_EQ(s.v(first), (Velocity{0, 1, 0})) << "u1 " << u1 << " u2 " << u2;
      EXPECT_EQ(s.v(second), (Velocity{0, -1, 0})) << "u1 " << u1 << " u2 " << u2;
      for (int p : {1, 3, 4, 6}) EXPECT_EQ(s.v(p), start[p - 1]) << p;
      EXPECT_EQ(s.maxRelSpeed(1, 1), 2.0) << "raised to the pair's speed";
    }
  }
}

TEST(Colider, CandidateCountCarriesItsFractionToTheNextCall) {
  // Relative speeds of at most 0.2 against a stored maximum of 1 and
  // u3 = 0.999: every candidate is rejected after its three deviates.
  const std::vector<double> reject = {0.1, 0.1, 0.999};
  auto candidates = [&](int n) {
    std::vector<double> deviates;
    for (int i = 0; i < n; i++)
      deviates.insert(deviates.end(), reject.begin(), reject.end());
    return deviates;
  };
  Gas s({{0, 0, 0}, {0.1, 0, 0}, {0.2, 0, 0}}, {{1, 2, 3}}, 1.0, 0.5);
  int collisions = -1;
  // 3 * 0.45 * 2 * 1 = 2.7, plus 0.5 carried: S = 3.2.
  play(candidates(3));
  EXPECT_EQ(s.collide(0.45, collisions), 9);
  EXPECT_EQ(collisions, 0);
  EXPECT_NEAR(s.selectRemainder(1, 1), 0.2, 1e-12);
  // 2.7 plus the 0.2 carried: S = 2.9, two candidates.
  play(candidates(2));
  EXPECT_EQ(s.collide(0.45, collisions), 6);
  EXPECT_NEAR(s.selectRemainder(1, 1), 0.9, 1e-12);
  EXPECT_EQ(s.maxRelSpeed(1, 1), 1.0) << "no candidate was faster";
}

TEST(Colider, FewerThanOneCandidateDrawsNothingAndStoresS) {
  // 2 * 0.1 * 1 * 1 + 0.3 = 0.5: no candidate, although the pair is faster
  // than the stored maximum.
  play({});
  Gas s({{0, 0, 0}, {5, 0, 0}}, {{1, 2}}, 1.0, 0.3);
  int collisions = -1;
  EXPECT_EQ(s.collide(0.1, collisions), 0);
  EXPECT_EQ(collisions, 0);
  EXPECT_NEAR(s.selectRemainder(1, 1), 0.5, 1e-15);
  EXPECT_EQ(s.maxRelSpeed(1, 1), 1.0);
  EXPECT_EQ(s.v(2), (Velocity{5, 0, 0}));
}

// Three particles: A at rest, B at 1.5 along x, C at 1.2 along y; stored
// maximum 1; 3 * (1/3) * 2 * 1 + 0.5 = 2.5, two candidates.
// Candidate 1 is (A, B), w = 1.5, faster than the stored maximum: accepted
// even with u3 just below 1; u4 = 0 sends the new relative velocity along x,
// so A and B swap velocities. The stored maximum becomes 1.5.
// Candidate 2 is (B, C), w = 1.2: 1.2 / 1.5 = 0.8 < u3 = 0.9, rejected. (The
// maximum from before the call, 1, would have accepted it.)
const std::vector<double> kFastThenSlow = {0.0,  0.0, 0.9999999, 0.0, 0.25,
                                           0.34, 0.0, 0.9};

TEST(Colider, AcceptanceDividesByTheStoredMaximumBeforeEachCandidate) {
  play(kFastThenSlow);
  Gas s({{0, 0, 0}, {1.5, 0, 0}, {0, 1.2, 0}}, {{1, 2, 3}}, 1.0, 0.5);
  int collisions = -1;
  EXPECT_EQ(s.collide(1.0 / 3, collisions), 8);
  EXPECT_EQ(collisions, 1);
  EXPECT_EQ(s.v(1), (Velocity{1.5, 0, 0}));
  EXPECT_EQ(s.v(2), (Velocity{0, 0, 0}));
  EXPECT_EQ(s.v(3), (Velocity{0, 1.2, 0}));
  EXPECT_EQ(s.maxRelSpeed(1, 1), 1.5);
}

TEST(Colider, EachCellKeepsItsOwnMaximum) {
  // Cell 1: one candidate of w = 3 against a stored 1, accepted whatever u3
  // is, raises cell 1's maximum. Cell 2: w = 0.5 against a stored 0.6 is
  // rejected and leaves cell 2's maximum alone.
  play({0.0, 0.0, 0.9, 0.5, 0.0, 0.0, 0.0, 0.9});
  Gas s({{0, 0, 0}, {3, 0, 0}, {0, 0, 0}, {0, 0, 0.5}}, {{1, 2}, {3, 4}}, 1.0,
          0.0);
  s.maxRelSpeed(2, 1) = 0.6;  // 0.5 / 0.6 = 0.83 < 0.9
  int collisions = -1;
  // Gas 1: 2 * 0.5 * 1 * 1 = 1; cell 2: 2 * 0.5 * 1 * 0.6 = 0.6 + 0.5.
  s.selectRemainder(2, 1) = 0.5;
  EXPECT_EQ(s.collide(0.5, collisions), 8);
  EXPECT_EQ(collisions, 1);
  EXPECT_EQ(s.maxRelSpeed(1, 1), 3.0);
  EXPECT_EQ(s.maxRelSpeed(2, 1), 0.6) << "0.5 is below the stored maximum";
  EXPECT_EQ(s.v(4), (Velocity{0, 0, 0.5})) << "rejected: unchanged";
}

TEST(Colider, SpareArgumentChangesNothing) {
  const double spares[] = {0.0, -1.0, 1e308, std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN()};
  std::vector<double> reference;
  for (double spare : spares) {
    play(kFastThenSlow);
    Gas s({{0, 0, 0}, {1.5, 0, 0}, {0, 1.2, 0}}, {{1, 2, 3}}, 1.0, 0.5);
    int collisions = -1;
    long draws = s.collide(1.0 / 3, collisions, spare);
    std::vector<double> result = {static_cast<double>(draws),
                                  static_cast<double>(collisions),
                                  s.maxRelSpeed(1, 1), s.selectRemainder(1, 1)};
    for (int p = 1; p <= 3; p++)
      for (int k = 1; k <= 3; k++) result.push_back(s.velocity(p, k));
    if (reference.empty()) reference = result;
    EXPECT_EQ(result, reference) << "spare " << spare;
  }
}

// Random pairs, random deviates from an independent generator: one accepted
// collision per call, checked against the laws it must keep.
TEST(Colider, EveryCollisionKeepsMomentumEnergyAndRelativeSpeed) {
  std::mt19937_64 engine(20261208);
  std::uniform_real_distribution<double> uniform(0.0, 1.0);
  std::normal_distribution<double> gauss(0.0, 1.0);
  for (int trial = 0; trial < 5000; trial++) {
    int n = 2 + trial % 9;
    std::vector<Velocity> start(n);
    for (auto& v : start) v = {gauss(engine), gauss(engine), gauss(engine)};
    std::vector<int> members(n);
    for (int p = 0; p < n; p++) members[p] = n - p;  // cell order != particle order
    double u1 = uniform(engine), u2 = uniform(engine);
    double u4 = uniform(engine), u5 = uniform(engine);
    play({u1, u2, 0.0, u4, u5});
    // 1 / (n (n - 1)) * n * (n - 1) * 1, plus 0.5: one candidate.
    Gas s(start, {members}, 1.0, 0.5);
    int collisions = 0;
    ASSERT_EQ(s.collide(1.0 / (n * (n - 1)), collisions), 5) << "trial " << trial;
    ASSERT_EQ(collisions, 1);

    int k1 = static_cast<int>(u1 * n);
    int k2 = (static_cast<int>(k1 + u2 * (n - 1)) + 1) % n;
    ASSERT_NE(k1, k2);
    int p1 = members[k1], p2 = members[k2];
    Velocity a = start[p1 - 1], b = start[p2 - 1];
    Velocity a2 = s.v(p1), b2 = s.v(p2);
    double w = 0, w2 = 0, energy = 0, energy2 = 0;
    for (int k = 0; k < 3; k++) {
      double scale = std::fabs(a[k]) + std::fabs(b[k]) + 1e-300;
      ASSERT_NEAR(a2[k] + b2[k], a[k] + b[k], 1e-12 * scale) << "trial " << trial;
      w += (a[k] - b[k]) * (a[k] - b[k]);
      w2 += (a2[k] - b2[k]) * (a2[k] - b2[k]);
      energy += a[k] * a[k] + b[k] * b[k];
      energy2 += a2[k] * a2[k] + b2[k] * b2[k];
    }
    w = std::sqrt(w), w2 = std::sqrt(w2);
    ASSERT_NEAR(energy2, energy, 1e-12 * energy) << "trial " << trial;
    ASSERT_NEAR(w2, w, 1e-12 * w) << "trial " << trial;
    // The new relative velocity's x component is w cos(theta), 1 - 2 u4.
    ASSERT_NEAR((a2[0] - b2[0]) / w, 1 - 2 * u4, 1e-9) << "trial " << trial;
    for (int p = 1; p <= n; p++) {
      if (p == p1 || p == p2) continue;
      ASSERT_EQ(s.v(p), start[p - 1]) << "trial " << trial;
    }
  }
}

// A caller's slips. Particles 1 and 2 (speeds 0 and 1) share cell 1; one
// candidate, accepted (u3 = 0), so all five deviates are drawn unless a slip
// stops the call first. Each message is a regular expression.
struct Slip {
  const char* what;
  std::vector<double> deviates;
  std::function<void(Gas&, double& selectCoeff)> spoil;
  const char* message;
};

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
const std::vector<double> kOneCollision = {0.0, 0.0, 0.0, 0.5, 0.5};

// Slips that colider reports by throwing ColiderError.
const Slip kRefusals[] = {
    {"a deviate of exactly 1, as rand() / RAND_MAX can give", {1.0, 0.0, 0.0, 0.5, 0.5}, nullptr,
     "^colider: u1, the first particle's deviate, is 1 in cell 1; a deviate must lie in \\[0, 1\\)$"},
    {"a second deviate of 1", {0.0, 1.0, 0.0, 0.5, 0.5}, nullptr,
     "^colider: u2, the second particle's deviate, is 1 in cell 1"},
    {"a negative acceptance deviate", {0.0, 0.0, -0.25, 0.5, 0.5}, nullptr,
     "^colider: u3, the acceptance deviate, is -0.25 in cell 1"},
    {"a polar deviate above 1", {0.0, 0.0, 0.0, 1.5, 0.5}, nullptr,
     "^colider: u4, the polar deviate, is 1.5 in cell 1"},
    {"an azimuth deviate that is not a number", {0.0, 0.0, 0.0, 0.5, kNaN}, nullptr,
     "^colider: u5, the azimuth deviate, is -?nan in cell 1"},
    {"selectCoeff not a number", {}, [](Gas&, double& coeff) { coeff = kNaN; },
     "^colider: selectCoeff is -?nan in cell 1; it must be finite$"},
    {"selectCoeff infinite", {}, [](Gas&, double& coeff) { coeff = kInf; },
     "^colider: selectCoeff is inf in cell 1; it must be finite$"},
    {"a negative cellStart", {}, [](Gas& gas, double&) { gas.cells->cellStart[1] = -3; },
     "^colider: cellStart is -3 in cell 1; it must not be negative$"},
    {"maxRelSpeed not a number (one bad estimate)", {},
     [](Gas& gas, double&) { gas.maxRelSpeed(1, 1) = kNaN; },
     "^colider: maxRelSpeed is -?nan in cell 1; it must be finite$"},
    {"maxRelSpeed infinite", {}, [](Gas& gas, double&) { gas.maxRelSpeed(1, 1) = -kInf; },
     "^colider: maxRelSpeed is -inf in cell 1; it must be finite$"},
    {"selectRemainder not a number", {}, [](Gas& gas, double&) { gas.selectRemainder(1, 1) = kNaN; },
     "^colider: selectRemainder is -?nan in cell 1; it must be finite$"},
    {"selectRemainder infinite", {}, [](Gas& gas, double&) { gas.selectRemainder(1, 1) = kInf; },
     "^colider: selectRemainder is inf in cell 1; it must be finite$"},
    {"a selectCoeff of 1e300, a units slip", {}, [](Gas&, double& coeff) { coeff = 1e300; },
     "^colider: the expected candidate count .* is 2e\\+300 in cell 1 \\(N = 2, selectCoeff = "
     "1e\\+300, maxRelSpeed = 1, selectRemainder = 0\\); it must fit a 32-bit count$"},
    {"a candidate count of exactly 2^31", {}, [](Gas&, double& coeff) { coeff = 1073741824.0; },
     "^colider: the expected candidate count .* is 2147483648 in cell 1"},
    {"finite factors whose product overflows", {},
     [](Gas& gas, double& coeff) { coeff = 1e300, gas.maxRelSpeed(1, 1) = 1e300; },
     "^colider: the expected candidate count .* is inf in cell 1"},
    {"a candidate count below the smallest int", {},
     [](Gas&, double& coeff) { coeff = -1073741824.5; },
     "^colider: the expected candidate count .* is -2147483649 in cell 1"},
};

// Slips that Matrix's checks catch: they abort, as Matrix always has.
const Slip kMatrixSlips[] = {
    {"a velocity matrix of two columns", kOneCollision,
     [](Gas& gas, double&) { gas.velocity = Matrix(2, 2); },
     "Assertion `j > 0 && j <= nCol_' failed"},
    {"a crossRef entry that is no particle", kOneCollision,
     [](Gas& gas, double&) { gas.cells->crossRef[2] = 3; },
     "Assertion `i > 0 && i <= nRow_' failed"},
};

struct Snapshot {
  std::vector<double> values;
  explicit Snapshot(Gas& gas) {
    for (int p = 1; p <= gas.velocity.nRow(); p++)
      for (int k = 1; k <= gas.velocity.nCol(); k++) values.push_back(gas.velocity(p, k));
    values.push_back(gas.maxRelSpeed(1, 1));
    values.push_back(gas.selectRemainder(1, 1));
  }
};

// Compares as bits, so that a NaN planted by the slip equals itself.
bool same_bits(const Snapshot& a, const Snapshot& b) {
  return a.values.size() == b.values.size() &&
         std::memcmp(a.values.data(), b.values.data(), a.values.size() * sizeof(double)) == 0;
}

TEST(ColiderSlip, EachSlipThrowsNamingWhatWasWrongAndMovesNoParticle) {
  for (const Slip& slip : kRefusals) {
    play(slip.deviates);
    Gas s({{0, 0, 0}, {1, 0, 0}}, {{1, 2}}, 1.0, 0.0);
    double selectCoeff = 0.5;
    if (slip.spoil) slip.spoil(s, selectCoeff);
    Snapshot before(s);
    long seed = 0;
    try {
      colider(s.velocity, s.maxRelSpeed, 0.0, seed, s.selectRemainder, selectCoeff, *s.cells);
      ADD_FAILURE() << slip.what << ": nothing was thrown";
    } catch (const ColiderError& error) {
      const std::invalid_argument& general = error;  // what a caller may catch instead
      EXPECT_TRUE(std::regex_search(general.what(), std::regex(slip.message)))
          << slip.what << ": " << error.what() << "\n  expected to match: " << slip.message;
    }
    // A per-cell input is checked before its cell changes anything; a
    // deviate, before its pair moves.
    Snapshot after(s);
    if (!slip.deviates.empty()) {
      // The cell had begun: only its remainder may have changed.
      after.values.pop_back();
      before.values.pop_back();
    }
    EXPECT_TRUE(same_bits(after, before)) << slip.what;
  }
}

TEST(ColiderSlip, CellsBeforeTheSlipKeepTheirCollisions) {
  // Cell 1 collides as in EveryCollisionKeeps...; cell 2's maximum is not a
  // number, refused before cell 2 changes.
  play({0.0, 0.0, 0.0, 0.5, 0.0});
  Gas s({{0, 0, 0}, {1, 0, 0}, {5, 0, 0}, {6, 0, 0}}, {{1, 2}, {3, 4}}, 1.0, 0.25);
  s.maxRelSpeed(2, 1) = kNaN;
  long seed = 0;
  EXPECT_THROW(colider(s.velocity, s.maxRelSpeed, 0.0, seed, s.selectRemainder, 0.5, *s.cells),
               ColiderError);
  EXPECT_EQ(s.v(1), (Velocity{0.5, 0.5, 0})) << "cell 1's pair collided";
  EXPECT_EQ(s.v(2), (Velocity{0.5, -0.5, 0}));
  EXPECT_EQ(s.v(3), (Velocity{5, 0, 0})) << "cell 2 untouched";
  EXPECT_EQ(s.selectRemainder(2, 1), 0.25);
  EXPECT_EQ(seed, 5);
}

TEST(Colider, ANegativeCandidateCountExaminesNoneAndCarriesItsFraction) {
  // 2 * -1.25 * 1 * 1 + 0.25 = -2.25: truncated toward zero, -2 candidates,
  // -0.25 carried. The smallest count an int holds is still taken.
  play({});
  Gas s({{0, 0, 0}, {1, 0, 0}}, {{1, 2}}, 1.0, 0.25);
  int collisions = -1;
  EXPECT_EQ(s.collide(-1.25, collisions), 0);
  EXPECT_EQ(collisions, 0);
  EXPECT_EQ(s.selectRemainder(1, 1), -0.25);
  s.selectRemainder(1, 1) = -0.5;
  EXPECT_EQ(s.collide(-1073741824.0, collisions), 0);  // S = -2^31 - 0.5
  EXPECT_EQ(s.selectRemainder(1, 1), -0.5);
  EXPECT_EQ(s.maxRelSpeed(1, 1), 1.0);
}

TEST(ColiderDeathTest, AnUncaughtSlipEndsTheProcessWithItsLine) {
  for (const Slip& slip : kRefusals) {
    play(slip.deviates);
    Gas s({{0, 0, 0}, {1, 0, 0}}, {{1, 2}}, 1.0, 0.0);
    double selectCoeff = 0.5;
    if (slip.spoil) slip.spoil(s, selectCoeff);
    // Thrown through a function that lets nothing out: uncaught, as in a
    // program that does not catch it.
    auto uncaught = [&]() noexcept {
      long seed = 0;
      colider(s.velocity, s.maxRelSpeed, 0.0, seed, s.selectRemainder, selectCoeff, *s.cells);
    };
    std::string line = slip.message;
    line = line.substr(1, line.size() - (line.back() == '$' ? 2 : 1));  // anywhere in the output
    EXPECT_DEATH(uncaught(), line) << slip.what;
  }
}

TEST(ColiderDeathTest, MatrixChecksStillEndTheProcess) {
  for (const Slip& slip : kMatrixSlips) {
    play(slip.deviates);
    Gas s({{0, 0, 0}, {1, 0, 0}}, {{1, 2}}, 1.0, 0.0);
    double selectCoeff = 0.5;
    slip.spoil(s, selectCoeff);
    int collisions = 0;
    EXPECT_DEATH(s.collide(selectCoeff, collisions), slip.message) << slip.what;
  }
}

TEST(SortList, NegativeSizesAreRefusedByName) {
  const struct {
    int cells, positions;
    const char* message;
  } cases[] = {{-5, 3, "SortList: numCells must not be negative, not -5"},
               {2, -1, "SortList: crossRefSize must not be negative, not -1"}};
  for (const auto& c : cases) {
    try {
      SortList list(c.cells, c.positions);
      ADD_FAILURE() << "SortList(" << c.cells << ", " << c.positions << ") was made";
    } catch (const std::invalid_argument& refused) {
      EXPECT_STREQ(refused.what(), c.message);
    }
  }
}

SortList one_cell_of_two() {
  SortList list(1, 3);
  list.cellPopulation[1] = 2;
  list.cellStart[1] = 1;
  list.crossRef[1] = 1;
  list.crossRef[2] = 2;
  return list;
}

TEST(SortList, MovesKeepTheArraysAndEmptyTheSource) {
  SortList made = one_cell_of_two();
  std::vector<SortList> kept;
  kept.push_back(std::move(made));
  kept.emplace_back(3, 4);  // the vector grows, moving the first
  EXPECT_EQ(made.numCells, 0);
  EXPECT_EQ(made.crossRef, nullptr);
  EXPECT_EQ(kept[0].numCells, 1);
  EXPECT_EQ(kept[0].cellPopulation[1], 2);
  EXPECT_EQ(kept[0].crossRef[2], 2);

  kept[1] = std::move(kept[0]);
  EXPECT_EQ(kept[1].numCells, 1);
  EXPECT_EQ(kept[1].crossRef[1], 1);

  // A moved list serves colider as the original would.
  play({0.0, 0.0, 0.0, 0.5, 0.0});
  Gas gas({{0, 0, 0}, {1, 0, 0}}, {{1, 2}}, 1.0, 0.0);
  *gas.cells = std::move(kept[1]);
  int collisions = 0;
  EXPECT_EQ(gas.collide(0.5, collisions), 5);
  EXPECT_EQ(collisions, 1);
}

}  // namespace
