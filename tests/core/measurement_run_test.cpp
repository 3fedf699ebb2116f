// SPDX-License-Identifier: MIT
// A whole measuring run through the handlers: object setting, pick, Start, ticks with
// new images arriving, scrolling, changing the count, Stop, and a run without a pick.
#include <gtest/gtest.h>

#include "core/handlers.hpp"
#include "night.hpp"
#include "support/recording_view.hpp"

namespace trakora {
namespace {

using testing::RecordingView;
using testing::TempDir;
using Events = std::vector<std::string>;

class MeasurementRun : public ::testing::Test {
  protected:
    MeasurementRun() : view(dir.path().string()) { form1::Form_Load(s, view); }

    // Image n of the night: the star starts at (30, 20) and drifts down one row a minute.
    void arrive(int n) {
        char name[32];
        std::snprintf(name, sizeof name, "m%04d.FIT", n);
        testing::write_file(dir.file(name),
                            testing::star_image(30, 20 + n, testing::night_date(n)));
    }

    void set_count(const std::string& text) {
        view.type_text(TextField::Count, text);
        std::int16_t enter = 13;
        form1::Text3_KeyPress(s, view, enter);
    }

    TempDir dir;
    State s;
    RecordingView view;
};

TEST_F(MeasurementRun, PickStartTickScrollAndStop) {
    const std::string folder = dir.path().string();
    EXPECT_EQ(view.take(), Events{"text Text1 " + folder});

    arrive(0);
    form1::Command3_Click(s, view);
    EXPECT_EQ(view.take(), Events{"object_window m0000.FIT 64x48"});
    EXPECT_EQ(s.object_set, 1);
    EXPECT_EQ(s.object_pick_enabled, 1);

    // A click two pixels beside the star snaps onto the first box that holds it.
    form4::Picture1_MouseDown(s, view, 1, 0, 32.2f, 21.6f);
    EXPECT_EQ(view.take(),
              (Events{"object_line 0,17,64,17 white", "object_line 27,0,27,48 white"}));
    EXPECT_EQ(s.measurements[1], (std::array<Number, 2>{27, 17}));
    EXPECT_EQ(s.reference_x, 27);
    EXPECT_EQ(s.reference_y, 17);

    form1::Command1_Click(s, view);
    EXPECT_EQ(view.take(), Events{"timer on 5000"});

    arrive(1);
    form1::Timer1_Timer(s, view);
    EXPECT_EQ(view.take(), (Events{
                               "plot_clear",
                               "object_window m0001.FIT 64x48",
                               "object_line 0,18,64,18 red",
                               "object_line 27,0,27,48 red",
                               "object_line 0,17,64,17 white",
                               "object_line 27,0,27,48 white",
                               "label 1",
                               "plot_scale 50x2",
                               "plot_line 0,1,50,1 green",
                               "plot_point 1,0 magenta",
                               "plot_point 2,1 magenta",
                           }));
    EXPECT_EQ(s.measurements[2], (std::array<Number, 2>{27, 18}));

    // No new image: the same one is measured again into the next slot.
    form1::Timer1_Timer(s, view);
    EXPECT_EQ(s.measurements[3], (std::array<Number, 2>{27, 18}));
    EXPECT_EQ(view.label(), "0");

    // With three slots in use and all full, the series scrolls.
    set_count("3");
    view.take();
    arrive(2);
    form1::Timer1_Timer(s, view);
    EXPECT_EQ(s.measurements[1], (std::array<Number, 2>{27, 18}));
    EXPECT_EQ(s.measurements[2], (std::array<Number, 2>{27, 18}));
    EXPECT_EQ(s.measurements[3], (std::array<Number, 2>{27, 19}));
    EXPECT_EQ(view.label(), "1");

    // Lowering the count scrolls only the slots in use; the others keep their values.
    arrive(3);
    arrive(4);
    set_count("5");
    form1::Timer1_Timer(s, view);  // fills slot 4 with image 4
    form1::Timer1_Timer(s, view);  // fills slot 5
    set_count("2");
    view.take();
    form1::Timer1_Timer(s, view);
    EXPECT_EQ(s.measurements[1], (std::array<Number, 2>{27, 18}));
    EXPECT_EQ(s.measurements[2], (std::array<Number, 2>{27, 21}));
    EXPECT_EQ(s.measurements[3], (std::array<Number, 2>{27, 19}));
    EXPECT_EQ(s.measurements[5], (std::array<Number, 2>{27, 21}));
    // Raising it again: the old values count as filled, so the next tick scrolls all 5.
    set_count("5");
    form1::Timer1_Timer(s, view);
    EXPECT_EQ(s.measurements[4], (std::array<Number, 2>{27, 21}));
    EXPECT_EQ(s.measurements[5], (std::array<Number, 2>{27, 21}));
    EXPECT_EQ(s.measurements[1], (std::array<Number, 2>{27, 21}));

    view.take();
    form1::Command2_Click(s, view);
    EXPECT_EQ(view.take(), (Events{"timer off 5000", "message objectが解除されました"}));
    for (const auto& slot : s.measurements) EXPECT_EQ(slot, (std::array<Number, 2>{-999, -999}));
    EXPECT_EQ(s.object_set, 0);
    // Stop keeps the object where it was.
    EXPECT_EQ(s.object_x, 27);
    EXPECT_EQ(s.object_y, 21);
}

TEST_F(MeasurementRun, StartWithoutPickTracksFromTheOldPositionIntoSlotOne) {
    arrive(0);
    form1::Command3_Click(s, view);
    form4::Picture1_MouseDown(s, view, 1, 0, 30, 20);
    form1::Command2_Click(s, view);
    arrive(1);
    form1::Command3_Click(s, view);
    form1::Command1_Click(s, view);
    view.take();
    form1::Timer1_Timer(s, view);
    const Events events = view.take();
    // The first measurement lands in slot 1; there is no earlier one to compare with.
    EXPECT_EQ(s.measurements[1], (std::array<Number, 2>{27, 18}));
    EXPECT_TRUE(testing::slot_empty(s.measurements[2]));
    ASSERT_GE(events.size(), 9u);
    EXPECT_EQ(events[6], "label ");
    EXPECT_EQ(events.back(), "plot_point 1,110 magenta");
}

TEST_F(MeasurementRun, ObjectSettingWhileMeasuringKeepsTheTimerRunning) {
    arrive(0);
    form1::Command3_Click(s, view);
    form1::Command1_Click(s, view);
    view.take();
    arrive(1);
    form1::Command3_Click(s, view);
    EXPECT_EQ(view.take(), Events{"object_window m0001.FIT 64x48"});
    EXPECT_TRUE(view.timer_enabled());
    form1::Command1_Click(s, view);  // Start again: the timer is set on again, nothing else
    EXPECT_EQ(view.take(), Events{"timer on 5000"});
}

}  // namespace
}  // namespace trakora
