// SPDX-License-Identifier: MIT
// The star's predicted move while a knob takes a known error away, against the simulated
// mount turning the same knob: the guide star of image k with the turn made before it,
// less the same image without the turn.
#include "analysis/knob_target.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <regex>
#include <string>
#include <vector>

#include "camera/knob_input.hpp"
#include "camera/simulated_image.hpp"
#include "camera/simulated_sky.hpp"
#include "support/fits_files.hpp"
#include "support/run_program.hpp"

namespace trakora::camera {
namespace {

struct KnobRow {
    const char* name;
    Knob knob;
    double error_arcmin;
    double lat_deg, dec_deg, ha_hours;
    Orientation orientation;
};

class KnobTarget : public ::testing::TestWithParam<KnobRow> {};

TEST_P(KnobTarget, PredictsTheSimulatedMountsMove) {
    const KnobRow& row = GetParam();
    constexpr long kTurnedBefore = 30;  // a minute into the night
    SkyParams params;
    params.drift_y_per_min = 0;
    params.mount.scale_arcsec_per_px = 1.5;
    params.mount.orientation = row.orientation;
    MountSetup& m = params.mount.setup;
    m.lat_deg = row.lat_deg;
    m.dec_deg = row.dec_deg;
    m.ha_hours = row.ha_hours;
    (row.knob == Knob::azimuth ? m.az_offset_arcmin : m.alt_offset_arcmin) = row.error_arcmin;
    const SkyField field = make_sky_field(params);
    const Position before = drift_position(params, field, kTurnedBefore);
    KnobTurn turn;
    (row.knob == Knob::azimuth ? turn.az_arcmin : turn.alt_arcmin) = -row.error_arcmin;
    params.mount.knobs.push_back({turn, kTurnedBefore});
    const Position after = drift_position(params, field, kTurnedBefore);

    const double minutes = kTurnedBefore * params.interval_s / 60;
    const KnobSight sight{row.lat_deg, row.ha_hours + minutes / 60 * 1.0027379, row.dec_deg,
                          params.mount.scale_arcsec_per_px, row.orientation};
    const ScreenOffset predicted = knob_target_move(row.knob, row.error_arcmin, sight);
    const double dx = after.x - before.x, dy = after.y - before.y;
    const double miss = std::hypot(predicted.dx - dx, predicted.dy - dy);
    EXPECT_LT(miss, 0.1 * std::hypot(dx, dy) + 3)
        << "predicted " << predicted.dx << ", " << predicted.dy << "; moved " << dx << ", " << dy;
    EXPECT_GT(std::hypot(dx, dy), 20) << "the turn moves the star visibly";

    // The full correction took the error away: the star that drifted stops.
    constexpr long kLater = kTurnedBefore + 600;  // twenty minutes on
    const Position still = drift_position(params, field, kLater);
    params.mount.knobs.clear();
    const Position drifted = drift_position(params, field, kLater);
    EXPECT_LT(std::hypot(still.x - after.x, still.y - after.y),
              0.05 * std::hypot(drifted.x - before.x, drifted.y - before.y) + 0.3);
}

const Orientation kUp{}, kTurnedMirrored{120, true};

INSTANTIATE_TEST_SUITE_P(
    BothKnobsBothHemispheres, KnobTarget,
    ::testing::Values(
        KnobRow{"azimuth_meridian_equator", Knob::azimuth, 10, 50, 0, 0.2, kUp},
        KnobRow{"azimuth_north_dec_west", Knob::azimuth, -6, 50, 30, 1.5, kUp},
        KnobRow{"azimuth_south_dec_east", Knob::azimuth, 8, 45, -20, -1, kTurnedMirrored},
        KnobRow{"azimuth_southern_site", Knob::azimuth, 12, -35, -10, 0.5, kUp},
        KnobRow{"altitude_east", Knob::altitude, 10, 50, 0, -5, kUp},
        KnobRow{"altitude_west_high_dec", Knob::altitude, -7, 50, 40, 4.5, kTurnedMirrored},
        KnobRow{"altitude_southern_site_west", Knob::altitude, 9, -35, -15, 5, kUp},
        KnobRow{"altitude_southern_site_east", Knob::altitude, -5, -30, 10, -4, kTurnedMirrored}),
    [](const auto& row_info) { return std::string(row_info.param.name); });

// The running camera takes its turns from standard input: the turn shows from the next
// image, a line that is not a turn is named once on standard error and left.
TEST(SimulatedKnobs, TurnsFromStandardInputAndSkipsWhatIsNot) {
    trakora::testing::TempDir dir;
    const auto run =
        trakora::testing::run_cli({"simulate", dir.path().string(), "--knobs", "--az-offset", "10",
                                   "--count", "3", "--interval", "1", "--seeing", "0"},
                                  {.input = "alt two\naz -10\n"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("knob line ignored: expected arcminutes from -600 to 600 after alt, "
                           "not 'alt two'"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.rfind('\n')) << "one line: " << run.err;
    // The star jumps by the predicted move at the first image after the turn (the
    // camera's defaults: latitude 50, on the meridian, 1.5"/px, north up).
    const std::regex image_line(R"(guide star x (\S+) y (\S+)( +after knobs az -10)?)");
    std::vector<Position> stars;
    long turned_at = -1;
    for (auto it = std::sregex_iterator(run.out.begin(), run.out.end(), image_line);
         it != std::sregex_iterator(); ++it) {
        if ((*it)[3].matched) turned_at = static_cast<long>(stars.size());
        stars.push_back({std::stod((*it)[1]), std::stod((*it)[2])});
    }
    ASSERT_EQ(stars.size(), 3u) << run.out;
    ASSERT_GE(turned_at, 0) << run.out;
    const Position start = stars[0];
    const Position jumped = stars[static_cast<std::size_t>(std::max(turned_at, 1L))];
    const ScreenOffset predicted = knob_target_move(Knob::azimuth, 10, {50, 0, 0, 1.5, {}});
    if (turned_at == 0) return;  // the turn came before the first image: nothing to compare
    EXPECT_NEAR(jumped.x - start.x, predicted.dx, 3);
    EXPECT_NEAR(jumped.y - start.y, predicted.dy, 3);
}

// A slew centres another star: the knobs' turns so far stay in the axis, the star's
// motion starts again from the slew.
TEST(SimulatedKnobs, ASlewKeepsTheTurnsInTheAxis) {
    SkyMount mount;
    mount.setup.az_offset_arcmin = 10;
    mount.setup.alt_offset_arcmin = 3;
    mount.knobs = {{{-4, 0}, 2}, {{0, -3}, 5}};
    slew_mount(mount, -5, 10, 8, 1'700'000'000'000, 30);
    // Exact turns: the azimuth knob's leaves a hundredth of an arcminute in altitude.
    EXPECT_NEAR(mount.setup.az_offset_arcmin, 6, 0.05);
    EXPECT_NEAR(mount.setup.alt_offset_arcmin, 0, 0.05);
    EXPECT_EQ(mount.setup.ha_hours, -5);
    EXPECT_EQ(mount.setup.dec_deg, 10);
    EXPECT_TRUE(mount.knobs.empty());
    EXPECT_EQ(mount.epoch, 8);

    const KnobLine slew = parse_knob_line(" slew -5.5  12 ");
    ASSERT_TRUE(slew.slew);
    EXPECT_EQ(slew.slew->ha_hours, -5.5);
    EXPECT_EQ(slew.slew->dec_deg, 12);
    for (const char* refused : {"slew 13 0", "slew 2", "slew east 10", "go 1 2"})
        EXPECT_FALSE(parse_knob_line(refused).refusal.empty()) << refused;
}

}  // namespace
}  // namespace trakora::camera
