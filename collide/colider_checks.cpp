// What colider prints when a caller breaks its contract, before it aborts.
#include <cstdio>
#include <cstdlib>

#include "colider_cells.h"

namespace collide_detail {

void contract_broken(const char* what, int cell, double value, const char* requirement) {
  std::fprintf(stderr, "colider: %s is %.17g in cell %d; %s\n", what, value, cell, requirement);
  std::abort();
}

}  // namespace collide_detail
