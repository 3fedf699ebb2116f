// SPDX-License-Identifier: MIT
// What the drift assistant advises, decided from its summary: which case applies (wait,
// give a missing input, pick another star, turn a knob) with the numbers that go with it,
// and how far the measurement has come. No words: each face makes its own sentence.
//
// Usage:
//   const DriftAdvice a = drift_advice(summary);
//   if (a.kind == AdviceKind::turn) say(*a.direction, a.turn_arcmin);  // west, 3.1′
#pragma once

#include <optional>

#include "analysis/polar_error.hpp"

namespace trakora {

enum class AdviceKind {
    wait_for_images,    // too few images, or no drift yet
    needs_scale,        // the plate scale is unknown
    needs_hour_angle,   // the hour angle is unknown: the component cannot be told
    mixed_star,         // the star mixes azimuth and altitude: measure another one
    direction_unknown,  // no error or no direction yet
    within_noise,       // the error is under twice its standard error
    turn,               // turn the knob of `direction`'s component by `turn_arcmin`
};

// orientation_needed: the answer would be enough, but where north lies in the image is
// not known (give an angle or make a calibration move).
enum class ProgressKind { measuring, minutes_left, enough, orientation_needed };

struct DriftAdvice {
    AdviceKind kind = AdviceKind::wait_for_images;
    std::optional<ErrorDirection> direction;  // the way the axis is off, for a turn
    double turn_arcmin = 0;  // for a turn: the azimuth knob's turn, else the error itself
    ProgressKind progress = ProgressKind::measuring;
    double minutes_left = 0;  // whole minutes still to measure, rounded up, for minutes_left
};

DriftAdvice drift_advice(const DriftSummary& summary);

}  // namespace trakora
