// SPDX-License-Identifier: MIT
// The drive's periodic error from a segment: the star's RA wobble about its line, on the
// RA axis, in arcseconds; none where the summary lacks what reads it.
#include "analysis/periodic_error.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace trakora {
namespace {

// North up: RA runs along x. A wobble of 1 px each way every 8 minutes over 40 minutes,
// at 2"/px and declination 60 (cos 0.5): 8" peak to peak on the axis.
TEST(PeriodicError, IsTheRaWobbleOnTheAxis) {
    std::vector<DriftSample> points;
    for (int k = 0; k <= 80; ++k) {
        const double t = 0.5 * k;
        points.push_back({t, 100 + std::sin(2 * std::numbers::pi * t / 8), 50 + 0.2 * t, false});
    }
    const DriftFit fit = fit_drift(points);
    DriftSummary s;
    s.angle_deg = 0;
    s.mirror = false;
    s.scale_arcsec_per_px = 2;
    s.dec_deg = 60;
    add_periodic_error(s, fit, points);
    ASSERT_TRUE(s.pe_arcsec && s.pe_period_min);
    EXPECT_NEAR(*s.pe_arcsec, 8, 0.6);
    EXPECT_NEAR(*s.pe_period_min, 8, 0.3);

    // At the pole the axis's wobble does not move the star; without an angle, no RA line.
    DriftSummary at_pole = s, without_angle = s;
    at_pole.dec_deg = 89.99;
    without_angle.angle_deg.reset();
    for (DriftSummary none : {at_pole, without_angle}) {
        none.pe_arcsec.reset();
        add_periodic_error(none, fit, points);
        EXPECT_FALSE(none.pe_arcsec);
    }
}

}  // namespace
}  // namespace trakora
