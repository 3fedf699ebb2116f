// SPDX-License-Identifier: MIT
#include "analysis/sky_patches.hpp"

#include <algorithm>
#include <cmath>

#include "analysis/bright_stars.hpp"
#include "analysis/refraction.hpp"
#include "base/sky_time.hpp"

namespace trakora {
namespace {

constexpr double kDecStepDeg = 0.1;  // the search over declination

double ra_of(double lst_hours, double ha_hours) {
    const double ra = std::fmod(lst_hours - ha_hours, 24.0);
    return ra < 0 ? ra + 24 : ra;
}

// The hour angle, 0 to 12, at which a star at `dec_deg` stands `altitude_deg` high; none
// when it never gets that high, 12 when it never gets that low.
std::optional<double> hours_at_altitude(double dec_deg, double lat_deg, double altitude_deg) {
    const double lat = lat_deg * kRadPerDeg, dec = dec_deg * kRadPerDeg;
    const double c = (std::sin(altitude_deg * kRadPerDeg) - std::sin(lat) * std::sin(dec)) /
                     (std::cos(lat) * std::cos(dec));
    if (c > 1) return std::nullopt;
    return std::acos(std::max(c, -1.0)) / kRadPerDeg / 15;
}

double angle_between_deg(double ra1_h, double dec1_deg, double ra2_h, double dec2_deg) {
    const double d1 = dec1_deg * kRadPerDeg, d2 = dec2_deg * kRadPerDeg;
    const double c = std::sin(d1) * std::sin(d2) +
                     std::cos(d1) * std::cos(d2) * std::cos((ra1_h - ra2_h) * 15 * kRadPerDeg);
    return std::acos(std::clamp(c, -1.0, 1.0)) / kRadPerDeg;
}

enum class Side { meridian, east, west };

bool inside_limits(Side side, double ha_hours, double dec_deg, double altitude_deg) {
    if (std::abs(dec_deg) > kPatchLargestDecDeg) return false;
    if (side == Side::meridian)
        return std::abs(ha_hours) <= kMeridianHalfWidthHours &&
               altitude_deg >= kMeridianLowestAltitudeDeg;
    const bool right_side = side == Side::east ? ha_hours < 0 : ha_hours > 0;
    return right_side && altitude_deg >= kSideLowestAltitudeDeg &&
           altitude_deg <= kSideHighestAltitudeDeg;
}

SkyPatch patch_at(Side side, double ha_hours, double dec_deg, double lat_deg, double lst) {
    SkyPatch patch{ha_hours,
                   dec_deg,
                   ra_of(lst, ha_hours),
                   star_place(ha_hours, dec_deg, lat_deg).altitude_deg,
                   {}};
    for (const BrightStar& star : bright_stars()) {  // brightest first
        if (angle_between_deg(star.ra_hours, star.dec_deg, patch.ra_hours, dec_deg) > kNearStarDeg)
            continue;
        const double ha = wrapped_hours(lst - star.ra_hours);
        const double altitude = star_place(ha, star.dec_deg, lat_deg).altitude_deg;
        if (!inside_limits(side, ha, star.dec_deg, altitude)) continue;
        patch.stars.push_back({star.name, star.ra_hours, star.dec_deg, star.mag, ha, altitude});
        if (patch.stars.size() == kStarsPerPatch) break;
    }
    return patch;
}

std::optional<SkyPatch> meridian_patch(double lat_deg, double lst) {
    const double dec = std::abs(lat_deg) <= 90 - kMeridianLowestAltitudeDeg
                           ? 0
                           : std::clamp(lat_deg, -kPatchLargestDecDeg, kPatchLargestDecDeg);
    if (90 - std::abs(lat_deg - dec) < kMeridianLowestAltitudeDeg) return std::nullopt;
    return patch_at(Side::meridian, 0, dec, lat_deg, lst);
}

std::optional<SkyPatch> side_patch(Side side, double lat_deg, double lst) {
    // The farthest hour angle at which a declination within the limits is still 30
    // degrees high; on a tie the one nearer the equator.
    std::optional<double> best_hours;
    double best_dec = 0;
    const int steps = static_cast<int>(std::lround(kPatchLargestDecDeg / kDecStepDeg));
    for (int i = 0; i <= 2 * steps; ++i) {
        const int k = i % 2 == 0 ? i / 2 : -(i + 1) / 2;  // 0, -1, 1, -2, 2, ...
        const double dec = k * kDecStepDeg;
        const auto hours = hours_at_altitude(dec, lat_deg, kSideLowestAltitudeDeg);
        if (hours && (!best_hours || *hours > *best_hours + 1e-9)) {
            best_hours = hours;
            best_dec = dec;
        }
    }
    if (!best_hours || *best_hours <= 0) return std::nullopt;
    const double ha = side == Side::east ? -*best_hours : std::min(*best_hours, 12.0);
    return patch_at(side, ha, best_dec, lat_deg, lst);
}

}  // namespace

double local_sidereal_hours(double unix_s, double lon_deg) {
    const double lst = std::fmod(greenwich_sidereal_hours_erfa(unix_s) + lon_deg / 15, 24.0);
    return lst < 0 ? lst + 24 : lst;
}

SkyPlan sky_plan(double lat_deg, double lst) {
    return {meridian_patch(lat_deg, lst), side_patch(Side::east, lat_deg, lst),
            side_patch(Side::west, lat_deg, lst)};
}

}  // namespace trakora
