// Two species relaxing to one temperature: the reference gas as a mixture of
// light particles (mass 1, temperature 1) and heavy ones (mass 4,
// temperature 3), half and half, colliding as Maxwell molecules (VHS with
// omega = 1: every pair's weight is 1, whatever its speed). Writes
//   gas_mixture.dat  time (collisions per particle), the two temperatures,
//                    and the two that theory predicts
// and prints the final temperatures beside the common one.
// (mixture.h gives the theory; gas_relax_mpi --gas mixture runs the same
// gas over MPI ranks, with the same bytes.)
#include "gas.h"
#include "mixture.h"
#include "program.h"

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

}  // namespace

int main(int argc, char** argv) {
  start_program(argc, argv, kHelp);
  TwoSpecies mixture;
  HardSphereGas gas(mixture.parameters);
  for (int p = 1; p <= gas.particles(); p++) {
    double v[3] = {gas.velocities()(p, 1), gas.velocities()(p, 2), gas.velocities()(p, 3)};
    TwoSpecies::heat(p, v);
    for (int k = 1; k <= 3; k++) gas.velocities()(p, k) = v[k - 1];
  }
  MixtureRecord record(kHelp.name, mixture, gas.velocities());
  if (!record.is_open()) return 1;
  for (int s = 1; s <= TwoSpecies::kSteps; s++) {
    gas.stream();
    gas.sort();
    const long long unlike = unlike_pairs(gas.cells(), mixture.species.data());
    record.step(gas.collide(), unlike, gas.velocities());
  }
  return record.finish(gas.velocities()) ? 0 : 1;
}
