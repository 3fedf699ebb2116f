// SPDX-License-Identifier: MIT
#include "chart/pole_target_files.hpp"

#include <QPainter>

#include "chart/picture_files.hpp"

namespace trakora::chart {

namespace {

PaintPicture painting(const PoleTarget& target) {
    return [&target](QPainter& painter, const QRectF& area) {
        paint_pole_target(painter, area, target);
    };
}

PictureText text_of(const PoleTarget& target) { return {target.title, target.subtitle}; }

}  // namespace

bool write_pole_target(const std::string& path, const PoleTarget& target, QSize size,
                       std::string* error) {
    return write_picture(path, size, text_of(target), painting(target), error);
}

}  // namespace trakora::chart
