// SPDX-License-Identifier: MIT
// The drift chart as a PNG or an SVG file. Each writer paints into a temporary file in
// the target's folder and renames it over the target, so a watcher never sees half a file
// and a failed write leaves nothing behind. They need a QGuiApplication (see
// chart_gui_guard.hpp); without one they fail with a message. On failure `error`, when
// given, receives an English sentence naming the file.
#pragma once

#include <QSize>
#include <string>

#include "chart/drift_chart.hpp"

namespace trakora::chart {

inline constexpr QSize kDefaultChartSize{1200, 800};

bool write_drift_chart_png(const std::string& path, const DriftChart& chart, QSize size,
                           std::string* error);
bool write_drift_chart_svg(const std::string& path, const DriftChart& chart, QSize size,
                           std::string* error);

// PNG or SVG by the path's extension (".png", ".svg", in any case); any other extension,
// or none, is refused before anything is written.
bool write_drift_chart(const std::string& path, const DriftChart& chart, QSize size,
                       std::string* error);

}  // namespace trakora::chart
