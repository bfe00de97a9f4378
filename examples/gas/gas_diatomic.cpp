// A nitrogen-like gas of linear molecules relaxing from a hot start in
// translation alone: rotation (2 degrees of freedom, Z_rot = 5) and one
// vibrational mode (theta_v = 3371 K, Z_vib = 20, small so that both
// relaxations show in one run) take their shares through the collide
// module's Larsen-Borgnakke exchange. Writes
//   gas_diatomic.dat  time (collisions per particle), the translational,
//                     rotational and vibrational temperatures, and the three
//                     of Jeans' and Landau and Teller's equations
// and prints the final temperatures beside the common one.
//
// Units: the particles start at speed 1, kT = m <v^2> / 3 = 1/3, which
// stands for 10000 K; temperatures are printed in kelvin. Theory, per
// particle, n collisions per particle, energies in kT:
//   dT_rot/dn = (T_tr - T_rot) / Z_rot
//   dE_vib/dn = (E_vib(T_tr) - E_vib) / Z_vib,  E_vib(T) = eps / (exp(eps / T) - 1)
//   (3/2) T_tr + T_rot + E_vib = its start, (3/2) kT_0
// with T_vib = eps / ln(1 + eps / E_vib), integrated by fourth-order
// Runge-Kutta between the steps' times.
#include <array>
#include <cmath>
#include <vector>

#include "data_file.h"
#include "gas.h"
#include "program.h"
#include "text_line.h"

namespace {

const ProgramHelp kHelp = {
    "gas_diatomic", "",
    "a gas of linear molecules relaxing in rotation and vibration",
    "Simulates a homogeneous nitrogen-like gas (20000 molecules in 40 cells of\n"
    "a periodic box, VHS with omega = 0.74) by direct simulation Monte Carlo\n"
    "with the collide module, started at 10000 K in translation with no\n"
    "rotational or vibrational energy. Rotation (2 degrees of freedom,\n"
    "Z_rot = 5) and one vibrational mode (theta_v = 3371 K, Z_vib = 20) take\n"
    "their shares by the Larsen-Borgnakke exchange, at the rates of Jeans'\n"
    "and Landau and Teller's equations, to one common temperature.\n"
    "\n"
    "Writes:\n"
    "  gas_diatomic.dat  \"<collisions per particle> <T_tr> <T_rot> <T_vib>\n"
    "                    <T_tr, theory> <T_rot, theory> <T_vib, theory>\" in\n"
    "                    kelvin, per step, from time 0\n"
    "  standard output   the final temperatures beside the common one\n",
    "the Data file could not be opened or written, or another run is writing\n"
    "     it; standard output could not be written"};

const double kKelvin = 30000;          // K per unit of kT: kT = 1/3 is 10000 K
const double kQuantum = 3371 / kKelvin;  // k theta_v
const double kZRot = 5, kZVib = 20;

double vibrational_energy(double kT) { return kQuantum / std::expm1(kQuantum / kT); }
double vibrational_temperature(double energy) {
  return energy > 0 ? kQuantum / std::log1p(kQuantum / energy) : 0.0;
}

// The theory's state: T_rot and E_vib; T_tr follows from the energy.
struct Theory {
  double energy;  // per particle, (3/2) T_tr + T_rot + E_vib
  double rotational = 0, vibrational = 0;
  double translational() const { return (energy - rotational - vibrational) / 1.5; }
  std::array<double, 2> rates(double rot, double vib) const {
    const double t = (energy - rot - vib) / 1.5;
    return {(t - rot) / kZRot, (vibrational_energy(t) - vib) / kZVib};
  }
  // Forward by n collisions per particle, in steps of at most 0.01.
  void advance(double n) {
    const int steps = static_cast<int>(std::ceil(n / 0.01));
    const double h = n / steps;
    for (int s = 0; s < steps; s++) {
      const auto k1 = rates(rotational, vibrational);
      const auto k2 = rates(rotational + h / 2 * k1[0], vibrational + h / 2 * k1[1]);
      const auto k3 = rates(rotational + h / 2 * k2[0], vibrational + h / 2 * k2[1]);
      const auto k4 = rates(rotational + h * k3[0], vibrational + h * k3[1]);
      rotational += h / 6 * (k1[0] + 2 * k2[0] + 2 * k3[0] + k4[0]);
      vibrational += h / 6 * (k1[1] + 2 * k2[1] + 2 * k3[1] + k4[1]);
    }
  }
};

// The common temperature of the energy per particle: (5/2) T + E_vib(T),
// by bisection.
double common_temperature(double energy) {
  double low = 0, high = energy;
  for (int k = 0; k < 200; k++) {
    const double mid = (low + high) / 2;
    (2.5 * mid + vibrational_energy(mid) < energy ? low : high) = mid;
  }
  return (low + high) / 2;
}

// Each cell's translational kT, about its own mean velocity, into `out`.
void cell_temperatures(HardSphereGas& gas, Matrix& out, double whole) {
  const SortList& cells = gas.cells();
  for (int c = 1; c <= cells.numCells; c++) {
    const int n = cells.cellPopulation[c];
    const int* members = cells.crossRef + cells.cellStart[c];
    if (n < 2) {
      out(c, 1) = whole;
      continue;
    }
    double mean[3] = {0, 0, 0}, sum = 0;
    for (int k = 0; k < n; k++)
      for (int d = 1; d <= 3; d++) mean[d - 1] += gas.velocities()(members[k], d) / n;
    for (int k = 0; k < n; k++)
      for (int d = 1; d <= 3; d++) {
        const double u = gas.velocities()(members[k], d) - mean[d - 1];
        sum += u * u;
      }
    out(c, 1) = sum / (3.0 * (n - 1));
  }
}

}  // namespace

