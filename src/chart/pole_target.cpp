// SPDX-License-Identifier: MIT
#include "chart/pole_target.hpp"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <QString>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "chart/axis_ticks.hpp"
#include "chart/drift_chart_painter.hpp"  // the charts' colours
#include "chart/japanese_font.hpp"

namespace trakora::chart {

namespace {

// No axis is off by more than half a turn: anything beyond is garbage, left out like NaN.
constexpr double kLargestArcmin = 180 * 60;
constexpr double kRoom = 1.1;  // the range around what it must show
constexpr double kWidestRing = 15;

using Estimate = PoleTarget::Estimate;

bool placed(const Estimate& e) {
    return std::isfinite(e.azimuth_arcmin) && std::isfinite(e.altitude_arcmin) &&
           std::abs(e.azimuth_arcmin) <= kLargestArcmin &&
           std::abs(e.altitude_arcmin) <= kLargestArcmin;
}

bool has_ellipse(const Estimate& e) {
    const auto se = [](double v) { return std::isfinite(v) && v >= 0 && v <= kLargestArcmin; };
    return placed(e) && se(e.azimuth_se_arcmin) && se(e.altitude_se_arcmin) &&
           std::abs(e.correlation) <= 1;
}

struct Sizes {
    QFont title, subtitle, tick, label, ring, word;
    double pad = 0, gap = 0, tick_length = 0;
    double point_radius = 0, trail_radius = 0, ring_width = 0, axis_width = 0, line_width = 0;
};

Sizes sizes_for(const QRectF& area) {
    Sizes s;
    const double u = std::clamp(std::min(area.width(), area.height()) / 800.0, 0.45, 4.0);
    const QString family = japanese_font_family();
    s.title = sized_font(family, std::max(15.0, 32 * u), QFont::Bold);
    s.subtitle = sized_font(family, std::max(11.0, 21 * u));
    s.tick = sized_font(family, std::max(11.0, 19 * u));
    s.label = sized_font(family, std::max(12.0, 22 * u));
    s.ring = sized_font(family, std::max(10.0, 18 * u));
    s.word = sized_font(family, std::max(12.0, 24 * u), QFont::Bold);
    s.pad = 16 * u;
    s.gap = 8 * u;
    s.tick_length = 7 * u;
    s.point_radius = std::max(3.0, 5.5 * u);
    s.trail_radius = std::max(2.0, 4.5 * u);
    s.ring_width = std::max(1.5, 2.4 * u);
    s.axis_width = std::max(1.0, 1.6 * u);
    s.line_width = std::max(1.0, 2 * u);
    return s;
}

struct Layout {
    Sizes sizes;
    PoleTargetFrame frame;
    AxisTicks ticks;
    QRectF title, subtitle, x_label, y_label;
    double words = 0;  // the widest of the words at the axes' ends, or their height
};

Layout lay_out(const QRectF& area, const PoleTarget& target) {
    Layout layout;
    layout.sizes = sizes_for(area);
    const Sizes& s = layout.sizes;
    const QFontMetricsF tick(s.tick), label(s.label);

    double top = area.top() + s.pad;
    const auto take_row = [&](QRectF& row, const QFont& font, bool present) {
        if (!present) return;
        const double height = QFontMetricsF(font).height();
        row = QRectF(area.left() + s.pad, top, area.width() - 2 * s.pad, height);
        top += height + s.gap * 0.5;
    };
    take_row(layout.title, s.title, !target.title.empty());
    take_row(layout.subtitle, s.subtitle, !target.subtitle.empty());
    top += tick.height() * 0.5 + s.gap;

    double bottom = area.bottom() - s.pad;
    if (!target.x_label.empty()) bottom -= label.height() + s.gap;
    bottom -= tick.height() + s.tick_length + s.gap * 0.5;
    double left = area.left() + s.pad;
    if (!target.y_label.empty()) left += label.height() + s.gap;
    left += tick.horizontalAdvance(QStringLiteral("-000")) + s.gap * 0.5 + s.tick_length;
    const double right = area.right() - s.pad - tick.horizontalAdvance(QStringLiteral("00"));

    // A square, centred in the room left.
    const double side = std::max(1.0, std::min(right - left, bottom - top));
    PoleTargetFrame& frame = layout.frame;
    frame.plot = QRectF(left + (right - left - side) / 2, top, side, side);

    // The estimate's ellipse counts up to the estimate's own distance: a wider one says
    // the answer means little, and would only shrink the rings. The range zooms to the
    // answer: the smallest ring around it (15′ while there is none), or its own reach
    // beyond the widest ring.
    double reach = kWidestRing;
    if (target.now && placed(*target.now)) {
        const Estimate& now = *target.now;
        const double az = std::abs(now.azimuth_arcmin), alt = std::abs(now.altitude_arcmin);
        double az_se = 0, alt_se = 0;
        if (has_ellipse(now)) {
            az_se = std::min(now.azimuth_se_arcmin, std::max(az, alt));
            alt_se = std::min(now.altitude_se_arcmin, std::max(az, alt));
        }
        const double answer = std::max({az + az_se, alt + alt_se});
        reach = answer;
        for (double r : kPoleTargetRings)
            if (r >= answer) {
                reach = r;
                break;
            }
    }
    // The words at the axes' ends sit between the outermost ring and the frame's edge.
    const QFontMetricsF word(s.word);
    double words = word.height();
    for (const std::string* w : {&target.west, &target.east, &target.high, &target.low})
        words = std::max(words, word.horizontalAdvance(QString::fromStdString(*w)));
    layout.words = words;
    const double edge = side / 2 - words - 1.5 * s.gap;
    frame.half_range_arcmin =
        edge > 0 ? std::max(reach * kRoom, reach * side / 2 / edge) : reach * kRoom;
    for (double r : kPoleTargetRings)
        if (r <= reach) frame.rings.push_back(r);
    for (double r = 2 * kWidestRing; r <= reach; r *= 2) frame.rings.push_back(r);

    layout.ticks =
        nice_ticks({-frame.half_range_arcmin, frame.half_range_arcmin},
                   static_cast<int>(std::clamp(side / (tick.height() * 3.5), 2.0, 10.0)));
    if (!target.x_label.empty())
        layout.x_label = QRectF(frame.plot.left(), area.bottom() - s.pad - label.height(),
                                frame.plot.width(), label.height());
    if (!target.y_label.empty()) {
        const double label_right = frame.plot.left() - s.tick_length - s.gap * 1.5 -
                                   tick.horizontalAdvance(QStringLiteral("-000"));
        layout.y_label = QRectF(label_right - label.height(), frame.plot.top(), label.height(),
                                frame.plot.height());
    }
    return layout;
}

QPen pen(const QColor& colour, double width) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QColor with_alpha(QColor colour, double alpha) {
    colour.setAlphaF(static_cast<float>(std::clamp(alpha, 0.0, 1.0)));
    return colour;
}

// Keeps far-off coordinates within what the rasteriser handles; they are clipped anyway.
QPointF tame(const QPointF& p, const QRectF& plot) {
    const double margin = 4 * (plot.width() + plot.height());
    return {std::clamp(p.x(), plot.left() - margin, plot.right() + margin),
            std::clamp(p.y(), plot.top() - margin, plot.bottom() + margin)};
}

void draw_text(QPainter& painter, const QRectF& row, const QFont& font, const QColor& colour,
               const std::string& text, Qt::Alignment align = Qt::AlignCenter) {
    if (row.isNull() || text.empty()) return;
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(
        row, align,
        QFontMetricsF(font).elidedText(QString::fromStdString(text), Qt::ElideRight, row.width()));
}

void draw_frame_and_ticks(QPainter& painter, const Layout& layout,
                          const DriftChartColours& colours) {
    const Sizes& s = layout.sizes;
    const PoleTargetFrame& frame = layout.frame;
    const QRectF& plot = frame.plot;
    const QFontMetricsF tick(s.tick);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(colours.axis, s.axis_width, Qt::SolidLine, Qt::SquareCap));
    painter.drawRect(plot);
    painter.setFont(s.tick);
    for (double v : layout.ticks.values) {
        const QString text = QString::fromStdString(tick_label(v, layout.ticks.step));
        const double width = tick.horizontalAdvance(text);
        const double x = frame.to_pixel(v, 0).x(), y = frame.to_pixel(0, v).y();
        painter.setPen(pen(colours.axis, s.axis_width));
        painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + s.tick_length));
        painter.drawLine(QPointF(plot.left() - s.tick_length, y), QPointF(plot.left(), y));
        painter.setPen(colours.text);
        painter.drawText(QRectF(x - width, plot.bottom() + s.tick_length + s.gap * 0.5, 2 * width,
                                tick.height()),
                         Qt::AlignHCenter | Qt::AlignTop, text);
        const double text_right = plot.left() - s.tick_length - s.gap * 0.5;
        painter.drawText(
            QRectF(text_right - width - s.gap, y - tick.height(), width + s.gap, 2 * tick.height()),
            Qt::AlignRight | Qt::AlignVCenter, text);
    }
}

