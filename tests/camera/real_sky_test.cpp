// SPDX-License-Identifier: MIT
// The simulated mount under a real sky, against worked numbers: the drive's periodic and
// rate errors move the star along RA only, the hand controller's moves jump it the
// opposite way, a turned camera turns the drift with it, the air's lift gives the north
// drift the analysis expects of it, and the plate solution the camera writes reads back
// as the orientation it was given.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "analysis/refraction.hpp"
#include "camera/simulated_image.hpp"
#include "fits/plate_solution.hpp"

namespace trakora::camera {
namespace {

constexpr double kArcsecPerRad = 180 * 3600 / M_PI;

struct DriveRow {
    const char* name;
    MountSetup mount;
    double minutes;
    double east_arcsec;  // worked by hand
};

// A perfect axis: whatever the drive does stays in RA; north moves only by the small
// circle's bend, a thousandth of an arcsecond.
TEST(SimulatedDrive, PeriodicAndRateErrorsMoveTheStarAlongRa) {
    auto with = [](double dec, double rate, double pe, double phase) {
        MountSetup m{.dec_deg = dec, .ha_hours = -1};
        m.track_rate_permille = rate;
        m.pe_arcsec = pe;
        m.pe_period_min = 8;
        m.pe_phase_deg = phase;
        return m;
    };
    const DriveRow rows[] = {
        // A quarter period from phase 0: the axis a full 10" ahead, the star 10" east.
        {"pe_quarter_period", with(0, 0, 10, 0), 2, 10},
        {"pe_from_its_peak", with(0, 0, 10, 90), 4, -20},
        {"pe_at_dec_60_halved", with(60, 0, 10, 0), 2, 5},
        // 1 per mille of 2 pi in 10 / 1436.068 of a sidereal day: 9.0247".
        {"rate_fast", with(0, 1, 0, 0), 10,
         2 * M_PI * 10 / kSiderealDayMinutes * 1e-3 * kArcsecPerRad},
        {"rate_slow_dec_minus_40", with(-40, -2, 0, 0), 10,
         -2 * 2 * M_PI * 10 / kSiderealDayMinutes * 1e-3 * kArcsecPerRad *
             std::cos(40 * M_PI / 180)},
    };
    for (const DriveRow& row : rows) {
        SCOPED_TRACE(row.name);
        const SkyOffset o = tracked_star_offset(row.mount, row.minutes);
        EXPECT_NEAR(o.east_arcsec, row.east_arcsec, 1e-4);
        EXPECT_NEAR(o.north_arcsec, 0, 1e-3);
    }
}

SimulateOptions still_sky() {
    SimulateOptions o;
    o.drift_y_per_min = 0;
    o.seeing = 0;
    o.interval_s = 60;
    return o;
}

struct ScreenRow {
    const char* name;
    SimulateOptions options;
    long from, to;  // images
    double dx, dy;  // pixels, worked by hand
};

// Where the star goes on the screen between two images.
TEST(SimulatedScreen, MovesAndTurnsAsTheCameraSeesThem) {
    auto make = [](auto change) {
        SimulateOptions o = still_sky();
        change(o);
        return o;
    };
    const Nudge north_30{{30, 0}, 2}, east_30{{0, 30}, 2};
    const ScreenRow rows[] = {
        // Moved north by 30" at 1.5"/px, north up: the star jumps 20 px down.
        {"nudge_north", make([&](SimulateOptions& o) { o.nudges = {north_30}; }), 1, 2, 0, 20},
        // Moved east: the star goes west, which is right when east is left.
        {"nudge_east", make([&](SimulateOptions& o) { o.nudges = {east_30}; }), 1, 2, 20, 0},
        {"nudge_east_mirrored", make([&](SimulateOptions& o) {
             o.nudges = {east_30};
             o.orientation.mirror = true;
         }),
         1, 2, -20, 0},
        {"nudge_kept_after", make([&](SimulateOptions& o) { o.nudges = {north_30}; }), 2, 5, 0, 0},
        // North turned to the right: a north drift (10' west on the meridian, 2.625"/min
        // for ten minutes) goes right instead of up.
        {"north_up_drift", make([](SimulateOptions& o) { o.az_offset_arcmin = 10; }), 0, 10, 0,
         -17.5},
        {"rotation_90_drift", make([](SimulateOptions& o) {
             o.az_offset_arcmin = 10;
             o.orientation.north_deg = 90;
         }),
         0, 10, 17.5, 0},
    };
    for (const ScreenRow& row : rows) {
        SCOPED_TRACE(row.name);
        const SkyParams params = sky_params(row.options);
        const SkyField field = make_sky_field(params);
        const Position a = drift_position(params, field, row.from),
                       b = drift_position(params, field, row.to);
        // The meridian drift's own curvature and the north rate's 1 % fall over the ten
        // minutes stay within a tenth of a pixel.
        EXPECT_NEAR(b.x - a.x, row.dx, 0.15);
        EXPECT_NEAR(b.y - a.y, row.dy, 0.15);
    }
}

struct AirRow {
    const char* name;
    double lat, dec, ha;  // ha at the middle of the span
};

class SimulatedAir : public ::testing::TestWithParam<AirRow> {};

// The refracted star's north offset over four minutes, against the drift the analysis
// derives from R(h) cos q at the span's middle: the same sky, one by vectors, one by
// angles.
TEST_P(SimulatedAir, RefractedStarDriftsAsTheAnalysisSays) {
    const AirRow& row = GetParam();
    const double minutes = 4;
    MountSetup m{.lat_deg = row.lat, .dec_deg = row.dec};
    m.ha_hours = row.ha - minutes / 2 * 24 / kSiderealDayMinutes;
    m.refraction = true;
    m.temperature_c = -5;
    m.pressure_hpa = 980;
    const double simulated = tracked_star_offset(m, minutes).north_arcsec / minutes;
    const double analysed =
        refraction_north_drift_arcsec_per_min(row.ha, row.dec, row.lat, {-5, 980});
    EXPECT_NEAR(simulated, analysed, 0.01 * std::abs(analysed) + 2e-3);
}

INSTANTIATE_TEST_SUITE_P(Stars, SimulatedAir,
                         ::testing::Values(AirRow{"north_east_20", 50, 0, -3.856887},
                                           AirRow{"north_west_30", 50, 0, 2.595651},
                                           AirRow{"north_meridian", 50, 20, 0},
                                           AirRow{"north_east_20_dec30", 50, 30, -6.281600},
                                           AirRow{"south_east_20", -35, 0, -4.354753},
                                           AirRow{"south_west_30", -35, -20, 4.450158},
                                           AirRow{"south_meridian", -35, -20, 0}),
                         [](const auto& row_info) { return std::string(row_info.param.name); });

// The header's plate solution read back by wcslib gives the camera's own orientation.
TEST(SimulatedPlateSolution, ReadsBackAsTheOrientationGiven) {
    for (double north : {0.0, 37.0, 123.0, 270.0, 359.0})
        for (bool mirror : {false, true}) {
            SCOPED_TRACE(std::to_string(north) + (mirror ? " mirrored" : ""));
            SimulateOptions o = still_sky();
            o.wcs = true;
            o.orientation = {north, mirror};
            o.scale_arcsec_per_px = 2.2;
            o.dec_deg = 35;
            SkyParams params = sky_params(o);
            params.mount.ra_hours = 7.5;
            const ImageFile file =
                simulated_image_file(o, params, make_sky_field(params), 3, iso_time(0));
            const std::string_view header(reinterpret_cast<const char*>(file.bytes.data()),
                                          file.header_bytes);
            const PlateReading read = plate_solution(header);
            ASSERT_TRUE(read.solution) << plate_failure_name(read.failure);
            EXPECT_NEAR(std::remainder(read.solution->north_deg - north, 360), 0, 1e-6);
            EXPECT_EQ(read.solution->mirror, mirror);
            EXPECT_NEAR(read.solution->scale_arcsec_per_px, 2.2, 1e-6);
        }
}

}  // namespace
}  // namespace trakora::camera
