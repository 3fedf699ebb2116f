// SPDX-License-Identifier: MIT
#include "chart/drift_chart.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace trakora::chart {

double fit_value(const FitLine& fit, double minutes) {
    return fit.intercept + fit.slope * (minutes - fit.origin_minutes);
}

double fit_band_half_width(const FitLine& fit, double minutes) {
    const double d = minutes - fit.origin_minutes;
    const double variance = fit.intercept_se * fit.intercept_se +
                            d * d * fit.slope_se * fit.slope_se + 2 * d * fit.covariance;
    // A covariance a little too large for its standard errors (rounding in the caller's
    // fit) must not turn the band into NaN: it only narrows to zero.
    if (std::isnan(variance)) return std::numeric_limits<double>::quiet_NaN();
    return std::sqrt(std::max(variance, 0.0));
}

}  // namespace trakora::chart
