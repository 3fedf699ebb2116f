// SPDX-License-Identifier: MIT
// The charts' words in English, as trakora-cli replay --plot and --plot-target draw them:
// the drift chart's from its caption and the summary's numbers, the pole target's fixed
// words with the total under the title.
#pragma once

#include <optional>
#include <string>

#include "chart/drift_chart.hpp"
#include "chart/pole_target.hpp"
#include "report/assistant_chart.hpp"

namespace trakora::report {

// "Polar error 3.1′ ± 0.4′, west (azimuth)", "Drift toward north -0.50″/min (hour angle
// unknown)", "Measuring the drift".
std::string drift_chart_title(const DriftChartCaption& caption, const DriftSummary& summary);

// The title, the subtitle when the caption counts images ("40/42 images used · 6.0 min ·
// measured enough"), the axis labels, the legend and the empty plot's note.
void drift_chart_in_english(chart::DriftChart& chart, const DriftChartCaption& caption,
                            const DriftSummary& summary);

// The title, axis labels and ends, and "total 3.4′" under the title when there is a total.
void pole_target_in_english(chart::PoleTarget& target, std::optional<double> total_arcmin);

}  // namespace trakora::report
