// SPDX-License-Identifier: MIT
// North's angle, the mirror and the scale from a header's plate solution in each of its
// three forms, and the matrices that give none. Every row's answer is checked twice: as
// the worked angle, and by stepping from the reference pixel along the north and east the
// answer names and asking the row's own matrix where on the sky that lands.
#include "fits/plate_solution.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "support/fits_files.hpp"

namespace trakora::testing {
namespace {

constexpr double kScale = 1.5 / 3600;  // degrees per pixel

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.12G", v);
    return text;
}

// The sky axes of a TAN solution at RA 150, Dec 40 about pixel (300, 200), with the
// cards that give the matrix.
std::vector<std::string> solution_cards(const std::vector<std::pair<const char*, double>>& matrix) {
    std::vector<std::string> cards = {
        fits_card("SIMPLE", "T"),          fits_card("BITPIX", "16"),
        fits_card("NAXIS", "2"),           fits_card("NAXIS1", "600"),
        fits_card("NAXIS2", "400"),        fits_card("CTYPE1", "'RA---TAN'"),
        fits_card("CTYPE2", "'DEC--TAN'"), fits_card("CRPIX1", "300"),
        fits_card("CRPIX2", "200"),        fits_card("CRVAL1", "150"),
        fits_card("CRVAL2", "40"),
    };
    for (const auto& [keyword, value] : matrix) cards.push_back(fits_card(keyword, number(value)));
    return cards;
}

// The CD matrix of a plate whose north lies at `north_deg` on the screen (y downward):
// north n = (sin a, -cos a), east a quarter turn counterclockwise, (n_y, -n_x), or the
// other way when mirrored. A pixel step d goes s (e . d) east and s (n . d) north.
std::vector<std::pair<const char*, double>> cd_for(double north_deg, bool mirror) {
    const double a = north_deg * std::numbers::pi / 180;
    const double nx = std::sin(a), ny = -std::cos(a);
    const double flip = mirror ? -1 : 1;
    return {{"CD1_1", kScale * flip * ny},
            {"CD1_2", -kScale * flip * nx},
            {"CD2_1", kScale * nx},
            {"CD2_2", kScale * ny}};
}

struct PlateRow {
    const char* name;
    std::vector<std::pair<const char*, double>> matrix;
    std::optional<double> north_deg;  // nullopt: no solution
    bool mirror = false;
    PlateFailure failure = PlateFailure::absent;
    friend void PrintTo(const PlateRow& r, std::ostream* os) { *os << r.name; }
};

// The row's matrix (CD, or PC times CDELT, or CROTA2 with CDELT) applied to a pixel step:
// east and north on the sky, degrees. Small steps, so the projection is linear.
std::pair<double, double> sky_step(const PlateRow& row, double dx, double dy) {
    double cd[2][2] = {{0, 0}, {0, 0}}, pc[2][2] = {{1, 0}, {0, 1}}, cdelt[2] = {1, 1};
    double crota = 0;
    bool has_cd = false, has_crota = false;
    for (const auto& [keyword, v] : row.matrix) {
        const std::string k = keyword;
        if (k.starts_with("CDELT"))
            cdelt[k[5] - '1'] = v;
        else if (k.starts_with("CD"))
            has_cd = true, cd[k[2] - '1'][k[4] - '1'] = v;
        if (k.starts_with("PC")) pc[k[2] - '1'][k[4] - '1'] = v;
        if (k == "CROTA2") has_crota = true, crota = v * std::numbers::pi / 180;
    }
    if (has_crota) {  // the classic convention, FITS WCS paper II
        const double ratio = cdelt[1] / cdelt[0];
        pc[0][0] = std::cos(crota), pc[0][1] = -std::sin(crota) * ratio;
        pc[1][0] = std::sin(crota) / ratio, pc[1][1] = std::cos(crota);
    }
    if (!has_cd)
        for (int i = 0; i < 2; ++i)
            for (int j = 0; j < 2; ++j) cd[i][j] = cdelt[i] * pc[i][j];
    return {cd[0][0] * dx + cd[0][1] * dy, cd[1][0] * dx + cd[1][1] * dy};
}

class PlateSolutions : public ::testing::TestWithParam<PlateRow> {};

TEST_P(PlateSolutions, NorthMirrorAndScale) {
    const PlateRow& row = GetParam();
    const PlateReading read = plate_solution(fits_header(solution_cards(row.matrix)));
    ASSERT_EQ(read.solution.has_value(), row.north_deg.has_value());
    if (!read.solution) {
        EXPECT_EQ(read.failure, row.failure) << plate_failure_name(read.failure);
        return;
    }
    const PlateSolution& s = *read.solution;
    EXPECT_NEAR(std::remainder(s.north_deg - *row.north_deg, 360), 0, 1e-6);
    EXPECT_EQ(s.mirror, row.mirror);
    EXPECT_NEAR(s.scale_arcsec_per_px, 1.5, 1e-6);

    // Ten pixels toward the north the answer names go ten pixels' worth north and none
    // east; ten pixels toward its east, east (the declination's cos 40 stretches RA only).
    const double a = s.north_deg * std::numbers::pi / 180;
    const double nx = std::sin(a), ny = -std::cos(a);
    const double ex = (s.mirror ? -1 : 1) * ny, ey = (s.mirror ? -1 : 1) * -nx;
    const auto [north_e, north_n] = sky_step(row, 10 * nx, 10 * ny);
    EXPECT_NEAR(north_n, 10 * kScale, 1e-9);
    EXPECT_NEAR(north_e, 0, 1e-9);
    const auto [east_e, east_n] = sky_step(row, 10 * ex, 10 * ey);
    EXPECT_NEAR(east_e, 10 * kScale, 1e-9);
    EXPECT_NEAR(east_n, 0, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, PlateSolutions,
    ::testing::Values(
        // North up, east left: a pixel step up (0, -1) goes north, left goes east.
        PlateRow{"cd_north_up",
                 {{"CD1_1", -kScale}, {"CD1_2", 0}, {"CD2_1", 0}, {"CD2_2", -kScale}},
                 0.0},
        PlateRow{"cd_north_right",
                 {{"CD1_1", 0}, {"CD1_2", -kScale}, {"CD2_1", kScale}, {"CD2_2", 0}},
                 90.0},
        PlateRow{"cd_north_down",
                 {{"CD1_1", kScale}, {"CD1_2", 0}, {"CD2_1", 0}, {"CD2_2", kScale}},
                 180.0},
        PlateRow{"cd_north_left",
                 {{"CD1_1", 0}, {"CD1_2", kScale}, {"CD2_1", -kScale}, {"CD2_2", 0}},
                 270.0},
        PlateRow{"cd_37", cd_for(37, false), 37.0}, PlateRow{"cd_123", cd_for(123, false), 123.0},
        PlateRow{"cd_mirrored_north_up",
                 {{"CD1_1", kScale}, {"CD1_2", 0}, {"CD2_1", 0}, {"CD2_2", -kScale}},
                 0.0,
                 true},
        PlateRow{"cd_mirrored_211", cd_for(211, true), 211.0, true},
        // PC times CDELT for north right: the same matrix as cd_north_right.
        PlateRow{"pc_cdelt_north_right",
                 {{"CDELT1", kScale},
                  {"CDELT2", kScale},
                  {"PC1_1", 0},
                  {"PC1_2", -1},
                  {"PC2_1", 1},
                  {"PC2_2", 0}},
                 90.0},
        // CROTA2 turns the axes of north up, east left (both CDELT negative here):
        // north at -CROTA2.
        PlateRow{"crota2_30", {{"CDELT1", -kScale}, {"CDELT2", -kScale}, {"CROTA2", 30}}, 330.0},
        PlateRow{"crota2_mirrored",
                 {{"CDELT1", kScale}, {"CDELT2", -kScale}, {"CROTA2", -50}},
                 310.0,
                 true},
        PlateRow{"singular",
                 {{"CD1_1", kScale}, {"CD1_2", kScale}, {"CD2_1", kScale}, {"CD2_2", kScale}},
                 std::nullopt,
                 false,
                 PlateFailure::singular},
        PlateRow{"infinite",
                 {{"CD1_1", -kScale}, {"CD1_2", 0}, {"CD2_1", 0}, {"CD2_2", HUGE_VAL}},
                 std::nullopt,
                 false,
                 PlateFailure::not_finite}),
    [](const auto& row_info) { return std::string(row_info.param.name); });

TEST(PlateSolutionAbsent, NoneFromHeadersWithoutOne) {
    const std::vector<std::string> base = {fits_card("SIMPLE", "T"), fits_card("BITPIX", "16"),
                                           fits_card("NAXIS", "2"), fits_card("NAXIS1", "600"),
                                           fits_card("NAXIS2", "400")};
    EXPECT_EQ(plate_solution(fits_header(base)).failure, PlateFailure::absent);
    std::vector<std::string> linear = base;
    linear.push_back(fits_card("CTYPE1", "'LINEAR'"));
    linear.push_back(fits_card("CTYPE2", "'LINEAR'"));
    linear.push_back(fits_card("CD1_1", "1"));
    linear.push_back(fits_card("CD2_2", "1"));
    EXPECT_EQ(plate_solution(fits_header(linear)).failure, PlateFailure::not_celestial);
    // wcspih would drop the card and take 0 in its place: north up.
    std::vector<std::string> nan_card = solution_cards({{"CD1_1", -kScale}, {"CD2_2", -kScale}});
    nan_card.push_back(padded_card("CD1_2   =                  NAN"));
    EXPECT_EQ(plate_solution(fits_header(nan_card)).failure, PlateFailure::not_finite);
    // Cards wcslib would parse beside the solution, damaged (a date, an alternate solution,
    // an overlong type): the solution is read as without them.
    std::vector<std::string> damaged = solution_cards({{"CD1_1", -kScale}, {"CD2_2", kScale}});
    const PlateReading clean = plate_solution(fits_header(damaged));
    damaged.push_back(padded_card("DATE-OBS= '5\x01\x02\x03-01T12:00:00.000'           H"));
    damaged.push_back(padded_card("CTYPE1A = '" + std::string(66, 'R') + "'"));
    damaged.push_back(
        padded_card("MJD-OBS = 'x''''''''''''''''''''''''''''''''''''''''''''''''''''''''''"));
    const PlateReading read = plate_solution(fits_header(damaged));
    ASSERT_TRUE(clean.solution && read.solution);
    EXPECT_EQ(read.solution->north_deg, clean.solution->north_deg);
    EXPECT_EQ(read.solution->scale_arcsec_per_px, clean.solution->scale_arcsec_per_px);
    std::vector<std::string> long_type = solution_cards({{"CD1_1", -kScale}, {"CD2_2", kScale}});
    long_type[5] = padded_card("CTYPE1  = 'RA---TAN" + std::string(40, '-') + "'");
    EXPECT_EQ(plate_solution(fits_header(long_type)).failure, PlateFailure::absent);
    // Bytes of a file that is no FITS file, as the reader hands them on: read, not a crash.
    std::mt19937 rng(7);
    for (int file = 0; file < 50; ++file) {
        std::string bytes(80 * (1 + rng() % 40), '\0');
        for (char& c : bytes) c = static_cast<char>(rng());
        EXPECT_FALSE(plate_solution(bytes).solution) << "random header " << file;
    }
}

}  // namespace
}  // namespace trakora::testing
