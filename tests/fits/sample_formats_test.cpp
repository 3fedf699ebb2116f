// SPDX-License-Identifier: MIT
// Each sample format: byte order, scaling, rounding, the 8- and 16-bit wrap, the limits
// of the 32-bit range, and where the samples land in the image buffer.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>

#include "fits/fits_reading.hpp"

namespace trakora::testing {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr float kInf = std::numeric_limits<float>::infinity();

struct FormatCase {
    const char* name;
    int bitpix;
    std::vector<std::string> cards;  // BZERO, BSCALE, NAXIS3
    std::string data;                // the samples in the file
    std::vector<std::int32_t> expected;
    friend void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }
};

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out += static_cast<char>(v);
    return out;
}
std::string floats(std::initializer_list<float> values) {
    std::string out;
    for (float v : values) append_f32(out, v);
    return out;
}
std::string bzero(const char* v) { return fits_card("BZERO", v); }
std::string bscale(const char* v) { return fits_card("BSCALE", v); }

class SampleFormats : public ::testing::TestWithParam<FormatCase> {};

// The samples, repeated 33 times, form one row; the stored row and the statistics must
// match. The repetition sends samples through the grouped conversion and the leftovers
// after the last group alike.
TEST_P(SampleFormats, DecodeScaleAndWrap) {
    const FormatCase& c = GetParam();
    constexpr int kRepeats = 33;
    std::string data;
    std::vector<std::int32_t> expected;
    for (int i = 0; i < kRepeats; ++i) {
        data += c.data;
        expected.insert(expected.end(), c.expected.begin(), c.expected.end());
    }
    const int width = static_cast<int>(expected.size());
    std::vector<std::string> cards = {fits_card("BITPIX", std::to_string(c.bitpix)),
                                      fits_card("NAXIS1", std::to_string(width)),
                                      fits_card("NAXIS2", "1")};
    cards.insert(cards.end(), c.cards.begin(), c.cards.end());
    FitsReading r;
    ASSERT_EQ(r.read(fits_header(cards) + pad_to_block(data)), 0) << c.name << ": " << r.message;
    EXPECT_EQ(r.plane(width, 1), expected) << c.name;
    std::int32_t lo = kMax, hi = -1;
    for (std::int32_t v : c.expected) lo = std::min(lo, v), hi = std::max(hi, v);
    EXPECT_EQ(r.s.pixel_min, lo) << c.name;
    EXPECT_EQ(r.s.pixel_max, hi) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    EightBit, SampleFormats,
    ::testing::Values(
        FormatCase{"unsigned bytes", 8, {}, bytes({0x00, 0xC8, 0xFF}), {0, 200, 255}},
        FormatCase{"BITPIX -8 as 8", -8, {}, bytes({0xC8}), {200}},
        FormatCase{"BZERO -128", 8, {bzero("-128")}, bytes({0x00, 0xFF, 0x80}), {-128, 127, 0}},
        FormatCase{
            "BSCALE 2 wraps above 255", 8, {bscale("2")}, bytes({200, 127, 128}), {144, 254, 0}},
        FormatCase{"wrap happens once", 8, {bzero("300")}, bytes({255}), {299}},
        FormatCase{"half rounds to even", 8, {bzero("0.5")}, bytes({0, 1, 2}), {0, 2, 2}},
        FormatCase{
            "negative half rounds to even", 8, {bzero("-0.5")}, bytes({0, 1, 2, 4}), {0, 0, 2, 4}},
        FormatCase{
            "beyond int32 saturates without wrap", 8, {bscale("1E10")}, bytes({0, 1}), {0, kMax}},
        FormatCase{"below int32 saturates", 8, {bscale("-1E10")}, bytes({1}), {kMin}},
        FormatCase{
            "infinite scale times zero is 0", 8, {bscale("1E999")}, bytes({0, 1}), {0, kMax}}),
    [](const auto& row) { return row_name(row.param.name); });

