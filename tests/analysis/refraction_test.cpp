// SPDX-License-Identifier: MIT
// The star's place and the air's lift against worked values: Saemundsson's formula at a
// few altitudes and airs, the place of a star on the meridian and one 20 degrees above
// the eastern horizon, the north drift refraction alone gives stars rising and setting
// in both hemispheres, and ERFA's sidereal time against the program's own.
#include "analysis/refraction.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "fits/observation_time.hpp"

namespace trakora {
namespace {

struct LiftRow {
    const char* name;
    double altitude_deg;
    Air air;
    double arcmin;
};

TEST(Refraction, SaemundssonScaledByTheAir) {
    const LiftRow rows[] = {
        {"altitude_20", 20, {}, 2.74120},
        {"altitude_30", 30, {}, 1.74599},
        {"zenith_a_tenth_of_an_arcsecond_below", 90, {}, -0.00193},
        {"cold_and_thin_air_at_45", 45, {-10, 900}, 0.97104},
    };
    for (const LiftRow& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_NEAR(refraction_arcmin(row.altitude_deg, row.air), row.arcmin, 1e-5);
    }
    EXPECT_NEAR(refracted_pole_raise_arcmin(50, {}), 0.85023, 1e-5);
    EXPECT_NEAR(refracted_pole_raise_arcmin(-35, {}), 1.44290, 1e-5);
}

TEST(StarPlace, AltitudeAzimuthAndParallacticAngle) {
    // On the meridian at the equator from 50 degrees north: 40 up, due south, q = 0.
    const StarPlace meridian = star_place(0, 0, 50);
    EXPECT_NEAR(meridian.altitude_deg, 40, 1e-9);
    EXPECT_NEAR(meridian.azimuth_deg, 180, 1e-9);
    EXPECT_NEAR(meridian.parallactic_deg, 0, 1e-9);
    // cos H = sin 20 / cos 50 puts it 20 degrees up in the east, where
    // tan q = sin H / (tan 50 cos 0 - sin 0 cos H): q = -35.392 degrees.
    const StarPlace east = star_place(-3.856887, 0, 50);
    EXPECT_NEAR(east.altitude_deg, 20, 1e-4);
    EXPECT_LT(east.azimuth_deg, 180);
    EXPECT_NEAR(east.parallactic_deg, -35.392, 1e-3);
}

struct DriftRow {
    const char* name;
    double ha_hours, dec_deg, lat_deg;
    double arcsec_per_min;  // differenced from R(h) cos q by hand
};

class RefractionDrift : public ::testing::TestWithParam<DriftRow> {};

TEST_P(RefractionDrift, NorthComponentAsTheStarMoves) {
    const DriftRow& row = GetParam();
    EXPECT_NEAR(refraction_north_drift_arcsec_per_min(row.ha_hours, row.dec_deg, row.lat_deg, {}),
                row.arcsec_per_min, 2e-3);
}

// Rising, the lift shrinks and the star sinks toward the pole's far side; setting, the
// reverse: "too low" on both sides of the meridian, in both hemispheres.
INSTANTIATE_TEST_SUITE_P(Stars, RefractionDrift,
                         ::testing::Values(DriftRow{"north_east_20", -3.856887, 0, 50, -0.8989},
                                           DriftRow{"north_east_30", -2.595651, 0, 50, -0.3214},
                                           DriftRow{"north_meridian", 0, 0, 50, 0},
                                           DriftRow{"south_east_20", -4.354753, 0, -35, 0.9205},
                                           DriftRow{"south_west_30_dec_minus20", 4.450158, -20, -35,
                                                    -0.4509}),
                         [](const auto& row_info) { return std::string(row_info.param.name); });

// ERFA's IAU 2006 mean sidereal time and the program's linear one agree within a second
// of time over the decades a night may be in.
TEST(SiderealTime, ErfaAgreesWithTheProgramsOwn) {
    EXPECT_NEAR(greenwich_sidereal_hours_erfa(946728000), 18.697374558, 1.0 / 3600);  // J2000
    for (double unix_s : {946728000.0, 1'800'000'000.0, 2'200'000'000.0, 1'500'000'000.0}) {
        const double d = std::remainder(
            greenwich_sidereal_hours_erfa(unix_s) - greenwich_sidereal_hours(unix_s), 24);
        EXPECT_LT(std::abs(d), 1.0 / 3600) << unix_s;
    }
}

}  // namespace
}  // namespace trakora
