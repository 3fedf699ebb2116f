// SPDX-License-Identifier: MIT
// "保存…" of the drift window: the session's CSV, the summary JSON and the plot (PNG or
// SVG by the extension), through the same writers as trakora-cli replay; the plot in
// the words the window shows.
#pragma once

#include <string>

#include "session/drift_assistant.hpp"

namespace trakora::ui {

struct DriftSessionFiles {
    std::string csv;
    std::string json;
    std::string plot;  // ".png" or ".svg"
};

// Writes the three files; returns "" when all were written, else the reasons, one line
// per file that failed (English sentences from the writers).
std::string save_drift_session(const DriftAssistant& assistant, const DriftSessionFiles& files);

// The plot's size in the saved file, pixels.
inline constexpr int kSavedPlotWidth = 1200;
inline constexpr int kSavedPlotHeight = 800;

}  // namespace trakora::ui
