// SPDX-License-Identifier: MIT
// A whole alignment through the simulated mount's knobs, driven by the assistant's own
// advice: each round measures a star near the meridian and one low in the east or west,
// reads the combined answer, and turns both knobs by what it says; the next round's
// segments start after the turn. From 15' and 10' both components fall under 1' (the
// mount's own axis, not the assistant's word for it) within three rounds.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "camera/simulated_image.hpp"
#include "fits/header_values.hpp"
#include "fits/observing_keywords.hpp"
#include "session/alignment_step.hpp"
#include "session/drift_assistant.hpp"
#include "session/where_to_point.hpp"

namespace trakora::camera {
namespace {

constexpr long long kStartMs = 1'800'000'000'000;  // 2027-01-15T08:00:00Z
constexpr double kSegmentMinutes = 12;
constexpr double kIntervalS = 30;

struct Star {
    double dec_deg, ha_hours;  // the hour angle as the segment starts
};

struct KnobLoopRow {
    const char* name;
    double lat_deg;
    Star meridian, low;
    double angle_deg;  // the camera's, typed
    friend void PrintTo(const KnobLoopRow& r, std::ostream* os) { *os << r.name; }
};

// One segment on `star` from `start_ms`, the mount carrying the knobs turned so far; its
// images go into the session, the first one starting a segment for `reason`.
void measure_segment(DriftAssistant& a, const KnobLoopRow& row, Star star, long long start_ms,
                     const std::vector<KnobTurn>& knobs, SegmentReason reason) {
    SimulateOptions o;
    o.width = o.height = 200;
    o.interval_s = kIntervalS;
    o.drift_y_per_min = 0;
    o.seeing = 0.6;
    o.az_offset_arcmin = 15;
    o.alt_offset_arcmin = 10;
    o.lat_deg = row.lat_deg;
    o.lon_deg = 11.5;
    o.dec_deg = star.dec_deg;
    o.ha_hours = star.ha_hours;
    o.scale_arcsec_per_px = 1.2;
    o.orientation.north_deg = row.angle_deg;
    o.pe_arcsec = 8;
    o.pe_period_min = 6;
    o.refraction = true;
    o.seed = static_cast<std::uint64_t>(start_ms / 1000);
    SkyParams params = sky_params(o);
    params.mount.ra_hours = pointing_ra_hours(params.mount, start_ms);
    for (const KnobTurn& turn : knobs) params.mount.knobs.push_back({turn, 0});
    const SkyField field = make_sky_field(params);
    const ImageFile first = simulated_image_file(o, params, field, 0, iso_time(start_ms));
    const std::string cards(first.bytes.begin(),
                            first.bytes.begin() + static_cast<long>(first.header_bytes));
    const ObservingKeywords keywords = read_observing_keywords(header_values(cards));

    const long images = static_cast<long>(kSegmentMinutes * 60 / kIntervalS) + 1;
    for (long k = 0; k < images; ++k) {
        const long long ms =
            start_ms + static_cast<long long>(static_cast<double>(k) * kIntervalS * 1000);
        ImageMeasurement m;
        m.file = "n" + std::to_string(ms) + ".fits";
        m.date_obs = iso_time(ms);
        m.keywords = keywords;
        m.time = ObservationTime{static_cast<double>(ms) / 1000, TimeSource::date_obs};
        const Position p = guide_star_position(params, field, k);
        m.found = {std::round(p.x), std::round(p.y)};
        m.star = StarMeasurement{.x = p.x, .y = p.y, .snr = 80, .hfd = 3};
        if (k == 0 && !a.segments.empty()) a.segment_requested = reason;
        add_drift_image(a, std::move(m));
    }
}

class KnobLoop : public ::testing::TestWithParam<KnobLoopRow> {};

TEST_P(KnobLoop, AlignsToUnderAnArcminuteInThreeRounds) {
    const KnobLoopRow& row = GetParam();
    DriftAssistant a;
    a.typed.orientation.north_deg = row.angle_deg;
    a.typed.angle_source = AngleSource::typed;
    a.typed.refraction = true;
    const MountSetup mount{.az_offset_arcmin = 15, .alt_offset_arcmin = 10, .lat_deg = row.lat_deg};
    const double cos_lat = std::cos(row.lat_deg * M_PI / 180);
    std::vector<KnobTurn> knobs;
    long long ms = kStartMs;
    AxisOffset truth = axis_offset(mount);
    int round = 0;
    // Each round's two stars stand where the row puts them; the clock runs on. Two rounds at least:
    // the second one's answer must come from its own segments, with the first one's kept as the
    // answer before the turn.
    std::optional<CombinedError> previous;
    for (; round < 3 &&
           (round < 2 || std::max(std::abs(truth.az_arcmin), std::abs(truth.alt_arcmin)) >= 1);
         ++round) {
        measure_segment(a, row, row.meridian, ms, knobs,
                        round == 0 ? SegmentReason::start : SegmentReason::knob_turned);
        ms += static_cast<long long>((kSegmentMinutes + 3) * 60'000);
        // On to the altitude star, unless the azimuth star is still being measured (an
        // error near 1′ not yet surely on either side of it).
        EXPECT_EQ(where_to_point(a, {}, 0).next, alignment_step(a).action == StepAction::wait
                                                     ? NextPhase::azimuth
                                                     : NextPhase::altitude);
        measure_segment(a, row, row.low, ms, knobs, SegmentReason::new_star);
        ms += static_cast<long long>((kSegmentMinutes + 5) * 60'000);
        // Far off before the first turn; within a minute of arc, surely, after it.
        EXPECT_EQ(where_to_point(a, {}, 0).next,
                  round == 0 ? NextPhase::both_known : NextPhase::aligned);
        const std::optional<CombinedError> c = combined_now(a);
        ASSERT_TRUE(c) << "round " << round + 1;
        ASSERT_TRUE(c->azimuth_knob_arcmin);
        ASSERT_EQ(c->segments_used, (std::vector<std::size_t>{2u * round, 2u * round + 1}));
        const std::optional<CombinedError> before = combined_before_turn(a);
        ASSERT_EQ(before.has_value(), previous.has_value());
        if (before) {
            EXPECT_EQ(before->segments_used, previous->segments_used);
        }
        previous = c;
        // The advice is the base's turn about the vertical (A / cos lat) and about the
        // east-west axis (E); the simulator's knob is signed as the error it makes, on the
        // sky, so taking the error away is the advice's turn the other way.
        knobs.push_back({-*c->azimuth_knob_arcmin * cos_lat, -c->altitude_knob_arcmin});
        truth = axis_offset(mount, knobs);
        std::printf("%s round %d: said az %+.2f' alt %+.2f', now az %+.2f' alt %+.2f'\n", row.name,
                    round + 1, c->azimuth_arcmin, c->altitude_arcmin, truth.az_arcmin,
                    truth.alt_arcmin);
    }
    EXPECT_LT(std::abs(truth.az_arcmin), 1);
    EXPECT_LT(std::abs(truth.alt_arcmin), 1);
    EXPECT_LE(round, 3);
}

INSTANTIATE_TEST_SUITE_P(
    Nights, KnobLoop,
    ::testing::Values(KnobLoopRow{"north_meridian_then_east", 50, {10, -0.1}, {10, -4.2}, 37},
                      KnobLoopRow{"north_meridian_then_west", 45, {0, -0.1}, {20, 3.6}, 211},
                      KnobLoopRow{"south_meridian_then_east", -35, {-10, -0.1}, {-5, -4.0}, 300}),
    [](const auto& row_info) { return std::string(row_info.param.name); });

}  // namespace
}  // namespace trakora::camera
