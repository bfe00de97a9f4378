// Where the series programs get their Gaussian deviates. The shipped
// programs wrap ROOT's TRandom; tests hand in a scripted source instead.
#pragma once

#include <functional>

// A normally distributed deviate with the given mean and standard deviation.
using Gaussian = std::function<double(double mean, double sigma)>;

// Makes the generator. A run calls it once, after its inputs are read, and
// keeps the result until its files are closed.
using GaussianSource = std::function<Gaussian()>;