void draw_rings(QPainter& painter, const Layout& layout, const PoleTarget& target,
                const DriftChartColours& colours) {
    const Sizes& s = layout.sizes;
    const PoleTargetFrame& frame = layout.frame;
    const QPointF pole = frame.to_pixel(0, 0);
    const QRectF& plot = frame.plot;
    // The lines through the pole, then the rings about it.
    painter.setPen(pen(colours.grid, s.axis_width));
    painter.drawLine(QPointF(plot.left(), pole.y()), QPointF(plot.right(), pole.y()));
    painter.drawLine(QPointF(pole.x(), plot.top()), QPointF(pole.x(), plot.bottom()));
    painter.setBrush(Qt::NoBrush);
    const QFontMetricsF ring_metrics(s.ring);
    painter.setFont(s.ring);
    for (double r : frame.rings) {
        const double radius = r * frame.pixels_per_arcmin();
        painter.setPen(pen(colours.axis, s.ring_width));
        painter.drawEllipse(pole, radius, radius);
        // Labelled up and to the right of the ring, when there is room for the words.
        if (radius < ring_metrics.height() * 1.2) continue;
        const QString text = QString::fromStdString(tick_label(r, 1)) + QStringLiteral("′");
        const QPointF at = pole + QPointF(radius, -radius) * std::numbers::sqrt2 / 2;
        painter.setPen(colours.muted_text);
        painter.drawText(QRectF(at.x() + s.gap * 0.4, at.y() - ring_metrics.height() - s.gap * 0.2,
                                ring_metrics.horizontalAdvance(text) + 2, ring_metrics.height()),
                         Qt::AlignLeft | Qt::AlignBottom, text);
    }
    // Which way is which, just inside the frame, outside the outermost ring.
    const double inset = s.gap;
    const QFontMetricsF word(s.word);
    const double height = word.height();
    const double width = std::max(plot.width() / 4, layout.words + 2);
    const QColor muted = colours.muted_text;
    draw_text(painter, QRectF(plot.right() - inset - width, pole.y() - height * 1.1, width, height),
              s.word, muted, target.west, Qt::AlignRight | Qt::AlignVCenter);
    draw_text(painter, QRectF(plot.left() + inset, pole.y() - height * 1.1, width, height), s.word,
              muted, target.east, Qt::AlignLeft | Qt::AlignVCenter);
    draw_text(painter, QRectF(pole.x() + inset, plot.top() + inset * 0.5, width, height), s.word,
              muted, target.high, Qt::AlignLeft | Qt::AlignTop);
    draw_text(painter,
              QRectF(pole.x() + inset, plot.bottom() - inset * 0.5 - height, width, height), s.word,
              muted, target.low, Qt::AlignLeft | Qt::AlignBottom);
}

