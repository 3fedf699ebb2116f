// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <span>

#include "analysis/display_levels.hpp"
#include "base/plane_view.hpp"

namespace trakora {

// Paints an image with the display levels into `out`, one colour value per pixel (see
// ColourBuffer), rows planes[0].width values apart: grey from a single plane, or red,
// green and blue from three planes of the same extent. Values from levels.low up spread
// over 256 greys until levels.low + levels.range; a range below 1 counts as 1.
void render_colours(std::span<const PlaneView> planes, DisplayLevels levels, std::uint32_t* out);

}  // namespace trakora
