#include "console.h"

#include <cerrno>
#include <climits>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// One line on standard error for an answer that was refused (`token`),
// or that never came (`token` empty).
void refuse(const char* program, const char* kind, const char* what, const std::string& token,
            Parsed why) {
  std::cerr << program << ": expected " << kind << " for " << what;
  if (!token.empty()) std::cerr << ", not '" << quoted_token(token) << "'";
  if (why == Parsed::OutOfRange) std::cerr << " (out of range)";
  std::cerr << std::endl;
}

template <class T>
Answer read_answer(const char* program, const char* kind, const char* what, T& value,
                   Parsed (*parse)(const std::string&, T&)) {
  // The prompt goes out before the wait for its answer, as `std::cin >>`
  // would send it through the tied std::cout.
  if (std::cin.tie() != nullptr) std::cin.tie()->flush();
  std::string token;
  const Token read = read_token(*std::cin.rdbuf(), token, kLongestAnswer);
  if (read == Token::TooLong) {
    std::cerr << program << ": the answer for " << what << " is too long: more than "
              << kLongestAnswer << " characters" << std::endl;
    return Answer{2};
  }
  if (read == Token::Ended) {
    // std::cin reads through C's stdin, which records a failed read apart
    // from the end of the input.
    if (std::ferror(stdin)) {
      std::cerr << program << ": cannot read standard input: " << std::strerror(errno)
                << std::endl;
    } else {
      refuse(program, kind, what, "", Parsed::NotANumber);
    }
    return Answer{1};
  }
  const Parsed parsed = parse(token, value);
  if (parsed == Parsed::Ok) return Answer{};
  refuse(program, kind, what, token, parsed);
  return Answer{1};
}

}  // namespace

namespace {

// A token read as a decimal number: [+-]digits[.digits][(e|E)[+-]digits],
// with at least one digit before the exponent, and nothing else (no
// hexadecimal, no nan or inf, no spaces).
struct Decimal {
  bool valid = false;
  bool negative = false;
  std::string digits;      // every digit of the significand, in order
  long long exponent = 0;  // of the last digit in `digits`
};

Decimal scan_decimal(const std::string& token) {
  Decimal d;
  size_t i = 0;
  const size_t n = token.size();
  if (i < n && (token[i] == '+' || token[i] == '-')) d.negative = token[i++] == '-';
  while (i < n && is_digit(token[i])) d.digits += token[i++];
  if (i < n && token[i] == '.') {
    for (i++; i < n && is_digit(token[i]); i++) {
      d.digits += token[i];
      d.exponent--;
    }
  }
  if (d.digits.empty()) return d;
  if (i < n && (token[i] == 'e' || token[i] == 'E')) {
    i++;
    bool negative_exponent = false;
    if (i < n && (token[i] == '+' || token[i] == '-')) negative_exponent = token[i++] == '-';
    if (i == n || !is_digit(token[i])) return d;
    long long written = 0;
    for (; i < n && is_digit(token[i]); i++)
      written = std::min(written * 10 + (token[i] - '0'), 1000000000LL);  // far past any int
    d.exponent += negative_exponent ? -written : written;
  }
  d.valid = i == n;
  return d;
}

}  // namespace

// Worked out on the decimal digits, never through a double, so that a
// token is taken exactly as written: 2.5e3 is 2500, 1e10 is out of range,
// 0.1e1 is 1 and 1.5 is not whole.
Parsed parse_whole_number(const std::string& token, int& value) {
  Decimal d = scan_decimal(token);
  if (!d.valid) return Parsed::NotANumber;
  std::string& digits = d.digits;
  long long exponent = d.exponent;
  digits.erase(0, digits.find_first_not_of('0'));
  if (digits.empty()) {  // zero, in any form
    value = 0;
    return Parsed::Ok;
  }
  // Trailing zeros moved into the exponent: what is left of the point must
  // then be nothing, or the number is not whole.
  while (digits.back() == '0') {
    digits.pop_back();
    exponent++;
  }
  if (exponent < 0) return Parsed::NotANumber;
  if (static_cast<long long>(digits.size()) + exponent > 10) return Parsed::OutOfRange;
  long long magnitude = 0;
  for (char c : digits) magnitude = magnitude * 10 + (c - '0');
  for (long long k = 0; k < exponent; k++) magnitude *= 10;
  const long long signed_value = d.negative ? -magnitude : magnitude;
  if (signed_value < INT_MIN || signed_value > INT_MAX) return Parsed::OutOfRange;
  value = static_cast<int>(signed_value);
  return Parsed::Ok;
}

// The decimal grammar above, rounded once by strtod (in the C locale the
// programs keep). Beyond double, both ways: a value that rounds to an
// infinity, or to zero from digits that are not all zero.
Parsed parse_number(const std::string& token, double& value) {
  const Decimal d = scan_decimal(token);
  if (!d.valid) return Parsed::NotANumber;
  const double result = std::strtod(token.c_str(), nullptr);
  const bool zero_digits = d.digits.find_first_not_of('0') == std::string::npos;
  if (std::isinf(result) || (result == 0 && !zero_digits)) return Parsed::OutOfRange;
  value = result;
  return Parsed::Ok;
}

std::string quoted_token(const std::string& token) {
  const size_t shown = 40;
  std::string text;
  for (size_t k = 0; k < token.size() && k < shown; k++) {
    const unsigned char c = static_cast<unsigned char>(token[k]);
    if (c < 0x20 || c >= 0x7f) {
      const char hex[] = "0123456789abcdef";
      text += "\\x";
      text += hex[c >> 4];
      text += hex[c & 15];
    } else {
      text += token[k];
    }
  }
  if (token.size() > shown) text += "...";
  return text;
}

Token read_token(std::streambuf& in, std::string& token, std::size_t limit) {
  using traits = std::streambuf::traits_type;
  token.clear();
  int c = in.sgetc();
  while (c != traits::eof() && is_answer_space(c)) c = in.snextc();
  if (c == traits::eof()) return Token::Ended;
  while (c != traits::eof() && !is_answer_space(c)) {
    if (token.size() == limit) return Token::TooLong;
    token += traits::to_char_type(c);
    c = in.snextc();
  }
  return Token::Read;
}

Answer read_value(const char* program, const char* what, int& value) {
  return read_answer(program, "a whole number", what, value, parse_whole_number);
}

Answer read_value(const char* program, const char* what, double& value) {
  return read_answer(program, "a number", what, value, parse_number);
}
