// colider with the linking program's rand(long&). The step itself is
// colider_step.h's loop over colider_step.cpp's cells.
#include "collide/colider.h"

int colider(Matrix& velocity, Matrix& maxRelSpeed, double /*spare*/, long& seed,
            Matrix& selectRemainder, double selectCoeff, SortList& cells) {
  auto draw = [&seed] { return rand(seed); };
  return collide_detail::collide_cells(velocity, maxRelSpeed, draw, selectRemainder, selectCoeff,
                                       cells);
}