void draw_pole(QPainter& painter, const Layout& layout, const DriftChartColours& colours) {
    const Sizes& s = layout.sizes;
    const QPointF pole = layout.frame.to_pixel(0, 0);
    const double arm = s.point_radius * 1.4;
    painter.setPen(pen(colours.fit, s.line_width * 1.5));
    painter.drawLine(pole - QPointF(arm, 0), pole + QPointF(arm, 0));
    painter.drawLine(pole - QPointF(0, arm), pole + QPointF(0, arm));
}

// Oldest faintest; a line joins the answers in order, up to the current one.
void draw_trail(QPainter& painter, const Layout& layout, const PoleTarget& target,
                const DriftChartColours& colours) {
    const Sizes& s = layout.sizes;
    const PoleTargetFrame& frame = layout.frame;
    std::vector<QPointF> points;
    for (const Estimate& e : target.trail)
        if (placed(e))
            points.push_back(tame(frame.to_pixel(e.azimuth_arcmin, e.altitude_arcmin), frame.plot));
    if (points.empty()) return;
    std::vector<QPointF> line = points;
    if (target.now && placed(*target.now))
        line.push_back(tame(frame.to_pixel(target.now->azimuth_arcmin, target.now->altitude_arcmin),
                            frame.plot));
    painter.setPen(pen(with_alpha(colours.earlier, 0.6), s.line_width));
    painter.setBrush(Qt::NoBrush);
    for (std::size_t i = 1; i < line.size(); ++i) painter.drawLine(line[i - 1], line[i]);
    painter.setPen(Qt::NoPen);
    const double n = static_cast<double>(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        painter.setBrush(with_alpha(colours.earlier, 0.3 + 0.6 * (static_cast<double>(i) + 1) / n));
        painter.drawEllipse(points[i], s.trail_radius, s.trail_radius);
    }
}

