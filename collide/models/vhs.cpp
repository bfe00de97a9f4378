// Variable hard spheres (Bird 1981): the cross-section
// sigma_ref (g_ref / g)^(2 omega - 1) falls with speed, so that the gas's
// viscosity goes as T^omega; isotropic scattering. Example: VHS(0.75, 2) at
// g = 8 weighs 2 (8 / 2)^(2 - 1.5) = 4.
#include "../models.h"

namespace collide_detail {
namespace {
const Parameter kParameters[] = {kOmega, kGRef, kScale};
}  // namespace

extern const ModelDescription kVHSModel = {
    COLLIDE_VHS, "VHS",
    "variable hard spheres: sigma = sigma_ref (g_ref / g)^(2 omega - 1), isotropic scattering",
    kParameters, sizeof kParameters / sizeof kParameters[0], power_law, isotropic};
}  // namespace collide_detail

CollisionModel VHS(double omega, double g_ref, double scale) {
  return collide_detail::make(collide_detail::kVHSModel, {omega, g_ref, scale});
}
