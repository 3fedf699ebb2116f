// SPDX-License-Identifier: MIT
#include "ui/crosshair_icon.hpp"

#include <QPixmap>

namespace trakora::ui {

namespace {

bool on_arm(int along, int across) {
    const bool in_bar = across == 15 || across == 16;
    const bool first_arm = along >= 6 && along <= 13;
    const bool second_arm = along >= 18 && along <= 25;
    return in_bar && (first_arm || second_arm);
}

}  // namespace

bool crosshair_pixel_is_red(int column, int row) {
    return on_arm(row, column) || on_arm(column, row);
}

QImage crosshair_image() {
    QImage image(kCrosshairSide, kCrosshairSide, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int row = 0; row < kCrosshairSide; ++row) {
        for (int column = 0; column < kCrosshairSide; ++column) {
            if (crosshair_pixel_is_red(column, row))
                image.setPixel(column, row, qRgba(255, 0, 0, 255));
        }
    }
    return image;
}

QIcon crosshair_icon() { return QIcon(QPixmap::fromImage(crosshair_image())); }

QCursor crosshair_cursor() {
    return QCursor(QPixmap::fromImage(crosshair_image()), kCrosshairHotSpot, kCrosshairHotSpot);
}

}  // namespace trakora::ui
