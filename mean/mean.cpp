// Prints the arithmetic mean of the numbers on standard input. Reading stops
// at the end of the input or at the first token that is not a number; with
// no number read the mean is 0/0, printed as the stream prints a NaN.
// Deliberate: the sum as value + sum in double, divided by the count at the end.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "computed_nan.h"
#include "console.h"
#include "number_reader.h"
#include "program.h"
#include "text_line.h"

namespace {
const ProgramHelp kHelp = {
    "mean", "",
    "arithmetic mean of the numbers on standard input",
    "Prints the arithmetic mean of the numbers on standard input. Reading stops\n"
    "at the end of the input or at the first word that is not a number (nan,\n"
    "inf and numbers beyond double stop it too); with no number read the mean\n"
    "is 0/0, printed as -nan.\n"
    "\n"
    "Writes:\n"
    "  standard output  the mean; no file\n",
    "standard input could not be read; standard output could not be written",
    "an unknown argument, or a number longer than " STRINGIFY(LONGEST_ANSWER)
    " characters (no mean is\n"
    "     printed)"};
}  // namespace

int main(int argc, char** argv) {
  start_program(argc, argv, kHelp);
  double sum = 0;
  long long count = 0;  // 64 bits: more than 2^31 - 1 values must not overflow
  double value = 0;
  NumberRead read;
  while ((read = read_number(*std::cin.rdbuf(), value, kLongestAnswer)) == NumberRead::Number) {
    sum = value + sum;
    count += 1;
  }
  if (read == NumberRead::TooLong) {
    std::cerr << kHelp.name << ": a number in the input is too long: more than "
              << kLongestAnswer << " characters" << std::endl;
    return 2;
  }
  // std::cin reads through C's stdin, which records a failed read (standard
  // input a folder, say) apart from the end of the input: no mean then.
  if (std::ferror(stdin)) {
    std::cerr << kHelp.name << ": cannot read standard input: " << std::strerror(errno)
              << std::endl;
    return 1;
  }
  // Divided at run time, never folded by the compiler: with no number read,
  // 0.0 / 0.0 is then the processor's NaN, whose sign bit x86-64 sets, so
  // every build prints "-nan" (a folded division gives "nan"); and on every
  // processor, ARM's included, as x86-64 prints it.
  const volatile double n = static_cast<double>(count);
  TextLine line;
  line << as_computed_on_x86(sum / n);
  print_line(line);
  return 0;
}
