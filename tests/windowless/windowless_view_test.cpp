// SPDX-License-Identifier: MIT
// The view without windows holds what the windows would: the start values in the fields,
// the folder and the timer, and what the user types even where a subclass reports the
// program's own writes.
#include "windowless/windowless_view.hpp"

#include <gtest/gtest.h>

#include <string>

namespace trakora {
namespace {

TEST(WindowlessView, StartsWithTheStartValuesAndTheTimerOff) {
    WindowlessView view("/night");
    EXPECT_EQ(view.text(TextField::Folder), "/night");
    EXPECT_EQ(view.folder_list_path(), "/night");
    EXPECT_EQ(view.text(TextField::Interval), "5");
    EXPECT_EQ(view.text(TextField::Count), "50");
    EXPECT_EQ(view.timer_interval(), 5000);
    EXPECT_FALSE(view.polling());
}

// Typing is not the program writing: a subclass that counts set_text does not see it.
TEST(WindowlessView, TypingBypassesTheProgramsOwnWrites) {
    struct Counting : WindowlessView {
        using WindowlessView::WindowlessView;
        void set_text(TextField field, const std::string& text) override {
            ++writes;
            WindowlessView::set_text(field, text);
        }
        int writes = 0;
    } view(".");
    view.type_text(TextField::Count, "7");
    EXPECT_EQ(view.text(TextField::Count), "7");
    EXPECT_EQ(view.writes, 0);
}

}  // namespace
}  // namespace trakora
