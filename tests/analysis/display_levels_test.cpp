// SPDX-License-Identifier: MIT
#include "analysis/display_levels.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "core/handlers.hpp"
#include "image_setup.hpp"

namespace trakora {
namespace {

using testing_support::fresh_state;
using testing_support::paint_plane;
using testing_support::paint_uniform;
using testing_support::set_extremes;

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();

// ---- Reference: the rules written out plainly, one pixel at a time. ----

DisplayHistogram reference_histogram(const State& s) {
    DisplayHistogram h{};
    if (s.pixel_max <= s.pixel_min) return h;
    const double w = (static_cast<double>(s.pixel_max) - static_cast<double>(s.pixel_min)) / 300;
    for (int x = 0; x < pixel_extent(s.image_width); ++x) {
        for (int y = 0; y < pixel_extent(s.image_height); ++y) {
            const std::int32_t p = s.image_pixels.at(x, y, 0);
            if (p < s.pixel_min || p > s.pixel_max) continue;
            const double bin =
                std::floor((static_cast<double>(p) - static_cast<double>(s.pixel_min)) / w + 0.5);
            h.at(static_cast<std::size_t>(bin)) += 1;
        }
    }
    return h;
}

std::int32_t reference_level(int i, const State& s) {
    return static_cast<std::int32_t>(
        std::floor(((static_cast<double>(i) / 300) *
                        (static_cast<double>(s.pixel_max) - static_cast<double>(s.pixel_min)) +
                    static_cast<double>(s.pixel_min)) +
                   0.5));
}

void reference_levels(State& s) {
    const DisplayHistogram h = reference_histogram(s);
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
            s.display_low = reference_level(i, s);
            break;
        }
    }
    for (int i = mode; i <= 300; ++i) {
        if (sm[i] < t) {
            const std::int64_t r = std::int64_t{reference_level(i, s)} - s.display_low;
            s.display_range = static_cast<std::int32_t>(std::min<std::int64_t>(r, kInt32Max));
            break;
        }
    }
    if (s.display_range <= 0) s.display_range = 1;
}

// ---- Worked examples ----

// 25 x 40 pixels: one 0, one 300, the rest `background` (the first two pixels are the
// extremes).
void paint_two_extremes(State& s, std::int32_t background) {
    paint_plane(s, 25, 40, 0, [background](int x, int y) {
        if (x == 0 && y == 0) return 0;
        if (x == 1 && y == 0) return 300;
        return background;
    });
    set_extremes(s);
}

TEST(DisplayLevels, BackgroundSpreadOverFiveBins) {
    auto s = fresh_state();
    paint_two_extremes(*s, 100);
    const DisplayHistogram h =
        display_histogram(image_plane(*s, 0), PixelRange{s->pixel_min, s->pixel_max});
    EXPECT_EQ(h[0], 1);
    EXPECT_EQ(h[100], 998);
    EXPECT_EQ(h[300], 1);
    compute_display_levels(*s);
    EXPECT_EQ(s->display_low, 97);
    EXPECT_EQ(s->display_range, 6);
}

TEST(DisplayLevels, LowestOfEquallyPopulatedBinsIsBackground) {
    auto s = fresh_state();
    // 499 pixels at 100 and 499 at 200: the lower bin wins.
    paint_plane(*s, 25, 40, 0, [](int x, int y) {
        if (x == 0 && y == 0) return 0;
        if (x == 1 && y == 0) return 300;
        return (y * 25 + x) % 2 == 0 ? 100 : 200;
    });
    set_extremes(*s);
    const DisplayHistogram h =
        display_histogram(image_plane(*s, 0), PixelRange{s->pixel_min, s->pixel_max});
    ASSERT_EQ(h[100], h[200]);
    compute_display_levels(*s);
    EXPECT_EQ(s->display_low, 97);
    EXPECT_EQ(s->display_range, 6);
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
    auto s = fresh_state();
    paint_two_extremes(*s, c.background);
    s->display_low = c.low_before;
    s->display_range = c.range_before;
    compute_display_levels(*s);
    EXPECT_EQ(s->display_low, c.low_after) << c.name;
    EXPECT_EQ(s->display_range, c.range_after) << c.name;
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
    for (const auto& [w, h] : {std::pair{0, 40}, std::pair{25, 0}}) {
        auto s = fresh_state();
        paint_two_extremes(*s, 100);
        s->image_width = w;
        s->image_height = h;
        s->display_low = 11;
        s->display_range = 22;
        compute_display_levels(*s);
        EXPECT_EQ(s->display_low, 11) << w << "x" << h;
        EXPECT_EQ(s->display_range, 22) << w << "x" << h;
    }
}

TEST(DisplayLevels, ReadThatStoredNothingKeepsLevels) {
    // The reader's reset values with a stale image still in the buffer.
    auto s = fresh_state();
    paint_two_extremes(*s, 100);
    s->pixel_max = -1;
    s->pixel_min = kInt32Max;
    s->display_low = 5;
    s->display_range = 0;
    compute_display_levels(*s);
    EXPECT_EQ(s->display_low, 5);
    EXPECT_EQ(s->display_range, 1);
}

