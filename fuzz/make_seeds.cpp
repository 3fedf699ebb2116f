// SPDX-License-Identifier: MIT
// Writes the seed corpora of the fuzz targets: small valid images of every sample format
// and the files the reader must turn away, so fuzzing starts from every branch of the
// reader instead of having to find FITS syntax by chance.
//
// Usage: make_seeds OUTDIR   (writes a folder of OUTDIR for each target: read_fits/,
//                            newest_image/, observing_keywords/, plate_solution/, ...)
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "fits/compressed_fits_writer.hpp"
#include "fits/fits_writer.hpp"
#include "fits/xisf_writer.hpp"

namespace {

namespace fs = std::filesystem;
using Cards = std::vector<std::string>;

std::string card(const std::string& text) {
    std::string c = text.substr(0, 80);
    c.resize(80, ' ');
    return c;
}

// KEY     =                value, the value right-justified to column 30.
std::string value_card(const std::string& key, const std::string& value) {
    std::string k = key;
    k.resize(8, ' ');
    std::string field = value.size() < 20 ? std::string(20 - value.size(), ' ') + value : value;
    return card(k + "= " + field);
}

std::string header(const Cards& cards, bool end = true) {
    std::string out;
    for (const std::string& c : cards) out += c;
    if (end) out += card("END");
    out.resize((out.size() + 2879) / 2880 * 2880, ' ');
    return out;
}

Cards image_cards(int bitpix, int width, int height, int planes = 1) {
    Cards c = {value_card("SIMPLE", "T"), value_card("BITPIX", std::to_string(bitpix)),
               value_card("NAXIS", planes > 1 ? "3" : "2"),
               value_card("NAXIS1", std::to_string(width)),
               value_card("NAXIS2", std::to_string(height))};
    if (planes > 1) c.push_back(value_card("NAXIS3", std::to_string(planes)));
    c.push_back(value_card("DATE-OBS", "'2026-12-09T01:00:00'"));
    return c;
}

void put_be(std::string& out, std::uint32_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

void put_float(std::string& out, float f) {
    std::uint32_t v;
    std::memcpy(&v, &f, 4);
    put_be(out, v, 4);
}

// A small star on a sloping background, as raw stored values.
std::vector<double> star_field(int width, int height, double peak, double base) {
    std::vector<double> v(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double r2 =
                (x - width / 3.0) * (x - width / 3.0) + (y - height / 2.0) * (y - height / 2.0);
            v[static_cast<std::size_t>(y) * width + x] = base + x + peak * std::exp(-r2 / 4);
        }
    }
    return v;
}

std::string samples(int bitpix, const std::vector<double>& values) {
    std::string out;
    for (double v : values) {
        if (bitpix == -32) {
            put_float(out, static_cast<float>(v));
        } else {
            put_be(out, static_cast<std::uint32_t>(static_cast<std::int64_t>(v)),
                   std::abs(bitpix) / 8);
        }
    }
    return out;
}

std::string pad(std::string data) {
    data.resize((data.size() + 2879) / 2880 * 2880, '\0');
    return data;
}

std::string image(int bitpix, int width, int height, Cards extra = {}, int planes = 1,
                  double peak = 200, double base = 10) {
    Cards cards = image_cards(bitpix, width, height, planes);
    cards.insert(cards.end(), extra.begin(), extra.end());
    std::vector<double> values;
    for (int p = 0; p < planes; ++p) {
        const std::vector<double> plane = star_field(width, height, peak * (p + 1), base);
        values.insert(values.end(), plane.begin(), plane.end());
    }
    return header(cards) + pad(samples(bitpix, values));
}

// What a camera program writes, through the simulator's writer.
std::string camera_image(int bitpix) {
    using namespace trakora;
    const StorageFormat format = storage_format(bitpix);
    std::vector<std::string> cards = {logical_card("SIMPLE", true), integer_card("BITPIX", bitpix),
                                      integer_card("NAXIS", 2), integer_card("NAXIS1", 24),
                                      integer_card("NAXIS2", 16)};
    append_format_cards(cards, format);
    cards.push_back(string_card("DATE-OBS", "2026-12-09T01:02:03.000"));
    std::vector<float> values;
    for (double v : star_field(24, 16, bitpix == 8 ? 200 : 30000, 50))
        values.push_back(static_cast<float>(v));
    const std::vector<std::uint8_t> bytes = fits_file_bytes(cards, encode_samples(values, format));
    return std::string(bytes.begin(), bytes.end());
}

std::string float_with_specials() {
    std::string data;
    const float specials[] = {std::numeric_limits<float>::quiet_NaN(),
                              std::numeric_limits<float>::infinity(),
                              -std::numeric_limits<float>::infinity(),
                              3e9f,
                              -3e9f,
                              1e-40f,
                              2.5f,
                              -2.5f};
    for (int i = 0; i < 8 * 4; ++i) put_float(data, specials[i % 8]);
    return header(image_cards(-32, 8, 4)) + pad(data);
}

std::string long_header_without_end() {
    Cards cards = image_cards(16, 4, 4);
    while (cards.size() < 600) cards.push_back(card("COMMENT padding"));
    return header(cards, false) + pad(samples(16, std::vector<double>(16, 7)));
}

void write(const fs::path& dir, const std::string& name, const std::string& bytes) {
    std::ofstream out(dir / name, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "make_seeds: cannot write %s\n", (dir / name).c_str());
        std::exit(1);
    }
}

