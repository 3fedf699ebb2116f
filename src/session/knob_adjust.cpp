// SPDX-License-Identifier: MIT
#include "session/knob_adjust.hpp"

#include <cmath>
#include <numbers>

namespace trakora {

ScreenWay screen_way(double dx, double dy) {
    if (!(std::hypot(dx, dy) > 0)) return ScreenWay::up;
    // Clockwise from up, as the screen shows it (y down).
    const double turn = std::atan2(dx, -dy) / (2 * std::numbers::pi) * 8;
    const long sector = std::lround(turn);
    return static_cast<ScreenWay>(((sector % 8) + 8) % 8);
}

void follow_adjusted_star(KnobAdjusting& k, Position star) {
    k.star = star;
    const double dx = k.target.x - star.x, dy = k.target.y - star.y;
    k.to_go_px = std::hypot(dx, dy);
    k.to_go_arcsec = k.to_go_px * k.scale_arcsec_per_px;
    k.way = screen_way(dx, dy);
    k.reached = k.to_go_px <= k.reached_px;
}

}  // namespace trakora
