// SPDX-License-Identifier: MIT
#include "base/orientation.hpp"

#include <cmath>
#include <numbers>

namespace trakora {

std::optional<double> north_named(std::string_view name) {
    if (name == "up") return 0.0;
    if (name == "right") return 90.0;
    if (name == "down") return 180.0;
    if (name == "left") return 270.0;
    return std::nullopt;
}

ScreenDirections screen_directions(const Orientation& o) {
    double nx = 0, ny = -1;
    const double turns = o.north_deg / 90;
    if (std::isfinite(turns) && turns == std::round(turns)) {
        const long quarter = ((std::lround(turns) % 4) + 4) % 4;
        constexpr double kNorth[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
        nx = kNorth[quarter][0];
        ny = kNorth[quarter][1];
    } else if (std::isfinite(o.north_deg)) {
        const double a = o.north_deg * std::numbers::pi / 180;
        nx = std::sin(a);
        ny = -std::cos(a);
    }
    // East is north turned a quarter counterclockwise on the screen (y downward).
    double ex = ny, ey = -nx;
    if (o.mirror) ex = -ex, ey = -ey;
    return {nx, ny, ex, ey};
}

SkyComponents sky_components(double dx, double dy, const Orientation& o) {
    const ScreenDirections d = screen_directions(o);
    return {dx * d.north_x + dy * d.north_y, dx * d.east_x + dy * d.east_y};
}

ScreenOffset screen_offset(double north, double east, const Orientation& o) {
    const ScreenDirections d = screen_directions(o);
    return {north * d.north_x + east * d.east_x, north * d.north_y + east * d.east_y};
}

}  // namespace trakora
