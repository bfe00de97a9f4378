// colider with the linking program's rand(long&), and what a broken
// contract prints. The step itself is in colider_cells.h.
#include "colider_cells.h"

int colider(Matrix& velocity, Matrix& maxRelSpeed, double /*spare*/, long& seed,
            Matrix& selectRemainder, double selectCoeff, SortList& cells) {
  return collide_detail::collide_cells(
      velocity, maxRelSpeed, [&seed] { return rand(seed); }, selectRemainder, selectCoeff,
      cells);
}
