// SPDX-License-Identifier: MIT
#include "camera/mount_model.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace trakora {
namespace {

// The mount turns the sky and its axis by its own rotations and lifts the star by its own
// refraction: the independent truth the analysis (its first-order drift, its refraction
// through ERFA, its knob targets) is tested against. Only the sky's clock and the units
// are shared (base/sky_time.hpp).
using Vec = std::array<double, 3>;

double dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec cross(const Vec& a, const Vec& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
Vec scaled(const Vec& a, double k) { return {a[0] * k, a[1] * k, a[2] * k}; }
Vec sum(const Vec& a, const Vec& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
Vec unit(const Vec& a) { return scaled(a, 1 / std::sqrt(dot(a, a))); }

// Rodrigues: v turned by `angle` (right-handed) about the unit vector k.
Vec rotated(const Vec& v, const Vec& k, double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    return sum(sum(scaled(v, c), scaled(cross(k, v), s)), scaled(k, dot(k, v) * (1 - c)));
}

Vec star_direction(double dec, double ha) {
    return {std::cos(dec) * std::cos(ha), -std::cos(dec) * std::sin(ha), std::sin(dec)};
}

// Saemundsson's refraction at true altitude `altitude_deg`, arcminutes, scaled by
// (P / 1010) (283 / (273 + T)); below a degree under the horizon it stays at that value.
double refraction_arcmin(double altitude_deg, double temperature_c, double pressure_hpa) {
    const double h = std::max(altitude_deg, -1.0);
    const double air = (pressure_hpa / 1010) * (283 / (273 + temperature_c));
    return 1.02 / std::tan((h + 10.3 / (h + 5.11)) * kRadPerDeg) * air;
}

// The direction v as the air shows it: lifted toward the zenith by the refraction at
// its true altitude. The zenith lies at declination lat on the meridian.
Vec refracted(const Vec& v, const MountSetup& m) {
    const double lat = m.lat_deg * kRadPerDeg;
    const Vec zenith = {std::cos(lat), 0, std::sin(lat)};
    const double sin_h = std::clamp(dot(v, zenith), -1.0, 1.0);
    if (sin_h >= 1) return v;  // at the zenith nothing lifts it
    const Vec up = unit(sum(zenith, scaled(v, -sin_h)));
    const double r =
        refraction_arcmin(std::asin(sin_h) / kRadPerDeg, m.temperature_c, m.pressure_hpa) *
        kRadPerArcmin;
    return sum(scaled(v, std::cos(r)), scaled(up, std::sin(r)));
}

// The periodic error's turn of the axis ahead of its mean at `minutes`, radians.
double periodic_turn(const MountSetup& m, double minutes) {
    if (m.pe_arcsec == 0) return 0;
    const double phase = m.pe_phase_deg * kRadPerDeg;
    const double w = 2 * std::numbers::pi / m.pe_period_min;
    return m.pe_arcsec / kArcsecPerRad * (std::sin(w * minutes + phase) - std::sin(phase));
}

// A direction v turned back by the knob turns of the base (undone last first): where the
// base's frame sees it after they were made. About the zenith for azimuth, about the
// east point for altitude; south of the equator the visible pole is -z, so the same move
// on the sky takes the opposite turns.
Vec undo_knobs(Vec v, const MountSetup& m, std::span<const KnobTurn> knobs) {
    const double lat = m.lat_deg * kRadPerDeg;
    const double sense = m.lat_deg < 0 ? -1 : 1;
    const Vec zenith = {std::cos(lat), 0, std::sin(lat)}, east_point = {0, 1, 0};
    for (auto k = knobs.rbegin(); k != knobs.rend(); ++k) {
        if (k->alt_arcmin != 0) v = rotated(v, east_point, -sense * k->alt_arcmin * kRadPerArcmin);
        if (k->az_arcmin != 0)
            v = rotated(v, zenith, -sense * k->az_arcmin * kRadPerArcmin / std::cos(lat));
    }
    return v;
}

// The visible-pole end of the mount's axis before any knob was turned: the pole moved
// by the offsets along its own up (toward the zenith, along the meridian: +x in both
// hemispheres) and west (-y) directions.
Vec offset_axis(const MountSetup& m) {
    const Vec pole = m.lat_deg < 0 ? Vec{0, 0, -1} : Vec{0, 0, 1};
    const Vec up = {1, 0, 0}, west = {0, -1, 0};
    const double e = m.alt_offset_arcmin * kRadPerArcmin, a = m.az_offset_arcmin * kRadPerArcmin;
    const double rho = std::hypot(e, a);
    if (rho == 0) return pole;
    const Vec toward = sum(scaled(up, e / rho), scaled(west, a / rho));
    return sum(scaled(pole, std::cos(rho)), scaled(toward, std::sin(rho)));
}

}  // namespace

AxisOffset axis_offset(const MountSetup& m, std::span<const KnobTurn> knobs) {
    const double lat = m.lat_deg * kRadPerDeg;
    const double sense = m.lat_deg < 0 ? -1 : 1;
    const Vec zenith = {std::cos(lat), 0, std::sin(lat)}, east_point = {0, 1, 0};
    // The turns as undo_knobs undoes them, made forward: first first, azimuth before
    // altitude within one.
    Vec axis = offset_axis(m);
    for (const KnobTurn& k : knobs) {
        if (k.az_arcmin != 0)
            axis = rotated(axis, zenith, sense * k.az_arcmin * kRadPerArcmin / std::cos(lat));
        if (k.alt_arcmin != 0)
            axis = rotated(axis, east_point, sense * k.alt_arcmin * kRadPerArcmin);
    }
    const Vec pole = m.lat_deg < 0 ? Vec{0, 0, -1} : Vec{0, 0, 1};
    const double rho = std::acos(std::clamp(dot(axis, pole), -1.0, 1.0));
    if (rho == 0) return {};
    const double per = rho / std::sin(rho) / kRadPerArcmin;
    return {-axis[1] * per, axis[0] * per};
}

SkyOffset tracked_star_offset(const MountSetup& m, double minutes, SkyOffset moved,
                              std::span<const KnobTurn> knobs) {
    const double dec = m.dec_deg * kRadPerDeg;
    const double ha = m.ha_hours * 15 * kRadPerDeg;
    const Vec z = {0, 0, 1};
    const Vec star = star_direction(dec, ha);

    const bool south = m.lat_deg < 0;
    const Vec axis = offset_axis(m);
    // The sky turns westward: by -theta about z. The mount follows it about its own axis
    // in the same sense in space, so a southern axis (near -z) turns by +theta about itself.
    const Vec spin = south ? scaled(axis, -1) : axis;
    const double theta = 2 * std::numbers::pi * minutes / kSiderealDayMinutes;
    const double turn = theta * (1 + m.track_rate_permille / 1000) + periodic_turn(m, minutes);

    Vec sky_now = rotated(star, z, -theta);
    if (m.refraction) sky_now = refracted(sky_now, m);
    // In the camera's frame: undo the knobs' turns of the base, then the mount's turn
    // about the axis it had before them (the base carries the axis: turning it and then
    // tracking about the turned axis is tracking about the old one, then turning).
    Vec seen = rotated(undo_knobs(sky_now, m, knobs), spin, turn);

    // North and east at the star as the camera saw it at minute 0.
    Vec centre = star;
    Vec north = {-std::sin(dec) * std::cos(ha), std::sin(dec) * std::sin(ha), std::cos(dec)};
    Vec east = {std::sin(ha), std::cos(ha), 0};
    if (m.refraction) {
        centre = refracted(star, m);
        east = unit(cross(z, centre));
        north = cross(centre, east);
    }
    // The telescope moved north turns the view about east, so the star goes south; moved
    // east, about north, so the star goes west.
    if (moved.north_arcsec != 0) seen = rotated(seen, east, moved.north_arcsec / kArcsecPerRad);
    if (moved.east_arcsec != 0) seen = rotated(seen, north, -moved.east_arcsec / kArcsecPerRad);

    const double along = dot(seen, centre);
    return {std::atan2(dot(seen, north), along) * kArcsecPerRad,
            std::atan2(dot(seen, east), along) * kArcsecPerRad};
}

}  // namespace trakora
