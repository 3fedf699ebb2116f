// SPDX-License-Identifier: MIT
// `trakora-cli where` prints one JSON object: a patch per phase with its stars, or null
// and a note saying why at a site where the phase has no sky.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/run_program.hpp"

namespace {

struct WhereRow {
    const char* name;
    const char* lat;
    std::vector<std::string> present;
};

TEST(WhereCommand, OneObjectPerSiteWithPatchesOrTheReasonWhyNot) {
    const std::vector<WhereRow> rows = {
        {"mid_north",
         "50",
         {R"("azimuth":{"ha_hours":0,"dec_deg":0,"ra_hours":2.8076,"altitude_deg":40,)",
          R"({"name":"alpha Cet","ra_hours":3.038,"dec_deg":4.0897,"mag":2.53,)",
          R"("altitude_east":{"ha_hours":-4.453,"dec_deg":20,)", R"("notes":[])"}},
        {"near_the_pole",
         "85",
         {R"("azimuth":null,"altitude_east":null,"altitude_west":null,)",
          "azimuth: no declination within 20 degrees of the equator stands 30 degrees high",
          "altitude_west: no declination within 20 degrees of the equator rises 30 degrees"}},
    };
    for (const WhereRow& row : rows) {
        SCOPED_TRACE(row.name);
        const auto run = trakora::testing::run_cli(
            {"where", "--lat", row.lat, "--lon", "8.5", "--time", "2026-12-09T21:00:00Z"});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out.front(), '{');
        EXPECT_EQ(run.out.find('\n'), run.out.size() - 1) << "one line";
        for (const std::string& part : row.present)
            EXPECT_NE(run.out.find(part), std::string::npos) << part << "\n" << run.out;
    }
}

}  // namespace
