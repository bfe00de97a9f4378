#include "text_line.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "platform.h"

namespace {

__extension__ typedef unsigned __int128 Wide;

constexpr std::uint64_t kPowersOfTen[] = {1ULL,
                                          10ULL,
                                          100ULL,
                                          1000ULL,
                                          10000ULL,
                                          100000ULL,
                                          1000000ULL,
                                          10000000ULL,
                                          100000000ULL,
                                          1000000000ULL,
                                          10000000000ULL,
                                          100000000000ULL,
                                          1000000000000ULL,
                                          10000000000000ULL,
                                          100000000000000ULL,
                                          1000000000000000ULL,
                                          10000000000000000ULL,
                                          100000000000000000ULL,
                                          1000000000000000000ULL,
                                          10000000000000000000ULL};

// m * 2^-shift / 10^k, rounded to the nearest whole number, ties to even,
// for k >= 0: exactly, as printf rounds the binary value it is given.
std::uint64_t divide_rounded(std::uint64_t m, int shift, int k) {
  const std::uint64_t whole = m >> shift;
  const std::uint64_t low = m & ((1ULL << shift) - 1);
  std::uint64_t q = whole / kPowersOfTen[k];
  // The rest of the division, (whole mod 10^k) * 2^shift + low, against
  // half the divisor, 10^k * 2^shift / 2.
  const Wide twice_rest = ((static_cast<Wide>(whole % kPowersOfTen[k]) << shift) + low) * 2;
  const Wide divisor = static_cast<Wide>(kPowersOfTen[k]) << shift;
  if (twice_rest > divisor || (twice_rest == divisor && (q & 1))) q++;
  return q;
}

// m * 10^p * 2^-shift, rounded the same way.
std::uint64_t multiply_rounded(std::uint64_t m, int p, int shift) {
  const Wide product = static_cast<Wide>(m) * kPowersOfTen[p];
  const Wide half = static_cast<Wide>(1) << (shift - 1);
  const Wide rest = product & ((half << 1) - 1);
  std::uint64_t q = static_cast<std::uint64_t>(product >> shift);
  if (rest > half || (rest == half && (q & 1))) q++;
  return q;
}

// The six significant digits of a = m * 2^-shift, written as q * 10^(x - 5)
// with 100000 <= q <= 999999, for a from 1e-14 up to 2^53, where every
// product and quotient fits in 128 bits. q is the exact binary value
// rounded to nearest, ties to even, which is what printf's %.6g does.
void six_digits(std::uint64_t m, int shift, int& x, std::uint64_t& q) {
  // floor(log10(a)) or one off it; the loop settles it from q itself.
  x = static_cast<int>(std::floor(std::log10(std::ldexp(static_cast<double>(m), -shift))));
  for (;;) {
    const int k = x - 5;
    q = k >= 0 ? divide_rounded(m, shift, k) : multiply_rounded(m, -k, shift);
    if (q < 100000) {
      x--;
    } else if (q > 1000000) {
      x++;
    } else {
      break;
    }
  }
  // A value that rounds up to the next power of ten takes its exponent:
  // 999999.5 is 1e+06.
  if (q == 1000000) {
    q = 100000;
    x++;
  }
}

// %.6g of a finite double, written into `out`; the length.
unsigned general_six(double value, char* out) {
  char* at = out;
  if (std::signbit(value)) *at++ = '-';
  const double a = std::fabs(value);
  if (a == 0) {
    *at++ = '0';
    return static_cast<unsigned>(at - out);
  }
  std::uint64_t bits;
  std::memcpy(&bits, &a, sizeof bits);
  const int biased = static_cast<int>(bits >> 52);
  const std::uint64_t m = (bits & ((1ULL << 52) - 1)) | (1ULL << 52);
  // a = m * 2^-shift; from 2^-46 (about 1.4e-14) below 2^53.
  const int shift = 1075 - biased;
  if (shift < 1 || shift > 98) {
    return static_cast<unsigned>(
        std::to_chars(out, out + 15, value, std::chars_format::general, 6).ptr - out);
  }
  int x;
  std::uint64_t q;
  six_digits(m, shift, x, q);
  char digits[6];
  for (int i = 5; i >= 0; i--) {
    digits[i] = static_cast<char>('0' + q % 10);
    q /= 10;
  }
  int used = 6;  // the digits that count: trailing zeros are dropped
  while (used > 1 && digits[used - 1] == '0') used--;
  if (x < -4 || x >= 6) {
    *at++ = digits[0];
    if (used > 1) {
      *at++ = '.';
      for (int i = 1; i < used; i++) *at++ = digits[i];
    }
    *at++ = 'e';
    *at++ = x < 0 ? '-' : '+';
    const int e = x < 0 ? -x : x;
    if (e >= 10) *at++ = static_cast<char>('0' + e / 10);
    else *at++ = '0';
    *at++ = static_cast<char>('0' + e % 10);
  } else if (x >= 0) {
    for (int i = 0; i <= x; i++) *at++ = digits[i];
    if (used > x + 1) {
      *at++ = '.';
      for (int i = x + 1; i < used; i++) *at++ = digits[i];
    }
  } else {
    *at++ = '0';
    *at++ = '.';
    for (int i = 0; i < -x - 1; i++) *at++ = '0';
    for (int i = 0; i < used; i++) *at++ = digits[i];
  }
  return static_cast<unsigned>(at - out);
}

}  // namespace

NumberText::NumberText(double value) {
  // Infinities and NaNs as a default stream writes them with glibc: "inf",
  // "-inf", "nan", "-nan" (a NaN with its sign bit set, such as 0.0 / 0.0 on
  // x86-64). Written here, since C++ libraries spell them differently.
  if (!std::isfinite(value)) {
    const char* text = std::isnan(value) ? (std::signbit(value) ? "-nan" : "nan")
                                         : (value < 0 ? "-inf" : "inf");
    size_ = static_cast<unsigned>(std::strlen(text));
    std::memcpy(digits_, text, size_);
    return;
  }
  // The general format with a precision is defined as printf's %.6g, which
  // is what a default stream writes: std::to_chars gives it for any double;
  // general_six makes the same bytes, several times faster, for the values
  // the programs print.
  size_ = general_six(value, digits_);
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
  const int error = platform::write_all(fd, text_, size_);
  size_ = 0;
  return error;
}
