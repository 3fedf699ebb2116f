// SPDX-License-Identifier: MIT
// Pieces of the polar error: the image's orientation, where each geometry value comes
// from, and the report's rules on worked fits. The whole chain against the exact mount is in the
// simulated camera's tests.
#include "analysis/polar_error.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace trakora {
namespace {

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
    for (const auto& [ha, axis] : rows)
        EXPECT_EQ(read_component(ha).component, axis) << "ha " << ha;
}

// ---------------------------------------------------------------------------------------
// Where the geometry comes from.

struct GeometryRow {
    const char* name;
    PolarInputs inputs;
    HeaderValues header;
    std::optional<double> unix_s;
    std::optional<double> scale, dec, ha, lat;
    // A note that must be among them: its code, a name it holds ("" for any) and the parts
    // it names; no code for none in particular.
    struct Expected {
        std::optional<NoteCode> code;
        const char* name = "";
        unsigned parts = 0;
    } note;
    friend void PrintTo(const GeometryRow& r, std::ostream* os) { *os << r.name; }
};

class Geometries : public ::testing::TestWithParam<GeometryRow> {};

TEST_P(Geometries, ResolveEachValue) {
    const GeometryRow& row = GetParam();
    const Geometry g =
        resolve_geometry(row.inputs, read_observing_keywords(row.header), row.unix_s);
    const auto near = [](std::optional<double> got, std::optional<double> want) {
        ASSERT_EQ(got.has_value(), want.has_value());
        EXPECT_NEAR(got.value_or(0), want.value_or(0), 1e-3);
    };
    near(g.scale_arcsec_per_px, row.scale);
    near(g.dec_deg, row.dec);
    near(g.ha_hours, row.ha);
    near(g.lat_deg, row.lat);
    const auto holds = [&](const DriftNote& n) {
        const std::string name = row.note.name;
        return n.code == row.note.code && (n.parts & row.note.parts) == row.note.parts &&
               (name.empty() || std::find(n.names.begin(), n.names.end(), name) != n.names.end());
    };
    EXPECT_TRUE(!row.note.code || std::any_of(g.notes.begin(), g.notes.end(), holds))
        << "no such note";
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
            {}},
        GeometryRow{"scale_from_pixel_size_and_focal_length",
                    {},
                    {{"XPIXSZ", "3.76"}, {"FOCALLEN", "500."}, {"SCALE", "9"}},
                    std::nullopt,
                    206.265 * 3.76 / 500,
                    std::nullopt,
                    std::nullopt,
                    std::nullopt,
                    {NoteCode::scale_from_pixel_size, "FOCALLEN"}},
        GeometryRow{"scale_from_pixscale_when_focal_length_is_garbage",
                    {},
                    {{"XPIXSZ", "3.76"}, {"FOCALLEN", "n/a"}, {"PIXSCALE", "1.25D0"}},
                    std::nullopt,
                    1.25,
                    std::nullopt,
                    std::nullopt,
                    std::nullopt,
                    {NoteCode::scale_from_keyword, "PIXSCALE"}},
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
                    {NoteCode::hour_angle_from, "OBJCTRA"}},
        GeometryRow{"ra_in_degrees",
                    {},
                    {{"RA", "90.0"}, {"DEC", "10.0"}, {"SITELONG", "0"}},
                    kY2k,
                    std::nullopt,
                    10.0,
                    0.6645,
                    std::nullopt,
                    {NoteCode::no_latitude}},
        GeometryRow{"placeholder_pointing",
                    {},
                    {{"OBJCTRA", "00 00 00"}, {"OBJCTDEC", "00 00 00"}, {"SITELONG", "0"}},
                    kY2k,
                    std::nullopt,
                    std::nullopt,
                    std::nullopt,
                    std::nullopt,
                    {NoteCode::pointing_placeholder}},
        GeometryRow{"no_time_no_hour_angle",
                    {},
                    {{"OBJCTRA", "06 00 00"}, {"OBJCTDEC", "10"}, {"SITELONG", "0"}},
                    std::nullopt,
                    std::nullopt,
                    10.0,
                    std::nullopt,
                    std::nullopt,
                    {NoteCode::no_hour_angle, "", kTimeMissing}},
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
                    {NoteCode::not_latitude, "north"}},
        GeometryRow{"rounded_longitude_carries",
                    {},
                    {{"OBJCTRA", "06 00 00"}, {"OBJCTDEC", "10"}, {"SITELONG", "+14 59 60.0"}},
                    kY2k,
                    std::nullopt,
                    10.0,
                    6.6645 + 1 - 6,
                    std::nullopt,
                    {NoteCode::hour_angle_from, "SITELONG"}},
        GeometryRow{"unreadable_longitude_is_named_not_missing",
                    {},
                    {{"OBJCTRA", "06 00 00"}, {"OBJCTDEC", "10"}, {"SITELONG", "+14 59 61.0"}},
                    kY2k,
                    std::nullopt,
                    10.0,
                    std::nullopt,
                    std::nullopt,
                    {NoteCode::no_hour_angle, "", kLongitudeUnreadable}},
        GeometryRow{"unreadable_focal_length_is_named",
                    {},
                    {{"XPIXSZ", "3.76"}, {"FOCALLEN", "n/a"}},
                    std::nullopt,
                    std::nullopt,
                    std::nullopt,
                    std::nullopt,
                    std::nullopt,
                    {NoteCode::unreadable, "n/a"}}),
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
    // The sums the projections are read from, agreeing with the figures above.
    const double count = static_cast<double>(n);
    fit.spread.n = count;
    fit.spread.ryy = 0.25 * count;
    fit.spread.stt = se_y ? fit.spread.ryy / ((count - 2) * *se_y * *se_y) : 1;
    fit.spread.tyy = fit.spread.ryy / (1 - 0.9);
    return fit;
}

