// SPDX-License-Identifier: MIT
#include "analysis/display_levels.hpp"

namespace trakora {

void compute_display_levels(State&) {}

}  // namespace trakora
