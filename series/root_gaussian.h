// The shipped series programs' Gaussian deviates: ROOT's TRandom, seed 65539.
#pragma once

#include <TRandom.h>

#include <memory>

#include "gaussian_source.h"

inline Gaussian root_gaussian() {
  auto random = std::make_shared<TRandom>(65539);
  return Gaussian([random](double mean, double sigma) { return random->Gaus(mean, sigma); });
}
