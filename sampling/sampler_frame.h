// The frame every sampler program runs in:
//
//   1. generator state 1;
//   2. "random_dist.dat" opened with truncation, before anything is asked;
//   3. the prompt "Enter the number of data points to generate:";
//   4. the count read as an int;
//   5. per sample: the program's step draws deviates and returns the value,
//      then "Random number: <i> = <state> = <value>" goes to standard output
//      and the value alone to the Data file;
//   6. the program's summary, if it has one;
//   7. the file closed, its writes checked.
//
// Returns the exit status: 0 for a completed run, 1 when the Data file could
// not be opened or written or the count could not be read (each reported as
// one line on standard error). A count of 0 or less draws nothing.
#pragma once

#include "console.h"

#include <functional>

#include "program.h"

// The part of every sampler's help that the frame decides: the generator,
// the question, the output and what ends a run with status 1.
#define SAMPLER_GENERATOR \
  "Deviates come from the generator state' = 16807 state mod 2147483647,\n" \
  "started at state 1 on every run, so equal counts give equal samples.\n"
#define SAMPLER_DIALOGUE \
  "\n" \
  "Asks for:\n" \
  "  the number of data points to generate, a whole number (1e6 is taken as\n" \
  "  1000000); a count of 0 or less draws nothing\n" \
  "\n" \
  "Writes:\n" \
  "  standard output  the prompt, then one line per sample:\n" \
  "                   Random number: <index> = <generator state> = <value>\n" \
  "  random_dist.dat  each sample's value, one per line; the file is emptied\n" \
  "                   before the question\n"
#define SAMPLER_FAILURES                                                         \
  "random_dist.dat could not be opened or written, or another run is\n"      \
  "     writing it; the answer was not a whole number; standard output could\n" \
  "     not be written",                                                        \
  ANSWER_USAGE_ERRORS

using SampleStep = std::function<double(long& state)>;
using SampleSummary = std::function<void(int count)>;

int run_sampler(const char* program, const SampleStep& sample,
                const SampleSummary& summary = nullptr);
