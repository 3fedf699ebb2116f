// SPDX-License-Identifier: MIT
#include "analysis/render_colours.hpp"

namespace trakora {

void render_colours(State& s) {
    s.object_picture_width = pixel_extent(s.image_width);
    s.object_picture_height = pixel_extent(s.image_height);
}

}  // namespace trakora