Geometry meridian(double lat) {
    Geometry g;
    g.scale_arcsec_per_px = 1;
    g.ha_hours = 0;
    g.lat_deg = lat;
    g.angle_source = AngleSource::typed;
    return g;
}

TEST(PolarErrorReport, WorkedAzimuthFitInBothHemispheres) {
    // 1 px/min up on the image, 1"/px: north at 1"/min -> 1 / 0.26252 = 3.809' west; the
    // fit's 0.190' and the reading's 1 % of it, 0.038', give 0.194'.
    const DriftSummary s = drift_summary(fit_of(-1, 0.05, 10), meridian(60));
    EXPECT_EQ(s.component, Component::azimuth);
    EXPECT_NEAR(*s.north_arcsec_per_min, 1, 1e-12);
    EXPECT_NEAR(*s.error_arcmin, 3.809, 1e-3);
    EXPECT_NEAR(*s.error_se_arcmin, std::hypot(0.1905, 0.0381), 1e-3);
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
    // The fit's SE 2' against a 3.8' error: target 1' less the reading's 0.038' in
    // quadrature, the fit's SE falls as t^-3/2: 4 min x (2 / 0.99928)^(2/3).
    const double se_px = 2 * kArcsecPerMinPerArcmin;
    const DriftSummary noisy = drift_summary(fit_of(-1, se_px, 4), meridian(50));
    EXPECT_EQ(noisy.enough, false);
    const double fit_target = std::sqrt(1 - std::pow(0.01 / kArcsecPerMinPerArcmin, 2));
    EXPECT_NEAR(*noisy.minutes_needed, 4 * std::pow(2.0 / fit_target, 2.0 / 3.0) - 4, 1e-9);
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

// The star jumps the opposite way to the telescope; east a quarter turn counterclockwise
// from north on the screen, clockwise mirrored.
TEST(PolarErrorOrientation, AngleFromACalibrationMove) {
    struct Row {
        const char* name;
        CalibrationMove move;
        double dx, dy;
        bool mirror;
        double angle;
    };
    const Row rows[] = {
        {"north_up_moved_north", CalibrationMove::north, 0, 30, false, 0},
        {"north_up_moved_east", CalibrationMove::east, 30, 0, false, 0},
        {"north_up_mirrored_moved_east", CalibrationMove::east, -30, 0, true, 0},
        {"north_right_moved_south", CalibrationMove::south, 30, 0, false, 90},
        {"north_at_135_moved_west", CalibrationMove::west, 20, -20, false, 135},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_NEAR(angle_from_move(row.move, row.dx, row.dy, row.mirror), row.angle, 1e-9);
    }
}

// Bad input from the header: a note, a default, never NaN.
TEST(PolarErrorGeometry, UnusablePlateAndAirOutOfRangeAreNoted) {
    const HeaderValues header{{"AMBTEMP", "75"}, {"PRESSURE", "400"}};
    PolarInputs in;
    in.refraction = true;
    const Geometry g = resolve_geometry(in, read_observing_keywords(header), std::nullopt,
                                        PlateReading{std::nullopt, PlateFailure::singular});
    ASSERT_TRUE(g.air);
    EXPECT_EQ(g.air->temperature_c, 10);
    EXPECT_EQ(g.air->pressure_hpa, 1010);
    EXPECT_EQ(g.angle_source, AngleSource::assumed);
    std::size_t plate = 0, air = 0;
    for (const DriftNote& n : g.notes) {
        plate += n.code == NoteCode::plate_unusable ? 1 : 0;
        air += n.code == NoteCode::air_out_of_range ? 1 : 0;
    }
    EXPECT_EQ(plate, 1u);
    EXPECT_EQ(air, 2u);
}

// The header's reading of the air stands; the typed value serves where it has none or one
// out of range; else the standard air.
TEST(PolarErrorGeometry, AirFromTheHeaderElseTypedElseStandard) {
    struct Row {
        const char* name;
        const char* ambtemp;  // "" absent
        std::optional<double> typed;
        double used;
        AirSource source;
    };
    const Row rows[] = {
        {"header_over_typed", "-3.5", 20.0, -3.5, AirSource::header},
        {"typed_without_header", "", 20.0, 20, AirSource::typed},
        {"typed_over_header_out_of_range", "75", 20.0, 20, AirSource::typed},
        {"standard", "", std::nullopt, 10, AirSource::standard},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        HeaderValues header;
        if (*row.ambtemp != 0) header.emplace("AMBTEMP", row.ambtemp);
        const AirValue t =
            air_temperature(row.typed, read_observing_keywords(header).temperature_c);
        EXPECT_EQ(t.value, row.used);
        EXPECT_EQ(t.source, row.source);
    }
}

}  // namespace
}  // namespace trakora
