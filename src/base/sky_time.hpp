// SPDX-License-Identifier: MIT
// The sky's clock and its angles, shared by the analysis, the assistant and the simulated
// camera: how much faster sidereal time runs than solar time, the sidereal day, an hour
// angle some minutes later, and degrees, hours and arcseconds as radians.
//
// Usage:
//   double ha = hour_angle_after(-0.5, 30);     // 30 solar minutes on: -0.5 + 0.5014 h
//   double h = wrapped_hours(13);               // -11
//   double rad = 40 * kRadPerDeg;
//
// Hour angles in hours, west positive. Each site keeps its own arithmetic form with these
// constants (x * kRadPerDeg and x * pi / 180 differ in the last bit), so that its results
// stay as they were.
#pragma once

#include <cmath>
#include <numbers>

namespace trakora {

// Sidereal time gained per unit of solar (UT) time.
inline constexpr double kSiderealPerSolar = 1.00273790935;
// One turn of the sky, minutes of solar time.
inline constexpr double kSiderealDayMinutes = 1436.0681637;

inline constexpr double kRadPerDeg = std::numbers::pi / 180;
inline constexpr double kRadPerHour = std::numbers::pi / 12;  // of hour angle
inline constexpr double kRadPerArcmin = kRadPerDeg / 60;
inline constexpr double kArcsecPerRad = 180 * 3600 / std::numbers::pi;

// An hour angle brought into (-12, 12].
inline double wrapped_hours(double hours) {
    double h = std::fmod(hours, 24.0);
    if (h <= -12) h += 24;
    if (h > 12) h -= 24;
    return h;
}

// The hour angle of a tracked star `minutes` of solar time after it stood at `ha_hours`.
inline double hour_angle_after(double ha_hours, double minutes) {
    return wrapped_hours(ha_hours + minutes * kSiderealPerSolar / 60);
}

}  // namespace trakora
