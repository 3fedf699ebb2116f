// SPDX-License-Identifier: MIT
// The periodic part of a motion: the sine that best fits a series over trial periods, as
// the mount's periodic error shows in the star's residual RA motion.
//
// Usage:
//   auto p = periodic_motion(minutes, east_residuals_arcsec);
//   if (p) report(p->peak_to_peak, p->period_min);
#pragma once

#include <optional>
#include <span>

namespace trakora {

struct PeriodicMotion {
    double peak_to_peak = 0;  // in the series' unit
    double period_min = 0;
};

// The strongest sine over periods from four sample intervals up to the series' span over
// 1.5 (the series must hold one and a half periods of it), nullopt when there is none that
// stands out: its amplitude at least three times what scatter is left about it.
std::optional<PeriodicMotion> periodic_motion(std::span<const double> minutes,
                                              std::span<const double> values);

}  // namespace trakora
