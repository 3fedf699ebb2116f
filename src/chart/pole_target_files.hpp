// SPDX-License-Identifier: MIT
// The pole target as a PNG or an SVG file, written as the drift chart's files are (see
// picture_files.hpp): through a temporary file, nothing left behind on failure, and a
// QGuiApplication needed for the text.
#pragma once

#include <QSize>
#include <string>

#include "chart/pole_target.hpp"

namespace trakora::chart {

inline constexpr QSize kDefaultPoleTargetSize{900, 900};

// PNG or SVG by the path's extension (".png", ".svg", in any case); any other is refused.
bool write_pole_target(const std::string& path, const PoleTarget& target, QSize size,
                       std::string* error);

}  // namespace trakora::chart