INSTANTIATE_TEST_SUITE_P(
    SixteenBit, SampleFormats,
    ::testing::Values(
        FormatCase{"BZERO 32768 gives the physical value",
                   16,
                   {bzero("32768"), bscale("1")},
                   bytes({0x80, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x7F, 0xFF}),
                   {0, 32768, 32767, 65535}},
        FormatCase{"no BZERO is unsigned",
                   16,
                   {},
                   bytes({0xFF, 0xFF, 0x80, 0x00, 0x01, 0x02}),
                   {65535, 32768, 258}},
        FormatCase{"BITPIX -16 as 16", -16, {}, bytes({0xFF, 0xFF}), {65535}},
        FormatCase{"BSCALE 2 wraps above 65535",
                   16,
                   {bscale("2")},
                   bytes({0x9C, 0x40, 0x7F, 0xFF}),
                   {14464, 65534}},
        FormatCase{"negative BZERO",
                   16,
                   {bzero("-32768")},
                   bytes({0x00, 0x00, 0xFF, 0xFF}),
                   {-32768, 32767}},
        FormatCase{"fractional BZERO rounds to even",
                   16,
                   {bzero("0.5")},
                   bytes({0, 1, 0, 2, 0, 3}),
                   {2, 2, 4}},
        FormatCase{"fractional BSCALE",
                   16,
                   {bscale("0.1")},
                   bytes({0, 15, 0, 25, 0xFF, 0xFF}),
                   {2, 2, 6554}},
        FormatCase{"largest whole BZERO of the offset path",
                   16,
                   {bzero("2147418112")},
                   bytes({0, 0, 0xFF, 0xFF}),
                   {2147352576, 2147418111}},
        FormatCase{"BZERO beyond the offset path",
                   16,
                   {bzero("2147418113")},
                   bytes({0, 0, 0xFF, 0xFF}),
                   {2147352577, kMax}},
        FormatCase{"smallest BZERO",
                   16,
                   {bzero("-2147483648")},
                   bytes({0, 0, 0xFF, 0xFF}),
                   {kMin, -2147418113}},
        FormatCase{"BZERO below int32 saturates",
                   16,
                   {bzero("-2147483649")},
                   bytes({0, 0, 0, 1}),
                   {kMin, kMin}},
        FormatCase{
            "huge BZERO saturates without wrap", 16, {bzero("1E12")}, bytes({0, 0}), {kMax}}),
    [](const auto& row) { return row_name(row.param.name); });

INSTANTIATE_TEST_SUITE_P(
    ThirtyTwoBit, SampleFormats,
    ::testing::Values(
        FormatCase{
            "big-endian", 32, {}, bytes({0, 1, 0, 0, 0x12, 0x34, 0x56, 0x78}), {65536, 0x12345678}},
        FormatCase{"two's complement",
                   32,
                   {},
                   bytes({0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0, 0, 0, 0x7F, 0xFF, 0xFF, 0xFF}),
                   {-1, kMin, kMax}},
        FormatCase{"unsigned convention BZERO 2^31",
                   32,
                   {bzero("2147483648")},
                   bytes({0x80, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}),
                   {0, 2147483647, kMax}},
        FormatCase{
            "whole BZERO", 32, {bzero("-10")}, bytes({0, 0, 0, 5, 0x80, 0, 0, 0}), {-5, kMin}},
        FormatCase{"BSCALE 0.5 rounds to even",
                   32,
                   {bscale("0.5")},
                   bytes({0, 0, 0, 3, 0, 0, 0, 5, 0xFF, 0xFF, 0xFF, 0xFB}),
                   {2, 2, -2}},
        FormatCase{"scaled beyond int32 saturates",
                   32,
                   {bscale("2")},
                   bytes({0x7F, 0, 0, 0, 0x80, 0, 0, 0}),
                   {kMax, kMin}},
        FormatCase{"no wrap for 32 bit", 32, {bzero("70000")}, bytes({0, 0, 0, 0}), {70000}}),
    [](const auto& row) { return row_name(row.param.name); });

