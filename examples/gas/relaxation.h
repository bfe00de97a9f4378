// What gas_relax and gas_relax_mpi share, so that both write the same bytes:
// their sizes from the command line, and the end of a run, the summary on
// standard output and the histogram of the final speeds.
#pragma once

#include <vector>

#include "data_file.h"
#include "gas.h"

// What gas_relax and gas_relax_mpi write, as their --help says it.
#define GAS_RELAX_WRITES                                                          \
  "Writes:\n"                                                                    \
  "  gas_kurtosis.dat  \"<collisions per particle> <kurtosis> <collisions>\"\n"   \
  "                    per step, from time 0\n"                                  \
  "  gas_speeds.dat    \"<speed> <measured density> <Maxwell-Boltzmann density>\"\n" \
  "                    for 40 bins of the final speeds\n"                        \
  "  standard output   the collisions per particle, the final kurtosis, and\n"  \
  "                    the collision rate per particle and step over the\n"    \
  "                    second half of the steps beside hard-sphere theory\n"   \
  "                    (the gas is in equilibrium there only once the\n"       \
  "                    kurtosis has reached 3: a run of a few steps is not)\n"

// Reads [PARTICLES [STEPS]], each a whole number from 1 to 100000000 by the
// suite's rule, PARTICLES at least 2, into parameters.particles and steps,
// and keeps the collision rate per particle as at the default density.
// Prints the usage error and returns false for anything else.
bool read_sizes(const char* program, const std::vector<const char*>& sizes,
                GasParameters& parameters, int& steps);

// Whether `text` is a whole number from low to high by the suite's rule
// (2e3 is 2000; 2.5 and 12abc are refused), stored in `value` when it is.
bool whole_argument(const char* text, int low, int high, int& value);

// The summary lines: collisions per particle, the final kurtosis, and the
// rate in equilibrium (late_collisions, over the second half of the steps)
// beside hard-sphere theory. `velocity` holds every particle, in order.
void print_summary(const Matrix& velocity, const GasParameters& parameters, double time,
                   long late_collisions, int steps);

// gas_speeds.dat: 40 bins of the final speeds beside Maxwell-Boltzmann.
void write_speeds(DataFile& histogram, const Matrix& velocity, const GasParameters& parameters);
