// Where the series programs get their Gaussian deviates: the programs hand
// in ROOT's TRandom, tests a scripted source.
#pragma once

#include <functional>

// A normally distributed deviate with the given mean and standard deviation.
using Gaussian = std::function<double(double mean, double sigma)>;
