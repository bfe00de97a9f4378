// The five sampler programs run end to end in a fresh folder: standard output
// and random_dist.dat compared byte for byte with dialogues built from the
// documented sample values, then the failures a user can cause.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "run_program.h"

namespace {

const char kPrompt[] = "Enter the number of data points to generate:\n";

struct Sample {
  long state;         // generator state printed on the sample's line
  std::string value;  // the value as the stream prints it
};

struct Sampler {
  std::string name;
  std::vector<Sample> first;  // the first samples from seed 1
  int deviates_per_sample;    // 0 where it varies (rejection)
};

// The first samples of each program, from the documented edge cases.
const std::vector<Sampler> kSamplers = {
    {"random_boxmuller", {{282475249, "1.0008"}, {984943658, "0.5133"}}, 2},
    {"random_clt", {{1899894091, "0.25816"}, {1816731566, "0.693923"}}, 48},
    {"random_expo", {{16807, "7.8264e-06"}, {282475249, "0.141031"}}, 1},
    {"random_sum2", {{282475249, "0.131546"}, {984943658, "1.21426"}}, 2},
    {"random_reject",
     {{470211272, "1.11796"},
      {16531729, "1.61614"},
      {143542612, "0.580296"},
      {156091745, "1.54547"},
      {357571490, "0.493354"}},
     0},
};

struct Expected {
  std::string out;
  std::string file;
};

Expected dialogue(const std::vector<Sample>& samples, int count) {
  Expected expected{kPrompt, ""};
  for (int i = 0; i < count; i++) {
    std::ostringstream line;
    line << "Random number: " << i << " = " << samples[i].state << " = "
         << samples[i].value << "\n";
    expected.out += line.str();
    expected.file += samples[i].value + "\n";
  }
  return expected;
}

// Names the case in test output instead of dumping its bytes.
void PrintTo(const Sampler& c, std::ostream* os) { *os << c.name; }

class SamplerDialogue : public testing::TestWithParam<Sampler> {};

// The rejection sampler's summary after its first 1, 2 and 5 points, which
// take 3, 6, 1, 13 and 5 tries.
const struct {
  int count;
  const char* summary;
} kRejectSummaries[] = {
    {1, "Total number of tries: 3 Tries per point: 3\n"},
    {2, "Total number of tries: 9 Tries per point: 4.5\n"},
    {5, "Total number of tries: 28 Tries per point: 5.6\n"},
};

TEST_P(SamplerDialogue, FirstSamplesMatchByteForByte) {
  const Sampler& sampler = GetParam();
  for (const auto& c : kRejectSummaries) {
    if (c.count > static_cast<int>(sampler.first.size())) continue;
    Workspace dir;
    {
      // A Data file from an earlier run is overwritten, not appended to.
      std::ofstream old(dir.file("random_dist.dat"));
      old << "left over\nfrom an earlier run\n";
    }
    RunResult run = run_program(program_path(sampler.name),
                                std::to_string(c.count) + "\n", dir);
    Expected expected = dialogue(sampler.first, c.count);
    if (sampler.name == "random_reject") expected.out += c.summary;
    EXPECT_EQ(run.status, 0) << "count " << c.count;
    EXPECT_EQ(run.err, "") << "count " << c.count;
    EXPECT_EQ(run.out, expected.out) << "count " << c.count;
    EXPECT_EQ(dir.read("random_dist.dat"), expected.file)
        << "count " << c.count;
  }
}

TEST_P(SamplerDialogue, CountsOfZeroOrLessDrawNothing) {
  const Sampler& sampler = GetParam();
  // Rejection's summary divides 0 tries by the count: 0/0 is a NaN whose
  // sign bit x86-64 sets, 0/-3 is negative zero.
  const struct {
    const char* input;
    const char* summary;
  } cases[] = {{"0\n", "Total number of tries: 0 Tries per point: -nan\n"},
               {"-3\n", "Total number of tries: 0 Tries per point: -0\n"}};
  for (const auto& c : cases) {
    Workspace dir;
    RunResult run = run_program(program_path(sampler.name), c.input, dir);
    std::string expected = kPrompt;
    if (sampler.name == "random_reject") expected += c.summary;
    EXPECT_EQ(run.status, 0) << "count " << c.input;
    EXPECT_EQ(run.out, expected) << "count " << c.input;
    EXPECT_TRUE(dir.exists("random_dist.dat")) << "count " << c.input;
    EXPECT_EQ(dir.read("random_dist.dat"), "") << "count " << c.input;
  }
}

// Each sample consumes a fixed number of deviates, none skipped: the state on
// line i is the one libstdc++'s minstd_rand0 reaches after (i + 1) times that
// many draws from seed 1.
TEST_P(SamplerDialogue, StatesAdvanceByTheDeviatesEachSampleDraws) {
  const Sampler& sampler = GetParam();
  const int count = 500;
  Workspace dir;
  RunResult run = run_program(program_path(sampler.name),
                              std::to_string(count) + "\n", dir);
  ASSERT_EQ(run.status, 0);
  std::vector<std::string> lines = split_lines(run.out);
  std::vector<std::string> file_lines = split_lines(dir.read("random_dist.dat"));
  ASSERT_GE(lines.size(), static_cast<size_t>(count + 1));
  ASSERT_EQ(file_lines.size(), static_cast<size_t>(count));

  std::minstd_rand0 reference(1);
  long draws = 0;
  for (int i = 0; i < count; i++) {
    std::istringstream line(lines[i + 1]);
    std::string label1, label2, eq1, eq2, value;
    int index = -1;
    long state = -1;
    line >> label1 >> label2 >> index >> eq1 >> state >> eq2 >> value;
    ASSERT_EQ(index, i);
    ASSERT_EQ(value, file_lines[i]) << "console and file differ at " << i;
    int per_sample = sampler.deviates_per_sample;
    if (per_sample == 0) {
      // Rejection: two draws per try, so the state must be reached after an
      // even number of further draws.
      long expected = 0;
      do {
        expected = static_cast<long>(reference());
        expected = static_cast<long>(reference());
        draws += 2;
      } while (expected != state && draws < 200'000);
      ASSERT_EQ(state, expected) << "sample " << i << " after " << draws;
    } else {
      reference.discard(per_sample - 1);
      ASSERT_EQ(state, static_cast<long>(reference())) << "sample " << i;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllSamplers, SamplerDialogue,
                         testing::ValuesIn(kSamplers),
                         [](const auto& info) { return info.param.name; });

// random_reject's summary and its last line agree with the generator: the
// tries it reports, two draws each, leave libstdc++'s minstd_rand0 where the
// last point's line says the generator stands.
TEST(RejectTries, ReportedTriesAccountForEveryDraw) {
  for (int count : {1, 5, 40}) {
    Workspace dir;
    RunResult run = run_program(program_path("random_reject"), std::to_string(count) + "\n", dir);
    ASSERT_EQ(run.status, 0);
    std::vector<std::string> lines = split_lines(run.out);
    ASSERT_EQ(lines.size(), static_cast<size_t>(count + 2));
    std::istringstream last(lines[count]), summary(lines[count + 1]);
    std::string word;
    long state = 0;
    for (int k = 0; k < 4; k++) last >> word;  // Random number: <i> =
    last >> state;
    double tries = 0, per_point = 0;
    for (int k = 0; k < 4; k++) summary >> word;  // Total number of tries:
    summary >> tries;
    for (int k = 0; k < 3; k++) summary >> word;  // Tries per point:
    summary >> per_point;
    std::minstd_rand0 reference(1);
    reference.discard(static_cast<unsigned long long>(2 * tries) - 1);
    EXPECT_EQ(static_cast<long>(reference()), state) << count << " points, " << tries << " tries";
    EXPECT_NEAR(per_point, tries / count, 1e-5 * tries / count);
  }
}

// A long run, line by line, against output made independently: states from
// libstdc++'s minstd_rand0, the exponential sample -log(1 - u) worked out
// here, and every line written by a default std::ostream with std::endl.
TEST(ExponentialSampler, LongRunPrintsEveryLineAsTheStreamWouldWriteIt) {
  const int count = 100'000;
  std::minstd_rand0 reference(1);
  std::ostringstream out, file;
  out << kPrompt;
  for (int i = 0; i < count; i++) {
    long state = static_cast<long>(reference());
    double value = (-1.0) * std::log(1.0 - state / 2147483647.0);
    out << "Random number: " << i << " = " << state << " = " << value
        << std::endl;
    file << value << std::endl;
  }
  Workspace dir;
  RunResult run =
      run_program(program_path("random_expo"), std::to_string(count) + "\n", dir);
  ASSERT_EQ(run.status, 0);
  EXPECT_TRUE(run.out == out.str()) << "standard output differs";
  EXPECT_TRUE(dir.read("random_dist.dat") == file.str())
      << "random_dist.dat differs";
}

class SamplerBadInput : public testing::TestWithParam<Sampler> {};

TEST_P(SamplerBadInput, DataFileThatCannotBeOpenedStopsBeforePrompting) {
  const Sampler& sampler = GetParam();
  RunResult run = run_blocked(program_path(sampler.name), "2\n", "random_dist.dat",
                              Blocked::ByDirectory);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, sampler.name +
                         ": cannot open random_dist.dat for writing: "
                         "Is a directory\n");
}

TEST_P(SamplerBadInput, FailedWritesAreReportedAtTheEnd) {
  const Sampler& sampler = GetParam();
  RunResult run = run_blocked(program_path(sampler.name), "3\n", "random_dist.dat",
                              Blocked::ByFullDisk);
  EXPECT_EQ(run.status, 1);
  size_t expected_lines = sampler.name == "random_reject" ? 5 : 4;
  EXPECT_EQ(split_lines(run.out).size(), expected_lines)
      << "standard output still shows every line:\n" << run.out;
  EXPECT_EQ(run.err, sampler.name +
                         ": cannot write random_dist.dat: "
                         "No space left on device\n");
}

TEST_P(SamplerBadInput, UnreadableCountDrawsNothing) {
  const Sampler& sampler = GetParam();
  const struct {
    const char* input;
    const char* refusal;  // what the message adds after the field
  } cases[] = {{"", ""},
               {"  \n\n", ""},
               {"abc\n", ", not 'abc'"},
               {"-x\n", ", not '-x'"},
               {"99999999999\n", ", not '99999999999' (out of range)"}};
  for (const auto& c : cases) {
    Workspace dir;
    RunResult run = run_program(program_path(sampler.name), c.input, dir);
    EXPECT_EQ(run.status, 1) << "input '" << c.input << "'";
    EXPECT_EQ(run.out, kPrompt) << "input '" << c.input << "'";
    EXPECT_EQ(run.err, sampler.name + ": expected a whole number for the number of data points" +
                           c.refusal + "\n")
        << "input '" << c.input << "'";
    EXPECT_EQ(dir.read("random_dist.dat"), "") << "input '" << c.input << "'";
  }
}

INSTANTIATE_TEST_SUITE_P(AllSamplers, SamplerBadInput,
                         testing::ValuesIn(kSamplers),
                         [](const auto& info) { return info.param.name; });

}  // namespace
