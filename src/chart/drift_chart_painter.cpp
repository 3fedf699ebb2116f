// SPDX-License-Identifier: MIT
#include "chart/drift_chart_painter.hpp"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPolygonF>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "chart/japanese_font.hpp"

namespace trakora::chart {

namespace {

// Values beyond this are garbage from a failed measurement, not drift: left out like NaN.
constexpr double kLargest = 1e100;
constexpr int kBandSamples = 48;

bool usable(double v) { return std::isfinite(v) && std::abs(v) <= kLargest; }

// The points and the fit that can be drawn, and the data's extent.
struct Shown {
    std::vector<DriftPoint> points;
    std::optional<FitLine> fit;
    bool any = false;
    double x_lo = 0, x_hi = 0, y_lo = 0, y_hi = 0;

    void include(double x, double y) {
        if (!any) {
            x_lo = x_hi = x;
            y_lo = y_hi = y;
            any = true;
            return;
        }
        x_lo = std::min(x_lo, x);
        x_hi = std::max(x_hi, x);
        y_lo = std::min(y_lo, y);
        y_hi = std::max(y_hi, y);
    }
};

Shown shown_data(const DriftChart& chart) {
    Shown shown;
    for (const DriftPoint& p : chart.points) {
        if (!usable(p.minutes) || !usable(p.value)) continue;
        shown.points.push_back(p);
        shown.include(p.minutes, p.value);
    }
    if (chart.fit) {
        const FitLine& f = *chart.fit;
        const double y0 = fit_value(f, f.start_minutes);
        const double y1 = fit_value(f, f.end_minutes);
        if (usable(f.start_minutes) && usable(f.end_minutes) && usable(y0) && usable(y1)) {
            shown.fit = f;
            // The band may be wide when few points are fitted: it is clipped to the plot,
            // so it does not squeeze the points into a corner.
            shown.include(f.start_minutes, y0);
            shown.include(f.end_minutes, y1);
        }
    }
    return shown;
}

// Sizes, all following the area, so the chart reads alike at any size.
struct Sizes {
    double unit = 1;  // 1 at about 1000 × 667 pixels
    QFont title, subtitle, tick, label, legend;
    double pad = 0, gap = 0, tick_length = 0;
    double point_radius = 0, fit_width = 0, axis_width = 0, grid_width = 0;
};

Sizes sizes_for(const QRectF& area) {
    Sizes s;
    s.unit = std::clamp(std::min(area.width(), area.height() * 1.5) / 1000.0, 0.45, 4.0);
    const double u = s.unit;
    const QString family = japanese_font_family();
    s.title = sized_font(family, std::max(15.0, 34 * u), QFont::Bold);
    s.subtitle = sized_font(family, std::max(11.0, 22 * u));
    s.tick = sized_font(family, std::max(12.0, 23 * u));
    s.label = sized_font(family, std::max(12.0, 23 * u));
    s.legend = sized_font(family, std::max(11.0, 20 * u));
    s.pad = 16 * u;
    s.gap = 8 * u;
    s.tick_length = 7 * u;
    s.point_radius = std::max(2.5, 6.5 * u);
    s.fit_width = std::max(2.0, 4.5 * u);
    s.axis_width = std::max(1.0, 2.2 * u);
    s.grid_width = std::max(1.0, 1.2 * u);
    return s;
}

// How many ticks fit along `length` pixels at `spacing` pixels apiece.
int tick_target(double length, double spacing, int most) {
    return static_cast<int>(std::clamp(length / spacing, 2.0, static_cast<double>(most)));
}

struct LegendEntry {
    enum Kind { point, hollow, faded, fit } kind;
    QString text;
};

std::vector<LegendEntry> legend_entries(const Shown& shown, const DriftChart& chart) {
    bool point = false, hollow = false, faded = false;
    for (const DriftPoint& p : shown.points) {
        if (p.segment != chart.current_segment)
            faded = true;
        else if (p.flagged)
            hollow = true;
        else
            point = true;
    }
    const DriftChart::Legend& words = chart.legend;
    std::vector<LegendEntry> entries;
    if (point) entries.push_back({LegendEntry::point, QString::fromStdString(words.point)});
    if (hollow) entries.push_back({LegendEntry::hollow, QString::fromStdString(words.flagged)});
    if (faded) entries.push_back({LegendEntry::faded, QString::fromStdString(words.earlier)});
    if (shown.fit) entries.push_back({LegendEntry::fit, QString::fromStdString(words.fit)});
    return entries;
}

// Every rectangle and tick of one drawing.
struct Layout {
    Sizes sizes;
    Shown shown;
    std::vector<LegendEntry> legend;
    DriftChartFrame frame;
    AxisTicks x_ticks, y_ticks;
    QRectF title, subtitle, legend_row, x_label, y_label;
};

double widest_label(const QFontMetricsF& metrics, const AxisTicks& ticks) {
    double widest = 0;
    for (double v : ticks.values)
        widest = std::max(
            widest, metrics.horizontalAdvance(QString::fromStdString(tick_label(v, ticks.step))));
    return widest;
}

double legend_width(const Layout& layout) {
    const QFontMetricsF metrics(layout.sizes.legend);
    double width = 0;
    for (const LegendEntry& e : layout.legend)
        width += metrics.height() * 1.6 + layout.sizes.gap + metrics.horizontalAdvance(e.text);
    return width + static_cast<double>(layout.legend.size() - 1) * 3 * layout.sizes.gap;
}

Layout lay_out(const QRectF& area, const DriftChart& chart) {
    Layout layout;
    layout.sizes = sizes_for(area);
    layout.shown = shown_data(chart);
    layout.legend = legend_entries(layout.shown, chart);
    const Sizes& s = layout.sizes;
    const QFontMetricsF tick(s.tick);
    const QFontMetricsF label(s.label);

    // From the top: title, subtitle, legend.
    double top = area.top() + s.pad;
    const auto take_row = [&](QRectF& row, const QFont& font, bool present) {
        if (!present) return;
        const double height = QFontMetricsF(font).height();
        row = QRectF(area.left() + s.pad, top, area.width() - 2 * s.pad, height);
        top += height + s.gap * 0.5;
    };
    take_row(layout.title, s.title, !chart.title.empty());
    take_row(layout.subtitle, s.subtitle, !chart.subtitle.empty());
    if (!layout.legend.empty() && legend_width(layout) <= area.width() - 2 * s.pad) {
        top += s.gap * 0.5;
        take_row(layout.legend_row, s.legend, true);
    } else {
        layout.legend.clear();
    }
    top += tick.height() * 0.5 + s.gap;  // room for the top tick's label

    // From the bottom: x-axis label, tick labels.
    double bottom = area.bottom() - s.pad;
    if (!chart.x_label.empty()) {
        layout.x_label = QRectF(area.left(), bottom - label.height(), area.width(), label.height());
        bottom -= label.height() + s.gap;
    }
    bottom -= tick.height() + s.tick_length + s.gap * 0.5;

    DriftChartFrame& frame = layout.frame;
    // Without data, ten minutes and ten units; elapsed minutes do not go below zero more
    // than the room the span leaves anyway.
    const Shown& data = layout.shown;
    frame.x = shown_span(data.any ? data.x_lo : 0, data.any ? data.x_hi : 10);
    frame.y = shown_span(data.any ? data.y_lo : -5, data.any ? data.y_hi : 5);
    if (data.any && data.x_lo >= 0) {
        const double earliest = data.x_lo - (frame.x.hi - frame.x.lo) * 0.04;
        if (frame.x.lo < earliest) frame.x = {earliest, frame.x.hi + (earliest - frame.x.lo)};
    }
    // The y ticks follow from the plot's height; their labels' width sets its left edge.
    const double plot_height = std::max(1.0, bottom - top);
    layout.y_ticks = nice_ticks(frame.y, tick_target(plot_height, tick.height() * 3.2, 10));
    double left = area.left() + s.pad;
    if (!chart.y_label.empty()) {
        layout.y_label = QRectF(left, top, label.height(), plot_height);
        left += label.height() + s.gap;
    }
    left += widest_label(tick, layout.y_ticks) + s.gap * 0.5 + s.tick_length;
    const double right =
        area.right() - s.pad - tick.horizontalAdvance(QStringLiteral("00.0")) * 0.5;
    frame.plot = QRectF(left, top, std::max(1.0, right - left), plot_height);

    // Fewer x ticks until their labels stand well apart.
    for (int target = tick_target(frame.plot.width(), tick.height() * 5.5, 12);; --target) {
        layout.x_ticks = nice_ticks(frame.x, target);
        const double step_pixels =
            layout.x_ticks.step / (frame.x.hi - frame.x.lo) * frame.plot.width();
        if (target <= 2 || widest_label(tick, layout.x_ticks) + 2 * tick.height() <= step_pixels)
            break;
    }
    return layout;
}

// Thick, round-capped pens: lines read from across the room and join cleanly.
QPen pen(const QColor& colour, double width) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// Keeps far-off coordinates (a band a thousand times the plot's height) within what the
// rasteriser handles; they are outside the clip anyway.
QPointF tame(const QPointF& p, const QRectF& plot) {
    const double margin = 4 * (plot.width() + plot.height());
    return {std::clamp(p.x(), plot.left() - margin, plot.right() + margin),
            std::clamp(p.y(), plot.top() - margin, plot.bottom() + margin)};
}

// Two filled discs, no stroked outline: a ring for a flagged point, a disc with a thin
// background halo (so neighbours stay apart) for the others. Filling is several times
// cheaper than stroking a circle, which matters with hundreds of points every tick.
void draw_marker(QPainter& painter, QPointF centre, double radius, const QColor& colour,
                 bool hollow, const QColor& background) {
    painter.setPen(Qt::NoPen);
    if (hollow) {
        const double ring = std::max(1.5, radius * 0.38);
        painter.setBrush(colour);
        painter.drawEllipse(centre, radius, radius);
        painter.setBrush(background);
        painter.drawEllipse(centre, radius - ring, radius - ring);
    } else {
        const double halo = std::max(1.0, radius * 0.2);
        painter.setBrush(background);
        painter.drawEllipse(centre, radius + halo * 0.5, radius + halo * 0.5);
        painter.setBrush(colour);
        painter.drawEllipse(centre, radius - halo * 0.5, radius - halo * 0.5);
    }
}

void draw_axes(QPainter& painter, const Layout& layout, const DriftChartColours& colours) {
    const Sizes& s = layout.sizes;
    const DriftChartFrame& frame = layout.frame;
    const QRectF& plot = frame.plot;
    const QFontMetricsF tick(s.tick);
    painter.setFont(s.tick);
    painter.setBrush(Qt::NoBrush);

    for (double v : layout.x_ticks.values) {
        const double x = frame.to_pixel(v, 0).x();
        painter.setPen(pen(colours.grid, s.grid_width));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.setPen(pen(colours.axis, s.axis_width));
        painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + s.tick_length));
        painter.setPen(colours.text);
        const QString text = QString::fromStdString(tick_label(v, layout.x_ticks.step));
        const double width = tick.horizontalAdvance(text);
        painter.drawText(QRectF(x - width, plot.bottom() + s.tick_length + s.gap * 0.5, 2 * width,
                                tick.height()),
                         Qt::AlignHCenter | Qt::AlignTop, text);
    }
    for (double v : layout.y_ticks.values) {
        const double y = frame.to_pixel(0, v).y();
        painter.setPen(pen(colours.grid, s.grid_width));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(pen(colours.axis, s.axis_width));
        painter.drawLine(QPointF(plot.left() - s.tick_length, y), QPointF(plot.left(), y));
        painter.setPen(colours.text);
        const QString text = QString::fromStdString(tick_label(v, layout.y_ticks.step));
        const double right = plot.left() - s.tick_length - s.gap * 0.5;
        painter.drawText(QRectF(right - tick.horizontalAdvance(text) - s.gap, y - tick.height(),
                                tick.horizontalAdvance(text) + s.gap, 2 * tick.height()),
                         Qt::AlignRight | Qt::AlignVCenter, text);
    }

