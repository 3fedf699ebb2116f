// SPDX-License-Identifier: MIT
#include "analysis/sky_patches.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "analysis/refraction.hpp"

namespace trakora {
namespace {

struct Site {
    const char* name;
    double lat_deg;
};

class SkyPlanAtSites : public ::testing::TestWithParam<Site> {};

void expect_stars_inside(const SkyPatch& patch, double lowest, double highest, int side) {
    EXPECT_LE(patch.stars.size(), 3u);
    for (std::size_t i = 0; i < patch.stars.size(); ++i) {
        const PatchStar& s = patch.stars[i];
        SCOPED_TRACE(std::string(s.name));
        EXPECT_LE(std::abs(s.dec_deg), 20);
        EXPECT_GE(s.altitude_deg, lowest);
        EXPECT_LE(s.altitude_deg, highest);
        if (side != 0) {
            EXPECT_GT(s.ha_hours * side, 0);
        }
        if (i > 0) {
            EXPECT_LE(patch.stars[i - 1].mag, s.mag) << "brightest first";
        }
    }
}

// Every patch keeps to its limits at every sidereal time, and the sides' patches lie as
// far from the meridian as the limits allow: ten minutes farther out, no declination
// within them stands 30 degrees high.
TEST_P(SkyPlanAtSites, PatchesKeepTheirLimitsAtAnyTime) {
    const double lat = GetParam().lat_deg;
    for (const double lst : {0.0, 5.5, 11.25, 17.0, 23.9}) {
        SCOPED_TRACE("sidereal time " + std::to_string(lst));
        const SkyPlan plan = sky_plan(lat, lst);
        ASSERT_TRUE(plan.azimuth && plan.altitude_east && plan.altitude_west);
        EXPECT_EQ(plan.azimuth->ha_hours, 0);
        // The equator stands 30 degrees high up to latitude 60; beyond, the highest
        // declination within the limits.
        EXPECT_EQ(plan.azimuth->dec_deg, std::abs(lat) <= 60 ? 0 : std::copysign(20, lat));
        EXPECT_GE(plan.azimuth->altitude_deg, 30);
        EXPECT_NEAR(plan.azimuth->ra_hours, lst, 1e-9);
        expect_stars_inside(*plan.azimuth, 30, 90, 0);
        for (const auto& [side, patch] :
             {std::pair{-1, *plan.altitude_east}, std::pair{1, *plan.altitude_west}}) {
            EXPECT_GT(patch.ha_hours * side, 0);
            EXPECT_LE(std::abs(patch.dec_deg), 20);
            EXPECT_GE(patch.altitude_deg, 30 - 1e-6);
            EXPECT_LE(patch.altitude_deg, 45);
            for (const double dec : {-20.0, -10.0, 0.0, 10.0, 20.0})
                EXPECT_LT(star_place(patch.ha_hours + side / 6.0, dec, lat).altitude_deg, 30);
            expect_stars_inside(patch, 30, 45, side);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(FromSouthToNorth, SkyPlanAtSites,
                         ::testing::Values(Site{"south_60", -60}, Site{"south_35", -35},
                                           Site{"equator", 0}, Site{"north_20", 20},
                                           Site{"north_50", 50}, Site{"north_65", 65}),
                         [](const auto& row_info) { return std::string(row_info.param.name); });

TEST(SkyPlan, BeyondSixtyTheMeridianPatchClimbsAndNearThePoleNothingFits) {
    const SkyPlan far_north = sky_plan(65, 3);
    ASSERT_TRUE(far_north.azimuth);
    EXPECT_EQ(far_north.azimuth->dec_deg, 20);
    EXPECT_NEAR(far_north.azimuth->altitude_deg, 45, 1e-9);
    for (const double lat : {85.0, -85.0}) {
        const SkyPlan pole = sky_plan(lat, 3);
        EXPECT_FALSE(pole.azimuth || pole.altitude_east || pole.altitude_west) << lat;
    }
}

// Worked by hand. The sidereal time at 2000-01-01T12:00:00 UTC is 18.6974 h at Greenwich,
// 19.6974 h at 15 degrees east. At latitude 35 and sidereal time 8.155 h, Procyon
// (7.6550 h, +5.2250 deg) is half an hour west of the meridian, at
// asin(sin 35 sin 5.225 + cos 35 cos 5.225 cos 7.5) = 59.43 degrees, 9 degrees from the
// patch at (8.155 h, 0): the brightest star near it.
TEST(SkyPlan, ProcyonHalfAnHourWest) {
    EXPECT_NEAR(local_sidereal_hours(946728000, 15), 19.6974, 2e-4);
    const SkyPlan plan = sky_plan(35, 8.155);
    ASSERT_TRUE(plan.azimuth);
    ASSERT_FALSE(plan.azimuth->stars.empty());
    const PatchStar& procyon = plan.azimuth->stars[0];
    EXPECT_EQ(procyon.name, "Procyon");
    EXPECT_NEAR(procyon.ha_hours, 0.5, 1e-9);
    EXPECT_NEAR(procyon.altitude_deg, 59.43, 0.005);
}

}  // namespace
}  // namespace trakora
