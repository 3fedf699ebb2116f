// SPDX-License-Identifier: MIT
// A read-only look at one plane of an image: whole pixels at columns 0..width-1 and rows
// 0..height-1, rows `stride` values apart. It owns nothing; the image outlives it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace trakora {

struct PlaneView {
    const std::int32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;

    std::int32_t at(int x, int y) const {
        return pixels[static_cast<std::ptrdiff_t>(y) * stride + x];
    }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

}  // namespace trakora
