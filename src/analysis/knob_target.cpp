// SPDX-License-Identifier: MIT
#include "analysis/knob_target.hpp"

#include <array>
#include <cmath>

#include "base/sky_time.hpp"

namespace trakora {
namespace {

// The site's frame: x toward the meridian's crossing of the equator, y toward the east
// point, z toward the north celestial pole; it stays with the ground while the sky turns.
using Vec = std::array<double, 3>;

double dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Rodrigues: v turned by `angle` (right-handed) about the unit vector k.
Vec rotated(const Vec& v, const Vec& k, double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    const Vec kxv = {k[1] * v[2] - k[2] * v[1], k[2] * v[0] - k[0] * v[2],
                     k[0] * v[1] - k[1] * v[0]};
    const double along = dot(k, v) * (1 - c);
    return {v[0] * c + kxv[0] * s + k[0] * along, v[1] * c + kxv[1] * s + k[1] * along,
            v[2] * c + kxv[2] * s + k[2] * along};
}

}  // namespace

ScreenOffset knob_target_move(Knob knob, double error_arcmin, const KnobSight& sight) {
    const double lat = sight.lat_deg * kRadPerDeg;
    const double dec = sight.dec_deg * kRadPerDeg, ha = sight.ha_hours * 15 * kRadPerDeg;
    const Vec star = {std::cos(dec) * std::cos(ha), -std::cos(dec) * std::sin(ha), std::sin(dec)};
    const Vec north = {-std::sin(dec) * std::cos(ha), std::sin(dec) * std::sin(ha), std::cos(dec)};
    const Vec east = {std::sin(ha), std::cos(ha), 0};

    // A right-handed turn about the zenith takes the north pole west, about the east
    // point takes it up; the south pole (-z) goes the other way for the same turn, so
    // the correction, -error on the sky, turns the base by the opposite sense there.
    const double sense = sight.lat_deg < 0 ? -1 : 1;
    const double correction = -sense * error_arcmin * kRadPerArcmin;
    const Vec zenith = {std::cos(lat), 0, std::sin(lat)}, east_point = {0, 1, 0};
    const Vec& about = knob == Knob::azimuth ? zenith : east_point;
    const double turn = knob == Knob::azimuth ? correction / std::cos(lat) : correction;

    // The telescope turns with the base; in its frame the star is turned back.
    const Vec seen = rotated(star, about, -turn);
    const double along = dot(seen, star);
    const double north_arcsec = std::atan2(dot(seen, north), along) * kArcsecPerRad;
    const double east_arcsec = std::atan2(dot(seen, east), along) * kArcsecPerRad;
    return screen_offset(north_arcsec / sight.scale_arcsec_per_px,
                         east_arcsec / sight.scale_arcsec_per_px, sight.orientation);
}

}  // namespace trakora
