// SPDX-License-Identifier: MIT
#include "core/view.hpp"

namespace trakora {

void View::open_object_window(const std::string& title, double scale_width, double scale_height,
                              const PictureImage& image) {
    object_window_open_ = true;
    scale_width_ = scale_width;
    scale_height_ = scale_height;
    object_picture_ = image;
    present_object_window(title, scale_width, scale_height, image);
}

void View::close_object_window() {
    object_window_open_ = false;
    hide_object_window();
}

void View::draw_object_line(float x1, float y1, float x2, float y2, std::uint32_t colour) {
    if (object_window_open()) draw_object_picture_line(x1, y1, x2, y2, colour);
}

}  // namespace trakora
