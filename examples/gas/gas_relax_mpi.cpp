// The reference gas over MPI ranks: gas_relax's run with its cells split
// into contiguous ranges over the ranks. It writes what gas_relax writes,
// byte for byte, for any number of ranks:
//   mpirun -n 4 gas_relax_mpi 100000 150   (the same bytes as gas_relax 100000 150)
// Each step, every rank
//   1. streams its particles;
//   2. sends each particle whose cell another rank owns to that rank;
//   3. keeps its particles in ascending order of their numbers and lists
//      each cell's particles in that order (sort_into_cells), so that a
//      cell's list is the same however the cells are split;
//   4. collides its own cells with colider_range, under the global cell
//      numbers and the run's per-cell streams, its per-cell arrays and
//      cell lists holding its own cells alone;
// and rank 0 gathers the x components, in particle order, for the kurtosis.
// At the end rank 0 gathers every velocity for the summary and the speeds.
// Rank 0 alone writes standard output and the Data files. No rank holds
// more than its own particles and cells until then: each draws the run's
// start particle by particle and keeps its own.
//
// With --gas mixture it runs gas_mixture's two species instead, with
// gas_mixture's bytes: each rank counts its cells' unlike pairs for the
// theory, exactly, and rank 0 gathers the velocities each step for the
// species' temperatures.
#include <mpi.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "console.h"
#include "data_file.h"
#include "gas.h"
#include "mixture.h"
#include "platform.h"
#include "program.h"
#include "relaxation.h"

namespace {

const ProgramHelp kHelp = {
    "gas_relax_mpi", " [PARTICLES [STEPS]]",
    "relaxation of a hard-sphere gas to Maxwell-Boltzmann, over MPI ranks",
    "gas_relax's run (20000 particles in 40 cells of a periodic box unless\n"
    "PARTICLES says otherwise, 150 time steps unless STEPS does), its cells\n"
    "split into contiguous ranges over the MPI ranks it is started on, for\n"
    "example by mpirun -n 4. Each step the particles move to the rank that\n"
    "owns their cell, each cell lists its particles in ascending order of\n"
    "their numbers, and each rank collides its own cells with per-cell random\n"
    "streams: standard output and both Data files are gas_relax's, byte for\n"
    "byte, for any number of ranks. Rank 0 writes them.\n"
    "With --gas mixture it runs gas_mixture's gas of two species instead, and\n"
    "writes what gas_mixture writes, byte for byte: gas_mixture.dat and its\n"
    "summary (it then takes no sizes).\n"
    "\n"
    GAS_RELAX_WRITES,
    "a Data file could not be opened or written, or another run is writing\n"
    "     it; standard output could not be written",
    "an unknown argument, a size that is not a whole number from 1 to\n"
    "     100000000, or a gas of 1 particle; a --gas other than hard-spheres\n"
    "     and mixture, or sizes with mixture"};

const char* const kGasHelp =
    "      --gas GAS\n"
    "                 hard-spheres (gas_relax's gas, the default) or mixture\n"
    "                 (gas_mixture's two species)\n";

// A particle as it travels between ranks: its number (from 1), position
// and velocity.
struct Particle {
  int number;
  int species;
  double x;
  double v[3];
};

class RankGas {
 public:
  // With `two`, its gas of two species, started at their temperatures.
  RankGas(const GasParameters& parameters, int rank, int ranks, const TwoSpecies* two = nullptr);

  // Stream, move between ranks, sort into cells, collide: the collisions of
  // this rank's cells.
  int step();
  // Every particle's velocity, in order, on rank 0 (x alone with `x_only`);
  // an empty Matrix elsewhere. With `last`, the rank's particles are let
  // go before rank 0 receives them: the run's end.
  Matrix gather(bool x_only, bool last = false);
  // The last step's unlike pairs in this rank's cells (two species).
  long long unlike_pairs() const { return unlike_; }

 private:
  int first_cell(int rank) const {
    return 1 + static_cast<int>(static_cast<long long>(parameters_.cells) * rank / ranks_);
  }
  int own_cells() const { return first_cell(rank_ + 1) - first_cell(rank_); }
  int cell_of(double x) const;
  int owner(int cell) const;
  void migrate();

