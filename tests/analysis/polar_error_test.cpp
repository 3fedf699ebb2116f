// SPDX-License-Identifier: MIT
// Pieces of the polar error: header values as capture programs write them, the image's
// orientation, where each geometry value comes from, and the report's rules on worked
// fits. The whole chain against the exact mount is in the simulated camera's tests.
#include "analysis/polar_error.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace trakora {
namespace {

struct ParseRow {
    const char* name;
    const char* text;
    std::optional<double> degrees;   // parse_degrees
    std::optional<double> ra_hours;  // parse_right_ascension_hours
};

TEST(PolarErrorParsing, SexagesimalAndDegrees) {
    const std::vector<ParseRow> rows = {
        {"signed_sexagesimal", "+45 30 00", 45.5, std::nullopt},
        {"negative_below_one_degree", "-00 30 00", -0.5, std::nullopt},
        {"colons", "12:30:36", 12.51, 12.51},
        {"letters", "12h30m00s", 12.5, 12.5},
        {"two_parts", "12 30", 12.5, 12.5},
        {"plain_degrees", "187.5", std::nullopt, 12.5},
        {"plain_negative", "-33.25", -33.25, std::nullopt},
        {"minutes_out_of_range", "45 61 00", std::nullopt, std::nullopt},
        {"four_parts", "1 2 3 4", std::nullopt, std::nullopt},
        {"inner_sign", "45 -3 00", std::nullopt, std::nullopt},
        {"ra_24h", "24 00 00", 24.0, std::nullopt},
        {"words", "unknown", std::nullopt, std::nullopt},
        {"empty", "", std::nullopt, std::nullopt},
        {"not_a_number", "nan", std::nullopt, std::nullopt},
    };
    for (const ParseRow& r : rows) {
        SCOPED_TRACE(r.name);
        const auto d = parse_degrees(r.text), ra = parse_right_ascension_hours(r.text);
        ASSERT_EQ(d.has_value(), r.degrees.has_value());
        ASSERT_EQ(ra.has_value(), r.ra_hours.has_value());
        EXPECT_NEAR(d.value_or(0), r.degrees.value_or(0), 1e-12);
        EXPECT_NEAR(ra.value_or(0), r.ra_hours.value_or(0), 1e-12);
    }
}

TEST(PolarErrorOrientation, NorthAndEastFromPixelRates) {
    // The star moves 0.1 px/min right and 0.2 px/min down; 2 arcsec per pixel.
    struct Row {
        const char* name;
        Orientation o;
        double north, east;
    };
    const std::vector<Row> rows = {
        {"north_up", {0, false}, -0.4, -0.2},        {"north_down", {180, false}, 0.4, 0.2},
        {"north_left", {270, false}, -0.2, 0.4},     {"north_right", {90, false}, 0.2, -0.4},
        {"north_up_mirrored", {0, true}, -0.4, 0.2},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const SkyRate s = sky_rate(0.1, 0.2, 2, r.o);
        EXPECT_NEAR(s.north, r.north, 1e-12);
        EXPECT_NEAR(s.east, r.east, 1e-12);
    }
    EXPECT_EQ(north_named("left"), 270);
    EXPECT_FALSE(north_named("north"));
}

TEST(PolarErrorAxis, ByDistanceFromTheMeridian) {
    const std::vector<std::pair<double, Component>> rows = {
        {0, Component::azimuth},   {-2, Component::azimuth},    {2.5, Component::mixed},
        {-4, Component::altitude}, {6, Component::altitude},    {-8, Component::altitude},
        {9, Component::mixed},     {-11.5, Component::azimuth}, {23, Component::azimuth}};
    for (const auto& [ha, axis] : rows) EXPECT_EQ(measured_component(ha), axis) << "ha " << ha;
}

// ---------------------------------------------------------------------------------------
// Where the geometry comes from.

struct GeometryRow {
    const char* name;
    PolarInputs inputs;
    HeaderValues header;
    std::optional<double> unix_s;
    std::optional<double> scale, dec, ha, lat;
    const char* note;  // a note that must be among them ("" for none in particular)
    friend void PrintTo(const GeometryRow& r, std::ostream* os) { *os << r.name; }
};

class Geometries : public ::testing::TestWithParam<GeometryRow> {};

TEST_P(Geometries, ResolveEachValue) {
    const GeometryRow& row = GetParam();
    const Geometry g = resolve_geometry(row.inputs, row.header, row.unix_s);
    const auto near = [](std::optional<double> got, std::optional<double> want) {
        ASSERT_EQ(got.has_value(), want.has_value());
        EXPECT_NEAR(got.value_or(0), want.value_or(0), 1e-3);
    };
    near(g.scale_arcsec_per_px, row.scale);
    near(g.dec_deg, row.dec);
    near(g.ha_hours, row.ha);
    near(g.lat_deg, row.lat);
    bool found = std::string(row.note).empty();
    for (const std::string& n : g.notes) found = found || n.find(row.note) != std::string::npos;
    EXPECT_TRUE(found) << "no note containing '" << row.note << "'";
}

// 2000-01-01T00:00:00Z, Greenwich sidereal time 6.6645 h.
constexpr double kY2k = 946684800.0;

INSTANTIATE_TEST_SUITE_P(
    Sources, Geometries,
    ::testing::Values(
        GeometryRow{
            "user_values_win",
            {2.0, 10.0, -1.0, -33.0, {}},
            {{"XPIXSZ", "3.76"}, {"FOCALLEN", "500"}, {"OBJCTDEC", "+45 00 00"}, {"SITELAT", "50"}},
            kY2k,
            2.0,
            10.0,
            -1.0,
            -33.0,
            ""},
        GeometryRow{"scale_from_pixel_size_and_focal_length",
                    {},
                    {{"XPIXSZ", "3.76"}, {"FOCALLEN", "500."}, {"SCALE", "9"}},
                    std::nullopt,
                    206.265 * 3.76 / 500,
                    std::nullopt,
                    std::nullopt,
                    std::nullopt,
                    "XPIXSZ and FOCALLEN"},
        GeometryRow{"scale_from_pixscale_when_focal_length_is_garbage",
                    {},
                    {{"XPIXSZ", "3.76"}, {"FOCALLEN", "n/a"}, {"PIXSCALE", "1.25D0"}},
                    std::nullopt,
                    1.25,
                    std::nullopt,
                    std::nullopt,
                    std::nullopt,
                    "PIXSCALE"},
        GeometryRow{"hour_angle_from_ra_longitude_and_time",
                    {},
                    {{"OBJCTRA", "06 00 00"},
                     {"OBJCTDEC", "-20 30 00"},
                     {"SITELONG", "15"},
                     {"SITELAT", "-35 30"}},
                    kY2k,
                    std::nullopt,
                    -20.5,
                    6.6645 + 1 - 6,
                    -35.5,
                    "Hour angle from OBJCTRA"},
        GeometryRow{"ra_in_degrees",
                    {},
                    {{"RA", "90.0"}, {"DEC", "10.0"}, {"SITELONG", "0"}},
                    kY2k,
                    std::nullopt,
                    10.0,
                    0.6645,
                    std::nullopt,
                    "northern hemisphere"},
        GeometryRow{"placeholder_pointing",
                    {},
                    {{"OBJCTRA", "00 00 00"}, {"OBJCTDEC", "00 00 00"}, {"SITELONG", "0"}},
                    kY2k,
                    std::nullopt,
                    std::nullopt,
                    std::nullopt,
                    std::nullopt,
                    "placeholder"},
        GeometryRow{"no_time_no_hour_angle",
                    {},
                    {{"OBJCTRA", "06 00 00"}, {"OBJCTDEC", "10"}, {"SITELONG", "0"}},
                    std::nullopt,
                    std::nullopt,
                    10.0,
                    std::nullopt,
                    std::nullopt,
                    "the time"},
        GeometryRow{"garbage_everywhere",
                    {},
                    {{"XPIXSZ", "-3"},
                     {"FOCALLEN", "0"},
                     {"SCALE", "fast"},
                     {"OBJCTRA", "25 00"},
                     {"OBJCTDEC", "+95 00"},
                     {"SITELAT", "north"},
                     {"SITELONG", "far"}},
                    kY2k,
                    std::nullopt,
                    std::nullopt,
                    std::nullopt,
                    std::nullopt,
                    "SITELAT 'north' is not a latitude"}),
    [](const auto& row_info) { return std::string(row_info.param.name); });

// ---------------------------------------------------------------------------------------
// The report on worked fits.

DriftFit fit_of(double rate_y, std::optional<double> se_y, double minutes, std::size_t n = 20) {
    DriftFit fit;
    fit.images = fit.used = n;
    fit.elapsed_minutes = minutes;
    fit.x.rate_per_min = 0;
    fit.y.rate_per_min = rate_y;
    fit.y.rate_se_per_min = se_y;
    fit.y.r2 = 0.9;
    fit.y.residual_rms = 0.5;
    return fit;
}

Geometry meridian(double lat) {
    Geometry g;
    g.scale_arcsec_per_px = 1;
    g.ha_hours = 0;
    g.lat_deg = lat;
    return g;
}

TEST(PolarErrorReport, WorkedAzimuthFitInBothHemispheres) {
    // 1 px/min up on the image, 1"/px: north at 1"/min -> 1 / 0.26252 = 3.809' west.
    const DriftSummary s = drift_summary(fit_of(-1, 0.05, 10), meridian(60));
    EXPECT_EQ(s.component, Component::azimuth);
    EXPECT_NEAR(*s.north_arcsec_per_min, 1, 1e-12);
    EXPECT_NEAR(*s.error_arcmin, 3.809, 1e-3);
    EXPECT_NEAR(*s.error_se_arcmin, 0.190, 1e-3);
    EXPECT_EQ(s.direction, ErrorDirection::west);
    EXPECT_NEAR(*s.knob_arcmin, 2 * 3.809, 2e-3);  // cos 60 = 1/2
    EXPECT_NEAR(*s.seeing_arcsec, 0.5, 1e-12);
    EXPECT_EQ(s.enough, true);
    EXPECT_EQ(s.minutes_needed, 0);

    const DriftSummary south = drift_summary(fit_of(-1, 0.05, 10), meridian(-30));
    EXPECT_EQ(south.direction, ErrorDirection::east);
}

TEST(PolarErrorReport, EnoughNeedsThreeMinutesAndASmallStandardError) {
    // Good standard error, too short: the rest of three minutes.
    const DriftSummary short_run = drift_summary(fit_of(-1, 0.05, 2), meridian(50));
    EXPECT_EQ(short_run.enough, false);
    EXPECT_NEAR(*short_run.minutes_needed, 1, 1e-9);
    // SE 2' against a 3.8' error: target 1', SE falls as t^-3/2: 4 min x 2^(2/3).
    const double se_px = 2 * kArcsecPerMinPerArcmin;
    const DriftSummary noisy = drift_summary(fit_of(-1, se_px, 4), meridian(50));
    EXPECT_EQ(noisy.enough, false);
    EXPECT_NEAR(*noisy.minutes_needed, 4 * std::pow(2.0, 2.0 / 3.0) - 4, 1e-9);
    // Large error: 10 % of it is the target.
    const DriftSummary large = drift_summary(
        fit_of(-30 * kArcsecPerMinPerArcmin, 2.5 * kArcsecPerMinPerArcmin, 5), meridian(50));
    EXPECT_NEAR(*large.error_arcmin, 30, 1e-9);
    EXPECT_EQ(large.enough, true);
}

TEST(PolarErrorReport, AltitudeMixedAndUnknowns) {
    Geometry east = meridian(50);
    east.ha_hours = -6;
    const DriftSummary high = drift_summary(fit_of(-1, 0.05, 10), east);
    EXPECT_EQ(high.component, Component::altitude);
    EXPECT_EQ(high.direction, ErrorDirection::high);
    EXPECT_FALSE(high.knob_arcmin);

    Geometry between = meridian(50);
    between.ha_hours = 3;
    const DriftSummary mixed = drift_summary(fit_of(-1, 0.05, 10), between);
    EXPECT_EQ(mixed.component, Component::mixed);
    EXPECT_FALSE(mixed.notes.empty());

    Geometry nothing;
    const DriftSummary unknown = drift_summary(fit_of(-1, 0.05, 10), nothing);
    EXPECT_FALSE(unknown.north_arcsec_per_min || unknown.error_arcmin || unknown.direction ||
                 unknown.enough || unknown.minutes_needed || unknown.seeing_arcsec);
    EXPECT_TRUE(unknown.r2);

    DriftFit single = fit_of(0, std::nullopt, 0, 1);
    single.x.rate_per_min.reset();
    single.y.rate_per_min.reset();
    const DriftSummary one = drift_summary(single, meridian(50));
    EXPECT_FALSE(one.north_arcsec_per_min || one.error_arcmin || one.r2);
    EXPECT_FALSE(one.notes.empty());

    const DriftSummary two = drift_summary(fit_of(-1, std::nullopt, 1, 2), meridian(50));
    EXPECT_TRUE(two.error_arcmin);
    EXPECT_FALSE(two.error_se_arcmin);
    EXPECT_EQ(two.enough, false);
}

}  // namespace
}  // namespace trakora
