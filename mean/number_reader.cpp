#include "number_reader.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "console.h"

namespace {

bool is_digit(int c) { return c >= '0' && c <= '9'; }

}  // namespace

NumberRead read_number(std::streambuf& in, double& value, std::size_t limit) {
  using traits = std::streambuf::traits_type;
  int c = in.sgetc();
  while (c != traits::eof() && is_answer_space(c)) c = in.snextc();

  std::string run;
  bool too_long = false;
  // Takes the character at hand into the run; false, and too_long set,
  // once the run is full.
  auto take = [&] {
    if (run.size() == limit) {
      too_long = true;
      return false;
    }
    run += static_cast<char>(c);
    c = in.snextc();
    return true;
  };
  if (c == '+' || c == '-') take();
  bool mantissa = false, point = false, exponent = false;
  while (c != traits::eof() && !too_long) {
    if (is_digit(c)) {
      mantissa = true;
      take();
    } else if (c == '.' && !point && !exponent) {
      point = true;
      take();
    } else if ((c == 'e' || c == 'E') && mantissa && !exponent) {
      exponent = true;
      if (take() && (c == '+' || c == '-')) take();
    } else {
      break;
    }
  }
  if (too_long) return NumberRead::TooLong;

  char* end = nullptr;
  const double number = std::strtod(run.c_str(), &end);
  if (run.empty() || end != run.c_str() + run.size() || std::isinf(number)) return NumberRead::Stop;
  value = number;
  return NumberRead::Number;
}