TEST(DisplayLevels, FlatImageKeepsLevelsWithRangeAtLeastOne) {
    for (std::int32_t range_before : {0, -3, 40}) {
        auto s = fresh_state();
        paint_uniform(*s, 30, 20, 1234);
        set_extremes(*s);
        s->display_low = 77;
        s->display_range = range_before;
        compute_display_levels(*s);
        EXPECT_EQ(s->display_low, 77) << range_before;
        EXPECT_EQ(s->display_range, std::max(range_before, 1)) << range_before;
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
    auto s = fresh_state();
    paint_plane(*s, 3, 1, 0,
                [&c](int x, int) { return x == 0 ? c.minimum : (x == 1 ? c.maximum : c.value); });
    set_extremes(*s);
    const DisplayHistogram h =
        display_histogram(image_plane(*s, 0), PixelRange{s->pixel_min, s->pixel_max});
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
        auto s = fresh_state();
        paint_plane(*s, 20, 20, 0, [background](int x, int y) {
            if (x == 0 && y == 0) return 0;
            if (x == 1 && y == 0) return 3000;
            return background;
        });
        set_extremes(*s);
        compute_display_levels(*s);
        EXPECT_EQ(s->display_low, low) << background;
        EXPECT_EQ(s->display_range, 60) << background;
    }
}

TEST(DisplayLevels, PixelsOutsideTheExtremesAreNotCounted) {
    // A stale region can hold values the reader's extremes do not cover.
    auto s = fresh_state();
    paint_plane(*s, 40, 40, 0, [](int x, int y) {
        return x < 20 ? 100 + (x + y) % 7 : (y % 2 ? -900000 : 900000);
    });
    s->pixel_min = 0;
    s->pixel_max = 300;
    const DisplayHistogram h =
        display_histogram(image_plane(*s, 0), PixelRange{s->pixel_min, s->pixel_max});
    std::int64_t total = 0;
    for (auto c : h) total += c;
    EXPECT_EQ(total, 20 * 40);
    EXPECT_EQ(h, reference_histogram(*s));
}

TEST(DisplayLevels, RangeBeyondThirtyTwoBitsIsCapped) {
    // Values spread evenly over the whole 32-bit range: the walks stop at bins 1 and
    // 299, whose levels lie about 4.27e9 apart.
    auto s = fresh_state();
    const int w = 100, h = 91;
    const double step = (static_cast<double>(kInt32Max) - kInt32Min) / (w * h - 1);
    paint_plane(*s, w, h, 0, [&](int x, int y) {
        return static_cast<std::int32_t>(std::llround(kInt32Min + step * (y * w + x)));
    });
    set_extremes(*s);
    ASSERT_EQ(s->pixel_min, kInt32Min);
    ASSERT_EQ(s->pixel_max, kInt32Max);
    compute_display_levels(*s);
    EXPECT_EQ(s->display_low, reference_level(1, *s));
    EXPECT_EQ(s->display_range, kInt32Max);
}

// ---- Differential: random images against the plain rules ----

struct RandomImage {
    std::int32_t minimum;
    std::int64_t span;
};

// Values in [minimum, minimum + span], many of them next to bin boundaries, where a
// rounding slip would show.
void paint_random(State& s, std::mt19937_64& rng, int w, int h, const RandomImage& r) {
    std::uniform_int_distribution<std::int64_t> anywhere(0, r.span);
    std::uniform_int_distribution<int> bin(0, 300);
    std::uniform_int_distribution<int> near(-2, 2);
    std::uniform_int_distribution<int> kind(0, 9);
    const std::int64_t centre = anywhere(rng);
    const std::int64_t spread =
        std::max<std::int64_t>(1, r.span / std::uniform_int_distribution<int>(5, 600)(rng));
    std::normal_distribution<double> sky(static_cast<double>(centre), static_cast<double>(spread));
    paint_plane(s, w, h, 0, [&](int, int) {
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

        auto s = fresh_state();
        paint_random(*s, rng, w, h, RandomImage{static_cast<std::int32_t>(lowest), span});
        set_extremes(*s);
        if (round % 10 == 0) {
            // Extremes that miss some pixels, as after a partial read.
            s->pixel_min = static_cast<std::int32_t>(
                s->pixel_min + (s->pixel_max - std::int64_t{s->pixel_min}) / 4);
        }
        s->display_low = std::uniform_int_distribution<std::int32_t>(-1000, 1000)(rng);
        s->display_range = std::uniform_int_distribution<std::int32_t>(-5, 1000)(rng);

        auto ref = fresh_state(1);
        ref->image_width = s->image_width;
        ref->image_height = s->image_height;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) ref->image_pixels.at(x, y, 0) = s->image_pixels.at(x, y, 0);
        ref->pixel_min = s->pixel_min;
        ref->pixel_max = s->pixel_max;
        ref->display_low = s->display_low;
        ref->display_range = s->display_range;

        const std::string row = "round " + std::to_string(round) + " span " + std::to_string(span) +
                                " " + std::to_string(w) + "x" + std::to_string(h);
        ASSERT_EQ(display_histogram(image_plane(*s, 0), PixelRange{s->pixel_min, s->pixel_max}),
                  reference_histogram(*ref))
            << row;
        compute_display_levels(*s);
        reference_levels(*ref);
        ASSERT_EQ(s->display_low, ref->display_low) << row;
        ASSERT_EQ(s->display_range, ref->display_range) << row;
    }
}

TEST(DisplayLevelsDifferential, EveryValueOfSmallSpansBinsAsTheFormula) {
    // All values of a span, each once, across spans near multiples of 300.
    for (std::int64_t span : {1, 2, 299, 300, 301, 599, 600, 601, 1499, 65535, 90001}) {
        auto s = fresh_state();
        const int w = 400;
        const int h = static_cast<int>((span + w) / w);
        paint_plane(*s, w, h, 0, [&](int x, int y) {
            return static_cast<std::int32_t>(
                       std::min<std::int64_t>(std::int64_t{y} * w + x, span)) -
                   77;
        });
        set_extremes(*s);
        EXPECT_EQ(display_histogram(image_plane(*s, 0), PixelRange{s->pixel_min, s->pixel_max}),
                  reference_histogram(*s))
            << "span " << span;
    }
}

}  // namespace
}  // namespace trakora
