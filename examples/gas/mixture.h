// What gas_mixture and gas_relax_mpi --gas mixture share, so that both write
// the same bytes: the two-species gas (light particles of mass 1 at
// temperature 1, heavy ones of mass 4 at temperature 3, half and half,
// colliding as Maxwell molecules), the theory of its relaxation, its Data
// file's lines and its summary.
//
// Theory: a collision between a light particle a and a heavy one b changes
// a's energy by -m_a (m_b / M) V.g on average (V the centre-of-mass
// velocity, g the relative one, isotropic scattering), which is
// -3 beta (T_a - T_b) with beta = m_a m_b / M^2. Each such collision thus
// multiplies T_b - T_a by 1 - 2 beta (1/N_a + 1/N_b), and a cell of n_a and
// n_b particles has 2 n_a n_b selectCoeff of them a step on average.
#pragma once

#include <vector>

#include <collide/colider.h>

#include "data_file.h"
#include "gas.h"

// The gas's arrays, which its Mixture points into: not to be copied.
struct TwoSpecies {
  static constexpr int kSteps = 100;
  static const double kMass[2];
  static const double kTemperature[2];

  explicit TwoSpecies(const GasParameters& base = GasParameters());
  TwoSpecies(const TwoSpecies&) = delete;
  TwoSpecies& operator=(const TwoSpecies&) = delete;

  // Particle p's species (from 1), and its start's velocity brought to its
  // species' temperature, sqrt(3 T / m) times the unit speed.
  static int species_of(int p) { return p % 2; }
  static void heat(int p, double v[3]);

  std::vector<int> species;  // species[p] for p from 1
  CollisionModel maxwell;
  Mixture mixture;
  GasParameters parameters;  // the gas's, its mixture this one
};

// m <v^2> / 3 over the particles of species s, velocity row p holding
// particle p, species[p] its species.
double species_temperature(const Matrix& velocity, const std::vector<int>& species, int s);

// The cells' sum of n_a n_b, the pairs of unlike particles, exactly: cell
// c's particles are cells.crossRef[cells.cellStart[c] ...], of species
// species[row].
long long unlike_pairs(const SortList& cells, const int* species);

// The run's Data file and summary, with the theory beside the measured
// temperatures.
class MixtureRecord {
 public:
  // `program` names the failures; the file is gas_mixture.dat, emptied now.
  MixtureRecord(const char* program, const TwoSpecies& gas, const Matrix& start);
  bool is_open() const { return table_.is_open(); }

  // One step: its collisions, the cells' unlike pairs before it, the
  // velocities after it.
  void step(int collisions, long long unlike, const Matrix& velocity);
  // The summary lines; whether the Data file was written whole.
  bool finish(const Matrix& velocity);

 private:
  void write(const Matrix& velocity);

  const TwoSpecies& gas_;
  DataFile table_;
  double share_, per_collision_, common_, difference_, time_ = 0;
};
