// SPDX-License-Identifier: MIT
#include "analysis/star_pattern.hpp"

#include <algorithm>
#include <cmath>

#include "analysis/brightest_spot.hpp"

namespace trakora {
namespace {

constexpr double kReach = 200;       // how far around the star its neighbours are looked for
constexpr double kStep = 30;         // the spot search reaches 15 px each way
constexpr double kApart = 12;        // nearer than this, a "neighbour" is the star itself
constexpr std::size_t kKept = 6;     // the brightest few tell the pattern
constexpr double kSamePlace = 3;     // px: the field moves as one, up to the seeing
constexpr double kMargin = 10;       // a neighbour this near the edge is not looked for
constexpr double kNeighbourSnr = 5;  // lower than a measured star's: clouds dim them too

bool a_star(const StarMeasurement& m) {
    return (m.flags & (kStarLost | kStarHotPixel | kStarEdge)) == 0;
}

bool on_image(const PlaneView& plane, Position p) {
    return p.x >= kMargin && p.y >= kMargin && p.x <= plane.width - 1 - kMargin &&
           p.y <= plane.height - 1 - kMargin;
}

}  // namespace

std::vector<Neighbour> neighbours_around(const PlaneView& plane, StarLevels levels, Position star) {
    std::vector<Neighbour> found;
    for (double dy = -kReach; dy <= kReach; dy += kStep)
        for (double dx = -kReach; dx <= kReach; dx += kStep) {
            const Position place{std::round(star.x + dx), std::round(star.y + dy)};
            if (!on_image(plane, place)) continue;
            const StarMeasurement m =
                measure_star(plane, brightest_spot_near(plane, place), levels);
            const double ox = m.x - star.x, oy = m.y - star.y;
            if (m.flags != 0 || std::hypot(ox, oy) < kApart || std::hypot(ox, oy) > kReach)
                continue;
            const bool seen = std::any_of(found.begin(), found.end(), [&](const Neighbour& n) {
                return std::hypot(n.dx - ox, n.dy - oy) < kSamePlace;
            });
            if (!seen) found.push_back({ox, oy, m.flux});
        }
    std::sort(found.begin(), found.end(),
              [](const Neighbour& a, const Neighbour& b) { return a.flux > b.flux; });
    if (found.size() > kKept) found.resize(kKept);
    return found;
}

bool pattern_agrees(const PlaneView& plane, StarLevels levels, Position at,
                    const std::vector<Neighbour>& neighbours) {
    if (neighbours.empty()) return true;
    int looked = 0, there = 0;
    for (const Neighbour& n : neighbours) {
        const Position place{at.x + n.dx, at.y + n.dy};
        if (!on_image(plane, place)) continue;
        ++looked;
        const Position spot =
            brightest_spot_near(plane, {std::round(place.x), std::round(place.y)});
        const StarMeasurement m = measure_star(plane, spot, levels);
        if (a_star(m) && m.snr >= kNeighbourSnr &&
            std::hypot(m.x - place.x, m.y - place.y) <= kSamePlace)
            ++there;
    }
    return looked > 0 && 2 * there >= looked;
}

}  // namespace trakora
