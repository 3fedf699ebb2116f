// SPDX-License-Identifier: MIT
// Paints the drift chart with a QPainter: into a widget, a QImage or an SVG generator.
// Text needs a QGuiApplication (see chart_gui_guard.hpp).
//
// Usage:
//   void DriftView::paintEvent(QPaintEvent*) {
//       QPainter painter(this);
//       chart::paint_drift_chart(painter, rect(), chart_);
//   }
#pragma once

#include <QColor>
#include <QPointF>
#include <QRectF>

#include "chart/axis_ticks.hpp"
#include "chart/drift_chart.hpp"

class QPainter;

namespace trakora::chart {

// Fills `area` with the background and draws the whole chart inside it, every size
// following the area's, so it reads the same in a small window and a large file.
void paint_drift_chart(QPainter& painter, const QRectF& area, const DriftChart& chart);

// Where the data lands: the plot's rectangle in painter coordinates and the spans of
// minutes and values it shows. For a widget that maps a click or a tooltip back to a point.
struct DriftChartFrame {
    QRectF plot;
    AxisSpan x;
    AxisSpan y;
    QPointF to_pixel(double minutes, double value) const;
};
DriftChartFrame drift_chart_frame(const QRectF& area, const DriftChart& chart);

struct DriftChartColours {
    QColor background;
    QColor text;
    QColor muted_text;
    QColor grid;
    QColor axis;
    QColor current;  // points of the current segment
    QColor earlier;  // points of the other segments
    QColor fit;      // the fit line; the band is the same colour, translucent
    QColor band;
};
DriftChartColours drift_chart_colours(ChartStyle style);

}  // namespace trakora::chart
