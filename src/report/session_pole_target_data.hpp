// SPDX-License-Identifier: MIT
// The session's pole target as data, for a face that paints it itself (the drift
// window): the combined answer now and the trail, without words (the face words it). Apart
// from session_pole_target.hpp so that the command line's sources see no Qt header.
#pragma once

#include "chart/pole_target.hpp"
#include "session/drift_assistant.hpp"

namespace trakora::report {

chart::PoleTarget session_pole_target(const DriftAssistant& assistant);

}  // namespace trakora::report
