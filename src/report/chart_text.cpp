// SPDX-License-Identifier: MIT
#include "report/chart_text.hpp"

#include <cmath>

#include "base/number_text.hpp"

namespace trakora::report {
namespace {

std::string arcmin(double value, int decimals = 1) { return fixed_text(value, decimals) + "′"; }

const char* direction_word(ErrorDirection direction) {
    switch (direction) {
        case ErrorDirection::east:
            return "east";
        case ErrorDirection::west:
            return "west";
        case ErrorDirection::high:
            return "too high";
        case ErrorDirection::low:
            break;
    }
    return "too low";
}

std::string drift_axis_label(const DriftChartCaption& c) {
    const char* unit = c.arcsec ? "(″)" : "(px)";
    return std::string(c.air_removed ? "North drift, refraction removed " : "Drift toward north ") +
           unit;
}

std::string drift_chart_subtitle(const DriftChartCaption& c, const DriftSummary& s) {
    std::string text = std::to_string(s.used) + "/" + std::to_string(s.images) + " images used · " +
                       fixed_text(s.minutes, 1) + " min";
    if (s.knob_arcmin) text += " · azimuth knob " + arcmin(*s.knob_arcmin);
    switch (c.progress) {
        case DriftChartCaption::Progress::enough:
            text += " · measured enough";
            break;
        case DriftChartCaption::Progress::minutes_left:
            text +=
                " · about " + fixed_text(std::ceil(s.minutes_needed.value_or(0)), 0) + " min to go";
            break;
        case DriftChartCaption::Progress::none:
            break;
    }
    return text;
}

}  // namespace

std::string drift_chart_title(const DriftChartCaption& c, const DriftSummary& s) {
    switch (c.title) {
        case DriftChartCaption::Title::error: {
            std::string title = "Polar error " + arcmin(s.error_arcmin.value_or(0), c.decimals);
            if (s.error_se_arcmin) title += " ± " + arcmin(*s.error_se_arcmin, c.decimals);
            if (s.direction) title += std::string(", ") + direction_word(*s.direction);
            if (s.component) title += std::string(" (") + component_name(*s.component) + ")";
            return title;
        }
        case DriftChartCaption::Title::north_drift:
            return "Drift toward north " + fixed_text(s.north_arcsec_per_min.value_or(0), 2) +
                   "″/min (hour angle unknown)";
        case DriftChartCaption::Title::measuring_in_pixels:
            return "Measuring the drift (scale unknown)";
        case DriftChartCaption::Title::measuring:
            break;
    }
    return "Measuring the drift";
}

void drift_chart_in_english(chart::DriftChart& chart, const DriftChartCaption& c,
                            const DriftSummary& s) {
    chart.title = drift_chart_title(c, s);
    chart.subtitle = c.counted ? drift_chart_subtitle(c, s) : std::string();
    chart.x_label = "Elapsed time (min)";
    chart.y_label = drift_axis_label(c);
    chart.legend = {"Measured", "Left out", "Earlier segment", "Fit ±1 SE"};
    chart.no_points = "No measurements yet";
}

void pole_target_in_english(chart::PoleTarget& target, std::optional<double> total_arcmin) {
    target.title = "Where the polar axis points";
    target.subtitle = total_arcmin ? "total " + arcmin(*total_arcmin) : std::string();
    target.x_label = "azimuth (′)";
    target.y_label = "altitude (′)";
    target.west = "west";
    target.east = "east";
    target.high = "high";
    target.low = "low";
}

}  // namespace trakora::report
