// triad end to end: the documented records, the chord's spectrum, and an
// unwritable triad.dat.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "run_program.h"

namespace {

const char kConsole[] = "froot = 264; fthree = 309.375; ffive = 396\n";

struct Triad {
  RunResult run;
  std::vector<std::string> records;
};

Triad run_triad() {
  Workspace dir;
  {
    // An earlier run's file is overwritten, not appended to.
    std::ofstream old(dir.file("triad.dat"));
    old << "1 2\n3 4\n";
  }
  Triad triad{run_program(program_path("triad"), "", dir), {}};
  triad.records = split_lines(dir.read("triad.dat"));
  return triad;
}

// Known records: the first, second and last records required of triad; the
// second is sin(2 pi 264 dt) + sin(2 pi 309.375 dt) + sin(2 pi 396 dt) at
// dt = 1 / 26400, which a calculator gives as 0.230463.
TEST(Triad, FirstSecondAndLastRecords) {
  Triad triad = run_triad();
  EXPECT_EQ(triad.run.status, 0);
  EXPECT_EQ(triad.run.out, kConsole);
  EXPECT_EQ(triad.run.err, "");
  ASSERT_EQ(triad.records.size(), 30000u);
  EXPECT_EQ(triad.records[0], "0 0");
  EXPECT_EQ(triad.records[1], "3.78788e-05 0.230463");
  // The last sample is 29999 dt: the full 300 periods are not reached.
  EXPECT_EQ(triad.records.back().substr(0, 8), "1.13633 ");
}

// Amplitude of the component at `frequency`, through a Hann window so that
// the other notes' leakage stays far below the tolerance.
double amplitude(const std::vector<double>& v, double dt, double frequency) {
  std::complex<double> sum = 0;
  double weight = 0;
  const double n = static_cast<double>(v.size());
  for (size_t i = 0; i < v.size(); i++) {
    double w = 0.5 - 0.5 * std::cos(2 * M_PI * i / n);
    sum += w * v[i] * std::polar(1.0, -2 * M_PI * frequency * i * dt);
    weight += w;
  }
  return 2 * std::abs(sum) / weight;
}

TEST(Triad, SpectrumHoldsTheThreeNotesAtUnitAmplitude) {
  Triad triad = run_triad();
  ASSERT_EQ(triad.records.size(), 30000u);
  std::vector<double> values;
  for (const std::string& record : triad.records) {
    std::istringstream in(record);
    double t = 0, v = 0;
    ASSERT_TRUE(in >> t >> v) << record;
    ASSERT_LE(std::fabs(v), 3.0) << "at t = " << t;
    values.push_back(v);
  }
  const double dt = 1.0 / 264 / 100;
  for (double note : {264.0, 309.375, 396.0})
    EXPECT_NEAR(amplitude(values, dt, note), 1.0, 0.01) << note << " Hz";
  for (double away : {150.0, 300.0, 350.0, 500.0, 528.0})
    EXPECT_LT(amplitude(values, dt, away), 0.05) << away << " Hz";
}

TEST(Triad, UnwritableDataFileIsReported) {
  RunResult run = run_blocked(program_path("triad"), "", "triad.dat", Blocked::ByDirectory);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "triad: cannot open triad.dat for writing: Is a directory\n");

  run = run_blocked(program_path("triad"), "", "triad.dat", Blocked::ByFullDisk);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, kConsole);
  EXPECT_EQ(run.err, "triad: cannot write triad.dat: No space left on device\n");
}

}  // namespace
