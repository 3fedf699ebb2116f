// SPDX-License-Identifier: MIT
// The observation time from each header form capture programs write, and the values that
// must not pass for a time.
#include "fits/observation_time.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/fits_files.hpp"

namespace trakora::testing {
namespace {

constexpr double k2026 = 1796781940.0;  // 2026-12-09T02:05:40Z
constexpr double k1996 = 850097140.0;   // 1996-12-09T02:05:40Z

struct TimeRow {
    const char* name;
    std::vector<std::string> cards;
    std::optional<double> expected;  // nullopt: no time (the file's time is not given)
    TimeSource source = TimeSource::file;
    friend void PrintTo(const TimeRow& r, std::ostream* os) { *os << r.name; }
};

HeaderValues values_of(const std::vector<std::string>& cards) { return header_values(cards); }

class ObservationTimes : public ::testing::TestWithParam<TimeRow> {};

TEST_P(ObservationTimes, ReadAsCaptureProgramsWriteThem) {
    const TimeRow& row = GetParam();
    const auto t = observation_time(header_values(row.cards), std::nullopt);
    ASSERT_EQ(t.has_value(), row.expected.has_value());
    if (!t) return;
    EXPECT_NEAR(t->unix_s, *row.expected, 1e-6);
    EXPECT_EQ(t->source, row.source);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ObservationTimes,
    ::testing::Values(
        TimeRow{"iso_whole_seconds",
                {fits_card("DATE-OBS", "'2026-12-09T02:05:40'")},
                k2026,
                TimeSource::date_obs},
        TimeRow{"iso_milliseconds_z",
                {fits_card("DATE-OBS", "'2026-12-09T02:05:40.125Z'")},
                k2026 + 0.125,
                TimeSource::date_obs},
        TimeRow{"iso_seven_digits",
                {fits_card("DATE-OBS", "'2026-12-09T02:05:40.1234567'")},
                k2026 + 0.1234567,
                TimeSource::date_obs},
        TimeRow{"iso_unquoted",
                {padded_card("DATE-OBS= 2026-12-09T02:05:40.5 / start")},
                k2026 + 0.5,
                TimeSource::date_obs},
        TimeRow{"iso_empty_fraction",
                {fits_card("DATE-OBS", "'2026-12-09T02:05:40.'")},
                k2026,
                TimeSource::date_obs},
        TimeRow{"leap_day",
                {fits_card("DATE-OBS", "'2024-02-29T23:59:59'")},
                1709251199.0,
                TimeSource::date_obs},
        TimeRow{"date_and_time_obs",
                {fits_card("DATE-OBS", "'2026-12-09'"), fits_card("TIME-OBS", "'02:05:40.25'")},
                k2026 + 0.25,
                TimeSource::date_obs_time_obs},
        TimeRow{"date_and_ut",
                {fits_card("DATE-OBS", "'2026-12-09'"), fits_card("UT", "'02:05:40'")},
                k2026,
                TimeSource::date_obs_ut},
        TimeRow{"old_form_19yy",
                {fits_card("DATE-OBS", "'09/12/96'"), fits_card("TIME-OBS", "'02:05:40'")},
                k1996,
                TimeSource::date_obs_time_obs},
        TimeRow{"old_form_unquoted",
                {padded_card("DATE-OBS= 09/12/96"), fits_card("UT", "'02:05:40'")},
                k1996,
                TimeSource::date_obs_ut},
        TimeRow{"mjd", {fits_card("MJD-OBS", "61383.087268518518")}, k2026, TimeSource::mjd_obs},
        TimeRow{"bad_date_falls_to_mjd",
                {fits_card("DATE-OBS", "'2026-13-09T02:05:40'"), fits_card("MJD-OBS", "61383")},
                k2026 - 7540,
                TimeSource::mjd_obs},
        // Rejects: nothing else in the header, so no time at all.
        TimeRow{"reject_month_13", {fits_card("DATE-OBS", "'2026-13-09T02:05:40'")}, {}},
        TimeRow{"reject_feb_30", {fits_card("DATE-OBS", "'2026-02-30T02:05:40'")}, {}},
        TimeRow{"reject_hour_24", {fits_card("DATE-OBS", "'2026-12-09T24:00:00'")}, {}},
        TimeRow{
            "reject_eight_digits", {fits_card("DATE-OBS", "'2026-12-09T02:05:40.12345678'")}, {}},
        TimeRow{"reject_time_zone", {fits_card("DATE-OBS", "'2026-12-09T02:05:40+01:00'")}, {}},
        TimeRow{"reject_date_without_time", {fits_card("DATE-OBS", "'2026-12-09'")}, {}},
        TimeRow{"reject_garbage", {fits_card("DATE-OBS", "'yesterday'")}, {}},
        TimeRow{"reject_bad_time_obs",
                {fits_card("DATE-OBS", "'2026-12-09'"), fits_card("TIME-OBS", "'2:5:40'")},
                {}},
        TimeRow{"reject_mjd_text", {fits_card("MJD-OBS", "'soon'")}, {}},
        TimeRow{"reject_mjd_nan", {fits_card("MJD-OBS", "NaN")}, {}},
        TimeRow{"reject_empty_header", {}, {}}),
    [](const auto& row_info) { return std::string(row_info.param.name); });

TEST(ObservationTime, FileTimeOnlyAsTheLastResortAndSaysSo) {
    const auto t = observation_time(values_of({fits_card("DATE-OBS", "'garbage'")}), 1234.5);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->unix_s, 1234.5);
    EXPECT_EQ(t->source, TimeSource::file);
    const auto header_first =
        observation_time(values_of({fits_card("DATE-OBS", "'2026-12-09T02:05:40'")}), 1234.5);
    EXPECT_EQ(header_first->source, TimeSource::date_obs);
}

TEST(HeaderValues, UnquotesStringsAndStopsAtEnd) {
    const HeaderValues h =
        values_of({fits_card("OBJECT", "'It''s M 42  '", "target"),
                   fits_card("XPIXSZ", "3.76", "microns"), fits_card("XPIXSZ", "9.9"),
                   padded_card("COMMENT x = 1"), padded_card("END"), fits_card("FOCALLEN", "500")});
    EXPECT_EQ(header_value(h, "OBJECT"), "It's M 42");
    EXPECT_EQ(header_value(h, "XPIXSZ"), "3.76");  // the first card of a keyword wins
    EXPECT_FALSE(header_value(h, "COMMENT"));
    EXPECT_FALSE(header_value(h, "FOCALLEN"));  // after END
}

TEST(SiderealTime, MatchesPublishedValues) {
    // 2000-01-01T00:00:00Z: 6 h 39 m 52.27 s; 1987-04-10T00:00:00Z: 13 h 10 m 46.37 s
    // (Meeus, Astronomical Algorithms, example 12.a).
    EXPECT_NEAR(greenwich_sidereal_hours(946684800.0), 6 + 39 / 60.0 + 52.27 / 3600, 1e-5);
    EXPECT_NEAR(greenwich_sidereal_hours(545011200.0), 13 + 10 / 60.0 + 46.37 / 3600, 1e-5);
}

}  // namespace
}  // namespace trakora::testing
