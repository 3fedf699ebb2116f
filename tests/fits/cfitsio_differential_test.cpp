// SPDX-License-Identifier: MIT
// Images written by CFITSIO, read by both CFITSIO and our reader: every stored value and
// the statistics must agree. The cases keep to what the two readers mean alike: CFITSIO
// takes 16-bit samples as signed, so the 16-bit rows use raw values below 32768 unless
// BZERO is 32768; it scales single-plane floating-point images, so those rows carry no
// BZERO or BSCALE; it does not round floating-point samples before scaling, so the scaled
// three-plane rows hold whole numbers.
#include <fitsio.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <random>

#include "fits/fits_reading.hpp"

namespace trakora::testing {
namespace {

enum class Raw { Byte, Int16, Int16LowHalf, Int32, Int32Moderate, FloatFractions, FloatWhole };

struct DifferentialCase {
    const char* name;
    int bitpix;
    int naxis3;  // 0: a two-axis image
    std::optional<double> bzero;
    std::optional<double> bscale;
    Raw raw;
    friend void PrintTo(const DifferentialCase& c, std::ostream* os) { *os << c.name; }
};

double random_raw(Raw kind, std::mt19937& gen) {
    auto uniform = [&gen](double lo, double hi) {
        return std::uniform_int_distribution<std::int64_t>(static_cast<std::int64_t>(lo),
                                                           static_cast<std::int64_t>(hi))(gen);
    };
    switch (kind) {
        case Raw::Byte:
            return static_cast<double>(uniform(0, 255));
        case Raw::Int16:
            return static_cast<double>(uniform(-32768, 32767));
        case Raw::Int16LowHalf:
            return static_cast<double>(uniform(0, 32767));
        case Raw::Int32:
            return static_cast<double>(uniform(-2147483648.0, 2147483647.0));
        case Raw::Int32Moderate:
            return static_cast<double>(uniform(-1000000, 1000000));
        case Raw::FloatWhole:
            return static_cast<double>(uniform(-100000, 100000));
        case Raw::FloatFractions:
            // Quarters bring many halfway cases; now and then a value beyond int32.
            if (uniform(0, 50) == 0)
                return static_cast<double>(static_cast<float>(uniform(-4e9, 4e9)));
            return static_cast<double>(uniform(-400000, 400000)) / 4;
    }
    return 0;
}

void write_with_cfitsio(const std::filesystem::path& path, const DifferentialCase& c, long width,
                        long height, const std::vector<double>& raw) {
    int status = 0;
    fitsfile* f = nullptr;
    const std::string name = "!" + path.string();  // "!": replace an existing file
    long axes[3] = {width, height, c.naxis3};
    fits_create_file(&f, name.c_str(), &status);
    fits_create_img(f, c.bitpix, c.naxis3 > 0 ? 3 : 2, axes, &status);
    if (c.bzero) fits_write_key_dbl(f, "BZERO", *c.bzero, -15, "", &status);
    if (c.bscale) fits_write_key_dbl(f, "BSCALE", *c.bscale, -15, "", &status);
    fits_set_bscale(f, 1.0, 0.0, &status);  // the values given are the stored ones
    fits_write_img(f, TDOUBLE, 1, static_cast<LONGLONG>(raw.size()),
                   const_cast<double*>(raw.data()), &status);
    fits_close_file(f, &status);
    ASSERT_EQ(status, 0) << "CFITSIO could not write " << path;
}

std::vector<double> read_with_cfitsio(const std::filesystem::path& path, std::size_t count) {
    int status = 0;
    int any_null = 0;
    fitsfile* f = nullptr;
    std::vector<double> values(count);
    long first[3] = {1, 1, 1};
    fits_open_file(&f, path.c_str(), READONLY, &status);
    fits_read_pix(f, TDOUBLE, first, static_cast<LONGLONG>(count), nullptr, values.data(),
                  &any_null, &status);
    fits_close_file(f, &status);
    EXPECT_EQ(status, 0) << "CFITSIO could not read " << path;
    return values;
}

// CFITSIO's physical value as this program stores it: rounded half to even, limited to
// the 32-bit range, and the 8- and 16-bit wrap.
std::int32_t stored_value(double physical, int bitpix) {
    const double rounded = std::nearbyint(physical);
    if (rounded > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (rounded < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    auto v = static_cast<std::int32_t>(rounded);
    if (bitpix == 8 && v > 255) v -= 256;
    if (bitpix == 16 && v > 65535) v -= 65536;
    return v;
}

class AgainstCfitsio : public ::testing::TestWithParam<DifferentialCase> {};

TEST_P(AgainstCfitsio, StoredValuesAndStatisticsAgree) {
    const DifferentialCase& c = GetParam();
    const bool three_planes = c.bitpix == -32 && c.naxis3 == 3;
    FitsReading r;
    for (unsigned seed = 1; seed <= 4; ++seed) {
        std::mt19937 gen(seed * 7919 + static_cast<unsigned>(c.bitpix + 100) * 31 +
                         static_cast<unsigned>(c.raw));
        const long width = std::uniform_int_distribution<long>(1, 200)(gen);
        const long height = std::uniform_int_distribution<long>(1, 150)(gen);
        const std::size_t per_plane = static_cast<std::size_t>(width * height);
        std::vector<double> raw(per_plane * static_cast<std::size_t>(std::max(c.naxis3, 1)));
        for (double& v : raw) v = random_raw(c.raw, gen);
        const std::filesystem::path path = r.dir.file("cfitsio.fit");
        write_with_cfitsio(path, c, width, height, raw);
        if (::testing::Test::HasFatalFailure()) return;

        const std::vector<double> physical =
            read_with_cfitsio(path, per_plane * (three_planes ? 3 : 1));
        ASSERT_EQ(r.read_existing("cfitsio.fit"), 0) << c.name << ": " << r.message;

        std::int32_t lo = std::numeric_limits<std::int32_t>::max(), hi = -1;
        int wrong = 0;
        for (std::size_t i = 0; i < physical.size(); ++i) {
            const std::int32_t expected = stored_value(physical[i], c.bitpix);
            lo = std::min(lo, expected);
            hi = std::max(hi, expected);
            const int x = static_cast<int>(i % static_cast<std::size_t>(width));
            const int y = static_cast<int>(i / static_cast<std::size_t>(width) %
                                           static_cast<std::size_t>(height));
            const int p = static_cast<int>(i / per_plane);
            const std::int32_t got = r.s.image_pixels.at(x, y, p);
            if (got != expected && ++wrong <= 5) {
                ADD_FAILURE() << c.name << " seed " << seed << " " << width << "x" << height
                              << ": pixel (" << x << ", " << y << ", " << p << ") raw " << raw[i]
                              << " CFITSIO " << physical[i] << " expected " << expected << " got "
                              << got;
            }
        }
        EXPECT_EQ(wrong, 0) << c.name << " seed " << seed;
        EXPECT_EQ(r.s.pixel_min, lo) << c.name << " seed " << seed;
        EXPECT_EQ(r.s.pixel_max, hi) << c.name << " seed " << seed;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cfitsio, AgainstCfitsio,
    ::testing::Values(
        DifferentialCase{"8 bit plain", 8, 0, {}, {}, Raw::Byte},
        DifferentialCase{"8 bit BZERO -128", 8, 0, -128, {}, Raw::Byte},
        DifferentialCase{"8 bit scaled and wrapped", 8, 0, -20.25, 1.5, Raw::Byte},
        DifferentialCase{"8 bit three planes, plane 0", 8, 3, 3, {}, Raw::Byte},
        DifferentialCase{"16 bit unsigned BZERO 32768", 16, 0, 32768, 1, Raw::Int16},
        DifferentialCase{"16 bit plain", 16, 0, {}, {}, Raw::Int16LowHalf},
        DifferentialCase{"16 bit quarter scale", 16, 0, -1000.5, 0.25, Raw::Int16LowHalf},
        DifferentialCase{"16 bit scaled and wrapped", 16, 0, {}, 3, Raw::Int16LowHalf},
        DifferentialCase{"16 bit three planes, plane 0", 16, 3, 32768, {}, Raw::Int16},
        DifferentialCase{"32 bit plain", 32, 0, {}, {}, Raw::Int32},
        DifferentialCase{"32 bit unsigned BZERO 2^31", 32, 0, 2147483648.0, {}, Raw::Int32},
        DifferentialCase{"32 bit half scale", 32, 0, 0.5, 0.5, Raw::Int32Moderate},
        DifferentialCase{"32 bit large scale", 32, 0, 1000, 3000, Raw::Int32Moderate},
        DifferentialCase{"float one plane", -32, 0, {}, {}, Raw::FloatFractions},
        DifferentialCase{"float three planes", -32, 3, {}, {}, Raw::FloatFractions},
        DifferentialCase{"float three planes scaled", -32, 3, 100, 0.5, Raw::FloatWhole},
        DifferentialCase{"float three planes scaled with a fraction", -32, 3, -0.5, 1.25,
                         Raw::FloatWhole}),
    [](const auto& row) { return row_name(row.param.name); });

}  // namespace
}  // namespace trakora::testing
