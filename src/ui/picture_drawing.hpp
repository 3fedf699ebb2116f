// SPDX-License-Identifier: MIT
// Drawing on a picture's persistent surface: from drawing coordinates to device pixels,
// and pixel-exact lines and points. Shared by the plot picture and the object picture.
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <cmath>
#include <cstdint>

namespace trakora::ui {

// Coordinates further out than this are drawn at this distance: far enough to be off
// any picture, near enough for integer arithmetic to stay exact.
inline constexpr int kFarPixel = 1 << 20;

// The pixel (column or row) whose square holds `coord` on a picture whose `pixels`
// span `scale` units. A coordinate on a pixel border belongs to the pixel after it, so
// the drawing coordinate of a pixel's top-left corner names that pixel.
inline int device_pixel(double coord, double scale, int pixels) {
    const double d = coord * pixels / scale;
    if (!(d > -kFarPixel)) return -kFarPixel;
    if (d > kFarPixel) return kFarPixel;
    return static_cast<int>(std::floor(d));
}

// Colour value red + 256 * green + 65536 * blue; the top byte is ignored.
inline QColor colour_from_value(std::uint32_t value) {
    return QColor(static_cast<int>(value & 0xFFu), static_cast<int>((value >> 8) & 0xFFu),
                  static_cast<int>((value >> 16) & 0xFFu));
}

// A line of `width` pixels whose centre runs from the centre of pixel `from` to the centre
// of pixel `to`; the ends are square, reaching width / 2 pixels past both end pixels, so a
// line is a trail of width x width squares. Antialiasing is off: every pixel is either
// the colour or untouched.
void draw_pixel_line(QImage& surface, QPoint from, QPoint to, int width, QColor colour);

// A filled width x width square centred on pixel `at` (width odd).
void draw_pixel_dot(QImage& surface, QPoint at, int width, QColor colour);

}  // namespace trakora::ui
