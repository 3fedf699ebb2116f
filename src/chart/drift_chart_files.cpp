// SPDX-License-Identifier: MIT
#include "chart/drift_chart_files.hpp"

#include <QPainter>

#include "chart/drift_chart_painter.hpp"
#include "chart/picture_files.hpp"

namespace trakora::chart {

namespace {

PaintPicture painting(const DriftChart& chart) {
    return [&chart](QPainter& painter, const QRectF& area) {
        paint_drift_chart(painter, area, chart);
    };
}

PictureText text_of(const DriftChart& chart) { return {chart.title, chart.subtitle}; }

}  // namespace

bool write_drift_chart(const std::string& path, const DriftChart& chart, QSize size,
                       std::string* error) {
    return write_picture(path, size, text_of(chart), painting(chart), error);
}

}  // namespace trakora::chart
