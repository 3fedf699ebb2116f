// SPDX-License-Identifier: MIT
#include "analysis/star_tracker.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/brightest_spot.hpp"

namespace trakora {
namespace {

// How far from its last place the star is looked for when the search lost it: a
// calibration move of the hand controller jumps it tens of pixels.
constexpr double kJumpSearchPixels = 60;
constexpr double kJumpSearchStep = 30;  // the spot search reaches 15 pixels each way

// A star this many times brighter or fainter than the last is another star.
constexpr double kSameStarRatio = 2;

// Between two images the star moves by its drift, the seeing and the drive's errors: a
// few pixels. A star found farther from its last place is another one, unless nothing of
// its kind is nearer (a jump).
constexpr double kFollowPixels = 10;

// While a knob is turned the star goes as far as the whole correction (a few hundred
// pixels): looked for around its last place, then along the line to the target.
constexpr double kTurnSearchStep = 30;
constexpr double kTurnBeyondTarget = 60;  // a turn a little too far is followed too

// How far apart two stars' brightness lies, as the log of their SNRs' ratio.
double brightness_apart(const StarMeasurement& x, double last_snr) {
    return std::abs(std::log(std::max(x.snr, 1e-9) / last_snr));
}

// A clean star about as bright as the last one (any clean star when that is unknown).
bool like_star(const StarMeasurement& x, double last_snr) {
    return x.flags == 0 &&
           (!(last_snr > 0) || brightness_apart(x, last_snr) <= std::log(kSameStarRatio));
}

// The places the jump search looks at around `around`: a grid within kJumpSearchPixels,
// its centre too or not.
void add_jump_places(std::vector<Position>& places, Position around, bool centre) {
    for (double dy = -kJumpSearchPixels; dy <= kJumpSearchPixels; dy += kJumpSearchStep)
        for (double dx = -kJumpSearchPixels; dx <= kJumpSearchPixels; dx += kJumpSearchStep)
            if (centre || dx != 0 || dy != 0) places.push_back({around.x + dx, around.y + dy});
}

Position rounded(Position p) { return {std::round(p.x), std::round(p.y)}; }

}  // namespace

StarMeasurement track_star(const StarTracker& t, const PlaneView& plane, StarLevels levels,
                           Position found) {
    StarMeasurement star = measure_star(plane, found, levels);
    if (!t.last || !(t.last_snr > 0)) return star;
    const Position last = *t.last;
    // After a turn of a knob the star is not near its last place.
    const auto follows = [&](const StarMeasurement& x) {
        return !t.turned_to && like_star(x, t.last_snr) &&
               std::hypot(x.x - last.x, x.y - last.y) <= kFollowPixels;
    };
    if (follows(star)) return star;
    const StarMeasurement at_last = measure_star(plane, rounded(last), levels);
    if (follows(at_last)) return at_last;
    if (like_star(star, t.last_snr)) return star;
    std::optional<StarMeasurement> best;
    const auto consider = [&](const StarMeasurement& x) {
        if (like_star(x, t.last_snr) &&
            (!best || brightness_apart(x, t.last_snr) < brightness_apart(*best, t.last_snr)))
            best = x;
    };
    consider(at_last);
    // Around its last place, and where a turn of a knob took it.
    std::vector<Position> places;
    add_jump_places(places, last, true);
    if (t.turned_to) {
        consider(measure_star(plane, rounded(*t.turned_to), levels));
        add_jump_places(places, *t.turned_to, true);
    }
    for (const Position& place : places)
        consider(measure_star(plane, brightest_spot_near(plane, place), levels));
    return best.value_or(star);
}

std::optional<StarMeasurement> follow_turned_star(const StarTracker& t, const PlaneView& plane,
                                                  StarLevels levels, Position found) {
    if (!t.last) return std::nullopt;
    const auto like = [&](const StarMeasurement& x) { return like_star(x, t.last_snr); };
    const auto look = [&](Position around) {
        return measure_star(plane, brightest_spot_near(plane, around), levels);
    };
    const Position last = rounded(*t.last);
    if (StarMeasurement near = look(last); like(near)) return near;
    // Where to look: around the last place, where the whole-pixel search went, and along
    // the line to the target; nearest the last place first, the first like star wins.
    std::vector<Position> places = {found};
    add_jump_places(places, last, false);
    if (t.turning) {
        const Position anchor = t.turning->anchor, target = t.turning->target;
        const double mx = target.x - anchor.x, my = target.y - anchor.y;
        const double length = std::hypot(mx, my);
        if (length > 0) {
            const double ux = mx / length, uy = my / length;
            for (double along = 0; along <= length + kTurnBeyondTarget; along += kTurnSearchStep)
                for (double across = -kTurnSearchStep; across <= kTurnSearchStep;
                     across += kTurnSearchStep)
                    places.push_back(
                        {anchor.x + ux * along - uy * across, anchor.y + uy * along + ux * across});
        }
    }
    const auto away = [&](Position p) { return std::hypot(p.x - last.x, p.y - last.y); };
    std::stable_sort(places.begin(), places.end(),
                     [&](Position a, Position b) { return away(a) < away(b); });
    for (const Position& place : places)
        if (StarMeasurement x = look(rounded(place)); like(x)) return x;
    return std::nullopt;
}

}  // namespace trakora
