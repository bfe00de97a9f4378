#include "gas.h"

#include <cmath>

namespace {
const double kPi = 3.141592653589793;
}

ParticleStart draw_start(const GasParameters& parameters, long& seed) {
  ParticleStart start;
  start.x = parameters.box * rand(seed);
  double cos_th = 1 - 2 * rand(seed);
  double sin_th = std::sqrt(1 - cos_th * cos_th);
  double phi = 2 * kPi * rand(seed);
  start.v[0] = parameters.speed * sin_th * std::cos(phi);
  start.v[1] = parameters.speed * sin_th * std::sin(phi);
  start.v[2] = parameters.speed * cos_th;
  return start;
}

HardSphereGas::HardSphereGas(const GasParameters& parameters)
    : parameters_(parameters),
      x_(parameters.particles),
      velocity_(parameters.particles, 3),
      maxRelSpeed_(parameters.cells, 1),
      selectRemainder_(parameters.cells, 1),
      cells_(parameters.cells, parameters.particles + 1),
      seed_(parameters.seed) {
  for (int p = 1; p <= parameters_.particles; p++) {
    const ParticleStart start = draw_start(parameters_, seed_);
    x_[p - 1] = start.x;
    for (int k = 1; k <= 3; k++) velocity_(p, k) = start.v[k - 1];
  }
  // No pair of equal speeds can be faster than twice that speed.
  const bool modelled = parameters_.mixture != nullptr || parameters_.model != nullptr;
  maxRelSpeed_.set(modelled ? parameters_.max_weight : 2 * parameters_.speed);
  sort();
}

void HardSphereGas::stream() {
  const double L = parameters_.box;
  for (int p = 1; p <= parameters_.particles; p++) {
    double x = std::fmod(x_[p - 1] + velocity_(p, 1) * parameters_.time_step, L);
    x_[p - 1] = x < 0 ? x + L : x;
  }
}

// The particles into cells along x, each cell's in ascending order of their
// numbers (the library's order rule).
void HardSphereGas::sort() {
  const int n_cells = parameters_.cells;
  std::vector<int> cell_of(parameters_.particles);
  for (int p = 1; p <= parameters_.particles; p++) {
    int c = 1 + static_cast<int>(x_[p - 1] / parameters_.box * n_cells);
    if (c > n_cells) c = n_cells;  // x rounded up to the box's end
    cell_of[p - 1] = c;
  }
  sort_into_cells(cell_of.data(), parameters_.particles, cells_);
}

void HardSphereGas::renumber_by_cell() {
  std::vector<double> x(x_.size());
  Matrix velocity(parameters_.particles, 3);
  for (int j = 1; j <= parameters_.particles; j++) {
    int p = cells_.crossRef[j];
    x[j - 1] = x_[p - 1];
    for (int k = 1; k <= 3; k++) velocity(j, k) = velocity_(p, k);
  }
  x_.swap(x);
  velocity_.swap(velocity);
  sort();
}

int HardSphereGas::collide_classic() {
  return colider(velocity_, maxRelSpeed_, 0.0, seed_, selectRemainder_,
                 parameters_.select_coeff, cells_);
}

double HardSphereGas::expected_collisions() {
  double expected = 0;
  for (int c = 1; c <= parameters_.cells; c++) {
    const int n = cells_.cellPopulation[c];
    const int* members = cells_.crossRef + cells_.cellStart[c];
    if (n < 2) continue;
    double sum = 0;
    for (int a = 0; a < n; a++) {
      for (int b = a + 1; b < n; b++) {
        double w2 = 0;
        for (int k = 1; k <= 3; k++) {
          double d = velocity_(members[a], k) - velocity_(members[b], k);
          w2 += d * d;
        }
        sum += std::sqrt(w2);
      }
    }
    double mean_w = sum / (0.5 * n * (n - 1));
    expected += static_cast<double>(n) * (n - 1) * parameters_.select_coeff * mean_w;
  }
  return expected;
}

double HardSphereGas::component_kurtosis() { return ::component_kurtosis(velocity_); }

double component_kurtosis(const Matrix& velocity) {
  const int n = velocity.nRow();
  double mean = 0;
  for (int p = 1; p <= n; p++) mean += velocity(p, 1);
  mean /= n;
  double m2 = 0, m4 = 0;
  for (int p = 1; p <= n; p++) {
    double d = velocity(p, 1) - mean;
    m2 += d * d;
    m4 += d * d * d * d;
  }
  m2 /= n;
  m4 /= n;
  return m4 / (m2 * m2);
}

std::array<double, 3> HardSphereGas::momentum() {
  std::array<double, 3> total = {0, 0, 0};
  for (int p = 1; p <= parameters_.particles; p++)
    for (int k = 0; k < 3; k++) total[k] += velocity_(p, k + 1);
  return total;
}

double HardSphereGas::energy() { return ::energy(velocity_); }

double energy(const Matrix& velocity) {
  double total = 0;
  for (double s : speeds(velocity)) total += s * s;
  return total;
}

double HardSphereGas::speed_sum() {
  double total = 0;
  for (double s : speeds()) total += s;
  return total;
}

std::vector<double> HardSphereGas::speeds() { return ::speeds(velocity_); }

std::vector<double> speeds(const Matrix& velocity) {
  std::vector<double> result(velocity.nRow());
  for (int p = 1; p <= velocity.nRow(); p++) {
    double v2 = 0;
    for (int k = 1; k <= 3; k++) v2 += velocity(p, k) * velocity(p, k);
    result[p - 1] = std::sqrt(v2);
  }
  return result;
}

// f(v) = sqrt(2 / pi) v^2 / a^3 exp(-v^2 / (2 a^2)),  a^2 = kT/m = <v^2> / 3.
double maxwell_density(double v, double mean_square) {
  double a2 = mean_square / 3;
  return std::sqrt(2 / kPi) * v * v / (a2 * std::sqrt(a2)) * std::exp(-v * v / (2 * a2));
}

// F(v) = erf(v / (a sqrt 2)) - sqrt(2 / pi) (v / a) exp(-v^2 / (2 a^2)).
double maxwell_cdf(double v, double mean_square) {
  double a = std::sqrt(mean_square / 3);
  double x = v / a;
  return std::erf(x / std::sqrt(2.0)) - std::sqrt(2 / kPi) * x * std::exp(-x * x / 2);
}
