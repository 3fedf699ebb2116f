// SPDX-License-Identifier: MIT
// Start, Stop and object setting, every message path of a tick, and the tick that falls
// due while a message box is open.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/handlers.hpp"
#include "night.hpp"
#include "support/recording_view.hpp"

namespace trakora {
namespace {

using testing::RecordingView;
using testing::TempDir;
using Events = std::vector<std::string>;

class Commands : public ::testing::Test {
  protected:
    Commands() : view(dir.path().string()) {
        form1::Form_Load(s, view);
        view.take();
    }
    TempDir dir;
    State s;
    RecordingView view;
};

TEST_F(Commands, StartRefusesWithoutObjectAndStopAlwaysReleases) {
    form1::Command1_Click(s, view);
    EXPECT_EQ(view.take(), Events{"message objectを設定して下さい"});
    EXPECT_FALSE(view.timer_enabled);

    form1::Command2_Click(s, view);
    EXPECT_EQ(view.take(), (Events{"timer off 5000", "message objectが解除されました"}));
    form1::Command1_Click(s, view);
    EXPECT_EQ(view.take(), Events{"message objectを設定して下さい"});
}

TEST_F(Commands, ObjectSettingInAnEmptyFolder) {
    form1::Command3_Click(s, view);
    EXPECT_EQ(view.take(), Events{"message Fitsファイルがありません"});
    EXPECT_EQ(s.object_set, 0);
    EXPECT_EQ(s.object_pick_enabled, 1);
    form1::Command1_Click(s, view);
    EXPECT_EQ(view.take(), Events{"message objectを設定して下さい"});
}

TEST_F(Commands, ObjectSettingOnAnUnreadableImageStillSetsTheObject) {
    testing::write_file(dir.file("bad.FIT"),
                        testing::fits_header({testing::fits_card("DATE-OBS", "'2026-12-09'"),
                                              testing::fits_card("NAXIS1", "10")}));
    form1::Command3_Click(s, view);
    EXPECT_EQ(view.take(), (Events{"message bad.FITBITPIX error", "message File Open Error"}));
    EXPECT_EQ(s.object_set, 1);
    EXPECT_FALSE(view.object_window_open());
}

TEST_F(Commands, AnImageWithoutPixelsOpensNoWindow) {
    testing::write_file(
        dir.file("empty.FIT"),
        testing::make_fits(16, 0, 5, {}, {testing::fits_card("DATE-OBS", "'2026-12-09'")}));
    form1::Command3_Click(s, view);
    EXPECT_EQ(view.take(), Events{"message You do not open the data file"});
    EXPECT_EQ(s.object_set, 1);
}

TEST_F(Commands, TickMessages) {
    s.object_set = 1;
    s.object_x = 30;  // tracking starts near the star
    s.object_y = 20;
    form1::Command1_Click(s, view);
    view.take();

    form1::Timer1_Timer(s, view);
    EXPECT_EQ(view.take(), Events{"message Fitsファイルがありません"});

    testing::write_file(dir.file("a.FIT"), testing::star_image(30, 20, testing::night_date(0)));
    form1::Timer1_Timer(s, view);
    ASSERT_EQ(s.measurements[1], (std::array<Number, 2>{27, 17}));
    const auto after_good_tick = s.measurements;

    // The newest image is cut short and stays so: the camera may still be writing it, so
    // the first two ticks wait quietly; the third shows its own message, then the tick's.
    // Nothing is recorded.
    std::string cut = testing::star_image(30, 21, testing::night_date(1));
    cut.resize(cut.size() - 3000);
    testing::write_file(dir.file("b.FIT"), cut);
    view.take();
    form1::Timer1_Timer(s, view);
    form1::Timer1_Timer(s, view);
    EXPECT_EQ(view.take(), Events{});
    form1::Timer1_Timer(s, view);
    EXPECT_EQ(view.take(), (Events{"message b.FITdata size error", "message File Open Error"}));
    EXPECT_EQ(s.measurements, after_good_tick);
    EXPECT_TRUE(view.timer_enabled);

    // An image without pixels: the tick goes on and records the position it had.
    testing::write_file(
        dir.file("c.FIT"),
        testing::make_fits(16, 5, 0, {},
                           {testing::fits_card("DATE-OBS", "'" + testing::night_date(2) + "'")}));
    form1::Timer1_Timer(s, view);
    const Events events = view.take();
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[0], "plot_clear");
    EXPECT_EQ(events[1], "message You do not open the data file");
    EXPECT_FALSE(testing::slot_empty(s.measurements[2]));
}

TEST_F(Commands, ATickWhileAMessageBoxIsOpenIsDropped) {
    s.object_set = 1;
    form1::Command1_Click(s, view);
    int nested_ticks = 0;
    view.while_message_open = [&] {
        ++nested_ticks;
        form1::Timer1_Timer(s, view);  // the timer falls due while the box is open
    };
    view.take();
    form1::Timer1_Timer(s, view);  // empty folder: one message
    EXPECT_EQ(nested_ticks, 1);
    EXPECT_EQ(view.take(), Events{"message Fitsファイルがありません"});

    // Likewise while a command's message box is open.
    form1::Command2_Click(s, view);
    EXPECT_EQ(view.take(), (Events{"timer off 5000", "message objectが解除されました"}));
}

TEST_F(Commands, PickingNeedsObjectSettingAndAPlainLeftPress) {
    testing::write_file(dir.file("a.FIT"), testing::star_image(30, 20, testing::night_date(0)));
    s.object_pick_enabled = 0;
    form1::Command3_Click(s, view);  // enables picking
    view.take();
    for (auto [button, shift] : {std::pair{2, 0}, {4, 0}, {1, 1}, {1, 2}, {1, 4}, {3, 0}}) {
        form4::Picture1_MouseDown(s, view, static_cast<std::int16_t>(button),
                                  static_cast<std::int16_t>(shift), 30, 20);
    }
    EXPECT_TRUE(view.take().empty());
    EXPECT_TRUE(testing::slot_empty(s.measurements[1]));

    form4::Picture1_MouseDown(s, view, 1, 0, 30.5f, 19.49f);  // rounds to (31, 19)
    form4::Picture1_MouseDown(s, view, 1, 0, 10, 40);         // nothing bright near: (0, 0)
    EXPECT_EQ(view.take(), (Events{"object_line 0,17,64,17 white", "object_line 27,0,27,48 white",
                                   "object_line 0,0,64,0 white", "object_line 0,0,0,48 white"}));
    EXPECT_EQ(s.measurements[1], (std::array<Number, 2>{0, 0}));
    EXPECT_EQ(s.reference_x, 0);
}

TEST_F(Commands, UnloadClosesTheObjectWindow) {
    testing::write_file(dir.file("a.FIT"), testing::star_image(30, 20, testing::night_date(0)));
    form1::Command3_Click(s, view);
    ASSERT_TRUE(view.object_window_open());
    form1::Form_Unload(s, view);
    EXPECT_FALSE(view.object_window_open());
}

}  // namespace
}  // namespace trakora
