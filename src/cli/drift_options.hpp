// SPDX-License-Identifier: MIT
// The drift session's typed inputs on the command line, as replay and watch take them:
// the options (scale, dec, ha, lat, north, angle, mirror, calibrate, no-refraction,
// temperature, pressure, target), each read as the drift window reads it, and their
// typing into the session through its handlers, as the drift window's controls do.
//
// Usage:
//   DriftOptions drift;
//   syntax.options += drift_input_options(drift);   // before parsing
//   type_drift_options(state.assistant, view, drift);
//   type_drift_hour_angle(state.assistant, view, drift);  // at the fit's first image
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "arrival/name_rule.hpp"
#include "base/command_line.hpp"
#include "core/view.hpp"
#include "session/drift_assistant.hpp"

namespace trakora::cli {

struct DriftOptions {
    PolarInputs inputs;
    bool no_refraction = false;
    // A calibration move pressed before the N-th image (armed by the caller).
    struct Calibrate {
        CalibrationMove move = CalibrationMove::north;
        long image = 1;
    };
    std::optional<Calibrate> calibrate;
};

// The FOLDER operand and the --pick X Y and --names RULE options, as both commands take
// them.
command_line::Operand folder_operand(std::string& folder, const char* help);
command_line::Option pick_option(std::optional<std::pair<float, float>>& pick, const char* help);
command_line::Option names_option(NameRule& names);

// The options, in the order of their help; they write into `o`, which outlives them.
std::vector<command_line::Option> drift_input_options(DriftOptions& o);

// Types everything but the hour angle (scale, declination, latitude, orientation, the
// air, the calibration move), showing the assistant after each as a face does.
void type_drift_options(DriftAssistant& a, View& view, const DriftOptions& o);
// The star's hour angle, when given.
void type_drift_hour_angle(DriftAssistant& a, View& view, const DriftOptions& o);

}  // namespace trakora::cli
