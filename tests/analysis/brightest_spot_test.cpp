// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/handlers.hpp"
#include "image_setup.hpp"

namespace trakora {
namespace {

using testing_support::fresh_state;
using testing_support::paint_plane;
using testing_support::paint_uniform;

struct SpotCase {
    const char* name;
    int width, height;
    std::vector<std::array<int, 3>> stars;  // x, y, value on a zero background
    double object_x, object_y;
    double want_x, want_y;
};

std::ostream& operator<<(std::ostream& os, const SpotCase& c) { return os << c.name; }

class BrightestSpot : public ::testing::TestWithParam<SpotCase> {};

TEST_P(BrightestSpot, MovesObjectToExpectedCandidate) {
    const SpotCase& c = GetParam();
    auto s = fresh_state();
    paint_uniform(*s, c.width, c.height, 0);
    for (const auto& star : c.stars) s->image_pixels.at(star[0], star[1], 0) = star[2];
    s->object_x = c.object_x;
    s->object_y = c.object_y;
    find_brightest_spot(*s);
    EXPECT_EQ(s->object_x, c.want_x) << c.name;
    EXPECT_EQ(s->object_y, c.want_y) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrightestSpot,
    ::testing::Values(
        // All 49 candidates within 3 pixels hold the star; the first in scan order wins.
        SpotCase{"lone_star_object_on_it", 100, 80, {{40, 30, 500}}, 40, 30, 37, 27},
        SpotCase{"lone_star_object_12_away", 100, 80, {{40, 30, 500}}, 52, 18, 37, 27},
        SpotCase{"lone_star_object_12_below_right", 100, 80, {{40, 30, 500}}, 28, 42, 37, 27},
        // At the window's edge only part of the star's candidates are in the window.
        SpotCase{"star_partly_outside_window", 100, 80, {{40, 30, 500}}, 22, 30, 37, 27},
        // A box reaches 18 pixels out at most; a brighter star 19 away is not seen.
        SpotCase{"star_19_away_not_seen", 200, 80, {{60, 30, 900}, {45, 30, 100}}, 41, 30, 42, 27},
        SpotCase{"star_18_away_seen", 200, 80, {{59, 30, 900}, {45, 30, 100}}, 41, 30, 56, 27},
        // Equal sums: the smaller column wins even with a larger row.
        SpotCase{"tie_smaller_column_wins", 100, 100, {{45, 60, 7}, {55, 40, 7}}, 50, 50, 42, 57},
        // Equal sums in one column: the smaller row wins.
        SpotCase{"tie_same_column_smaller_row_wins",
                 100,
                 100,
                 {{50, 58, 7}, {50, 42, 7}},
                 50,
                 50,
                 47,
                 39},
        // A strictly larger box later in scan order still replaces the best.
        SpotCase{"larger_later_box_replaces", 100, 100, {{45, 50, 7}, {55, 50, 8}}, 50, 50, 52, 47},
        // The edge pixel repeats in a box centred on the edge; every candidate past the
        // edge sees that box, and the first of them is the result.
        SpotCase{"star_on_left_edge", 60, 60, {{0, 30, 100}}, 5, 30, -10, 27},
        SpotCase{"star_in_top_left_corner", 60, 60, {{0, 0, 100}}, 2, 3, -13, -12},
        SpotCase{"star_on_right_edge_returns_edge_column", 60, 60, {{59, 30, 100}}, 55, 30, 59, 27},
        SpotCase{"star_in_bottom_right_corner", 60, 60, {{59, 59, 100}}, 50, 52, 59, 59},
        // Nothing positive: the result is (0, 0) wherever the window was.
        SpotCase{"all_zero", 60, 60, {}, 30, 30, 0, 0},
        SpotCase{"object_never_set_centres_on_origin", 60, 60, {{6, 9, 50}}, 0, 0, 3, 6},
        // A window entirely outside the image still evaluates the clamped corner box.
        SpotCase{"window_far_outside", 60, 60, {{59, 0, 10}}, 500, -400, 485, -415},
        SpotCase{"one_pixel_image", 1, 1, {{0, 0, 3}}, 0, 0, -15, -15}),
    [](const ::testing::TestParamInfo<SpotCase>& row) { return std::string(row.param.name); });

TEST(BrightestSpotScan, UniformPositiveImageGivesFirstCandidate) {
    auto s = fresh_state();
    paint_uniform(*s, 50, 40, 3);
    s->object_x = 20;
    s->object_y = 25;
    find_brightest_spot(*s);
    EXPECT_EQ(s->object_x, 5);
    EXPECT_EQ(s->object_y, 10);
}

TEST(BrightestSpotScan, NegativeNeighbourhoodGivesOrigin) {
    auto s = fresh_state();
    paint_plane(*s, 80, 80, 0, [](int x, int y) { return -1000 + x + y; });
    s->object_x = 60;
    s->object_y = 60;
    find_brightest_spot(*s);
    EXPECT_EQ(s->object_x, 0);
    EXPECT_EQ(s->object_y, 0);
}

TEST(BrightestSpotScan, SumsDoNotOverflowThirtyTwoBits) {
    // 49 pixels of the largest value sum beyond 32 bits; a wrapped sum would go negative.
    auto s = fresh_state();
    paint_uniform(*s, 40, 40, 0);
    for (int y = 17; y <= 23; ++y)
        for (int x = 17; x <= 23; ++x)
            s->image_pixels.at(x, y, 0) = std::numeric_limits<std::int32_t>::max();
    s->image_pixels.at(5, 5, 0) = 1;
    s->object_x = 20;
    s->object_y = 20;
    find_brightest_spot(*s);
    EXPECT_EQ(s->object_x, 20);
    EXPECT_EQ(s->object_y, 20);
}

TEST(BrightestSpotScan, FollowsFromTheEdgeOnTheNextCall) {
    // A result left of the image centres the next window there: -25..5.
    auto s = fresh_state();
    paint_uniform(*s, 60, 60, 0);
    s->image_pixels.at(0, 30, 0) = 100;
    s->object_x = 5;
    s->object_y = 30;
    find_brightest_spot(*s);
    ASSERT_EQ(s->object_x, -10);
    find_brightest_spot(*s);
    EXPECT_EQ(s->object_x, -25);
    EXPECT_EQ(s->object_y, 27);
}

TEST(BrightestSpotScan, ZeroSizedImageLeavesObjectAlone) {
    for (const auto& [w, h] : {std::pair{0, 10}, std::pair{10, 0}, std::pair{0, 0}}) {
        auto s = fresh_state();
        s->image_pixels.at(0, 0, 0) = 100;
        s->image_width = w;
        s->image_height = h;
        s->object_x = 7;
        s->object_y = 9;
        find_brightest_spot(*s);
        EXPECT_EQ(s->object_x, 7) << w << "x" << h;
        EXPECT_EQ(s->object_y, 9) << w << "x" << h;
    }
}

TEST(BrightestSpotScan, FractionalPositionKeepsItsFraction) {
    // Candidates step by 1 from the position, so a quarter stays a quarter; the box of
    // candidate 17.25 covers columns 14..20 and is the first to hold the star.
    auto s = fresh_state();
    paint_uniform(*s, 60, 60, 0);
    s->image_pixels.at(20, 30, 0) = 100;
    s->object_x = 20.25;
    s->object_y = 30;
    find_brightest_spot(*s);
    EXPECT_EQ(s->object_x, 17.25);
    EXPECT_EQ(s->object_y, 27);
}

TEST(BrightestSpotScan, UnsteppablePositionsFinish) {
    const double huge = 1e300;
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double x : {huge, -huge, inf, -inf, nan}) {
        auto s = fresh_state();
        paint_uniform(*s, 20, 20, 1);
        s->object_x = x;
        s->object_y = 10;
        find_brightest_spot(*s);
        if (std::isnan(x)) {
            // No candidate column at all: nothing beats the starting best.
            EXPECT_EQ(s->object_x, 0);
            EXPECT_EQ(s->object_y, 0);
        } else {
            EXPECT_EQ(s->object_x, x - 15) << x;
            EXPECT_EQ(s->object_y, -5) << x;
        }
    }
}

// The search written out plainly, for whole-number positions.
std::pair<int, int> reference_spot(const State& s, int ox, int oy) {
    const int w = pixel_extent(s.image_width);
    const int h = pixel_extent(s.image_height);
    auto cl = [](int v, int n) { return v < 0 ? 0 : (v > n - 1 ? n - 1 : v); };
    std::int64_t best = 0;
    std::pair<int, int> at{0, 0};
    for (int cx = ox - 15; cx <= ox + 15; ++cx) {
        const int ex = cl(cx, w);
        for (int cy = oy - 15; cy <= oy + 15; ++cy) {
            const int ey = cl(cy, h);
            std::int64_t sum = 0;
            for (int bx = ex - 3; bx <= ex + 3; ++bx)
                for (int by = ey - 3; by <= ey + 3; ++by)
                    sum += s.image_pixels.at(cl(bx, w), cl(by, h), 0);
            if (sum > best) {
                best = sum;
                at = {cx, cy};
            }
        }
    }
    return at;
}

TEST(BrightestSpotScan, MatchesPlainSearchOnRandomImages) {
    std::mt19937 rng(1234);
    for (int round = 0; round < 300; ++round) {
        auto s = fresh_state();
        const int w = std::uniform_int_distribution<int>(1, 50)(rng);
        const int h = std::uniform_int_distribution<int>(1, 50)(rng);
        const int bias = std::uniform_int_distribution<int>(-3, 1)(rng);
        std::uniform_int_distribution<int> value(-4, 4);
        paint_plane(*s, w, h, 0, [&](int, int) { return value(rng) + bias; });
        const int ox = std::uniform_int_distribution<int>(-30, w + 30)(rng);
        const int oy = std::uniform_int_distribution<int>(-30, h + 30)(rng);
        s->object_x = ox;
        s->object_y = oy;
        const auto want = reference_spot(*s, ox, oy);
        find_brightest_spot(*s);
        ASSERT_EQ(s->object_x, want.first) << "round " << round << " " << w << "x" << h;
        ASSERT_EQ(s->object_y, want.second) << "round " << round << " " << w << "x" << h;
    }
}

}  // namespace
}  // namespace trakora
