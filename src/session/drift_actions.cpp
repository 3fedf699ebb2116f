// SPDX-License-Identifier: MIT
#include "session/drift_actions.hpp"

#include "session/alignment_step.hpp"

namespace trakora {

std::optional<DriftRefusal> drift_action_refusal(const DriftAssistant& a, DriftAction action) {
    if (action != DriftAction::turn_azimuth && action != DriftAction::turn_altitude)
        return std::nullopt;
    if (a.adjusting) return DriftRefusal::knob_turning;
    const AlignmentStep step = alignment_step(a);
    const StepAction offered = action == DriftAction::turn_azimuth ? StepAction::turn_azimuth_knob
                                                                   : StepAction::turn_altitude_knob;
    if (!step.knob_allowed || step.action != offered) return DriftRefusal::knob_not_now;
    return std::nullopt;
}

const char* drift_refusal_name(DriftRefusal refusal) {
    return refusal == DriftRefusal::knob_turning ? "knob_turning" : "knob_not_now";
}

}  // namespace trakora
