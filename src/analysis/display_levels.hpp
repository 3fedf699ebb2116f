// SPDX-License-Identifier: MIT
#pragma once

#include "core/state.hpp"

namespace trakora {

// Sets display_low and display_range (the black level, and white minus black) from the
// histogram of plane 0 of the current image: the background bin is the most populated
// one, and the levels are where the smoothed histogram falls below a tenth of it.
void compute_display_levels(State& s);

}  // namespace trakora
