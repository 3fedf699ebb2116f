// SPDX-License-Identifier: MIT
#include "analysis/refraction.hpp"

#include <erfa.h>

#include <algorithm>
#include <cmath>

#include "base/sky_time.hpp"

namespace trakora {
namespace {

// Half the span over which the north component is differenced: a minute in all, short
// against the hours over which refraction changes, long against rounding.
constexpr double kHalfSpanMinutes = 0.5;

}  // namespace

StarPlace star_place(double ha_hours, double dec_deg, double lat_deg) {
    const double ha = ha_hours * kRadPerHour, dec = dec_deg * kRadPerDeg,
                 lat = lat_deg * kRadPerDeg;
    double az = 0, el = 0;
    eraHd2ae(ha, dec, lat, &az, &el);
    return {el / kRadPerDeg, az / kRadPerDeg, eraHd2pa(ha, dec, lat) / kRadPerDeg};
}

double refraction_arcmin(double altitude_deg, const Air& air) {
    const double h = std::max(altitude_deg, -1.0);
    const double scale = (air.pressure_hpa / 1010) * (283 / (273 + air.temperature_c));
    return 1.02 / std::tan((h + 10.3 / (h + 5.11)) * kRadPerDeg) * scale;
}

double refraction_north_arcmin(double ha_hours, double dec_deg, double lat_deg, const Air& air) {
    const StarPlace place = star_place(ha_hours, dec_deg, lat_deg);
    return refraction_arcmin(place.altitude_deg, air) *
           std::cos(place.parallactic_deg * kRadPerDeg);
}

double refraction_north_drift_arcsec_per_min(double ha_hours, double dec_deg, double lat_deg,
                                             const Air& air) {
    // The hour angle runs a sidereal day in kSiderealDayMinutes.
    const double step_hours = 24 * kHalfSpanMinutes / kSiderealDayMinutes;
    const double before = refraction_north_arcmin(ha_hours - step_hours, dec_deg, lat_deg, air);
    const double after = refraction_north_arcmin(ha_hours + step_hours, dec_deg, lat_deg, air);
    return (after - before) * 60 / (2 * kHalfSpanMinutes);
}

double refracted_pole_raise_arcmin(double lat_deg, const Air& air) {
    return refraction_arcmin(std::abs(lat_deg), air);
}

double greenwich_sidereal_hours_erfa(double unix_s) {
    constexpr double kUnixEpochJd = 2440587.5;
    const double days = unix_s / 86400;
    // The two-part dates keep the fraction of the day to the microsecond.
    const double tt_days = days + 69.184 / 86400;
    const double gmst = eraGmst06(kUnixEpochJd, days, kUnixEpochJd, tt_days);
    return gmst / kRadPerHour;  // ERFA keeps it within 0 to 2 pi
}

}  // namespace trakora
