// runge end to end: the documented tables byte for byte, then bad input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run_program.h"

namespace {

const char kPrompts[] =
    "Enter the number of data points:\nEnter the lower range:\nEnter the upper range:\n";

struct Table {
  std::string out;
  std::string file;
};

// The expected table from (point, value) pairs as they print.
Table table(const std::vector<std::pair<std::string, std::string>>& rows) {
  Table t{kPrompts, ""};
  for (const auto& [x, f] : rows) {
    t.out += "X-value: " + x + " F(x): " + f + "\n";
    t.file += x + " " + f + "\n";
  }
  return t;
}

// Known tables: the cases required of runge (N 0, 1, 2 and 11 points on
// [-5, 5]), whose values are 1 / (1 + x^2) at whole x, worked out by hand.
TEST(Runge, TablesForSmallCountsAndWholePoints) {
  const struct {
    const char* input;
    Table expected;
  } cases[] = {
      {"0\n-5\n5\n", table({})},
      // One point: the step divides by zero; 0 times an infinity, or 0/0
      // when the bounds are equal, is a NaN (printed with its sign bit).
      {"1\n0\n1\n", table({{"-nan", "-nan"}})},
      {"1\n3\n3\n", table({{"-nan", "-nan"}})},
      {"2\n-1\n3\n", table({{"-1", "0.5"}, {"3", "0.1"}})},
      {"11\n-5\n5\n",
       table({{"-5", "0.0384615"}, {"-4", "0.0588235"}, {"-3", "0.1"}, {"-2", "0.2"},
              {"-1", "0.5"}, {"0", "1"}, {"1", "0.5"}, {"2", "0.2"}, {"3", "0.1"},
              {"4", "0.0588235"}, {"5", "0.0384615"}})},
      {"3\n2\n-2\n", table({{"2", "0.2"}, {"0", "1"}, {"-2", "0.2"}})},
      // 1 / (1.5^2 + 1) = 1 / 3.25
      {"3\n1.5\n1.5\n", table({{"1.5", "0.307692"}, {"1.5", "0.307692"}, {"1.5", "0.307692"}})},
  };
  for (const auto& c : cases) {
    Workspace dir;
    RunResult run = run_program(program_path("runge"), c.input, dir);
    EXPECT_EQ(run.status, 0) << c.input;
    EXPECT_EQ(run.err, "") << c.input;
    EXPECT_EQ(run.out, c.expected.out) << c.input;
    EXPECT_EQ(dir.read("runge.dat"), c.expected.file) << c.input;
  }
}

TEST(Runge, BadInputStopsWithOneLine) {
  const struct {
    const char* input;
    const char* message;
  } cases[] = {
      {"-1\n0\n1\n", "runge: the number of data points must not be negative\n"},
      {"", "runge: expected a whole number for the number of data points\n"},
      {"ten\n", "runge: expected a whole number for the number of data points, not 'ten'\n"},
      {"10\n-\n", "runge: expected a number for the lower range, not '-'\n"},
      {"10\n0\nup\n", "runge: expected a number for the upper range, not 'up'\n"},
      {"10\n-inf\n1\n", "runge: expected a number for the lower range, not '-inf'\n"},
      {"10\n0\n", "runge: expected a number for the upper range\n"},
  };
  for (const auto& c : cases) {
    Workspace dir;
    RunResult run = run_program(program_path("runge"), c.input, dir);
    EXPECT_EQ(run.status, 1) << c.input;
    EXPECT_EQ(run.err, c.message) << c.input;
    EXPECT_EQ(dir.read("runge.dat"), "") << c.input;
  }
}

// A range whose width, or whose last point, lies beyond a double is refused
// with status 2 before any line: its table would be infinities and
// not-a-numbers. 1.7976931348623157e308 / 3 rounds up, so three of those
// steps pass the largest double though the width itself does not.
TEST(Runge, RangesThatOverflowAreRefused) {
  for (const char* input : {"3\n-1.7e308\n1.7e308\n", "2\n1e308\n-1e308\n",
                            "1\n-1e308\n1e308\n", "4\n0\n1.7976931348623157e308\n"}) {
    Workspace dir;
    RunResult run = run_program(program_path("runge"), input, dir);
    EXPECT_EQ(run.status, 2) << input;
    EXPECT_EQ(run.out, kPrompts) << input;
    EXPECT_EQ(run.err, "runge: the range is too wide: its step or its points overflow a double\n")
        << input;
    EXPECT_EQ(dir.read("runge.dat"), "") << input;
  }
  // Wide, but every point a double: -8e307, 0 and 8e307, where x^2 is
  // beyond a double and 1 / (x^2 + 1) is 0.
  Workspace dir;
  RunResult run = run_program(program_path("runge"), "3\n-8e307\n8e307\n", dir);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, table({{"-8e+307", "0"}, {"0", "1"}, {"8e+307", "0"}}).out);
}

TEST(Runge, UnwritableDataFile) {
  RunResult run = run_blocked(program_path("runge"), "3\n0\n1\n", "runge.dat", Blocked::ByDirectory);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "runge: cannot open runge.dat for writing: Is a directory\n");

  run = run_blocked(program_path("runge"), "3\n0\n1\n", "runge.dat", Blocked::ByFullDisk);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(split_lines(run.out).size(), 6u) << "standard output keeps every line";
  EXPECT_EQ(run.err, "runge: cannot write runge.dat: No space left on device\n");
}

}  // namespace
