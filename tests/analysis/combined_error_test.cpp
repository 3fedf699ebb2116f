// SPDX-License-Identifier: MIT
// Both components from several segments: worked two-star and three-star sessions, the
// designs that cannot separate A from E, and standard errors that hold over noisy draws.
#include "analysis/combined_error.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace trakora {
namespace {

constexpr double kW = kArcsecPerMinPerArcmin;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::vector<std::size_t> all_of(const std::vector<SegmentRate>& segments) {
    std::vector<std::size_t> all(segments.size());
    std::iota(all.begin(), all.end(), std::size_t{0});
    return all;
}

// Rates in units of w, as worked by hand from s w (A cos H - E sin H).
SegmentRate seg(double ha, double rate_in_w, double se, double lat = 50) {
    return {ha, rate_in_w * kW, se, lat, false};
}

struct WorkedRow {
    const char* name;
    std::vector<SegmentRate> segments;
    double az, az_se, alt, alt_se, correlation, total, az_knob;
    ErrorDirection az_dir, alt_dir;
};

TEST(CombinedError, WorkedSessions) {
    const double se = 0.1, one = se / kW;  // one segment's SE in arcminutes
    const double c = std::sqrt(0.5);       // cos 3 h = sin 3 h
    const std::vector<WorkedRow> rows = {
        // H 0: 4 w; H -6: w (0 - 3 (-1)) = 3 w.
        {"meridian_then_east",
         {seg(0, 4, se), seg(-6, 3, se)},
         4,
         one,
         3,
         one,
         0,
         5,
         4 / std::cos(50 * std::numbers::pi / 180),
         ErrorDirection::west,
         ErrorDirection::high},
        // H +6: w (0 - E) = -(-5) w.
        {"meridian_then_west",
         {seg(0, -2, se), seg(6, 5, se)},
         -2,
         one,
         -5,
         one,
         0,
         std::sqrt(29.0),
         -2 / std::cos(50 * std::numbers::pi / 180),
         ErrorDirection::east,
         ErrorDirection::low},
        // H 3: w c (A - E) = 6 c w; A = r0, E = A - r3 / c: var E = 3 var A, cov = var A.
        {"three_hours_and_meridian",
         {seg(3, 6 * c, se), seg(0, 2, se)},
         2,
         one,
         -4,
         std::sqrt(3.0) * one,
         1 / std::sqrt(3.0),
         std::sqrt(20.0),
         2 / std::cos(50 * std::numbers::pi / 180),
         ErrorDirection::west,
         ErrorDirection::low},
        // South: the drift's sign turns; A -3, E 2 drift -(-3) w and -(2) w.
        {"southern_meridian_then_east",
         {seg(0.0, 3, se, -35), seg(-6, -2, se, -35)},
         -3,
         one,
         2,
         one,
         0,
         std::sqrt(13.0),
         -3 / std::cos(35 * std::numbers::pi / 180),
         ErrorDirection::east,
         ErrorDirection::high},
        // Three segments, equal SEs, at 0 and ±6 h: E is measured twice, its SE / sqrt 2;
        // the two disagree (3.2 and 2.6) and least squares takes their mean.
        {"least_squares_over_three",
         {seg(0, 4, se), seg(-6, 3.2, se), seg(6, -2.6, se)},
         4,
         one,
         2.9,
         one / std::sqrt(2.0),
         0,
         std::hypot(4, 2.9),
         4 / std::cos(50 * std::numbers::pi / 180),
         ErrorDirection::west,
         ErrorDirection::high},
        // The same with the eastern star twice as sure: weights 4 : 1.
        {"weighted_by_the_errors",
         {seg(0, 4, se), seg(-6, 3.2, se / 2), seg(6, -2.6, se)},
         4,
         one,
         3.08,
         one / std::sqrt(5.0),
         0,
         std::hypot(4, 3.08),
         4 / std::cos(50 * std::numbers::pi / 180),
         ErrorDirection::west,
         ErrorDirection::high},
    };
    for (const WorkedRow& r : rows) {
        SCOPED_TRACE(r.name);
        const auto got = combined_error(r.segments, all_of(r.segments));
        ASSERT_TRUE(got);
        EXPECT_NEAR(got->azimuth_arcmin, r.az, 1e-9);
        EXPECT_NEAR(got->azimuth_se_arcmin, r.az_se, 1e-9);
        EXPECT_NEAR(got->altitude_arcmin, r.alt, 1e-9);
        EXPECT_NEAR(got->altitude_se_arcmin, r.alt_se, 1e-9);
        EXPECT_NEAR(got->correlation, r.correlation, 1e-9);
        EXPECT_NEAR(got->total_arcmin, r.total, 1e-9);
        ASSERT_TRUE(got->azimuth_knob_arcmin);
        EXPECT_NEAR(*got->azimuth_knob_arcmin, r.az_knob, 1e-9);
        EXPECT_NEAR(got->altitude_knob_arcmin, r.alt, 1e-9);
        EXPECT_EQ(got->azimuth_direction, r.az_dir);
        EXPECT_EQ(got->altitude_direction, r.alt_dir);
        EXPECT_EQ(got->segments_used, all_of(r.segments));
    }
}

TEST(CombinedError, RefusesWhatCannotSeparateTheComponents) {
    struct Row {
        const char* name;
        std::vector<SegmentRate> segments;
        bool solvable;
    } const rows[] = {
        {"two_meridian_stars", {seg(0.1, 4, 0.1), seg(-0.1, 4, 0.1)}, false},
        {"meridian_and_lower_culmination", {seg(0, 4, 0.1), seg(12, -4, 0.1)}, false},
        {"half_an_hour_apart", {seg(0, 4, 0.1), seg(0.5, 3, 0.1)}, false},  // condition 15.2
        {"an_hour_apart", {seg(0, 4, 0.1), seg(1, 3, 0.1)}, true},          // condition 7.6
        {"one_segment", {seg(0, 4, 0.1)}, false},
        {"second_without_error", {seg(0, 4, 0.1), seg(-6, 3, 0)}, false},
        {"second_not_finite", {seg(0, 4, 0.1), seg(-6, kNaN, 0.1)}, false},
        {"a_third_makes_up_for_a_bad_one",
         {seg(0, 4, 0.1), seg(-6, kNaN, 0.1), seg(-5, 3, 0.1)},
         true},
    };
    for (const Row& r : rows) {
        const auto got = combined_error(r.segments, all_of(r.segments));
        EXPECT_EQ(got.has_value(), r.solvable) << r.name;
        if (got) {
            EXPECT_LE(got->condition, kLargestCondition) << r.name;
        }
    }
    // Only the named segments count.
    const std::vector<SegmentRate> three = {seg(0, 4, 0.1), seg(-6, 3, 0.1), seg(0.2, 9, 0.1)};
    EXPECT_FALSE(combined_error(three, {0, 2}));
    EXPECT_EQ(combined_error(three, {0, 1})->segments_used, (std::vector<std::size_t>{0, 1}));
    // At the pole the vertical is the axis: no azimuth knob to turn.
    EXPECT_FALSE(
        combined_error({seg(0, 4, 0.1, 89.5), seg(-6, 3, 0.1, 89.5)}, {0, 1})->azimuth_knob_arcmin);
}

TEST(CombinedError, PicksTheSegmentsSinceTheLastKnobTurn) {
    auto turned = [](SegmentRate s) {
        s.knob_turned_before = true;
        return s;
    };
    struct Row {
        const char* name;
        std::vector<SegmentRate> segments;
        std::vector<std::size_t> picked;
    } const rows[] = {
        {"no_turn", {seg(0, 4, 0.1), seg(-3, 3, 0.1), seg(-6, 3, 0.1)}, {0, 1, 2}},
        {"turned_before_the_third",
         {seg(0, 4, 0.1), seg(-6, 3, 0.1), turned(seg(0, 1, 0.1)), seg(6, 2, 0.1)},
         {2, 3}},
        {"unweighable_left_out", {seg(0, 4, 0.1), seg(-6, kNaN, 0.1), seg(-5, 3, 0)}, {0}},
        {"nothing", {}, {}},
    };
    for (const Row& r : rows) EXPECT_EQ(segments_to_combine(r.segments), r.picked) << r.name;
}

// Rates drawn about the truth with each segment's own SE: the truth lies within 2 SE of
// the answer in at least 90 % of the draws (95 % expected), for each component.
TEST(CombinedError, StandardErrorsHold) {
    struct Row {
        const char* name;
        double az, alt;
        std::vector<SegmentRate> segments;  // rates are drawn; only H, SE and latitude count
    } const rows[] = {
        {"north_two_stars", 5, -7, {seg(0.3, 0, 0.08), seg(-5.5, 0, 0.15)}},
        {"south_three_stars",
         -9,
         4,
         {seg(-0.4, 0, 0.1, -33), seg(2.8, 0, 0.2, -33), seg(6.3, 0, 0.12, -33)}},
    };
    constexpr int kDraws = 200;
    for (const Row& r : rows) {
        std::mt19937 random(20261209);
        int az_within = 0, alt_within = 0;
        for (int draw = 0; draw < kDraws; ++draw) {
            std::vector<SegmentRate> drawn = r.segments;
            for (SegmentRate& s : drawn) {
                const double h = s.ha_hours * std::numbers::pi / 12, sign = s.lat_deg < 0 ? -1 : 1;
                std::normal_distribution<double> noise(0, s.north_se_arcsec_per_min);
                s.north_arcsec_per_min =
                    sign * kW * (r.az * std::cos(h) - r.alt * std::sin(h)) + noise(random);
            }
            const auto got = combined_error(drawn, all_of(drawn));
            ASSERT_TRUE(got) << r.name;
            az_within += std::abs(got->azimuth_arcmin - r.az) <= 2 * got->azimuth_se_arcmin;
            alt_within += std::abs(got->altitude_arcmin - r.alt) <= 2 * got->altitude_se_arcmin;
        }
        EXPECT_GE(az_within, kDraws * 9 / 10) << r.name;
        EXPECT_GE(alt_within, kDraws * 9 / 10) << r.name;
    }
}

// Aimed at the refracted pole, 2' above the true one: an axis 1.5' high is 0.5' low of it.
TEST(CombinedError, AimedAboveTheTruePole) {
    CombinedError answer;
    answer.azimuth_arcmin = 3;
    answer.altitude_arcmin = 1.5;
    const CombinedError aimed = aimed_above(answer, 2);
    EXPECT_DOUBLE_EQ(aimed.altitude_arcmin, -0.5);
    EXPECT_EQ(aimed.altitude_direction, ErrorDirection::low);
    EXPECT_DOUBLE_EQ(aimed.altitude_knob_arcmin, -0.5);
    EXPECT_DOUBLE_EQ(aimed.total_arcmin, std::hypot(3, 0.5));
    EXPECT_DOUBLE_EQ(aimed.azimuth_arcmin, 3);
}

}  // namespace
}  // namespace trakora
