// SPDX-License-Identifier: MIT
// A newest image that the camera is still writing: a tick waits for it without a word,
// and only a file that stays short, unchanged, over three ticks in a row is reported,
// once. Object setting reports it at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/handlers.hpp"
#include "night.hpp"
#include "support/recording_view.hpp"

namespace trakora {
namespace {

using testing::fits_card;
using testing::fits_header;
using testing::RecordingView;
using testing::TempDir;
using Events = std::vector<std::string>;

constexpr std::size_t kWhole = std::string::npos;
const Events kNone;
const Events kReported = {"message b.FITdata size error", "message File Open Error"};

// The newest file as one tick (or one object setting) finds it, and what the user sees.
struct Step {
    const char* file;  // b.FIT, c.FIT (newer), h.FIT or n.FIT (newest, DATE-OBS first)
    std::size_t keep;  // its first `keep` bytes, kWhole for all of it
    Events messages;
    bool records;  // a position is recorded
    bool object_setting = false;
};

struct Row {
    const char* label;
    std::vector<Step> steps;
};

// The whole of each file. h.FIT carries DATE-OBS as its second card, so a header cut
// after two cards is already the newest image, but has no BITPIX yet. n.FIT is one block
// of cards without BITPIX and without END.
std::string whole_file(const std::string& name) {
    if (name == "b.FIT") return testing::star_image(31, 21, testing::night_date(1));
    if (name == "c.FIT") return testing::star_image(32, 22, testing::night_date(2));
    if (name == "n.FIT") {
        std::string cards =
            fits_card("SIMPLE", "T") + fits_card("DATE-OBS", "'" + testing::night_date(4) + "'");
        while (cards.size() < testing::kBlockBytes) cards += fits_card("COMMENT", "", "more");
        return cards;
    }
    std::string bytes = fits_header({fits_card("SIMPLE", "T"),
                                     fits_card("DATE-OBS", "'" + testing::night_date(3) + "'"),
                                     fits_card("BITPIX", "8"), fits_card("NAXIS", "2"),
                                     fits_card("NAXIS1", "4"), fits_card("NAXIS2", "4")});
    return testing::pad_to_block(bytes + std::string(16, '\x01'));
}

class ShortFile : public ::testing::TestWithParam<Row> {
  protected:
    ShortFile() : view(dir.path().string()) {
        form1::Form_Load(s, view);
        testing::write_file(dir.file("a.FIT"), testing::star_image(30, 20, testing::night_date(0)));
        form1::Command3_Click(s, view);
        form4::Picture1_MouseDown(s, view, 1, 0, 30, 20);
        form1::Command1_Click(s, view);
        view.take();
    }

    int filled() const {
        return static_cast<int>(
            std::count_if(s.measurements.begin(), s.measurements.end(),
                          [](const auto& m) { return !testing::slot_empty(m); }));
    }

    Events messages() {
        Events out;
        for (const std::string& e : view.take())
            if (e.rfind("message ", 0) == 0) out.push_back(e);
        return out;
    }

    TempDir dir;
    State s;
    RecordingView view;
};

TEST_P(ShortFile, WaitsQuietlyAndReportsOnlyAStuckFile) {
    int step_number = 0;
    for (const Step& step : GetParam().steps) {
        SCOPED_TRACE("step " + std::to_string(++step_number));
        testing::write_file(dir.file(step.file), whole_file(step.file).substr(0, step.keep));
        const auto before = s.measurements;
        const int filled_before = filled();
        if (step.object_setting)
            form1::Command3_Click(s, view);
        else
            form1::Timer1_Timer(s, view);
        EXPECT_EQ(messages(), step.messages);
        if (step.records) {
            EXPECT_EQ(filled(), filled_before + 1);
        } else {
            EXPECT_EQ(s.measurements, before);
        }
    }
    EXPECT_TRUE(view.timer_enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ShortFile,
    ::testing::Values(
        Row{"short_once_then_complete",
            {{"b.FIT", 5000, kNone, false}, {"b.FIT", kWhole, kNone, true}}},
        Row{"short_twice_then_complete",
            {{"b.FIT", 5000, kNone, false},
             {"b.FIT", 5000, kNone, false},
             {"b.FIT", kWhole, kNone, true}}},
        Row{"short_three_ticks_reported_once",
            {{"b.FIT", 5000, kNone, false},
             {"b.FIT", 5000, kNone, false},
             {"b.FIT", 5000, kReported, false},
             {"b.FIT", 5000, kNone, false},
             {"b.FIT", kWhole, kNone, true}}},
        Row{"growing_restarts_the_count",
            {{"b.FIT", 3000, kNone, false},
             {"b.FIT", 3000, kNone, false},
             {"b.FIT", 6000, kNone, false},
             {"b.FIT", 6000, kNone, false},
             {"b.FIT", 6000, kReported, false}}},
        Row{"another_file_restarts_the_count",
            {{"b.FIT", 5000, kNone, false},
             {"b.FIT", 5000, kNone, false},
             {"c.FIT", 5000, kNone, false},
             {"c.FIT", 5000, kNone, false},
             {"c.FIT", kWhole, kNone, true}}},
        Row{"a_measured_tick_restarts_the_count",
            {{"b.FIT", 5000, kNone, false},
             {"b.FIT", 5000, kNone, false},
             {"b.FIT", kWhole, kNone, true},
             {"b.FIT", 5000, kNone, false},
             {"b.FIT", 5000, kNone, false},
             {"b.FIT", 5000, kReported, false}}},
        Row{"header_without_end_yet",
            {{"h.FIT", 2 * 80 + 17, kNone, false},
             {"h.FIT", 4 * 80 + 17, kNone, false},
             {"h.FIT", kWhole, kNone, true}}},
        Row{"header_without_end_on_a_block_boundary_is_reported_at_once",
            {{"n.FIT", kWhole, {"message n.FITBITPIX error", "message File Open Error"}, false}}},
        Row{"empty_file_is_skipped", {{"b.FIT", 0, kNone, true}, {"b.FIT", kWhole, kNone, true}}},
        Row{"object_setting_reports_at_once",
            {{"b.FIT", 5000, kReported, false, true},
             {"b.FIT", 5000, kNone, false},
             {"b.FIT", kWhole, kNone, true}}}),
    [](const auto& row) { return std::string(row.param.label); });

}  // namespace
}  // namespace trakora
