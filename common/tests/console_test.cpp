// Answers read token by token: which tokens are whole numbers or numbers,
// and the value each stands for as written in decimal.
#include "console.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(ParseWholeNumber, TokensAndTheWholeNumbersTheyDenote) {
  const struct {
    const char* token;
    Parsed parsed;
    int value;
  } cases[] = {
      {"0", Parsed::Ok, 0},
      {"-0", Parsed::Ok, 0},
      {"+17", Parsed::Ok, 17},
      {"-42", Parsed::Ok, -42},
      {"007", Parsed::Ok, 7},
      {"1e6", Parsed::Ok, 1000000},
      {"1E6", Parsed::Ok, 1000000},
      {"2.5e3", Parsed::Ok, 2500},
      {"0.1e1", Parsed::Ok, 1},
      {"12500e-2", Parsed::Ok, 125},
      {"3.", Parsed::Ok, 3},
      {"4.000", Parsed::Ok, 4},
      {"0e999999999999", Parsed::Ok, 0},
      {"2147483647", Parsed::Ok, 2147483647},
      {"-2147483648", Parsed::Ok, -2147483647 - 1},
      {"2.147483647e9", Parsed::Ok, 2147483647},
      {"2147483648", Parsed::OutOfRange, 0},
      {"-2147483649", Parsed::OutOfRange, 0},
      {"1e10", Parsed::OutOfRange, 0},
      {"1e999999999999", Parsed::OutOfRange, 0},
      {"99999999999999999999", Parsed::OutOfRange, 0},
      {"2.9", Parsed::NotANumber, 0},
      {"1e-1", Parsed::NotANumber, 0},
      {".5", Parsed::NotANumber, 0},
      {"1o0", Parsed::NotANumber, 0},
      {"12abc", Parsed::NotANumber, 0},
      {"1,000", Parsed::NotANumber, 0},
      {"0x10", Parsed::NotANumber, 0},
      {"1e", Parsed::NotANumber, 0},
      {"1e+", Parsed::NotANumber, 0},
      {"e5", Parsed::NotANumber, 0},
      {"+-1", Parsed::NotANumber, 0},
      {"-", Parsed::NotANumber, 0},
      {".", Parsed::NotANumber, 0},
      {"", Parsed::NotANumber, 0},
      {"nan", Parsed::NotANumber, 0},
      {"inf", Parsed::NotANumber, 0},
  };
  for (const auto& c : cases) {
    int value = -99;
    EXPECT_EQ(parse_whole_number(c.token, value), c.parsed) << "'" << c.token << "'";
    if (c.parsed == Parsed::Ok) {
      EXPECT_EQ(value, c.value) << "'" << c.token << "'";
    }
  }
}

TEST(ParseNumber, FiniteDecimalNumbersOnly) {
  const struct {
    const char* token;
    Parsed parsed;
    double value;
  } cases[] = {
      {"0", Parsed::Ok, 0.0},
      {"-1.5", Parsed::Ok, -1.5},
      {"+2", Parsed::Ok, 2.0},
      {"2e-3", Parsed::Ok, 0.002},
      {".25", Parsed::Ok, 0.25},
      {"5.", Parsed::Ok, 5.0},
      {"1.7976931348623157e308", Parsed::Ok, 1.7976931348623157e308},
      {"4.9e-324", Parsed::Ok, 4.9e-324},
      {"1e309", Parsed::OutOfRange, 0},
      {"-1e309", Parsed::OutOfRange, 0},
      {"1e-400", Parsed::OutOfRange, 0},
      {"nan", Parsed::NotANumber, 0},
      {"-inf", Parsed::NotANumber, 0},
      {"infinity", Parsed::NotANumber, 0},
      {"0x1p3", Parsed::NotANumber, 0},
      {"1.5x", Parsed::NotANumber, 0},
      {"1,5", Parsed::NotANumber, 0},
      {"+-1", Parsed::NotANumber, 0},
      {"++1", Parsed::NotANumber, 0},
      {"+", Parsed::NotANumber, 0},
      {"", Parsed::NotANumber, 0},
  };
  for (const auto& c : cases) {
    double value = -99;
    EXPECT_EQ(parse_number(c.token, value), c.parsed) << "'" << c.token << "'";
    if (c.parsed == Parsed::Ok) {
      EXPECT_EQ(value, c.value) << "'" << c.token << "'";
    }
  }
}

TEST(QuotedToken, EveryByteOutsidePrintableAsciiEscapedAndLongTokensCut) {
  EXPECT_EQ(quoted_token("abc ~!"), "abc ~!");
  EXPECT_EQ(quoted_token(std::string("a\x1b[2Jb\x7f", 7)), "a\\x1b[2Jb\\x7f");
  // Bytes above 0x7f reach a terminal as they are (0x85 is a line break in
  // Latin-1, 0x9b a control sequence): escaped too, as is UTF-8's "é".
  EXPECT_EQ(quoted_token("\xff\x85" "a\x9b" "2J"), "\\xff\\x85a\\x9b2J");
  EXPECT_EQ(quoted_token("caf\xc3\xa9"), "caf\\xc3\\xa9");
  EXPECT_EQ(quoted_token(std::string(41, '7')), std::string(40, '7') + "...");
  EXPECT_EQ(quoted_token(std::string(40, '7')), std::string(40, '7'));
}

}  // namespace
