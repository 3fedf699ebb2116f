// SPDX-License-Identifier: MIT
// Where the star must go in the image while the user turns a knob by the full correction,
// once a component of the axis's error is known.
//
//   if (auto adjust = drift_adjust_now(s.assistant)) show(adjust->dx_px, adjust->dy_px);
#pragma once

#include <optional>

#include "session/drift_assistant.hpp"
#include "session/knob_adjust.hpp"

namespace trakora {

// Which knob and how much: the combined answer's, when there is one (the component with
// the larger turn of its knob, or `knob` when the user chose), else the current segment's
// own component once it has an answer (azimuth near the meridian, altitude well east or
// west; none between). The move is the star's at the current segment's latest hour
// angle, declination, plate scale and orientation. Nullopt when the knob's error, the
// scale, the latitude, the declination or the hour angle is unknown.
std::optional<KnobAdjust> drift_adjust_now(const DriftAssistant& a,
                                           std::optional<Knob> knob = std::nullopt);

}  // namespace trakora
