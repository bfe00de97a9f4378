// Noisy cubic and its derivative, with Gaussian noise from ROOT's TRandom
// (seed 65539).
#include "noisy_poly.h"
#include "root_gaussian.h"

int main() { return run_poly_deriv(root_gaussian); }
