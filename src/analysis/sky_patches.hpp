// SPDX-License-Identifier: MIT
// Where to point for each phase of a drift alignment, from the site and the sidereal
// time, with the bright stars near each place:
//   - azimuth: on the meridian, within 20 degrees of the equator, at least 30 degrees
//     high: the equator where it is that high, else the declination within 20 degrees of
//     it that stands highest on the meridian;
//   - altitude, east and west: 30 to 45 degrees above that horizon, within 20 degrees of
//     the equator, as far from the meridian as that allows: the declination whose star
//     stays above 30 degrees longest, at the hour angle where it stands 30 degrees high.
//
//   const SkyPlan plan = sky_plan(50, local_sidereal_hours(unix_s, 8.5));
//   if (plan.azimuth) ... plan.azimuth->stars[0].name ...
//
// Star places are J2000, not carried to the date: precession moves them a fraction of a
// degree over decades, nothing against the patches' size. Altitudes are true
// (unrefracted).
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace trakora {

inline constexpr double kPatchLargestDecDeg = 20;
inline constexpr double kMeridianLowestAltitudeDeg = 30;
inline constexpr double kSideLowestAltitudeDeg = 30;
inline constexpr double kSideHighestAltitudeDeg = 45;
// A star is near a patch within this distance on the sky, and when it is itself inside
// the patch's limits: its declination, its altitude, and for the meridian within
// kMeridianHalfWidthHours of it, for a side on that side of it.
inline constexpr double kNearStarDeg = 20;
inline constexpr double kMeridianHalfWidthHours = 1;
inline constexpr int kStarsPerPatch = 3;

struct PatchStar {
    std::string_view name;
    double ra_hours = 0, dec_deg = 0, mag = 0;
    double ha_hours = 0, altitude_deg = 0;
};

struct SkyPatch {
    double ha_hours = 0;  // west positive, (-12, 12]
    double dec_deg = 0;
    double ra_hours = 0;  // 0 to 24
    double altitude_deg = 0;
    std::vector<PatchStar> stars;  // brightest first, at most kStarsPerPatch
};

// Each empty when no place within the limits exists at that latitude.
struct SkyPlan {
    std::optional<SkyPatch> azimuth;
    std::optional<SkyPatch> altitude_east;
    std::optional<SkyPatch> altitude_west;
};

SkyPlan sky_plan(double lat_deg, double local_sidereal_hours);

// The local sidereal time, hours 0 to 24, at a UTC time (seconds since 1970) and a
// longitude (degrees, east positive).
double local_sidereal_hours(double unix_s, double lon_deg);

}  // namespace trakora
