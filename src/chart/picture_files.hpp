// SPDX-License-Identifier: MIT
// A painted picture as a PNG or an SVG file: the one way the charts reach the disk. It
// paints into a temporary file in the target's folder and renames it over the target, so
// a watcher never sees half a file and a failed write leaves nothing behind. It needs a
// QGuiApplication (see chart_gui_guard.hpp); without one it fails with a message. On failure
// `error`, when given, receives an English sentence naming the file.
//
//   write_picture(path, size, {title, subtitle},
//                 [&](QPainter& p, const QRectF& area) { paint_it(p, area, it); }, &error);
#pragma once

#include <QRectF>
#include <QSize>
#include <functional>
#include <string>

class QPainter;

namespace trakora::chart {

// Paints the whole picture into `area` (the file's size, from the origin).
using PaintPicture = std::function<void(QPainter&, const QRectF& area)>;

// What an SVG says about itself.
struct PictureText {
    std::string title;
    std::string description;
};

// PNG or SVG by the path's extension (".png", ".svg", in any case); any other extension,
// or none, is refused before anything is written.
bool write_picture(const std::string& path, QSize size, const PictureText& text,
                   const PaintPicture& paint, std::string* error);

}  // namespace trakora::chart
