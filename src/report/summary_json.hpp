// SPDX-License-Identifier: MIT
// The drift summary as one JSON object with exactly these keys, in this order: images,
// used, minutes, rate_x_px_per_min, rate_y_px_per_min, north_arcsec_per_min,
// north_se_arcsec_per_min, scale_arcsec_per_px, dec_deg, ha_hours, lat_deg, axis,
// error_arcmin, error_se_arcmin, pole, knob_arcmin, seeing_arcsec, r2, enough,
// minutes_needed, notes. Unknown values are null, never NaN; notes is an array of
// sentences.
//
// Usage:
//   std::fputs(summary_json(drift_summary_now(s.assistant)).c_str(), stdout);
//   write_summary_json(path, drift_summary_now(s.assistant), &error);
#pragma once

#include <string>

#include "analysis/polar_error.hpp"
#include "session/alignment_step.hpp"
#include "session/drift_assistant.hpp"

namespace trakora::report {

// Indented, one key per line, ending in "\n".
std::string summary_json(const DriftSummary& summary);
bool write_summary_json(const std::string& path, const DriftSummary& summary, std::string* error);

// The same with the session's keys after the others: "segments", one object per segment
// (as assistant_json's below, with altitude_deg after dec_deg), and "combined", null until
// both components are solvable, else azimuth_arcmin, azimuth_se_arcmin, azimuth_pole (east
// or west), altitude_arcmin, altitude_se_arcmin, altitude_pole (high or low),
// total_arcmin, azimuth_knob_arcmin, altitude_knob_arcmin, segments_used (counted from 1),
// and "adjust", null while no knob's move is known, else the knob to turn (component:
// azimuth or altitude) and the star's move in pixels when it takes the whole error away
// (dx_px right, dy_px down, as the object window shows the image);
// "combined_before_turn", the answer kept from before the latest knob turn in the
// same shape, null when no knob was turned; "step", where the alignment stands
// (step_json); last "calibration", null unless a calibration was armed, else move,
// outcome (armed, searching, found, no_jump, too_small, beyond_search, twice), images
// searched, angle_deg, angle_se_deg and jump_px.
// Until north in the image is known (typed, solved, calibrated or refined) the ways (pole,
// azimuth_pole, altitude_pole), the knob turns and "adjust" are null, with a note.
std::string summary_json(const DriftSummary& summary, const DriftAssistant& session);
bool write_summary_json(const std::string& path, const DriftSummary& summary,
                        const DriftAssistant& session, std::string* error);

// The session on one line, without a line end: the current summary's keys as above, then
// "segments", one object per segment (reason, first_image counted from 1, images, used,
// minutes, ha_hours, dec_deg, axis, error_arcmin, error_se_arcmin, pole,
// north_arcsec_per_min, north_se_arcsec_per_min).
std::string assistant_json(const DriftAssistant& assistant);

// Where the alignment stands, on one line: phase, action (the one thing to do now), show
// (error or progress), direction_known, knob_allowed, may_be_fine, elapsed_min,
// minutes_to_go.
std::string step_json(const AlignmentStep& step);
// The latest armed calibration as above, "null" when none was armed.
std::string calibration_json(const DriftAssistant& assistant);

}  // namespace trakora::report
