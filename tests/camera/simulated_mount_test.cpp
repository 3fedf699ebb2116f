// SPDX-License-Identifier: MIT
// The simulated camera as a simulated mount: its options, the header it writes, the
// simulated clock, and a guide star that drifts the way the misaligned axis makes it.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "camera/simulate.hpp"
#include "camera/simulate_options.hpp"
#include "fits/header_values.hpp"
#include "fits/observation_time.hpp"
#include "support/fits_files.hpp"
#include "support/run_program.hpp"

namespace trakora::camera {
namespace {

using trakora::testing::ProgramRun;
using trakora::testing::run_in_process;
using trakora::testing::TempDir;

HeaderValues header_of(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> cards;
    std::string card(80, ' ');
    while (in.read(card.data(), 80) && card.compare(0, 3, "END") != 0) cards.push_back(card);
    return header_values(cards);
}

struct MountArgsRow {
    const char* name;
    std::vector<std::string> args;
    const char* message;
};

TEST(SimulatedMountArguments, RefusedWithAReason) {
    const std::vector<MountArgsRow> rows = {
        {"interval_zero_forever", {"--interval", "0"}, "--interval 0 writes images without pause"},
        {"simulated_clock_forever", {"--clock", "simulated"}, "give --count or --keep"},
        {"clock_kind", {"--clock", "sidereal", "--count", "1"}, "wall or simulated"},
        {"start_on_the_wall_clock",
         {"--start", "2027-01-15T08:00:00", "--count", "1"},
         "--clock simulated too"},
        {"start_text", {"--clock", "simulated", "--start", "dusk", "--count", "1"}, "'dusk'"},
        {"north_word", {"--north", "north", "--count", "1"}, "up, down, left or right"},
        {"offset_too_large", {"--az-offset", "900", "--count", "1"}, "--az-offset"},
        {"latitude_at_the_pole", {"--lat", "90", "--count", "1"}, "--lat"},
        {"hour_angle_text", {"--ha", "east", "--count", "1"}, "'east'"},
        {"scale_zero", {"--scale", "0", "--count", "1"}, "--scale"},
        {"north_twice", {"--rotation", "30", "--north", "up", "--count", "1"}, "once"},
        {"rotation_beyond_a_turn", {"--rotation", "400", "--count", "1"}, "--rotation"},
        {"nudge_direction", {"--nudge", "up:30:2", "--count", "1"}, "'up:30:2'"},
        {"nudge_before_the_first", {"--nudge", "north:30:0", "--count", "1"}, "DIR:ARCSEC:IMAGE"},
        {"temperature_of_an_oven", {"--temperature", "70", "--count", "1"}, "--temperature"},
        {"pressure_of_a_mountain_top", {"--pressure", "400", "--count", "1"}, "--pressure"},
    };
    for (const MountArgsRow& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        std::vector<std::string> args = {dir.path().string()};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const ProgramRun run = run_in_process(run_simulate, args);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(row.message), std::string::npos) << run.err;
        EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    }
}

// An hour of sky written at once: DATE-OBS steps by the interval exactly, the header
// describes the mount, and the reported star moves north (up) at the azimuth error's rate.
TEST(SimulatedMount, SimulatedClockHeaderAndDrift) {
    TempDir dir;
    const ProgramRun run = run_in_process(run_simulate, {dir.path().string(),
                                                         "--clock",
                                                         "simulated",
                                                         "--interval",
                                                         "300",
                                                         "--count",
                                                         "13",
                                                         "--seeing",
                                                         "0",
                                                         "--az-offset",
                                                         "10",
                                                         "--lat",
                                                         "-35.5",
                                                         "--lon",
                                                         "149.1",
                                                         "--dec",
                                                         "-20.25",
                                                         "--ha",
                                                         "0.5",
                                                         "--scale",
                                                         "2",
                                                         "--start",
                                                         "2027-01-15T08:00:00"});
    ASSERT_EQ(run.status, 0) << run.err;

    const HeaderValues first = header_of(dir.file("drift_0001.FIT"));
    const HeaderValues last = header_of(dir.file("drift_0013.FIT"));
    const auto t0 = observation_time(first, std::nullopt),
               t12 = observation_time(last, std::nullopt);
    ASSERT_TRUE(t0 && t12);
    EXPECT_NEAR(t0->unix_s, 1'800'000'000, 1e-6);
    EXPECT_NEAR(t12->unix_s - t0->unix_s, 3600, 1e-6);
    EXPECT_NEAR(206.265 * std::stod(*header_value(first, "XPIXSZ")) /
                    std::stod(*header_value(first, "FOCALLEN")),
                2, 1e-6);
    EXPECT_EQ(header_value(first, "OBJCTDEC"), "-20 15 00.0");
    EXPECT_EQ(header_value(first, "SITELAT"), "-35.5");
    EXPECT_EQ(header_value(first, "SITELONG"), "149.1");
    EXPECT_EQ(header_value(first, "EXPTIME"), "300.");
    EXPECT_EQ(header_value(first, "OBJCTRA"), header_value(last, "OBJCTRA"));

    // The reported true centres: south of the equator an axis too far west sends a star
    // near the meridian south, down the image: 2.6"/min over the hour, about 78 px.
    std::istringstream lines(run.out);
    std::string line;
    std::vector<double> ys;
    while (std::getline(lines, line)) {
        const auto at = line.find(" y ");
        ASSERT_NE(at, std::string::npos) << line;
        ys.push_back(std::stod(line.substr(at + 3)));
    }
    ASSERT_EQ(ys.size(), 13u);
    const double mid_run_ha = 1.0;  // hours: 0.5 at the start, the run an hour long
    EXPECT_NEAR(ys.back() - ys.front(), 0.2625 * 10 * 60 / 2 * std::cos(mid_run_ha * M_PI / 12),
                1.5);
}

// The air and the plate solution go into the header as capture programs write them.
TEST(SimulatedMount, WeatherAndPlateSolutionCards) {
    TempDir dir;
    const ProgramRun run = run_in_process(
        run_simulate, {dir.path().string(), "--count", "1", "--refraction", "--temperature", "-3.5",
                       "--pressure", "950", "--wcs", "--rotation", "90"});
    ASSERT_EQ(run.status, 0) << run.err;
    const HeaderValues h = header_of(dir.file("drift_0001.FIT"));
    EXPECT_EQ(header_value(h, "AMBTEMP"), "-3.5");
    EXPECT_EQ(header_value(h, "PRESSURE"), "950.");
    EXPECT_EQ(header_value(h, "CTYPE1"), "RA---TAN");
    EXPECT_EQ(header_value(h, "CTYPE2"), "DEC--TAN");
    EXPECT_EQ(header_value(h, "CD1_1"), "0.");  // north right: east up, axis 1 runs north
    EXPECT_NEAR(std::stod(*header_value(h, "CD2_1")), 1.5 / 3600, 1e-15);
}

}  // namespace
}  // namespace trakora::camera
