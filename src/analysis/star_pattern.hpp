// SPDX-License-Identifier: MIT
// The pattern of field stars around a star: what tells the session's star from a field
// star of the same width and brightness after the star was lost.
//
//   std::vector<Neighbour> n = neighbours_around(plane, levels, star);   // at the pick
//   if (pattern_agrees(plane, levels, candidate, n)) ...                  // later
#pragma once

#include <vector>

#include "analysis/star_measurement.hpp"
#include "analysis/star_tracker.hpp"
#include "base/plane_view.hpp"
#include "base/position.hpp"

namespace trakora {

// Up to six of the brightest clean stars within 200 px of `star` (and 12 px or more from
// it), brightest first, as offsets from it.
std::vector<Neighbour> neighbours_around(const PlaneView& plane, StarLevels levels, Position star);

// Whether a star at `at` has the neighbours' pattern: of those whose places lie on the
// image, at least half (and one) stand within 3 px of where they should. True when none
// was remembered (nothing to tell by); false when none of them lies on the image.
bool pattern_agrees(const PlaneView& plane, StarLevels levels, Position at,
                    const std::vector<Neighbour>& neighbours);

}  // namespace trakora
