// SPDX-License-Identifier: MIT
// The session's pole target: the combined answer of both components now, with its 1-SE
// ellipse, and the combined answers the session gave before as the trail.
//
// Usage:
//   chart::ChartGuiGuard gui;  // a headless program only
//   write_session_pole_target("target.svg", s.assistant, &error);  // .svg or .png
#pragma once

#include <string>

#include "session/drift_assistant.hpp"

namespace trakora::report {

// PNG or SVG by the path's extension, 900 x 900, in English, written as the drift chart's
// files are.
// Needs a QGuiApplication.
bool write_session_pole_target(const std::string& path, const DriftAssistant& assistant,
                               std::string* error);

}  // namespace trakora::report
