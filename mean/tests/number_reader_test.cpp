// mean's reader: what it takes and where it stops, on a table worked out
// from its rule; and, where the program is built with the GNU C++ library,
// against that library's own `stream >> double` on random text.
#include "number_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<double> read_all(const std::string& text) {
  std::stringbuf in(text);
  std::vector<double> values;
  double value = 0;
  while (read_number(in, value, 4096) == NumberRead::Number) values.push_back(value);
  return values;
}

TEST(ReadNumber, TakesTheLongestRunThatCanContinueANumber) {
  const struct {
    const char* input;
    std::vector<double> values;
  } cases[] = {
      {"1 2\n\t3   4\r\n", {1, 2, 3, 4}},
      {"+5 -.5 7. .25e1", {5, -0.5, 7, 2.5}},
      {"3-4", {3, -4}},          // the run stops at the second sign
      {"1.5x 2", {1.5}},         // then x stops the reading
      {"1.2.3", {1.2, 0.3}},     // one point a run
      {"1e5e3", {1e5}},          // one exponent a run, then "e3" stops it
      {"1e5+3", {1e5, 3}},
      {"0x10 3", {0}},           // 0, then "x10"
      {"12abc", {12}},
      {"1,000", {1}},
      {"1e 5", {}},              // "1e" is not wholly a number
      {"2 1e+ 5", {2}},
      {"2 - 5", {2}},
      {"2 . 5", {2}},
      {".e5", {}},               // no digit before the exponent: "." alone
      {"1 nan 3", {1}},
      {"4 inf", {4}},
      {"-infinity", {}},
      {"2 1e999 5", {2}},        // beyond double: stops
      {"7 1e-999 8", {7, 0, 8}}, // below it: 0, taken
      {"4.9e-324", {4.9e-324}},
      {"", {}},
      {"   \n", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(read_all(c.input), c.values) << "input '" << c.input << "'";
}

// A run is read up to the bound: one character more refuses it, and the
// reading goes no further.
TEST(ReadNumber, ARunPastTheBoundIsRefused) {
  double value = 0;
  std::stringbuf at_bound("-1.5e+2 3");
  EXPECT_EQ(read_number(at_bound, value, 7), NumberRead::Number);
  EXPECT_EQ(value, -150);
  for (const char* text : {"-1.5e+20", "12345678", "1.234567", "1234e+56"}) {
    std::stringbuf past(text);
    EXPECT_EQ(read_number(past, value, 7), NumberRead::TooLong) << text;
    EXPECT_EQ(past.sgetc(), text[7]) << text;
  }
  std::stringbuf word("  abc");
  EXPECT_EQ(read_number(word, value, 7), NumberRead::Stop);
}

#ifdef __GLIBCXX__
// Text of the characters that matter to the rule, against the stream.
TEST(ReadNumber, AgreesWithTheGnuStreamOnRandomText) {
  const std::string alphabet = "0123456789..eE+-- \n\tx";
  std::mt19937_64 engine(20261209);
  std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1), length(0, 30);
  for (int trial = 0; trial < 100000; trial++) {
    std::string text;
    for (size_t n = length(engine); n > 0; n--) text += alphabet[pick(engine)];
    std::istringstream stream(text);
    std::vector<double> expected;
    double value = 0;
    while (stream >> value) expected.push_back(value);
    ASSERT_EQ(read_all(text), expected) << "input '" << text << "'";
  }
}
#endif

}  // namespace
