// SPDX-License-Identifier: MIT
// The observing keywords as capture programs write them: numbers, angles in their forms
// (a writer's rounded 60 included), the alias table and what is absent, read or
// unreadable.
#include "fits/observing_keywords.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "base/number_text.hpp"
#include "fits/keyword_text.hpp"

namespace trakora {
namespace {

TEST(KeywordNumbers, StrictAndHeaderForms) {
    struct Row {
        const char* name;
        const char* text;
        std::optional<double> exact;    // exact_number: options and script words
        std::optional<double> keyword;  // keyword_number: header values
    };
    const std::vector<Row> rows = {
        {"plain", "3.76", 3.76, 3.76},
        {"plus", "+5", 5, 5},
        {"minus", "-5e-1", -0.5, -0.5},
        {"second_sign", "+-5", std::nullopt, std::nullopt},
        {"blanks_around", " 500. ", std::nullopt, 500},
        {"fortran_exponent", "1.25D0", std::nullopt, 1.25},
        {"blank_inside", "1 024", std::nullopt, std::nullopt},
        {"comma", "1,5", std::nullopt, std::nullopt},
        {"infinity_word", "inf", std::nullopt, std::nullopt},
        {"too_large", "1e999", std::nullopt, std::nullopt},
        {"empty", "", std::nullopt, std::nullopt},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(exact_number(r.text), r.exact);
        EXPECT_EQ(keyword_number(r.text), r.keyword);
    }
}

TEST(KeywordAngles, SexagesimalDegreesAndRightAscension) {
    struct Row {
        const char* name;
        const char* text;
        std::optional<double> degrees;   // parse_degrees, |v| <= 90
        std::optional<double> ra_hours;  // parse_right_ascension_hours
    };
    const std::vector<Row> rows = {
        {"signed_sexagesimal", "+45 30 00", 45.5, std::nullopt},
        {"negative_below_one_degree", "-00 30 00", -0.5, std::nullopt},
        {"colons", "12:30:36", 12.51, 12.51},
        {"letters", "12h30m00s", 12.5, 12.5},
        {"two_parts", "12 30", 12.5, 12.5},
        {"plain_degrees", "187.5", std::nullopt, 12.5},
        {"plain_negative", "-33.25", -33.25, std::nullopt},
        {"seconds_of_60_carry", "+45 29 60.0", 45.5, std::nullopt},
        {"minutes_of_60_carry", "12 60", 13.0, 13.0},
        {"minutes_of_60_then_zero_seconds", "12 60 00", 13.0, 13.0},
        {"minutes_of_60_then_seconds", "12 60 30", std::nullopt, std::nullopt},
        {"seconds_above_60", "45 29 60.5", std::nullopt, std::nullopt},
        {"seconds_of_61", "45 29 61", std::nullopt, std::nullopt},
        {"minutes_out_of_range", "45 61 00", std::nullopt, std::nullopt},
        {"carry_past_the_limit", "89 59 60", 90.0, std::nullopt},
        {"ra_carry_to_24h", "23 59 60", 24.0, std::nullopt},
        {"four_parts", "1 2 3 4", std::nullopt, std::nullopt},
        {"inner_sign", "45 -3 00", std::nullopt, std::nullopt},
        {"ra_24h", "24 00 00", 24.0, std::nullopt},
        {"words", "unknown", std::nullopt, std::nullopt},
        {"empty", "", std::nullopt, std::nullopt},
        {"not_a_number", "nan", std::nullopt, std::nullopt},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const auto d = parse_degrees(r.text), ra = parse_right_ascension_hours(r.text);
        ASSERT_EQ(d.has_value(), r.degrees.has_value());
        ASSERT_EQ(ra.has_value(), r.ra_hours.has_value());
        EXPECT_NEAR(d.value_or(0), r.degrees.value_or(0), 1e-12);
        EXPECT_NEAR(ra.value_or(0), r.ra_hours.value_or(0), 1e-12);
    }
    EXPECT_NEAR(parse_degrees("+139 41 60.0", 360).value_or(0), 139.7, 1e-12);
}

TEST(ObservingKeywords, AliasesPlaceholderAndUnreadableValues) {
    const ObservingKeywords k = read_observing_keywords({{"PIXSCALE", "1.5"},
                                                         {"RA", "0"},
                                                         {"OBJCTDEC", "+00 00 00"},
                                                         {"SITELONG", "+139 41 61.0"},
                                                         {"EXPOSURE", "30"},
                                                         {"EXPTIME", ""},
                                                         {"AMBTEMP", "-300"},
                                                         {"PIERSIDE", "WEST"},
                                                         {"EPOCH", "J2000"},
                                                         {"DATE-OBS", "2026-12-09T02:05:40"}});
    EXPECT_EQ(k.scale_arcsec_per_px.keyword, "PIXSCALE");
    EXPECT_EQ(k.scale_arcsec_per_px.value, 1.5);
    EXPECT_EQ(k.ra_hours.keyword, "RA");  // OBJCTRA absent: the next name
    EXPECT_TRUE(k.pointing_placeholder);
    EXPECT_EQ(k.lon_deg.state, KeywordState::unreadable);
    EXPECT_EQ(k.lon_deg.text, "+139 41 61.0");
    EXPECT_FALSE(k.lon_deg.value);
    EXPECT_EQ(k.exposure_s.keyword, "EXPOSURE");  // a blank EXPTIME counts as absent
    EXPECT_EQ(k.exposure_s.value, 30);
    EXPECT_EQ(k.temperature_c.state, KeywordState::unreadable);
    EXPECT_EQ(k.focal_mm.state, KeywordState::absent);
    EXPECT_TRUE(k.focal_mm.keyword.empty());
    EXPECT_EQ(k.pier_side, "WEST");
    EXPECT_EQ(k.equinox_year.keyword, "EPOCH");  // EQUINOX absent: its older name
    EXPECT_EQ(k.equinox_year.value, 2000);
    ASSERT_TRUE(k.time);
    EXPECT_EQ(k.time->source, TimeSource::date_obs);
    EXPECT_EQ(keyword_names(&ObservingKeywords::scale_arcsec_per_px), "SCALE or PIXSCALE");
}

}  // namespace
}  // namespace trakora
