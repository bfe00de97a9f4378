// The suite's programs as the tests that run all of them see them: what
// each reads, a small valid input, the Data files it writes.
#pragma once

#include <string>
#include <vector>

enum class Field { WholeNumber, Number };

struct SuiteProgram {
  std::string name;
  std::vector<Field> fields;            // the answers it reads, in order
  std::string input;                    // a small valid input for them
  std::vector<std::string> data_files;  // in the order it opens them
  std::vector<std::string> arguments;   // for a small run (operands)
  std::string first_prompt;             // its first line of output, if it asks
};

// Every program of the suite; mean reads numbers by a rule of its own and
// has no fields here.
const std::vector<SuiteProgram>& suite_programs();

// Whether a program was built (the ROOT programs need ROOT).
bool built(const SuiteProgram& program);