void read_fits_seeds(const fs::path& dir) {
    write(dir, "u8", image(8, 16, 12));
    write(dir, "u8_bzero", image(8, 16, 12, {value_card("BZERO", "-128")}));
    write(dir, "i16", image(16, 16, 12, {}, 1, 30000));
    write(dir, "i16_bzero",
          image(16, 16, 12, {value_card("BZERO", "32768"), value_card("BSCALE", "1")}));
    write(dir, "i16_bscale",
          image(16, 16, 12, {value_card("BSCALE", "2.5"), value_card("BZERO", "-7.25")}));
    write(dir, "i16_neg_bitpix", image(-16, 16, 12));
    write(dir, "i8_neg_bitpix", image(-8, 16, 12));
    write(dir, "i32", image(32, 16, 12, {}, 1, 100000));
    write(dir, "i32_bzero", image(32, 16, 12, {value_card("BZERO", "2147483648")}));
    write(dir, "i32_scaled",
          image(32, 16, 12, {value_card("BSCALE", "0.5"), value_card("BZERO", "3")}));
    write(dir, "f32", image(-32, 16, 12, {}, 1, 1000.5));
    write(dir, "f32_colour", image(-32, 16, 12, {value_card("BSCALE", "2")}, 3));
    write(dir, "i16_naxis3", image(16, 16, 12, {}, 3));
    write(dir, "f32_specials", float_with_specials());
    for (int bitpix : {8, 16, 32, -32})
        write(dir, "camera" + std::to_string(std::abs(bitpix)), camera_image(bitpix));

    // Header layouts: END on card 36 and 37, free format and odd value fields.
    Cards c36 = image_cards(8, 4, 4);
    while (c36.size() < 35) c36.push_back(card("COMMENT"));
    write(dir, "end_card36", header(c36) + pad(samples(8, std::vector<double>(16, 9))));
    c36.push_back(card("HISTORY one more"));
    write(dir, "end_card37", header(c36) + pad(samples(8, std::vector<double>(16, 9))));
    write(dir, "free_format",
          header({card("SIMPLE  = T"), card("BITPIX  = 16 / bits"),
                  card("NAXIS1  = 1 2 / blanks inside"), card("NAXIS2  =2"),
                  card("BZERO   = 3.2768D4"), card("BSCALE  = 1.0E0"), card("ENDING")}) +
              pad(samples(16, std::vector<double>(24, 1))));
    write(dir, "lower_case",
          header({card("bitpix  = 16"), value_card("BITPIX", "16"), card("naxis1  = 4"),
                  value_card("NAXIS1", "4"), card("NAXIS2 =4"), value_card("NAXIS2", "4")}) +
              pad(samples(16, std::vector<double>(16, 3))));
    write(dir, "zero_width", header(image_cards(16, 0, 5)));

    // The files the reader turns away.
    write(dir, "no_bitpix",
          header({value_card("NAXIS1", "4"), value_card("NAXIS2", "4")}) + pad(std::string(32, 1)));
    write(dir, "bitpix64",
          header(
              {value_card("BITPIX", "-64"), value_card("NAXIS1", "4"), value_card("NAXIS2", "4")}) +
              pad(std::string(128, '\x40')));
    write(dir, "no_naxis1", header({value_card("BITPIX", "8"), value_card("NAXIS2", "4")}));
    write(dir, "no_naxis2", header({value_card("BITPIX", "8"), value_card("NAXIS1", "4")}));
    write(dir, "huge_naxis1",
          header({value_card("BITPIX", "16"), value_card("NAXIS1", "1000000000"),
                  value_card("NAXIS2", "2")}));
    write(dir, "wide_3074",
          header({value_card("BITPIX", "8"), value_card("NAXIS1", "3074"),
                  value_card("NAXIS2", "1")}) +
              pad(std::string(3074, 5)));
    write(dir, "long_header", long_header_without_end());
    std::string truncated = image(16, 16, 12);
    truncated.resize(2880 + 100);
    write(dir, "truncated", truncated);
    write(dir, "short", "SIMPLE  =                    T");
    write(dir, "empty", "");
    write(dir, "not_fits", std::string("\x89PNG\r\n\x1a\n") + std::string(200, '\x7f'));
}

