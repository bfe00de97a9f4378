// Hard spheres: molecules of one diameter d, whose cross-section pi d^2 does
// not depend on the speed, so a pair's weight is w = scale g; isotropic
// scattering. Example: HardSphere(2) at g = 3 weighs 6.
#include "../models.h"

namespace collide_detail {
namespace {
const Parameter kParameters[] = {kScale};
PairLaw law(const collide_model& model) { return hard_sphere_law(model.scale); }
}  // namespace

extern const ModelDescription kHardSphereModel = {
    COLLIDE_HARD_SPHERE, "HardSphere",
    "hard spheres: a cross-section independent of speed, isotropic scattering", kParameters,
    sizeof kParameters / sizeof kParameters[0], law, isotropic};
}  // namespace collide_detail

CollisionModel HardSphere(double scale) {
  return collide_detail::make(collide_detail::kHardSphereModel, {scale});
}
