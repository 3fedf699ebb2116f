// SPDX-License-Identifier: MIT
// The drift chart as it lands on pixels: points, hollow flagged points, faded earlier
// segments, the fit line and its band; and inputs no real series has.
#include "chart/drift_chart_painter.hpp"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <limits>
#include <string>

#include "picture_pixels.hpp"

namespace trakora::chart {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
const QSize kSize(1200, 800);

QImage render(const DriftChart& chart, QSize size = kSize) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    paint_drift_chart(painter, QRectF(QPointF(0, 0), QSizeF(size)), chart);
    return image;
}

// y = t through the current segment; one flagged point well off the line, one point of an
// earlier segment. Away from grid lines (ticks fall on even numbers).
DriftChart crossing_series() {
    DriftChart chart;
    chart.title = "極軸のずれ 3.1′ 西";
    chart.y_label = "北へのドリフト (″)";
    chart.current_segment = 1;
    chart.points = {
        {1.1, 1.1, false, 1}, {9.1, 9.1, false, 1}, {3.1, 7.1, true, 1}, {7.1, 1.1, false, 0}};
    chart.fit = FitLine{1.1, 9.1, 5, 5, 1, 0, 0, 0};
    return chart;
}

TEST(DriftChartPainter, DrawsEachKindOfMarkAndTheFitLine) {
    const DriftChart chart = crossing_series();
    const QImage image = render(chart);
    const DriftChartColours colours = drift_chart_colours(ChartStyle::light);
    const DriftChartFrame frame = drift_chart_frame(QRectF(QPointF(0, 0), QSizeF(kSize)), chart);

    EXPECT_EQ(pixel_at(image, {2, 2}), colours.background);
    EXPECT_EQ(pixel_at(image, frame.to_pixel(1.1, 1.1)), colours.current);
    EXPECT_EQ(pixel_at(image, frame.to_pixel(7.1, 1.1)), colours.earlier);
    // Hollow: the background in the middle, the current colour on the ring.
    EXPECT_EQ(pixel_at(image, frame.to_pixel(3.1, 7.1)), colours.background);
    EXPECT_TRUE(any_pixel_of(image, frame.to_pixel(3.1, 7.1), 10, colours.current));
    EXPECT_EQ(pixel_at(image, frame.to_pixel(5.3, 5.3)), colours.fit);
    // The fit does not reach past its own minutes.
    EXPECT_EQ(pixel_at(image, frame.to_pixel(0.9, 0.9)), colours.background);
}

TEST(DriftChartPainter, BandIsTheFitsStandardErrorAroundTheLine) {
    DriftChart chart = crossing_series();
    chart.fit = FitLine{1.1, 9.1, 5, 5, 1, 0.6, 0.2, 0};
    const QImage image = render(chart);
    const DriftChartColours colours = drift_chart_colours(ChartStyle::light);
    const DriftChartFrame frame = drift_chart_frame(QRectF(QPointF(0, 0), QSizeF(kSize)), chart);
    // At t = 8.1 the band reaches sqrt(0.6² + 3.1² · 0.2²) = 0.85 from the line.
    EXPECT_NE(pixel_at(image, frame.to_pixel(8.1, 8.1 + 0.75)), colours.background);
    EXPECT_EQ(pixel_at(image, frame.to_pixel(8.1, 8.1 + 0.95)), colours.background);
    EXPECT_NE(pixel_at(image, frame.to_pixel(8.1, 8.1 - 0.75)), colours.background);
    EXPECT_EQ(pixel_at(image, frame.to_pixel(8.1, 8.1 - 0.95)), colours.background);
}

TEST(DriftChartPainter, BandHalfWidthFollowsTheFitsErrors) {
    struct Case {
        const char* name;
        FitLine fit;
        double minutes, expected;
    } const cases[] = {
        {"at the origin", {0, 10, 5, 0, 1, 3, 4, 0}, 5, 3},
        {"a minute later", {0, 10, 5, 0, 1, 3, 4, 0}, 6, 5},
        {"with covariance", {0, 10, 0, 0, 1, 3, 4, -6}, 1, std::sqrt(9 + 16 - 12.0)},
        {"rounding below zero", {0, 10, 0, 0, 1, 1, 1, -1.0000001}, 1, 0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(fit_band_half_width(c.fit, c.minutes), c.expected, 1e-6) << c.name;
}

// Inputs a failed measurement or an early tick can bring. None may crash; the frame shows
// the usable points and stays finite.
TEST(DriftChartPainter, SurvivesDegenerateSeries) {
    struct Case {
        const char* name;
        std::vector<DriftPoint> points;
        std::optional<FitLine> fit;
        double y_lo, y_hi;  // the usable values the frame must show
    } const cases[] = {
        {"nothing", {}, {}, 0, 0},
        {"one point", {{2, 5}}, {}, 5, 5},
        {"one time", {{3, 1}, {3, 4}, {3, -2}}, FitLine{3, 3, 3, 1, 0, 1, 1, 0}, -2, 4},
        {"not finite", {{0, 1}, {1, kNaN}, {kInf, 2}, {2, -kInf}, {3, 3}}, {}, 1, 3},
        {"absurd", {{0, 1}, {1, 1e300}, {2, 2}}, {}, 1, 2},
        {"large but real", {{0, -4e9}, {1, 4e9}}, {}, -4e9, 4e9},
        {"fit not finite", {{0, 1}, {5, 2}}, FitLine{0, 5, 0, kNaN, 1, 0, 0, 0}, 1, 2},
        {"band overflows", {{0, 1}, {5, 2}}, FitLine{0, 5, 0, 1, 0.2, 1e200, 1e200, 0}, 1, 2},
        {"fit alone", {}, FitLine{0, 10, 5, 0, 1, 0.5, 0.1, 0}, -5, 5},
    };
    for (const Case& c : cases) {
        DriftChart chart;
        chart.points = c.points;
        chart.fit = c.fit;
        chart.title = c.name;
        for (QSize size : {kSize, QSize(60, 40), QSize(1, 1)}) {
            SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(size.width()));
            render(chart, size);
            const DriftChartFrame frame = drift_chart_frame(QRectF(QPointF(0, 0), size), chart);
            EXPECT_TRUE(std::isfinite(frame.y.lo) && std::isfinite(frame.y.hi));
            EXPECT_LT(frame.x.lo, frame.x.hi);
            EXPECT_LE(frame.y.lo, c.y_lo);
            EXPECT_GE(frame.y.hi, c.y_hi);
            EXPECT_LE(frame.y.hi - frame.y.lo, 2 * (c.y_hi - c.y_lo) + 20);
        }
    }
    QImage empty(10, 10, QImage::Format_RGB32);
    QPainter painter(&empty);
    paint_drift_chart(painter, QRectF(), crossing_series());  // no area: nothing drawn
}

}  // namespace
}  // namespace trakora::chart
