// SPDX-License-Identifier: MIT
// Where north lies in an image as the object window shows it (row 0 at the top, x to the
// right, y downward), shared by the analysis and the simulated camera.
//
// North's angle runs in degrees from the image's up toward its right, clockwise on the
// screen: up 0, right 90, down 180, left 270. East lies a quarter turn counterclockwise
// from north on the screen, as on a sky seen from below; a mirrored image has it a
// quarter turn clockwise instead.
#pragma once

#include <optional>
#include <string_view>

namespace trakora {

struct Orientation {
    double north_deg = 0;
    bool mirror = false;
};

// The four coarse names: "up" 0, "right" 90, "down" 180, "left" 270.
std::optional<double> north_named(std::string_view name);

// Unit vectors of north and east on the screen (x right, y down). Quarter turns are
// exact, so an image turned by one has its rates carried over without rounding.
struct ScreenDirections {
    double north_x = 0, north_y = -1;
    double east_x = -1, east_y = 0;
};
ScreenDirections screen_directions(const Orientation& orientation);

// The north and east components of a displacement on the screen (x right, y down).
struct SkyComponents {
    double north = 0;
    double east = 0;
};
SkyComponents sky_components(double dx, double dy, const Orientation& orientation);

// A displacement on the screen of `north` and `east` units.
struct ScreenOffset {
    double dx = 0;
    double dy = 0;
};
ScreenOffset screen_offset(double north, double east, const Orientation& orientation);

}  // namespace trakora
