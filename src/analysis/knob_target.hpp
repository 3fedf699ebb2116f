// SPDX-License-Identifier: MIT
// Where the star goes in the image while the user takes a known error away with one of
// the mount's knobs: the azimuth knob turns the base about the vertical by A / cos(lat),
// the altitude knob about the east-west horizontal axis by E. The base carries the
// telescope, the star stays where it is on the sky, so the star moves in the field by
// the base's turn undone. Exact rotations, no small-angle formula.
//
//   const KnobSight sight{.lat_deg = 50, .ha_hours = 0.3, .dec_deg = 5,
//                         .scale_arcsec_per_px = 1.5, .orientation = {}};
//   ScreenOffset target = knob_target_move(Knob::azimuth, 8.0, sight);  // the star's goal
#pragma once

#include "base/orientation.hpp"

namespace trakora {

enum class Knob { azimuth, altitude };

// The star being watched and the image it is seen in.
struct KnobSight {
    double lat_deg = 50;  // south negative
    double ha_hours = 0;  // west positive
    double dec_deg = 0;
    double scale_arcsec_per_px = 1;
    Orientation orientation;
};

// The star's move in pixels (x right, y down, as the object window shows the image)
// when the knob takes away `error_arcmin` of its component, signed as the axis's error
// (azimuth + = the visible-pole end too far west, altitude + = too high).
ScreenOffset knob_target_move(Knob knob, double error_arcmin, const KnobSight& sight);

}  // namespace trakora
