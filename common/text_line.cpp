#include "text_line.h"

#include <cstdint>
#include <stdexcept>

#include "write_all.h"

namespace {

__extension__ typedef unsigned __int128 Wide;

// 10^0 .. 10^22, exact.
constexpr Wide power_of_ten(int n) { return n == 0 ? 1 : 10 * power_of_ten(n - 1); }

// The six significant digits %.6g prints for a positive double x in
// [1e-16, 1e6), worked out exactly: x is m 2^-shift with m < 2^53, so
// x 10^s = m 10^s / 2^shift, whose integer part and remainder come from a
// 128-bit product and a shift (m 10^s < 2^53 10^22 < 2^127). The digits are
// rounded half to even on that exact remainder, as printf rounds. Returns
// the digits as a number in [100000, 999999] and sets `exponent` to the
// decimal exponent of the first one.
std::uint32_t six_digits(std::uint64_t bits, int& exponent) {
  const int binary_exponent = static_cast<int>(bits >> 52) - 1023;  // of the leading bit
  const Wide m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  const int shift = 52 - binary_exponent;  // 33 .. 106 over the range
  // floor(binary_exponent log10 2): 78913 / 2^18 is close enough to
  // log10 2 over this range (the shift floors negative products too). The
  // decimal exponent is that or one more; too many digits tell which.
  exponent = (binary_exponent * 78913) >> 18;
  Wide scaled = m * power_of_ten(5 - exponent);
  if ((scaled >> shift) >= 1000000) {
    exponent++;
    scaled = m * power_of_ten(5 - exponent);
  }
  std::uint32_t digits = static_cast<std::uint32_t>(scaled >> shift);
  const Wide rest = scaled & ((Wide{1} << shift) - 1);
  const Wide half = Wide{1} << (shift - 1);
  if (rest > half || (rest == half && digits % 2 == 1)) digits++;
  if (digits == 1000000) {
    digits = 100000;
    exponent++;
  }
  return digits;
}

// %.6g's text for six significant digits and their decimal exponent:
// fixed notation for exponents -4 to 5, otherwise d.ddddde[+-]dd, trailing
// zeros of the fraction dropped, and the point with them when none is left.
char* write_six_digits(char* out, std::uint32_t digits, int exponent) {
  char d[6];
  for (int k = 5; k >= 0; k--, digits /= 10) d[k] = static_cast<char>('0' + digits % 10);
  int used = 6;
  while (used > 1 && d[used - 1] == '0') used--;

  if (exponent < -4 || exponent >= 6) {
    *out++ = d[0];
    if (used > 1) {
      *out++ = '.';
      for (int k = 1; k < used; k++) *out++ = d[k];
    }
    *out++ = 'e';
    *out++ = exponent < 0 ? '-' : '+';
    const int size = exponent < 0 ? -exponent : exponent;  // at most 16 here
    *out++ = static_cast<char>('0' + size / 10);
    *out++ = static_cast<char>('0' + size % 10);
  } else if (exponent >= 0) {
    for (int k = 0; k <= exponent; k++) *out++ = d[k];
    if (used > exponent + 1) {
      *out++ = '.';
      for (int k = exponent + 1; k < used; k++) *out++ = d[k];
    }
  } else {
    *out++ = '0';
    *out++ = '.';
    for (int k = -1; k > exponent; k--) *out++ = '0';
    for (int k = 0; k < used; k++) *out++ = d[k];
  }
  return out;
}

}  // namespace

NumberText::NumberText(double value) {
  // Nearly every value the programs print lies in [1e-16, 1e6); those take
  // the exact path above, several times quicker than the general
  // conversion, which handles everything else (zeros, specials, the
  // extremes).
  const double magnitude = value < 0 ? -value : value;
  char* last;
  if (magnitude >= 1e-16 && magnitude < 1e6) {
    std::uint64_t bits;
    std::memcpy(&bits, &magnitude, sizeof bits);
    int exponent;
    const std::uint32_t digits = six_digits(bits, exponent);
    char* out = digits_;
    if (value < 0) *out++ = '-';
    last = write_six_digits(out, digits, exponent);
  } else {
    last = std::to_chars(digits_, digits_ + sizeof digits_, value,
                         std::chars_format::general, 6)
               .ptr;
  }
  size_ = static_cast<unsigned>(last - digits_);
}

void TextLine::too_long() {
  throw std::length_error("TextLine: a line longer than 255 characters");
}

void TextLine::end(std::ostream& out) {
  text_[size_++] = '\n';
  out.write(text_, static_cast<std::streamsize>(size_));
  out.flush();
  size_ = 0;
}

int TextLine::end(int fd) {
  text_[size_++] = '\n';
  const int error = write_all(fd, text_, size_);
  size_ = 0;
  return error;
}
