// A homogeneous hard-sphere gas in a periodic box, simulated by direct
// simulation Monte Carlo on top of the collide module: particles stream
// freely, are sorted into cells along x, and collide through colider.
//
// Every particle starts at one speed in a random direction, so each velocity
// component is uniform (kurtosis 1.8). Collisions relax the gas to the
// Maxwell-Boltzmann distribution of the same energy (component kurtosis 3).
#pragma once

#include <array>
#include <vector>

#include <collide/colider.h>

struct GasParameters {
  int particles = 20000;
  int cells = 40;
  double speed = 1.0;         // every particle's initial speed
  double box = 1.0;           // length of the periodic box along x
  double time_step = 0.01;
  // Candidate pairs per cell and call are N (N - 1) selectCoeff maxRelSpeed;
  // with 500 particles a cell this gives each particle about 0.2 collisions
  // a step once the gas is in equilibrium.
  double select_coeff = 1.5e-4;
  long seed = 1;  // the start's generator state, and the collisions' stream key
  int threads = 1;  // the cells are split among this many threads
  // With a mixture, collide() collides by its species, masses and models,
  // and every cell's maximum weight starts at max_weight; so it does with a
  // model of one species. With internal energy, its exchange too.
  const Mixture* mixture = nullptr;
  const CollisionModel* model = nullptr;
  const InternalEnergy* internal = nullptr;
  double max_weight = 0;
};

// A particle's start: its position along x, and its velocity of the run's
// speed in a random direction, drawn from the run's generator state `seed`
// in the gas's order. Drawn for particles 1, 2, ... in turn, it gives every
// particle the start the whole gas gives it, so that a part of the gas (a
// rank's) can be made without the rest.
struct ParticleStart {
  double x;
  double v[3];
};
ParticleStart draw_start(const GasParameters& parameters, long& seed);

class HardSphereGas {
 public:
  explicit HardSphereGas(const GasParameters& parameters);

  // One time step: stream, sort into cells, collide. Returns the collisions
  // accepted.
  int step();

  // The parts of a step, for measurements between them.
  void stream();
  void sort();
  // Collides with per-cell streams keyed by the seed and the number of this
  // call, the cells split among the threads in contiguous ranges: the same
  // results for any number of threads.
  int collide();
  // The same step through colider's classic form, with rand(seed), or with
  // a generator of the caller's choice (the callable form); one thread.
  int collide_classic();
  template <class Generator>
  int collide(Generator&& generator) {
    return colider(velocity_, maxRelSpeed_, 0.0, generator, selectRemainder_,
                   parameters_.select_coeff, cells_);
  }

  // Renumbers the particles in cell order, so that each cell's velocities
  // lie together in memory, and sorts again.
  void renumber_by_cell();

  // Sum over cells of N (N - 1) selectCoeff <w>, <w> the mean relative speed
  // of all pairs in the cell as currently sorted: the accepted collisions a
  // collide() call should give on average.
  double expected_collisions();

  double component_kurtosis();  // of the x components of the velocities
  std::array<double, 3> momentum();
  double energy();              // sum of squared speeds (unit masses, no 1/2)
  double speed_sum();           // sum of the particles' speeds
  std::vector<double> speeds();
  int particles() const { return parameters_.particles; }

  // The state itself, for tests of the bookkeeping: particle p's position
  // is positions()[p - 1] and its velocity row p of velocities().
  std::vector<double>& positions() { return x_; }
  Matrix& velocities() { return velocity_; }
  const SortList& cells() const { return cells_; }

 private:
  GasParameters parameters_;
  std::vector<double> x_;
  Matrix velocity_;
  Matrix maxRelSpeed_;
  Matrix selectRemainder_;
  SortList cells_;
  long seed_;
  unsigned long long collide_calls_ = 0;
};

// What HardSphereGas measures, for any velocities (a gas gathered from MPI
// ranks, say): the kurtosis of the x components, the speeds, and the sum of
// squared speeds, each summed over the rows in order.
double component_kurtosis(const Matrix& velocity);
std::vector<double> speeds(const Matrix& velocity);
double energy(const Matrix& velocity);

// The Maxwell-Boltzmann speed density for a gas whose mean squared speed is
// `mean_square` (that is 3 kT / m).
double maxwell_density(double v, double mean_square);
// Its cumulative distribution.
double maxwell_cdf(double v, double mean_square);
