// DSMC collision step (no-time-counter selection with a remainder carried
// between calls), one cell at a time. In a cell of N >= 2 particles
//
//   S = N selectCoeff (N - 1) maxRelSpeed(c) + selectRemainder(c)
//
// candidate pairs are due, the whole part examined now and the fraction
// carried. A pair of weight w (its relative speed, for hard spheres of
// scale 1; models.h) is accepted with probability w / maxRelSpeed(c), the
// stored maximum as it stood before the pair, so the expected accepted
// collisions per cell are selectCoeff times the sum of w over the
// N (N - 1) ordered pairs. An accepted pair keeps its centre-of-mass velocity
// and its relative speed g; its new relative velocity has the polar angle
// the model draws from u4 and the azimuth
//
//   phi = 2 pi u5   (2 pi taken as 6.283185308),
//
// for hard spheres and VHS about a fixed axis, cos(theta) = 1 - 2 u4, for
// VSS about the relative velocity before the collision. Particles a and b
// of masses m_a and m_b become
//
//   v_a' = v_cm + m_b / (m_a + m_b) g',  v_b' = v_cm - m_a / (m_a + m_b) g',
//
// where v_cm = (v_a + v_b) 0.5 and the fractions are 0.5 when the masses
// are equal.
//
// Example: N = 3, selectCoeff 0.45, maxRelSpeed 1 and a remainder of 0.5
// give S = 3.2: three candidates now, 0.2 carried to the next call.
//
// Deliberate arithmetic: the constants, and the order of every product and
// sum, are kept as they stand, so that results stay the same to the last bit.
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "collide/colider.h"
#include "exchange.h"
#include "models.h"
#include "step_internals.h"

