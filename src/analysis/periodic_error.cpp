// SPDX-License-Identifier: MIT
#include "analysis/periodic_error.hpp"

#include <cmath>
#include <cstddef>
#include <numbers>
#include <vector>

#include "analysis/periodic_motion.hpp"

namespace trakora {

void add_periodic_error(DriftSummary& s, const DriftFit& fit, std::span<const DriftSample> points) {
    if (!s.angle_deg || !s.mirror || !s.scale_arcsec_per_px || !s.dec_deg) return;
    const double cos_dec = std::cos(*s.dec_deg * std::numbers::pi / 180);
    if (cos_dec < 1e-3) return;
    const Orientation o{*s.angle_deg, *s.mirror};
    const AxisFit east = east_fit(fit, o);
    if (!east.rate_per_min || !east.intercept) return;
    const ScreenDirections d = screen_directions(o);
    std::vector<double> minutes, residuals;
    for (std::size_t k = 0; k < points.size() && k < fit.excluded.size(); ++k) {
        if (fit.excluded[k] != Exclusion::none) continue;
        const double t = points[k].minutes - fit.origin_minutes;
        minutes.push_back(t);
        residuals.push_back(d.east_x * points[k].x + d.east_y * points[k].y -
                            (*east.intercept + *east.rate_per_min * t));
    }
    if (const auto p = periodic_motion(minutes, residuals)) {
        s.pe_arcsec = p->peak_to_peak * *s.scale_arcsec_per_px / cos_dec;
        s.pe_period_min = p->period_min;
    }
}

}  // namespace trakora
