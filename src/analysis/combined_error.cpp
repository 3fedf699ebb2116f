// SPDX-License-Identifier: MIT
#include "analysis/combined_error.hpp"

#include <cmath>
#include <limits>
#include <numbers>

#include "base/sky_time.hpp"

namespace trakora {
namespace {

// Within this of a pole the vertical is nearly the polar axis: no azimuth turn helps.
constexpr double kLargestKnobLatitude = 89;

bool weighable(const SegmentRate& s) {
    return std::isfinite(s.ha_hours) && std::isfinite(s.north_arcsec_per_min) &&
           std::isfinite(s.north_se_arcsec_per_min) && s.north_se_arcsec_per_min > 0 &&
           std::isfinite(s.lat_deg);
}

// A symmetric 2 x 2 matrix [a b; b d].
struct Sym2 {
    double a = 0, b = 0, d = 0;
    double det() const { return a * d - b * b; }
};

// sqrt(largest / smallest eigenvalue) of a positive semi-definite Sym2; infinite when
// singular.
double condition_of(const Sym2& m) {
    const double mean = (m.a + m.d) / 2;
    const double spread = std::hypot((m.a - m.d) / 2, m.b);
    const double smallest = mean - spread;
    if (!(smallest > 0)) return std::numeric_limits<double>::infinity();
    return std::sqrt((mean + spread) / smallest);
}

}  // namespace

std::optional<CombinedError> combined_error(const std::vector<SegmentRate>& segments,
                                            const std::vector<std::size_t>& use) {
    CombinedError out;
    Sym2 shape;   // the directions alone, for the condition
    Sym2 normal;  // the weighted normal equations
    double b_a = 0, b_e = 0;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        bool named = false;
        for (std::size_t u : use) named = named || u == i;
        const SegmentRate& s = segments[i];
        if (!named || !weighable(s)) continue;
        out.segments_used.push_back(i);
        const double h = s.ha_hours * kRadPerHour;
        const double sign = s.lat_deg < 0 ? -1 : 1;
        const double xa = sign * kArcsecPerMinPerArcmin * std::cos(h);
        const double xe = -sign * kArcsecPerMinPerArcmin * std::sin(h);
        const double weight = 1 / (s.north_se_arcsec_per_min * s.north_se_arcsec_per_min);
        shape.a += std::cos(h) * std::cos(h);
        shape.b += -std::cos(h) * std::sin(h);
        shape.d += std::sin(h) * std::sin(h);
        normal.a += weight * xa * xa;
        normal.b += weight * xa * xe;
        normal.d += weight * xe * xe;
        b_a += weight * xa * s.north_arcsec_per_min;
        b_e += weight * xe * s.north_arcsec_per_min;
    }
    if (out.segments_used.size() < 2) return std::nullopt;
    out.condition = condition_of(shape);
    if (!(out.condition <= kLargestCondition)) return std::nullopt;
    const double det = normal.det();
    if (!std::isfinite(det) || !(det > 0)) return std::nullopt;

    // (XᵀWX)⁻¹ is the covariance of the solution; the solution is that times XᵀW rates.
    const Sym2 cov{normal.d / det, -normal.b / det, normal.a / det};
    const double az = cov.a * b_a + cov.b * b_e;
    const double alt = cov.b * b_a + cov.d * b_e;
    if (!std::isfinite(az) || !std::isfinite(alt) || !std::isfinite(cov.a) || !std::isfinite(cov.d))
        return std::nullopt;

    out.azimuth_arcmin = az;
    out.altitude_arcmin = alt;
    out.azimuth_se_arcmin = std::sqrt(cov.a);
    out.altitude_se_arcmin = std::sqrt(cov.d);
    out.covariance_arcmin2 = cov.b;
    out.correlation = cov.b / (out.azimuth_se_arcmin * out.altitude_se_arcmin);
    out.azimuth_direction = az < 0 ? ErrorDirection::east : ErrorDirection::west;
    out.altitude_direction = alt < 0 ? ErrorDirection::low : ErrorDirection::high;
    out.total_arcmin = std::hypot(az, alt);
    const double lat = segments[out.segments_used.back()].lat_deg;
    if (std::abs(lat) <= kLargestKnobLatitude)
        out.azimuth_knob_arcmin = az / std::cos(lat * std::numbers::pi / 180);
    out.altitude_knob_arcmin = alt;

    for (std::size_t i : out.segments_used) {
        const SegmentRate& s = segments[i];
        const double h = s.ha_hours * kRadPerHour;
        const double sign = s.lat_deg < 0 ? -1 : 1;
        const double model = sign * kArcsecPerMinPerArcmin * (az * std::cos(h) - alt * std::sin(h));
        const double z = (s.north_arcsec_per_min - model) / s.north_se_arcsec_per_min;
        out.chi_square += z * z;
    }
    return out;
}

std::vector<std::size_t> segments_to_combine(const std::vector<SegmentRate>& segments) {
    std::size_t first = 0;
    for (std::size_t i = 0; i < segments.size(); ++i)
        if (segments[i].knob_turned_before) first = i;
    std::vector<std::size_t> picked;
    for (std::size_t i = first; i < segments.size(); ++i)
        if (weighable(segments[i])) picked.push_back(i);
    return picked;
}

CombinedError aimed_above(CombinedError answer, double raise_arcmin) {
    const double alt = answer.altitude_arcmin - raise_arcmin;
    answer.altitude_arcmin = alt;
    answer.altitude_direction = alt < 0 ? ErrorDirection::low : ErrorDirection::high;
    answer.total_arcmin = std::hypot(answer.azimuth_arcmin, alt);
    answer.altitude_knob_arcmin = alt;
    return answer;
}

}  // namespace trakora
