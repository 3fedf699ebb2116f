// SPDX-License-Identifier: MIT
// The simulated camera: its files read back through the program's reader and through
// CFITSIO, pass fitsverify, keep the star search on the guide star, and never show the
// program a partial image as a complete one.
#include "camera/simulate.hpp"

#include <fitsio.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "arrival/newest_image.hpp"
#include "camera/simulated_image.hpp"
#include "core/handlers.hpp"
#include "core/read_image.hpp"
#include "core/state.hpp"
#include "fits/fits_writer.hpp"
#include "support/fits_files.hpp"
#include "support/run_program.hpp"

namespace trakora::camera {
namespace {

namespace fs = std::filesystem;
using trakora::testing::TempDir;

// Runs `trakora-cli simulate ARGS` in this process; its per-image lines are kept in `out`.
int simulate(std::vector<std::string> args, std::string* out = nullptr,
             std::string* err = nullptr) {
    const trakora::testing::ProgramRun run =
        trakora::testing::run_in_process(run_simulate, std::move(args));
    if (out) *out = run.out;
    if (err) *err = run.err;
    return run.status;
}

std::vector<std::string> names_in(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

std::string card_of(const fs::path& file, const std::string& keyword) {
    std::ifstream in(file, std::ios::binary);
    std::string card(80, ' ');
    while (in.read(card.data(), 80)) {
        if (card.compare(0, keyword.size(), keyword) == 0) return card;
        if (card.compare(0, 3, "END") == 0) break;
    }
    return {};
}

// Reads a file the way the program does; the state is large, so it lives on the heap.
struct Reading {
    std::unique_ptr<State> state = std::make_unique<State>();
    State& s = *state;
    std::string message;
    std::int16_t read(const fs::path& file) {
        s.fits_file_name = file.filename().string();
        message.clear();
        return read_fits_file(s, file, message);
    }
};

SimulateOptions options_for(int bitpix, bool colour, int width, int height) {
    SimulateOptions o;
    o.bitpix = bitpix;
    o.colour = colour;
    o.width = width;
    o.height = height;
    return o;
}

// ---------------------------------------------------------------------------------------
// Every sample format, through the loop, read back by both readers.

struct FormatRow {
    const char* name;
    std::vector<std::string> args;
    int bitpix;     // as written in the header
    Number planes;  // image_planes as the program reads it (-1: no NAXIS3)
    Number bzero;
};

class SimulateFormat : public ::testing::TestWithParam<FormatRow> {};

TEST_P(SimulateFormat, ReadsBackAsWrittenAndPassesFitsverify) {
    const FormatRow& row = GetParam();
    TempDir dir;
    std::vector<std::string> args = {
        dir.path().string(), "--count", "2", "--interval", "0", "--size", "120x90", "--seed", "7"};
    args.insert(args.end(), row.args.begin(), row.args.end());
    ASSERT_EQ(simulate(args), 0);
    ASSERT_EQ(names_in(dir.path()), (std::vector<std::string>{"drift_0001.FIT", "drift_0002.FIT"}));

    // What the images must hold: the same sky, rounded to whole values as stored.
    SimulateOptions o = options_for(row.bitpix, row.planes == 3, 120, 90);
    o.seed = 7;
    o.interval_s = 0;
    const SkyParams params = sky_params(o);
    const SkyField field = make_sky_field(params);
    const int planes = row.planes == 3 ? 3 : 1;

    for (long index = 0; index < 2; ++index) {
        const fs::path file = dir.file(index == 0 ? "drift_0001.FIT" : "drift_0002.FIT");
        SCOPED_TRACE(file.filename().string());
        const std::vector<float> sky = render_sky(params, field, index);
        const std::size_t sample_bytes = static_cast<std::size_t>(std::abs(row.bitpix) / 8);
        EXPECT_EQ(fs::file_size(file),
                  2880 + (120 * 90 * planes * sample_bytes + 2879) / 2880 * 2880);

        Reading r;
        ASSERT_EQ(r.read(file), 0) << r.message;
        EXPECT_EQ(r.s.fits_bitpix, std::abs(row.bitpix));
        EXPECT_EQ(r.s.image_width, 120);
        EXPECT_EQ(r.s.image_height, 90);
        EXPECT_EQ(r.s.image_planes, row.planes);
        EXPECT_EQ(r.s.fits_bzero, row.bzero);
        int mismatches = 0;
        for (int p = 0; p < planes; ++p)
            for (int y = 0; y < 90; ++y)
                for (int x = 0; x < 120; ++x) {
                    const auto expected = static_cast<std::int32_t>(
                        std::nearbyint(sky[(static_cast<std::size_t>(p) * 90 + y) * 120 + x]));
                    if (r.s.image_pixels.at(x, y, p) != expected && ++mismatches <= 3)
                        ADD_FAILURE() << "pixel " << x << "," << y << "," << p << " is "
                                      << r.s.image_pixels.at(x, y, p) << ", wrote " << expected;
                }
        EXPECT_EQ(mismatches, 0);

        // CFITSIO, an independent reader, sees the same physical values.
        fitsfile* f = nullptr;
        int status = 0;
        ASSERT_EQ(fits_open_file(&f, file.c_str(), READONLY, &status), 0);
        int bitpix = 0, naxis = 0;
        long naxes[3] = {0, 0, 0};
        fits_get_img_param(f, 3, &bitpix, &naxis, naxes, &status);
        EXPECT_EQ(bitpix, row.bitpix);
        EXPECT_EQ(naxis, planes == 3 ? 3 : 2);
        EXPECT_EQ(naxes[0], 120);
        EXPECT_EQ(naxes[1], 90);
        std::vector<float> values(sky.size());
        int any_null = 0;
        fits_read_img(f, TFLOAT, 1, static_cast<LONGLONG>(values.size()), nullptr, values.data(),
                      &any_null, &status);
        fits_close_file(f, &status);
        ASSERT_EQ(status, 0);
        mismatches = 0;
        for (std::size_t i = 0; i < values.size(); ++i) {
            const float expected = row.bitpix == -32 ? sky[i] : std::nearbyint(sky[i]);
            if (values[i] != expected && ++mismatches <= 3)
                ADD_FAILURE() << "sample " << i << ": CFITSIO reads " << values[i] << ", wrote "
                              << expected;
        }
        EXPECT_EQ(mismatches, 0);

        // The star search, started where the user would click, lands on the guide star.
        const Position star = guide_star_position(params, field, index);
        r.s.object_x = std::round(star.x);
        r.s.object_y = std::round(star.y);
        find_brightest_spot(r.s);
        EXPECT_LE(std::abs(r.s.object_x - star.x), 1.5);
        EXPECT_LE(std::abs(r.s.object_y - star.y), 1.5);
    }

    const trakora::testing::ProgramRun verify = trakora::testing::run_program(
        {"fitsverify", "-q", "-e", dir.file("drift_0001.FIT"), dir.file("drift_0002.FIT")});
    if (verify.status == 127) GTEST_SKIP() << "fitsverify is not installed";
    EXPECT_EQ(verify.status, 0) << "fitsverify reports errors";
}

INSTANTIATE_TEST_SUITE_P(AllFormats, SimulateFormat,
                         ::testing::Values(FormatRow{"bitpix8", {"--bitpix", "8"}, 8, -1, 0},
                                           FormatRow{"bitpix16", {}, 16, -1, 32768},
                                           FormatRow{"bitpix32", {"--bitpix", "32"}, 32, -1, 0},
                                           FormatRow{"float", {"--bitpix=-32"}, -32, -1, 0},
                                           FormatRow{"colour", {"--colour"}, -32, 3, 0}),
                         [](const auto& row) { return std::string(row.param.name); });

// ---------------------------------------------------------------------------------------
// Header cards: fixed format, DATE-OBS in ISO form and strictly growing.

TEST(SimulateHeader, FixedFormatCardsAndStrictlyGrowingDates) {
    TempDir dir;
    ASSERT_EQ(
        simulate({dir.path().string(), "--count", "25", "--interval", "0", "--size", "32x32"}), 0);
    const std::vector<std::string> names = names_in(dir.path());
    ASSERT_EQ(names.size(), 25u);
    const std::regex date(R"(DATE-OBS= '\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}' +/.*)");
    std::string previous;
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const std::string card = card_of(dir.file(name), "DATE-OBS");
        EXPECT_EQ(card.size(), 80u);
        EXPECT_TRUE(std::regex_match(card, date)) << card;
        EXPECT_GT(card, previous) << "DATE-OBS must grow image by image";
        previous = card;
        // Numbers end in column 30.
        const std::string naxis1 = card_of(dir.file(name), "NAXIS1  ");
        EXPECT_EQ(naxis1.substr(0, 31), "NAXIS1  =                   32 ");
        EXPECT_EQ(card_of(dir.file(name), "BZERO   ").substr(0, 31),
                  "BZERO   =                32768 ");
        EXPECT_EQ(card_of(dir.file(name), "EXPTIME ").substr(0, 31),
                  "EXPTIME =                   0. ");
    }
    // So the program takes the last image written as the newest.
    std::string last_card;
    EXPECT_EQ(newest_fits_name(dir.path().string(), last_card), "drift_0025.FIT");
}

// ---------------------------------------------------------------------------------------
// Drift: the star search follows the guide star from image to image, as the program's
// polling cycle does, and the positions move by the configured drift within the seeing.

struct DriftRow {
    const char* name;
    double drift_x, drift_y;  // pixels per minute
    double seeing;
    double interval_s;
    int bitpix;
    std::uint64_t seed;
};

class SimulateDrift : public ::testing::TestWithParam<DriftRow> {};

TEST_P(SimulateDrift, StarSearchFollowsTheGuideStar) {
    const DriftRow& row = GetParam();
    SimulateOptions o = options_for(row.bitpix, false, 300, 200);
    o.drift_x_per_min = row.drift_x;
    o.drift_y_per_min = row.drift_y;
    o.seeing = row.seeing;
    o.interval_s = row.interval_s;
    o.seed = row.seed;
    const SkyParams params = sky_params(o);
    const SkyField field = make_sky_field(params);

    TempDir dir;
    Reading r;
    const int images = 25;
    for (long k = 0; k < images; ++k) {
        SCOPED_TRACE("image " + std::to_string(k));
        const fs::path file = dir.file("d.FIT");
        const ImageFile image = simulated_image_file(o, params, field, k, iso_time(k * 1000));
        trakora::testing::write_file(
            file, std::string_view(reinterpret_cast<const char*>(image.bytes.data()),
                                   image.bytes.size()));
        ASSERT_EQ(r.read(file), 0) << r.message;
        if (k == 0) {  // the user's click, rounded onto the star's pixel
            const Position start = guide_star_position(params, field, 0);
            r.s.object_x = std::round(start.x);
            r.s.object_y = std::round(start.y);
        }
        find_brightest_spot(r.s);

        const Position truth = guide_star_position(params, field, k);
        const Position drift = drift_position(params, field, k);
        EXPECT_LE(std::abs(r.s.object_x - truth.x), 1.5) << "found x " << r.s.object_x;
        EXPECT_LE(std::abs(r.s.object_y - truth.y), 1.5) << "found y " << r.s.object_y;
        // Drift alone, from the configured rate and the simulated time.
        const double minutes = static_cast<double>(k) * row.interval_s / 60;
        EXPECT_NEAR(drift.x, field.guide_start.x + row.drift_x * minutes, 1e-9);
        EXPECT_NEAR(drift.y, field.guide_start.y + row.drift_y * minutes, 1e-9);
        const double within = 3 * row.seeing + 1.5;
        EXPECT_LE(std::abs(r.s.object_x - drift.x), within);
        EXPECT_LE(std::abs(r.s.object_y - drift.y), within);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SimulateDrift,
    ::testing::Values(DriftRow{"default_drift_steady_air", 0, 2, 0, 30, 16, 1},
                      DriftRow{"default_drift_default_seeing", 0, 2, 0.5, 30, 16, 2},
                      DriftRow{"diagonal_poor_seeing", 3, -1.5, 1.5, 20, 16, 3},
                      DriftRow{"fast_drift_left", -8, 0, 0.5, 10, -32, 4},
                      DriftRow{"eight_bit", 1, 4, 0.5, 15, 8, 5},
                      DriftRow{"thirty_two_bit", -2, -2, 2, 12, 32, 6}),
    [](const auto& row) { return std::string(row.param.name); });

// Over many skies: hot pixels are single pixels whose 7 x 7 box stays below the guide
// star's box, and field stars are fainter and keep their distance.
TEST(SimulateSky, NothingOutshinesTheGuideStarNearItsPath) {
    for (std::uint64_t seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        SkyParams params;
        params.seed = seed;
        params.drift_x_per_min = static_cast<double>(seed % 5) - 2;
        params.seeing = 2;
        const SkyField field = make_sky_field(params);
        const std::vector<float> sky = render_sky(params, field, 0);
        const auto box = [&](int cx, int cy) {
            double sum = 0;
            for (int y = cy - 3; y <= cy + 3; ++y)
                for (int x = cx - 3; x <= cx + 3; ++x) {
                    const int xc = std::clamp(x, 0, params.width - 1);
                    const int yc = std::clamp(y, 0, params.height - 1);
                    sum += std::nearbyint(sky[static_cast<std::size_t>(yc) * params.width + xc]);
                }
            return sum;
        };
        const Position star = guide_star_position(params, field, 0);
        const double guide_box =
            box(static_cast<int>(std::round(star.x)), static_cast<int>(std::round(star.y)));
        EXPECT_LE(std::hypot(field.guide_start.x - (params.width - 1) / 2.0,
                             field.guide_start.y - (params.height - 1) / 2.0),
                  8.0);
        EXPECT_GE(field.hot_pixels.size(), 2u);
        EXPECT_GE(field.field_stars.size(), 3u);
        for (const HotPixel& hot : field.hot_pixels) {
            EXPECT_LT(box(hot.x, hot.y), guide_box) << "hot pixel " << hot.x << "," << hot.y;
        }
        for (const FieldStar& f : field.field_stars) {
            EXPECT_GE(std::hypot(f.dx, f.dy), kClearance);
            EXPECT_LT(f.peak, kGuidePeak);
        }
    }
}

// ---------------------------------------------------------------------------------------
// Writing in place: a file read before its last piece is rejected, never measured.

class SimulateInPlace : public ::testing::TestWithParam<FormatRow> {};

TEST_P(SimulateInPlace, PartialFileIsRejectedUntilComplete) {
    const FormatRow& row = GetParam();
    SimulateOptions o = options_for(row.bitpix, row.planes == 3, 200, 150);
    const SkyParams params = sky_params(o);
    const SkyField field = make_sky_field(params);
    const ImageFile image = simulated_image_file(o, params, field, 0, "2026-12-09T02:05:40.123");
    const auto ends = chunk_ends(image.bytes.size(), image.header_bytes, 8);
    ASSERT_EQ(ends.size(), 8u);
    EXPECT_GE(ends.front(), image.header_bytes);  // the header goes out first

    TempDir dir;
    const fs::path file = dir.file("p.FIT");
    Reading r;
    {
        InPlaceWriter writer(file, image.bytes, ends);
        for (std::size_t piece = 0; piece < ends.size(); ++piece) {
            SCOPED_TRACE("after piece " + std::to_string(piece + 1));
            ASSERT_TRUE(writer.write_next());
            ASSERT_EQ(fs::file_size(file), ends[piece]);
            const std::int16_t status = r.read(file);
            if (piece + 1 < ends.size()) {
                EXPECT_EQ(status, -1) << "a partial image was taken as complete";
            } else {
                ASSERT_EQ(status, 0) << r.message;
            }
        }
        EXPECT_FALSE(writer.write_next());
    }
    const Position star = guide_star_position(params, field, 0);
    r.s.object_x = std::round(star.x);
    r.s.object_y = std::round(star.y);
    find_brightest_spot(r.s);
    EXPECT_LE(std::abs(r.s.object_x - star.x), 1.5);
    EXPECT_LE(std::abs(r.s.object_y - star.y), 1.5);
}

INSTANTIATE_TEST_SUITE_P(Formats, SimulateInPlace,
                         ::testing::Values(FormatRow{"bitpix8", {}, 8, -1, 0},
                                           FormatRow{"bitpix16", {}, 16, -1, 32768},
                                           FormatRow{"colour", {}, -32, 3, 0}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(SimulateInPlaceWriter, AbandonedWriterStillCompletesTheFile) {
    TempDir dir;
    std::vector<std::uint8_t> bytes(5 * 2880);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
    {
        InPlaceWriter writer(dir.file("a.FIT"), bytes, chunk_ends(bytes.size(), 2880, 4));
        ASSERT_TRUE(writer.write_next());
    }
    std::ifstream in(dir.file("a.FIT"), std::ios::binary);
    const std::vector<std::uint8_t> back((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(back, bytes);
}

// ---------------------------------------------------------------------------------------
// The loop: counts, names, no temporary files, no overwriting, --keep.

TEST(SimulateLoop, WritesCountImagesAndNeverOverwrites) {
    TempDir dir;
    const std::string folder = dir.path().string();
    ASSERT_EQ(simulate({folder, "--count", "3", "--interval", "0", "--size", "40x30"}), 0);
    EXPECT_EQ(names_in(dir.path()),
              (std::vector<std::string>{"drift_0001.FIT", "drift_0002.FIT", "drift_0003.FIT"}));
    const auto first_size = fs::file_size(dir.file("drift_0001.FIT"));
    const std::string first_date = card_of(dir.file("drift_0001.FIT"), "DATE-OBS");

    // A second run continues after the images already there.
    ASSERT_EQ(
        simulate({folder, "--count", "2", "--interval", "0", "--size", "64x64", "--in-place"}), 0);
    EXPECT_EQ(names_in(dir.path()),
              (std::vector<std::string>{"drift_0001.FIT", "drift_0002.FIT", "drift_0003.FIT",
                                        "drift_0004.FIT", "drift_0005.FIT"}));
    EXPECT_EQ(fs::file_size(dir.file("drift_0001.FIT")), first_size);
    EXPECT_EQ(card_of(dir.file("drift_0001.FIT"), "DATE-OBS"), first_date);
    Reading r;
    EXPECT_EQ(r.read(dir.file("drift_0005.FIT")), 0) << r.message;
    EXPECT_EQ(r.s.image_width, 64);
}

TEST(SimulateLoop, NamePatternAndKeep) {
    TempDir dir;
    std::string out;
    ASSERT_EQ(simulate({dir.path().string(), "--count", "5", "--interval", "0", "--size", "32x32",
                        "--name", "m%%%03d.Fts", "--keep", "2"},
                       &out),
              0);
    EXPECT_EQ(names_in(dir.path()), (std::vector<std::string>{"m%004.Fts", "m%005.Fts"}));
    EXPECT_NE(out.find("m%001.Fts"), std::string::npos) << out;
}

struct NameRow {
    const char* name;
    const char* pattern;
    long number;
    const char* expected;  // nullptr: the pattern is refused
};

class SimulateNames : public ::testing::TestWithParam<NameRow> {};

TEST_P(SimulateNames, FormatsOrRefuses) {
    const NameRow& row = GetParam();
    const auto reason = check_name_pattern(row.pattern);
    if (row.expected == nullptr) {
        EXPECT_TRUE(reason.has_value()) << row.pattern << " was accepted";
    } else {
        ASSERT_FALSE(reason.has_value()) << *reason;
        EXPECT_EQ(format_name(row.pattern, row.number), row.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SimulateNames,
    ::testing::Values(NameRow{"default", "drift_%04d.FIT", 7, "drift_0007.FIT"},
                      NameRow{"wider_than_width", "drift_%04d.FIT", 123456, "drift_123456.FIT"},
                      NameRow{"plain", "img%d.Fit", 12, "img12.Fit"},
                      NameRow{"space_padded", "a%3d.FTS", 5, "a  5.FTS"},
                      NameRow{"percent", "x%%%02d.FIT", 3, "x%03.FIT"},
                      NameRow{"no_number", "drift.FIT", 1, nullptr},
                      NameRow{"two_numbers", "%d_%d.FIT", 1, nullptr},
                      NameRow{"string_conversion", "%s.FIT", 1, nullptr},
                      NameRow{"long_conversion", "%ld.FIT", 1, nullptr},
                      NameRow{"trailing_percent", "%d.FIT%", 1, nullptr},
                      NameRow{"subfolder", "sub/%d.FIT", 1, nullptr}),
    [](const auto& row) { return std::string(row.param.name); });

// ---------------------------------------------------------------------------------------
// The command line.

struct ArgsRow {
    const char* name;
    std::vector<std::string> args;  // after the folder (none when `no_folder`)
    const char* message;            // part of the complaint on stderr
    bool no_folder = false;
};

class SimulateBadArguments : public ::testing::TestWithParam<ArgsRow> {};

TEST_P(SimulateBadArguments, ExitTwoWithAMessageAndWriteNothing) {
    const ArgsRow& row = GetParam();
    TempDir dir;
    std::vector<std::string> args;
    if (!row.no_folder) args.push_back(dir.path().string());
    args.insert(args.end(), row.args.begin(), row.args.end());
    std::string err;
    EXPECT_EQ(simulate(args, nullptr, &err), 2);
    EXPECT_NE(err.find(row.message), std::string::npos) << err;
    EXPECT_TRUE(names_in(dir.path()).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SimulateBadArguments,
    ::testing::Values(
        ArgsRow{"no_folder", {"--count", "1"}, "no folder", true},
        ArgsRow{"two_folders", {"other"}, "more than one folder"},
        ArgsRow{"unknown_option", {"--speed", "3"}, "unknown option '--speed'"},
        ArgsRow{"missing_value", {"--count"}, "--count needs a value"},
        ArgsRow{"count_zero", {"--count", "0"}, "--count"},
        ArgsRow{"count_text", {"--count", "many"}, "'many'"},
        ArgsRow{"negative_interval", {"--interval", "-1"}, "--interval"},
        ArgsRow{"nan_interval", {"--interval", "nan"}, "--interval"},
        ArgsRow{"interval_with_unit", {"--interval", "2s"}, "'2s'"},
        ArgsRow{"bitpix_64", {"--bitpix", "-64"}, "8, 16, 32 or -32"},
        ArgsRow{"bitpix_12", {"--bitpix=12"}, "8, 16, 32 or -32"},
        ArgsRow{"size_without_x", {"--size", "765"}, "WxH"},
        ArgsRow{"size_too_small", {"--size", "8x8"}, "WxH"},
        ArgsRow{"size_too_large", {"--size", "4000x100"}, "WxH"},
        ArgsRow{"colour_with_integers", {"--colour", "--bitpix", "16"}, "BITPIX -32"},
        ArgsRow{"seeing_too_large", {"--seeing", "9"}, "--seeing"},
        ArgsRow{"negative_seed", {"--seed", "-1"}, "--seed"},
        ArgsRow{"drift_text", {"--drift-y", "fast"}, "--drift-y"},
        ArgsRow{"flag_with_value", {"--in-place=yes"}, "takes no value"},
        ArgsRow{"bad_name", {"--name", "drift.FIT"}, "exactly one image number"},
        ArgsRow{"unknown_style", {"--style", "sharpcap"}, "ekos, nina or phd2"},
        ArgsRow{"unknown_format", {"--format", "tiff"}, "fits, fz or xisf"},
        ArgsRow{"compression_of_fits", {"--compression", "rice"}, "--format fz or xisf"},
        ArgsRow{
            "xisf_compression_for_fz", {"--format", "fz", "--compression", "zstd"}, "rice, gzip1"},
        ArgsRow{"float_with_integers", {"--float", "--bitpix", "8"}, "BITPIX -32"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(SimulateArguments, HelpAndAcceptedForms) {
    std::string out;
    EXPECT_EQ(simulate({"--help"}, &out), 0);
    EXPECT_NE(out.find("usage: trakora-cli simulate FOLDER"), std::string::npos);
    EXPECT_NE(out.find("--in-place"), std::string::npos);

    std::vector<std::string> args = {
        "--interval=0.25",     "f", "--size", "100X80", "--colour", "--drift-x", "-1.5", "--seed",
        "18446744073709551615"};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    std::string error;
    const auto o = parse_simulate_options(static_cast<int>(argv.size()), argv.data(), error);
    ASSERT_TRUE(o.has_value()) << error;
    EXPECT_EQ(o->folder, "f");
    EXPECT_EQ(o->interval_s, 0.25);
    EXPECT_EQ(o->width, 100);
    EXPECT_EQ(o->height, 80);
    EXPECT_TRUE(o->colour);
    EXPECT_EQ(o->bitpix, -32);
    EXPECT_EQ(o->drift_x_per_min, -1.5);
    EXPECT_EQ(o->drift_y_per_min, 2);
    EXPECT_EQ(o->seed, 18446744073709551615ull);
    EXPECT_EQ(o->count, 0);
}

TEST(SimulateArguments, WarnsAboutNamesTheProgramIgnores) {
    TempDir dir;
    std::string err;
    EXPECT_EQ(simulate({dir.path().string(), "--count", "1", "--interval", "0", "--size", "16x16",
                        "--name", "img%d.fits"},
                       nullptr, &err),
              0);
    EXPECT_NE(err.find("warning"), std::string::npos) << err;
    EXPECT_NE(err.find("--names any"), std::string::npos) << err;
    EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"img1.fits"});

    EXPECT_NE(ignored_name_warning("img1.txt").find("will be ignored"), std::string::npos);
    EXPECT_NE(ignored_name_warning(".img1.FIT").find("will be ignored"), std::string::npos);
    EXPECT_EQ(ignored_name_warning("img1.FIT"), "");
}

struct StyleRow {
    const char* name;
    std::vector<std::string> args;  // after the folder
    const char* pattern;
    bool in_place;
    bool empty_first;
};

class SimulateStyle : public ::testing::TestWithParam<StyleRow> {};

TEST_P(SimulateStyle, SetsTheNamesAndTheWayOfWriting) {
    const StyleRow& row = GetParam();
    std::vector<std::string> args = {"f"};
    args.insert(args.end(), row.args.begin(), row.args.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    std::string error;
    const auto o = parse_simulate_options(static_cast<int>(argv.size()), argv.data(), error);
    ASSERT_TRUE(o.has_value()) << error;
    EXPECT_EQ(o->name_pattern, row.pattern);
    EXPECT_EQ(o->in_place, row.in_place);
    EXPECT_EQ(o->empty_first, row.empty_first);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SimulateStyle,
    ::testing::Values(
        StyleRow{"none", {}, "drift_%04d.FIT", false, false},
        StyleRow{"ekos", {"--style", "ekos"}, "Light_%03d.fits", true, true},
        StyleRow{"nina", {"--style=nina"}, "Light_%04d.fits", true, false},
        StyleRow{"phd2", {"--style", "phd2"}, "PHD2_CameraFrame_%04d.fit", true, false},
        StyleRow{
            "name_after_style", {"--style", "nina", "--name", "m%d.FIT"}, "m%d.FIT", true, false},
        StyleRow{
            "name_before_style", {"--name", "m%d.FIT", "--style", "ekos"}, "m%d.FIT", true, true}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(SimulateStyle, EkosWritesLowerCaseNamesTheWiderRuleTakes) {
    TempDir dir;
    std::string err;
    ASSERT_EQ(simulate({dir.path().string(), "--style", "ekos", "--count", "2", "--interval", "0",
                        "--size", "32x32"},
                       nullptr, &err),
              0);
    EXPECT_EQ(names_in(dir.path()), (std::vector<std::string>{"Light_001.fits", "Light_002.fits"}));
    EXPECT_NE(err.find("--names any"), std::string::npos) << err;
    Reading r;
    EXPECT_EQ(r.read(dir.file("Light_002.fits")), 0) << r.message;
}

// ---------------------------------------------------------------------------------------
// Stopping: the built program, stopped by a signal, exits 0 and leaves only complete
// images, no temporary file.

struct StopRow {
    const char* name;
    int signal;
    std::vector<std::string> args;
};

class SimulateStop : public ::testing::TestWithParam<StopRow> {};

TEST_P(SimulateStop, LeavesOnlyCompleteImages) {
    const StopRow& row = GetParam();
    TempDir dir;
    std::vector<std::string> args = {"simulate", dir.path().string(), "--size", "400x300"};
    args.insert(args.end(), row.args.begin(), row.args.end());
    // Wait (bounded) until a few images are there, then stop the camera.
    const trakora::testing::ProgramRun run = trakora::testing::run_cli(
        args, {.while_running = [&](pid_t pid) {
            const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(60);
            while (names_in(dir.path()).size() < 3 && std::chrono::steady_clock::now() < give_up)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            ASSERT_EQ(::kill(pid, row.signal), 0);
        }});
    ASSERT_EQ(run.signal, 0) << "ended by signal " << run.signal;
    EXPECT_EQ(run.status, 0);

    const std::vector<std::string> names = names_in(dir.path());
    EXPECT_GE(names.size(), 3u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        EXPECT_NE(name.front(), '.') << "temporary file left behind";
        Reading r;
        EXPECT_EQ(r.read(dir.file(name)), 0) << r.message;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SimulateStop,
    ::testing::Values(StopRow{"sigterm_renaming", SIGTERM, {"--interval", "0.05"}},
                      StopRow{"sigint_renaming", SIGINT, {"--interval", "0", "--keep", "1000"}},
                      StopRow{"sigterm_in_place", SIGTERM, {"--interval", "0.4", "--in-place"}},
                      StopRow{"sigint_in_place", SIGINT, {"--interval", "0.8", "--in-place"}}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace trakora::camera
