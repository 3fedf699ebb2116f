// SPDX-License-Identifier: MIT
// The session's star from image to image: what is remembered of it (where it was last,
// how bright, where a turn of a knob took it) and the two searches that find it on a new
// image, the ordinary one and the one while a knob is turned. Both share one rule for a
// star like the last and one grid of places to look at when it jumped.
//
// Usage:
//   StarTracker t;                     // nothing remembered: the star where the search is
//   t.last = {120.4, 88.1};            // its last place, and its SNR when that was clean
//   t.last_snr = 42;
//   StarMeasurement star = track_star(t, plane, levels, found);
//   t.turning = KnobLine{anchor, target};  // a knob is turned: along the line to the target
//   std::optional<StarMeasurement> now = follow_turned_star(t, plane, levels, found);
#pragma once

#include <optional>

#include "analysis/star_measurement.hpp"
#include "base/plane_view.hpp"
#include "base/position.hpp"

namespace trakora {

// The line a turn of a knob takes the star along: from its place when the turn began to
// the target.
struct KnobLine {
    Position anchor;
    Position target;
};

struct StarTracker {
    // Where the star was last measured; nullopt before the first image of a star.
    std::optional<Position> last;
    // Its SNR when it was clean there, 0 when it was not: a star like the last is about as
    // bright (any clean star when 0).
    double last_snr = 0;
    // Where a turn of a knob left it: not near its last place, looked for there too.
    std::optional<Position> turned_to;
    // While a knob is turned, the line to its target.
    std::optional<KnobLine> turning;
};

// The star measured around `found` (the whole-pixel search's place), while it is the
// tracked one: clean, about as bright as the last and within 10 px of its place. The
// search may go to another star of the field; the star is then looked for where it was,
// and when it jumped (the search lost it), the clean one within 60 px of the last place or
// of where a turn left it that is nearest its brightness. Without a clean last star, the
// star at `found`.
StarMeasurement track_star(const StarTracker& t, const PlaneView& plane, StarLevels levels,
                           Position found);

// The star while a knob is turned: the like star nearest its last place, looked for
// around that place, at `found` and along the knob's line up to 60 px beyond the target.
// Nullopt when no like star is there (or nothing is remembered).
std::optional<StarMeasurement> follow_turned_star(const StarTracker& t, const PlaneView& plane,
                                                  StarLevels levels, Position found);

}  // namespace trakora
