// Relaxation of a hard-sphere gas to equilibrium. Writes
//   gas_kurtosis.dat  time (collisions per particle), kurtosis of the x
//                     velocity component, collisions accepted in the step
//   gas_speeds.dat    speed bin centre, measured density, Maxwell-Boltzmann
//                     density of the same energy
// and prints the measured collision rate beside the hard-sphere theory.
#include <algorithm>
#include <iostream>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "console.h"
#include "data_file.h"
#include "gas.h"
#include "program.h"
#include "relaxation.h"

namespace {

const ProgramHelp kHelp = {
    "gas_relax", " [PARTICLES [STEPS]]",
    "relaxation of a hard-sphere gas to Maxwell-Boltzmann",
    "Simulates a homogeneous hard-sphere gas (20000 particles in 40 cells of a\n"
    "periodic box unless PARTICLES says otherwise, 150 time steps unless STEPS\n"
    "does) by direct simulation Monte Carlo with the collide module. Every\n"
    "particle starts at one speed, so a velocity component has kurtosis 1.8;\n"
    "collisions relax it to 3. Both numbers are whole, from 1 to 100000000\n"
    "(PARTICLES from 2: one particle cannot collide), written as the programs'\n"
    "answers are (2e3 is 2000).\n"
    "Each cell draws its collisions' deviates from a random stream of its own,\n"
    "so the cells can be split among threads: standard output and both Data\n"
    "files are the same, byte for byte, for any number of threads.\n"
    "\n"
    GAS_RELAX_WRITES,
    "a Data file could not be opened or written, or another run is writing\n"
    "     it; the gas does not fit in memory, or a thread cannot be started;\n"
    "     standard output could not be written",
    "an unknown argument, a size that is not a whole number from 1 to\n"
    "     100000000, or a gas of 1 particle"};

const char* const kThreadsHelp =
    "      --threads N\n"
    "                 split the cells among N threads, from 1 to 1024; by\n"
    "                 default one for each core of the machine\n";

// The run itself: the gas, both Data files, the steps and the summary.
int run(const GasParameters& parameters, int steps) {
  HardSphereGas gas(parameters);

  // Both files are taken before the run, so that a busy or unwritable one
  // stops it before any work, and before either is emptied, so that it
  // leaves both as they were.
  DataFile relaxation(kHelp.name, "gas_kurtosis.dat", DataFile::Emptying::together);
  DataFile histogram(kHelp.name, "gas_speeds.dat", DataFile::Emptying::together);
  if (!claim_together({&relaxation, &histogram})) return 1;
  double time = 0;
  relaxation.line(time, gas.component_kurtosis(), 0);
  long late_collisions = 0;
  for (int s = 1; s <= steps; s++) {
    int collisions = gas.step();
    time += 2.0 * collisions / gas.particles();
    if (s > steps / 2) late_collisions += collisions;
    relaxation.line(time, gas.component_kurtosis(), collisions);
  }
  print_summary(gas.velocities(), parameters, time, late_collisions, steps);
  write_speeds(histogram, gas.velocities(), parameters);
  return close_together({&relaxation, &histogram}) ? 0 : 1;
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
  if (!read_sizes(kHelp.name, sizes, parameters, steps)) return 2;
  // Short of memory or of threads, one line and status 1, as for a Data
  // file that cannot be written; nothing ends by an uncaught exception.
  try {
    return run(parameters, steps);
  } catch (const std::bad_alloc&) {
    std::cerr << kHelp.name << ": " << parameters.particles
              << " particles do not fit in memory" << std::endl;
  } catch (const std::system_error& failure) {
    std::cerr << kHelp.name << ": cannot start a thread: " << failure.what() << std::endl;
  }
  return 1;
}
