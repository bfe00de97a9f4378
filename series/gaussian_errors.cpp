// Histogram of Gaussian samples with square-root errors, the samples from
// ROOT's TRandom (seed 65539).
#include "gauss_histogram.h"
#include "root_gaussian.h"

int main() { return run_gaussian_errors(root_gaussian); }
