// TextLine against the real thing: every case is written once through a
// default std::ostringstream and once through TextLine, and the bytes must
// be the same. The cases aim where %g-style formatting goes wrong: exact
// ties at the sixth digit, the switch between fixed and exponent notation,
// specials, and a large random sweep over every exponent.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <stdexcept>
#include <sstream>
#include <string>
#include <vector>

#include "text_line.h"

namespace {

// Counts mismatches between TextLine and a default stream, keeping the first
// few for the failure message.
class Comparison {
 public:
  template <class T>
  void check(T value) {
    reference_.str("");
    reference_ << value;
    TextLine line;
    line << value;
    cases_++;
    if (line.text() == reference_.str()) return;
    if (++mismatches_ <= 5) {
      std::ostringstream what;
      what << std::hexfloat << static_cast<long double>(value);
      report_ += "  " + what.str() + ": stream \"" + reference_.str() +
                 "\", TextLine \"" + std::string(line.text()) + "\"\n";
    }
  }

  void expect_none() const {
    EXPECT_EQ(mismatches_, 0) << "of " << cases_ << " cases:\n" << report_;
    EXPECT_GT(cases_, 0);
  }

 private:
  std::ostringstream reference_;
  long cases_ = 0;
  long mismatches_ = 0;
  std::string report_;
};

double from_bits(std::uint64_t bits) {
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

float from_bits32(std::uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

TEST(TextLine, SpecialDoublesAsTheStreamWritesThem) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  volatile double zero = 0.0;
  Comparison c;
  for (double v : {0.0, -0.0, inf, -inf, nan, std::copysign(nan, -1.0),
                   zero / zero, std::numeric_limits<double>::max(),
                   std::numeric_limits<double>::lowest(),
                   std::numeric_limits<double>::min(),
                   std::numeric_limits<double>::denorm_min(),
                   -std::numeric_limits<double>::denorm_min(),
                   std::numeric_limits<double>::epsilon(), 1.0, -1.0, 0.5})
    c.check(v);
  c.expect_none();

  // The two NaNs a program meets print differently; both must survive.
  TextLine line;
  line << zero / zero << ' ' << nan;
  EXPECT_EQ(line.text(), "-nan nan");
}

// %g writes fixed notation for exponents -4 to 5 and switches to exponent
// notation after rounding, so 999999.5 becomes "1e+06". Each power of ten
// and each value that rounds up to one is tried with its neighbours.
TEST(TextLine, NotationSwitchesWhereTheStreamSwitches) {
  Comparison c;
  for (int e = -320; e <= 308; e++) {
    for (double base : {1.0, 9.999995, 9.9999949999, 5.0, 1.0000005}) {
      double v = base * std::pow(10.0, e);
      for (int step = 0; step < 4; step++) {
        c.check(v);
        c.check(-v);
        v = std::nextafter(v, 0.0);
      }
      v = base * std::pow(10.0, e);
      for (int step = 0; step < 4; step++) {
        v = std::nextafter(v, std::numeric_limits<double>::infinity());
        c.check(v);
      }
    }
  }
  c.expect_none();
}

// Exact ties at the sixth significant digit round to even in the stream.
// Every seven-digit whole number ending in 5 is one, scaled by powers of two
// (which keeps it exact) to spread the ties over many exponents.
TEST(TextLine, ExactTiesRoundAsTheStreamRoundsThem) {
  Comparison c;
  for (long n = 1000005; n <= 9999995; n += 10) c.check(static_cast<double>(n));
  for (int k = -40; k <= 40; k++)
    for (long n = 1000005; n <= 9999995; n += 9990)
      c.check(std::ldexp(static_cast<double>(n), k));
  // Short binary fractions: halves, quarters, ... tie more often than not.
  for (int k = 1; k <= 30; k++)
    for (long m = 1; m < 4000; m += 2) c.check(std::ldexp(static_cast<double>(m), -k));
  c.expect_none();
}

// The hardest cases lie next to the points halfway between two six-digit
// values, where only the exact binary value decides the rounding: for
// random seven-digit halfway points d.dddddd5 x 10^e over the exponents
// programs print most, the nearest double and its neighbours on both sides.
TEST(TextLine, ValuesNextToHalfwayPointsRoundAsTheStreamRoundsThem) {
  std::mt19937_64 bits(1208);
  std::uniform_int_distribution<long> six(100000, 999999);
  Comparison c;
  for (int e = -20; e <= 8; e++) {
    for (int i = 0; i < 8000; i++) {
      std::string halfway = std::to_string(six(bits)) + "5e" + std::to_string(e - 6);
      double v = std::strtod(halfway.c_str(), nullptr);
      double below = v, above = v;
      for (int step = 0; step < 2; step++) {
        below = std::nextafter(below, 0.0);
        above = std::nextafter(above, 1e300);
      }
      for (double x : {v, std::nextafter(v, 0.0), std::nextafter(v, 1e300), below, above}) {
        c.check(x);
        c.check(-x);
      }
    }
  }
  c.expect_none();
}

// Every binary exponent from 2^-60 to 2^24 with random mantissas: the
// values programs print, and the edges of where the quick path applies.
TEST(TextLine, RandomDoublesOverTheCommonRange) {
  std::mt19937_64 bits(16);
  Comparison c;
  for (int e = -60; e <= 24; e++) {
    for (int i = 0; i < 12000; i++) {
      std::uint64_t mantissa = bits() & ((std::uint64_t{1} << 52) - 1);
      double v = from_bits((static_cast<std::uint64_t>(e + 1023) << 52) | mantissa);
      c.check(v);
      c.check(-v);
    }
  }
  for (double edge : {1e-16, 1e6, 999999.5, 999999.49999999994, 9.999995e-5, 9.9999949999999e-5,
                      0.0001, 1e-5})
    for (double x : {edge, std::nextafter(edge, 0.0), std::nextafter(edge, 1.0e300)}) c.check(x);
  c.expect_none();
}

TEST(TextLine, RandomDoublesOverEveryExponent) {
  std::mt19937_64 bits(20261208);
  std::uniform_real_distribution<double> unit(0.0, 2.0);
  Comparison c;
  for (int i = 0; i < 2000000; i++) {
    double v = from_bits(bits());
    if (!std::isnan(v)) c.check(v);  // NaN payloads all print as [-]nan
    c.check(unit(bits));             // the samplers' own range
  }
  c.expect_none();
}

// A stream widens a float to double before formatting it.
TEST(TextLine, FloatsAsTheStreamWritesThem) {
  std::mt19937 bits(8);
  Comparison c;
  for (int i = 0; i < 1000000; i++) {
    float v = from_bits32(static_cast<std::uint32_t>(bits()));
    if (!std::isnan(v)) c.check(v);
  }
  for (float v : {0.1f, 1e-45f, 3.4028235e38f, -0.0f, 16777217.0f}) c.check(v);
  c.expect_none();
}

TEST(TextLine, WholeNumbersOfEveryWidth) {
  Comparison c;
  c.check(0);
  c.check(-1);
  c.check(INT_MAX);
  c.check(INT_MIN);
  c.check(LONG_MAX);
  c.check(LONG_MIN);
  c.check(ULONG_MAX);
  c.check(LLONG_MIN);
  c.check(static_cast<short>(-32768));
  c.check(2147483647L);
  std::mt19937_64 bits(5);
  for (int i = 0; i < 10000; i++) {
    c.check(static_cast<long>(bits()));
    c.check(static_cast<int>(bits()) >> (i % 31));
  }
  c.expect_none();
}

// A stream buffer that records what reaches it and how often it is flushed.
class RecordingBuffer : public std::stringbuf {
 public:
  int syncs = 0;

 protected:
  int sync() override {
    syncs++;
    return std::stringbuf::sync();
  }
};

// end() must give what `out << ... << std::endl` gives: the same bytes and
// one flush per line, and start the next line empty.
TEST(TextLine, EndWritesTheLineAndFlushesLikeEndl) {
  RecordingBuffer expected_buffer, buffer;
  std::ostream expected(&expected_buffer), out(&buffer);
  TextLine line;
  for (int i = 0; i < 3; i++) {
    long state = 16807L * (i + 1);
    double value = 7.8264e-06 * (i + 1);
    float single = 0.1f * static_cast<float>(i);
    expected << "Random number: " << i << " = " << state << " = " << value
             << " " << single << std::endl;
    line << "Random number: " << i << " = " << state << " = " << value << ' '
         << single;
    line.end(out);
    EXPECT_EQ(buffer.syncs, i + 1) << "line " << i << " was not flushed";
  }
  EXPECT_EQ(buffer.str(), expected_buffer.str());
  EXPECT_EQ(line.text(), "");
}

// Straight to a descriptor: the same bytes, one line per write, and the
// system's reason when the write fails.
TEST(TextLine, EndWritesToADescriptorAndReportsFailures) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  TextLine line;
  line << "X-value: " << 0.5f << " F(x): " << -1.25e-7;
  EXPECT_EQ(line.end(ends[1]), 0);
  line << 42;
  EXPECT_EQ(line.end(ends[1]), 0);
  close(ends[1]);
  char read_back[64] = {};
  ssize_t got = read(ends[0], read_back, sizeof read_back - 1);
  close(ends[0]);
  EXPECT_EQ(std::string(read_back, got > 0 ? got : 0),
            "X-value: 0.5 F(x): -1.25e-07\n42\n");

  int full = open("/dev/full", O_WRONLY);
  ASSERT_GE(full, 0);
  line << 1.0;
  EXPECT_EQ(line.end(full), ENOSPC);
  EXPECT_EQ(line.text(), "") << "a failed line is not carried into the next";
  close(full);
  EXPECT_EQ(line.end(full), EBADF);
}

// A line that would not fit is refused whole, never cut short.
TEST(TextLine, LineLongerThanTheBufferIsRefused) {
  TextLine line;
  std::string label(200, 'x');
  line << label.c_str();
  EXPECT_THROW(line << label.c_str(), std::length_error);
  EXPECT_EQ(line.text(), label);
}

}  // namespace
