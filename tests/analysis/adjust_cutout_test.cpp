// SPDX-License-Identifier: MIT
#include "analysis/adjust_cutout.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "test_image.hpp"

namespace trakora {
namespace {

// Star, anchor and target 300 px apart: 380 px across with the margins, three pixels a
// cell, centred on the three; each cell the brightest of its four pixels, 0 off the image.
TEST(AdjustCutout, KeepsTheBrightestPixelOfEachCell) {
    testing_support::TestImage image(400, 300);
    image.at(101, 49) = 900;
    image.at(100, 50) = 700;
    const AdjustCutout c = adjust_cutout(image.plane(), {100, 50}, {100, 50}, {400, 50});
    EXPECT_EQ(c.step, 3);
    EXPECT_EQ(c.width, 127);
    EXPECT_EQ(c.height, 127);
    EXPECT_EQ(c.x0, 60);
    EXPECT_EQ(c.y0, -141);  // -140.5 rounded away from 0
    const auto cell = [&](double x, double y) {
        return c.cells[static_cast<std::size_t>((y - c.y0) / c.step) * 127 +
                       static_cast<std::size_t>((x - c.x0) / c.step)];
    };
    EXPECT_EQ(cell(100, 50), 900);
    EXPECT_EQ(std::count(c.cells.begin(), c.cells.end(), 0), 127 * 127 - 1);
}

}  // namespace
}  // namespace trakora
