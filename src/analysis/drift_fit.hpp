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
};

// Least squares of x and y against minutes over the samples. Flagged samples are left
// out; then samples whose residual on either axis exceeds 4 x that axis's residual RMS
// are left out and the line fitted once more.
DriftFit fit_drift(std::span<const DriftSample> samples);

}  // namespace trakora
