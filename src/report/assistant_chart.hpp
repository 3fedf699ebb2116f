// SPDX-License-Identifier: MIT
// The drift assistant's session as a drift chart: the star's drift toward north in
// arcseconds (pixels when no plate scale is known) against minutes, every segment's
// points (earlier segments faded, flagged and outlying points hollow), the current
// segment's fit with its ±1 SE band, and the error and its direction in the title.
//
// Usage:
//   chart::DriftChart c = assistant_chart(s.assistant);      // for a widget
//   chart::ChartGuiGuard gui;                                // a headless program only
//   write_assistant_chart("drift.svg", s.assistant, 1200, 800, &error);  // .svg or .png
#pragma once

#include <string>

#include "chart/drift_chart.hpp"
#include "core/drift_assistant.hpp"

namespace trakora::report {

chart::DriftChart assistant_chart(const DriftAssistant& assistant,
                                  chart::ChartStyle style = chart::ChartStyle::light);

// The chart's title alone: "極軸のずれ 3.1′ ± 0.4′ 西 (方位)", or what is known so far.
std::string assistant_chart_title(const DriftSummary& summary);

// PNG or SVG by the path's extension, written under a temporary name and renamed. Needs a
// QGuiApplication (chart::ChartGuiGuard in a headless program).
bool write_assistant_chart(const std::string& path, const DriftAssistant& assistant, int width,
                           int height, std::string* error);

}  // namespace trakora::report
