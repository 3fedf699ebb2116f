// SPDX-License-Identifier: MIT
#include "web/cutout_png.hpp"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <vector>

namespace trakora::web {

QByteArray cutout_png(const KnobAdjusting& k) {
    const AdjustCutout& c = k.cutout;
    if (c.width <= 0 || c.height <= 0 ||
        c.cells.size() < static_cast<std::size_t>(c.width) * static_cast<std::size_t>(c.height))
        return {};
    // The sky's background is black and the brightest cell white, so that the picture
    // stays dark at night (a stretch from the darkest cell lit the whole sky grey).
    // Cells off the image count 0 and are left out of the background.
    std::vector<std::int32_t> sky;
    std::copy_if(c.cells.begin(), c.cells.end(), std::back_inserter(sky),
                 [](std::int32_t v) { return v != 0; });
    double background = 0;
    if (!sky.empty()) {
        const auto middle = sky.begin() + static_cast<std::ptrdiff_t>(sky.size() / 2);
        std::nth_element(sky.begin(), middle, sky.end());
        background = *middle;
    }
    const double high = *std::max_element(c.cells.begin(), c.cells.end());
    const double range = std::max(1.0, high - background);
    constexpr int kZoom = 3;
    QImage cells(c.width, c.height, QImage::Format_Grayscale8);
    for (int y = 0; y < c.height; ++y) {
        uchar* row = cells.scanLine(y);
        for (int x = 0; x < c.width; ++x) {
            const double v = std::clamp(
                (c.cells[static_cast<std::size_t>(y * c.width + x)] - background) / range, 0.0,
                1.0);
            row[x] = static_cast<uchar>(std::lround(255 * std::sqrt(v)));
        }
    }
    QImage picture =
        cells.scaled(c.width * kZoom, c.height * kZoom).convertToFormat(QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    // Image pixels to the picture's: cell (0, 0)'s corner at x0, y0, `step` pixels a cell.
    const auto at = [&](Position p) {
        return QPointF((p.x + 0.5 - c.x0) / c.step * kZoom, (p.y + 0.5 - c.y0) / c.step * kZoom);
    };
    const double ring = 4.0 * kZoom;
    painter.setPen(QPen(QColor(255, 170, 0), 2));
    painter.drawEllipse(at(k.anchor), ring, ring);
    painter.setPen(QPen(QColor(0, 220, 90), 2));
    const QPointF target = at(k.target);
    painter.drawEllipse(target, ring, ring);
    painter.drawLine(target - QPointF(ring * 1.6, 0), target + QPointF(ring * 1.6, 0));
    painter.drawLine(target - QPointF(0, ring * 1.6), target + QPointF(0, ring * 1.6));
    if (!k.lost) {
        painter.setPen(QPen(QColor(255, 60, 60), 2));
        painter.drawEllipse(at(k.star), ring / 2, ring / 2);
    }
    painter.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return png;
}

}  // namespace trakora::web
