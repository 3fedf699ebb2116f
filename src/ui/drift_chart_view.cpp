// SPDX-License-Identifier: MIT
#include "ui/drift_chart_view.hpp"

#include <QPainter>
#include <utility>

#include "chart/drift_chart_painter.hpp"

namespace trakora::ui {

DriftChartView::DriftChartView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void DriftChartView::set_chart(chart::DriftChart chart) {
    chart_ = std::move(chart);
    update();
}

QSize DriftChartView::sizeHint() const {
    const int em = fontMetrics().height();
    return {36 * em, 20 * em};
}

QSize DriftChartView::minimumSizeHint() const {
    const int em = fontMetrics().height();
    return {20 * em, 12 * em};
}

void DriftChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    chart::paint_drift_chart(painter, QRectF(rect()), chart_);
}

}  // namespace trakora::ui
