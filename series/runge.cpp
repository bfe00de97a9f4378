// The Runge function 1 / (1 + x^2) tabulated at N points from lower to upper,
// both included (the step divides by N - 1).
#include <iostream>
#include <vector>

#include "arrays.h"
#include "data_file.h"
#include "points_and_range.h"
#include "text_line.h"

int main() {
  const char* program = "runge";
  DataFile file(program, "runge.dat");
  if (!file.is_open()) return 1;

  int N = 0;
  double lower = 0;
  double upper = 0;
  if (!ask_points_and_range(program, N, lower, upper)) return 1;

  std::vector<double> x, f;
  if (!allocate_arrays(program, N, x, f)) return 1;
  double h = (upper - lower) / (N - 1);
  TextLine line;

  for (int i = 0; i < N; i++) {
    x[i] = i * h + lower;
    f[i] = 1.0 / (x[i] * x[i] + 1.0);
    line << "X-value: " << x[i] << " F(x): " << f[i];
    line.end(std::cout);
    file.line(x[i], f[i]);
  }

  return file.close() ? 0 : 1;
}
