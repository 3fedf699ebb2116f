// SPDX-License-Identifier: MIT
// The routines on the current image take what they work on from the state and keep
// their results there. What they compute is tested on the analysis layer.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <utility>

#include "core/handlers.hpp"

namespace trakora {
namespace {

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();

// Sets the image size and fills plane `plane` of it with value(x, y).
void paint(State& s, int width, int height, int plane,
           const std::function<std::int32_t(int, int)>& value) {
    s.image_width = width;
    s.image_height = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) s.image_pixels.at(x, y, plane) = value(x, y);
}

TEST(FindBrightestSpot, StartsFromTheObjectAndKeepsTheResult) {
    // A result left of the image centres the next window there: -25..5.
    State s;
    paint(s, 60, 60, 0, [](int x, int y) { return x == 0 && y == 30 ? 100 : 0; });
    s.object_x = 5;
    s.object_y = 30;
    find_brightest_spot(s);
    ASSERT_EQ(s.object_x, -10);
    find_brightest_spot(s);
    EXPECT_EQ(s.object_x, -25);
    EXPECT_EQ(s.object_y, 27);
}

TEST(FindBrightestSpot, ImageWithoutPixelsLeavesObjectAlone) {
    for (const auto& [w, h] : {std::pair{0.0, 10.0}, std::pair{10.0, 0.0}, std::pair{0.5, 10.0}}) {
        State s;
        s.image_pixels.at(0, 0, 0) = 100;
        s.image_width = w;
        s.image_height = h;
        s.object_x = 7;
        s.object_y = 9;
        find_brightest_spot(s);
        EXPECT_EQ(s.object_x, 7) << w << "x" << h;
        EXPECT_EQ(s.object_y, 9) << w << "x" << h;
    }
}

struct LevelsCase {
    const char* name;
    int width;  // of a 25 x 40 image: one 0, one 300, the rest 100
    std::int32_t pixel_min, pixel_max;
    std::int32_t low_before, range_before;
    std::int32_t low_after, range_after;
};

std::ostream& operator<<(std::ostream& os, const LevelsCase& c) { return os << c.name; }

class ComputeDisplayLevels : public ::testing::TestWithParam<LevelsCase> {};

TEST_P(ComputeDisplayLevels, UsesPixelRangeAndKeepsLevels) {
    const LevelsCase& c = GetParam();
    State s;
    paint(s, 25, 40, 0, [](int x, int y) { return y == 0 && x < 2 ? 300 * x : 100; });
    s.image_width = c.width;
    s.pixel_min = c.pixel_min;
    s.pixel_max = c.pixel_max;
    s.display_low = c.low_before;
    s.display_range = c.range_before;
    compute_display_levels(s);
    EXPECT_EQ(s.display_low, c.low_after) << c.name;
    EXPECT_EQ(s.display_range, c.range_after) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ComputeDisplayLevels,
    ::testing::Values(
        // The background spreads over five bins around 100.
        LevelsCase{"levels_from_pixel_range", 25, 0, 300, 0, 0, 97, 6},
        // Extremes that make 100 an end bin: no walk finds a bin, the levels stay.
        LevelsCase{"unsettled_levels_kept", 25, 99, 100, 50, 20, 50, 20},
        // The reader's reset values with a stale image still in the buffer.
        LevelsCase{"reader_reset_range_keeps_levels", 25, kInt32Max, -1, 5, 0, 5, 1},
        LevelsCase{"no_pixels_keeps_levels", 0, 0, 300, 11, 22, 11, 22}),
    [](const ::testing::TestParamInfo<LevelsCase>& row) { return std::string(row.param.name); });

std::uint32_t colour_at(const State& s, int x, int y) {
    return s.object_picture.data()[static_cast<std::size_t>(y) * s.object_picture_width + x];
}

TEST(RenderObjectPicture, PictureHasImageSizeAndRowsOfItsWidth) {
    State s;
    paint(s, 7, 5, 0, [](int x, int y) { return 10 * y + x; });
    s.image_width = 7.6;  // whole pixels only
    s.display_low = 0;
    s.display_range = 64;  // 4 greys a value
    render_object_picture(s);
    ASSERT_EQ(s.object_picture_width, 7);
    ASSERT_EQ(s.object_picture_height, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(colour_at(s, x, y),
                      static_cast<std::uint32_t>(4 * (10 * y + x)) * 0x010101u | kOpaque)
                << x << "," << y;
}

TEST(RenderObjectPicture, EmptyImageGivesEmptyPicture) {
    State s;
    s.object_picture_width = 9;
    s.object_picture_height = 9;
    s.image_width = 0;
    s.image_height = 12;
    render_object_picture(s);
    EXPECT_EQ(s.object_picture_width, 0);
    EXPECT_EQ(s.object_picture_height, 12);
}

struct PlanesCase {
    const char* name;
    double image_planes;
    std::uint32_t colour;  // for plane 0 bright, planes 1 and 2 dark
};

std::ostream& operator<<(std::ostream& os, const PlanesCase& c) { return os << c.name; }

class RenderObjectPlanes : public ::testing::TestWithParam<PlanesCase> {};

TEST_P(RenderObjectPlanes, ColourOnlyFromThreePlanes) {
    const PlanesCase& c = GetParam();
    State s;
    paint(s, 2, 2, 0, [](int, int) { return 1000; });
    s.image_planes = c.image_planes;
    s.display_low = 0;
    s.display_range = 100;
    render_object_picture(s);
    EXPECT_EQ(colour_at(s, 1, 1), c.colour | kOpaque) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, RenderObjectPlanes,
                         ::testing::Values(PlanesCase{"three_planes_red", 3, 0x0000FF},
                                           PlanesCase{"one_plane_grey", 1, 0xFFFFFF},
                                           PlanesCase{"two_planes_grey", 2, 0xFFFFFF},
                                           PlanesCase{"no_planes_grey", 0, 0xFFFFFF}),
                         [](const ::testing::TestParamInfo<PlanesCase>& row) {
                             return std::string(row.param.name);
                         });

}  // namespace
}  // namespace trakora
