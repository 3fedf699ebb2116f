// SPDX-License-Identifier: MIT
// The star a user would click on an image where nobody clicked: the brightest one that
// is whole (not saturated), well inside the image and alone (no neighbour of similar
// brightness close by), so the tracker keeps it and no other from image to image.
//
// Usage:
//   if (const auto at = star_to_pick(plane, levels)) pick(at->x, at->y);
#pragma once

#include <optional>

#include "analysis/star_measurement.hpp"
#include "base/plane_view.hpp"
#include "base/position.hpp"

namespace trakora {

struct PickRules {
    double edge_px = 30;            // no nearer an edge than this
    double neighbour_px = 20;       // no neighbour of similar brightness within this
    double similar_fraction = 0.5;  // a neighbour this bright or more (of the star's) counts
    double detect_sigma = 5;        // a star's peak is this many noise sigmas above background
};

// The peak pixel of the chosen star; nullopt when no star qualifies. A star is a pixel
// brighter than its eight neighbours, `detect_sigma` above the background (the median)
// with a neighbour above the noise too (a lone bright pixel is a hot pixel, not a star);
// it is saturated when its peak reaches levels.range_top.
std::optional<Position> star_to_pick(const PlaneView& plane, const StarLevels& levels,
                                     const PickRules& rules = {});

}  // namespace trakora
