// Variable soft spheres (Koura and Matsumoto 1991): the VHS cross-section,
// and a deflection chi from the relative velocity before the collision
// with cos chi = 2 u^(1/alpha) - 1, whose mean (alpha - 1) / (alpha + 1)
// lets diffusion and viscosity both come out right; alpha = 1 is isotropic.
// Example: alpha = 2, u = 0.25 deflects by cos chi = 2 0.5 - 1 = 0.
#include "../models.h"

namespace collide_detail {
namespace {
const Parameter kParameters[] = {kOmega, kGRef, kAlpha, kScale};
Scattering deflection(const collide_model& model) { return {true, 1 / model.alpha}; }
}  // namespace

extern const ModelDescription kVSSModel = {
    COLLIDE_VSS, "VSS",
    "variable soft spheres: the VHS cross-section, deflection cos chi = 2 u^(1/alpha) - 1",
    kParameters, sizeof kParameters / sizeof kParameters[0], power_law, deflection};
}  // namespace collide_detail

CollisionModel VSS(double omega, double g_ref, double alpha, double scale) {
  return collide_detail::make(collide_detail::kVSSModel, {omega, g_ref, alpha, scale});
}
