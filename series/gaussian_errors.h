#pragma once

#include "gaussian.h"

// gaussian_errors' whole run: N Gaussian samples of the typed centroid and
// sigma sorted into 100 bins over centroid +- 4 sigma (samples beyond either
// end count into the end bin), written as lower edge, count and error
// (sqrt(count), or 1 for an empty bin) to standard output and to
// gaussian_errors.dat. Returns the exit status.
int run_gaussian_errors(const Gaussian& gaus);

// The bin of a sample at q bin widths above the histogram's lower end:
// the truncation of q within 0..99; a q below 0, or not a number, is bin 0,
// one at or above 99 (infinity too) is bin 99.
int histogram_bin(double q);