void draw_now(QPainter& painter, const Layout& layout, const Estimate& now,
              const DriftChartColours& colours) {
    const Sizes& s = layout.sizes;
    const PoleTargetFrame& frame = layout.frame;
    const std::vector<QPointF> ellipse = se_ellipse(now);
    if (!ellipse.empty()) {
        QPolygonF outline;
        for (const QPointF& p : ellipse) outline << tame(frame.to_pixel(p.x(), p.y()), frame.plot);
        painter.setPen(pen(colours.current, s.line_width));
        painter.setBrush(with_alpha(colours.current, 0.22));
        painter.drawPolygon(outline);
    }
    const QPointF centre = frame.to_pixel(now.azimuth_arcmin, now.altitude_arcmin);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colours.background);
    painter.drawEllipse(centre, s.point_radius * 1.25, s.point_radius * 1.25);
    painter.setBrush(colours.current);
    painter.drawEllipse(centre, s.point_radius, s.point_radius);
}

}  // namespace

QPointF PoleTargetFrame::to_pixel(double azimuth_arcmin, double altitude_arcmin) const {
    const double scale = pixels_per_arcmin();
    return {plot.center().x() + azimuth_arcmin * scale,
            plot.center().y() - altitude_arcmin * scale};
}

double PoleTargetFrame::pixels_per_arcmin() const {
    return half_range_arcmin > 0 ? plot.width() / (2 * half_range_arcmin) : 0;
}

PoleTargetFrame pole_target_frame(const QRectF& area, const PoleTarget& target) {
    return lay_out(area, target).frame;
}

std::vector<QPointF> se_ellipse(const Estimate& estimate, int samples) {
    std::vector<QPointF> points;
    if (!has_ellipse(estimate) || samples < 3) return points;
    // x = L (cos t, sin t) with L the Cholesky factor of the covariance: no squares, so
    // no overflow, and the extent along each axis is exactly its SE.
    const double sa = estimate.azimuth_se_arcmin, se = estimate.altitude_se_arcmin;
    const double rho = estimate.correlation, across = std::sqrt(std::max(0.0, 1 - rho * rho));
    for (int i = 0; i < samples; ++i) {
        const double t = 2 * std::numbers::pi * i / samples;
        points.emplace_back(
            estimate.azimuth_arcmin + sa * std::cos(t),
            estimate.altitude_arcmin + se * (rho * std::cos(t) + across * std::sin(t)));
    }
    return points;
}

void paint_pole_target(QPainter& painter, const QRectF& area, const PoleTarget& target) {
    if (!(area.width() > 0 && area.height() > 0)) return;
    const DriftChartColours colours = drift_chart_colours(target.style);
    const Layout layout = lay_out(area, target);
    const Sizes& s = layout.sizes;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.fillRect(area, colours.background);
    draw_frame_and_ticks(painter, layout, colours);

    painter.save();
    painter.setClipRect(layout.frame.plot);
    draw_rings(painter, layout, target, colours);
    draw_pole(painter, layout, colours);
    draw_trail(painter, layout, target, colours);
    if (target.now && placed(*target.now)) draw_now(painter, layout, *target.now, colours);
    painter.restore();

    draw_text(painter, layout.title, s.title, colours.text, target.title);
    draw_text(painter, layout.subtitle, s.subtitle, colours.muted_text, target.subtitle);
    draw_text(painter, layout.x_label, s.label, colours.text, target.x_label);
    if (!layout.y_label.isNull() && !target.y_label.empty()) {
        const QRectF& r = layout.y_label;
        painter.save();
        painter.translate(r.center());
        painter.rotate(-90);
        draw_text(painter, QRectF(-r.height() / 2, -r.width() / 2, r.height(), r.width()), s.label,
                  colours.text, target.y_label);
        painter.restore();
    }
    painter.restore();
}

}  // namespace trakora::chart
