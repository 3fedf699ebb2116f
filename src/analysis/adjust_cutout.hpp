// SPDX-License-Identifier: MIT
// A small copy of the image around the star, the anchor and the target of a turn of a
// knob, for a face to draw: every cell the brightest of the `step` x `step` pixels it
// covers.
//
//   AdjustCutout c = adjust_cutout(plane, star, anchor, target);
//   draw(c.cells[row * c.width + col]);  // image pixels x0 + col * step, y0 + row * step on
#pragma once

#include <cstdint>
#include <vector>

#include "base/plane_view.hpp"
#include "base/position.hpp"

namespace trakora {

struct AdjustCutout {
    double x0 = 0, y0 = 0;  // the image position of cell (0, 0)'s top left corner
    double step = 1;        // image pixels per cell
    int width = 0, height = 0;
    std::vector<std::int32_t> cells;  // row by row
};

// The square around the three places with a margin of 40 pixels, at least 160 and at
// most 640 pixels across, in at most 160 x 160 cells; pixels off the image count 0.
AdjustCutout adjust_cutout(const PlaneView& plane, Position star, Position anchor, Position target);

}  // namespace trakora
