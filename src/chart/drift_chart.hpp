// SPDX-License-Identifier: MIT
// What the drift chart shows: the star's drift against elapsed minutes, segment by segment,
// with the current segment's straight-line fit and its ±1 SE band. Plain values; the
// caller fills them from whatever it measured and writes the texts it wants shown.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace trakora::chart {

struct DriftPoint {
    double minutes = 0;    // elapsed time of the image
    double value = 0;      // drift in the y-axis unit (arcseconds north, or pixels)
    bool flagged = false;  // left out of the fit: drawn hollow
    int segment = 0;       // points of other segments than the current one are drawn faded
};

// value(t) = intercept + slope · (t − origin_minutes), drawn from start to end minutes.
// The band's half-width at t is the standard error of the fitted value there:
//   sqrt(intercept_se² + (t − origin)² · slope_se² + 2 · (t − origin) · covariance).
// With the origin at the mean time of the fitted points, intercept and slope are
// uncorrelated and the covariance is 0; with the origin elsewhere (the segment's first
// time, say) give cov(intercept, slope) as the fit reports it.
struct FitLine {
    double start_minutes = 0;
    double end_minutes = 0;
    double origin_minutes = 0;
    double intercept = 0;
    double slope = 0;  // y-axis unit per minute
    double intercept_se = 0;
    double slope_se = 0;
    double covariance = 0;
};

enum class ChartStyle {
    light,  // white paper: files and daylight
    night,  // dark, for a screen at the telescope
};

struct DriftChart {
    std::vector<DriftPoint> points;  // non-finite ones are skipped
    int current_segment = 0;
    std::optional<FitLine> fit;  // of the current segment; not drawn when not finite
    ChartStyle style = ChartStyle::light;
    // The words, UTF-8 in the caller's language; an empty title, subtitle or label takes no
    // room.
    std::string title;     // e.g. the error and its direction
    std::string subtitle;  // optional second line
    std::string x_label;   // e.g. "Elapsed time (min)"
    std::string y_label;   // e.g. "Drift toward north (″)", or pixels when no scale is known
    struct Legend {
        std::string point;    // the current segment's points
        std::string flagged;  // hollow ones, left out of the fit
        std::string earlier;  // faded ones, of the other segments
        std::string fit;      // the fit line with its band
    } legend;
    std::string no_points;  // across the plot while there is nothing to draw
};

// The fitted value and the band's half-width at `minutes` (NaN when they are not finite).
double fit_value(const FitLine& fit, double minutes);
double fit_band_half_width(const FitLine& fit, double minutes);

}  // namespace trakora::chart
