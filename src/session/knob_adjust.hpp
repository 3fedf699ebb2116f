// SPDX-License-Identifier: MIT
// A target to steer by, as values: the knob's move (drift_adjust.hpp works it out from the
// session) and, while the user turns the knob, how far the star still has to go and which
// way.
//
//   start_knob_adjust(s.assistant, image, Knob::azimuth);  // anchor and target frozen (handlers)
//   const KnobAdjusting& now = *s.assistant.adjusting;  // to_go_arcsec, way, reached
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "analysis/adjust_cutout.hpp"
#include "analysis/knob_target.hpp"
#include "base/position.hpp"

namespace trakora {

// The knob to turn, the error it takes away and the star's move when it does.
struct KnobAdjust {
    Knob knob = Knob::azimuth;
    double error_arcmin = 0;  // signed as the axis's error (azimuth + = west, altitude + = high)
    double dx_px = 0;         // x right, y down, as the object window shows the image
    double dy_px = 0;
};

// One of eight ways on the screen, as the object window shows the image.
enum class ScreenWay { up, up_right, right, down_right, down, down_left, left, up_left };
// The way of (dx, dy) (y down), in 45° sectors centred on each way; up for (0, 0).
ScreenWay screen_way(double dx, double dy);

// The adjusting phase: frozen when it starts, followed at every image after.
struct KnobAdjusting {
    KnobAdjust adjust;
    Position anchor;        // the star's latest measured place when the phase started
    Position target;        // anchor + the move
    double reached_px = 3;  // within this of the target the star has reached it
    double scale_arcsec_per_px = 1;
    Position star;      // where the star is now
    bool lost = false;  // the last image's star was not found
    double to_go_px = 0;
    double to_go_arcsec = 0;
    ScreenWay way = ScreenWay::up;  // the way the star still has to go
    bool reached = false;
    std::size_t images = 0;  // images seen since the phase started
    AdjustCutout cutout;
    // The image seen last, so that the same image twice counts once.
    std::string last_file;
    std::optional<double> last_unix_s;
    double last_snr = 0;  // the star's, when it was last clean
};

// Follows the star to `star`: the distance still to go, its way, whether it is there.
void follow_adjusted_star(KnobAdjusting& k, Position star);

}  // namespace trakora
