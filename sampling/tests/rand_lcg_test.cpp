// The generator against values stated for the minimal standard generator,
// against libstdc++'s own implementation of it, and outside its cycle, where
// the double-precision step is worked out here with exact integer arithmetic.
#include "rand_lcg.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <sstream>

namespace {

const long kModulus = 2147483647;

// Exact 128-bit integers, for products the step may round.
__extension__ typedef __int128 Wide;

std::string printed(double value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

TEST(RandLcg, KnownStatesFromOne) {
  long state = 1;
  const long first[] = {16807, 282475249, 1622650073};
  for (long expected : first) {
    rand_lcg(state);
    EXPECT_EQ(state, expected);
  }
  for (int call = 4; call <= 10000; call++) rand_lcg(state);
  EXPECT_EQ(state, 1043618065) << "state after 10000 calls from 1";
}

TEST(RandLcg, DeviateIsNewStateOverModulus) {
  long state = 1;
  double u = rand_lcg(state);
  EXPECT_EQ(state, 16807);
  EXPECT_EQ(u, 16807.0 / 2147483647.0);
  EXPECT_EQ(printed(u), "7.82637e-06");
}

TEST(RandLcg, MatchesStandardLibraryMinstdRand0) {
  std::minstd_rand0 reference(1);
  long state = 1;
  const int steps = 10'000'000;
  for (int step = 1; step <= steps; step++) {
    double u = rand_lcg(state);
    long expected = static_cast<long>(reference());
    if (state != expected) {
      FAIL() << "step " << step << ": state " << state << ", expected "
             << expected;
    }
    ASSERT_GT(u, 0.0);
    ASSERT_LT(u, 1.0);
  }
}

TEST(RandLcg, ZeroIsAFixedPoint) {
  long state = 0;
  for (int i = 0; i < 3; i++) {
    EXPECT_EQ(rand_lcg(state), 0.0);
    EXPECT_EQ(state, 0);
  }
}

TEST(RandLcg, ModulusGoesToZeroAndStays) {
  long state = kModulus;
  EXPECT_EQ(rand_lcg(state), 0.0);
  EXPECT_EQ(state, 0);
  EXPECT_EQ(rand_lcg(state), 0.0);
  EXPECT_EQ(state, 0);
}

TEST(RandLcg, NegativeStateKeepsTheSignOfTheProduct) {
  long state = -1;
  double u = rand_lcg(state);
  EXPECT_EQ(state, -16807);
  EXPECT_EQ(u, -16807.0 / 2147483647.0);
  // Further steps stay in (-modulus, 0].
  for (int i = 0; i < 1000; i++) {
    rand_lcg(state);
    ASSERT_LE(state, 0);
    ASSERT_GT(state, -kModulus);
  }
}

TEST(RandLcg, LargeStateRoundsTheProductBeforeTheRemainder) {
  // 2^40 + 1 lies beyond 2^53 / 16807 (about 5.36e11). The exact product
  // 16807 * 2^40 + 16807 lies between 2^54 and 2^55, where doubles are spaced
  // 4 apart, so it rounds to 16807 * 2^40 + 16808 before the remainder.
  if (sizeof(long) < 8) GTEST_SKIP() << "long has 32 bits here: no state reaches 2^53 / 16807";
  const Wide big = Wide{1} << 40;
  long state = static_cast<long>(big + 1);
  rand_lcg(state);
  const long rounded = static_cast<long>((16807 * big + 16808) % kModulus);
  const long exact = static_cast<long>((16807 * (big + 1)) % kModulus);
  EXPECT_EQ(state, rounded);
  EXPECT_NE(state, exact) << "the step no longer equals the congruence here";
}

TEST(RandLcg, LargestDeviatePrintsAsOne) {
  // The state whose successor is 2147483646: 16807 * s = -1 (mod m), so
  // s = m - 16807^-1, the inverse taken as 16807^(m-2) by Fermat.
  Wide inverse = 1;
  Wide base = 16807;
  for (long e = kModulus - 2; e > 0; e >>= 1) {
    if (e & 1) inverse = inverse * base % kModulus;
    base = base * base % kModulus;
  }
  long state = static_cast<long>(kModulus - inverse);
  double u = rand_lcg(state);
  EXPECT_EQ(state, kModulus - 1);
  EXPECT_LT(u, 1.0);
  EXPECT_EQ(printed(u), "1");
}

}  // namespace
