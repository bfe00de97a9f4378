// Every plot script, run by gnuplot on the Data files of a small run, must
// write a real PNG of 800 x 600 pixels: checked by its signature and its
// IHDR chunk, not just by the file's existence.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "run_program.h"

namespace {

struct PlotCase {
  std::string program;
  std::string input;
  std::string data;
  std::string script;  // relative to the source tree
  std::string assignments;
};

void PrintTo(const PlotCase& c, std::ostream* os) { *os << c.script << " on " << c.data; }

const PlotCase kCases[] = {
    {"random_boxmuller", "2000\n", "random_dist.dat", "sampling/plot_samples.gp", "sampler='random_boxmuller'"},
    {"random_clt", "2000\n", "random_dist.dat", "sampling/plot_samples.gp", "sampler='random_clt'"},
    {"random_expo", "2000\n", "random_dist.dat", "sampling/plot_samples.gp", "sampler='random_expo'"},
    {"random_sum2", "2000\n", "random_dist.dat", "sampling/plot_samples.gp", "sampler='random_sum2'"},
    {"random_reject", "2000\n", "random_dist.dat", "sampling/plot_samples.gp", "sampler='random_reject'"},
    {"poly_deriv", "20\n0\n4\n", "poly.dat", "series/plot_poly.gp", ""},
    {"poly_deriv", "20\n0\n4\n", "deriv.dat", "series/plot_deriv.gp", ""},
    {"gaussian_errors", "2000\n1\n0.5\n", "gaussian_errors.dat", "series/plot_gaussian_errors.gp", ""},
    {"runge", "11\n-5\n5\n", "runge.dat", "series/plot_runge.gp", ""},
    {"triad", "", "triad.dat", "triad/plot_triad.gp", ""},
    {"gas_relax", "", "gas_kurtosis.dat", "examples/gas/plot_gas_kurtosis.gp", ""},
    {"gas_relax", "", "gas_speeds.dat", "examples/gas/plot_gas_speeds.gp", ""},
};

uint32_t big_endian(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; i++) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

class PlotScript : public testing::TestWithParam<PlotCase> {};

TEST_P(PlotScript, WritesAPngOfTheExpectedSize) {
  const PlotCase& c = GetParam();
  const std::string gnuplot = "/usr/bin/gnuplot";
  if (access(gnuplot.c_str(), X_OK) != 0) GTEST_SKIP() << "gnuplot is not installed";
  if (access(program_path(c.program).c_str(), X_OK) != 0)
    GTEST_SKIP() << c.program << " was not built";

  Workspace dir;
  RunResult run = run_program(program_path(c.program), c.input, dir);
  ASSERT_EQ(run.status, 0) << run.err;
  RunResult plot = run_command(
      {gnuplot, "-e", "data='" + c.data + "'; out='plot.png'; " + c.assignments,
       std::string(NUMLAB_SOURCE_DIR) + "/" + c.script},
      "", dir);
  ASSERT_EQ(plot.status, 0) << plot.err;
  EXPECT_EQ(plot.err, "") << "gnuplot warned";

  std::string png = dir.read("plot.png");
  ASSERT_GE(png.size(), 33u);
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8)) << "PNG signature";
  EXPECT_EQ(big_endian(png, 8), 13u) << "IHDR length";
  EXPECT_EQ(png.substr(12, 4), "IHDR");
  EXPECT_EQ(big_endian(png, 16), 800u) << "width";
  EXPECT_EQ(big_endian(png, 20), 600u) << "height";
  EXPECT_GT(png.size(), 10000u) << "an 800 x 600 plot with axes and data";
}

INSTANTIATE_TEST_SUITE_P(AllDataFiles, PlotScript, testing::ValuesIn(kCases),
                         [](const auto& info) {
                           std::string name = info.param.data.substr(0, info.param.data.find('.')) +
                                              "_" + info.param.program;
                           return name;
                         });

}  // namespace
