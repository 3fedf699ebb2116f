// SPDX-License-Identifier: MIT
// The pole target on pixels: the rings at their radii, the 1-SE ellipse as wide as the
// errors, a range that grows for a far estimate, estimates no answer should give, and the
// picture's files.
#include "chart/pole_target.hpp"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <numbers>
#include <sstream>
#include <string>

#include "chart/drift_chart_painter.hpp"
#include "chart/pole_target_files.hpp"
#include "picture_pixels.hpp"
#include "support/fits_files.hpp"

namespace trakora::chart {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
const QSize kSize(900, 900);
const QRectF kArea(QPointF(0, 0), QSizeF(kSize));

QImage render(const PoleTarget& target, QSize size = kSize) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    paint_pole_target(painter, QRectF(QPointF(0, 0), QSizeF(size)), target);
    return image;
}

class PoleTargetPicture : public ::testing::Test {
  protected:
    const DriftChartColours colours_ = drift_chart_colours(ChartStyle::light);
    testing::TempDir dir_;
};

TEST_F(PoleTargetPicture, RingsAtTheirRadiiAroundThePole) {
    const PoleTarget target;
    const QImage image = render(target);
    const PoleTargetFrame frame = pole_target_frame(kArea, target);
    EXPECT_EQ(frame.rings, (std::vector<double>{1, 5, 15}));
    EXPECT_NEAR(frame.plot.width(), frame.plot.height(), 1e-9);
    // Each ring crosses the lower-left diagonal at its radius (away from the labels, which
    // sit upper right): the ring's colour there, background a little inside and outside.
    for (double r : frame.rings) {
        SCOPED_TRACE(r);
        const double d = r / std::numbers::sqrt2;
        EXPECT_TRUE(any_pixel_of(image, frame.to_pixel(-d, -d), 1, colours_.axis));
        const double off = 5 / frame.pixels_per_arcmin() / std::numbers::sqrt2;  // 5 pixels
        EXPECT_EQ(pixel_at(image, frame.to_pixel(-d + off, -d + off)), colours_.background);
        EXPECT_EQ(pixel_at(image, frame.to_pixel(-d - off, -d - off)), colours_.background);
    }
}

TEST_F(PoleTargetPicture, EllipseReachesOneStandardErrorEachWay) {
    PoleTarget target;
    target.now = PoleTarget::Estimate{6, -8, 4, 2, 0};  // west and low
    const QImage image = render(target);
    const PoleTargetFrame frame = pole_target_frame(kArea, target);
    const auto inside = [&](double az, double alt) {
        return pixel_at(image, frame.to_pixel(az, alt)) != colours_.background;
    };
    EXPECT_EQ(pixel_at(image, frame.to_pixel(6, -8)), colours_.current);
    for (double k : {-0.9, 0.9}) {
        EXPECT_TRUE(inside(6 + 4 * k, -8)) << k;
        EXPECT_TRUE(inside(6, -8 + 2 * k)) << k;
    }
    for (double k : {-1.1, 1.1}) {
        EXPECT_FALSE(inside(6 + 4 * k, -8)) << k;
        EXPECT_FALSE(inside(6, -8 + 2 * k)) << k;
    }

    // Correlated: the extent along each axis is still its SE, the widest azimuth reached
    // at altitude + rho SE.
    const PoleTarget::Estimate tilted{1, 2, 3, 0.5, 0.6};
    const std::vector<QPointF> ellipse = se_ellipse(tilted, 720);
    double az_lo = 1e9, az_hi = -1e9, alt_lo = 1e9, alt_hi = -1e9;
    QPointF east_most;
    for (const QPointF& p : ellipse) {
        az_lo = std::min(az_lo, p.x());
        alt_lo = std::min(alt_lo, p.y());
        alt_hi = std::max(alt_hi, p.y());
        if (p.x() > az_hi) az_hi = p.x(), east_most = p;
    }
    EXPECT_NEAR(az_hi - 1, 3, 1e-4);
    EXPECT_NEAR(1 - az_lo, 3, 1e-4);
    EXPECT_NEAR(alt_hi - 2, 0.5, 1e-4);
    EXPECT_NEAR(2 - alt_lo, 0.5, 1e-4);
    EXPECT_NEAR(east_most.y() - 2, 0.6 * 0.5, 1e-4);
}

