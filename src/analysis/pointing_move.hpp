// SPDX-License-Identifier: MIT
// How far the telescope's pointing moved between two images, read from what their headers
// say of it: the plate solutions' reference pixels when both images are solved, else the
// mount's pointing keywords (OBJCTRA/OBJCTDEC or RA/DEC) when both give one. A mount that
// slews to another star moves it by degrees; tracking, drift and a calibration press by
// arcseconds; a turn of a knob moves the plate (not the mount's own report) by about the
// turn.
//
//   if (auto moved = pointing_move_arcmin(before.keywords, before.plate, now.keywords,
//                                         now.plate); moved && *moved > kSlewArcmin) ...
#pragma once

#include <optional>

#include "fits/observing_keywords.hpp"
#include "fits/plate_solution.hpp"

namespace trakora {

// A move beyond this is a slew to another place of the sky, arcminutes.
inline constexpr double kSlewArcmin = 5;

// Where the move was read from.
enum class PointingSource { plate, header };

struct PointingMove {
    double arcmin = 0;  // the angle on the sky between the two pointings
    PointingSource source = PointingSource::header;
};

// Nullopt when the two images share no way to tell (a placeholder pointing counts as none).
std::optional<PointingMove> pointing_move(const ObservingKeywords& before,
                                          const PlateReading& before_plate,
                                          const ObservingKeywords& now,
                                          const PlateReading& now_plate);

}  // namespace trakora
