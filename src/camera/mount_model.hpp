// SPDX-License-Identifier: MIT
// An equatorial mount whose polar axis is off the celestial pole, computed exactly: the
// sky and the mount are turned by rotation matrices, no small-angle formula. It says where
// a star the mount tracks appears relative to where it started, in the camera's frame.
// The mount may also track at the wrong rate and with a periodic error, the air may lift
// the star by refraction, and the telescope may have been moved by the hand controller.
//
// Usage:
//   MountSetup m{.az_offset_arcmin = 10, .lat_deg = 50, .dec_deg = 0, .ha_hours = 0};
//   SkyOffset o = tracked_star_offset(m, 20.0);   // after 20 minutes: o.north_arcsec ...
//
// Frame: x toward the meridian's crossing of the equator, y toward the east point, z
// toward the north celestial pole. The sky turns about z, the mount about its own axis;
// in the southern hemisphere the axis aims at the south pole and turns the other way
// round it, which is the same sense in space.
#pragma once

#include <span>

#include "base/sky_time.hpp"  // kSiderealDayMinutes, the angles in radians

namespace trakora {

struct MountSetup {
    double az_offset_arcmin = 0;   // on the sky; + = the axis points too far west
    double alt_offset_arcmin = 0;  // + = the axis points too high
    double lat_deg = 50;           // negative in the southern hemisphere
    double dec_deg = 0;            // of the tracked star
    double ha_hours = 0;           // of the star at minute 0; west positive

    // The drive. A rate error in parts per thousand of the sidereal rate, + = the axis
    // turns too fast, so the star drifts east. The periodic error turns the axis by
    // pe_arcsec sin(2 pi t / period + phase) ahead of its mean, less its value at minute 0
    // (the star was centred then); at declination d the star moves by pe_arcsec cos d.
    double track_rate_permille = 0;
    double pe_arcsec = 0;
    double pe_period_min = 8;
    double pe_phase_deg = 0;

    // Refraction by Saemundsson's formula, scaled for the air's pressure and temperature,
    // lifts the star along the vertical; the telescope was centred on the lifted star.
    bool refraction = false;
    double temperature_c = 10;
    double pressure_hpa = 1010;
};

struct SkyOffset {
    double north_arcsec = 0;  // toward the north celestial pole
    double east_arcsec = 0;   // toward increasing right ascension
};

// A turn of the mount's adjusting knobs, on the sky, arcminutes, signed as the offsets:
// az +d moves the axis's visible-pole end d further west (the base turns about the
// vertical by d / cos(lat)), alt +d moves it d higher (the base turns about the east-west
// horizontal axis by d). The base carries the axis and the telescope; the stars stay.
struct KnobTurn {
    double az_arcmin = 0;
    double alt_arcmin = 0;
};

// The star's offset after `minutes` of tracking, in the camera's frame (which turns with
// the mount), measured along the directions north and east had at minute 0. Gnomonic.
// `telescope_moved` is how far the hand controller has moved the telescope north and
// east by then; the star moves the opposite way. `knobs` are the turns of the base made
// by then, in the order they were made.
SkyOffset tracked_star_offset(const MountSetup& mount, double minutes,
                              SkyOffset telescope_moved = {}, std::span<const KnobTurn> knobs = {});

// Where the axis points after the knobs' turns (in the order they were made), as the
// offsets say it: arcminutes on the sky, az + = too far west, alt + = too high. Exact:
// the turns are rotations of the base, and two turns do not simply add.
struct AxisOffset {
    double az_arcmin = 0;
    double alt_arcmin = 0;
};
AxisOffset axis_offset(const MountSetup& mount, std::span<const KnobTurn> knobs = {});

}  // namespace trakora
