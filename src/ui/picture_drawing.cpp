// SPDX-License-Identifier: MIT
#include "ui/picture_drawing.hpp"

#include <QPainter>
#include <QPen>

namespace trakora::ui {

void draw_pixel_line(QImage& surface, QPoint from, QPoint to, int width, QColor colour) {
    // Level and upright lines (all the program draws) are exact rectangles; the painter's
    // thin-line rasteriser would place them by its own rounding.
    if (from.x() == to.x() || from.y() == to.y()) {
        const int half = width / 2;
        const QRect span = QRect(from, to).normalized();
        QPainter painter(&surface);
        painter.fillRect(span.adjusted(-half, -half, width - 1 - half, width - 1 - half), colour);
        return;
    }
    QPainter painter(&surface);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(colour);
    pen.setWidth(width);
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    // Pixel centres sit at .5; the pen's edges then fall on pixel borders.
    painter.drawLine(QPointF(from) + QPointF(0.5, 0.5), QPointF(to) + QPointF(0.5, 0.5));
}

void draw_pixel_dot(QImage& surface, QPoint at, int width, QColor colour) {
    QPainter painter(&surface);
    const int half = width / 2;
    painter.fillRect(QRect(at.x() - half, at.y() - half, width, width), colour);
}

}  // namespace trakora::ui
