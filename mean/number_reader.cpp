#include "number_reader.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

bool is_space(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool is_digit(int c) { return c >= '0' && c <= '9'; }

}  // namespace

bool read_number(std::streambuf& in, double& value) {
  using traits = std::streambuf::traits_type;
  int c = in.sgetc();
  while (c != traits::eof() && is_space(c)) c = in.snextc();

  std::string run;
  auto take = [&] {
    run += static_cast<char>(c);
    c = in.snextc();
  };
  if (c == '+' || c == '-') take();
  bool mantissa = false, point = false, exponent = false;
  while (c != traits::eof()) {
    if (is_digit(c)) {
      mantissa = true;
      take();
    } else if (c == '.' && !point && !exponent) {
      point = true;
      take();
    } else if ((c == 'e' || c == 'E') && mantissa && !exponent) {
      exponent = true;
      take();
      if (c == '+' || c == '-') take();
    } else {
      break;
    }
  }

  char* end = nullptr;
  const double number = std::strtod(run.c_str(), &end);
  if (run.empty() || end != run.c_str() + run.size() || std::isinf(number)) return false;
  value = number;
  return true;
}
