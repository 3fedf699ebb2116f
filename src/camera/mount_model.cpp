// SPDX-License-Identifier: MIT
#include "camera/mount_model.hpp"

#include <array>
#include <cmath>
#include <numbers>

namespace trakora {
namespace {

using Vec = std::array<double, 3>;

constexpr double kRadPerDeg = std::numbers::pi / 180;
constexpr double kRadPerArcmin = kRadPerDeg / 60;
constexpr double kArcsecPerRad = 180 * 3600 / std::numbers::pi;

double dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec cross(const Vec& a, const Vec& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
Vec scaled(const Vec& a, double k) { return {a[0] * k, a[1] * k, a[2] * k}; }
Vec sum(const Vec& a, const Vec& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }

// Rodrigues: v turned by `angle` (right-handed) about the unit vector k.
Vec rotated(const Vec& v, const Vec& k, double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    return sum(sum(scaled(v, c), scaled(cross(k, v), s)), scaled(k, dot(k, v) * (1 - c)));
}

Vec star_direction(double dec, double ha) {
    return {std::cos(dec) * std::cos(ha), -std::cos(dec) * std::sin(ha), std::sin(dec)};
}

}  // namespace

SkyOffset tracked_star_offset(const MountSetup& m, double minutes) {
    const double dec = m.dec_deg * kRadPerDeg;
    const double ha = m.ha_hours * 15 * kRadPerDeg;
    const Vec z = {0, 0, 1};
    const Vec star = star_direction(dec, ha);

    // The mount's axis: the visible pole moved by the offsets along its own up (toward
    // the zenith, along the meridian: +x in both hemispheres) and west (-y) directions.
    const bool south = m.lat_deg < 0;
    const Vec pole = south ? Vec{0, 0, -1} : z;
    const Vec up = {1, 0, 0}, west = {0, -1, 0};
    const double e = m.alt_offset_arcmin * kRadPerArcmin, a = m.az_offset_arcmin * kRadPerArcmin;
    const double rho = std::hypot(e, a);
    Vec axis = pole;
    if (rho > 0) {
        const Vec toward = sum(scaled(up, e / rho), scaled(west, a / rho));
        axis = sum(scaled(pole, std::cos(rho)), scaled(toward, std::sin(rho)));
    }
    // The sky turns westward: by -theta about z. The mount follows it about its own axis
    // in the same sense in space, so a southern axis (near -z) turns by +theta about itself.
    const Vec spin = south ? scaled(axis, -1) : axis;
    const double theta = 2 * std::numbers::pi * minutes / kSiderealDayMinutes;

    const Vec sky_now = rotated(star, z, -theta);
    // In the camera's frame: undo the mount's turn.
    const Vec seen = rotated(sky_now, spin, theta);

    const Vec north = {-std::sin(dec) * std::cos(ha), std::sin(dec) * std::sin(ha), std::cos(dec)};
    const Vec east = {std::sin(ha), std::cos(ha), 0};
    const double along = dot(seen, star);
    return {std::atan2(dot(seen, north), along) * kArcsecPerRad,
            std::atan2(dot(seen, east), along) * kArcsecPerRad};
}

}  // namespace trakora
