// SPDX-License-Identifier: MIT
// The drift assistant's handlers: the step the tick and the pick end with, and what the
// desktop's drift window does, each on the session and, where it measures, the image's
// plane. Each refits; the caller then shows the assistant (View::show_drift_assistant, a
// no-op unless the face shows it) when one returns true, and after every one that returns
// nothing but end_drift_session. The session's rules are in drift_assistant.hpp.
//
// Usage, for a face (`a` the session, `image` the current one's measured_plane):
//   start_drift_segment(a);                            // "New segment": from the next image
//   set_drift_input(a, DriftInput::scale, 1.2);        // typed: overrides the header
//   clear_drift_input(a, DriftInput::scale);           // back to the header's value
//   set_drift_orientation(a, {180, false});            // north down
//   set_drift_calibration(a, CalibrationMove::north);  // the north button, each segment
//   arm_drift_calibration(a, CalibrationMove::north);  // pressed once, from the next image
//   start_knob_adjust(a, image, Knob::azimuth);        // steer the star to its target
//   end_knob_adjust(a);                                // done: the next image measures anew
//   view.show_drift_assistant(a);                      // images, segments, latest
#pragma once

#include <optional>

#include "session/drift_assistant.hpp"
#include "session/image_measurement.hpp"
#include "session/knob_adjust.hpp"

namespace trakora {

// The tick's last step, once `m` holds its slot and row change: keeps it as the latest
// measurement and, unless it is the image taken last or the image has no pixels,
// measures the star on plane 0 around the found position and adds the image to the
// session (true); while a knob is turned, follows the star instead (true when it did).
bool update_drift_assistant(DriftAssistant& a, const MeasuredPlane& image, ImageMeasurement m);

// The pick's: the picked image starts the session, or a segment for the new star; false,
// and nothing changes, when the image has no pixels.
bool start_drift_star(DriftAssistant& a, const MeasuredPlane& image, ImageMeasurement m);

// Stop: the session ends; its images stay until the next measurement starts a new one.
void end_drift_session(DriftAssistant& a);

// The next image starts a new segment (after a turn of a knob, or by hand); the current
// one keeps its fit.
void start_drift_segment(DriftAssistant& a, SegmentReason reason = SegmentReason::knob_turned);

// "New star": the user slewed to another star and centred it; the next image starts a
// segment for it, the star found anew where the last one was (as after a slew the headers
// show). A knob being turned ends with it.
void start_drift_new_star(DriftAssistant& a);

// Turning a knob: freezes the target (the star's latest measured place plus the move that
// drift_adjust_now gives for `knob`) and follows the star at every image after, which goes
// into no segment. False, and nothing changes, when that knob's move is unknown or no star
// has been measured. Ending it, by end_knob_adjust (false when no knob was turned) or
// start_drift_segment, starts a knob_turned segment at the next image.
bool start_knob_adjust(DriftAssistant& a, const MeasuredPlane& image, Knob knob);
bool end_knob_adjust(DriftAssistant& a);

// False, and nothing changes, for a value that is not finite.
bool set_drift_input(DriftAssistant& a, DriftInput which, double value);
void clear_drift_input(DriftAssistant& a, DriftInput which);
// Where north lies in the image as shown, and whether it is mirrored (default: up, no,
// assumed); `source` says whether the angle is exact (typed) or one of the coarse four.
void set_drift_orientation(DriftAssistant& a, Orientation orientation,
                           AngleSource source = AngleSource::typed);
// The air: whether refraction comes off the drift, the weather typed, the pole aimed at.
void set_drift_air(DriftAssistant& a, bool refraction, std::optional<double> temperature_c,
                   std::optional<double> pressure_hpa, PoleTarget target);
// The hand controller's button pressed for a second or two at the start of each segment
// (nullopt: none, which also disarms a calibration not begun); each segment learns
// north's angle from the star's jump across it.
void set_drift_calibration(DriftAssistant& a, std::optional<CalibrationMove> move);
// "Calibrate", at any time: the next image starts a segment in which the jump of `move` is
// looked for over kArmedCalibrationImages images; found, north's angle holds for the
// whole setup (calibration_now says how it went).
void arm_drift_calibration(DriftAssistant& a, CalibrationMove move);

}  // namespace trakora