int main(int argc, char** argv) {
  start_program(argc, argv, kHelp);
  GasParameters parameters;
  const CollisionModel nitrogen = VHS(0.74, 1.0);
  Internal molecule = {};
  molecule.rot_dof = 2;
  molecule.z_rot = kZRot;
  molecule.vib_quantum = kQuantum;
  molecule.z_vib = kZVib;
  Matrix e_rot(parameters.particles, 1), temperature(parameters.cells, 1);
  std::vector<int> levels(parameters.particles + 1, 0);
  const InternalEnergy internal = {&molecule, &e_rot, &temperature, levels.data()};
  parameters.model = &nitrogen;
  parameters.internal = &internal;
  parameters.max_weight = 1.5;  // above every pair's weight at the start, 2^0.52
  HardSphereGas gas(parameters);

  auto translational = [&] { return energy(gas.velocities()) / (3.0 * gas.particles()); };
  auto rotational = [&] {
    double sum = 0;
    for (int p = 1; p <= gas.particles(); p++) sum += e_rot(p, 1);
    return sum / gas.particles();
  };
  auto vibrational = [&] {
    double sum = 0;
    for (int p = 1; p <= gas.particles(); p++) sum += levels[p];
    return kQuantum * sum / gas.particles();
  };

  DataFile table(kHelp.name, "gas_diatomic.dat");
  if (!table.is_open()) return 1;
  Theory theory = {1.5 * translational()};
  const double common = common_temperature(theory.energy);
  double time = 0;
  auto write = [&] {
    table.line(time, kKelvin * translational(), kKelvin * rotational(),
               kKelvin * vibrational_temperature(vibrational()), kKelvin * theory.translational(),
               kKelvin * theory.rotational, kKelvin * vibrational_temperature(theory.vibrational));
  };
  write();
  const int steps = 600;
  for (int s = 1; s <= steps; s++) {
    gas.stream();
    gas.sort();
    cell_temperatures(gas, temperature, translational());
    const double n = 2.0 * gas.collide() / gas.particles();
    theory.advance(n);
    time += n;
    write();
  }
  const bool written = table.close();

  TextLine line;
  line << "collisions per particle: " << time;
  print_line(line);
  line << "final temperatures (K): translation " << kKelvin * translational() << ", rotation "
       << kKelvin * rotational() << ", vibration "
       << kKelvin * vibrational_temperature(vibrational());
  print_line(line);
  line << "common temperature of the energy (K): " << kKelvin * common;
  print_line(line);
  return written ? 0 : 1;
}
