#pragma once

// Normal probability density at x for the given mean and standard deviation.
// Defined beside random_reject's main.
double pgaus(double x, double mean, double sigma);
