#include "programs.h"

#include <unistd.h>

#include <sstream>

#include "run_program.h"

namespace {

struct Listed {
  const char* name;
  const char* input;  // blank-separated
  bool reads_file;    // numbers standing in for another run's Data file
  std::vector<std::string> data_files;
  std::vector<std::string> plot_scripts;
};

SuiteProgram from_list(const Listed& listed) {
  SuiteProgram p{listed.name, "", 0, listed.data_files, listed.plot_scripts};
  std::istringstream words(listed.input);
  for (std::string word; words >> word;) {
    p.input += word + "\n";
    if (!listed.reads_file) p.answers++;
  }
  return p;
}

}  // namespace

const std::vector<SuiteProgram>& suite_programs() {
  // Made on first use, so that tests may take it during static
  // initialisation (a parameterised test's list of values).
  static const std::vector<SuiteProgram> programs = [] {
    // programs.txt as C++ initialisers, made at configure time.
    const Listed listed_programs[] = {
#include "suite_programs.inc"
    };
    std::vector<SuiteProgram> list;
    for (const Listed& listed : listed_programs) list.push_back(from_list(listed));
    return list;
  }();
  return programs;
}

bool built(const SuiteProgram& program) {
  return access(program_path(program.name).c_str(), X_OK) == 0;
}
