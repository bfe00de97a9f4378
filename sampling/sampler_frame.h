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

#include <functional>

using SampleStep = std::function<double(long& state)>;
using SampleSummary = std::function<void(int count)>;

int run_sampler(const char* program, const SampleStep& sample,
                const SampleSummary& summary = nullptr);
