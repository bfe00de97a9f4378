// The exchange of energy between a collision's translation and its
// molecules' internal modes: the Larsen-Borgnakke model (Borgnakke and
// Larsen 1975) with its discrete form for a harmonic vibrational mode
// (Bird 1994, 5.4), and the probabilities of exchange that make a gas relax
// at the relaxation numbers of continuum theory.
//
// A collision of VHS exponent omega, with relative translational energy
// E_t = mu g^2 / 2, has in equilibrium E_t ~ Gamma(b) kT with b = 5/2 - omega
// (the collision rate goes as g^(2 - 2 omega)); a rotation of zeta degrees
// of freedom has e ~ Gamma(zeta / 2) kT. Given E_c = E_t + e, the fraction
// e / E_c of the two is then Beta(zeta / 2, b), independent of E_c, and the
// exchange draws the molecule's new e from it: equilibrium is kept exactly,
// in any mixture, as long as each pair's own omega sets b. A harmonic mode
// of quantum eps takes the level j <= E_c / eps with probability
// proportional to (E_c - j eps)^(b - 1), which keeps Boltzmann's populations.
//
// Selection (prohibiting double relaxation): a collision exchanges with at
// most one mode of one of its two molecules, chosen by one deviate, so that
// every exchange starts from the collision's own E_t; the probabilities of
// a pair's modes must therefore add up to 1 at most. The mean change of a
// rotation's e is then (zeta/2) b / (zeta/2 + b) k (T_t - T_rot) per
// exchange, and Jeans' equation dE/dt = (zeta/2) k (T_t - T_rot) / (Z tau)
// holds for each species when its probability of exchange is
//   p = (1 / Z) (1 + zeta / (2 b)),
// with the b of each pair. Example: nitrogen, zeta = 2 and omega = 0.74,
// Z = 5: p = 0.2 (1 + 2 / 3.52) = 0.314. The vibrational mode's mean change
// is not linear in its energy; near equilibrium at T it relaxes as Landau
// and Teller's equation says with p = f(theta_v / T, b) / Z_vib
// (vibration_factor), which is why vibration needs each cell's temperature.
#ifndef COLLIDE_EXCHANGE_H
#define COLLIDE_EXCHANGE_H

#include "collide/colider_step.h"

namespace collide_detail {

// Parker's rotational relaxation number at temperature kT, from z_inf and
// k T*: Z = z_inf / (1 + (pi^(3/2) / 2) sqrt(T* / T) + (pi + pi^2 / 4) T* / T).
// Example: z_inf 18.1, T* / T = 0.305 give 4.26.
double parker_z(double z_inf, double t_star, double temperature);

// The rotational relaxation number of species data `in` at temperature kT:
// its z_rot, or Parker's when parker_z_inf is above 0.
double rotational_z(const collide_internal& in, double temperature);

// The vibrational relaxation number of species data `in`, of VHS exponent
// omega, at temperature kT: its z_vib, or Millikan and White's
// (c1 / T^omega) exp(c2 T^(-1/3)) when mw_c1 is above 0.
double vibrational_z(const collide_internal& in, double omega, double temperature);

// f(theta_v / T, b) = Var(i) / E[Var(i | E_c)] of a harmonic mode in a bath
// at T, i its level: the factor p = f / Z_vib that makes its mean energy
// relax at Landau and Teller's rate near equilibrium. f = 1 + 1/b at
// theta_v / T = 0 and falls toward 1 as it grows (as (theta_v / T)^-(b - 1));
// interpolated in a table of tools/vibration_factor.py's, to 2e-4.
// Example: f(1, 2) = 1.4646.
double vibration_factor(double theta_over_t, double b);

// The probability that a molecule of data `in`, of its own VHS exponent
// omega, exchanges vibrational energy in a collision of b at temperature kT:
// 0 without vibration.
double vibrational_probability(const collide_internal& in, double b, double omega,
                               double temperature);

// A try of the vibrational level a collision energy E_c leaves in a mode of
// quantum eps, from two deviates: j = floor(u (n + 1)), n = floor(E_c / eps),
// accepted when v is below (1 - j eps / E_c)^(b - 1).
bool vibrational_level(double collision_energy, double quantum, double b, double u, double v,
                       int& level);

// The probability that a molecule of data `in` exchanges rotational energy
// in a collision of b = 5/2 - omega at temperature kT: 0 without rotation.
double rotational_probability(const collide_internal& in, double b, double temperature);

// b = 5/2 - omega of a pair's law.
inline double collision_exponent(const PairLaw& law) { return law.hard ? 2.0 : 1.5 + law.exponent; }

// The VHS exponent omega of a pair's law, and of species s's own pair.
inline double omega_of(const PairLaw& law) { return law.hard ? 0.5 : 1 - law.exponent; }
double own_omega(const Interactions& interactions, int species);

// The probability that a molecule of species s exchanges, rotation and
// vibration together, in a collision of b at temperature kT.
double exchange_probability(const Interactions& interactions, int species, double b,
                            double temperature);

// Throws ColiderError, "<function>: ... in cell <cell>" (no cell when it is
// below 0), when the probabilities of exchange of a pair of species add up
// to more than 1 at temperature kT (any, for relaxation numbers that do not
// depend on it): prohibiting double relaxation cannot give relaxation that
// fast.
void check_probabilities(const Interactions& interactions, double temperature,
                         const char* function, int cell);

// The fraction of E_c a rotation of `dof` degrees of freedom takes, drawn
// from Beta(dof / 2, b): for 2, x = 1 - u^(1/b) from one deviate u; for 3,
// by rejection, a try of two deviates, x = u accepted when v is below
// Beta(3/2, b)'s density at u over its largest. rotational_draws is the
// deviates a try takes; rotational_share returns whether the try (u, v) is
// accepted, with its x in `share`.
inline int rotational_draws(int dof) { return dof == 2 ? 1 : 2; }
bool rotational_share(int dof, double b, double u, double v, double& share);

}  // namespace collide_detail

#endif
