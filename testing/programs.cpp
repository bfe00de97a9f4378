#include "programs.h"

#include <unistd.h>

#include "run_program.h"

namespace {

const std::string kSamplerPrompt = "Enter the number of data points to generate:";

SuiteProgram sampler(const std::string& name) {
  return {name, {Field::WholeNumber}, "3\n", {"random_dist.dat"}, {}, kSamplerPrompt};
}

}  // namespace

const std::vector<SuiteProgram>& suite_programs() {
  const std::vector<Field> range = {Field::WholeNumber, Field::Number, Field::Number};
  static const std::vector<SuiteProgram> programs = {
      sampler("random_boxmuller"),
      sampler("random_clt"),
      sampler("random_expo"),
      sampler("random_sum2"),
      sampler("random_reject"),
      {"poly_deriv", range, "5\n0\n4\n", {"poly.dat", "deriv.dat"}, {},
       "Enter the number of data points:"},
      {"gaussian_errors", range, "20\n0\n1\n", {"gaussian_errors.dat"}, {},
       "Enter the number of samples:"},
      {"runge", range, "5\n-1\n1\n", {"runge.dat"}, {}, "Enter the number of data points:"},
      {"root_step", {Field::WholeNumber}, "100\n", {}, {}, "Enter the division size: "},
      {"root_bisect", {}, "", {}, {}, ""},
      {"pendulum", {}, "", {}, {}, ""},
      {"triad", {}, "", {"triad.dat"}, {}, ""},
      {"mean", {}, "1 2 3 4\n", {}, {}, ""},
      {"gas_relax", {}, "", {"gas_kurtosis.dat", "gas_speeds.dat"}, {"400", "3"}, ""},
  };
  return programs;
}

bool built(const SuiteProgram& program) {
  return access(program_path(program.name).c_str(), X_OK) == 0;
}
