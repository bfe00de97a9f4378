#include "mixture.h"

#include <cmath>

#include "program.h"
#include "text_line.h"

const double TwoSpecies::kMass[2] = {1.0, 4.0};
const double TwoSpecies::kTemperature[2] = {1.0, 3.0};

TwoSpecies::TwoSpecies(const GasParameters& base)
    : maxwell(VHS(1.0, 1.0)), parameters(base) {
  parameters.select_coeff = 2e-4;
  species.assign(parameters.particles + 1, 0);
  for (int p = 1; p <= parameters.particles; p++) species[p] = species_of(p);
  mixture = {2, species.data(), kMass, &maxwell, 1};
  parameters.mixture = &mixture;
  parameters.max_weight = 1.0;  // the weight of every pair
}

void TwoSpecies::heat(int p, double v[3]) {
  const int s = species_of(p);
  const double speed = std::sqrt(3 * kTemperature[s] / kMass[s]);
  for (int k = 0; k < 3; k++) v[k] *= speed;
}

double species_temperature(const Matrix& velocity, const std::vector<int>& species, int s) {
  double sum = 0;
  int count = 0;
  for (int p = 1; p <= velocity.nRow(); p++) {
    if (species[p] != s) continue;
    for (int k = 1; k <= 3; k++) sum += velocity(p, k) * velocity(p, k);
    count++;
  }
  return TwoSpecies::kMass[s] * sum / (3.0 * count);
}

long long unlike_pairs(const SortList& cells, const int* species) {
  long long pairs = 0;
  for (int c = 1; c <= cells.numCells; c++) {
    long long heavy = 0;
    for (int k = 0; k < cells.cellPopulation[c]; k++)
      heavy += species[cells.crossRef[cells.cellStart[c] + k]];
    pairs += (cells.cellPopulation[c] - heavy) * heavy;
  }
  return pairs;
}

MixtureRecord::MixtureRecord(const char* program, const TwoSpecies& gas, const Matrix& start)
    : gas_(gas), table_(program, "gas_mixture.dat") {
  const GasParameters& p = gas.parameters;
  const double light_count = p.particles / 2, heavy_count = p.particles / 2;
  share_ = light_count / p.particles;
  const double* m = TwoSpecies::kMass;
  const double beta = m[0] * m[1] / ((m[0] + m[1]) * (m[0] + m[1]));
  per_collision_ = 1 - 2 * beta * (1 / light_count + 1 / heavy_count);
  const double light = species_temperature(start, gas.species, 0);
  const double heavy = species_temperature(start, gas.species, 1);
  common_ = share_ * light + (1 - share_) * heavy;
  difference_ = heavy - light;
  if (is_open()) write(start);
}

void MixtureRecord::write(const Matrix& velocity) {
  table_.line(time_, species_temperature(velocity, gas_.species, 0),
              species_temperature(velocity, gas_.species, 1),
              common_ - (1 - share_) * difference_, common_ + share_ * difference_);
}

void MixtureRecord::step(int collisions, long long unlike, const Matrix& velocity) {
  // The cells' expected collisions of unlike pairs, 2 n_a n_b selectCoeff.
  difference_ *= std::pow(per_collision_, 2.0 * unlike * gas_.parameters.select_coeff);
  time_ += 2.0 * collisions / gas_.parameters.particles;
  write(velocity);
}

bool MixtureRecord::finish(const Matrix& velocity) {
  const bool written = table_.close();
  const double light = species_temperature(velocity, gas_.species, 0);
  const double heavy = species_temperature(velocity, gas_.species, 1);
  TextLine line;
  line << "collisions per particle: " << time_;
  print_line(line);
  line << "final temperatures: light " << light << ", heavy " << heavy << " (common: " << common_
       << ")";
  print_line(line);
  line << "temperature difference: " << heavy - light << " (theory: " << difference_ << ")";
  print_line(line);
  return written;
}