// One record of the newest-image input: name and kind byte, length, content.
std::string record(int name, int kind, const std::string& content) {
    std::string r;
    r += static_cast<char>(name | (kind << 3));
    r += static_cast<char>(content.size() & 0xFF);
    r += static_cast<char>((content.size() >> 8) & 0xFF);
    return r + content;
}

std::string dated(const std::string& date, bool end = true) {
    return header({value_card("SIMPLE", "T"), card("DATE-OBS= '" + date + "'")}, end)
        .substr(0, 80 * 4);
}

void newest_image_seeds(const fs::path& dir) {
    // Names: 0 a.FIT, 1 b.FTS, 2 c.Fit, 3 d.Fts, 4 e.fit, 5 OUTFIT, 6 .h.FIT, 7 FI.
    // Kinds: 0 file, 2 link to the previous entry, 3 directory.
    write(dir, "three_dates",
          record(0, 0, dated("2002-10-05T20:00:00")) + record(4, 0, dated("2002-10-05T23:00:00")) +
              record(1, 0, dated("2002-10-05T20:05:00")));
    write(dir, "tie", record(2, 0, dated("2002-10-05")) + record(0, 0, dated("2002-10-05")));
    write(dir, "two_dates_one_file",
          record(0, 0,
                 card("DATE-OBS= '2002-10-05'") + card("DATE-OBS= '2002-10-07'") + card("END")) +
              record(3, 0, dated("2002-10-06")));
    write(dir, "date_after_end",
          record(5, 0, card("END") + card("DATE-OBS= '2099-01-01'")) +
              record(1, 0, dated("2001-01-01")));
    write(dir, "no_end",
          record(5, 0, dated("2003-01-01", false)) + record(0, 0, dated("2002-01-01")));
    write(dir, "hidden_and_short",
          record(6, 0, dated("2099-01-01")) + record(7, 0, dated("2099-01-01")) +
              record(3, 0, dated("2000-01-01")));
    write(
        dir, "link_and_loop",
        record(0, 0, dated("2004-01-01")) + record(1, 2, "") + record(2, 2, "") + record(2, 2, ""));
    write(dir, "directory", record(0, 3, "") + record(1, 0, dated("2004-01-01") + "tail"));
    // A header that goes on past card 500 with its date there, and one with no END at all.
    std::string long_header;
    for (int i = 0; i < 509; ++i) long_header += card("COMMENT " + std::to_string(i));
    long_header += card("DATE-OBS= '2099-01-01'");
    write(dir, "date_past_card_500",
          record(0, 0, long_header + card("END")) + record(1, 0, dated("2001-01-01")));
    write(dir, "partial_card",
          record(0, 0, dated("2005-01-01").substr(0, 79)) + record(1, 0, dated("2004-01-01")));
}

// Headers as capture programs write them, and as they go wrong: the cards alone.
void observing_keywords_seeds(const fs::path& dir) {
    const auto cards = [](const Cards& c) {
        std::string out;
        for (const std::string& one : c) out += one;
        return out + card("END");
    };
    write(dir, "camera_with_mount",
          cards({value_card("XPIXSZ", "3.76"), value_card("FOCALLEN", "500."),
                 card("OBJCTRA = '05 35 17.30'"), card("OBJCTDEC= '-05 23 28.0'"),
                 value_card("SITELAT", "35.6762"), value_card("SITELONG", "139.6503"),
                 card("DATE-OBS= '2026-12-09T02:05:40.125'"), value_card("EXPTIME", "2.0"),
                 card("PIERSIDE= 'WEST'"), value_card("AMBTEMP", "-3.5"),
                 value_card("PRESSURE", "1013.2")}));
    write(dir, "plain_degrees_and_mjd",
          cards({value_card("SCALE", "1.52"), value_card("RA", "83.82"), value_card("DEC", "-5.39"),
                 value_card("MJD-OBS", "61383.0873"), value_card("EXPOSURE", "30")}));
    write(dir, "placeholder_pointing",
          cards({card("OBJCTRA = '00 00 00'"), card("OBJCTDEC= '00 00 00'"),
                 value_card("SITELONG", "0")}));
    write(dir, "rounded_sixty",
          cards({card("SITELONG= '+139 41 60.0'"), card("SITELAT = '+35 59 60'"),
                 card("OBJCTRA = '23 59 60.00'"), card("OBJCTDEC= '+89 59 60'")}));
    write(dir, "garbage",
          cards({card("FOCALLEN= 'n/a'"), value_card("XPIXSZ", "-3"), card("SITELONG= 'far'"),
                 card("DATE-OBS= '09/12/96'"), card("TIME-OBS= '25:00:00'"),
                 card("RA      = '12h61m'"), card("DEC     = '+-45'")}));
    write(dir, "fortran_exponent_and_ut",
          cards({value_card("PIXSCALE", "1.25D0"), card("DATE-OBS= '2026-12-09'"),
                 card("UT      = '02:05:40.5'"), card("OBJECT  = 'It''s M 42 / a comment'")}));
}

