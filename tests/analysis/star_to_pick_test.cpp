// SPDX-License-Identifier: MIT
#include "analysis/star_to_pick.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

#include "test_image.hpp"

namespace trakora {
namespace {

using testing_support::TestImage;

struct PickCase {
    const char* name;
    std::vector<std::array<double, 3>> stars;  // x, y, peak above a background of 100
    std::vector<std::array<int, 2>> hot;       // lone pixels at 60000
    std::optional<std::array<double, 2>> want;
};

std::ostream& operator<<(std::ostream& os, const PickCase& c) { return os << c.name; }

class StarToPick : public ::testing::TestWithParam<PickCase> {};

// 200 x 160 pixels, stars of sigma 1.5 px clipped at a 16-bit camera's top, a little
// noise-like ripple so the background has a spread.
TEST_P(StarToPick, ChoosesTheStarAUserWouldClick) {
    const PickCase& c = GetParam();
    TestImage image(200, 160);
    image.fill(0, [&](int x, int y) {
        double v = 100 + ((x * 7 + y * 13) % 5);
        for (const auto& s : c.stars) {
            const double r2 = (x - s[0]) * (x - s[0]) + (y - s[1]) * (y - s[1]);
            v += s[2] * std::exp(-r2 / (2 * 1.5 * 1.5));
        }
        return static_cast<std::int32_t>(std::min(v, 65535.0));
    });
    for (const auto& h : c.hot) image.at(h[0], h[1]) = 60000;
    const auto got = star_to_pick(image.plane(), {65535, 65535});
    ASSERT_EQ(got.has_value(), c.want.has_value());
    if (got) {
        EXPECT_EQ(got->x, (*c.want)[0]);
        EXPECT_EQ(got->y, (*c.want)[1]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StarToPick,
    ::testing::Values(
        PickCase{"brightest_of_three",
                 {{100, 80, 5000}, {50, 50, 2000}, {150, 120, 800}},
                 {},
                 {{100, 80}}},
        PickCase{"saturated_skipped", {{100, 80, 90000}, {50, 50, 2000}}, {}, {{50, 50}}},
        PickCase{"near_edge_skipped",
                 {{20, 80, 9000}, {100, 130, 9000}, {60, 60, 3000}},
                 {},
                 {{60, 60}}},
        PickCase{"edge_at_30_px_allowed", {{30, 129, 5000}}, {}, {{30, 129}}},
        PickCase{"similar_pair_skipped",
                 {{100, 80, 5000}, {112, 80, 4000}, {50, 50, 1000}},
                 {},
                 {{50, 50}}},
        PickCase{"faint_neighbour_allowed", {{100, 80, 5000}, {112, 80, 1000}}, {}, {{100, 80}}},
        PickCase{"similar_but_far_allowed", {{100, 80, 5000}, {125, 80, 4500}}, {}, {{100, 80}}},
        PickCase{"hot_pixel_is_no_star", {{60, 60, 3000}}, {{100, 80}}, {{60, 60}}},
        PickCase{"no_star", {}, {}, std::nullopt},
        PickCase{"only_saturated_or_crowded",
                 {{100, 80, 90000}, {50, 50, 3000}, {58, 56, 3000}},
                 {},
                 std::nullopt}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace trakora
