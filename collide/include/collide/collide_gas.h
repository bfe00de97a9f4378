/* Molecular data, and the collision step's numbers made from it, for C and
 * C++ (colider.h gives the C++ forms, Python has its own).
 *
 * Units: SI throughout. Masses in kg, diameters in m, temperatures in K,
 * speeds in m/s, cross-sections in m^2, times in s, volumes in m^3. The
 * models these calls make then take velocities in m/s, and the masses of a
 * mixture in kg. Each value is checked against the range a molecule's
 * value has in these units, so that a mass in atomic units or a diameter
 * in angstrom is refused, not used.
 *
 * The table is the VHS and VSS data at 273 K of G. A. Bird, Molecular Gas
 * Dynamics and the Direct Simulation of Gas Flows (Oxford, 1994),
 * Appendix A, Tables A1 and A2 (collide/README.md lists it, with what each
 * gas gives). */
#ifndef COLLIDE_COLLIDE_GAS_H
#define COLLIDE_COLLIDE_GAS_H

#include <stddef.h>
#include <stdint.h>

#include "collide.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Boltzmann's constant, exact in SI since 2019, in J/K. */
#define COLLIDE_BOLTZMANN 1.380649e-23

/* One gas's molecular data:
 *   mass       the molecule's mass, kg: in [1e-28, 1e-23]
 *   d_ref_vhs  the VHS diameter at t_ref, m: in [1e-11, 1e-8]
 *   d_ref_vss  the VSS diameter at t_ref, m, which with alpha gives the
 *              same viscosity: in [1e-11, 1e-8]
 *   omega      the viscosity-temperature exponent, mu ~ T^omega: [0.5, 1]
 *   alpha      the VSS scattering exponent: [1, 2]
 *   t_ref      the temperature of both diameters, K: above 0, at most 1e5 */
typedef struct collide_gas {
  double mass;
  double d_ref_vhs;
  double d_ref_vss;
  double omega;
  double alpha;
  double t_ref;
} collide_gas;

/* The table's gas of this name ("Ar", "N2", "air"; collide_gas_name gives
 * them all): COLLIDE_OK with *gas filled, or COLLIDE_INVALID_ARGUMENT and
 * a message that lists the names. */
int collide_gas_data(const char* name, collide_gas* gas, char* message, size_t message_size);

/* The name of the table's gas number index, from 0; NULL past the last. */
const char* collide_gas_name(int32_t index);

/* The model of every pair of gas_count gases by the usual mixing rule: the
 * pair a, b takes the means of the two gases' diameters, omega and alpha,
 * and g_ref = sqrt(2 k t_ref / m_r) from its reduced mass
 * m_r = m_a m_b / (m_a + m_b), so that its cross-section at g_ref is
 *   sigma_ab = pi d_ab^2 / Gamma(5/2 - omega_ab)
 * (pi d_ab^2 for hard spheres, whose diameter is the VHS one). The gases
 * must share one t_ref. kind is COLLIDE_HARD_SPHERE, COLLIDE_VHS (the VHS
 * diameters) or COLLIDE_VSS (the VSS diameters, and alpha). Fills models
 * with gas_count^2 models, models[a gas_count + b] for gases a and b, each
 * of scale sigma_ab / sigma_ref, and *sigma_ref with the first gas's own
 * sigma_00, the one select_coeff takes. Nothing is written when a value is
 * refused. */
int collide_mixture_models(const collide_gas* gases, int32_t gas_count, int32_t kind,
                           collide_model* models, double* sigma_ref, char* message,
                           size_t message_size);

/* select_coeff = 1/2 f_n sigma_ref dt / cell_volume: f_n real molecules a
 * simulated particle, dt the time step, each positive and finite, and the
 * result finite and above 0. */
int collide_select_coeff(double f_n, double dt, double cell_volume, double sigma_ref,
                         double* select_coeff, char* message, size_t message_size);

/* A first max_rel_speed, the same for every cell: the largest weight
 * s g_ref^(2 omega - 1) g^(2 - 2 omega) of any pair a, b at the relative
 * speed g = 4 sqrt(2 k temperature / m_r), four times the pair's most
 * probable relative speed, which fewer than one pair in 10^6 exceed. models
 * as the step takes them (1, or species_count^2 in a symmetric table), mass
 * species_count masses in kg, temperature in K (above 0, at most 1e6). The
 * step raises the estimate of each cell where a pair outweighs it. */
int collide_first_max_weight(const collide_model* models, int32_t model_count,
                             size_t model_size, const double* mass, int32_t species_count,
                             double temperature, double* max_weight, char* message,
                             size_t message_size);

#ifdef __cplusplus
}
#endif

#endif
