// mean end to end, on the documented inputs and on a long input whose exact
// mean is known.
#include <gtest/gtest.h>

#include <string>

#include "run_program.h"

namespace {

// Known means: the inputs required of mean, their means worked out by hand.
TEST(Mean, MeansOfShortInputs) {
  const struct {
    const char* input;
    const char* printed;
  } cases[] = {
      {"1 2 3 4", "2.5\n"},
      {"1\n2\n\t3   4\n", "2.5\n"},
      {"1 2 x 3", "1.5\n"},  // reading stops at x
      {"7.25\n", "7.25\n"},
      {"-1e300 1e300", "0\n"},
      {"1 1 2", "1.33333\n"},
      {"", "-nan\n"},  // 0/0; x86-64 sets the NaN's sign bit
      {"words only", "-nan\n"},
      {"1 nan 3", "1\n"},  // "nan" is not a number to the stream: reading stops
      {"4 inf", "4\n"},
      {"2 1e999 5", "2\n"},  // beyond double's range: not read
  };
  for (const auto& c : cases) {
    Workspace dir;
    RunResult run = run_program(program_path("mean"), c.input, dir);
    EXPECT_EQ(run.status, 0) << "input '" << c.input << "'";
    EXPECT_EQ(run.out, c.printed) << "input '" << c.input << "'";
    EXPECT_EQ(run.err, "") << "input '" << c.input << "'";
  }
}

// A read that fails is no mean: one line with the system's reason, status 1.
TEST(Mean, AReadErrorIsStatusOneWithTheReason) {
  Workspace dir;
  StartedWith start;
  start.input_folder = true;
  RunResult run = run_started_with({program_path("mean")}, "", dir, start);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err.rfind("mean: cannot read standard input: ", 0), 0u) << run.err;
  EXPECT_EQ(split_lines(run.err).size(), 1u) << run.err;
}

// A number is read up to 4096 characters: "1." and 4094 zeros is 1; one
// more character, or a megabyte of digits, ends the run at once with
// status 2 and no mean, even after numbers already read.
TEST(Mean, ANumberPastTheBoundIsRefused) {
  const std::string longest = "1." + std::string(4094, '0');
  const struct {
    std::string input;
    int status;
    const char* printed;
  } cases[] = {
      {longest + "\n", 0, "1\n"},
      {"3 " + longest + " 5", 0, "3\n"},
      {longest + "0\n", 2, ""},
      {"3 5 " + longest + "0", 2, ""},
      {"1" + std::string(1 << 20, '0'), 2, ""},
  };
  for (const auto& c : cases) {
    Workspace dir;
    RunResult run = run_program(program_path("mean"), c.input, dir);
    EXPECT_EQ(run.status, c.status) << c.input.size() << " characters";
    EXPECT_EQ(run.out, c.printed) << c.input.size() << " characters";
    EXPECT_EQ(run.err, c.status == 0 ? ""
                                     : "mean: a number in the input is too long: more than 4096 "
                                       "characters\n");
  }
}

TEST(Mean, AMillionValuesAlternatingAveragePointTwo) {
  std::string input;
  for (int i = 0; i < 500'000; i++) input += "0.1\n0.3\n";
  Workspace dir;
  RunResult run = run_program(program_path("mean"), input, dir);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "0.2\n");
}

}  // namespace
