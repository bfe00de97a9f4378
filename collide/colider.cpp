// colider with the linking program's rand(long&): hard spheres of one
// species, one coefficient for every cell. The step itself is
// colider_step.h's loop over colider_step.cpp's cells.
#include "collide/colider.h"

int colider(Matrix& velocity, Matrix& maxRelSpeed, double /*spare*/, long& seed,
            Matrix& selectRemainder, double selectCoeff, SortList& cells) {
  static const CollisionModel hard_spheres = HardSphere();
  auto draw = [&seed] { return rand(seed); };
  return collide_detail::colider_callable(velocity, maxRelSpeed, draw, selectRemainder,
                                          selectCoeff, cells,
                                          collide_detail::single_model(hard_spheres));
}