// Plate solutions in each of their forms, and beside the cards wcslib also parses.
void plate_solution_seeds(const fs::path& dir) {
    const auto cards = [](const Cards& c) {
        std::string out;
        for (const std::string& one : c) out += one;
        return out + card("END");
    };
    const Cards sky = {
        value_card("NAXIS", "2"),     value_card("NAXIS1", "600"),   value_card("NAXIS2", "400"),
        card("CTYPE1  = 'RA---TAN'"), card("CTYPE2  = 'DEC--TAN'"),  value_card("CRPIX1", "300"),
        value_card("CRPIX2", "200"),  value_card("CRVAL1", "150"),   value_card("CRVAL2", "40"),
        card("RADESYS = 'ICRS'"),     value_card("EQUINOX", "2000.")};
    const auto with = [&](Cards more) {
        Cards all = sky;
        all.insert(all.end(), more.begin(), more.end());
        return cards(all);
    };
    write(dir, "cd_matrix",
          with({value_card("CD1_1", "-4.1E-4"), value_card("CD1_2", "1.2E-5"),
                value_card("CD2_1", "1.2E-5"), value_card("CD2_2", "4.1E-4")}));
    write(dir, "pc_and_cdelt",
          with({value_card("CDELT1", "-4.1E-4"), value_card("CDELT2", "4.1E-4"),
                value_card("PC1_1", "0.98"), value_card("PC1_2", "0.17"),
                value_card("PC2_1", "-0.17"), value_card("PC2_2", "0.98")}));
    write(dir, "crota_and_sip",
          with({value_card("CDELT1", "-4.1E-4"), value_card("CDELT2", "4.1E-4"),
                value_card("CROTA2", "33.5"), value_card("A_ORDER", "2"),
                value_card("A_0_2", "1.1E-6"), value_card("B_ORDER", "2"),
                value_card("B_2_0", "-2.3E-7")}));
    write(dir, "beside_dates_and_alternates",
          with({value_card("CD1_1", "-4.1E-4"), value_card("CD2_2", "4.1E-4"),
                card("DATE-OBS= '2026-12-09T02:05:40.125'"), value_card("MJD-OBS", "61383.08"),
                card("CTYPE1A = 'RA---SIN'"), card("CTYPE2A = 'DEC--SIN'"),
                value_card("CRVAL1A", "150"), card("WCSNAME = 'astrometry.net'")}));
}

