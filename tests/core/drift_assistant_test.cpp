// SPDX-License-Identifier: MIT
// The drift assistant through the handlers: which samples a session holds, where its
// segments start (on request, on a pier flip), when it starts anew, and which value of a
// geometry input wins.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "core/assistant_handlers.hpp"
#include "core/handlers.hpp"
#include "night.hpp"
#include "support/recording_view.hpp"

namespace trakora {
namespace {

using testing::fits_card;

// Counts what the assistant showed, besides what the recording view keeps.
class AssistantView : public testing::RecordingView {
  public:
    using RecordingView::RecordingView;
    void show_drift_assistant(const DriftAssistant& a) override {
        ++shown;
        last_samples = a.samples.size();
    }
    int shown = 0;
    std::size_t last_samples = 0;
};

// A 64 x 48 image of a round star (sigma 1.5 px, peak 3000) on a background of 200 with
// a fixed ripple for noise, the star half a row lower each minute.
std::string star_night_image(int n, const std::string& pier_side) {
    const double cx = 31.3, cy = 22.6 + 0.5 * n;
    std::vector<double> samples;
    for (int y = 0; y < testing::kNightHeight; ++y)
        for (int x = 0; x < testing::kNightWidth; ++x) {
            const double r2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            samples.push_back(200 + 3000 * std::exp(-r2 / 4.5) + ((x * 7 + y * 13) % 11) - 5);
        }
    std::vector<std::string> cards = {fits_card("BZERO", "32768"),
                                      fits_card("DATE-OBS", "'" + testing::night_date(n) + "'"),
                                      fits_card("XPIXSZ", "3.76"), fits_card("FOCALLEN", "646.3")};
    if (!pier_side.empty()) cards.push_back(fits_card("PIERSIDE", "'" + pier_side + "'"));
    return testing::make_fits(16, testing::kNightWidth, testing::kNightHeight, samples, cards);
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
                start_drift_segment(s, view);
            } else if (step == "stop") {
                form1::Command2_Click(s, view);
            } else {
                FAIL() << "unknown step " << step;
            }
        }
    }

    void arrive(const std::string& pier_side) {
        char name[32];
        std::snprintf(name, sizeof name, "d%04d.FIT", images);
        testing::write_file(dir.file(name), star_night_image(images, pier_side));
        ++images;
    }

    std::vector<std::size_t> segments_of_samples() const {
        std::vector<std::size_t> out;
        for (const DriftAssistantSample& sample : s.assistant.samples)
            out.push_back(sample.segment);
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
    for (const DriftAssistantSample& sample : s.assistant.samples) slots.push_back(sample.slot);
    EXPECT_EQ(slots, row.slots);
    EXPECT_EQ(view.last_samples, s.assistant.samples.size());
    std::size_t first = 0;
    for (std::size_t k = 0; k < s.assistant.segments.size(); ++k) {
        EXPECT_EQ(s.assistant.segments[k].first, first);
        EXPECT_EQ(s.assistant.segments[k].summary.images, s.assistant.segments[k].count);
        first += s.assistant.segments[k].count;
    }
    EXPECT_EQ(first, s.assistant.samples.size());
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
        SessionRow{"a_new_pick_starts_a_session",
                   {"object", "pick", "tick", "segment", "tick", "object", "pick", "tick"},
                   {0, 0},
                   {1, 4}},
        SessionRow{"stop_keeps_the_session_until_the_next_image",
                   {"object", "pick", "tick", "tick", "stop"},
                   {0, 0, 0},
                   {1, 2, 3}},
        SessionRow{"after_stop_the_next_image_starts_anew",
                   {"object", "pick", "tick", "segment", "stop", "object", "tick", "tick"},
                   {0, 0},
                   {1, 2}}));

TEST_F(DriftAssistantRun, MeasuresTheStarOnTheClock) {
    run({"object", "pick", "tick", "tick", "tick", "tick"});
    const DriftAssistant& a = s.assistant;
    ASSERT_EQ(a.samples.size(), 5u);
    for (std::size_t k = 0; k < a.samples.size(); ++k) {
        const DriftAssistantSample& sample = a.samples[k];
        EXPECT_EQ(sample.star.flags, 0u) << k;
        EXPECT_DOUBLE_EQ(sample.minutes, static_cast<double>(k));
        EXPECT_NEAR(sample.star.y, 22.6 + 0.5 * static_cast<double>(k), 0.05);
        EXPECT_EQ(sample.time_source, TimeSource::date_obs);
        EXPECT_EQ(sample.date_obs, testing::night_date(static_cast<int>(k)));
    }
    // The series and its label are the specified ones; the sample repeats them.
    EXPECT_EQ(a.samples[3].y, s.measurements[4][1]);
    EXPECT_EQ(a.samples.back().label, view.label());
    ASSERT_TRUE(a.summary.rate_y_px_per_min);
    EXPECT_NEAR(*a.summary.rate_y_px_per_min, 0.5, 0.02);
    // Rows downward with north up: the star moves south at 0.5 px x 1.2"/px a minute.
    ASSERT_TRUE(a.summary.north_arcsec_per_min);
    EXPECT_NEAR(*a.summary.north_arcsec_per_min, -0.6, 0.03);
}

TEST_F(DriftAssistantRun, TypedValuesOverrideTheHeaderUntilCleared) {
    run({"object", "pick", "tick", "tick"});
    const auto scale = [&] { return drift_input_value(s.assistant, DriftInput::scale); };
    EXPECT_EQ(scale().source, InputSource::header);
    EXPECT_NEAR(*scale().value, 206.265 * 3.76 / 646.3, 1e-9);
    EXPECT_EQ(drift_input_value(s.assistant, DriftInput::ha).source, InputSource::none);

    const int shown = view.shown;
    set_drift_input(s, view, DriftInput::scale, 2.0);
    EXPECT_EQ(view.shown, shown + 1);
    EXPECT_EQ(scale().source, InputSource::typed);
    EXPECT_EQ(s.assistant.summary.scale_arcsec_per_px, 2.0);
    run({"tick"});  // a typed value outlives new images, segments and sessions
    run({"object", "pick", "tick"});
    EXPECT_EQ(s.assistant.summary.scale_arcsec_per_px, 2.0);

    set_drift_input(s, view, DriftInput::ha, -0.5);
    EXPECT_EQ(s.assistant.summary.ha_hours, -0.5);
    EXPECT_TRUE(s.assistant.summary.error_arcmin);

    clear_drift_input(s, view, DriftInput::scale);
    EXPECT_EQ(scale().source, InputSource::header);
    EXPECT_NEAR(*s.assistant.summary.scale_arcsec_per_px, 206.265 * 3.76 / 646.3, 1e-9);

    // North down turns the same rows into a northward drift.
    set_drift_orientation(s, view, {180, false});
    ASSERT_TRUE(s.assistant.summary.north_arcsec_per_min);
    EXPECT_GT(*s.assistant.summary.north_arcsec_per_min, 0);
}

}  // namespace
}  // namespace trakora
