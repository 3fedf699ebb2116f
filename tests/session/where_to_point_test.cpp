// SPDX-License-Identifier: MIT
// Where to point next: the site from the latitude in use and the header's longitude, else
// the typed one; no patches without both.
#include "session/where_to_point.hpp"

#include <gtest/gtest.h>

#include <optional>

namespace trakora {
namespace {

struct SiteRow {
    const char* name;
    std::optional<double> typed_lat, header_lat, header_lon, typed_lon;
    std::optional<double> lat, lon;  // what the plan is for; no plan without both
    bool lon_typed;
};

TEST(WhereToPoint, TakesTheSiteFromTheSessionAndTheBox) {
    const SiteRow rows[] = {
        {"nothing_known", {}, {}, {}, {}, {}, {}, false},
        {"header_site", {}, 35.7, 139.7, {}, 35.7, 139.7, false},
        {"header_longitude_before_the_box", {}, 35.7, 139.7, 10.0, 35.7, 139.7, false},
        {"typed_latitude_before_the_header", 50.0, 35.7, 139.7, {}, 50.0, 139.7, false},
        {"box_when_the_header_has_none", {}, -33.9, {}, 18.4, -33.9, 18.4, true},
        {"latitude_without_longitude", 50.0, {}, {}, {}, 50.0, {}, false},
    };
    for (const SiteRow& row : rows) {
        SCOPED_TRACE(row.name);
        DriftAssistant a;
        a.typed.lat_deg = row.typed_lat;
        ImageMeasurement latest;
        latest.keywords.lat_deg.value = row.header_lat;
        latest.keywords.lon_deg.value = row.header_lon;
        a.latest = latest;
        const WhereToPoint w = where_to_point(a, row.typed_lon, 1'800'000'000);
        EXPECT_EQ(w.lat_deg, row.lat);
        EXPECT_EQ(w.lon_deg, row.lon);
        EXPECT_EQ(w.lon_typed, row.lon_typed);
        EXPECT_EQ(w.plan.has_value(), row.lat && row.lon);
        EXPECT_EQ(w.next, NextPhase::azimuth);  // nothing measured yet
    }
}

}  // namespace
}  // namespace trakora