TEST_F(PoleTargetPicture, RangeFollowsTheEstimate) {
    struct Row {
        const char* name;
        double az, alt;
        double least_half_range;
        std::vector<double> rings;
    } const rows[] = {
        {"zoomed_to_the_answer", 3, -2, 5, {1, 5}},
        {"far_west", 40, -10, 40, {1, 5, 15, 30}},
        {"far_low", 2, -130, 130, {1, 5, 15, 30, 60, 120}},
    };
    for (const Row& r : rows) {
        PoleTarget target;
        target.now = PoleTarget::Estimate{r.az, r.alt, 1, 1, 0};
        const PoleTargetFrame frame = pole_target_frame(kArea, target);
        EXPECT_GE(frame.half_range_arcmin, r.least_half_range) << r.name;
        EXPECT_LE(frame.half_range_arcmin, 1.2 * r.least_half_range) << r.name;
        EXPECT_EQ(frame.rings, r.rings) << r.name;
        EXPECT_TRUE(frame.plot.contains(frame.to_pixel(r.az, r.alt))) << r.name;
        EXPECT_EQ(pixel_at(render(target), frame.to_pixel(r.az, r.alt)), colours_.current)
            << r.name;
    }
}

TEST_F(PoleTargetPicture, EstimatesNotFiniteAreNotDrawn) {
    PoleTarget plain;
    plain.trail = {{4, 4, 1, 1, 0}};
    PoleTarget bad = plain;
    bad.now = PoleTarget::Estimate{kNaN, 3, 1, 1, 0};
    bad.trail.push_back({kInf, 0, 1, 1, 0});
    bad.trail.push_back({2, 1e300, 1, 1, 0});
    EXPECT_EQ(render(bad), render(plain));
    EXPECT_EQ(pole_target_frame(kArea, bad).half_range_arcmin,
              pole_target_frame(kArea, plain).half_range_arcmin);

    // Errors that make no ellipse: the point alone; none may crash, at any size.
    for (const PoleTarget::Estimate& e :
         {PoleTarget::Estimate{3, 3, kInf, 1, 0}, PoleTarget::Estimate{3, 3, 1, -1, 0},
          PoleTarget::Estimate{3, 3, 1, 1, kNaN}, PoleTarget::Estimate{3, 3, 1, 1, 1.5},
          PoleTarget::Estimate{3, 3, 1e300, 1e300, 0}}) {
        EXPECT_TRUE(se_ellipse(e).empty());
        PoleTarget target;
        target.now = e;
        for (QSize size : {kSize, QSize(40, 30), QSize(1, 1)}) render(target, size);
    }
    EXPECT_EQ(se_ellipse({3, 3, 1e4, 1e4, 1}).size(), 96u);  // huge but real: clipped
}

TEST_F(PoleTargetPicture, WritesPngAndSvg) {
    PoleTarget target;
    target.title = "Where the polar axis points";
    target.subtitle = "total 5.0′";
    target.now = PoleTarget::Estimate{3.1, -1.2, 0.4, 0.6, 0.3};
    target.trail = {{12, 7, 2, 3, 0}, {6, 2, 1, 1.5, 0.2}};
    const std::string png = (dir_.path() / "target.PNG").string();
    const std::string svg = (dir_.path() / "target.svg").string();
    std::string error;
    ASSERT_TRUE(write_pole_target(png, target, QSize(600, 600), &error)) << error;
    ASSERT_TRUE(write_pole_target(svg, target, kDefaultPoleTargetSize, &error)) << error;
    EXPECT_EQ(QImage(QString::fromStdString(png), "PNG").size(), QSize(600, 600));
    std::ostringstream text;
    text << std::ifstream(svg).rdbuf();
    EXPECT_NE(text.str().find("<svg"), std::string::npos);
    EXPECT_NE(text.str().find("Where the polar axis points"), std::string::npos);
    EXPECT_FALSE(write_pole_target((dir_.path() / "target.jpg").string(), target, kSize, &error));
    EXPECT_NE(error.find("'.jpg'"), std::string::npos) << error;
}

}  // namespace
}  // namespace trakora::chart
