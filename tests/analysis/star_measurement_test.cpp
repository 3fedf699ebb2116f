// SPDX-License-Identifier: MIT
// The star measurement on painted stars: where the centroid lands, and which flags each
// kind of trouble raises.
#include "analysis/star_measurement.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace trakora {
namespace {

constexpr int kSide = 64;
constexpr double kSky = 1000, kNoise = 30;

struct StarRow {
    const char* name;
    double star_x, star_y, peak;          // Gaussian, sigma 1.4 px; peak 0: no star
    double clip;                          // samples are cut at this value (the camera's top)
    std::vector<std::array<int, 3>> hot;  // x, y, value
    double look_x, look_y;                // where the whole-pixel search left the position
    double range_top;
    unsigned flags;             // exactly these
    double centroid_tolerance;  // 0: the centroid is not checked
    friend void PrintTo(const StarRow& r, std::ostream* os) { *os << r.name; }
};

// A noisy sky with one star and any hot pixels, the same noise for every row.
std::vector<std::int32_t> paint(const StarRow& row, std::int32_t& image_max) {
    std::vector<std::int32_t> pixels(kSide * kSide);
    std::uint64_t state = 12345;
    const auto uniform = [&state] {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return (static_cast<double>(state >> 11) + 0.5) * 0x1.0p-53;
    };
    image_max = 0;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const double gauss =
                std::sqrt(-2 * std::log(uniform())) * std::cos(6.2831853 * uniform());
            const double r2 =
                (x - row.star_x) * (x - row.star_x) + (y - row.star_y) * (y - row.star_y);
            double v = kSky + kNoise * gauss + row.peak * std::exp(-r2 / (2 * 1.4 * 1.4));
            v = std::min(v, row.clip);
            pixels[y * kSide + x] = static_cast<std::int32_t>(std::lround(v));
        }
    for (const auto& [x, y, value] : row.hot) pixels[y * kSide + x] = value;
    for (std::int32_t v : pixels) image_max = std::max(image_max, v);
    return pixels;
}

class StarMeasurements : public ::testing::TestWithParam<StarRow> {};

TEST_P(StarMeasurements, CentroidAndFlags) {
    const StarRow& row = GetParam();
    std::int32_t image_max = 0;
    const std::vector<std::int32_t> pixels = paint(row, image_max);
    const PlaneView plane{pixels.data(), kSide, kSide, kSide};
    const StarMeasurement m =
        measure_star(plane, {row.look_x, row.look_y}, {row.range_top, double(image_max)});
    EXPECT_EQ(star_flag_names(m.flags), star_flag_names(row.flags));
    for (double v : {m.x, m.y, m.background, m.noise, m.flux, m.snr, m.hfd})
        EXPECT_TRUE(std::isfinite(v));
    if (row.centroid_tolerance > 0) {
        EXPECT_NEAR(m.x, row.star_x, row.centroid_tolerance);
        EXPECT_NEAR(m.y, row.star_y, row.centroid_tolerance);
        EXPECT_NEAR(m.background, kSky, 3);
        EXPECT_NEAR(m.noise, kNoise, 3);
    }
}

constexpr double kNoClip = 1e9;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Rows, StarMeasurements,
    ::testing::Values(
        StarRow{"clean_star", 31.3, 30.7, 8000, kNoClip, {}, 31, 31, 65535, 0, 0.05},
        StarRow{"search_two_pixels_off", 31.3, 30.7, 8000, kNoClip, {}, 33, 29, 65535, 0, 0.05},
        StarRow{"hot_pixel_by_the_star",
                31.3,
                30.7,
                8000,
                kNoClip,
                {{{34, 31, 40000}}},
                34,
                31,
                65535,
                0,
                0.05},
        StarRow{"lone_hot_pixel",
                0,
                0,
                0,
                kNoClip,
                {{{40, 20, 30000}}},
                40,
                20,
                65535,
                kStarHotPixel,
                0},
        StarRow{"clipped_at_the_range_top",
                31.3,
                30.7,
                90000,
                65535,
                {},
                31,
                31,
                65535,
                kStarSaturated,
                0},
        StarRow{"flat_top_below_the_range_top",
                31.3,
                30.7,
                30000,
                20000,
                {},
                31,
                31,
                65535,
                kStarSaturated,
                0},
        StarRow{"faint_star", 31.3, 30.7, 150, kNoClip, {}, 31, 31, 65535, kStarLowSnr, 0},
        StarRow{"no_star", 0, 0, 0, kNoClip, {}, 31, 31, 65535, kStarLost, 0},
        StarRow{"star_at_the_edge", 2.4, 30.2, 8000, kNoClip, {}, 2, 30, 65535, kStarEdge, 0},
        StarRow{"star_off_the_image",
                -6,
                30,
                8000,
                kNoClip,
                {},
                -4,
                30,
                65535,
                kStarLost | kStarEdge,
                0},
        StarRow{"position_not_a_number",
                31,
                31,
                8000,
                kNoClip,
                {},
                kNaN,
                31,
                65535,
                kStarLost | kStarEdge,
                0}),
    [](const auto& row_info) { return std::string(row_info.param.name); });

TEST(StarMeasurement, NoiselessFlatImageHasNoStar) {
    const std::vector<std::int32_t> flat(kSide * kSide, 500);
    const StarMeasurement m = measure_star({flat.data(), kSide, kSide, kSide}, {32, 32}, {});
    EXPECT_EQ(star_flag_names(m.flags), "no_star");
    EXPECT_EQ(m.x, 32);
}

}  // namespace
}  // namespace trakora
