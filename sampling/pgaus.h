#pragma once

// Normal probability density at x for the given mean and standard deviation.
// See pgaus.cpp for the formula.
double pgaus(double x, double mean, double sigma);