    painter.setPen(pen(colours.grid, s.grid_width));
    painter.drawLine(plot.topLeft(), plot.topRight());
    painter.drawLine(plot.topRight(), plot.bottomRight());
    painter.setPen(QPen(colours.axis, s.axis_width, Qt::SolidLine, Qt::SquareCap));
    painter.drawLine(plot.topLeft(), plot.bottomLeft());
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
}

void draw_axis_labels(QPainter& painter, const Layout& layout, const DriftChart& chart,
                      const DriftChartColours& colours) {
    const QFontMetricsF label(layout.sizes.label);
    painter.setFont(layout.sizes.label);
    painter.setPen(colours.text);
    if (!layout.x_label.isNull()) {
        const QRectF& plot = layout.frame.plot;
        const QString text = label.elidedText(QString::fromStdString(chart.x_label), Qt::ElideRight,
                                              layout.x_label.width());
        painter.drawText(
            QRectF(plot.left(), layout.x_label.top(), plot.width(), layout.x_label.height()),
            Qt::AlignCenter, text);
    }
    if (!layout.y_label.isNull()) {
        const QRectF& r = layout.y_label;
        const QString text =
            label.elidedText(QString::fromStdString(chart.y_label), Qt::ElideRight, r.height());
        painter.save();
        painter.translate(r.center());
        painter.rotate(-90);
        painter.drawText(QRectF(-r.height() / 2, -r.width() / 2, r.height(), r.width()),
                         Qt::AlignCenter, text);
        painter.restore();
    }
}