// Small images in every format and compression the new readers take.
void image_format_seeds(const fs::path& xisf_dir, const fs::path& fz_dir) {
    const int w = 12;
    const int h = 9;
    std::vector<float> sky;
    for (int i = 0; i < w * h; ++i) sky.push_back(static_cast<float>(1000 + (i * 37) % 200));
    sky[50] = 30000;
    const auto cards = [&](int bitpix) {
        Cards c = {trakora::logical_card("SIMPLE", true), trakora::integer_card("BITPIX", bitpix),
                   trakora::integer_card("NAXIS", 2), trakora::integer_card("NAXIS1", w),
                   trakora::integer_card("NAXIS2", h)};
        trakora::append_format_cards(c, trakora::storage_format(bitpix));
        c.push_back(trakora::string_card("DATE-OBS", "2026-03-01T12:00:00.000"));
        return c;
    };
    const auto save = [](const fs::path& path, const std::vector<std::uint8_t>& bytes) {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    };
    int n = 0;
    for (const char* word : {"none", "zlib", "lz4", "zstd", "zlib+sh", "lz4+sh", "zstd+sh"}) {
        for (const int bitpix : {8, 16, -32}) {
            trakora::XisfWriteFormat f = *trakora::xisf_compression_named(word);
            f.samples = trakora::xisf_samples_for_bitpix(bitpix);
            save(xisf_dir / ("seed_" + std::to_string(n++) + ".xisf"),
                 trakora::xisf_file_bytes(cards(bitpix), sky, w, h, 1, f));
        }
    }
    // Where `text` first stands in `bytes` after `from`, compared as bytes.
    const auto find = [](std::vector<std::uint8_t>& bytes, std::string_view text,
                         std::size_t from = 0) {
        return std::search(
            bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.end(), text.begin(),
            text.end(), [](std::uint8_t b, char c) { return b == static_cast<std::uint8_t>(c); });
    };
    // Each compressed file also without its data checksum, so that a changed byte reaches
    // the tile checks and CFITSIO's decoders instead of stopping at the checksum.
    const auto unsummed = [&](std::vector<std::uint8_t> bytes) {
        const auto at = find(bytes, "DATASUM =");
        if (at != bytes.end()) at[6] = 'X';
        return bytes;
    };
    // Replaces the start of the first tile's stream, found by its first bytes, with `stream`.
    const auto first_tile = [&](std::vector<std::uint8_t> bytes, std::string_view magic,
                                std::string_view stream) {
        const auto at = find(bytes, magic, 2880);
        if (bytes.end() - at >= static_cast<std::ptrdiff_t>(stream.size()))
            std::copy(stream.begin(), stream.end(), at);
        return bytes;
    };
    for (const char* word : {"rice", "gzip1", "gzip2", "hcompress", "plio"}) {
        for (const int bitpix : {8, 16, 32, -32}) {
            if (bitpix == -32 && std::string(word) == "plio") continue;
            try {
                const std::vector<std::uint8_t> bytes = trakora::compressed_fits_bytes(
                    cards(bitpix), trakora::encode_samples(sky, trakora::storage_format(bitpix)),
                    *trakora::tile_compression_named(word));
                save(fz_dir / ("seed_" + std::to_string(n++) + ".fits.fz"), bytes);
                save(fz_dir / ("seed_" + std::to_string(n++) + ".fits.fz"), unsummed(bytes));
                if (bitpix == 16 && std::string(word) == "gzip1") {
                    // A first tile of 4000 zero bytes, where 24 fit.
                    constexpr std::string_view kBomb(
                        "\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\x03\xed\xc1\x31\x01\x00\x00"
                        "\x00\xc2\xa0\xf5\x4f\x6d\x0c\x1f\xa0\x00\x00\x00\x80\xb7\x01\xbe\x93"
                        "\x8b\x3a\xa0\x0f\x00\x00",
                        39);
                    save(fz_dir / "gzip_tile_too_large.fits.fz",
                         first_tile(unsummed(bytes), "\x1f\x8b\x08", kBomb));
                }
                if (bitpix == 16 && std::string(word) == "hcompress") {
                    // A first tile whose stream says 200 x 255 samples, and one whose
                    // quadrant holds 40 bit planes; the reader decodes HCOMPRESS itself.
                    save(fz_dir / "hcompress_sides_lie.fits.fz",
                         first_tile(unsummed(bytes), "\xDD\x99",
                                    std::string_view("\xDD\x99\0\0\0\xC8\0\0\0\xFF", 10)));
                    std::vector<std::uint8_t> planes = unsummed(bytes);
                    const auto at = find(planes, "\xDD\x99", 2880);
                    if (planes.end() - at > 24) at[22] = 40;
                    save(fz_dir / "hcompress_bit_planes.fits.fz", planes);
                }
            } catch (const std::exception&) {
                // A compression this sample format cannot take.
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds OUTDIR\n");
        return 2;
    }
    const fs::path out = argv[1];
    fs::create_directories(out / "read_fits");
    fs::create_directories(out / "newest_image");
    fs::create_directories(out / "observing_keywords");
    read_fits_seeds(out / "read_fits");
    newest_image_seeds(out / "newest_image");
    observing_keywords_seeds(out / "observing_keywords");
    fs::create_directories(out / "plate_solution");
    plate_solution_seeds(out / "plate_solution");
    fs::create_directories(out / "xisf_reader");
    fs::create_directories(out / "compressed_fits");
    image_format_seeds(out / "xisf_reader", out / "compressed_fits");
    return 0;
}