INSTANTIATE_TEST_SUITE_P(
    FloatingPoint, SampleFormats,
    ::testing::Values(
        FormatCase{"rounded ties to even",
                   -32,
                   {},
                   bytes({0x3F, 0xC0, 0, 0, 0x40, 0x20, 0,    0,    0xC0, 0x20,
                          0,    0,    0, 0, 0,    0,    0x47, 0x7F, 0xFF, 0}),
                   {2, 2, -2, 0, 65535}},
        FormatCase{
            "halves near zero", -32, {}, floats({0.5f, -0.5f, 0.49999997f, -1.5f}), {0, 0, 0, -2}},
        FormatCase{"large values",
                   -32,
                   {},
                   floats({4194304.5f, 8388607.5f, 16777216.0f, 2147483520.0f}),
                   {4194304, 8388608, 16777216, 2147483520}},
        FormatCase{"tiny and negative zero",
                   -32,
                   {},
                   bytes({0, 0, 0, 1, 0x80, 0, 0, 0, 0x00, 0x80, 0, 0}),
                   {0, 0, 0}},
        FormatCase{"NaN is 0", -32, {}, bytes({0x7F, 0xC0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}), {0, 0}},
        FormatCase{"infinities and huge values saturate",
                   -32,
                   {},
                   floats({kInf, -kInf, 2147483648.0f, -3e9f, -2147483648.0f}),
                   {kMax, kMin, kMax, kMin, kMin}},
        FormatCase{"one plane is not scaled",
                   -32,
                   {bscale("2"), bzero("7")},
                   floats({1.5f, -3.0f}),
                   {2, -3}},
        FormatCase{"NAXIS3 other than 3 is not scaled",
                   -32,
                   {bscale("2"), fits_card("NAXIS3", "1")},
                   floats({1.5f}),
                   {2}}),
    [](const auto& row) { return row_name(row.param.name); });

// A three-plane floating-point image: all three planes in file order, scaled, rounded
// twice, statistics over all of them.
struct ThreePlaneCase {
    const char* name;
    std::vector<std::string> cards;
    std::vector<float> samples;  // two per plane
    std::vector<std::int32_t> expected;
    friend void PrintTo(const ThreePlaneCase& c, std::ostream* os) { *os << c.name; }
};

class ThreePlanes : public ::testing::TestWithParam<ThreePlaneCase> {};

TEST_P(ThreePlanes, AreScaledAndRoundedTwice) {
    const ThreePlaneCase& c = GetParam();
    std::vector<std::string> cards = c.cards;
    cards.push_back(fits_card("NAXIS3", "3"));
    std::vector<double> samples(c.samples.begin(), c.samples.end());
    FitsReading r;
    ASSERT_EQ(r.read(make_fits(-32, 2, 1, samples, cards)), 0) << c.name << ": " << r.message;
    std::vector<std::int32_t> stored;
    for (int p = 0; p < 3; ++p)
        for (std::int32_t v : r.plane(2, 1, p)) stored.push_back(v);
    EXPECT_EQ(stored, c.expected) << c.name;
    std::int32_t lo = kMax, hi = -1;
    for (std::int32_t v : c.expected) lo = std::min(lo, v), hi = std::max(hi, v);
    EXPECT_EQ(r.s.pixel_min, lo) << c.name;
    EXPECT_EQ(r.s.pixel_max, hi) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    FloatingPoint, ThreePlanes,
    ::testing::Values(
        ThreePlaneCase{"unscaled", {}, {1, 2, 3, 4, 5.5f, -6}, {1, 2, 3, 4, 6, -6}},
        ThreePlaneCase{"BSCALE 2", {bscale("2")}, {1.5f, 2, 3, 4, 5, -6}, {4, 4, 6, 8, 10, -12}},
        ThreePlaneCase{"rounded before and after scaling",
                       {bscale("0.5")},
                       {1.5f, 2.5f, 3, 5, 7, -5},
                       {1, 1, 2, 2, 4, -2}},
        ThreePlaneCase{
            "BZERO", {bzero("-100.5")}, {0, 1, 100, 200, 300, 400}, {-100, -100, 0, 100, 200, 300}},
        ThreePlaneCase{"saturated before scaling",
                       {bscale("0.5")},
                       {kInf, -kInf, std::nanf(""), 0, 1, 1},
                       {1073741824, -1073741824, 0, 0, 0, 0}}),
    [](const auto& row) { return row_name(row.param.name); });

