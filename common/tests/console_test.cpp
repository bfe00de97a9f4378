// Answers read token by token: which tokens are whole numbers or numbers,
// and the value each stands for as written in decimal.
#include "console.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

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

// Tokens as `stream >> string` splits them (blank, tab, line feed, vertical
// tab, form feed and carriage return separate; any other byte, NUL among
// them, belongs to the token), cut off at the bound.
TEST(ReadToken, SplitsAtWhiteSpaceAndStopsPastTheBound) {
  const struct {
    std::string input;
    std::size_t limit;
    std::vector<std::string> tokens;
    Token last;
  } cases[] = {
      {"12 -3\n\t4e5\r\n", 10, {"12", "-3", "4e5"}, Token::Ended},
      {"\v\f7\v8\f", 10, {"7", "8"}, Token::Ended},
      {std::string("a\0b c", 5), 10, {std::string("a\0b", 3), "c"}, Token::Ended},
      {"", 10, {}, Token::Ended},
      {"  \n ", 10, {}, Token::Ended},
      {"1234 12345", 4, {"1234"}, Token::TooLong},  // at the bound, then past it
      {"1234", 4, {"1234"}, Token::Ended},
      {std::string(100000, '0'), 4096, {}, Token::TooLong},
  };
  for (const auto& c : cases) {
    std::stringbuf in(c.input);
    std::vector<std::string> tokens;
    std::string token;
    Token read;
    while ((read = read_token(in, token, c.limit)) == Token::Read) tokens.push_back(token);
    EXPECT_EQ(tokens, c.tokens) << "'" << c.input.substr(0, 20) << "'";
    EXPECT_EQ(read, c.last) << "'" << c.input.substr(0, 20) << "'";
  }
  // Past the bound nothing more is read: the character after the bound's
  // is the next one waiting.
  std::stringbuf in("abcdefg");
  std::string token;
  EXPECT_EQ(read_token(in, token, 3), Token::TooLong);
  EXPECT_EQ(in.sgetc(), 'd');
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
