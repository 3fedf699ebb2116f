// SPDX-License-Identifier: MIT
// The sky's clock: hour angles wrapped into (-12, 12], and the hour angle a tracked star
// reaches some solar minutes later.
#include "base/sky_time.hpp"

#include <gtest/gtest.h>

#include <utility>

namespace trakora {
namespace {

TEST(SkyTime, HourAnglesWrapIntoHalfOpenRange) {
    const std::pair<double, double> rows[] = {
        {0, 0},    {11.5, 11.5}, {12, 12}, {-12, 12},      {13, -11},
        {-13, 11}, {24, 0},      {36, 12}, {-35.5, -11.5}, {25.5, 1.5},
    };
    for (const auto& [hours, wrapped] : rows)
        EXPECT_DOUBLE_EQ(wrapped_hours(hours), wrapped) << "hours " << hours;
}

TEST(SkyTime, HourAngleRunsAtTheSiderealRate) {
    // An hour of solar time is 1.0027379 h of hour angle; a sidereal day comes round (the
    // ratio and the day agree to a millisecond).
    EXPECT_NEAR(hour_angle_after(-0.5, 60), 0.50273790935, 1e-12);
    EXPECT_NEAR(hour_angle_after(11.5, 60), 1.50273790935 - 24 + 11, 1e-12);
    EXPECT_NEAR(hour_angle_after(3, kSiderealDayMinutes), 3, 1e-6);
}

}  // namespace
}  // namespace trakora
