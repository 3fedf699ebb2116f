// SPDX-License-Identifier: MIT
#include "analysis/star_tracker.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/brightest_spot.hpp"
#include "analysis/star_pattern.hpp"

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

// ---- following a remembered star ----------------------------------------------------

// The same star is about as wide: seeing changes an HFD by a few tenths, a cloud not at
// all, while a galaxy, a double or a hot pixel differ by more.
constexpr double kSameWidthRatio = 1.6;
// Where the star should be is known to the drift's rate over the last steps and the
// seeing: the search widens by this much per minute since the star was last seen, and by
// half the distance the drift alone took it.
constexpr double kWidenPxPerMin = 2;
constexpr double kWidenShareOfDrift = 0.5;
// A star under this share of its recent median flux is measured through a cloud.
constexpr double kFaintShare = 0.6;
constexpr std::size_t kRecentImages = 9;

// What can be a star at all, whatever its brightness.
bool measurable(const StarMeasurement& m) {
    return (m.flags & (kStarLost | kStarHotPixel | kStarEdge)) == 0 && m.snr > 0;
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    const auto mid = v.begin() + static_cast<long>(v.size() / 2);
    std::nth_element(v.begin(), mid, v.end());
    return *mid;
}

struct Expected {
    Position place;
    double radius = 0;  // within which the star may lie
};

Expected expected_place(const StarTracker& t, const StarMemory& m) {
    double minutes = 0;
    if (t.now_unix_s && m.unix_s) minutes = std::max(0.0, (*t.now_unix_s - *m.unix_s) / 60);
    Expected e;
    e.place = t.turned_to ? *t.turned_to
                          : Position{m.place.x + m.rate_px_per_min.x * minutes,
                                     m.place.y + m.rate_px_per_min.y * minutes};
    const double drifted = std::hypot(m.rate_px_per_min.x, m.rate_px_per_min.y) * minutes;
    e.radius = kFollowPixels + kWidenPxPerMin * minutes + kWidenShareOfDrift * drifted;
    return e;
}

double apart(const StarMeasurement& x, Position p) { return std::hypot(x.x - p.x, x.y - p.y); }

bool same_width(const StarMeasurement& x, const StarMemory& m) {
    if (!(m.hfd > 0)) return true;
    return std::abs(std::log(std::max(x.hfd, 1e-9) / m.hfd)) <= std::log(kSameWidthRatio);
}

StarMeasurement with_faintness(StarMeasurement x, const StarMemory& m) {
    const double usual = median(m.recent_flux);
    if (usual > 0 && x.flux < kFaintShare * usual) x.flags |= kStarFaint;
    return x;
}

StarMeasurement track_remembered(const StarTracker& t, const StarMemory& m, const PlaneView& plane,
                                 StarLevels levels, Position found) {
    const Expected e = expected_place(t, m);
    // Where the star should be, the whole-pixel search's star is taken on place and width
    // while the star has not been lost; after a loss, or farther, the pattern decides too.
    const bool steady = m.images_lost == 0 && !t.turned_to;
    const auto takes = [&](const StarMeasurement& x, bool near) {
        if (!measurable(x) || !same_width(x, m) || apart(x, e.place) > e.radius) return false;
        if (near && steady && apart(x, e.place) <= kFollowPixels) return true;
        return pattern_agrees(plane, levels, {x.x, x.y}, m.neighbours);
    };
    if (const StarMeasurement at_found = measure_star(plane, found, levels); takes(at_found, true))
        return with_faintness(at_found, m);
    const StarMeasurement at_place =
        measure_star(plane, brightest_spot_near(plane, rounded(e.place)), levels);
    if (takes(at_place, true)) return with_faintness(at_place, m);
    // Farther: the nearest candidate to the place expected whose neighbours agree.
    const double reach = std::max(e.radius, kJumpSearchPixels);
    std::vector<Position> places;
    for (double dy = -reach; dy <= reach; dy += kJumpSearchStep)
        for (double dx = -reach; dx <= reach; dx += kJumpSearchStep)
            if ((dx != 0 || dy != 0) && std::hypot(dx, dy) <= reach + kJumpSearchStep / 2)
                places.push_back({e.place.x + dx, e.place.y + dy});
    const auto from_place = [&](Position p) {
        return std::hypot(p.x - e.place.x, p.y - e.place.y);
    };
    std::stable_sort(places.begin(), places.end(),
                     [&](Position a, Position b) { return from_place(a) < from_place(b); });
    const Expected jump{e.place, reach + kJumpSearchStep / 2};
    for (const Position& place : places) {
        const StarMeasurement x =
            measure_star(plane, brightest_spot_near(plane, rounded(place)), levels);
        if (measurable(x) && same_width(x, m) && apart(x, jump.place) <= jump.radius &&
            pattern_agrees(plane, levels, {x.x, x.y}, m.neighbours))
            return with_faintness(x, m);
    }
    StarMeasurement lost = at_place;
    lost.x = e.place.x;
    lost.y = e.place.y;
    lost.flags |= kStarUntracked;
    return lost;
}

}  // namespace

std::optional<StarMemory> remember_picked_star(const PlaneView& plane, StarLevels levels,
                                               const StarMeasurement& star,
                                               std::optional<double> unix_s) {
    if (!measurable(star)) return std::nullopt;
    StarMemory m;
    m.place = {star.x, star.y};
    m.unix_s = unix_s;
    m.hfd = star.hfd;
    m.recent_flux = {star.flux};
    m.neighbours = neighbours_around(plane, levels, m.place);
    return m;
}

void remember_star(StarMemory& m, const StarMeasurement& star, std::optional<double> unix_s) {
    if ((star.flags & kStarUntracked) != 0 || !measurable(star)) {
        ++m.images_lost;
        return;
    }
    if (unix_s && m.unix_s && *unix_s > *m.unix_s && m.images_lost == 0) {
        const double minutes = (*unix_s - *m.unix_s) / 60;
        m.recent_steps.push_back({(star.x - m.place.x) / minutes, (star.y - m.place.y) / minutes});
        if (m.recent_steps.size() > kRecentImages) m.recent_steps.erase(m.recent_steps.begin());
        // The median passes over a jump (a calibration move, a turn of a knob) once there
        // are three steps to take it from.
        std::vector<double> xs, ys;
        for (const Position& p : m.recent_steps) xs.push_back(p.x), ys.push_back(p.y);
        if (m.recent_steps.size() >= 3) m.rate_px_per_min = {median(xs), median(ys)};
    }
    m.place = {star.x, star.y};
    m.unix_s = unix_s;
    m.images_lost = 0;
    if ((star.flags & ~kStarSaturated) != 0) return;
    m.hfd = star.hfd;
    m.recent_flux.push_back(star.flux);
    if (m.recent_flux.size() > kRecentImages) m.recent_flux.erase(m.recent_flux.begin());
}

StarMeasurement track_star(const StarTracker& t, const PlaneView& plane, StarLevels levels,
                           Position found) {
    if (t.memory) return track_remembered(t, *t.memory, plane, levels, found);
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