TEST(PixelLayout, RowsFollowOneAnotherInFileOrder) {
    FitsReading r;
    std::vector<double> samples;
    for (int i = 0; i < 300; ++i) samples.push_back(i % 251);
    ASSERT_EQ(r.read(make_fits(8, 100, 3, samples)), 0);
    EXPECT_EQ(r.s.image_pixels.at(99, 0, 0), 99);   // the 100th sample
    EXPECT_EQ(r.s.image_pixels.at(0, 1, 0), 100);   // the 101st
    EXPECT_EQ(r.s.image_pixels.at(50, 2, 0), 250);  // the 251st
    EXPECT_EQ(r.s.image_pixels.at(51, 2, 0), 0);
}

TEST(PixelLayout, OnlyTheImageRegionOfTheWrittenPlanesChanges) {
    FitsReading r;
    r.mark_buffer(6, 5);
    std::vector<double> samples(4 * 3 * 3, 1);  // NAXIS3 = 3, but 16-bit: plane 0 only
    ASSERT_EQ(r.read(make_fits(16, 4, 3, samples, {fits_card("NAXIS3", "3")})), 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool inside = x < 4 && y < 3;
            EXPECT_EQ(r.s.image_pixels.at(x, y, 0) == 1, inside) << "x " << x << " y " << y;
        }
    EXPECT_TRUE(r.buffer_marked(6, 5, 1));
    EXPECT_TRUE(r.buffer_marked(6, 5, 2));
}

TEST(PixelLayout, FractionalSizesCoverTheirWholePixels) {
    FitsReading r;
    r.mark_buffer(4, 4);
    std::vector<std::string> cards = {fits_card("BITPIX", "8"), fits_card("NAXIS1", "2.7"),
                                      fits_card("NAXIS2", "1.5")};
    ASSERT_EQ(r.read(fits_header(cards) + pad_to_block(bytes({10, 11, 12}))), 0) << r.message;
    EXPECT_EQ(r.s.image_pixels.at(0, 0, 0), 10);
    EXPECT_EQ(r.s.image_pixels.at(1, 0, 0), 11);
    EXPECT_EQ(r.s.image_pixels.at(2, 0, 0), 0x5A5A5A5A + 2);
    EXPECT_EQ(r.s.image_pixels.at(0, 1, 0), 0x5A5A5A5A + 7);
    EXPECT_EQ(r.s.pixel_max, 11);
}

TEST(PixelLayout, FullWidthRowsAcrossReadBlocks) {
    // 3073 x 40 16-bit samples: rows of the widest image, and runs of samples that
    // straddle the reader's blocks wherever they end.
    constexpr int kWidth = 3073, kHeight = 40;
    std::vector<double> samples;
    for (int i = 0; i < kWidth * kHeight; ++i) samples.push_back((i * 7919) % 65536);
    FitsReading r;
    ASSERT_EQ(r.read(make_fits(16, kWidth, kHeight, samples, {bzero("-1")})), 0) << r.message;
    int wrong = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            wrong += r.s.image_pixels.at(x, y, 0) != samples[y * kWidth + x] - 1;
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(r.s.pixel_min, -1);
    EXPECT_EQ(r.s.pixel_max, 65534);
}

struct EmptyCase {
    const char* name;
    const char* width;
    const char* height;
    friend void PrintTo(const EmptyCase& c, std::ostream* os) { *os << c.name; }
};

class NoPixels : public ::testing::TestWithParam<EmptyCase> {};

