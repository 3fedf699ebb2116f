// SPDX-License-Identifier: MIT
#include "analysis/display_levels.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <utility>

#include "test_image.hpp"

namespace trakora {
namespace {

using testing_support::extremes;
using testing_support::TestImage;

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();

// ---- Reference: the rules written out plainly, one pixel at a time. ----

DisplayHistogram reference_histogram(const PlaneView& plane, PixelRange r) {
    DisplayHistogram h{};
    if (r.max <= r.min) return h;
    const double w = (static_cast<double>(r.max) - static_cast<double>(r.min)) / 300;
    for (int x = 0; x < plane.width; ++x) {
        for (int y = 0; y < plane.height; ++y) {
            const std::int32_t p = plane.at(x, y);
            if (p < r.min || p > r.max) continue;
            const double bin =
                std::floor((static_cast<double>(p) - static_cast<double>(r.min)) / w + 0.5);
            h.at(static_cast<std::size_t>(bin)) += 1;
        }
    }
    return h;
}

std::int32_t reference_level(int i, PixelRange r) {
    return static_cast<std::int32_t>(
        std::floor(((static_cast<double>(i) / 300) *
                        (static_cast<double>(r.max) - static_cast<double>(r.min)) +
                    static_cast<double>(r.min)) +
                   0.5));
}

DisplayLevels reference_levels(const PlaneView& plane, PixelRange r, DisplayLevels levels) {
    const DisplayHistogram h = reference_histogram(plane, r);
    std::int64_t peak = 0;
    int mode = 0;
    for (int i = 0; i <= 300; ++i) {
        if (h[i] > peak) {
            peak = h[i];
            mode = i;
        }
    }
    double sm[301] = {};
    for (int i = 2; i <= 298; ++i) {
        const auto sq = [&](int k) {
            const auto c = static_cast<double>(h[k]);
            return c * c;
        };
        sm[i] = std::sqrt(sq(i - 2) + sq(i - 1) + sq(i) + sq(i + 1) + sq(i + 2)) / 5;
    }
    const double t = 0.1 * sm[mode];
    for (int i = mode; i >= 0; --i) {
        if (sm[i] < t) {
            levels.low = reference_level(i, r);
            break;
        }
    }
    for (int i = mode; i <= 300; ++i) {
        if (sm[i] < t) {
            const std::int64_t span = std::int64_t{reference_level(i, r)} - levels.low;
            levels.range = static_cast<std::int32_t>(std::min<std::int64_t>(span, kInt32Max));
            break;
        }
    }
    if (levels.range <= 0) levels.range = 1;
    return levels;
}

// ---- Worked examples ----

// 25 x 40 pixels: one 0, one 300, the rest `background` (the first two pixels are the
// extremes, 0..300).
TestImage two_extremes(std::int32_t background) {
    TestImage image(25, 40);
    image.fill(0, [background](int x, int y) {
        if (x == 0 && y == 0) return 0;
        if (x == 1 && y == 0) return 300;
        return background;
    });
    return image;
}

TEST(DisplayLevels, BackgroundSpreadOverFiveBins) {
    const TestImage image = two_extremes(100);
    const DisplayHistogram h = display_histogram(image.plane(), extremes(image.plane()));
    EXPECT_EQ(h[0], 1);
    EXPECT_EQ(h[100], 998);
    EXPECT_EQ(h[300], 1);
    const DisplayLevels levels =
        choose_display_levels(image.plane(), extremes(image.plane()), DisplayLevels{});
    EXPECT_EQ(levels.low, 97);
    EXPECT_EQ(levels.range, 6);
}

TEST(DisplayLevels, LowestOfEquallyPopulatedBinsIsBackground) {
    // 499 pixels at 100 and 499 at 200: the lower bin wins.
    TestImage image(25, 40);
    image.fill(0, [](int x, int y) {
        if (x == 0 && y == 0) return 0;
        if (x == 1 && y == 0) return 300;
        return (y * 25 + x) % 2 == 0 ? 100 : 200;
    });
    const PixelRange range = extremes(image.plane());
    const DisplayHistogram h = display_histogram(image.plane(), range);
    ASSERT_EQ(h[100], h[200]);
    const DisplayLevels levels = choose_display_levels(image.plane(), range, DisplayLevels{});
    EXPECT_EQ(levels.low, 97);
    EXPECT_EQ(levels.range, 6);
}

struct KeptCase {
    const char* name;
    std::int32_t background;  // in a 0..300 image
    std::int32_t low_before, range_before;
    std::int32_t low_after, range_after;
};

std::ostream& operator<<(std::ostream& os, const KeptCase& c) { return os << c.name; }

class LevelsKept : public ::testing::TestWithParam<KeptCase> {};

// A background in the two end bins at either side has no smoothed value, so neither
// walk finds a bin; only the range's lower limit of 1 applies.
TEST_P(LevelsKept, EndBinsKeepPreviousLevels) {
    const KeptCase& c = GetParam();
    const TestImage image = two_extremes(c.background);
    const DisplayLevels levels = choose_display_levels(image.plane(), extremes(image.plane()),
                                                       DisplayLevels{c.low_before, c.range_before});
    EXPECT_EQ(levels.low, c.low_after) << c.name;
    EXPECT_EQ(levels.range, c.range_after) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LevelsKept,
    ::testing::Values(
        KeptCase{"bin0_first_image", 0, 0, 0, 0, 1}, KeptCase{"bin1_kept", 1, 50, 20, 50, 20},
        KeptCase{"bin299_kept", 299, -7, 900, -7, 900}, KeptCase{"bin300_kept", 300, 3, 4, 3, 4},
        KeptCase{"bin0_negative_range_lifted", 0, 12, -5, 12, 1},
        // Bins 2 and 298 have a smoothed value: both walks find a bin, at
        // the unsmoothed end bin on one side and 3 bins out on the other.
        KeptCase{"bin2_walks", 2, 50, 20, 1, 4}, KeptCase{"bin298_walks", 298, 50, 20, 295, 4}),
    [](const ::testing::TestParamInfo<KeptCase>& row) { return std::string(row.param.name); });

TEST(DisplayLevels, ImageWithoutPixelsKeepsLevels) {
    const TestImage image = two_extremes(100);
    for (const auto& [w, h] : {std::pair{0, 40}, std::pair{25, 0}}) {
        const DisplayLevels levels = choose_display_levels(
            image.plane(0, w, h), extremes(image.plane()), DisplayLevels{11, 22});
        EXPECT_EQ(levels.low, 11) << w << "x" << h;
        EXPECT_EQ(levels.range, 22) << w << "x" << h;
    }
}

TEST(DisplayLevels, ReadThatStoredNothingKeepsLevels) {
    // The reader's reset values with a stale image still in the buffer.
    const TestImage image = two_extremes(100);
    const DisplayLevels levels =
        choose_display_levels(image.plane(), PixelRange{kInt32Max, -1}, DisplayLevels{5, 0});
    EXPECT_EQ(levels.low, 5);
    EXPECT_EQ(levels.range, 1);
}

TEST(DisplayLevels, FlatImageKeepsLevelsWithRangeAtLeastOne) {
    TestImage image(30, 20);
    image.fill(0, [](int, int) { return 1234; });
    for (std::int32_t range_before : {0, -3, 40}) {
        const DisplayLevels levels = choose_display_levels(image.plane(), extremes(image.plane()),
                                                           DisplayLevels{77, range_before});
        EXPECT_EQ(levels.low, 77) << range_before;
        EXPECT_EQ(levels.range, std::max(range_before, 1)) << range_before;
    }
}

struct BinCase {
    const char* name;
    std::int32_t minimum, maximum, value;
    int bin;
};

std::ostream& operator<<(std::ostream& os, const BinCase& c) { return os << c.name; }

class HistogramBin : public ::testing::TestWithParam<BinCase> {};

TEST_P(HistogramBin, ValueLandsInBin) {
    const BinCase& c = GetParam();
    TestImage image(3, 1);
    image.fill(0, [&c](int x, int) { return x == 0 ? c.minimum : (x == 1 ? c.maximum : c.value); });
    const DisplayHistogram h = display_histogram(image.plane(), extremes(image.plane()));
    DisplayHistogram want{};
    want[0] += 1;
    want[300] += 1;
    want[static_cast<std::size_t>(c.bin)] += 1;
    EXPECT_EQ(h, want) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HistogramBin,
    ::testing::Values(
        // Bin width 2: bins 0 and 300 are one value wide, the others two.
        BinCase{"width2_minimum", 0, 600, 0, 0}, BinCase{"width2_half_bin_up", 0, 600, 1, 1},
        BinCase{"width2_below_top_half", 0, 600, 598, 299},
        BinCase{"width2_top_half", 0, 600, 599, 300},
        // Bin width 10: a value exactly half-way goes up.
        BinCase{"width10_below_half", 0, 3000, 1004, 100},
        BinCase{"width10_half_goes_up", 0, 3000, 1005, 101},
        // Negative values and a span that is not a multiple of 300.
        BinCase{"negative_span", -1000, -1, -500, 150}, BinCase{"span_301", 0, 301, 151, 150},
        // The full 32-bit range: differences beyond 32 bits.
        BinCase{"full_range_minimum_side", kInt32Min, kInt32Max, kInt32Min + 7158279, 1},
        BinCase{"full_range_middle", kInt32Min, kInt32Max, 0, 150},
        BinCase{"full_range_maximum_side", kInt32Min, kInt32Max, kInt32Max - 7158278, 300}),
    [](const ::testing::TestParamInfo<BinCase>& row) { return std::string(row.param.name); });

TEST(DisplayLevels, BackgroundAtHalfWayValueMovesUpABin) {
    // Width 10: a background at 1004 is bin 100, at 1005 bin 101; the levels follow.
    for (const auto& [background, low] : {std::pair{1004, 970}, std::pair{1005, 980}}) {
        TestImage image(20, 20);
        image.fill(0, [background](int x, int y) {
            if (x == 0 && y == 0) return 0;
            if (x == 1 && y == 0) return 3000;
            return background;
        });
        const DisplayLevels levels =
            choose_display_levels(image.plane(), extremes(image.plane()), DisplayLevels{});
        EXPECT_EQ(levels.low, low) << background;
        EXPECT_EQ(levels.range, 60) << background;
    }
}

TEST(DisplayLevels, PixelsOutsideTheExtremesAreNotCounted) {
    // A stale region can hold values the reader's extremes do not cover.
    TestImage image(40, 40);
    image.fill(
        0, [](int x, int y) { return x < 20 ? 100 + (x + y) % 7 : (y % 2 ? -900000 : 900000); });
    const DisplayHistogram h = display_histogram(image.plane(), PixelRange{0, 300});
    std::int64_t total = 0;
    for (auto c : h) total += c;
    EXPECT_EQ(total, 20 * 40);
    EXPECT_EQ(h, reference_histogram(image.plane(), PixelRange{0, 300}));
}

TEST(DisplayLevels, RangeBeyondThirtyTwoBitsIsCapped) {
    // Values spread evenly over the whole 32-bit range: the walks stop at bins 1 and
    // 299, whose levels lie about 4.27e9 apart.
    const int w = 100, h = 91;
    const double step = (static_cast<double>(kInt32Max) - kInt32Min) / (w * h - 1);
    TestImage image(w, h);
    image.fill(0, [&](int x, int y) {
        return static_cast<std::int32_t>(std::llround(kInt32Min + step * (y * w + x)));
    });
    const PixelRange range = extremes(image.plane());
    ASSERT_EQ(range.min, kInt32Min);
    ASSERT_EQ(range.max, kInt32Max);
    const DisplayLevels levels = choose_display_levels(image.plane(), range, DisplayLevels{});
    EXPECT_EQ(levels.low, reference_level(1, range));
    EXPECT_EQ(levels.range, kInt32Max);
}

// ---- Differential: random images against the plain rules ----

struct RandomImage {
    std::int32_t minimum;
    std::int64_t span;
};

// Values in [minimum, minimum + span], many of them next to bin boundaries, where a
// rounding slip would show.
TestImage random_image(std::mt19937_64& rng, int w, int h, const RandomImage& r) {
    std::uniform_int_distribution<std::int64_t> anywhere(0, r.span);
    std::uniform_int_distribution<int> bin(0, 300);
    std::uniform_int_distribution<int> near(-2, 2);
    std::uniform_int_distribution<int> kind(0, 9);
    const std::int64_t centre = anywhere(rng);
    const std::int64_t spread =
        std::max<std::int64_t>(1, r.span / std::uniform_int_distribution<int>(5, 600)(rng));
    std::normal_distribution<double> sky(static_cast<double>(centre), static_cast<double>(spread));
    TestImage image(w, h);
    image.fill(0, [&](int, int) {
        std::int64_t q;
        switch (kind(rng)) {
            case 0:
                q = anywhere(rng);
                break;
            case 1:
            case 2:
                q = std::llround((bin(rng) - 0.5) * static_cast<double>(r.span) / 300) + near(rng);
                break;
            default:
                q = std::llround(sky(rng));
                break;
        }
        q = std::clamp<std::int64_t>(q, 0, r.span);
        return static_cast<std::int32_t>(r.minimum + q);
    });
    return image;
}

TEST(DisplayLevelsDifferential, MatchesPlainRulesOnRandomImages) {
    std::mt19937_64 rng(20240611);
    for (int round = 0; round < 1500; ++round) {
        // Spans from 1 to the whole 32-bit range, so both small and wide spans occur.
        const int bits = std::uniform_int_distribution<int>(0, 32)(rng);
        std::int64_t span =
            std::uniform_int_distribution<std::int64_t>(1, (std::int64_t{1} << bits))(rng);
        span = std::min<std::int64_t>(span, std::int64_t{kInt32Max} - kInt32Min);
        const std::int64_t lowest =
            std::uniform_int_distribution<std::int64_t>(kInt32Min, kInt32Max - span)(rng);
        const int w = std::uniform_int_distribution<int>(1, 70)(rng);
        const int h = std::uniform_int_distribution<int>(1, 50)(rng);

        const TestImage image =
            random_image(rng, w, h, RandomImage{static_cast<std::int32_t>(lowest), span});
        const PlaneView plane = image.plane();
        PixelRange range = extremes(plane);
        if (round % 10 == 0) {
            // Extremes that miss some pixels, as after a partial read.
            range.min =
                static_cast<std::int32_t>(range.min + (range.max - std::int64_t{range.min}) / 4);
        }
        DisplayLevels before;
        before.low = std::uniform_int_distribution<std::int32_t>(-1000, 1000)(rng);
        before.range = std::uniform_int_distribution<std::int32_t>(-5, 1000)(rng);

        const std::string row = "round " + std::to_string(round) + " span " + std::to_string(span) +
                                " " + std::to_string(w) + "x" + std::to_string(h);
        ASSERT_EQ(display_histogram(plane, range), reference_histogram(plane, range)) << row;
        const DisplayLevels levels = choose_display_levels(plane, range, before);
        const DisplayLevels want = reference_levels(plane, range, before);
        ASSERT_EQ(levels.low, want.low) << row;
        ASSERT_EQ(levels.range, want.range) << row;
    }
}

TEST(DisplayLevelsDifferential, EveryValueOfSmallSpansBinsAsTheFormula) {
    // All values of a span, each once, across spans near multiples of 300.
    for (std::int64_t span : {1, 2, 299, 300, 301, 599, 600, 601, 1499, 65535, 90001}) {
        const int w = 400;
        const int h = static_cast<int>((span + w) / w);
        TestImage image(w, h);
        image.fill(0, [&](int x, int y) {
            return static_cast<std::int32_t>(
                       std::min<std::int64_t>(std::int64_t{y} * w + x, span)) -
                   77;
        });
        const PixelRange range = extremes(image.plane());
        EXPECT_EQ(display_histogram(image.plane(), range),
                  reference_histogram(image.plane(), range))
            << "span " << span;
    }
}

}  // namespace
}  // namespace trakora
