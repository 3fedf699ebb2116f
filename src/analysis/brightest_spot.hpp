// SPDX-License-Identifier: MIT
#pragma once

#include "base/plane_view.hpp"
#include "base/position.hpp"

namespace trakora {

// The centre of the brightest 7 x 7 box whose centre lies within 15 pixels of `start`
// on `plane`. The result is the candidate itself, so near an edge it may lie outside
// the image (boxes there repeat the edge pixels); (0, 0) when no box sum is above 0, and
// `start` itself when the plane has no pixels.
Position brightest_spot_near(const PlaneView& plane, Position start);

}  // namespace trakora
