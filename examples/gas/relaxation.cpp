#include "relaxation.h"

#include <cmath>
#include <iostream>

#include "console.h"
#include "text_line.h"
#include "program.h"

bool whole_argument(const char* text, int low, int high, int& value) {
  int parsed = 0;
  if (parse_whole_number(text, parsed) != Parsed::Ok || parsed < low || parsed > high) return false;
  value = parsed;
  return true;
}

bool read_sizes(const char* program, const std::vector<const char*>& sizes,
                GasParameters& parameters, int& steps) {
  for (size_t k = 0; k < sizes.size(); k++) {
    if (!whole_argument(sizes[k], 1, 100000000, k == 0 ? parameters.particles : steps)) {
      std::cerr << program << ": expected a whole number from 1 to 100000000, not '"
                << quoted_token(sizes[k]) << "'; try --help" << std::endl;
      return false;
    }
  }
  // One particle has no partner, and the kurtosis of one velocity is 0 / 0.
  if (parameters.particles < 2) {
    std::cerr << program << ": a gas of 1 particle cannot collide; give PARTICLES of 2 or more"
              << std::endl;
    return false;
  }
  parameters.select_coeff *= 20000.0 / parameters.particles;
  return true;
}

void print_summary(const Matrix& velocity, const GasParameters& parameters, double time,
                   long late_collisions, int steps) {
  // In equilibrium a cell of n particles has n (n - 1) selectCoeff <w>
  // collisions a step, <w> = 4 a / sqrt(pi) the mean relative speed,
  // a^2 = <v^2> / 3. The N particles lie independently and evenly over the
  // C cells, so n is binomial and the mean of n (n - 1) is N (N - 1) / C^2:
  // each particle collides 2 (N - 1) / C selectCoeff <w> times a step, for
  // any N, even below one particle a cell. (Taking n as N / C in every cell
  // would give 2 (N / C - 1), negative below one.)
  const double mean_square = energy(velocity) / parameters.particles;
  const double mean_w = 4 * std::sqrt(mean_square / 3) / std::sqrt(M_PI);
  const double partners = (parameters.particles - 1.0) / parameters.cells;
  const double theory = 2 * partners * parameters.select_coeff * mean_w;
  const double measured = 2.0 * late_collisions / parameters.particles / (steps - steps / 2);
  TextLine line;
  line << "collisions per particle: " << time;
  print_line(line);
  line << "final kurtosis of a velocity component: " << component_kurtosis(velocity)
       << " (Maxwell-Boltzmann: 3)";
  print_line(line);
  line << "collisions per particle and step in equilibrium: " << measured
       << " (hard-sphere theory: " << theory << ")";
  print_line(line);
}

void write_speeds(DataFile& histogram, const Matrix& velocity, const GasParameters& parameters) {
  const double mean_square = energy(velocity) / parameters.particles;
  const int bins = 40;
  const double width = 3.0 * parameters.speed / bins;
  std::vector<int> counts(bins);
  for (double v : speeds(velocity)) {
    int b = static_cast<int>(v / width);
    if (b < bins) counts[b]++;
  }
  for (int b = 0; b < bins; b++) {
    double centre = (b + 0.5) * width;
    histogram.line(centre, counts[b] / (parameters.particles * width),
                   maxwell_density(centre, mean_square));
  }
}
