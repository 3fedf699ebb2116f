// SPDX-License-Identifier: MIT
// The periodic part of a motion on worked series: a sine the series holds one and a half
// periods of is found; one it cannot show whole, or plain scatter, is not.
#include "analysis/periodic_motion.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>
#include <vector>

namespace trakora {
namespace {

TEST(PeriodicMotion, FoundOnlyWhenTheSeriesHoldsIt) {
    struct Row {
        const char* name;
        double peak_to_peak, period_min;  // of the sine put in
        std::optional<double> found_period;
    };
    const Row rows[] = {
        {"four_minutes_in_ten", 20, 4, 4},
        {"longer_than_the_series_can_show", 30, 8, std::nullopt},
        {"no_sine_at_all", 0, 4, std::nullopt},
    };
    for (const Row& r : rows) {
        std::vector<double> t, v;
        for (int k = 0; k <= 40; ++k) {
            t.push_back(0.25 * k);
            // A fixed ripple of 0.3 stands for the seeing.
            v.push_back(r.peak_to_peak / 2 *
                            std::sin(2 * std::numbers::pi * t.back() / r.period_min + 0.7) +
                        0.3 * std::sin(k * 2.3));
        }
        const std::optional<PeriodicMotion> p = periodic_motion(t, v);
        ASSERT_EQ(p.has_value(), r.found_period.has_value()) << r.name;
        if (!p) continue;
        EXPECT_NEAR(p->period_min, *r.found_period, 0.05 * *r.found_period) << r.name;
        EXPECT_NEAR(p->peak_to_peak, r.peak_to_peak, 0.05 * r.peak_to_peak) << r.name;
    }
}

}  // namespace
}  // namespace trakora
