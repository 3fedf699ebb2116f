// SPDX-License-Identifier: MIT
// Pieces of the polar error: the image's orientation, the component a star measures, and
// the report's rules on worked fits. Where each geometry value comes from is in
// geometry_test.cpp; the whole chain against the exact mount in the simulated camera's
// tests.
#include "analysis/polar_error.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

namespace trakora {
namespace {

TEST(PolarErrorOrientation, NorthAndEastFromPixelRates) {
    // The star moves 0.1 px/min right and 0.2 px/min down; 2 arcsec per pixel.
    struct Row {
        const char* name;
        Orientation o;
        double north, east;
    };
    const std::vector<Row> rows = {
        {"north_up", {0, false}, -0.4, -0.2},        {"north_down", {180, false}, 0.4, 0.2},
        {"north_left", {270, false}, -0.2, 0.4},     {"north_right", {90, false}, 0.2, -0.4},
        {"north_up_mirrored", {0, true}, -0.4, 0.2},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const SkyRate s = sky_rate(0.1, 0.2, 2, r.o);
        EXPECT_NEAR(s.north, r.north, 1e-12);
        EXPECT_NEAR(s.east, r.east, 1e-12);
    }
    EXPECT_EQ(north_named("left"), 270);
    EXPECT_FALSE(north_named("north"));
}

TEST(PolarErrorAxis, ByDistanceFromTheMeridian) {
    const std::vector<std::pair<double, Component>> rows = {
        {0, Component::azimuth},   {-2, Component::azimuth},    {2.5, Component::mixed},
        {-4, Component::altitude}, {6, Component::altitude},    {-8, Component::altitude},
        {9, Component::mixed},     {-11.5, Component::azimuth}, {23, Component::azimuth}};
    for (const auto& [ha, axis] : rows)
        EXPECT_EQ(read_component(ha).component, axis) << "ha " << ha;
}

// ---------------------------------------------------------------------------------------
// The report on worked fits.

DriftFit fit_of(double rate_y, std::optional<double> se_y, double minutes, std::size_t n = 20) {
    DriftFit fit;
    fit.images = fit.used = n;
    fit.elapsed_minutes = minutes;
    fit.x.rate_per_min = 0;
    fit.y.rate_per_min = rate_y;
    fit.y.rate_se_per_min = se_y;
    fit.y.r2 = 0.9;
    fit.y.residual_rms = 0.5;
    // The sums the projections are read from, agreeing with the figures above.
    const double count = static_cast<double>(n);
    fit.spread.n = count;
    fit.spread.ryy = 0.25 * count;
    fit.spread.stt = se_y ? fit.spread.ryy / ((count - 2) * *se_y * *se_y) : 1;
    fit.spread.tyy = fit.spread.ryy / (1 - 0.9);
    return fit;
}

Geometry meridian(double lat) {
    Geometry g;
    g.scale_arcsec_per_px = 1;
    g.ha_hours = 0;
    g.lat_deg = lat;
    g.angle_source = AngleSource::typed;
    return g;
}

TEST(PolarErrorReport, WorkedAzimuthFitInBothHemispheres) {
    // 1 px/min up on the image, 1"/px: north at 1"/min -> 1 / 0.26252 = 3.809' west; the
    // fit's 0.190' and the reading's 1 % of it, 0.038', give 0.194'.
    const DriftSummary s = drift_summary(fit_of(-1, 0.05, 10), meridian(60));
    EXPECT_EQ(s.component, Component::azimuth);
    EXPECT_NEAR(*s.north_arcsec_per_min, 1, 1e-12);
    EXPECT_NEAR(*s.error_arcmin, 3.809, 1e-3);
    EXPECT_NEAR(*s.error_se_arcmin, std::hypot(0.1905, 0.0381), 1e-3);
    EXPECT_EQ(s.direction, ErrorDirection::west);
    EXPECT_NEAR(*s.knob_arcmin, 2 * 3.809, 2e-3);  // cos 60 = 1/2
    EXPECT_NEAR(*s.seeing_arcsec, 0.5, 1e-12);
    EXPECT_EQ(s.enough, true);
    EXPECT_EQ(s.minutes_needed, 0);

    const DriftSummary south = drift_summary(fit_of(-1, 0.05, 10), meridian(-30));
    EXPECT_EQ(south.direction, ErrorDirection::east);
}

TEST(PolarErrorReport, EnoughNeedsThreeMinutesAndASmallStandardError) {
    // Good standard error, too short: the rest of three minutes.
    const DriftSummary short_run = drift_summary(fit_of(-1, 0.05, 2), meridian(50));
    EXPECT_EQ(short_run.enough, false);
    EXPECT_NEAR(*short_run.minutes_needed, 1, 1e-9);
    // The fit's SE 2' against a 3.8' error: target 1' less the reading's 0.038' in
    // quadrature, the fit's SE falls as t^-3/2: 4 min x (2 / 0.99928)^(2/3).
    const double se_px = 2 * kArcsecPerMinPerArcmin;
    const DriftSummary noisy = drift_summary(fit_of(-1, se_px, 4), meridian(50));
    EXPECT_EQ(noisy.enough, false);
    const double fit_target = std::sqrt(1 - std::pow(0.01 / kArcsecPerMinPerArcmin, 2));
    EXPECT_NEAR(*noisy.minutes_needed, 4 * std::pow(2.0 / fit_target, 2.0 / 3.0) - 4, 1e-9);
    // Large error: 10 % of it is the target.
    const DriftSummary large = drift_summary(
        fit_of(-30 * kArcsecPerMinPerArcmin, 2.5 * kArcsecPerMinPerArcmin, 5), meridian(50));
    EXPECT_NEAR(*large.error_arcmin, 30, 1e-9);
    EXPECT_EQ(large.enough, true);
}

TEST(PolarErrorReport, AltitudeMixedAndUnknowns) {
    Geometry east = meridian(50);
    east.ha_hours = -6;
    const DriftSummary high = drift_summary(fit_of(-1, 0.05, 10), east);
    EXPECT_EQ(high.component, Component::altitude);
    EXPECT_EQ(high.direction, ErrorDirection::high);
    EXPECT_FALSE(high.knob_arcmin);

    Geometry between = meridian(50);
    between.ha_hours = 3;
    const DriftSummary mixed = drift_summary(fit_of(-1, 0.05, 10), between);
    EXPECT_EQ(mixed.component, Component::mixed);
    EXPECT_FALSE(mixed.notes.empty());

    Geometry nothing;
    const DriftSummary unknown = drift_summary(fit_of(-1, 0.05, 10), nothing);
    EXPECT_FALSE(unknown.north_arcsec_per_min || unknown.error_arcmin || unknown.direction ||
                 unknown.enough || unknown.minutes_needed || unknown.seeing_arcsec);
    EXPECT_TRUE(unknown.r2);

    DriftFit single = fit_of(0, std::nullopt, 0, 1);
    single.x.rate_per_min.reset();
    single.y.rate_per_min.reset();
    const DriftSummary one = drift_summary(single, meridian(50));
    EXPECT_FALSE(one.north_arcsec_per_min || one.error_arcmin || one.r2);
    EXPECT_FALSE(one.notes.empty());

    const DriftSummary two = drift_summary(fit_of(-1, std::nullopt, 1, 2), meridian(50));
    EXPECT_TRUE(two.error_arcmin);
    EXPECT_FALSE(two.error_se_arcmin);
    EXPECT_EQ(two.enough, false);
}

// The RA line is read from the star's motion only when a periodic motion stands out along
// it: a star on whole pixels drifting along x draws a steady sawtooth there (its pixel
// phase, up to half a pixel, goes into the standard error), which is no RA line; the
// drive's periodic error along y is. North lies right; the coarse north is within 45
// degrees of the line each motion would give.
TEST(PolarErrorReport, RaLineFromAPeriodicMotionNeverFromPixelSteps) {
    struct Row {
        const char* name;
        double pe_px;  // the periodic error's amplitude along y
        double coarse_deg;
        bool refined;
    };
    for (const Row row :
         {Row{"steady_sawtooth", 0, 0, false}, Row{"periodic_error", 3, 70, true}}) {
        SCOPED_TRACE(row.name);
        std::vector<DriftSample> samples;
        for (int k = 0; k < 61; ++k) {
            const double t = 0.5 * k, wobble = 0.02 * std::sin(7.1 * k);
            samples.push_back({t, std::round(100 + 3.1 * t + 0.03 * std::cos(5.3 * k)),
                               50 + wobble + row.pe_px * std::sin(t)});
        }
        const DriftFit fit = fit_drift(samples);
        Geometry g = meridian(50);
        g.angle_source = AngleSource::coarse;
        g.orientation.north_deg = row.coarse_deg;
        const DriftSummary s = drift_summary(fit, g);
        EXPECT_NEAR(fit.pixel_phase_x_px, 0.5, 0.05);
        EXPECT_EQ(s.angle_source, row.refined ? AngleSource::refined : AngleSource::coarse);
        EXPECT_NEAR(*s.angle_deg, row.refined ? 90 : row.coarse_deg, 1);
        EXPECT_EQ(s.enough, row.refined);
    }
}

}  // namespace
}  // namespace trakora
