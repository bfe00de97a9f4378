#include "sampler_frame.h"

#include <iostream>

#include "console.h"
#include "data_file.h"
#include "text_line.h"

int run_sampler(const char* program, const SampleStep& sample,
                const SampleSummary& summary) {
  long state = 1;

  DataFile file(program, "random_dist.dat");
  if (!file.is_open()) return 1;

  int count = 0;
  if (Answer answer = prompt_value(program, "Enter the number of data points to generate:",
                                   "the number of data points", count);
      !answer) {
    file.close();
    return answer.status;
  }

  TextLine line;
  for (int i = 0; i < count; i++) {
    // The value's digits are made once, for the console and the file.
    NumberText value(sample(state));
    line << "Random number: " << i << " = " << state << " = " << value;
    print_line(line);
    file.line(value);
  }

  if (summary) summary(count);

  return file.close() ? 0 : 1;
}
