// Two species relaxing to one temperature: the reference gas as a mixture of
// light particles (mass 1, temperature 1) and heavy ones (mass 4,
// temperature 3), half and half, colliding as Maxwell molecules (VHS with
// omega = 1: every pair's weight is 1, whatever its speed). Writes
//   gas_mixture.dat  time (collisions per particle), the two temperatures,
//                    and the two that theory predicts
// and prints the final temperatures beside the common one.
//
// Theory: a collision between a light particle a and a heavy one b changes
// a's energy by -m_a (m_b / M) V.g on average (V the centre-of-mass
// velocity, g the relative one, isotropic scattering), which is
// -3 beta (T_a - T_b) with beta = m_a m_b / M^2. Each such collision thus
// multiplies T_b - T_a by 1 - 2 beta (1/N_a + 1/N_b), and a cell of n_a and
// n_b particles has 2 n_a n_b selectCoeff of them a step on average.
#include <cmath>
#include <vector>

#include "data_file.h"
#include "gas.h"
#include "program.h"
#include "text_line.h"

namespace {

const ProgramHelp kHelp = {
    "gas_mixture", "",
    "two species of a gas relaxing to one temperature",
    "Simulates a homogeneous gas of two species (20000 particles in 40 cells\n"
    "of a periodic box, 100 time steps) by direct simulation Monte Carlo with\n"
    "the collide module: light particles of mass 1 at temperature 1 and heavy\n"
    "ones of mass 4 at temperature 3, half and half, colliding as Maxwell\n"
    "molecules. Collisions between the species bring both to the common\n"
    "temperature 2, at the rate that a collision's expected exchange of\n"
    "energy predicts.\n"
    "\n"
    "Writes:\n"
    "  gas_mixture.dat  \"<collisions per particle> <light T> <heavy T>\n"
    "                   <light T, theory> <heavy T, theory>\" per step, from\n"
    "                   time 0\n"
    "  standard output  the final temperatures beside the common one\n",
    "the Data file could not be opened or written, or another run is writing\n"
    "     it; standard output could not be written"};

const double kMass[2] = {1.0, 4.0};
const double kTemperature[2] = {1.0, 3.0};

// m <v^2> / 3 over the particles of one species.
double temperature(HardSphereGas& gas, const std::vector<int>& species, int s) {
  double sum = 0;
  int count = 0;
  for (int p = 1; p <= gas.particles(); p++) {
    if (species[p] != s) continue;
    for (int k = 1; k <= 3; k++) sum += gas.velocities()(p, k) * gas.velocities()(p, k);
    count++;
  }
  return kMass[s] * sum / (3.0 * count);
}

// The cross-species collisions a step should give: 2 n_a n_b selectCoeff w
// summed over the cells, w = 1.
double expected_cross_collisions(const HardSphereGas& gas, const std::vector<int>& species,
                                 double select_coeff) {
  const SortList& cells = gas.cells();
  double expected = 0;
  for (int c = 1; c <= cells.numCells; c++) {
    int heavy = 0;
    for (int k = 0; k < cells.cellPopulation[c]; k++)
      heavy += species[cells.crossRef[cells.cellStart[c] + k]];
    expected += 2.0 * (cells.cellPopulation[c] - heavy) * heavy * select_coeff;
  }
  return expected;
}

}  // namespace

int main(int argc, char** argv) {
  start_program(argc, argv, kHelp);
  GasParameters parameters;
  parameters.select_coeff = 2e-4;
  // Every particle starts at speed 1; each species is then scaled to the
  // speed of its temperature, sqrt(3 T / m).
  std::vector<int> species(parameters.particles + 1, 0);
  for (int p = 1; p <= parameters.particles; p++) species[p] = p % 2;
  const CollisionModel maxwell = VHS(1.0, 1.0);
  const Mixture mixture = {2, species.data(), kMass, &maxwell, 1};
  parameters.mixture = &mixture;
  parameters.max_weight = 1.0;  // the weight of every pair
  HardSphereGas gas(parameters);
  for (int p = 1; p <= gas.particles(); p++) {
    const double speed = std::sqrt(3 * kTemperature[species[p]] / kMass[species[p]]);
    for (int k = 1; k <= 3; k++) gas.velocities()(p, k) *= speed;
  }

  DataFile table(kHelp.name, "gas_mixture.dat");
  if (!table.is_open()) return 1;
  const int steps = 100;
  const double light_count = gas.particles() / 2, heavy_count = gas.particles() / 2;
  const double share = light_count / gas.particles();
  const double beta = kMass[0] * kMass[1] / ((kMass[0] + kMass[1]) * (kMass[0] + kMass[1]));
  const double per_collision = 1 - 2 * beta * (1 / light_count + 1 / heavy_count);
  const double common = share * temperature(gas, species, 0) + (1 - share) * temperature(gas, species, 1);
  double difference = temperature(gas, species, 1) - temperature(gas, species, 0);
  double time = 0;
  auto write = [&] {
    table.line(time, temperature(gas, species, 0), temperature(gas, species, 1),
               common - (1 - share) * difference, common + share * difference);
  };
  write();
  for (int s = 1; s <= steps; s++) {
    gas.stream();
    gas.sort();
    difference *= std::pow(per_collision, expected_cross_collisions(gas, species, parameters.select_coeff));
    time += 2.0 * gas.collide() / gas.particles();
    write();
  }
  const bool written = table.close();

  TextLine line;
  line << "collisions per particle: " << time;
  print_line(line);
  line << "final temperatures: light " << temperature(gas, species, 0) << ", heavy "
       << temperature(gas, species, 1) << " (common: " << common << ")";
  print_line(line);
  line << "temperature difference: " << temperature(gas, species, 1) - temperature(gas, species, 0)
       << " (theory: " << difference << ")";
  print_line(line);
  return written ? 0 : 1;
}
