// SPDX-License-Identifier: MIT
// The drift chart as a PNG or an SVG file, written as picture_files.hpp writes pictures:
// through a temporary file renamed over the target, nothing left behind on failure, and a
// QGuiApplication needed for the text (see chart_gui_guard.hpp). On failure `error`, when
// given, receives an English sentence naming the file.
#pragma once

#include <QSize>
#include <string>

#include "chart/drift_chart.hpp"

namespace trakora::chart {

inline constexpr QSize kDefaultChartSize{1200, 800};

// PNG or SVG by the path's extension (".png", ".svg", in any case); any other extension,
// or none, is refused before anything is written.
bool write_drift_chart(const std::string& path, const DriftChart& chart, QSize size,
                       std::string* error);

}  // namespace trakora::chart
