// Every plot script, run by gnuplot on the Data files of a small run, must
// write a real PNG of 800 x 600 pixels: checked by its signature and its
// IHDR chunk, not just by the file's existence.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "programs.h"
#include "run_program.h"

namespace {

// One Data file of a program and the plot script that draws it.
struct PlotCase {
  SuiteProgram program;
  std::string data;
  std::string script;  // relative to the source tree
};

void PrintTo(const PlotCase& c, std::ostream* os) { *os << c.script << " on " << c.data; }

// Every Data file of programs.txt with its plot script.
std::vector<PlotCase> plot_cases() {
  std::vector<PlotCase> cases;
  for (const SuiteProgram& p : suite_programs())
    for (size_t k = 0; k < p.data_files.size(); k++)
      cases.push_back({p, p.data_files[k], p.plot_scripts.at(k)});
  return cases;
}

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
  if (!built(c.program)) GTEST_SKIP() << c.program.name << " was not built";

  // The main job's run, and its call of gnuplot.
  Workspace dir;
  RunResult run = run_program(program_path(c.program.name), c.program.input, dir);
  ASSERT_EQ(run.status, 0) << run.err;
  RunResult plot = run_command(
      {gnuplot, "-e", "data='" + c.data + "'; out='plot.png'; program='" + c.program.name + "'",
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

INSTANTIATE_TEST_SUITE_P(AllDataFiles, PlotScript, testing::ValuesIn(plot_cases()),
                         [](const auto& info) {
                           return info.param.data.substr(0, info.param.data.find('.')) + "_" +
                                  info.param.program.name;
                         });

}  // namespace
