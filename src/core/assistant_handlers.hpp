// SPDX-License-Identifier: MIT
// The drift assistant's handlers: the step the tick and the pick end with, and what the
// desktop's drift window does. Each refits and then shows the assistant through
// View::show_drift_assistant (a no-op unless the face shows it). The session's rules are
// in drift_assistant.hpp.
//
// Usage, for a face:
//   start_drift_segment(s, v);                         // "新しい区間": from the next image
//   set_drift_input(s, v, DriftInput::scale, 1.2);     // typed: overrides the header
//   clear_drift_input(s, v, DriftInput::scale);        // back to the header's value
//   set_drift_orientation(s, v, {180, false});         // north down
//   set_drift_calibration(s, v, CalibrationMove::north);  // the 「北」 button, each segment
//   start_knob_adjust(s, v, Knob::azimuth);            // steer the star to its target
//   end_knob_adjust(s, v);                             // done: the next image measures anew
//   const DriftAssistant& a = s.assistant;             // images, segments, latest
#pragma once

#include "core/drift_assistant.hpp"
#include "core/image_measurement.hpp"
#include "core/state.hpp"
#include "core/view.hpp"

namespace trakora {

// The tick's last step, once `m` holds its slot and row change: keeps it as the latest
// measurement and, unless it is the image taken last or the image has no pixels,
// measures the star on plane 0 around the found position, adds the image to the
// session, refits and shows.
void update_drift_assistant(State& s, View& v, ImageMeasurement m);

// The pick's: the picked image starts the session, or a segment for the new star.
void start_drift_star(State& s, View& v, ImageMeasurement m);

// Stop: the session ends; its images stay until the next measurement starts a new one.
void end_drift_session(State& s);

// The next image starts a new segment (after a turn of a knob, or by hand); the current
// one keeps its fit.
void start_drift_segment(State& s, View& v, SegmentReason reason = SegmentReason::knob_turned);

// Turning a knob: freezes the target (the star's latest measured place plus the move that
// drift_adjust_now gives for `knob`) and follows the star at every image after, which goes
// into no segment. False, and nothing changes, when that knob's move is unknown or no star
// has been measured. Ending it, by end_knob_adjust or start_drift_segment, starts a
// knob_turned segment at the next image.
bool start_knob_adjust(State& s, View& v, Knob knob);
void end_knob_adjust(State& s, View& v);

void set_drift_input(State& s, View& v, DriftInput which, double value);
void clear_drift_input(State& s, View& v, DriftInput which);
// Where north lies in the image as shown, and whether it is mirrored (default: up, no,
// assumed); `source` says whether the angle is exact (typed) or one of the coarse four.
void set_drift_orientation(State& s, View& v, Orientation orientation,
                           AngleSource source = AngleSource::typed);
// The air: whether refraction comes off the drift, the weather typed, the pole aimed at.
void set_drift_air(State& s, View& v, bool refraction, std::optional<double> temperature_c,
                   std::optional<double> pressure_hpa, PoleTarget target);
// The hand controller's button pressed for a second or two at the start of each segment
// (nullopt: none); each segment learns north's angle from the star's jump across it.
void set_drift_calibration(State& s, View& v, std::optional<CalibrationMove> move);

}  // namespace trakora
