// to_float against IEEE 754's rounding, worked out by hand: the largest
// float is (2 - 2^-23) 2^127 = 3.40282346638528859811704183484516925e38,
// half its last place 2^103; round-to-nearest overflows from their sum on.
#include "to_float.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(ToFloat, RoundsAsIeeeDoesOnBothSidesOfFloatsRange) {
  const float largest = std::numeric_limits<float>::max();
  const float inf = std::numeric_limits<float>::infinity();
  const double halfway = static_cast<double>(largest) + 0x1p103;
  const struct {
    double value;
    float expected;
  } cases[] = {
      {0.0, 0.0f},
      {1.5, 1.5f},
      {1 + 0x1p-24, 1.0f},                 // halfway: to the even neighbour
      {-(1 + 3 * 0x1p-24), -(1 + 0x1p-22f)},
      {1 + 0x1p-24 + 0x1p-40, 1 + 0x1p-23f},  // past halfway: up
      {1e-50, 0.0f},                      // below the smallest: 0
      {static_cast<double>(largest), largest},
      {std::nextafter(halfway, 0.0), largest},  // just below halfway: down
      {-std::nextafter(halfway, 0.0), -largest},
      {halfway, inf},  // the tie goes to the even side, the infinity
      {-halfway, -inf},
      {1e39, inf},
      {-1e300, -inf},
      {std::numeric_limits<double>::infinity(), inf},
      {-std::numeric_limits<double>::infinity(), -inf},
  };
  for (const auto& c : cases) {
    const float got = to_float(c.value);
    EXPECT_EQ(got, c.expected) << c.value;
    EXPECT_EQ(std::signbit(got), std::signbit(c.expected)) << c.value;
  }
  // Not-a-number passes through with its sign.
  EXPECT_TRUE(std::isnan(to_float(std::nan(""))));
  EXPECT_TRUE(std::signbit(to_float(-std::nan(""))));
}

}  // namespace
