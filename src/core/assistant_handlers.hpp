// SPDX-License-Identifier: MIT
// The drift assistant's handlers: the hook the tick and the pick call, and what the
// desktop's drift window does. Each refits and then shows the assistant through
// View::show_drift_assistant (a no-op unless the face shows it). The session's rules are
// in drift_assistant.hpp.
//
// Usage, for a face:
//   start_drift_segment(s, v);                         // "新しい区間": from the next image
//   set_drift_input(s, v, DriftInput::scale, 1.2);     // typed: overrides the header
//   clear_drift_input(s, v, DriftInput::scale);        // back to the header's value
//   set_drift_orientation(s, v, {180, false});  // north down
//   const DriftAssistant& a = s.assistant;             // samples, segments, summary
#pragma once

#include "core/drift_assistant.hpp"
#include "core/state.hpp"
#include "core/view.hpp"

namespace trakora {

// After a position was recorded in `slot` (the tick) or picked into slot 1 (the pick,
// `pick` true): measures the star on plane 0 around object_x, object_y, takes the image's
// time (header, else the file's modification time), adds the sample, refits and shows.
// Without an image (width or height 0) nothing is added.
void update_drift_assistant(State& s, View& v, int slot, bool pick = false);

// Stop: the session ends; its samples stay until the next measurement starts a new one.
void end_drift_session(State& s);

// The next sample starts a new segment; the current one keeps its fit.
void start_drift_segment(State& s, View& v);

void set_drift_input(State& s, View& v, DriftInput which, double value);
void clear_drift_input(State& s, View& v, DriftInput which);
// Where north lies in the image as shown, and whether it is mirrored (default: up, no).
void set_drift_orientation(State& s, View& v, Orientation orientation);

}  // namespace trakora
