// SPDX-License-Identifier: MIT
#include "ui/poll_timer.hpp"

#include <gtest/gtest.h>

namespace trakora::ui {
namespace {

// Each step is "enable", "disable" or an interval; `running` is whether periods are
// being counted afterwards.
struct Step {
    const char* what;
    int interval;  // used when what is "interval"
    bool running;
};

struct TimerCase {
    const char* name;
    std::vector<Step> steps;
};

class TimerRules : public ::testing::TestWithParam<TimerCase> {};

TEST_P(TimerRules, RunsOnlyWhenEnabledWithAPositiveInterval) {
    const TimerCase& c = GetParam();
    PollTimer timer;
    int index = 0;
    for (const Step& step : c.steps) {
        const std::string what = step.what;
        if (what == "enable") timer.set_enabled(true);
        if (what == "disable") timer.set_enabled(false);
        if (what == "interval") timer.set_interval(step.interval);
        EXPECT_EQ(timer.running(), step.running)
            << c.name << ", step " << index << " (" << what << ")";
        ++index;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TimerRules,
    ::testing::Values(
        TimerCase{"enable with the start interval", {{"enable", 0, true}}},
        TimerCase{"interval alone does not start",
                  {{"interval", 1000, false}, {"enable", 0, true}}},
        TimerCase{"disable stops", {{"enable", 0, true}, {"disable", 0, false}}},
        TimerCase{"interval 0 pauses, a positive one resumes",
                  {{"enable", 0, true}, {"interval", 0, false}, {"interval", 2, true}}},
        TimerCase{"enabled at interval 0 waits",
                  {{"interval", 0, false}, {"enable", 0, false}, {"interval", 4000, true}}},
        TimerCase{"disabled stays off through intervals",
                  {{"enable", 0, true}, {"disable", 0, false}, {"interval", 3000, false}}}),
    [](const ::testing::TestParamInfo<TimerCase>& row) {
        std::string name = row.param.name;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

TEST(PollTimer, KeepsTheAssignedValues) {
    PollTimer timer;
    timer.set_interval(0);
    timer.set_enabled(true);
    EXPECT_TRUE(timer.enabled());
    EXPECT_EQ(timer.interval(), 0);
}

}  // namespace
}  // namespace trakora::ui
