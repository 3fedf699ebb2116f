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
//
// A session remembers more of its star (`StarMemory`): its last good place and time, its
// brightness and width, the drift so far and the pattern of the brightest field stars
// around it, measured at the pick. With a memory, track_star follows the star by place,
// width and that pattern, never by brightness alone, and says when it is lost:
//   StarMemory m = remember_picked_star(plane, levels, picked, unix_s);
//   t.memory = m; t.now_unix_s = image_unix_s;
//   StarMeasurement star = track_star(t, plane, levels, found);  // kStarUntracked: lost
//   remember_star(m, star, image_unix_s);
#pragma once

#include <optional>
#include <vector>

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

// A field star near the session's star, as the pick saw it: its offset from the star.
struct Neighbour {
    double dx = 0, dy = 0;
    double flux = 0;
};

// What the session knows of its star beyond the last image: the place, time, width and
// brightness of its last good measurement, the drift between good images, how many
// images since it was last seen and the field stars around it.
struct StarMemory {
    Position place;
    std::optional<double> unix_s;  // when it was there, if the image had a time
    double hfd = 0;
    std::vector<double> recent_flux;     // the newest clean images' fluxes, oldest first
    Position rate_px_per_min;            // its drift, the median of recent steps
    std::vector<Position> recent_steps;  // px per minute between good images, newest last
    std::vector<Neighbour> neighbours;   // brightest first
    long images_lost = 0;                // images since its last good one
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
    // The session's memory of its star, and the new image's time.
    std::optional<StarMemory> memory;
    std::optional<double> now_unix_s;
};

// The star measured around `found` (the whole-pixel search's place), while it is the
// tracked one: clean, about as bright as the last and within 10 px of its place. The
// search may go to another star of the field; the star is then looked for where it was,
// and when it jumped (the search lost it), the clean one within 60 px of the last place or
// of where a turn left it that is nearest its brightness. Without a clean last star, the
// star at `found`.
//
// With a memory the search starts where the star should be now: its last good place moved
// on by its drift for the time since (never where the whole-pixel search wandered while
// it was lost), and widens with that time and the drift. A candidate is taken when its
// place, its width (HFD within a factor of 1.6) and, away from where the star should be
// or after a loss, the pattern of its neighbours agree. None: a measurement at the place
// expected, flagged kStarUntracked. A star taken whose flux falls under 0.6 of the recent
// median is flagged kStarFaint (a cloud passing).
StarMeasurement track_star(const StarTracker& t, const PlaneView& plane, StarLevels levels,
                           Position found);

// The memory of a star just picked (or first measured): its place, width and flux, and up
// to six of the brightest clean field stars within 200 px of it. Nullopt when `star` is
// no star (nothing there, a hot pixel).
std::optional<StarMemory> remember_picked_star(const PlaneView& plane, StarLevels levels,
                                               const StarMeasurement& star,
                                               std::optional<double> unix_s);

// The memory after an image's star: a star found moves its place on and (when clean)
// its width and flux; an untracked one counts as lost.
void remember_star(StarMemory& m, const StarMeasurement& star, std::optional<double> unix_s);

// The star while a knob is turned: the like star nearest its last place, looked for
// around that place, at `found` and along the knob's line up to 60 px beyond the target.
// Nullopt when no like star is there (or nothing is remembered).
std::optional<StarMeasurement> follow_turned_star(const StarTracker& t, const PlaneView& plane,
                                                  StarLevels levels, Position found);

}  // namespace trakora