void draw_fit(QPainter& painter, const Layout& layout, const DriftChartColours& colours) {
    const FitLine& fit = *layout.shown.fit;
    const DriftChartFrame& frame = layout.frame;
    QPolygonF upper, lower;
    for (int i = 0; i <= kBandSamples; ++i) {
        const double t =
            fit.start_minutes + (fit.end_minutes - fit.start_minutes) * i / kBandSamples;
        const double half = fit_band_half_width(fit, t);
        if (!std::isfinite(half)) return;
        const double y = fit_value(fit, t);
        upper << tame(frame.to_pixel(t, y + half), frame.plot);
        lower.prepend(tame(frame.to_pixel(t, y - half), frame.plot));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(colours.band);
    painter.drawPolygon(upper + lower);
}

void draw_fit_line(QPainter& painter, const Layout& layout, const DriftChartColours& colours) {
    const FitLine& fit = *layout.shown.fit;
    painter.setPen(pen(colours.fit, layout.sizes.fit_width));
    painter.drawLine(layout.frame.to_pixel(fit.start_minutes, fit_value(fit, fit.start_minutes)),
                     layout.frame.to_pixel(fit.end_minutes, fit_value(fit, fit.end_minutes)));
}

void draw_points(QPainter& painter, const Layout& layout, int current_segment, bool current,
                 const DriftChartColours& colours) {
    for (const DriftPoint& p : layout.shown.points) {
        if ((p.segment == current_segment) != current) continue;
        draw_marker(painter, layout.frame.to_pixel(p.minutes, p.value), layout.sizes.point_radius,
                    current ? colours.current : colours.earlier, p.flagged, colours.background);
    }
}

void draw_headings(QPainter& painter, const Layout& layout, const DriftChart& chart,
                   const DriftChartColours& colours) {
    const auto line = [&](const QRectF& row, const QFont& font, const QColor& colour,
                          const std::string& text) {
        if (row.isNull()) return;
        painter.setFont(font);
        painter.setPen(colour);
        const QFontMetricsF metrics(font);
        painter.drawText(
            row, Qt::AlignCenter,
            metrics.elidedText(QString::fromStdString(text), Qt::ElideRight, row.width()));
    };
    line(layout.title, layout.sizes.title, colours.text, chart.title);
    line(layout.subtitle, layout.sizes.subtitle, colours.muted_text, chart.subtitle);
}

void draw_legend(QPainter& painter, const Layout& layout, const DriftChartColours& colours) {
    if (layout.legend.empty()) return;
    const Sizes& s = layout.sizes;
    const QFontMetricsF metrics(s.legend);
    const double swatch = metrics.height() * 1.6;
    const QRectF& row = layout.legend_row;
    double x = row.center().x() - legend_width(layout) / 2;
    const double y = row.center().y();
    painter.setFont(s.legend);
    for (const LegendEntry& e : layout.legend) {
        const QPointF centre(x + swatch / 2, y);
        switch (e.kind) {
            case LegendEntry::point:
                draw_marker(painter, centre, s.point_radius, colours.current, false,
                            colours.background);
                break;
            case LegendEntry::hollow:
                draw_marker(painter, centre, s.point_radius, colours.current, true,
                            colours.background);
                break;
            case LegendEntry::faded:
                draw_marker(painter, centre, s.point_radius, colours.earlier, false,
                            colours.background);
                break;
            case LegendEntry::fit:
                painter.setPen(Qt::NoPen);
                painter.setBrush(colours.band);
                painter.drawRect(
                    QRectF(x, y - metrics.height() * 0.4, swatch, metrics.height() * 0.8));
                painter.setPen(pen(colours.fit, s.fit_width));
                painter.drawLine(QPointF(x + s.fit_width, y), QPointF(x + swatch - s.fit_width, y));
                break;
        }
        x += swatch + s.gap;
        painter.setPen(colours.text);
        const double width = metrics.horizontalAdvance(e.text);
        painter.drawText(QRectF(x, row.top(), width + 1, row.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, e.text);
        x += width + 3 * s.gap;
    }
}

}  // namespace

QPointF DriftChartFrame::to_pixel(double minutes, double value) const {
    return {plot.left() + (minutes - x.lo) / (x.hi - x.lo) * plot.width(),
            plot.bottom() - (value - y.lo) / (y.hi - y.lo) * plot.height()};
}

DriftChartFrame drift_chart_frame(const QRectF& area, const DriftChart& chart) {
    return lay_out(area, chart).frame;
}

DriftChartColours drift_chart_colours(ChartStyle style) {
    if (style == ChartStyle::night) {
        return {QColor(0x10, 0x13, 0x17), QColor(0xe6, 0xe6, 0xe6), QColor(0xa0, 0xa4, 0xaa),
                QColor(0x2e, 0x34, 0x3c), QColor(0xb4, 0xb8, 0xbe), QColor(0x5c, 0xaa, 0xff),
                QColor(0x55, 0x5f, 0x6b), QColor(0xff, 0x7a, 0x45), QColor(0xff, 0x7a, 0x45, 90)};
    }
    return {QColor(0xff, 0xff, 0xff), QColor(0x1a, 0x1a, 0x1a), QColor(0x55, 0x55, 0x55),
            QColor(0xdd, 0xdd, 0xdd), QColor(0x33, 0x33, 0x33), QColor(0x1f, 0x5f, 0xbf),
            QColor(0xa9, 0xb4, 0xc2), QColor(0xd9, 0x48, 0x0f), QColor(0xd9, 0x48, 0x0f, 60)};
}

void paint_drift_chart(QPainter& painter, const QRectF& area, const DriftChart& chart) {
    if (!(area.width() > 0 && area.height() > 0)) return;
    const DriftChartColours colours = drift_chart_colours(chart.style);
    const Layout layout = lay_out(area, chart);
    const QRectF& plot = layout.frame.plot;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.fillRect(area, colours.background);
    draw_axes(painter, layout, colours);
    draw_axis_labels(painter, layout, chart, colours);

    painter.save();
    painter.setClipRect(plot);
    if (layout.shown.fit) draw_fit(painter, layout, colours);
    painter.restore();
    draw_points(painter, layout, chart.current_segment, false, colours);
    if (layout.shown.fit) {
        painter.save();
        painter.setClipRect(plot);
        draw_fit_line(painter, layout, colours);
        painter.restore();
    }
    draw_points(painter, layout, chart.current_segment, true, colours);

    if (layout.shown.points.empty()) {
        painter.setFont(layout.sizes.label);
        painter.setPen(colours.muted_text);
        painter.drawText(plot, Qt::AlignCenter, QString::fromStdString(chart.no_points));
    }
    draw_headings(painter, layout, chart, colours);
    draw_legend(painter, layout, colours);
    painter.restore();
}

}  // namespace trakora::chart
