// The suite's programs as the tests see them, taken from programs.txt.
#pragma once

#include <string>
#include <vector>

struct SuiteProgram {
  std::string name;
  // A valid input, one word per line: the main job's answers ("" when the
  // program asks nothing), or, for a program that reads another run's Data
  // file (mean), the numbers that stand in for it.
  std::string input;
  int answers;                            // how many answers it asks for
  std::vector<std::string> data_files;    // in the order it opens them
  std::vector<std::string> plot_scripts;  // one per Data file, from the source tree
};

// Every program of programs.txt, in its order.
const std::vector<SuiteProgram>& suite_programs();

// Whether a program was built (the ROOT programs need ROOT).
bool built(const SuiteProgram& program);
