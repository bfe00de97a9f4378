// Relaxation of a hard-sphere gas to equilibrium. Writes
//   gas_kurtosis.dat  time (collisions per particle), kurtosis of the x
//                     velocity component, collisions accepted in the step
//   gas_speeds.dat    speed bin centre, measured density, Maxwell-Boltzmann
//                     density of the same energy
// and prints the measured collision rate beside the hard-sphere theory.
// Usage: gas_relax [particles [steps]]  (20000 particles, 150 steps)
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <vector>

#include "data_file.h"
#include "gas.h"

namespace {

// A whole number from 1 to 10^8, or 0 when the text is not one.
int size_argument(const char* text) {
  char* end = nullptr;
  long value = std::strtol(text, &end, 10);
  return *text != '\0' && *end == '\0' && value >= 1 && value <= 100000000
             ? static_cast<int>(value)
             : 0;
}

}  // namespace

int main(int argc, char** argv) {
  GasParameters parameters;
  int steps = 150;
  if (argc > 3 || (argc > 1 && (parameters.particles = size_argument(argv[1])) == 0) ||
      (argc > 2 && (steps = size_argument(argv[2])) == 0)) {
    std::cerr << "usage: gas_relax [particles [steps]], whole numbers from 1" << std::endl;
    return 1;
  }
  // Keep the collision rate per particle as at the default density.
  parameters.select_coeff *= 20000.0 / parameters.particles;
  HardSphereGas gas(parameters);

  DataFile relaxation("gas_relax", "gas_kurtosis.dat");
  if (!relaxation.is_open()) return 1;
  double time = 0;
  relaxation.line(time, gas.component_kurtosis(), 0);
  long late_collisions = 0;
  for (int s = 1; s <= steps; s++) {
    int collisions = gas.step();
    time += 2.0 * collisions / gas.particles();
    if (s > steps / 2) late_collisions += collisions;
    relaxation.line(time, gas.component_kurtosis(), collisions);
  }
  if (!relaxation.close()) return 1;

  // In equilibrium each particle collides 2 (N_c - 1) selectCoeff <w> times a
  // step, <w> = 4 a / sqrt(pi) the mean relative speed, a^2 = <v^2> / 3.
  const double mean_square = gas.energy() / gas.particles();
  const double mean_w = 4 * std::sqrt(mean_square / 3) / std::sqrt(M_PI);
  const double per_cell = static_cast<double>(parameters.particles) / parameters.cells;
  const double theory = 2 * (per_cell - 1) * parameters.select_coeff * mean_w;
  const double measured =
      2.0 * late_collisions / gas.particles() / (steps - steps / 2);
  std::cout << "collisions per particle: " << time << std::endl;
  std::cout << "final kurtosis of a velocity component: "
            << gas.component_kurtosis() << " (Maxwell-Boltzmann: 3)" << std::endl;
  std::cout << "collisions per particle and step in equilibrium: " << measured
            << " (hard-sphere theory: " << theory << ")" << std::endl;

  DataFile histogram("gas_relax", "gas_speeds.dat");
  if (!histogram.is_open()) return 1;
  const int bins = 40;
  const double width = 3.0 * parameters.speed / bins;
  std::vector<int> counts(bins);
  for (double v : gas.speeds()) {
    int b = static_cast<int>(v / width);
    if (b < bins) counts[b]++;
  }
  for (int b = 0; b < bins; b++) {
    double centre = (b + 0.5) * width;
    histogram.line(centre, counts[b] / (gas.particles() * width),
                   maxwell_density(centre, mean_square));
  }
  return histogram.close() ? 0 : 1;
}
