// The constants, pow calls and operand order here (float storage, fabsf,
// pow(x, 0.5)) are kept as they are so that the output stays byte for byte the
// same.
#include "noisy_poly.h"

#include <cmath>
#include <iostream>
#include <vector>

#include "arrays.h"
#include "data_file.h"
#include "points_and_range.h"
#include "text_line.h"

namespace {
const char kProgram[] = "poly_deriv";
}

int run_poly_deriv(const GaussianSource& make_generator) {
  const double c0 = -6;
  const double c1 = 11;
  const double c2 = -6;
  const double c3 = 1;

  DataFile poly(kProgram, "poly.dat");
  if (!poly.is_open()) return 1;
  DataFile deriv(kProgram, "deriv.dat");
  if (!deriv.is_open()) return 1;

  int N = 0;
  double lower = 0;
  double upper = 0;
  if (!ask_points_and_range(kProgram, N, lower, upper)) return 1;

  Gaussian gaus = make_generator();
  std::vector<float> x, f, s, d;
  if (!allocate_arrays(kProgram, N, x, f, s, d)) return 1;
  double h = (upper - lower) / N;
  TextLine line;

  for (int i = 0; i < N; i++) {
    x[i] = i * h + lower;
    double xd = x[i];
    f[i] = ((c1 * xd + c0) + c2 * xd * xd) + c3 * xd * xd * xd;
    s[i] = pow(fabsf(f[i]), 0.5);
    double g = gaus(0.0, s[i]);
    f[i] = f[i] + g;
    line << "X-value: " << x[i] << " F(x): " << f[i];
    line.end(std::cout);
    poly.line(x[i], f[i], s[i]);
  }

  for (int i = 1; i < N - 1; i++) {
    d[i] = (f[i + 1] - f[i - 1]) / (h * 2.0);
    line << "X-value: " << x[i] << " F'(x): " << d[i];
    line.end(std::cout);
    deriv.line(x[i], d[i]);
  }

  bool written = poly.close();
  written = deriv.close() && written;
  return written ? 0 : 1;
}
