// SPDX-License-Identifier: MIT
// The main window's load step, the folder lists, the interval and the count box.
#include <gtest/gtest.h>

#include "core/handlers.hpp"
#include "support/recording_view.hpp"

namespace trakora {
namespace {

using testing::RecordingView;
using Events = std::vector<std::string>;

TEST(FormLoad, GivesTheStartingValues) {
    State s;
    s.max_count = 7;
    s.measurements[4] = {1, 2};
    RecordingView view("/data/night1");
    form1::Form_Load(s, view);
    EXPECT_EQ(view.take(), Events{"text Text1 /data/night1"});
    EXPECT_EQ(s.object_set, 0);
    EXPECT_EQ(s.object_pick_enabled, 0);
    EXPECT_EQ(s.crosshair_scale, 1);
    EXPECT_EQ(s.max_count, 50);
    EXPECT_TRUE(s.fits_file_name.empty());
    for (const auto& slot : s.measurements) EXPECT_EQ(slot, (std::array<Number, 2>{-999, -999}));
    EXPECT_FALSE(view.timer_enabled());
    EXPECT_EQ(view.timer_interval(), 5000);
}

TEST(FolderLists, DriveChangeMovesTheFolderListAndSetsText1) {
    State s;
    RecordingView view("/data/night1");
    view.select_drive("/media/usb");
    form1::Drive1_Change(s, view);
    // The folder changed, so Dir1_Change ran, then the drive handler sets Text1 too.
    EXPECT_EQ(view.take(), (Events{"text Text1 /media/usb", "text Text1 /media/usb"}));
    form1::Drive1_Change(s, view);
    EXPECT_EQ(view.take(), (Events{"text Text1 /media/usb"}));
    view.set_folder_list_path("/media/usb/night2");
    form1::Dir1_Change(s, view);
    EXPECT_EQ(view.take(), (Events{"text Text1 /media/usb/night2"}));
}

struct IntervalCase {
    const char* name;
    std::vector<const char*> keystrokes;  // successive texts of Text2
    int interval;
};

class Interval : public ::testing::TestWithParam<IntervalCase> {};

TEST_P(Interval, FollowsText2) {
    const IntervalCase& c = GetParam();
    State s;
    RecordingView view;
    for (const char* text : c.keystrokes) {
        view.type_text(TextField::Interval, text);
        form1::Text2_Change(s, view);
    }
    EXPECT_EQ(view.timer_interval(), c.interval) << c.name;
    EXPECT_FALSE(view.timer_enabled()) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Text2, Interval,
                         ::testing::Values(IntervalCase{"one_then_ten", {"", "1", "10"}, 10000},
                                           IntervalCase{
                                               "sixty_five_is_too_long", {"", "6", "65"}, 6000},
                                           IntervalCase{"empty_keeps", {""}, 5000},
                                           IntervalCase{"zero_keeps", {"0"}, 5000},
                                           IntervalCase{"letters_keep", {"abc"}, 5000},
                                           IntervalCase{"negative_keeps", {"-3"}, 5000},
                                           IntervalCase{"half_to_even_down", {"0.0025"}, 2},
                                           IntervalCase{"half_to_even_up", {"0.0035"}, 4},
                                           IntervalCase{"rounds_to_zero", {"0.0004"}, 0},
                                           IntervalCase{"leading_blank", {" 7"}, 7000},
                                           IntervalCase{"trailing_letter", {"7a"}, 7000},
                                           IntervalCase{"too_large_for_a_double", {"1E999"}, 5000},
                                           IntervalCase{"just_below_limit", {"64.9994"}, 64999}),
                         [](const auto& row) { return std::string(row.param.name); });

struct CountCase {
    const char* name;
    const char* text;
    Events events;
    double max_count;
};

class Count : public ::testing::TestWithParam<CountCase> {};

TEST_P(Count, EnterAppliesText3) {
    const CountCase& c = GetParam();
    State s;
    RecordingView view;
    form1::Form_Load(s, view);
    view.take();
    view.type_text(TextField::Count, c.text);
    std::int16_t other = 'a';
    form1::Text3_KeyPress(s, view, other);  // any other key only types
    EXPECT_TRUE(view.take().empty());
    EXPECT_EQ(s.max_count, 50);
    std::int16_t enter = 13;
    form1::Text3_KeyPress(s, view, enter);
    EXPECT_EQ(enter, 13);
    EXPECT_EQ(view.take(), c.events) << c.name;
    EXPECT_EQ(s.max_count, c.max_count) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Text3, Count,
    ::testing::Values(
        CountCase{"fifty", "50", {"message 最大測定数 50"}, 50},
        CountCase{"three_hundred", "300", {"message 最大測定数 300"}, 300},
        CountCase{"above_limit", "301", {"message 300以下にして下さい", "text Text3 300"}, 300},
        CountCase{"too_large_for_a_double",
                  "1E999",
                  {"message 300以下にして下さい", "text Text3 300"},
                  300},
        CountCase{"zero", "0", {"message 1以上にして下さい", "text Text3 1"}, 1},
        CountCase{"negative", "-4", {"message 1以上にして下さい", "text Text3 1"}, 1},
        CountCase{"empty", "", {"message 1以上にして下さい", "text Text3 1"}, 1},
        CountCase{"half_rounds_to_zero", "0.5", {"message 1以上にして下さい", "text Text3 1"}, 1},
        CountCase{"fraction_rounded", "12.7", {"text Text3 13", "message 最大測定数 13"}, 13},
        CountCase{"half_to_even", "12.5", {"text Text3 12", "message 最大測定数 12"}, 12},
        CountCase{"whole_with_point", "50.0", {"message 最大測定数 50"}, 50},
        CountCase{"one_and_a_half", "1.5", {"text Text3 2", "message 最大測定数 2"}, 2},
        CountCase{"blanks_inside", "1 2", {"message 最大測定数 12"}, 12}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace trakora
