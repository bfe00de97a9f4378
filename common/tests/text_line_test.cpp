// TextLine against the real thing: every case is written once through a
// default std::ostringstream and once through TextLine, and the bytes must
// be the same: specials, a table of hard cases, and a random sweep.
#include <gtest/gtest.h>

#ifdef __linux__
#include <fcntl.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <stdexcept>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform.h"
#include "computed_nan.h"
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
  for (double v : {0.0, -0.0, std::numeric_limits<double>::max(),
                   std::numeric_limits<double>::lowest(),
                   std::numeric_limits<double>::min(),
                   std::numeric_limits<double>::denorm_min(),
                   -std::numeric_limits<double>::denorm_min(),
                   std::numeric_limits<double>::epsilon(), 1.0, -1.0, 0.5})
    c.check(v);
  c.expect_none();

  // Infinities and NaNs as a default stream writes them with glibc, whatever
  // C++ library built this (libc++ writes "-nan(ind)"; MinGW's stream drops
  // a NaN's sign).
  const std::pair<double, const char*> special[] = {
      {inf, "inf"}, {-inf, "-inf"}, {nan, "nan"}, {std::copysign(nan, -1.0), "-nan"}};
  for (const auto& [value, text] : special) {
    TextLine line;
    line << value << ' ' << static_cast<float>(value);
    EXPECT_EQ(line.text(), std::string(text) + " " + text);
  }

  // The two NaNs a program meets print differently; both must survive: a
  // computed one, which the programs print as x86-64 computes it (its sign
  // set) on every processor, and quiet_NaN's.
  TextLine line;
  line << as_computed_on_x86(zero / zero) << ' ' << nan;
  EXPECT_EQ(line.text(), "-nan nan");
}

// Where %g-style formatting goes wrong: the switch between fixed and
// exponent notation (exponents -4 and 6, after rounding: 999999.5 is
// "1e+06"), exact ties at the sixth digit (printf rounds them to even), the
// neighbours of halfway points, where only the exact binary value decides,
// and the extremes of the exponent.
TEST(TextLine, HardCasesAsTheStreamWritesThem) {
  Comparison c;
  const double hard[] = {999999.5,   999999.49999999994, 99999.95,  9.999995e-5, 9.9999949999999e-5,
                         0.0001,     1e-5,               1e6,       1e-16,       123456.5,
                         1234565,    1000005,            9999995,   0.5,         2.5e-5,
                         0.1234565,  7.8264e-06,         1.0008,    1e21,        1e-300,
                         1e308,      4.94065645841247e-324, 3.0517578125e-05, 0.000244140625};
  for (double v : hard) {
    for (double x : {v, std::nextafter(v, 0.0), std::nextafter(v, 1e300)}) {
      c.check(x);
      c.check(-x);
    }
  }
  for (int e = -310; e <= 308; e++) c.check(std::pow(10.0, e));
  c.expect_none();
}

// Random doubles of every exponent, the samplers' own range, and floats,
// which the stream widens to double.
TEST(TextLine, RandomValuesAsTheStreamWritesThem) {
  std::mt19937_64 bits(20261208);
  std::uniform_real_distribution<double> unit(0.0, 2.0);
  Comparison c;
  for (int i = 0; i < 200000; i++) {
    double v = from_bits(bits());
    if (!std::isnan(v)) c.check(v);  // NaN payloads all print as [-]nan
    c.check(unit(bits));
    float f = from_bits32(static_cast<std::uint32_t>(bits()));
    if (!std::isnan(f)) c.check(f);
  }
  c.expect_none();
}

// From 1e-14 up to 2^52 the digits are made by whole-number arithmetic on the
// binary value, not by the library: there, points just beside halfway
// between two six-digit numbers, where the rounding and its ties are
// decided, for every exponent; the switches to the next power of ten; and
// random doubles and floats spread evenly over the exponents.
TEST(TextLine, ValuesOfTheWholeNumberRangeAsTheStreamWritesThem) {
  std::mt19937_64 bits(20261211);
  std::uniform_int_distribution<int> digits(100000, 999999), exponent(-15, 16);
  std::uniform_real_distribution<double> decades(-15.0, 16.0);
  Comparison c;
  for (int x = -15; x <= 16; x++) {
    for (double v : {std::pow(10.0, x), 9.999995 * std::pow(10.0, x), 1.000005 * std::pow(10.0, x)})
      for (double w : {v, std::nextafter(v, 0.0), std::nextafter(v, 1e300)}) c.check(w);
  }
  for (int i = 0; i < 200000; i++) {
    const double scale = std::pow(10.0, exponent(bits) - 5);
    const double half = (digits(bits) + 0.5) * scale;
    for (double w : {half, std::nextafter(half, 0.0), std::nextafter(half, 1e300)}) {
      c.check(w);
      c.check(-w);
    }
    // Ties that are exact: an odd and an even last digit, just below 2^52.
    c.check(static_cast<double>(digits(bits)) * 10 + 5);
    const double v = std::pow(10.0, decades(bits));
    c.check(v);
    c.check(static_cast<float>(v));
  }
  for (double v : {0x1p52, std::nextafter(0x1p52, 0.0), 0x1p-46, std::nextafter(0x1p-46, 0.0),
                   4503599627370495.5, 1.4210854715202004e-14})
    c.check(v);
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

// Straight to a descriptor: the same bytes, one line per write, every line
// ending in "\n" alone (binary mode on Windows), and the system's reason
// when the write fails.
TEST(TextLine, EndWritesToADescriptorAndReportsFailures) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() /
      ("numlab-text-line-" + std::to_string(std::random_device{}()));
  ASSERT_TRUE(std::filesystem::create_directory(folder));
  const std::string path = (folder / "lines.dat").string();
  int error = 0;
  const int fd = platform::open_for_writing(path.c_str(), error);
  ASSERT_GE(fd, 0) << std::strerror(error);
  TextLine line;
  line << "X-value: " << 0.5f << " F(x): " << -1.25e-7;
  EXPECT_EQ(line.end(fd), 0);
  line << 42;
  EXPECT_EQ(line.end(fd), 0);
  EXPECT_EQ(platform::close_file(fd), 0);
  std::ifstream file(path, std::ios::binary);
  const std::string written{std::istreambuf_iterator<char>(file), {}};
  file.close();
  EXPECT_EQ(written, "X-value: 0.5 F(x): -1.25e-07\n42\n");
  std::filesystem::remove_all(folder);

  line << 1.0;
  EXPECT_EQ(line.end(fd), EBADF) << "the descriptor is closed";
  EXPECT_EQ(line.text(), "") << "a failed line is not carried into the next";
#ifdef __linux__
  const int full = open("/dev/full", O_WRONLY);
  ASSERT_GE(full, 0);
  line << 1.0;
  EXPECT_EQ(line.end(full), ENOSPC);
  close(full);
#endif
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
