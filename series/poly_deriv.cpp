// Deliberate: float storage, the noise deviation pow(fabsf(f), 0.5) in float.
#include "poly_deriv.h"

#include <cmath>
#include <iostream>
#include <vector>

#include "arrays.h"
#include "points_and_range.h"
#include "data_file.h"
#include "program.h"
#include "text_line.h"
#include "to_float.h"

namespace {
const char kProgram[] = "poly_deriv";
}

int run_poly_deriv(const Gaussian& gaus) {
  const double c0 = -6;
  const double c1 = 11;
  const double c2 = -6;
  const double c3 = 1;

  // Both files claimed before either is emptied: a refused run leaves both.
  DataFile poly(kProgram, "poly.dat", DataFile::Emptying::together);
  DataFile deriv(kProgram, "deriv.dat", DataFile::Emptying::together);
  if (!claim_together({&poly, &deriv})) return 1;

  PointsAndRange asked;
  if (Answer answer = ask_points_and_range(kProgram, asked); !answer) return answer.status;
  const int N = asked.N;
  const double lower = asked.lower;
  const double upper = asked.upper;

  // The noisy values are kept for the central differences; a point is
  // worked out again from its index wherever it is needed.
  std::vector<float> f;
  if (!allocate_array(kProgram, N, f)) return 1;
  double h = (upper - lower) / N;
  // Every double stored as float goes through to_float: a range or a step
  // beyond a float's gives infinities, as IEEE rounding does, never a
  // conversion out of range.
  auto point = [&](int i) { return to_float(i * h + lower); };
  TextLine line;

  for (int i = 0; i < N; i++) {
    float x = point(i);
    double xd = x;
    f[i] = to_float(((c1 * xd + c0) + c2 * xd * xd) + c3 * xd * xd * xd);
    float s = pow(fabsf(f[i]), 0.5);
    double g = gaus(0.0, s);
    f[i] = to_float(f[i] + g);
    // Each number's digits are made once, for the console and the file.
    const NumberText x_text(x), f_text(f[i]);
    line << "X-value: " << x_text << " F(x): " << f_text;
    print_line(line);
    poly.line(x_text, f_text, NumberText(s));
  }

  for (int i = 1; i < N - 1; i++) {
    float d = to_float((f[i + 1] - f[i - 1]) / (h * 2.0));
    const NumberText x_text(point(i)), d_text(d);
    line << "X-value: " << x_text << " F'(x): " << d_text;
    print_line(line);
    deriv.line(x_text, d_text);
  }

  return close_together({&poly, &deriv}) ? 0 : 1;
}
