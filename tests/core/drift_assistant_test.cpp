// SPDX-License-Identifier: MIT
// The drift assistant through the handlers: which samples a session holds, where its
// segments start (on request, on a pier flip), when it starts anew, and which value of a
// geometry input wins.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/handlers.hpp"
#include "core/measured_image.hpp"
#include "night.hpp"
#include "session/assistant_handlers.hpp"
#include "session/drift_adjust.hpp"
#include "support/recording_view.hpp"

namespace trakora {
namespace {

using testing::fits_card;

// Keeps how many images the assistant showed last, besides what the recording view keeps.
class AssistantView : public testing::RecordingView {
  public:
    using RecordingView::RecordingView;
    void show_drift_assistant(const DriftAssistant& a) override { last_samples = a.images.size(); }
    std::size_t last_samples = 0;
};

// A 64 x 48 image of a round star (sigma 1.5 px, peak 3000) on a background of 200 with
// a fixed ripple for noise, the star half a row lower each minute.
// With `wide`, a 700 x 700 one with the star at that place.
std::string star_night_image(int n, const std::string& pier_side,
                             std::optional<Position> wide = std::nullopt) {
    const double cx = wide ? wide->x : 31.3, cy = wide ? wide->y : 22.6 + 0.5 * n;
    const int width = wide ? 700 : testing::kNightWidth,
              height = wide ? 700 : testing::kNightHeight;
    std::vector<double> samples;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double r2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            samples.push_back(200 + 3000 * std::exp(-r2 / 4.5) + ((x * 7 + y * 13) % 11) - 5);
        }
    std::vector<std::string> cards = {fits_card("BZERO", "32768"),
                                      fits_card("DATE-OBS", "'" + testing::night_date(n) + "'"),
                                      fits_card("XPIXSZ", "3.76"), fits_card("FOCALLEN", "646.3")};
    if (!pier_side.empty()) cards.push_back(fits_card("PIERSIDE", "'" + pier_side + "'"));
    return testing::make_fits(16, width, height, samples, cards);
}

class DriftAssistantRun : public ::testing::Test {
  protected:
    DriftAssistantRun() : view(dir.path().string()) { form1::Form_Load(s, view); }

    // Steps: "object" (object setting), "pick", "tick" (a new image arrives, then the
    // tick), "tick:WEST" (the same with that PIERSIDE), "again" (a tick, no new image),
    // "segment" (新しい区間), "stop".
    void run(const std::vector<std::string>& steps) {
        for (const std::string& step : steps) {
            if (step == "object") {
                arrive("");
                form1::Command3_Click(s, view);
            } else if (step == "pick") {
                form4::Picture1_MouseDown(s, view, 1, 0, 31, 23);
            } else if (step.rfind("tick", 0) == 0) {
                arrive(step.size() > 5 ? step.substr(5) : "");
                form1::Timer1_Timer(s, view);
            } else if (step == "again") {
                form1::Timer1_Timer(s, view);
            } else if (step == "segment") {
                start_drift_segment(s.assistant);
                view.show_drift_assistant(s.assistant);
            } else if (step == "stop") {
                form1::Command2_Click(s, view);
            } else {
                FAIL() << "unknown step " << step;
            }
        }
    }

    void arrive(const std::string& pier_side, std::optional<Position> wide = std::nullopt) {
        char name[32];
        std::snprintf(name, sizeof name, "d%04d.FIT", images);
        testing::write_file(dir.file(name), star_night_image(images, pier_side, wide));
        ++images;
    }

    std::vector<std::size_t> segments_of_samples() const {
        std::vector<std::size_t> out;
        for (const SessionImage& image : s.assistant.images) out.push_back(image.segment);
        return out;
    }

