// SPDX-License-Identifier: MIT
// Whether the session takes one of the drift window's actions now, decided once so that
// the window's buttons and the page's agree: "New segment", "New star" and "Calibrate"
// are always taken; a knob's turn only in the phase that offers that knob, with its move
// known, and not while a knob is already being turned.
//
//   if (const auto refused = drift_action_refusal(a, DriftAction::turn_azimuth))
//       answer 409 with drift_refusal_name(*refused);
//   azimuth_button->setEnabled(!drift_action_refusal(a, DriftAction::turn_azimuth));
#pragma once

#include <optional>

#include "session/drift_assistant.hpp"

namespace trakora {

enum class DriftAction { new_segment, new_star, calibrate, turn_azimuth, turn_altitude };

enum class DriftRefusal {
    knob_turning,  // a knob is being turned: "New segment" ends that first
    knob_not_now,  // the phase does not offer this knob, or its move is not known yet
};

std::optional<DriftRefusal> drift_action_refusal(const DriftAssistant& a, DriftAction action);

// "knob_turning", "knob_not_now".
const char* drift_refusal_name(DriftRefusal refusal);

}  // namespace trakora
