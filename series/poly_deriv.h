#pragma once

#include "gaussian.h"

// poly_deriv's whole run: the cubic x^3 - 6x^2 + 11x - 6 at N points from
// lower in steps of (upper - lower) / N, with Gaussian noise of deviation
// sqrt|f| added to each value, then central differences of the noisy values.
// Writes poly.dat (x, noisy f, deviation) and deriv.dat (x, derivative).
// Returns the exit status.
int run_poly_deriv(const Gaussian& gaus);