    testing::TempDir dir;
    State s;
    AssistantView view;
    int images = 0;
};

struct SessionRow {
    const char* name;
    std::vector<std::string> steps;
    std::vector<std::size_t> segments;  // of each sample of the session in the end
    std::vector<int> slots;
    friend void PrintTo(const SessionRow& r, std::ostream* os) { *os << r.name; }
};

class Sessions : public DriftAssistantRun, public ::testing::WithParamInterface<SessionRow> {};

TEST_P(Sessions, HoldTheirSamplesAndSegments) {
    const SessionRow& row = GetParam();
    run(row.steps);
    EXPECT_EQ(segments_of_samples(), row.segments);
    std::vector<int> slots;
    for (const SessionImage& image : s.assistant.images) slots.push_back(image.measurement.slot);
    EXPECT_EQ(slots, row.slots);
    EXPECT_EQ(view.last_samples, s.assistant.images.size());
    std::size_t first = 0;
    for (std::size_t k = 0; k < s.assistant.segments.size(); ++k) {
        EXPECT_EQ(s.assistant.segments[k].first, first);
        EXPECT_EQ(s.assistant.segments[k].summary.images, s.assistant.segments[k].count);
        first += s.assistant.segments[k].count;
    }
    EXPECT_EQ(first, s.assistant.images.size());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Sessions,
    ::testing::Values(
        SessionRow{"pick_then_ticks",
                   {"object", "pick", "tick", "tick", "tick"},
                   {0, 0, 0, 0},
                   {1, 2, 3, 4}},
        SessionRow{"no_pick_starts_at_the_first_tick", {"object", "tick", "tick"}, {0, 0}, {1, 2}},
        SessionRow{"the_same_image_again_is_no_sample",
                   {"object", "pick", "tick", "again", "again", "tick"},
                   {0, 0, 0},
                   {1, 2, 5}},
        SessionRow{"a_new_segment_at_the_next_image",
                   {"object", "pick", "tick", "segment", "tick", "tick"},
                   {0, 0, 1, 1},
                   {1, 2, 3, 4}},
        SessionRow{"a_pier_flip_starts_a_segment",
                   {"object", "pick", "tick:EAST", "tick:EAST", "tick:WEST", "tick"},
                   {0, 0, 0, 1, 1},
                   {1, 2, 3, 4, 5}},
        SessionRow{"a_pier_flip_seen_past_images_without_a_pier_side",
                   {"object", "pick", "tick:WEST", "tick", "tick:WEST", "tick:EAST", "tick"},
                   {0, 0, 0, 0, 1, 1},
                   {1, 2, 3, 4, 5, 6}},
        SessionRow{"a_flip_and_back_makes_three_segments",
                   {"object", "pick", "tick:EAST", "tick:WEST", "tick:WEST", "tick:EAST"},
                   {0, 0, 1, 1, 2},
                   {1, 2, 3, 4, 5}},
        SessionRow{"a_new_pick_starts_a_segment_for_the_new_star",
                   {"object", "pick", "tick", "segment", "tick", "object", "pick", "tick"},
                   {0, 0, 1, 2, 2},
                   {1, 2, 3, 1, 4}},
        SessionRow{"a_pick_again_before_a_tick_corrects_the_pick",
                   {"object", "pick", "pick", "tick", "object", "pick", "pick", "tick"},
                   {0, 0, 1, 1},
                   {1, 2, 1, 3}},
        SessionRow{"stop_keeps_the_session_until_the_next_image",
                   {"object", "pick", "tick", "tick", "stop"},
                   {0, 0, 0},
                   {1, 2, 3}},
        SessionRow{"after_stop_the_next_image_starts_anew",
                   {"object", "pick", "tick", "segment", "stop", "object", "tick", "tick"},
                   {0, 0},
                   {1, 2}}));

// The meridian flip turns the camera half round: the orientation given on one pier side
// holds on the other turned by 180 degrees, the mirror as it was.
TEST_F(DriftAssistantRun, TheOrientationTurnsHalfRoundAcrossAPierFlip) {
    run({"object", "pick", "tick:EAST"});
    set_drift_orientation(s.assistant, {30, true});
    run({"tick:EAST", "tick:WEST", "tick:WEST"});
    const DriftAssistant& a = s.assistant;
    ASSERT_EQ(a.segments.size(), 2u);
    EXPECT_EQ(a.segments[0].geometry.orientation.north_deg, 30);
    EXPECT_EQ(a.segments[1].geometry.orientation.north_deg, 210);
    EXPECT_TRUE(a.segments[1].geometry.orientation.mirror);
    EXPECT_EQ(a.segments[1].geometry.notes.back().code, NoteCode::angle_turned_by_flip);
}

TEST_F(DriftAssistantRun, MeasuresTheStarOnTheClock) {
    run({"object", "pick", "tick", "tick", "tick", "tick"});
    const DriftAssistant& a = s.assistant;
    ASSERT_EQ(a.images.size(), 5u);
    for (std::size_t k = 0; k < a.images.size(); ++k) {
        const ImageMeasurement& m = a.images[k].measurement;
        ASSERT_TRUE(m.star && m.time) << k;
        EXPECT_EQ(m.star->flags, 0u) << k;
        EXPECT_DOUBLE_EQ(a.images[k].minutes, static_cast<double>(k));
        EXPECT_NEAR(m.star->y, 22.6 + 0.5 * static_cast<double>(k), 0.05);
        EXPECT_EQ(m.time->source, TimeSource::date_obs);
        EXPECT_EQ(m.date_obs, testing::night_date(static_cast<int>(k)));
    }
    // The series and its label are the specified ones; the measurement is what they got.
    EXPECT_EQ(a.images[3].measurement.found.y, s.measurements[4][1]);
    EXPECT_EQ(a.images.back().measurement.row_change, view.label());
    const DriftSummary& now = drift_summary_now(a);
    ASSERT_TRUE(now.rate_y_px_per_min);
    EXPECT_NEAR(*now.rate_y_px_per_min, 0.5, 0.02);
    // Rows downward with north up: the star moves south at 0.5 px x 1.2"/px a minute.
    ASSERT_TRUE(now.north_arcsec_per_min);
    EXPECT_NEAR(*now.north_arcsec_per_min, -0.6, 0.03);
}

TEST_F(DriftAssistantRun, TypedValuesOverrideTheHeaderUntilCleared) {
    run({"object", "pick", "tick", "tick"});
    const auto scale = [&] { return drift_input_value(s.assistant, DriftInput::scale); };
    EXPECT_EQ(scale().source, InputSource::header);
    EXPECT_NEAR(*scale().value, 206.265 * 3.76 / 646.3, 1e-9);
    EXPECT_EQ(drift_input_value(s.assistant, DriftInput::ha).source, InputSource::none);

    EXPECT_FALSE(set_drift_input(s.assistant, DriftInput::scale, std::nan("")));
    EXPECT_EQ(scale().source, InputSource::header);
    EXPECT_TRUE(set_drift_input(s.assistant, DriftInput::scale, 2.0));
    EXPECT_EQ(scale().source, InputSource::typed);
    EXPECT_EQ(drift_summary_now(s.assistant).scale_arcsec_per_px, 2.0);
    run({"tick"});  // the setup's typed values outlive new images, segments and sessions
    run({"object", "pick", "tick"});
    EXPECT_EQ(drift_summary_now(s.assistant).scale_arcsec_per_px, 2.0);

    set_drift_input(s.assistant, DriftInput::ha, -0.5);
    EXPECT_EQ(drift_summary_now(s.assistant).ha_hours, -0.5);
    EXPECT_TRUE(drift_summary_now(s.assistant).error_arcmin);

    clear_drift_input(s.assistant, DriftInput::scale);
    EXPECT_EQ(scale().source, InputSource::header);
    EXPECT_NEAR(*drift_summary_now(s.assistant).scale_arcsec_per_px, 206.265 * 3.76 / 646.3, 1e-9);

    // North down turns the same rows into a northward drift.
    set_drift_orientation(s.assistant, {180, false});
    ASSERT_TRUE(drift_summary_now(s.assistant).north_arcsec_per_min);
    EXPECT_GT(*drift_summary_now(s.assistant).north_arcsec_per_min, 0);
}

// A typed hour angle is the star's at its segment's first image; the next segment on the
// same star starts at its own, a new star at none.
TEST_F(DriftAssistantRun, EachSegmentHasTheHourAngleOfItsFirstImage) {
    run({"object", "pick", "tick"});
    set_drift_input(s.assistant, DriftInput::ha, -0.5);
    run({"tick", "segment", "tick", "tick"});
    ASSERT_EQ(s.assistant.segments.size(), 2u);
    EXPECT_EQ(s.assistant.segments[0].summary.ha_hours, -0.5);
    // Three images a minute apart: three sidereal minutes later.
    const std::optional<double> second = s.assistant.segments[1].geometry.ha_hours;
    ASSERT_TRUE(second);
    EXPECT_NEAR(*second, -0.5 + 3 * 1.00273790935 / 60, 1e-9);
    EXPECT_EQ(drift_input_value(s.assistant, DriftInput::ha).value, second);

    run({"object", "pick", "tick"});
    EXPECT_EQ(s.assistant.segments.back().reason, SegmentReason::new_star);
    EXPECT_EQ(drift_input_value(s.assistant, DriftInput::ha).source, InputSource::none);
}

// Turning a knob: the target is frozen at the star's last place plus the move, the star
// is followed over the whole of it (a few hundred pixels, in steps or at once) while
// none of those images goes into a fit, and the next image after starts a segment of
// its own. Steps: the star's place along the move, as a part of it, one image each.
struct TurnRow {
    const char* name;
    std::vector<double> parts;
    bool reached;
    friend void PrintTo(const TurnRow& r, std::ostream* os) { *os << r.name; }
};

class KnobTurns : public DriftAssistantRun, public ::testing::WithParamInterface<TurnRow> {
  protected:
    // Ten minutes of a star drifting south a pixel a minute at 1.2"/px on the meridian:
    // about 4.6' of azimuth error, a move of some 250 px.
    void measure_a_drift() {
        arrive("", Position{350, 350});
        form1::Command3_Click(s, view);
        form4::Picture1_MouseDown(s, view, 1, 0, 350, 350);
        for (const auto& [which, value] : {std::pair{DriftInput::scale, 1.2},
                                           {DriftInput::lat, 50.0},
                                           {DriftInput::dec, 0.0},
                                           {DriftInput::ha, 0.0}})
            set_drift_input(s.assistant, which, value);
        for (int k = 1; k <= 10; ++k) tick_at({350, 350.0 + k});
    }
    void tick_at(Position star) {
        arrive("", star);
        form1::Timer1_Timer(s, view);
    }
};

TEST_P(KnobTurns, FollowTheStarToItsTargetOutsideEveryFit) {
    EXPECT_FALSE(start_knob_adjust(s.assistant, measured_plane(s), Knob::azimuth))
        << "no session, no target";
    measure_a_drift();
    EXPECT_FALSE(start_knob_adjust(s.assistant, measured_plane(s), Knob::altitude))
        << "only azimuth is known";
    const std::optional<KnobAdjust> adjust = drift_adjust_now(s.assistant);
    ASSERT_TRUE(adjust);
    EXPECT_EQ(adjust->knob, Knob::azimuth);
    const double move = std::hypot(adjust->dx_px, adjust->dy_px);
    EXPECT_GT(move, 200);
    EXPECT_LT(move, 300);
    ASSERT_TRUE(start_knob_adjust(s.assistant, measured_plane(s), Knob::azimuth));
    const KnobAdjusting& k = *s.assistant.adjusting;
    EXPECT_NEAR(k.anchor.y, 360, 0.05);
    EXPECT_NEAR(k.target.x - k.anchor.x, adjust->dx_px, 1e-9);
    const std::size_t taken = s.assistant.images.size();
    const DriftSummary before = drift_summary_now(s.assistant);

    const Position anchor = k.anchor, target = k.target;
    for (const double part : GetParam().parts) {
        const Position at{anchor.x + part * (target.x - anchor.x),
                          anchor.y + part * (target.y - anchor.y)};
        tick_at(at);
        ASSERT_FALSE(k.lost) << part;
        EXPECT_NEAR(k.star.x, at.x, 0.1) << part;
        EXPECT_NEAR(k.star.y, at.y, 0.1) << part;
        EXPECT_NEAR(k.to_go_arcsec, std::hypot(target.x - at.x, target.y - at.y) * 1.2, 0.2);
    }
    EXPECT_EQ(k.reached, GetParam().reached);
    EXPECT_GT(k.cutout.width, 0);
    EXPECT_EQ(s.assistant.images.size(), taken);
    EXPECT_EQ(drift_summary_now(s.assistant).north_arcsec_per_min, before.north_arcsec_per_min);

    const Position left_at = k.star;
    EXPECT_TRUE(end_knob_adjust(s.assistant));
    EXPECT_FALSE(s.assistant.adjusting);
    EXPECT_FALSE(end_knob_adjust(s.assistant));
    tick_at(left_at);
    EXPECT_EQ(s.assistant.images.size(), taken + 1);
    EXPECT_EQ(s.assistant.segments.back().reason, SegmentReason::knob_turned);
    // Where the turn left it, even when the object window's search is elsewhere.
    EXPECT_NEAR(s.assistant.images.back().measurement.star->x, left_at.x, 0.1);
    EXPECT_NEAR(s.assistant.images.back().measurement.star->y, left_at.y, 0.1);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, KnobTurns,
    ::testing::Values(TurnRow{"turned_in_steps", {0.1, 0.25, 0.4, 0.55, 0.7, 0.85, 1.0}, true},
                      TurnRow{"turned_at_once", {1.0}, true},
                      TurnRow{"turned_too_far_and_back", {0.5, 1.2, 1.005}, true},
                      TurnRow{"half_way", {0.2, 0.5}, false}));

struct WayRow {
    double dx, dy;
    ScreenWay way;
};

TEST(ScreenWays, AreTheEightSectorsAsTheImageIsShown) {
    const std::vector<WayRow> rows = {{0, -5, ScreenWay::up},    {4, -4, ScreenWay::up_right},
                                      {5, 1, ScreenWay::right},  {3, 3, ScreenWay::down_right},
                                      {0.5, 9, ScreenWay::down}, {-3, 3, ScreenWay::down_left},
                                      {-5, -1, ScreenWay::left}, {-4, -4, ScreenWay::up_left},
                                      {-1, -9, ScreenWay::up},   {0, 0, ScreenWay::up}};
    for (const WayRow& r : rows) EXPECT_EQ(screen_way(r.dx, r.dy), r.way) << r.dx << ", " << r.dy;
}

}  // namespace
}  // namespace trakora
