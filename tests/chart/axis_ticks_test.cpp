// SPDX-License-Identifier: MIT
// Axis spans, 1-2-5 ticks and their labels, including spans no real drift has.
#include "chart/axis_ticks.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace trakora::chart {
namespace {

struct TickCase {
    const char* name;
    AxisSpan span;
    int target;
    std::vector<double> expected;
};

TEST(AxisTicks, LandOnOneTwoFiveSteps) {
    const TickCase cases[] = {
        {"minutes", {-0.4, 10.4}, 5, {0, 2, 4, 6, 8, 10}},
        {"halves", {-0.3, 1.3}, 4, {0, 0.5, 1}},
        {"negative", {-27, 3}, 3, {-20, -10, 0}},
        {"small", {0.0001, 0.0009}, 4, {0.0002, 0.0004, 0.0006, 0.0008}},
        {"large", {0, 1e99}, 5, {0, 2e98, 4e98, 6e98, 8e98, 1e99}},
        {"empty span", {3, 3}, 5, {}},
    };
    for (const TickCase& c : cases) {
        const AxisTicks ticks = nice_ticks(c.span, c.target);
        ASSERT_EQ(ticks.values.size(), c.expected.size()) << c.name;
        for (std::size_t i = 0; i < c.expected.size(); ++i)
            EXPECT_NEAR(ticks.values[i], c.expected[i], 1e-9 * ticks.step) << c.name;
    }
}

TEST(AxisTicks, StayFewWhenTheStepIsBelowTheValuesRounding) {
    // 0.25 wide at 1e15, where neighbouring doubles are 0.125 apart.
    const AxisTicks ticks = nice_ticks({1e15, 1e15 + 0.25}, 5);
    EXPECT_LE(ticks.values.size(), 40u);
}

TEST(AxisTicks, SpanLeavesRoomAndWidensASingleValue) {
    struct Case {
        const char* name;
        double lo, hi;
        AxisSpan expected;
    } const cases[] = {
        {"series", 0, 10, {-0.4, 10.4}},
        {"one value", 5, 5, {4, 6}},
        {"one zero", 0, 0, {-1, 1}},
        {"one large value", 1e6, 1e6, {0.9e6, 1.1e6}},
    };
    for (const Case& c : cases) {
        const AxisSpan span = shown_span(c.lo, c.hi);
        EXPECT_NEAR(span.lo, c.expected.lo, 1e-9 * (1 + std::abs(c.expected.lo))) << c.name;
        EXPECT_NEAR(span.hi, c.expected.hi, 1e-9 * (1 + std::abs(c.expected.hi))) << c.name;
    }
}

TEST(AxisTicks, LabelsCarryTheStepsDecimals) {
    struct Case {
        double value, step;
        const char* expected;
    } const cases[] = {
        {0, 2, "0"},         {10, 5, "10"},  {2.5, 0.5, "2.5"}, {-0.02, 0.01, "-0.02"},
        {1e9, 1e8, "1e+09"}, {-0.0, 1, "0"},
    };
    for (const Case& c : cases) EXPECT_EQ(tick_label(c.value, c.step), c.expected) << c.expected;
}

}  // namespace
}  // namespace trakora::chart
