// SPDX-License-Identifier: MIT
#include "analysis/brightest_spot.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "test_image.hpp"

namespace trakora {
namespace {

using testing_support::TestImage;

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
    TestImage image(c.width, c.height);
    for (const auto& star : c.stars) image.at(star[0], star[1]) = star[2];
    const Position spot = brightest_spot_near(image.plane(), Position{c.object_x, c.object_y});
    EXPECT_EQ(spot.x, c.want_x) << c.name;
    EXPECT_EQ(spot.y, c.want_y) << c.name;
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
    TestImage image(50, 40);
    image.fill(0, [](int, int) { return 3; });
    const Position spot = brightest_spot_near(image.plane(), Position{20, 25});
    EXPECT_EQ(spot.x, 5);
    EXPECT_EQ(spot.y, 10);
}

TEST(BrightestSpotScan, NegativeNeighbourhoodGivesOrigin) {
    TestImage image(80, 80);
    image.fill(0, [](int x, int y) { return -1000 + x + y; });
    const Position spot = brightest_spot_near(image.plane(), Position{60, 60});
    EXPECT_EQ(spot.x, 0);
    EXPECT_EQ(spot.y, 0);
}

TEST(BrightestSpotScan, SumsDoNotOverflowThirtyTwoBits) {
    // 49 pixels of the largest value sum beyond 32 bits; a wrapped sum would go negative.
    TestImage image(40, 40);
    for (int y = 17; y <= 23; ++y)
        for (int x = 17; x <= 23; ++x) image.at(x, y) = std::numeric_limits<std::int32_t>::max();
    image.at(5, 5) = 1;
    const Position spot = brightest_spot_near(image.plane(), Position{20, 20});
    EXPECT_EQ(spot.x, 20);
    EXPECT_EQ(spot.y, 20);
}

TEST(BrightestSpotScan, FollowsFromTheEdgeOnTheNextCall) {
    // A result left of the image centres the next window there: -25..5.
    TestImage image(60, 60);
    image.at(0, 30) = 100;
    const Position first = brightest_spot_near(image.plane(), Position{5, 30});
    ASSERT_EQ(first.x, -10);
    const Position next = brightest_spot_near(image.plane(), first);
    EXPECT_EQ(next.x, -25);
    EXPECT_EQ(next.y, 27);
}

TEST(BrightestSpotScan, ZeroSizedImageLeavesObjectAlone) {
    // A bright pixel lies under the view, but the view covers none.
    TestImage image(10, 10);
    image.at(0, 0) = 100;
    for (const auto& [w, h] : {std::pair{0, 10}, std::pair{10, 0}, std::pair{0, 0}}) {
        const Position spot = brightest_spot_near(image.plane(0, w, h), Position{7, 9});
        EXPECT_EQ(spot.x, 7) << w << "x" << h;
        EXPECT_EQ(spot.y, 9) << w << "x" << h;
    }
}

TEST(BrightestSpotScan, FractionalPositionKeepsItsFraction) {
    // Candidates step by 1 from the position, so a quarter stays a quarter; the box of
    // candidate 17.25 covers columns 14..20 and is the first to hold the star.
    TestImage image(60, 60);
    image.at(20, 30) = 100;
    const Position spot = brightest_spot_near(image.plane(), Position{20.25, 30});
    EXPECT_EQ(spot.x, 17.25);
    EXPECT_EQ(spot.y, 27);
}

TEST(BrightestSpotScan, UnsteppablePositionsFinish) {
    const double huge = 1e300;
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    TestImage image(20, 20);
    image.fill(0, [](int, int) { return 1; });
    for (double x : {huge, -huge, inf, -inf, nan}) {
        const Position spot = brightest_spot_near(image.plane(), Position{x, 10});
        if (std::isnan(x)) {
            // No candidate column at all: nothing beats the starting best.
            EXPECT_EQ(spot.x, 0);
            EXPECT_EQ(spot.y, 0);
        } else {
            EXPECT_EQ(spot.x, x - 15) << x;
            EXPECT_EQ(spot.y, -5) << x;
        }
    }
}

// The search written out plainly, for whole-number positions.
std::pair<int, int> reference_spot(const PlaneView& plane, int ox, int oy) {
    const int w = plane.width;
    const int h = plane.height;
    auto cl = [](int v, int n) { return v < 0 ? 0 : (v > n - 1 ? n - 1 : v); };
    std::int64_t best = 0;
    std::pair<int, int> at{0, 0};
    for (int cx = ox - 15; cx <= ox + 15; ++cx) {
        const int ex = cl(cx, w);
        for (int cy = oy - 15; cy <= oy + 15; ++cy) {
            const int ey = cl(cy, h);
            std::int64_t sum = 0;
            for (int bx = ex - 3; bx <= ex + 3; ++bx)
                for (int by = ey - 3; by <= ey + 3; ++by) sum += plane.at(cl(bx, w), cl(by, h));
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
        const int w = std::uniform_int_distribution<int>(1, 50)(rng);
        const int h = std::uniform_int_distribution<int>(1, 50)(rng);
        const int bias = std::uniform_int_distribution<int>(-3, 1)(rng);
        std::uniform_int_distribution<int> value(-4, 4);
        TestImage image(w, h);
        image.fill(0, [&](int, int) { return value(rng) + bias; });
        const int ox = std::uniform_int_distribution<int>(-30, w + 30)(rng);
        const int oy = std::uniform_int_distribution<int>(-30, h + 30)(rng);
        const auto want = reference_spot(image.plane(), ox, oy);
        const Position spot = brightest_spot_near(
            image.plane(), Position{static_cast<double>(ox), static_cast<double>(oy)});
        ASSERT_EQ(spot.x, want.first) << "round " << round << " " << w << "x" << h;
        ASSERT_EQ(spot.y, want.second) << "round " << round << " " << w << "x" << h;
    }
}

}  // namespace
}  // namespace trakora
