// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "core/handlers.hpp"
#include "support/recording_view.hpp"

namespace trakora {
namespace {

using testing::RecordingView;
using Events = std::vector<std::string>;

struct PlotCase {
    const char* name;
    std::vector<double> rows;  // y of slots 1, 2, ...
    int max_count;
    Events events;
};

class DriftPlot : public ::testing::TestWithParam<PlotCase> {};

TEST_P(DriftPlot, DrawsTheSeries) {
    const PlotCase& c = GetParam();
    State s;
    s.max_count = c.max_count;
    for (std::size_t k = 0; k < c.rows.size(); ++k) s.measurements[k + 1] = {5, c.rows[k]};
    RecordingView view;
    draw_drift_plot(s, view, static_cast<int>(c.rows.size()));
    EXPECT_EQ(view.take(), c.events) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, DriftPlot,
    ::testing::Values(PlotCase{"single_measurement",
                               {40},
                               50,
                               {"label ", "plot_scale 50x220", "plot_line 0,110,50,110 green",
                                "plot_point 1,110 magenta"}},
                      PlotCase{"up_and_down",
                               {100, 103, 98},
                               50,
                               {"label -5", "plot_scale 50x11", "plot_line 0,6,50,6 green",
                                "plot_point 1,8 magenta", "plot_point 2,11 magenta",
                                "plot_point 3,6 magenta"}},
                      PlotCase{"all_equal",
                               {7, 7},
                               10,
                               {"label 0", "plot_scale 10x220", "plot_line 0,110,10,110 green",
                                "plot_point 1,110 magenta", "plot_point 2,110 magenta"}},
                      PlotCase{"moved_down_three",
                               {10, 13},
                               50,
                               {"label 3", "plot_scale 50x7", "plot_line 0,4,50,4 green",
                                "plot_point 1,1 magenta", "plot_point 2,4 magenta"}},
                      PlotCase{"moved_up_three",
                               {13, 10},
                               50,
                               {"label -3", "plot_scale 50x7", "plot_line 0,4,50,4 green",
                                "plot_point 1,7 magenta", "plot_point 2,4 magenta"}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(DriftPlotSlots, EmptySlotsAreNotDrawnButCountInTheExtremes) {
    State s;
    s.max_count = 50;
    s.measurements[1] = {1, 10};
    s.measurements[3] = {1, 12};
    RecordingView view;
    draw_drift_plot(s, view, 3);
    // hi = 12, lo = -999 (the empty slot 2): D = 1011, H = 2224, mid = 1112.
    EXPECT_EQ(view.take(),
              (Events{"label 1011", "plot_scale 50x2224", "plot_line 0,1112,50,1112 green",
                      "plot_point 1,1110 magenta", "plot_point 3,1112 magenta"}));
}

TEST(DriftPlotSlots, ACountOutsideTheTableIsTakenIntoRange) {
    State s;
    s.measurements[1] = {1, 10};
    RecordingView view;
    s.max_count = 0;
    draw_drift_plot(s, view, 1);
    s.max_count = 1000;
    draw_drift_plot(s, view, 1);
    s.max_count = 20.7;
    draw_drift_plot(s, view, 1);
    const Events events = view.take();
    EXPECT_EQ(events[1], "plot_scale 1x220");
    EXPECT_EQ(events[5], "plot_scale 300x220");
    EXPECT_EQ(events[9], "plot_scale 20x220");
}

}  // namespace
}  // namespace trakora
