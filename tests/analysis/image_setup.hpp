// SPDX-License-Identifier: MIT
// Small helpers for the analysis tests: a state with default values and images painted
// into it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "core/state.hpp"

namespace trakora::testing_support {

// The image buffers are large, so the tests share two states (a second one for
// comparisons) rather than allocate one per case; each use starts from the values a
// new state has. Buffer contents are not cleared: every test paints the region it uses.
inline State* fresh_state(int which = 0) {
    static std::unique_ptr<State> states[2];
    auto& s = states[which];
    if (!s) s = std::make_unique<State>();
    s->object_x = s->object_y = 0;
    s->image_width = s->image_height = s->image_planes = 0;
    s->pixel_min = s->pixel_max = 0;
    s->display_low = s->display_range = 0;
    s->object_picture_width = s->object_picture_height = 0;
    return s.get();
}

// Sets the image size and fills plane `plane` of columns 0..width-1, rows 0..height-1
// with value(x, y).
inline void paint_plane(State& s, int width, int height, int plane,
                        const std::function<std::int32_t(int, int)>& value) {
    s.image_width = width;
    s.image_height = height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) s.image_pixels.at(x, y, plane) = value(x, y);
    }
}

inline void paint_uniform(State& s, int width, int height, std::int32_t v) {
    paint_plane(s, width, height, 0, [v](int, int) { return v; });
}

// Sets pixel_min and pixel_max over plane 0 of the current image, as the reader would.
inline void set_extremes(State& s) {
    const int width = pixel_extent(s.image_width);
    const int height = pixel_extent(s.image_height);
    std::int32_t lo = s.image_pixels.at(0, 0, 0);
    std::int32_t hi = lo;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::int32_t p = s.image_pixels.at(x, y, 0);
            lo = p < lo ? p : lo;
            hi = p > hi ? p : hi;
        }
    }
    s.pixel_min = lo;
    s.pixel_max = hi;
}

}  // namespace trakora::testing_support
