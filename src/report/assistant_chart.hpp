// SPDX-License-Identifier: MIT
// The drift assistant's session as a drift chart: the star's drift toward north in
// arcseconds (pixels when no plate scale is known) against minutes, every segment's
// points (earlier segments faded, flagged and outlying points hollow), the current
// segment's fit with its ±1 SE band; and what its words say, as a caption of codes that
// each face words in its own language (chart_text.hpp in English).
//
// Usage:
//   chart::DriftChart c = assistant_chart(s.assistant);      // numbers, no words yet
//   drift_chart_in_english(c, assistant_chart_caption(s.assistant), summary);
//   chart::ChartGuiGuard gui;                                // a headless program only
//   write_assistant_chart("drift.svg", s.assistant, 1200, 800, &error);  // .svg or .png
#pragma once

#include <string>

#include "chart/drift_chart.hpp"
#include "session/drift_assistant.hpp"

namespace trakora::report {

// What the chart's title, subtitle and drift axis speak of; the numbers they give are the
// summary's.
struct DriftChartCaption {
    enum class Title {
        measuring,            // nothing to give yet
        measuring_in_pixels,  // rates in pixels only: no plate scale
        north_drift,          // the north drift: the hour angle is not known
        error,                // the error, with its standard error, direction and component
                              // where the summary has them
    };
    Title title = Title::measuring;
    int decimals = 1;          // of the error and its standard error: 2 when the SE would show 0.0
    bool arcsec = false;       // the drift axis in arcseconds, else in pixels
    bool air_removed = false;  // the air's own drift taken off the drift
    bool counted = false;      // the subtitle counts the images (there are some)
    enum class Progress { none, enough, minutes_left } progress = Progress::none;
};

// The caption from the summary, whether the plate scale is known and whether there are
// images.
DriftChartCaption drift_chart_caption(const DriftSummary& summary, bool scale_known,
                                      bool any_images);
DriftChartCaption assistant_chart_caption(const DriftAssistant& assistant);

// The points and the fit; the words are left empty.
chart::DriftChart assistant_chart(const DriftAssistant& assistant,
                                  chart::ChartStyle style = chart::ChartStyle::light);

// PNG or SVG by the path's extension, in English, written under a temporary name and
// renamed. Needs a QGuiApplication (chart::ChartGuiGuard in a headless program).
bool write_assistant_chart(const std::string& path, const DriftAssistant& assistant, int width,
                           int height, std::string* error);

}  // namespace trakora::report
