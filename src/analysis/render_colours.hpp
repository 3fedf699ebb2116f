// SPDX-License-Identifier: MIT
#pragma once

#include "core/state.hpp"

namespace trakora {

// Paints the current image with the current display levels into s.object_picture, one
// colour value per image pixel, rows object_picture_width values apart, and sets
// object_picture_width and object_picture_height. Grey from plane 0, or red, green and
// blue from planes 0 to 2 when image_planes is 3.
void render_colours(State& s);

}  // namespace trakora
