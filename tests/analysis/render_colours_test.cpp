// SPDX-License-Identifier: MIT
#include "analysis/render_colours.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "test_image.hpp"

namespace trakora {
namespace {

using testing_support::TestImage;

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();

// The grey rule written out plainly, with a range below 1 taken as 1.
std::uint32_t reference_grey(std::int32_t p, std::int32_t low, std::int32_t range) {
    const double r = range < 1 ? 1.0 : static_cast<double>(range);
    double g = std::floor((static_cast<double>(p) - static_cast<double>(low)) / r * 256 + 0.5);
    if (g > 255) g = 255;
    if (g < 0) g = 0;
    return static_cast<std::uint32_t>(g);
}

// The rendered picture: colour values, rows `width` apart. Every colour written carries
// the opaque byte, so a pixel left unwritten shows as 0.
struct Picture {
    int width = 0;
    std::vector<std::uint32_t> colours;
    std::uint32_t at(int x, int y) const {
        return colours[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                       static_cast<std::size_t>(x)];
    }
};

// Renders the first `count` planes of `image` (all by default): grey from one, red, green
// and blue from three.
Picture render(const TestImage& image, DisplayLevels levels, int count = 0) {
    std::vector<PlaneView> planes;
    for (int p = 0; p < (count > 0 ? count : image.planes()); ++p) planes.push_back(image.plane(p));
    Picture picture{planes[0].width,
                    std::vector<std::uint32_t>(static_cast<std::size_t>(planes[0].width) *
                                               static_cast<std::size_t>(planes[0].height))};
    render_colours(planes, levels, picture.colours.data());
    return picture;
}

struct GreyCase {
    const char* name;
    std::int32_t low, range, value;
    std::uint32_t grey;
};

std::ostream& operator<<(std::ostream& os, const GreyCase& c) { return os << c.name; }

class Grey : public ::testing::TestWithParam<GreyCase> {};

TEST_P(Grey, ValueRendersAsGrey) {
    const GreyCase& c = GetParam();
    TestImage image(1, 1);
    image.at(0, 0) = c.value;
    EXPECT_EQ(render(image, DisplayLevels{c.low, c.range}).at(0, 0), c.grey * 0x010101u | kOpaque)
        << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Grey,
    ::testing::Values(
        GreyCase{"black_level_is_0", 100, 10, 100, 0},
        GreyCase{"half_range_is_128", 100, 10, 105, 128},
        GreyCase{"white_level_clamps_256", 100, 10, 110, 255},
        GreyCase{"below_black_is_0", 100, 10, 99, 0},
        GreyCase{"far_below_black", 100, 10, kInt32Min, 0},
        GreyCase{"far_above_white", 100, 10, kInt32Max, 255},
        GreyCase{"third_rounds_down", 0, 3, 1, 85}, GreyCase{"two_thirds_rounds_up", 0, 3, 2, 171},
        GreyCase{"last_grey_below_white", 0, 512, 510, 255},
        GreyCase{"half_step_goes_up", 0, 512, 1, 1}, GreyCase{"range1_black_level", 7, 1, 7, 0},
        GreyCase{"range1_one_above_is_white", 7, 1, 8, 255},
        GreyCase{"range1_one_below", 7, 1, 6, 0},
        // A range below 1 (set from outside) renders as a range of 1.
        GreyCase{"range0_above", 7, 0, 8, 255}, GreyCase{"range0_at_low", 7, 0, 7, 0},
        GreyCase{"negative_range_above", 7, -40, 8, 255},
        GreyCase{"negative_range_below", 7, -40, 6, 0},
        // Differences beyond 32 bits.
        GreyCase{"full_span_top", kInt32Min, kInt32Max, kInt32Max, 255},
        GreyCase{"full_span_quarter", kInt32Min, kInt32Max, -(1 << 30), 128},
        GreyCase{"high_low_bottom", kInt32Max, 1, kInt32Min, 0},
        // Wide ranges whose grey steps run past the 32-bit values at one end.
        GreyCase{"wide_range_low_near_top", kInt32Max - 1000, 1 << 30, kInt32Max, 0},
        GreyCase{"wide_range_low_near_bottom", kInt32Min + 1000, 1 << 30, kInt32Max, 255},
        GreyCase{"wide_range_half", kInt32Min + 1000, 1 << 30, kInt32Min + 1000 + (1 << 29), 128}),
    [](const ::testing::TestParamInfo<GreyCase>& row) { return std::string(row.param.name); });

TEST(RenderColours, PictureRowsAreTheImageWidthApart) {
    TestImage image(7, 5);
    image.fill(0, [](int x, int y) { return 10 * y + x; });
    const Picture picture = render(image, DisplayLevels{0, 64});
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(picture.at(x, y), reference_grey(10 * y + x, 0, 64) * 0x010101u | kOpaque)
                << x << "," << y;
}

struct PlaneCase {
    const char* name;
    int planes;
    std::uint32_t colour;  // for plane 0 bright, planes 1 and 2 dark
};

std::ostream& operator<<(std::ostream& os, const PlaneCase& c) { return os << c.name; }

class Planes : public ::testing::TestWithParam<PlaneCase> {};

TEST_P(Planes, BrightFirstPlane) {
    const PlaneCase& c = GetParam();
    TestImage image(2, 2, 3);
    image.fill(0, [](int, int) { return 1000; });
    EXPECT_EQ(render(image, DisplayLevels{0, 100}, c.planes).at(1, 1), c.colour | kOpaque)
        << c.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, Planes,
                         ::testing::Values(PlaneCase{"three_planes_red", 3, 0x0000FF},
                                           PlaneCase{"one_plane_grey", 1, 0xFFFFFF}),
                         [](const ::testing::TestParamInfo<PlaneCase>& row) {
                             return std::string(row.param.name);
                         });

TEST(RenderColours, ColourComponentsComeFromTheirPlanes) {
    // Green and blue hold what an earlier image left; they render as they are.
    TestImage image(3, 1, 3);
    image.fill(1, [](int x, int) { return 50 * x; });
    image.fill(2, [](int x, int) { return 100 - 50 * x; });
    image.fill(0, [](int x, int) { return 25 * x; });
    const Picture picture = render(image, DisplayLevels{0, 100});
    for (int x = 0; x < 3; ++x) {
        const std::uint32_t want = reference_grey(25 * x, 0, 100) |
                                   reference_grey(50 * x, 0, 100) << 8 |
                                   reference_grey(100 - 50 * x, 0, 100) << 16 | kOpaque;
        EXPECT_EQ(picture.at(x, 0), want) << "column " << x;
    }
}

TEST(RenderColoursDifferential, MatchesPlainRuleOnRandomImages) {
    std::mt19937_64 rng(777);
    for (int round = 0; round < 600; ++round) {
        const int bits = std::uniform_int_distribution<int>(0, 32)(rng);
        const auto range = static_cast<std::int32_t>(std::clamp<std::int64_t>(
            std::uniform_int_distribution<std::int64_t>(-3, std::int64_t{1} << bits)(rng),
            kInt32Min, kInt32Max));
        const std::int32_t low =
            std::uniform_int_distribution<std::int32_t>(kInt32Min, kInt32Max)(rng);
        const double r = range < 1 ? 1.0 : range;
        // Values around the black level, the white level and every grey step.
        std::uniform_int_distribution<int> step(-2, 258);
        std::uniform_int_distribution<int> jitter(-2, 2);
        std::uniform_int_distribution<std::int32_t> anything(kInt32Min, kInt32Max);
        auto value = [&](int, int) {
            if (jitter(rng) == 2) return anything(rng);
            const double v = low + (step(rng) - 0.5) * r / 256 + jitter(rng);
            return static_cast<std::int32_t>(
                std::clamp<double>(std::round(v), kInt32Min, kInt32Max));
        };
        const int w = std::uniform_int_distribution<int>(1, 40)(rng);
        const int h = std::uniform_int_distribution<int>(1, 30)(rng);
        TestImage image(w, h, 3);
        for (int p = 0; p < 3; ++p) image.fill(p, value);
        const int planes = round % 2 == 0 ? 3 : 1;
        const Picture picture = render(image, DisplayLevels{low, range}, planes);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const std::uint32_t red = reference_grey(image.at(x, y, 0), low, range);
                const std::uint32_t want =
                    planes == 3 ? red | reference_grey(image.at(x, y, 1), low, range) << 8 |
                                      reference_grey(image.at(x, y, 2), low, range) << 16
                                : red * 0x010101u;
                ASSERT_EQ(picture.at(x, y), want | kOpaque)
                    << "round " << round << " low " << low << " range " << range << " at " << x
                    << "," << y;
            }
        }
    }
}

}  // namespace
}  // namespace trakora
