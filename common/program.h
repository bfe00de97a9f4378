// What every program of the suite does before its own work, and how its
// standard output is written.
//
// start_program, called first in main:
//   1. Standard descriptors: any of 0, 1 and 2 that the program was started
//      with closed is taken by the null device, opened so that using it fails
//      (reading at 0, writing at 1 and 2). No Data file can then take its
//      number, and output meant for a closed stream fails like any other
//      failed write.
//   2. Standard output: std::cout writes through a buffer of its own that
//      checks every write. A failed write (a closed stream, a full disk, a
//      reader gone while SIGPIPE is ignored) stops the program at once with
//      "<program>: cannot write standard output: <reason>" on standard error
//      and exit status 1; the Data files keep the whole lines written so far.
//      With SIGPIPE at its default the program still ends by it, quietly.
//      Standard output is closed, and the close checked, at exit.
//   3. Arguments: -h or --help prints the help text and exits with 0,
//      --version prints "<program> (numlab) <version>" and exits with 0, and
//      any other argument is refused with
//      "<program>: unknown argument '<arg>'; try --help" and exit status 2.
//      A program that takes operands says how many; they are returned. A
//      program with options that take a value names them: each is taken as
//      "--name VALUE" or "--name=VALUE", and one without its value is a
//      usage error too.
#pragma once

#include <vector>

class TextLine;

struct ProgramHelp {
  const char* name;
  const char* operands;     // as the usage line shows them, "" for none
  const char* summary;      // one line, also the manual page's NAME line
  const char* description;  // what it computes, asks and writes
  const char* failures;     // what ends a run with status 1
  // What ends a run with status 2: a request it cannot carry out as given.
  const char* usage_errors = "an unknown argument";
};

// An option that takes a value.
struct ValueOption {
  const char* name;           // "--threads"
  const char* help;           // its lines under Options in --help
  const char* value = nullptr;  // what the command line gave, if anything
};

std::vector<const char*> start_program(int argc, char** argv, const ProgramHelp& help,
                                       int max_operands = 0,
                                       std::vector<ValueOption>* options = nullptr);

// Console output, one rule for every program:
//   - text alone (a prompt, a fixed message) is written to std::cout;
//   - a line that shows a number is built in a TextLine and written with
//     print_line. TextLine formats every number as a default stream does
//     with glibc, the same with every C++ library (NaN and infinity
//     included), and print_line sends the line out at once, as std::endl
//     would, after anything std::cout held before it.
void print_line(TextLine& line);

// Reports a failed write to standard output and ends the program with
// status 1.
[[noreturn]] void standard_output_failed(int error);
