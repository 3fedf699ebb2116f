// SPDX-License-Identifier: MIT
// Tile-compressed FITS and XISF files read as their plain FITS twins: the same keywords,
// pixels and range for every format and compression capture programs write; a normalised
// float image measured from its values; the newest-image scan reading their DATE-OBS; and
// damaged files turned away with a message.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "arrival/newest_image.hpp"
#include "base/number_text.hpp"
#include "fits/compressed_fits_writer.hpp"
#include "fits/fits_writer.hpp"
#include "fits/read_image.hpp"
#include "fits/xisf_writer.hpp"
#include "fits_reading.hpp"

namespace trakora::testing {
namespace {

constexpr int kWidth = 40;
constexpr int kHeight = 30;

// A star on a noisy sky at `scale` times 0..1, plane after plane.
std::vector<float> sky(int planes, double scale) {
    std::vector<float> v;
    for (int p = 0; p < planes; ++p)
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const double star =
                    std::exp(-((x - 21.3) * (x - 21.3) + (y - 12.6) * (y - 12.6)) / 4);
                const double noise = ((x * 7919 + y * 104729 + p * 31) % 97) / 97.0;
                v.push_back(static_cast<float>(scale * (0.02 + 0.01 * noise + 0.4 * star)));
            }
    return v;
}

std::vector<std::string> cards_for(int bitpix, int planes) {
    std::vector<std::string> cards = {logical_card("SIMPLE", true), integer_card("BITPIX", bitpix),
                                      integer_card("NAXIS", planes == 3 ? 3 : 2),
                                      integer_card("NAXIS1", kWidth),
                                      integer_card("NAXIS2", kHeight)};
    if (planes == 3) cards.push_back(integer_card("NAXIS3", 3));
    append_format_cards(cards, storage_format(bitpix));
    cards.push_back(string_card("DATE-OBS", "2026-03-01T12:00:00.125", "UTC start"));
    cards.push_back(string_card("OBJCTRA", "18 28 26.66"));
    cards.push_back(real_card("EXPTIME", 2.5, "seconds"));
    cards.push_back(integer_card("XBAYROFF", 1));
    return cards;
}

struct FormatRow {
    const char* name;
    const char* file;  // its name says the format
    std::string compression;
    int bitpix;
    int planes = 1;
    double scale = 65535;  // the samples' full scale; 1 for a normalised image
    friend void PrintTo(const FormatRow& r, std::ostream* os) { *os << r.name; }
};

std::string file_bytes(const FormatRow& r) {
    const std::vector<std::string> cards = cards_for(r.bitpix, r.planes);
    const std::vector<float> samples = sky(r.planes, r.scale);
    const std::vector<std::uint8_t> stored = encode_samples(samples, storage_format(r.bitpix));
    std::vector<std::uint8_t> bytes;
    if (std::string_view(r.file).ends_with(".fz")) {
        bytes = compressed_fits_bytes(cards, stored, *tile_compression_named(r.compression));
    } else if (std::string_view(r.file).ends_with(".xisf")) {
        XisfWriteFormat f = *xisf_compression_named(r.compression);
        f.samples = xisf_samples_for_bitpix(r.bitpix);
        bytes = xisf_file_bytes(cards, samples, kWidth, kHeight, r.planes, f);
    } else {
        bytes = fits_file_bytes(cards, stored);
    }
    return std::string(bytes.begin(), bytes.end());
}

std::string card_value(const State& s, std::string_view keyword) {
    for (int n = 1; n < s.header_end_card; ++n)
        if (has_keyword(s.header_cards[static_cast<std::size_t>(n)], keyword))
            return card_string_value(s.header_cards[static_cast<std::size_t>(n)]);
    return "(none)";
}

class ImageFormats : public ::testing::TestWithParam<FormatRow> {};

TEST_P(ImageFormats, ReadAsTheirPlainFitsTwin) {
    const FormatRow& r = GetParam();
    FitsReading plain;
    FormatRow twin = r;
    twin.file = "twin.fits";
    ASSERT_EQ(plain.read(file_bytes(twin), twin.file), 0) << plain.message;
    FitsReading other;
    ASSERT_EQ(other.read(file_bytes(r), r.file), 0) << other.message;

    for (const char* keyword : {"DATE-OBS", "OBJCTRA ", "EXPTIME ", "XBAYROFF"})
        EXPECT_EQ(card_value(other.s, keyword), card_value(plain.s, keyword)) << keyword;
    EXPECT_EQ(other.s.fits_bitpix, plain.s.fits_bitpix);
    EXPECT_EQ(other.s.image_width, kWidth);
    EXPECT_EQ(other.s.image_height, kHeight);
    // The FITS reader decodes a third plane of float images only.
    const int planes = r.bitpix == -32 ? r.planes : 1;
    for (int p = 0; p < planes; ++p)
        EXPECT_EQ(other.plane(kWidth, kHeight, p), plain.plane(kWidth, kHeight, p))
            << "plane " << p;
    EXPECT_EQ(other.s.pixel_min, plain.s.pixel_min);
    EXPECT_EQ(other.s.pixel_max, plain.s.pixel_max);
    EXPECT_EQ(other.s.measured_from_values, plain.s.measured_from_values);
    EXPECT_EQ(other.s.measured_from_values, r.scale == 1 && r.planes == 1);
    if (plain.s.measured_from_values) {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                ASSERT_EQ(other.s.sample_values.at(x, y, 0), plain.s.sample_values.at(x, y, 0));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ImageFormats,
    ::testing::Values(FormatRow{"fz_rice_16", "a.fits.fz", "rice", 16},
                      FormatRow{"fz_gzip1_8", "a.fit.fz", "gzip1", 8},
                      FormatRow{"fz_gzip2_32", "a.fz", "gzip2", 32},
                      FormatRow{"fz_plio_8", "a.fits.fz", "plio", 8},
                      FormatRow{"fz_hcompress_16", "a.fits.fz", "hcompress", 16},
                      FormatRow{"fz_hcompress_8", "a.fits.fz", "hcompress", 8},
                      FormatRow{"fz_hcompress_32_colour", "a.fits.fz", "hcompress", 32, 3},
                      FormatRow{"fz_gzip2_float_normalised", "a.fits.fz", "gzip2", -32, 1, 1},
                      FormatRow{"fz_gzip1_float_colour", "a.fits.fz", "gzip1", -32, 3},
                      FormatRow{"xisf_16", "a.xisf", "none", 16},
                      FormatRow{"xisf_zlib_8", "a.xisf", "zlib", 8},
                      FormatRow{"xisf_lz4_32", "a.xisf", "lz4", 32},
                      FormatRow{"xisf_zstd_float", "a.xisf", "zstd", -32},
                      FormatRow{"xisf_zlib_shuffled_16", "a.xisf", "zlib+sh", 16},
                      FormatRow{"xisf_lz4_shuffled_normalised", "a.xisf", "lz4+sh", -32, 1, 1},
                      FormatRow{"xisf_zstd_shuffled_colour", "a.xisf", "zstd+sh", -32, 3},
                      FormatRow{"float_normalised_fits", "a.fits", "", -32, 1, 1}),
    [](const ::testing::TestParamInfo<FormatRow>& row) { return std::string(row.param.name); });

// Newer PixInsight writes properties rather than FITS keywords.
TEST(XisfProperties, AreReadAsKeywords) {
    const std::vector<float> samples = sky(1, 65535);
    const std::vector<std::uint8_t> bytes =
        xisf_file_bytes({}, samples, kWidth, kHeight, 1, {},
                        {{"Observation:Time:Start", "", "2026-03-01T12:00:00.5Z"},
                         {"Observation:Object:RA", "", "277.111"},
                         {"Instrument:Telescope:FocalLength", "", "0.8"}});
    FitsReading r;
    ASSERT_EQ(r.read(std::string(bytes.begin(), bytes.end()), "p.xisf"), 0) << r.message;
    EXPECT_EQ(card_value(r.s, "DATE-OBS"), "2026-03-01T12:00:00.5");
    EXPECT_EQ(card_value(r.s, "OBJCTRA "), "18 28 26.64");
    EXPECT_EQ(read_number(card_value(r.s, "FOCALLEN")), 800);
}

// Damaged files: each is turned away with a message, and a file cut short is taken for
// one still being written.
struct DamageRow {
    const char* name;
    FormatRow format;
    std::function<void(std::string&)> damage;
    const char* message_part;
    bool incomplete;
    friend void PrintTo(const DamageRow& r, std::ostream* os) { *os << r.name; }
};

void replace_once(std::string& s, std::string_view from, std::string_view to) {
    s.replace(s.find(from), from.size(), to);
}

// Replaces text in an XISF header, keeping its length field true.
void replace_in_header(std::string& b, std::string_view from, std::string_view to) {
    replace_once(b, from, to);
    std::uint32_t length = 0;
    for (int k = 3; k >= 0; --k) length = (length << 8) | static_cast<unsigned char>(b[8 + k]);
    length += static_cast<std::uint32_t>(to.size() - from.size());
    for (int k = 0; k < 4; ++k) b[8 + k] = static_cast<char>(length >> (8 * k));
}

// Where the tiles begin in a compressed file of 30 rows: the heap after the extension's
// table of tile descriptors (8 bytes each).
std::ptrdiff_t heap_start(const std::string& b) {
    std::size_t at = 0;
    for (int ends = 0; ends < 2; at += 80)
        if (b.compare(at, 4, "END ") == 0) ++ends;
    return static_cast<std::ptrdiff_t>((at + 2879) / 2880 * 2880 + 240);
}

TEST(DamagedFiles, GiveAMessageNotACrash) {
    const FormatRow fz{"", "d.fits.fz", "rice", 16};
    const FormatRow xisf{"", "d.xisf", "zlib", 16};
    const std::vector<DamageRow> rows = {
        {"fz_cut_short", fz, [](std::string& b) { b.resize(b.size() - 1000); },
         "compressed FITS error", true},
        {"fz_tiles_corrupt", fz,
         [](std::string& b) { std::fill(b.begin() + heap_start(b), b.end(), '\x5A'); },
         "compressed FITS error", false},
        {"fz_no_compressed_image", fz, [](std::string& b) { b.resize(2880); },
         "no compressed image", true},
        {"fz_tile_side_as_cfitsio_reads_it", fz,
         [](std::string& b) {
             replace_once(b, "ZTILE1  =                   40", "ZTILE1  =    0              40");
         },
         "bad ZTILE1", false},
        {"fz_number_cfitsio_cannot_read", fz,
         [](std::string& b) {
             replace_once(b, "ZBITPIX =                   16", "ZBITPIX = sixteen-bit-integers");
         },
         "bad ZBITPIX", false},
        {"fz_rice_tile_cut_short", fz,
         [](std::string& b) {
             replace_once(b, "DATASUM =", "DATASUX =");
             // Each tile's first block then says its 40 samples are stored whole.
             std::fill(b.begin() + heap_start(b), b.end(), '\xFF');
         },
         "Rice stream cut short", false},
        {"fz_plio_list_longer_than_its_tile",
         {"", "p.fits.fz", "plio", 8},
         [](std::string& b) {
             replace_once(b, "DATASUM =", "DATASUX =");
             b[static_cast<std::size_t>(heap_start(b)) + 4] = '\x7F';  // the list's length
         },
         "PLIO line list reads beyond its end",
         false},
        {"fz_gzip_tile_inflates_beyond_its_size",
         {"", "g.fits.fz", "gzip1", 16},
         [](std::string& b) {
             replace_once(b, "DATASUM =", "DATASUX =");
             // 4000 zero bytes in the first tile, of 80.
             constexpr std::string_view kBomb(
                 "\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\x03\xed\xc1\x31\x01\x00\x00\x00\xc2\xa0"
                 "\xf5\x4f\x6d\x0c\x1f\xa0\x00\x00\x00\x80\xb7\x01\xbe\x93\x8b\x3a\xa0\x0f\x00\x00",
                 39);
             b.replace(b.find("\x1f\x8b\x08", 2880), kBomb.size(), kBomb);
         },
         "tile 1: inflates beyond its size",
         false},
        {"fz_hcompress_tile_sides_lie",
         {"", "h.fits.fz", "hcompress", 16},
         [](std::string& b) {
             replace_once(b, "DATASUM =", "DATASUX =");
             b[b.find("\xDD\x99", 2880) + 9] ^= 1;  // the first tile's width
         },
         "tile 1: H-compress sides differ",
         false},
        {"fz_hcompress_bit_planes_out_of_range",
         {"", "h.fits.fz", "hcompress", 16},
         [](std::string& b) {
             replace_once(b, "DATASUM =", "DATASUX =");
             b[b.find("\xDD\x99", 2880) + 23] = 40;
         },
         "tile 1: H-compress bit planes out of range",
         false},
        {"fz_hcompress_float_refused",
         {"", "h.fits.fz", "hcompress", 16},
         [](std::string& b) {
             replace_once(b, "ZBITPIX =                   16", "ZBITPIX =                  -32");
         },
         "HCOMPRESS of float samples",
         false},
        {"xisf_block_cut_short", xisf, [](std::string& b) { b.resize(b.size() - 10); },
         "data block beyond the end of the file", true},
        {"xisf_checksum_wrong", xisf, [](std::string& b) { b.back() ^= 0x55; }, "checksum mismatch",
         false},
        {"xisf_zlib_corrupt", xisf,
         [](std::string& b) {
             replace_once(b, "checksum=", "checksun=");
             b[b.size() - 20] ^= 0x55;
         },
         "zlib data corrupt", false},
        {"xisf_geometry_lies", xisf, [](std::string& b) { replace_once(b, "40:30:1", "40:31:1"); },
         "does not match the geometry", false},
        {"xisf_header_length_lies", xisf, [](std::string& b) { b[10] = '\x7F'; },
         "header cut short", true},
        {"xisf_header_not_xml", xisf,
         [](std::string& b) { replace_once(b, "</Image>", "</Imagx>"); }, "header XML", false},
        {"xisf_too_large", xisf,
         [](std::string& b) { replace_in_header(b, "40:30:1", "5000:3:1"); }, "NAXIS1 error",
         false},
        {"xisf_no_signature", xisf, [](std::string& b) { b[0] = 'Y'; }, "no XISF signature", false},
    };
    TempDir dir;
    ImageBuffer image;
    for (const DamageRow& row : rows) {
        std::string bytes = file_bytes(row.format);
        row.damage(bytes);
        write_file(dir.file(row.format.file), bytes);
        const FitsRead read = read_image(dir.file(row.format.file), image);
        EXPECT_NE(read.reason.find(row.message_part), std::string::npos)
            << row.name << ": " << read.reason;
        EXPECT_EQ(read.incomplete, row.incomplete) << row.name;
    }
}

// The scan finds the newest image by the DATE-OBS of every format, and takes the new
// names only with --names any.
TEST(NewestImage, ReadsTheDateOfEveryFormat) {
    TempDir dir;
    const auto write = [&](const char* name, const char* date, const FormatRow& format) {
        std::string bytes = file_bytes(format);
        replace_once(bytes, "2026-03-01T12:00:00.125", date);
        write_file(dir.file(name), bytes);
    };
    write("a.FIT", "2026-03-01T12:00:01.000", {"", "a.FIT", "", 16});
    write("b.fits.fz", "2026-03-01T12:00:03.000", {"", "b.fits.fz", "rice", 16});
    write("c.xisf", "2026-03-01T12:00:02.000", {"", "c.xisf", "zstd", 16});
    std::string last;
    EXPECT_EQ(newest_fits_name(dir.path(), last, NameRule::any), "b.fits.fz");
    EXPECT_EQ(newest_fits_name(dir.path(), last, NameRule::specified), "a.FIT");
    std::filesystem::remove(dir.file("b.fits.fz"));
    EXPECT_EQ(newest_fits_name(dir.path(), last, NameRule::any), "c.xisf");
}

}  // namespace
}  // namespace trakora::testing
