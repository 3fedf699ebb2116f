// SPDX-License-Identifier: MIT
// The calibration move: the hand controller's button pressed for a second or two at the
// start of a segment jumps the star along a known way on the sky. The jump among the
// segment's first images gives the image's orientation; the images before it leave the
// fit.
//
//   apply_calibration(CalibrationMove::north, points, segment.geometry);
//   DriftFit fit = fit_drift(points);  // the images before the jump flagged
#pragma once

#include <cstddef>
#include <span>

#include "analysis/drift_fit.hpp"
#include "analysis/geometry.hpp"

namespace trakora {

// Looks for the jump among the first 10 points (in order, one per image of the segment):
// the one step between clean points beyond 5 px, four times their median step and 0.4 of
// the largest. Found, it flags the points before it, notes the angle it gives with its
// standard error (from the spread across it of every other change of step) and, unless
// the angle was typed, sets `geometry`'s orientation from it. Otherwise it notes why there
// is none: lost (the star measurement lost two or more of the first images), missing, or
// twice; with fewer than three clean points and nothing lost, it is too early to tell.
// `within`: how many of the first points the jump is looked for among (a search armed
// by hand looks further). A largest step that stands out from the others but stays below
// 5 px is noted as too small.
inline constexpr std::size_t kCalibrationImages = 10;
void apply_calibration(CalibrationMove move, std::span<DriftSample> points, Geometry& geometry,
                       std::size_t within = kCalibrationImages);

}  // namespace trakora