TEST_P(NoPixels, ReadNothingAndKeepTheStatisticsAtTheirStart) {
    const EmptyCase& c = GetParam();
    FitsReading r;
    r.mark_buffer(2, 2);
    r.s.pixel_min = 5, r.s.pixel_max = 6;
    std::vector<std::string> cards = {fits_card("BITPIX", "16"), fits_card("NAXIS1", c.width),
                                      fits_card("NAXIS2", c.height)};
    EXPECT_EQ(r.read(fits_header(cards)), 0) << c.name << ": " << r.message;  // no data at all
    EXPECT_EQ(r.s.pixel_max, -1) << c.name;
    EXPECT_EQ(r.s.pixel_min, kMax) << c.name;
    EXPECT_TRUE(r.buffer_marked(2, 2, 0)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(SampleFormats, NoPixels,
                         ::testing::Values(EmptyCase{"width 0", "0", "5"},
                                           EmptyCase{"height 0", "5", "0"},
                                           EmptyCase{"negative width", "-4", "5"},
                                           EmptyCase{"width below one", "0.9", "5"},
                                           EmptyCase{"logical width", "T", "5"}),
                         [](const auto& row) { return row_name(row.param.name); });

TEST(Statistics, MaximumNeverEndsBelowMinusOne) {
    FitsReading r;
    ASSERT_EQ(r.read(make_fits(16, 3, 1, {0, 1, 2}, {bzero("-10")})), 0);
    EXPECT_EQ(r.s.pixel_max, -1);
    EXPECT_EQ(r.s.pixel_min, -10);
}

TEST(Statistics, StartAfreshForEveryFile) {
    FitsReading r;
    ASSERT_EQ(r.read(make_fits(8, 2, 1, {0, 250})), 0);
    ASSERT_EQ(r.read(make_fits(8, 2, 1, {5, 6})), 0);
    EXPECT_EQ(r.s.pixel_min, 5);
    EXPECT_EQ(r.s.pixel_max, 6);
}

TEST(Rounding, HalvesGoToTheEvenNeighbourAcrossTheRange) {
    // Every x.5 between -1000 and 1000 through the three-plane scaling path (double) and
    // the one-plane path (float).
    std::vector<double> samples;
    for (int i = -1000; i < 1000; ++i) samples.push_back(i + 0.5);
    FitsReading r;
    ASSERT_EQ(r.read(make_fits(-32, 2000, 1, samples)), 0);
    int wrong = 0;
    for (int x = 0; x < 2000; ++x)
        wrong += r.s.image_pixels.at(x, 0, 0) != std::nearbyint(samples[x]);
    EXPECT_EQ(wrong, 0);

    std::vector<double> whole(6000);
    for (int i = 0; i < 2000; ++i) whole[i] = 2 * i - 2000 + 1;  // odd values, halved by BSCALE
    ASSERT_EQ(r.read(make_fits(-32, 2000, 1, whole, {fits_card("NAXIS3", "3"), bscale("0.5")})), 0);
    wrong = 0;
    for (int x = 0; x < 2000; ++x)
        wrong += r.s.image_pixels.at(x, 0, 0) != std::nearbyint(whole[x] / 2);
    EXPECT_EQ(wrong, 0);
}

TEST(Rounding, AnyFloatBitPatternGivesTheNearestInt32) {
    // Random bit patterns: NaNs, infinities, subnormals, halves and values beyond the
    // range, in rows long enough for every conversion path.
    std::mt19937 gen(2024);
    std::vector<std::uint32_t> patterns = {0x7F800000u, 0xFF800000u, 0x7FC00000u, 0x4F000000u,
                                           0xCF000000u, 0x4EFFFFFFu, 0xCF000001u, 0x3F000000u,
                                           0xBF000000u, 0x00000001u};
    while (patterns.size() < 3000) {
        std::uint32_t bits = static_cast<std::uint32_t>(gen());
        // Most patterns with an exponent near the int32 range, where rounding matters.
        if (patterns.size() % 4 != 0)
            bits = (bits & 0x807FFFFFu) | ((120u + static_cast<std::uint32_t>(gen() % 40u)) << 23);
        patterns.push_back(bits);
    }
    std::string data;
    for (std::uint32_t bits : patterns) append_i32(data, bits);
    std::vector<std::string> cards = {fits_card("BITPIX", "-32"), fits_card("NAXIS1", "1000"),
                                      fits_card("NAXIS2", "3")};
    FitsReading r;
    ASSERT_EQ(r.read(fits_header(cards) + pad_to_block(data)), 0) << r.message;
    int wrong = 0;
    for (std::size_t i = 0; i < patterns.size(); ++i) {
        const double value = std::bit_cast<float>(patterns[i]);
        const double rounded = std::nearbyint(value);
        const std::int32_t expected = std::isnan(value) ? 0
                                      : rounded > kMax  ? kMax
                                      : rounded < kMin  ? kMin
                                                        : static_cast<std::int32_t>(rounded);
        const std::int32_t got =
            r.s.image_pixels.at(static_cast<int>(i % 1000), static_cast<int>(i / 1000), 0);
        if (got != expected && ++wrong <= 5)
            ADD_FAILURE() << "bits " << std::hex << patterns[i] << std::dec << " gave " << got;
    }
    EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace trakora::testing
