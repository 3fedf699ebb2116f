// SPDX-License-Identifier: MIT
#pragma once

#include "core/state.hpp"

namespace trakora {

// Moves object_x, object_y onto the brightest 7 x 7 box whose centre lies within 15
// pixels of them (plane 0 of the current image). The result is the candidate itself,
// so near an edge it may lie outside the image; (0, 0) when no box sum is above 0.
void find_brightest_spot(State& s);

}  // namespace trakora