namespace collide_detail {

std::string shortest(double value) {
  char text[32];
  for (int digits = 1; digits <= 17; digits++) {
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    if (std::strtod(text, nullptr) == value) break;
  }
  return text;
}

namespace {

// "colider: <what> is <value> in cell <cell>; <requirement>", thrown.
[[noreturn]] void refuse(const char* what, double value, int cell, const char* requirement) {
  throw ColiderError(std::string("colider: ") + what + " is " + shortest(value) + " in cell " +
                     std::to_string(cell) + "; " + requirement);
}

// A deviate of 1 or more, or below 0, would pick a particle outside the cell.
double checked_deviate(double u, const char* which, int cell) {
  if (!(u >= 0.0 && u < 1.0)) refuse(which, u, cell, "a deviate must lie in [0, 1)");
  return u;
}

void require_finite(const char* what, double value, int cell) {
  if (!std::isfinite(value)) refuse(what, value, cell, "it must be finite");
}

// The new relative velocity of speed g, at polar cosine cos_th and azimuth
// phi about the old relative velocity d (of speed g): d's direction turned
// by the deflection, in a frame built around d (the x axis stands in when d
// lies along it).
void deflect(const double d[3], double g, double cos_th, double sin_th, double phi,
             double out[3]) {
  const double cos_ph = std::cos(phi), sin_ph = std::sin(phi);
  const double across = std::sqrt(d[1] * d[1] + d[2] * d[2]);
  if (across > 1e-10 * g) {
    out[0] = cos_th * d[0] + sin_th * sin_ph * across;
    out[1] = cos_th * d[1] + sin_th * (g * d[2] * cos_ph - d[0] * d[1] * sin_ph) / across;
    out[2] = cos_th * d[2] - sin_th * (g * d[1] * cos_ph + d[0] * d[2] * sin_ph) / across;
  } else {
    const double along = d[0] < 0 ? -g : g;
    out[0] = cos_th * along;
    out[1] = sin_th * cos_ph * g;
    out[2] = sin_th * sin_ph * g;
  }
}

}  // namespace

const ArgumentNames kColiderNames = {"selectCoeff",  "maxRelSpeed",         "selectRemainder",
                                     "velocity(",    ")",                   "eRot(",
                                     "vibLevel(",    "cellTemperature",     "pairCollisions",
                                     "particleCollisions[", "position(",    "separation",
                                     "meanPopulation"};

void check_distinct(const MatrixGas& gas, const Matrix* eRot) {
  const Matrix* writes[4] = {&gas.velocity, &gas.maxRelSpeed, &gas.selectRemainder, eRot};
  const char* names[4] = {"velocity", "maxRelSpeed", "selectRemainder", "eRot"};
  const int count = eRot != nullptr ? 4 : 3;
  for (int a = 0; a < count; a++) {
    for (int b = a + 1; b < count; b++)
      if (writes[a] == writes[b])
        throw ColiderError(std::string("colider: ") + names[a] + " and " + names[b] +
                           " are the same Matrix; each needs its own");
    if (writes[a] == gas.selectCoeffPerCell)
      throw ColiderError(std::string("colider: ") + names[a] +
                         " and the per-cell selectCoeff are the same Matrix; each needs its own");
  }
}

namespace {
// The diagnostics as the step takes them: rows counted from 1, the
// positions a Matrix of three columns and the velocity's rows.
Diagnostics matrix_diagnostics(const StepOptions& given, const Matrix& velocity,
                               const Interactions& interactions, const char* function) {
  if (given.separation != nullptr && given.position == nullptr)
    throw ColiderError(std::string(function) + ": separation is given without position; give position too");
  if (given.partner != COLLIDE_PARTNER_RANDOM && given.partner != COLLIDE_PARTNER_NEAREST)
    throw ColiderError(std::string(function) + ": partner is " + std::to_string(given.partner) +
                       "; it must be COLLIDE_PARTNER_RANDOM or COLLIDE_PARTNER_NEAREST");
  const bool nearest = given.partner == COLLIDE_PARTNER_NEAREST;
  if (nearest && given.position == nullptr)
    throw ColiderError(std::string(function) +
                       ": partner is COLLIDE_PARTNER_NEAREST without position; give position too");
  const Matrix* position = given.position;
  if (position != nullptr && (position->nCol() != 3 || position->nRow() != velocity.nRow())) {
    throw ColiderError(std::string(function) + ": position is " + std::to_string(position->nRow()) +
                       " x " + std::to_string(position->nCol()) +
                       "; it must have three columns and a row per velocity row, " +
                       std::to_string(velocity.nRow()));
  }
  const bool rows = position != nullptr && position->nRow() > 0;
  Diagnostics d = {given.pairCollisions,
                   interactions.speciesCount > 0 ? interactions.speciesCount : 1,
                   given.particleCollisions != nullptr ? given.particleCollisions + 1 : nullptr,
                   rows ? &(*position)(1, 1) : nullptr, given.separation, nearest && rows};
  if (d.separation != nullptr && d.position == nullptr) d.separation = nullptr;  // no particles
  check_diagnostics(d, kColiderNames);
  return d;
}
}  // namespace

MatrixGas matrix_gas(Matrix& velocity, Matrix& maxRelSpeed, Matrix& selectRemainder,
                     SelectCoeff selectCoeff, const SortList& cells, Interactions interactions,
                     const InternalEnergy* internal, const StepOptions* diagnostics,
                     const char* function) {
  const Matrix* temperature = nullptr;
  if (internal != nullptr) {
    if (internal->species == nullptr)
      throw ColiderError(std::string(function) + ": the internal energy needs its species' data");
    if (internal->eRot != nullptr &&
        (internal->eRot->nCol() != 1 || internal->eRot->nRow() != velocity.nRow())) {
      throw ColiderError(std::string(function) + ": eRot is " + std::to_string(internal->eRot->nRow()) +
                         " x " + std::to_string(internal->eRot->nCol()) +
                         "; it must be one column of a row per velocity row, " +
                         std::to_string(velocity.nRow()));
    }
    interactions.internal = internal->species;
    interactions.eRot = internal->eRot != nullptr && internal->eRot->nRow() > 0
                            ? &(*internal->eRot)(1, 1)
                            : nullptr;
    interactions.vibLevel = internal->vibLevel != nullptr ? internal->vibLevel + 1 : nullptr;
    temperature = internal->cellTemperature;
  }
  if (diagnostics != nullptr) {
    interactions.diagnostics = matrix_diagnostics(*diagnostics, velocity, interactions, function);
    const int offset = diagnostics->cellOffset;
    if (offset < 0 || static_cast<long long>(offset) + cells.numCells > 2147483647) {
      throw ColiderError(std::string(function) + ": cellOffset is " + std::to_string(offset) +
                         "; it must be 0 or more, and cellOffset + numCells at most 2147483647");
    }
  }
  const MatrixGas gas = {velocity,
                         maxRelSpeed,
                         selectRemainder,
                         selectCoeff.value(),
                         selectCoeff.perCell(),
                         cells,
                         checked_interactions(interactions, function),
                         temperature,
                         diagnostics != nullptr ? diagnostics->meanPopulation : nullptr,
                         diagnostics != nullptr ? diagnostics->cellOffset : 0};
  check_distinct(gas, internal != nullptr ? internal->eRot : nullptr);
  return gas;
}

int begin_cell(CellStep& step, const MatrixGas& gas, int c) {
  const SortList& cells = gas.cells;
  const int l = c - gas.cellOffset;  // the cell's rows and entries
  const int N = cells.cellPopulation[l];
  if (N < 0) refuse("cellPopulation", N, c, "it must not be negative");
  if (N <= 1) return 0;
  if (cells.cellStart[l] < 0) refuse("cellStart", cells.cellStart[l], c, "it must not be negative");
  const double coeff =
      gas.selectCoeffPerCell != nullptr ? (*gas.selectCoeffPerCell)(l, 1) : gas.selectCoeff;
  const VelocityRows rows = {&gas.velocity(1, 1), gas.velocity.nRow(), gas.velocity.nCol(), 1,
                             &gas.velocity};
  const double temperature = gas.cellTemperature != nullptr ? (*gas.cellTemperature)(l, 1) : NAN;
  return step.begin({rows, &gas.maxRelSpeed(l, 1), &gas.selectRemainder(l, 1), coeff, N,
                     cells.crossRef + cells.cellStart[l], c, &gas.interactions, &kColiderNames,
                     temperature,
                     gas.meanPopulation != nullptr ? &(*gas.meanPopulation)(l, 1) : nullptr});
}

double expected_candidates(double selectCoeff, double maxRelSpeed, double selectRemainder, int N,
                           const double* meanPopulation, int c, const ArgumentNames& names) {
  require_finite(names.selectCoeff, selectCoeff, c);
  require_finite(names.maxRelSpeed, maxRelSpeed, c);
  require_finite(names.selectRemainder, selectRemainder, c);
  // N - 1 is exact as a double: the classic count keeps its bits.
  double partners = N - 1;
  if (meanPopulation != nullptr) {
    partners = *meanPopulation;
    if (!(partners >= 0 && partners <= DBL_MAX))
      refuse(names.meanPopulation, partners, c, "it must be finite and 0 or more");
  }
  const double S = N * selectCoeff * partners * maxRelSpeed + selectRemainder;
  // The candidate count is an int: S must truncate to one.
  if (!(S > -2147483649.0 && S < 2147483648.0)) {
    throw ColiderError(std::string("colider: the expected candidate count N ") + names.selectCoeff +
                       (meanPopulation != nullptr ? std::string(" ") + names.meanPopulation + " "
                                                  : std::string(" (N - 1) ")) +
                       names.maxRelSpeed + " + " + names.selectRemainder + " is " +
                       shortest(S) + " in cell " + std::to_string(c) + " (N = " +
                       std::to_string(N) + ", " + names.selectCoeff + " = " + shortest(selectCoeff) +
                       ", " + names.maxRelSpeed + " = " + shortest(maxRelSpeed) + ", " +
                       names.selectRemainder + " = " + shortest(selectRemainder) +
                       "); it must fit a 32-bit count");
  }
  return S;
}

int CellStep::begin(const CellInputs& in) {
  const int N = in.population;
  if (N <= 1) return 0;
  velocity_ = in.velocity;
  interactions_ = in.interactions;
  members_ = in.members;
  cell_ = in.cell;
  population_ = N;
  // Every species of the cell is known before the cell changes.
  if (interactions_->species != nullptr) {
    for (int k = 0; k < N; k++) {
      const long long r = static_cast<long long>(members_[k]) - velocity_.first;
      if (r >= 0 && r < velocity_.count) species_of(r);  // other rows are refused when picked
    }
  }
  const double S = expected_candidates(in.selectCoeff, *in.maxRelSpeed, *in.selectRemainder, N,
                                       in.meanPopulation, cell_, *in.names);
  const int M = static_cast<int>(S);
  *in.selectRemainder = S - M;
  names_ = in.names;
  // The candidates will read the cell's velocity rows, which may lie anywhere
  // in memory: ask for them all at once, so that their cache misses overlap
  // instead of stalling one candidate after another.
  if (M > 0) {
    for (int k = 0; k < N; k++) {
      const long long r = static_cast<long long>(members_[k]) - velocity_.first;
      if (r >= 0 && r < velocity_.count) prefetch(velocity_.data + velocity_.columns * r);
    }
  }

  const Diagnostics& diagnostics = interactions_->diagnostics;
  records_ = diagnostics.pairCollisions != nullptr || diagnostics.particleCollisions != nullptr ||
             diagnostics.separation != nullptr;
  if (records_ && M > 0) check_counts(M);
  nearest_ = diagnostics.nearest;
  if (nearest_ && M > 0) take_positions();

  exchanges_ = interactions_->internal != nullptr;
  if (exchanges_) {
    temperature_ = in.temperature;
    check_internal();
  }
  stored_max_ = in.maxRelSpeed;
  running_max_ = *in.maxRelSpeed;
  // With a table, each pair takes its own model (model_weight).
  const bool one_model = interactions_->tableSize == 0;
  if (one_model) take_model(interactions_->model);
  // One species whose weight is the relative speed itself, scattered
  // isotropically (hard spheres of scale 1): the classic step.
  hard_spheres_ = one_model && interactions_->mass == nullptr && law_.hard &&
                  law_.factor == 1.0 && !scattering_.deflects && !exchanges_;
  return M;
}

// The largest velocity component the step takes: its differences' squares,
// summed, stay far from overflowing.
const double kLargestComponent = 1e150;

void check_velocity(const double* v, int particle, int cell, const ArgumentNames& names) {
  if (std::fabs(v[0]) <= kLargestComponent && std::fabs(v[1]) <= kLargestComponent &&
      std::fabs(v[2]) <= kLargestComponent)
    return;
  throw ColiderError(std::string("colider: ") + names.particle + std::to_string(particle) +
                     names.particle_end + " is (" + shortest(v[0]) + ", " + shortest(v[1]) + ", " +
                     shortest(v[2]) + ") in cell " + std::to_string(cell) +
                     "; each component must be finite and at most 1e150 in size");
}

// Components of at most kLargestComponent keep the squared relative speed
// of a pair at most 3 (2 kLargestComponent)^2. A larger one, or one that is
// not a number, means that one of the pair's velocities is refused: the
// check costs a comparison per candidate.
const double kLargestSquare = 1.2e301;

void CellStep::refuse_pair() {
  check_velocity(first_, static_cast<int>(first_row_ + velocity_.first), cell_, *names_);
  check_velocity(second_, static_cast<int>(second_row_ + velocity_.first), cell_, *names_);
}

// The species of the particle in row r, checked where it is read.
inline int CellStep::species_of(long long r) {
  const int s = interactions_->species[r];
  if (static_cast<unsigned>(s) >= static_cast<unsigned>(interactions_->speciesCount))
    refuse_species(r, s);
  return s;
}

void CellStep::refuse_species(long long r, int s) {
  throw ColiderError("colider: species[" + std::to_string(r + velocity_.first) + "] is " +
                     std::to_string(s) + " in cell " + std::to_string(cell_) +
                     "; a species must lie in [0, " + std::to_string(interactions_->speciesCount) +
                     ")");
}

// Particle p's row offset. A particle outside the rows, or rows of fewer
// than three columns, fail the Matrix's check when there is one.
long long CellStep::row_offset(int p) {
  const long long r = static_cast<long long>(p) - velocity_.first;
  if (r < 0 || r >= velocity_.count || velocity_.columns < 3) {
    if (velocity_.matrix != nullptr) static_cast<void>((*velocity_.matrix)(p, 3));
    refuse("a particle number", p, cell_, "it must name a row of the velocities");
  }
  return r;
}

bool CellStep::examine(double u1, double u2, double u3) {
  const int N = population_;
  // 0 <= k1 <= N - 1. k2 = (trunc(k1 + u2 (N - 1)) + 1) mod N is one of the
  // other offsets; the value before the remainder lies in [1, 2N - 1], so the
  // remainder is at most one subtraction (and 64 bits hold it for any N).
  const int k1 = static_cast<int>(checked_deviate(u1, "u1, the first particle's deviate,", cell_) * N);
  long long k2;
  if (nearest_) {
    checked_deviate(u2, "u2, the second particle's deviate,", cell_);
    k2 = nearest_to(k1);
  } else {
    k2 = static_cast<long long>(
             k1 + checked_deviate(u2, "u2, the second particle's deviate,", cell_) * (N - 1)) +
         1;
    if (k2 >= N) k2 -= N;
  }
  first_row_ = row_offset(members_[k1]);
  second_row_ = row_offset(members_[k2]);
  first_ = velocity_.data + velocity_.columns * first_row_;
  second_ = velocity_.data + velocity_.columns * second_row_;

  // pow(d, 2) with an exponent of 2 is one correctly rounded product, d * d,
  // which is how the library has always computed it.
  const double d1 = first_[0] - second_[0];
  const double d2 = first_[1] - second_[1];
  const double d3 = first_[2] - second_[2];
  double weight;
  if (hard_spheres_) {  // the weight is the relative speed
    const double squared_speed = (d1 * d1 + d2 * d2) + d3 * d3;
    if (!(squared_speed <= kLargestSquare)) refuse_pair();
    speed_ = std::sqrt(squared_speed);
    weight = speed_;
  } else {
    weight = model_weight(d1, d2, d3);
  }
  if (weight > running_max_) running_max_ = weight;

  // The divisor is the stored maximum from before this candidate.
  const bool accepted =
      weight / *stored_max_ > checked_deviate(u3, "u3, the acceptance deviate,", cell_);
  // Each particle of the pair remembers the other, whether they collide or
  // not: which pair is examined then depends on the positions and the
  // deviates alone, never on the velocities, so that in equilibrium every
  // pair examined has the equilibrium's relative speed and the rate is the
  // random partners'. Remembering accepted pairs alone would set aside
  // pairs of high relative speed, which a collision keeps, and lower the
  // rate (by 1.6% at a third of a collision a particle and a call).
  if (nearest_) {
    last_partner_[k1] = static_cast<int>(k2);
    last_partner_[k2] = k1;
  }
  if (!accepted) {
    *stored_max_ = running_max_;
    return false;
  }
  if (records_) record();
  return true;
}

// The model's record gives its law and scattering; the model is known to be
// of a kind there is, its parameters in range.
void CellStep::take_model(const collide_model& model) {
  const ModelDescription& description = *describe(model.kind);
  law_ = description.law(model);
  scattering_ = description.scattering(model);
}

// The table's entry is read once and checked here, so that a table
// rewritten during the call can stop it but never give a weight or an angle
// that is not a number.
void CellStep::take_table_entry(int entry) {
  const collide_model model = interactions_->table[entry];
  const ModelDescription* description = describe(model.kind);
  if (description == nullptr || parameter_out_of_range(model, *description) != nullptr)
    check_model(model, "colider", "models", entry);
  take_model(model);
  const bool keep = entry < kKeptEntries;
  if (keep) {
    entries_[entry] = {law_, scattering_};
    kept_ |= 1u << entry;
  }
}

double CellStep::model_weight(double d1, double d2, double d3) {
  if (interactions_->species != nullptr) {
    first_species_ = species_of(first_row_);
    second_species_ = species_of(second_row_);
    if (interactions_->tableSize != 0) {
      const int entry = first_species_ * interactions_->tableSize + second_species_;
      if (entry < kKeptEntries && (kept_ >> entry & 1u) != 0) {
        law_ = entries_[entry].law;
        scattering_ = entries_[entry].scattering;
      } else {
        take_table_entry(entry);
      }
    }
  }
  relative_[0] = d1;
  relative_[1] = d2;
  relative_[2] = d3;
  squared_speed_ = (d1 * d1 + d2 * d2) + d3 * d3;
  if (!(squared_speed_ <= kLargestSquare)) refuse_pair();
  speed_ = -1;
  return pair_weight(law_, squared_speed_, speed_);
}

void CellStep::scatter(double u4, double u5) {
  if (hard_spheres_) {
    // Isotropic, equal masses: the relative speed is the weight taken.
    double centre[3], relative[3];
    for (int k = 0; k < 3; k++) centre[k] = (first_[k] + second_[k]) * 0.5;
    const double cos_th = 1 - 2 * checked_deviate(u4, "u4, the polar deviate,", cell_);
    const double sin_th = std::sqrt(1 - cos_th * cos_th);
    const double phi = checked_deviate(u5, "u5, the azimuth deviate,", cell_) * 6.283185308;
    relative[0] = speed_ * cos_th;
    relative[1] = (speed_ * sin_th) * std::cos(phi);
    relative[2] = (speed_ * sin_th) * std::sin(phi);
    for (int k = 0; k < 3; k++) {
      first_[k] = centre[k] + relative[k] * 0.5;
      second_[k] = centre[k] + relative[k] * (-0.5);
    }
  } else {
    scatter_by_model(u4, u5);
  }
  *stored_max_ = running_max_;
}

void CellStep::scatter_by_model(double u4, double u5) {
  checked_deviate(u4, "u4, the polar deviate,", cell_);
  checked_deviate(u5, "u5, the azimuth deviate,", cell_);
  if (speed_ < 0) speed_ = std::sqrt(squared_speed_);
  const bool masses = interactions_->mass != nullptr;
  const double m1 = masses ? scaled_mass(first_species_) : 1.0;
  const double m2 = masses ? scaled_mass(second_species_) : 1.0;
  scatter_at(u4, u5, m1, m2, speed_);
}

// The pair's new velocities at relative speed `speed`: its speed before the
// collision, or after an exchange with internal energy, which changes the
// speed and not its direction's law. The deviates are checked.
void CellStep::scatter_at(double u4, double u5, double m1, double m2, double speed) {
  const double cos_th = polar_cosine(scattering_, u4);
  const double sin_th = std::sqrt(1 - cos_th * cos_th);
  const double phi = u5 * 6.283185308;
  double relative[3];
  if (scattering_.deflects) {
    deflect(relative_, speed_, cos_th, sin_th, phi, relative);
    if (speed != speed_)
      for (double& component : relative) component *= speed / speed_;
  } else {
    relative[0] = speed * cos_th;
    relative[1] = (speed * sin_th) * std::cos(phi);
    relative[2] = (speed * sin_th) * std::sin(phi);
  }

  if (m1 == m2) {
    for (int k = 0; k < 3; k++) {
      const double centre = (first_[k] + second_[k]) * 0.5;
      first_[k] = centre + relative[k] * 0.5;
      second_[k] = centre + relative[k] * (-0.5);
    }
  } else {
    const double total = m1 + m2;
    const double share1 = m2 / total, share2 = m1 / total;
    for (int k = 0; k < 3; k++) {
      const double centre = (m1 * first_[k] + m2 * second_[k]) / total;
      first_[k] = centre + share1 * relative[k];
      second_[k] = centre - share2 * relative[k];
    }
  }
}

// The species' mass, read once and scaled (Interactions); a mass rewritten
// since the call's checks, to one that no longer scales into the checked
// range, stops the call before the pair changes.
double CellStep::scaled_mass(int species) {
  const double mass = interactions_->mass[species];
  const double scaled = mass * interactions_->massScale;
  if (!(scaled >= kSmallestScaledMass && scaled < 1.0)) {
    throw ColiderError("colider: mass[" + std::to_string(species) + "] is " + shortest(mass) +
                       " in cell " + std::to_string(cell_) +
                       "; it changed during the call, beyond the range of the masses checked "
                       "before it");
  }
  return scaled;
}

void check_cell_temperature(const Interactions& in, double temperature, int cell,
                            const ArgumentNames& names) {
  if (!in.temperatureDependent) return;
  if (!(temperature > 0 && temperature <= DBL_MAX))
    refuse(names.cellTemperature, temperature, cell, "it must be finite and above 0");
  check_probabilities(in, temperature, "colider", cell);
}

namespace {
// "colider: <e_rot>(<particle>) is <value> in cell <cell>; ...", thrown.
[[noreturn]] void refuse_rotational_energy(const ArgumentNames& names, int particle, double e,
                                           int cell) {
  throw ColiderError(std::string("colider: ") + names.eRot + std::to_string(particle) +
                     names.particle_end + " is " + shortest(e) + " in cell " +
                     std::to_string(cell) + "; a rotational energy must be finite and 0 or more");
}

// "colider: vibLevel(<particle>) is <level> in cell <cell>; ...", thrown.
[[noreturn]] void refuse_level(const ArgumentNames& names, int particle, int level, int cell) {
  throw ColiderError(std::string("colider: ") + names.vibLevel + std::to_string(particle) +
                     names.particle_end + " is " + std::to_string(level) + " in cell " +
                     std::to_string(cell) + "; a vibrational level must be 0 or more");
}

// "colider: <what> <cell>, translational and internal, is <energy>; ...",
// thrown: the energy of a cell, or of a pair in it.
[[noreturn]] void refuse_energy(const char* what, double energy, int cell) {
  throw ColiderError(std::string("colider: ") + what + " " + std::to_string(cell) +
                     ", translational and internal, is " + shortest(energy) +
                     "; it must be at most half the largest double");
}
}  // namespace

void check_cell_internal(const Interactions& in, const VelocityRows& rows, const int* members,
                         int N, double temperature, int cell, const ArgumentNames& names) {
  check_cell_temperature(in, temperature, cell, names);
  double energy = 0;
  for (int k = 0; k < N; k++) {
    const long long r = static_cast<long long>(members[k]) - rows.first;
    if (r < 0 || r >= rows.count || rows.columns < 3) continue;  // refused when picked
    const int s = in.species != nullptr ? in.species[r] : 0;
    if (in.species != nullptr && (s < 0 || s >= in.speciesCount)) continue;  // likewise
    const double* v = rows.data + rows.columns * r;
    check_velocity(v, members[k], cell, names);
    const double m = in.mass != nullptr ? in.mass[s] : 1.0;
    energy += 0.5 * m * ((v[0] * v[0] + v[1] * v[1]) + v[2] * v[2]);
    if (in.internal[s].rot_dof > 0) {
      const double e = in.eRot[r];
      if (!(e >= 0 && e <= DBL_MAX)) refuse_rotational_energy(names, members[k], e, cell);
      energy += e;
    }
    if (in.internal[s].vib_quantum > 0) {
      const int level = in.vibLevel[r];
      if (level < 0) refuse_level(names, members[k], level, cell);
      energy += level * in.internal[s].vib_quantum;
    }
  }
  // The energy a pair's exchange shares out is at most the cell's, and its
  // vibrational levels must fit an int32.
  if (!(energy <= DBL_MAX / 2)) refuse_energy("the energy of cell", energy, cell);
  const int S = in.speciesCount > 0 ? in.speciesCount : 1;
  for (int s = 0; s < S; s++) {
    const double quantum = in.internal[s].vib_quantum;
    if (quantum > 0 && !(energy / quantum < 2147483646.0)) {
      throw ColiderError("colider: the energy of cell " + std::to_string(cell) + " is " +
                         shortest(energy) + ", more than 2147483646 of species " +
                         std::to_string(s) + "'s vibrational quanta, " + shortest(quantum) +
                         ", which no level of an int32 holds");
    }
  }
}

// The cell's temperature and the probabilities at it; each particle's
// energy is checked where an exchange reads it (exchange_with), so that a
// cell costs nothing more per particle.
void CellStep::check_internal() {
  check_cell_temperature(*interactions_, temperature_, cell_, *names_);
}

// The Larsen-Borgnakke exchange of the accepted pair begins: its masses
// (scaled, or 1 without species), its b and its modes' probabilities.
void CellStep::begin_exchange(double u4, double u5) {
  u4_ = checked_deviate(u4, "u4, the polar deviate,", cell_);
  u5_ = checked_deviate(u5, "u5, the azimuth deviate,", cell_);
  if (speed_ < 0) speed_ = std::sqrt(squared_speed_);
  const bool masses = interactions_->mass != nullptr;
  m1_ = masses ? scaled_mass(first_species_) : 1.0;
  m2_ = masses ? scaled_mass(second_species_) : 1.0;
  b_ = collision_exponent(law_);
  const int S = interactions_->speciesCount > 0 ? interactions_->speciesCount : 1;
  const long long pair = static_cast<long long>(first_species_) * S + second_species_;
  const bool keep = pair < kKeptEntries;
  if (keep && (probability_kept_ >> pair & 1u) != 0) {
    for (int k = 0; k < 4; k++) probability_[k] = pair_probability_[pair][k];
  } else {
    const int species[2] = {first_species_, second_species_};
    double total = 0;
    for (int k = 0; k < 2; k++) {
      const collide_internal& in = interactions_->internal[species[k]];
      probability_[2 * k] = rotational_probability(in, b_, temperature_);
      probability_[2 * k + 1] =
          in.vib_quantum > 0
              ? vibrational_probability(in, b_, own_omega(*interactions_, species[k]), temperature_)
              : 0.0;
      total += probability_[2 * k] + probability_[2 * k + 1];
    }
    // Checked for every pair of species before the cell began.
    if (!(total <= 1)) check_probabilities(*interactions_, temperature_, "colider", cell_);
    if (keep) {
      for (int k = 0; k < 4; k++) pair_probability_[pair][k] = probability_[k];
      probability_kept_ |= 1u << pair;
    }
  }
  exchanging_ = -1;
  tries_ = 0;
  needs_ = 1;
}

// One deviate chooses the mode that exchanges, if any: the first
// molecule's rotation, its vibration, the second's rotation, its
// vibration, by their probabilities in that order. Then each try of the
// mode's new share takes one or two deviates, until one is accepted; the
// pair scatters at the relative speed the energy left gives.
void CellStep::exchange_with(double a, double b) {
  const double u = checked_deviate(a, "an exchange's deviate", cell_);
  if (exchanging_ < 0) {
    double below = 0;
    for (int mode = 0; mode < 4; mode++) {
      below += probability_[mode];
      if (u < below) {
        exchanging_ = mode;
        const collide_internal& in = interactions_->internal[mode < 2 ? first_species_ : second_species_];
        needs_ = mode % 2 == 0 ? rotational_draws(in.rot_dof) : 2;
        return;
      }
    }
    needs_ = 0;
    scatter_at(u4_, u5_, m1_, m2_, speed_);
    *stored_max_ = running_max_;
    return;
  }
  // A draw that can fail takes only a few tries with deviates that vary; a
  // generator that repeats itself could make it take for ever.
  if (++tries_ > 1000000)
    throw ColiderError("colider: an exchange's draw in cell " + std::to_string(cell_) +
                       " refused a million tries: its deviates do not vary as random ones do");
  const bool first = exchanging_ < 2;
  const int species = first ? first_species_ : second_species_;
  const collide_internal& in = interactions_->internal[species];
  const long long row = first ? first_row_ : second_row_;
  const double v = needs_ > 1 ? checked_deviate(b, "an exchange's deviate", cell_) : 0.0;
  // In the caller's units: m v^2 / 2 of the true masses, the scaled ones
  // over massScale.
  const double reduced = m1_ * m2_ / (m1_ + m2_);
  const double translational = 0.5 * reduced * squared_speed_ / interactions_->massScale;
  if (exchanging_ % 2 == 0) {
    double& energy = interactions_->eRot[row];
    if (!(energy >= 0 && energy <= DBL_MAX))
      refuse_rotational_energy(*names_, static_cast<int>(row + velocity_.first), energy, cell_);
    const double total = translational + energy;
    if (!(total <= DBL_MAX / 2)) refuse_energy("the energy of a pair in cell", total, cell_);
    double share = 0;
    if (!rotational_share(in.rot_dof, b_, u, v, share)) return;
    energy = share * total;
    finish_exchange(total - energy);
  } else {
    int& level = interactions_->vibLevel[row];
    if (level < 0) refuse_level(*names_, static_cast<int>(row + velocity_.first), level, cell_);
    const double total = translational + level * in.vib_quantum;
    if (!(total <= DBL_MAX / 2) || !(total / in.vib_quantum < 2147483646.0))
      refuse_energy("the energy of a pair in cell", total, cell_);
    int next = 0;
    if (!vibrational_level(total, in.vib_quantum, b_, u, v, next)) return;
    level = next;
    finish_exchange(total - next * in.vib_quantum);
  }
}

// The pair scatters at the relative speed of the translational energy left.
void CellStep::finish_exchange(double translational) {
  const double reduced = m1_ * m2_ / (m1_ + m2_);
  needs_ = 0;
  scatter_at(u4_, u5_, m1_, m2_, std::sqrt(2 * (translational * interactions_->massScale) / reduced));
  *stored_max_ = running_max_;
}

// The largest position component the step takes: a separation, and a
// call's sum of fewer than 2^31 of them, stay finite.
const double kLargestPosition = 1e150;

void check_diagnostics(const Diagnostics& d, const ArgumentNames& names) {
  if (d.pairCollisions != nullptr) {
    const long long entries = static_cast<long long>(d.pairSpecies) * d.pairSpecies;
    for (long long k = 0; k < entries; k++) {
      const std::int64_t n = d.pairCollisions[k];
      if (n < 0 || n > INT64_MAX - 2147483647) {
        throw ColiderError(std::string("colider: ") + names.pairCollisions + "[" +
                           std::to_string(k) + "] is " + std::to_string(n) +
                           "; a count must lie in [0, 2^63 - 2^31], so that a call can add to it");
      }
    }
  }
  if (d.separation != nullptr) {
    if (!(d.separation[0] >= 0 && d.separation[0] <= 1e300) ||
        !(d.separation[1] >= 0 && d.separation[1] <= 0x1p53)) {
      throw ColiderError(std::string("colider: ") + names.separation + " is (" +
                         shortest(d.separation[0]) + ", " + shortest(d.separation[1]) +
                         "); its sum must lie in [0, 1e300] and its count in [0, 2^53]");
    }
  }
}

namespace {
[[noreturn]] void refuse_position(const ArgumentNames& names, int particle, const double* x,
                                  int cell) {
  throw ColiderError(std::string("colider: ") + names.position + std::to_string(particle) +
                     names.particle_end + " is (" + shortest(x[0]) + ", " + shortest(x[1]) + ", " +
                     shortest(x[2]) + ") in cell " + std::to_string(cell) +
                     "; each component must be finite and at most 1e150 in size");
}

bool position_taken(const double* x) {
  return std::fabs(x[0]) <= kLargestPosition && std::fabs(x[1]) <= kLargestPosition &&
         std::fabs(x[2]) <= kLargestPosition;
}
}  // namespace

// Before the cell changes: no particle's count can pass an int's range in
// its M candidates (each adds at most one a particle), and every position
// the separations take is in range.
void CellStep::check_counts(int candidates) {
  const Diagnostics& d = interactions_->diagnostics;
  for (int k = 0; k < population_; k++) {
    const long long r = static_cast<long long>(members_[k]) - velocity_.first;
    if (r < 0 || r >= velocity_.count) continue;  // refused when picked
    if (d.particleCollisions != nullptr) {
      const int n = d.particleCollisions[r];
      if (n < 0 || n > 2147483647 - candidates) {
        throw ColiderError(std::string("colider: ") + names_->particleCollisions +
                           std::to_string(members_[k]) + "] is " + std::to_string(n) +
                           " in cell " + std::to_string(cell_) + ", with " +
                           std::to_string(candidates) +
                           " candidates to come; a count must lie in [0, 2147483647 - candidates]");
      }
    }
    if (d.separation != nullptr && !position_taken(d.position + 3 * r))
      refuse_position(*names_, members_[k], d.position + 3 * r, cell_);
  }
}

// With nearest partners, the cell's positions, each read once and checked
// (so that positions another thread rewrites cannot change the choice
// halfway), into the thread's own storage, which grows to the largest cell
// and is kept; and no member has collided yet.
void CellStep::take_positions() {
  thread_local std::vector<double> positions;
  thread_local std::vector<int> last;
  const size_t N = static_cast<size_t>(population_);
  if (positions.size() < 3 * N) positions.resize(3 * N);
  if (last.size() < N) last.resize(N);
  const double* all = interactions_->diagnostics.position;
  for (int k = 0; k < population_; k++) {
    const double* x = all + 3 * row_offset(members_[k]);
    double* kept = &positions[3 * static_cast<size_t>(k)];
    kept[0] = x[0];
    kept[1] = x[1];
    kept[2] = x[2];
    if (!position_taken(kept)) refuse_position(*names_, members_[k], kept, cell_);
    last[static_cast<size_t>(k)] = -1;
  }
  near_ = positions.data();
  last_partner_ = last.data();
}

// The member nearest to member k1, other than its partner in its last
// candidate pair; the lowest
// of equally near ones. In a cell of two that last partner is the only
// other, and is taken. Positions are at most 1e150 in size, so no squared
// distance overflows.
int CellStep::nearest_to(int k1) const {
  const double* x = near_ + 3 * k1;
  const int avoid = last_partner_[k1];
  int best = -1;
  double best_distance = 0;
  for (int k = 0; k < population_; k++) {
    if (k == k1 || k == avoid) continue;
    const double* y = near_ + 3 * k;
    const double e1 = y[0] - x[0], e2 = y[1] - x[1], e3 = y[2] - x[2];
    const double distance = (e1 * e1 + e2 * e2) + e3 * e3;
    if (best < 0 || distance < best_distance) {
      best = k;
      best_distance = distance;
    }
  }
  return best >= 0 ? best : avoid;
}

// The accepted pair, counted, before it scatters. Its positions are read
// once and checked here too, so that positions rewritten by another thread
// can stop the call but never add a separation that is not finite.
void CellStep::record() {
  const Diagnostics& d = interactions_->diagnostics;
  double separation = 0;
  if (d.separation != nullptr) {
    const double* x1 = d.position + 3 * first_row_;
    const double* x2 = d.position + 3 * second_row_;
    const double a[3] = {x1[0], x1[1], x1[2]};
    const double b[3] = {x2[0], x2[1], x2[2]};
    if (!position_taken(a)) refuse_position(*names_, static_cast<int>(first_row_ + velocity_.first), a, cell_);
    if (!position_taken(b)) refuse_position(*names_, static_cast<int>(second_row_ + velocity_.first), b, cell_);
    const double e1 = a[0] - b[0], e2 = a[1] - b[1], e3 = a[2] - b[2];
    separation = std::sqrt((e1 * e1 + e2 * e2) + e3 * e3);
  }
  if (d.pairCollisions != nullptr) {
    int low = 0, high = 0;
    if (interactions_->species != nullptr) {
      low = first_species_ < second_species_ ? first_species_ : second_species_;
      high = first_species_ < second_species_ ? second_species_ : first_species_;
    }
    d.pairCollisions[static_cast<long long>(low) * d.pairSpecies + high]++;
  }
  if (d.particleCollisions != nullptr) {
    d.particleCollisions[first_row_]++;
    d.particleCollisions[second_row_]++;
  }
  if (d.separation != nullptr) {
    d.separation[0] += separation;
    d.separation[1] += 1;
  }
}

void too_many_collisions(int cell) {
  throw ColiderError("colider: more than 2147483647 collisions in one call, at cell " +
                     std::to_string(cell) + "; the count is an int");
}

}  // namespace collide_detail
