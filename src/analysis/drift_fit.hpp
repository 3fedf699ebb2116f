// SPDX-License-Identifier: MIT
// The drift fit: a straight line through the star's centroid against the clock, along
// both image axes.
//
// Usage:
//   std::vector<DriftSample> samples = ...;       // one per measurement, in order
//   DriftFit fit = fit_drift(segment_samples);    // one segment's samples, in order
//   if (fit.y.rate_per_min) ...                   // nullopt when the line is undefined
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace trakora {

struct DriftSample {
    double minutes = 0;  // on the clock, from any fixed origin
    double x = 0;        // centroid, pixels
    double y = 0;
    bool flagged = false;  // a measurement the star measurement did not trust
};

struct AxisFit {
    std::optional<double> rate_per_min;     // pixels per minute
    std::optional<double> rate_se_per_min;  // its standard error (needs three points)
    std::optional<double> r2;               // nullopt when the points do not vary
    std::optional<double> residual_rms;     // pixels: the seeing
    // Fitted position at minutes = `origin_minutes` of the DriftFit.
    std::optional<double> intercept;
};

enum class Exclusion { none, flagged, outlier };

// The sums both axes' lines leave behind over the used samples, from which the line of
// any projection a x + b y follows exactly: residuals and values about their means, as
// the quadratic forms of x and y, and the residuals' products with the next used one.
struct FitSpread {
    double n = 0, stt = 0;
    double rxx = 0, ryy = 0, rxy = 0;           // residual products
    double txx = 0, tyy = 0, txy = 0;           // value products about the mean
    double lxx = 0, lyy = 0, lxy = 0, lyx = 0;  // residual at i times residual at i + 1
};

struct DriftFit {
    AxisFit x, y;
    std::size_t images = 0;  // samples given
    std::size_t used = 0;    // samples in the final fit
    std::size_t flagged = 0;
    std::size_t outliers = 0;
    double origin_minutes = 0;        // the segment's first sample time
    double elapsed_minutes = 0;       // first to last used sample
    double mean_minutes = 0;          // mean time of the used samples, from origin_minutes
    std::vector<Exclusion> excluded;  // one per input sample
    FitSpread spread;                 // set when both axes' lines are defined
    // Set when both lines are defined: the used samples' times from origin_minutes and
    // their residuals, in order, and the centroid's pixel-phase error found along each
    // image axis (pixels; 0 where none stands out, see analysis/pixel_phase.hpp).
    std::vector<double> used_minutes, residual_x, residual_y;
    double pixel_phase_x_px = 0, pixel_phase_y_px = 0;
};

// Least squares of x and y against minutes over the samples. Flagged samples are left
// out; then samples whose residual on either axis exceeds 4 x that axis's residual RMS
// are left out and the line fitted once more.
DriftFit fit_drift(std::span<const DriftSample> samples);

// The line of the projection ux x + uy y (a unit direction on the screen) that the
// fit's two lines give: its rate, standard error, R², residual RMS and intercept. Along
// an image axis it is that axis's fit, to the last bit.
AxisFit projected_fit(const DriftFit& fit, double ux, double uy);

// The lag-one autocorrelation of that projection's residuals, nullopt with fewer than
// three residuals or none that vary.
std::optional<double> projected_autocorrelation(const DriftFit& fit, double ux, double uy);

}  // namespace trakora
