#include "sampler_frame.h"

#include <iostream>

#include "console.h"
#include "data_file.h"
#include "text_line.h"

int run_sampler(const char* program, const SampleStep& sample,
                const SampleSummary& summary) {
  // cout keeps its own buffer instead of passing every insertion through
  // C stdio; std::endl still flushes each line with one write.
  std::ios::sync_with_stdio(false);
  long state = 1;

  DataFile file(program, "random_dist.dat");
  if (!file.is_open()) return 1;

  int count = 0;
  if (!prompt_value(program, "Enter the number of data points to generate:",
                    "the number of data points", count)) {
    file.close();
    return 1;
  }

  TextLine line;
  for (int i = 0; i < count; i++) {
    double value = sample(state);
    line << "Random number: " << i << " = " << state << " = " << value;
    line.end(std::cout);
    file.line(value);
  }

  if (summary) summary(count);

  return file.close() ? 0 : 1;
}
