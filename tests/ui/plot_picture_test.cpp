// SPDX-License-Identifier: MIT
// The drift plot as it lands on the plot picture's pixels, drawn through the view.
#include <gtest/gtest.h>

#include <QDir>

#include "core/view.hpp"
#include "ui/main_window.hpp"
#include "ui/qt_view.hpp"

namespace trakora::ui {
namespace {

const QColor kGreen(0, 255, 0);
const QColor kMagenta(255, 0, 255);

class PlotThroughView : public ::testing::Test {
  protected:
    PlotThroughView() : window_(QDir::currentPath()), view_(window_) {}

    const QImage& surface() const { return window_.controls().picture1->surface(); }
    QColor background() const { return window_.controls().picture1->background(); }

    // Pixels in the given columns and rows that are not `colour`, as "x,y" for messages.
    std::string off_colour(int x0, int x1, int y0, int y1, QColor colour) const {
        std::string out;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                if (surface().pixelColor(x, y) != colour)
                    out += std::to_string(x) + "," + std::to_string(y) + " ";
        return out;
    }

    MainWindow window_;
    QtView view_;
};

TEST_F(PlotThroughView, ClientAreaIsInsideTheBorder) {
    // 393 x 161 outside, a 2-pixel sunken border.
    EXPECT_EQ(surface().size(), QSize(389, 157));
}

TEST_F(PlotThroughView, CentreLineIsFivePixelsThickAcrossTheWidth) {
    view_.clear_drift_plot();
    view_.set_drift_plot_scale(50, 220);
    view_.draw_drift_line(0, 110, 50, 110, rgb(0, 255, 0));
    // 110 of 220 units is 78.5 pixels down: the middle row 78 of 157.
    EXPECT_EQ(off_colour(0, 388, 76, 80, kGreen), "");
    EXPECT_EQ(off_colour(0, 388, 75, 75, background()), "");
    EXPECT_EQ(off_colour(0, 388, 81, 81, background()), "");
}

TEST_F(PlotThroughView, PointIsAFiveByFiveSquareOnItsPosition) {
    view_.clear_drift_plot();
    view_.set_drift_plot_scale(50, 220);
    view_.draw_drift_point(1, 110, rgb(255, 0, 255));
    // x = 1 of 50 units over 389 pixels is 7.78: column 7.
    EXPECT_EQ(off_colour(5, 9, 76, 80, kMagenta), "");
    EXPECT_EQ(off_colour(4, 4, 74, 82, background()), "");
    EXPECT_EQ(off_colour(10, 10, 74, 82, background()), "");
    EXPECT_EQ(off_colour(4, 10, 75, 75, background()), "");
    EXPECT_EQ(off_colour(4, 10, 81, 81, background()), "");
}

struct ScaledPoint {
    const char* name;
    float scale_w, scale_h;  // 0 leaves the scale unset (twips)
    float x, y;
    int column, row;  // the centre pixel
};

class PlotScale : public PlotThroughView, public ::testing::WithParamInterface<ScaledPoint> {};

TEST_P(PlotScale, PutsThePointOnItsPixel) {
    const ScaledPoint& p = GetParam();
    view_.clear_drift_plot();
    if (p.scale_w != 0) view_.set_drift_plot_scale(p.scale_w, p.scale_h);
    view_.draw_drift_point(p.x, p.y, rgb(255, 0, 255));
    EXPECT_EQ(surface().pixelColor(p.column, p.row), kMagenta) << p.name;
    EXPECT_EQ(surface().pixelColor(p.column + 2, p.row + 2), kMagenta) << p.name;
    EXPECT_NE(surface().pixelColor(p.column + 3, p.row), kMagenta) << p.name;
    EXPECT_NE(surface().pixelColor(p.column, p.row + 3), kMagenta) << p.name;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PlotScale,
    ::testing::Values(ScaledPoint{"twips before any scale", 0, 0, 150, 300, 10, 20},
                      ScaledPoint{"slot 25 of 50, mid height", 50, 11, 25, 5.5f, 194, 78},
                      ScaledPoint{"one unit per pixel", 389, 157, 100, 40, 100, 40}),
    [](const ::testing::TestParamInfo<ScaledPoint>& row) {
        std::string name = row.param.name;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

TEST_F(PlotThroughView, ZeroOrUndefinedScaleKeepsTheOldOne) {
    view_.set_drift_plot_scale(389, 157);
    view_.set_drift_plot_scale(0, 220);
    view_.set_drift_plot_scale(50, std::numeric_limits<float>::quiet_NaN());
    view_.draw_drift_point(100, 40, rgb(255, 0, 255));
    EXPECT_EQ(surface().pixelColor(100, 40), kMagenta);
}

TEST_F(PlotThroughView, ClearLeavesOnlyBackground) {
    view_.set_drift_plot_scale(50, 220);
    view_.draw_drift_line(0, 110, 50, 110, rgb(0, 255, 0));
    view_.draw_drift_point(-1e30f, 1e30f, rgb(255, 0, 255));  // far off: drawn nowhere
    view_.clear_drift_plot();
    EXPECT_EQ(off_colour(0, 388, 0, 156, background()), "");
}

TEST_F(PlotThroughView, DrawingShowsOnScreenInsideTheBorder) {
    view_.set_drift_plot_scale(389, 157);
    view_.draw_drift_point(100, 40, rgb(255, 0, 255));
    const QImage shown = window_.controls().picture1->grab().toImage();
    const QPoint origin = window_.controls().picture1->client_origin();
    EXPECT_EQ(shown.pixelColor(origin + QPoint(100, 40)), kMagenta);
}

TEST_F(PlotThroughView, LabelTakesTheCaption) {
    view_.set_drift_label("-5");
    EXPECT_EQ(window_.controls().label5->text(), QStringLiteral("-5"));
}

}  // namespace
}  // namespace trakora::ui
