// colider with a generator of the caller's choice. Kept apart from
// colider.cpp, so that a program using only this form links no rand(long&).
#include "colider_cells.h"

namespace collide_detail {

int colider(Matrix& velocity, Matrix& maxRelSpeed, DeviateSource deviates,
            Matrix& selectRemainder, double selectCoeff, SortList& cells) {
  return collide_cells(
      velocity, maxRelSpeed, [deviates] { return deviates.next(deviates.generator); },
      selectRemainder, selectCoeff, cells);
}
}  // namespace collide_detail
