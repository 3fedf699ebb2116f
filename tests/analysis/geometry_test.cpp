// SPDX-License-Identifier: MIT
// Where each value the polar error is read against comes from: typed, the header's
// keywords, the plate solution, a calibration move, the air; and the notes on each.
#include "analysis/geometry.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace trakora {
namespace {

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
    double within = 1e-3;  // hours and degrees
    friend void PrintTo(const GeometryRow& r, std::ostream* os) { *os << r.name; }
};

class Geometries : public ::testing::TestWithParam<GeometryRow> {};

TEST_P(Geometries, ResolveEachValue) {
    const GeometryRow& row = GetParam();
    const Geometry g =
        resolve_geometry(row.inputs, read_observing_keywords(row.header), row.unix_s);
    const auto near = [&](std::optional<double> got, std::optional<double> want) {
        ASSERT_EQ(got.has_value(), want.has_value());
        EXPECT_NEAR(got.value_or(0), want.value_or(0), row.within);
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
// 2026-08-20T12:00:00Z, Greenwich sidereal time 9.92255 h. A J2000 pointing of
// 18 28 26.66 +05 30 00 from 139.7 E stands at hour angle 0.7397725 h, declination
// 5.5189597 degrees: ERFA's observed place (eraAtco13, no refraction, UT1 = UTC).
constexpr double kAug2026 = 1787227200.0;
const HeaderValues kIndiPointing{
    {"OBJCTRA", "18 28 26.66"}, {"OBJCTDEC", "+05 30 00"}, {"SITELONG", "139.7"}};
HeaderValues with(HeaderValues header, const char* keyword, const char* value) {
    header.emplace(keyword, value);
    return header;
}

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
        GeometryRow{"j2000_pointing_precessed_to_the_date",
                    {},
                    with(kIndiPointing, "EQUINOX", "2000"),
                    kAug2026,
                    std::nullopt,
                    5.5189597,
                    0.7397725,
                    std::nullopt,
                    {NoteCode::pointing_precessed, "EQUINOX"},
                    1e-4},
        GeometryRow{"pointing_without_equinox_is_of_date",
                    {},
                    kIndiPointing,
                    kAug2026,
                    std::nullopt,
                    5.5,
                    9.92255 + 139.7 / 15 - (18 + 28 / 60.0 + 26.66 / 3600),
                    std::nullopt,
                    {NoteCode::hour_angle_from, "OBJCTRA"},
                    1e-4},
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
