// SPDX-License-Identifier: MIT
// Reading a painted picture back in the charts' tests.
#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <cmath>

namespace trakora::chart {

// The pixel a point of the picture's coordinates falls in.
inline QColor pixel_at(const QImage& image, QPointF p) {
    return image.pixelColor(static_cast<int>(std::floor(p.x())),
                            static_cast<int>(std::floor(p.y())));
}

// Whether a pixel of `colour` lies within `reach` pixels (a square) of `centre`.
inline bool any_pixel_of(const QImage& image, QPointF centre, int reach, QColor colour) {
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx)
            if (pixel_at(image, centre + QPointF(dx, dy)) == colour) return true;
    return false;
}

}  // namespace trakora::chart