  GasParameters parameters_;
  const TwoSpecies* two_;
  int rank_, ranks_;
  std::vector<Particle> mine_;  // in ascending order of their numbers
  // This rank's cells' alone (one row when it has none): global cell c at
  // row c - first_cell(rank_) + 1.
  Matrix maxRelSpeed_, selectRemainder_;
  std::uint64_t steps_ = 0;
  long long unlike_ = 0;
};

RankGas::RankGas(const GasParameters& parameters, int rank, int ranks, const TwoSpecies* two)
    : parameters_(parameters),
      two_(two),
      rank_(rank),
      ranks_(ranks),
      maxRelSpeed_(std::max(own_cells(), 1), 1),
      selectRemainder_(std::max(own_cells(), 1), 1) {
  // The start is the serial gas's: every particle drawn in turn from the
  // run's generator, and only this rank's kept.
  long seed = parameters.seed;
  for (int p = 1; p <= parameters.particles; p++) {
    ParticleStart start = draw_start(parameters, seed);
    if (owner(cell_of(start.x)) != rank_) continue;
    if (two != nullptr) TwoSpecies::heat(p, start.v);
    mine_.push_back({p, two != nullptr ? TwoSpecies::species_of(p) : 0, start.x,
                     {start.v[0], start.v[1], start.v[2]}});
  }
  // No pair of equal speeds can be faster than twice that speed; a
  // mixture's models give their own first weight.
  maxRelSpeed_.set(two != nullptr ? parameters.max_weight : 2 * parameters.speed);
}

// As HardSphereGas::sort places a particle.
int RankGas::cell_of(double x) const {
  const int cells = parameters_.cells;
  const int c = 1 + static_cast<int>(x / parameters_.box * cells);
  return c > cells ? cells : c;
}

int RankGas::owner(int cell) const {
  int rank = static_cast<int>(static_cast<long long>(cell - 1) * ranks_ / parameters_.cells);
  while (rank + 1 < ranks_ && first_cell(rank + 1) <= cell) rank++;
  while (first_cell(rank) > cell) rank--;
  return rank;
}

void RankGas::migrate() {
  // Those that stay are kept in place and in order; those that leave are
  // copied out, the few that cross a range's end.
  std::vector<std::vector<Particle>> out(ranks_);
  size_t staying = 0;
  for (const Particle& particle : mine_) {
    const int to = owner(cell_of(particle.x));
    if (to == rank_) mine_[staying++] = particle;
    else out[to].push_back(particle);
  }
  mine_.resize(staying);
  const int size = static_cast<int>(sizeof(Particle));
  std::vector<int> send_counts(ranks_), send_at(ranks_), receive_counts(ranks_), receive_at(ranks_);
  std::vector<Particle> send;
  for (int r = 0; r < ranks_; r++) {
    send_at[r] = static_cast<int>(send.size()) * size;
    send_counts[r] = static_cast<int>(out[r].size()) * size;
    send.insert(send.end(), out[r].begin(), out[r].end());
  }
  MPI_Alltoall(send_counts.data(), 1, MPI_INT, receive_counts.data(), 1, MPI_INT, MPI_COMM_WORLD);
  int total = 0;
  for (int r = 0; r < ranks_; r++) {
    receive_at[r] = total;
    total += receive_counts[r];
  }
  std::vector<Particle> received(total / size);
  MPI_Alltoallv(send.data(), send_counts.data(), send_at.data(), MPI_BYTE, received.data(),
                receive_counts.data(), receive_at.data(), MPI_BYTE, MPI_COMM_WORLD);
  // The few that arrived are put in order and merged in from the end, in
  // place.
  auto by_number = [](const Particle& a, const Particle& b) { return a.number < b.number; };
  std::sort(received.begin(), received.end(), by_number);
  mine_.resize(staying + received.size());
  size_t kept = staying, arrived = received.size(), to = mine_.size();
  while (arrived > 0) {
    if (kept > 0 && mine_[kept - 1].number > received[arrived - 1].number)
      mine_[--to] = mine_[--kept];
    else
      mine_[--to] = received[--arrived];
  }
}

int RankGas::step() {
  const double L = parameters_.box;
  for (Particle& particle : mine_) {  // as HardSphereGas::stream
    const double x = std::fmod(particle.x + particle.v[0] * parameters_.time_step, L);
    particle.x = x < 0 ? x + L : x;
  }
  migrate();

  const int n = static_cast<int>(mine_.size());
  Matrix velocity(std::max(n, 1), 3);
  std::vector<int> cells_of(n), species(two_ != nullptr ? std::max(n, 1) + 1 : 0);
  // The lists and per-cell arrays number this rank's cells from 1.
  StepOptions own;
  own.cellOffset = first_cell(rank_) - 1;
  for (int j = 0; j < n; j++) {
    for (int k = 0; k < 3; k++) velocity(j + 1, k + 1) = mine_[j].v[k];
    cells_of[j] = cell_of(mine_[j].x) - own.cellOffset;
    if (two_ != nullptr) species[j + 1] = mine_[j].species;
  }
  SortList lists(own_cells(), n + 1);
  sort_into_cells(cells_of.data(), n, lists);
  const CellStreams streams = {static_cast<std::uint64_t>(parameters_.seed), steps_++};
  const int first = first_cell(rank_), last = first_cell(rank_ + 1) - 1;
  int collisions = 0;
  if (two_ != nullptr) {
    unlike_ = ::unlike_pairs(lists, species.data());
    const Mixture mixture = {2, species.data(), TwoSpecies::kMass, &two_->maxwell, 1};
    collisions = colider_range(velocity, maxRelSpeed_, selectRemainder_, parameters_.select_coeff,
                               lists, first, last, streams, mixture, &own);
  } else {
    collisions = colider_range(velocity, maxRelSpeed_, selectRemainder_, parameters_.select_coeff,
                               lists, first, last, streams, HardSphere(), &own);
  }
  for (int j = 0; j < n; j++)
    for (int k = 0; k < 3; k++) mine_[j].v[k] = velocity(j + 1, k + 1);
  return collisions;
}

Matrix RankGas::gather(bool x_only, bool last) {
  const int columns = x_only ? 1 : 3;
  const int n = static_cast<int>(mine_.size());
  std::vector<int> numbers(n);
  std::vector<double> values;
  values.reserve(static_cast<size_t>(n) * columns);
  for (int j = 0; j < n; j++) {
    numbers[j] = mine_[j].number;
    values.insert(values.end(), mine_[j].v, mine_[j].v + columns);
  }
  if (last) std::vector<Particle>().swap(mine_);
  std::vector<int> counts(ranks_), at(ranks_);
  MPI_Gather(&n, 1, MPI_INT, counts.data(), 1, MPI_INT, 0, MPI_COMM_WORLD);
  int total = 0;
  for (int r = 0; r < ranks_; r++) at[r] = total, total += counts[r];
  std::vector<int> all_numbers(rank_ == 0 ? total : 0);
  MPI_Gatherv(numbers.data(), n, MPI_INT, all_numbers.data(), counts.data(), at.data(), MPI_INT, 0,
              MPI_COMM_WORLD);
  for (int r = 0; r < ranks_; r++) counts[r] *= columns, at[r] *= columns;
  std::vector<double> all_values(rank_ == 0 ? static_cast<size_t>(total) * columns : 0);
  MPI_Gatherv(values.data(), n * columns, MPI_DOUBLE, all_values.data(), counts.data(), at.data(),
              MPI_DOUBLE, 0, MPI_COMM_WORLD);
  if (rank_ != 0) return Matrix(1, 1);
  std::vector<double>().swap(values);
  Matrix velocity(total, columns);
  for (int j = 0; j < total; j++)
    for (int k = 0; k < columns; k++) velocity(all_numbers[j], k + 1) = all_values[j * columns + k];
  return velocity;
}

void finalize_at_exit() {
  int finalized = 0;
  MPI_Finalized(&finalized);
  if (!finalized) MPI_Finalize();
}

// Every rank's answer to whether rank 0 could go on.
bool all_go_on(bool go_on) {
  int flag = go_on ? 1 : 0;
  MPI_Bcast(&flag, 1, MPI_INT, 0, MPI_COMM_WORLD);
  return flag == 1;
}

// gas_mixture's run over the ranks: rank 0 writes what it writes.
int run_mixture(int rank, int ranks) {
  TwoSpecies two;
  RankGas gas(two.parameters, rank, ranks, &two);
  std::optional<MixtureRecord> record;
  const Matrix start = gas.gather(false);
  if (rank == 0) record.emplace(kHelp.name, two, start);
  if (!all_go_on(rank != 0 || record->is_open())) return 1;
  Matrix velocity(1, 1);
  for (int s = 1; s <= TwoSpecies::kSteps; s++) {
    const int mine = gas.step();
    const long long own_unlike = gas.unlike_pairs();
    int collisions = 0;
    long long unlike = 0;
    MPI_Reduce(&mine, &collisions, 1, MPI_INT, MPI_SUM, 0, MPI_COMM_WORLD);
    MPI_Reduce(&own_unlike, &unlike, 1, MPI_LONG_LONG, MPI_SUM, 0, MPI_COMM_WORLD);
    Matrix now = gas.gather(false);
    velocity.swap(now);
    if (rank == 0) record->step(collisions, unlike, velocity);
  }
  if (rank != 0) return 0;
  return record->finish(velocity) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  MPI_Init(&argc, &argv);
  std::atexit(finalize_at_exit);
  int rank = 0, ranks = 1;
  MPI_Comm_rank(MPI_COMM_WORLD, &rank);
  MPI_Comm_size(MPI_COMM_WORLD, &ranks);
  if (rank != 0) platform::silence_standard_output();
  std::vector<ValueOption> options = {{"--gas", kGasHelp}};
  const std::vector<const char*> sizes = start_program(argc, argv, kHelp, 2, &options);
  const std::string kind = options[0].value != nullptr ? options[0].value : "hard-spheres";
  if (kind != "hard-spheres" && kind != "mixture") {
    std::cerr << kHelp.name << ": expected hard-spheres or mixture for --gas, not '"
              << quoted_token(options[0].value) << "'; try --help" << std::endl;
    return 2;
  }
  if (kind == "mixture" && !sizes.empty()) {
    std::cerr << kHelp.name << ": --gas mixture runs gas_mixture's gas, whose sizes are fixed: "
              << "give no PARTICLES or STEPS; try --help" << std::endl;
    return 2;
  }
  GasParameters parameters;
  int steps = 150;
  if (!read_sizes(kHelp.name, sizes, parameters, steps)) return 2;

  try {
    if (kind == "mixture") return run_mixture(rank, ranks);
    RankGas gas(parameters, rank, ranks);
    // Rank 0 takes both files before the run, as gas_relax does.
    std::optional<DataFile> relaxation, histogram;
    bool claimed = true;
    if (rank == 0) {
      relaxation.emplace(kHelp.name, "gas_kurtosis.dat", DataFile::Emptying::together);
      histogram.emplace(kHelp.name, "gas_speeds.dat", DataFile::Emptying::together);
      claimed = claim_together({&*relaxation, &*histogram});
    }
    if (!all_go_on(claimed)) return 1;

    double time = 0;
    const Matrix start = gas.gather(true);
    if (rank == 0) relaxation->line(time, component_kurtosis(start), 0);
    long late_collisions = 0;
    for (int s = 1; s <= steps; s++) {
      const int mine = gas.step();
      int collisions = 0;
      MPI_Reduce(&mine, &collisions, 1, MPI_INT, MPI_SUM, 0, MPI_COMM_WORLD);
      const Matrix x = gas.gather(true);
      if (rank != 0) continue;
      time += 2.0 * collisions / parameters.particles;
      if (s > steps / 2) late_collisions += collisions;
      relaxation->line(time, component_kurtosis(x), collisions);
    }
    const Matrix velocity = gas.gather(false, true);
    if (rank != 0) return 0;
    print_summary(velocity, parameters, time, late_collisions, steps);
    write_speeds(*histogram, velocity, parameters);
    return close_together({&*relaxation, &*histogram}) ? 0 : 1;
  } catch (const std::exception& failure) {
    std::cerr << kHelp.name << ": " << failure.what() << std::endl;
    MPI_Abort(MPI_COMM_WORLD, 1);
  }
  return 1;
}
