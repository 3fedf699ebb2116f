// SPDX-License-Identifier: MIT
// Both components of the polar axis's error from several drift segments at once. Each
// segment measured its star's north drift at its own mean hour angle H, and a tracked star
// drifts north at s w (A cos H - E sin H) (s = +1 north of the equator, -1 south of it,
// w = 0.2625"/min per arcminute): a star near the meridian gives A, one 4 to 8 h away
// gives E, one between gives a mixture that another segment separates. With two segments
// the solve is exact; with more it is least squares weighted by 1 / SE².
//
// Usage:
//   std::vector<SegmentRate> rates = ...;           // one per segment of the session
//   std::vector<std::size_t> use = segments_to_combine(rates);
//   if (auto both = combined_error(rates, use)) show(both->azimuth_arcmin, ...);
//
// The standard errors come from the segments' own standard errors, not from the scatter
// of the segments about the solution (with two or three segments that scatter says little);
// `chi_square` tells when the segments disagree more than their errors allow (a knob moved
// unnoticed, a different star).
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "analysis/polar_error.hpp"

namespace trakora {

// One segment's answer, after whatever corrections it already made (refraction, drive).
struct SegmentRate {
    double ha_hours = 0;  // the segment's mean hour angle, west positive
    double north_arcsec_per_min = 0;
    double north_se_arcsec_per_min = 0;
    double lat_deg = 0;               // south negative; 0 counts as north
    bool knob_turned_before = false;  // a knob was turned between the previous segment and this
};

// A design whose condition number (of the segments' directions (cos H, -sin H), every
// segment counted alike) exceeds this is refused: with two segments it is cot(dH x 7.5°),
// so two hour angles closer than about 46 minutes (or than 12 h less that) are refused.
inline constexpr double kLargestCondition = 10;

struct CombinedError {
    double azimuth_arcmin = 0;  // + = the visible-pole end of the axis too far west
    double azimuth_se_arcmin = 0;
    ErrorDirection azimuth_direction = ErrorDirection::west;  // east or west; west at 0
    double altitude_arcmin = 0;                               // + = too high
    double altitude_se_arcmin = 0;
    ErrorDirection altitude_direction = ErrorDirection::high;  // high or low; high at 0
    double covariance_arcmin2 = 0;                             // of azimuth and altitude
    double correlation = 0;
    // sqrt(A² + E²): the angle between the axis and the pole to first order, as the drift
    // model itself is (at 1° of error it differs from the exact angle by a few parts in 10⁵).
    double total_arcmin = 0;
    // The turns that take the error away: A / cos(lat) about the vertical (nullopt within
    // a degree of the pole, where the vertical is the axis), E about the east-west axis.
    // Signed as the error they remove.
    std::optional<double> azimuth_knob_arcmin;
    double altitude_knob_arcmin = 0;
    std::vector<std::size_t> segments_used;  // indices into the segments given, ascending
    double condition = 1;                    // of the design, see kLargestCondition
    double chi_square = 0;  // of the segments about the solution; about 0 with two segments
};

// Solves A and E from the segments named in `use` (indices into `segments`). A named
// segment whose rate or standard error is not finite, whose standard error is not
// positive, or whose latitude is not finite is left out. Nullopt when fewer than two
// remain or the design is degenerate (all at the same hour angle modulo 12 h, two
// meridian stars say: condition over kLargestCondition). The knob turn uses the latitude
// of the latest segment used.
std::optional<CombinedError> combined_error(const std::vector<SegmentRate>& segments,
                                            const std::vector<std::size_t>& use);

// The same answer aimed at a pole `raise_arcmin` above the true one (the refracted pole):
// the altitude, its direction, the total and the altitude knob's turn.
CombinedError aimed_above(CombinedError answer, double raise_arcmin);

// The segments since the last knob turn (a segment whose knob_turned_before is set and
// every one after it, or all when none was turned) whose rate can be weighed. They hold
// the latest near the meridian and the latest well east or west when the session has
// them; the others between weigh in too.
std::vector<std::size_t> segments_to_combine(const std::vector<SegmentRate>& segments);

}  // namespace trakora
