// Relaxation of a hard-sphere gas to equilibrium. Writes
//   gas_kurtosis.dat  time (collisions per particle), kurtosis of the x
//                     velocity component, collisions accepted in the step
//   gas_speeds.dat    speed bin centre, measured density, Maxwell-Boltzmann
//                     density of the same energy
// and prints the measured collision rate beside the hard-sphere theory.
#include <algorithm>
#include <cmath>
#include <iostream>
#include <thread>
#include <vector>

#include "console.h"
#include "data_file.h"
#include "gas.h"
#include "program.h"
#include "text_line.h"

namespace {

const ProgramHelp kHelp = {
    "gas_relax", " [PARTICLES [STEPS]]",
    "relaxation of a hard-sphere gas to Maxwell-Boltzmann",
    "Simulates a homogeneous hard-sphere gas (20000 particles in 40 cells of a\n"
    "periodic box unless PARTICLES says otherwise, 150 time steps unless STEPS\n"
    "does) by direct simulation Monte Carlo with the collide module. Every\n"
    "particle starts at one speed, so a velocity component has kurtosis 1.8;\n"
    "collisions relax it to 3. Both numbers are whole, from 1 to 100000000,\n"
    "written as the programs' answers are (2e3 is 2000).\n"
    "Each cell draws its collisions' deviates from a random stream of its own,\n"
    "so the cells can be split among threads: standard output and both Data\n"
    "files are the same, byte for byte, for any number of threads.\n"
    "\n"
    "Writes:\n"
    "  gas_kurtosis.dat  \"<collisions per particle> <kurtosis> <collisions>\"\n"
    "                    per step, from time 0\n"
    "  gas_speeds.dat    \"<speed> <measured density> <Maxwell-Boltzmann density>\"\n"
    "                    for 40 bins of the final speeds\n"
    "  standard output   the collision rate beside hard-sphere theory\n",
    "a Data file could not be opened or written, or another run is writing\n"
    "     it; standard output could not be written"};

const char* const kThreadsHelp =
    "      --threads N\n"
    "                 split the cells among N threads, from 1 to 1024; by\n"
    "                 default one for each core of the machine\n";

// Whether `text` is a whole number from low to high by the suite's rule
// (2e3 is 2000; 2.5 and 12abc are refused), stored in `value` when it is.
bool whole_argument(const char* text, int low, int high, int& value) {
  int parsed = 0;
  if (parse_whole_number(text, parsed) != Parsed::Ok || parsed < low || parsed > high) return false;
  value = parsed;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<ValueOption> options = {{"--threads", kThreadsHelp}};
  const std::vector<const char*> sizes = start_program(argc, argv, kHelp, 2, &options);
  GasParameters parameters;
  parameters.threads = std::max(1u, std::thread::hardware_concurrency());
  if (const char* threads = options[0].value) {
    if (!whole_argument(threads, 1, 1024, parameters.threads)) {
      std::cerr << kHelp.name << ": expected a whole number from 1 to 1024 for --threads, not '"
                << quoted_token(threads) << "'; try --help" << std::endl;
      return 2;
    }
  }
  int steps = 150;
  for (size_t k = 0; k < sizes.size(); k++) {
    if (!whole_argument(sizes[k], 1, 100000000, k == 0 ? parameters.particles : steps)) {
      std::cerr << kHelp.name << ": expected a whole number from 1 to 100000000, not '"
                << quoted_token(sizes[k]) << "'; try --help" << std::endl;
      return 2;
    }
  }
  // Keep the collision rate per particle as at the default density.
  parameters.select_coeff *= 20000.0 / parameters.particles;
  HardSphereGas gas(parameters);

  // Both files are taken before the run, so that a busy or unwritable one
  // stops it before any work.
  DataFile relaxation(kHelp.name, "gas_kurtosis.dat");
  if (!relaxation.is_open()) return 1;
  DataFile histogram(kHelp.name, "gas_speeds.dat");
  if (!histogram.is_open()) return 1;
  double time = 0;
  relaxation.line(time, gas.component_kurtosis(), 0);
  long late_collisions = 0;
  for (int s = 1; s <= steps; s++) {
    int collisions = gas.step();
    time += 2.0 * collisions / gas.particles();
    if (s > steps / 2) late_collisions += collisions;
    relaxation.line(time, gas.component_kurtosis(), collisions);
  }
  bool written = relaxation.close();

  // In equilibrium each particle collides 2 (N_c - 1) selectCoeff <w> times a
  // step, <w> = 4 a / sqrt(pi) the mean relative speed, a^2 = <v^2> / 3.
  const double mean_square = gas.energy() / gas.particles();
  const double mean_w = 4 * std::sqrt(mean_square / 3) / std::sqrt(M_PI);
  const double per_cell = static_cast<double>(parameters.particles) / parameters.cells;
  const double theory = 2 * (per_cell - 1) * parameters.select_coeff * mean_w;
  const double measured =
      2.0 * late_collisions / gas.particles() / (steps - steps / 2);
  TextLine line;
  line << "collisions per particle: " << time;
  print_line(line);
  line << "final kurtosis of a velocity component: " << gas.component_kurtosis()
       << " (Maxwell-Boltzmann: 3)";
  print_line(line);
  line << "collisions per particle and step in equilibrium: " << measured
       << " (hard-sphere theory: " << theory << ")";
  print_line(line);

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
  written = histogram.close() && written;
  return written ? 0 : 1;
}
