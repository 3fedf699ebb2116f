// SPDX-License-Identifier: MIT
// A small image owned by an analysis test, sized to the case, with plane views over it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "base/image_buffer.hpp"
#include "base/plane_view.hpp"

namespace trakora::testing_support {

// width x height pixels in `planes` planes. Rows are a few values longer than the image
// is wide, and the spare values hold a conspicuous value, so a routine that steps rows
// by the width instead of the stride (or reads past the width) gives a wrong result.
class TestImage {
  public:
    static constexpr int kSpare = 3;
    static constexpr std::int32_t kSpareValue = 0x5A5A5A5A;

    TestImage(int width, int height, int planes = 1)
        : width_(width),
          height_(height),
          planes_(planes),
          stride_(width + kSpare),
          pixels_(static_cast<std::size_t>(stride_) * static_cast<std::size_t>(height) *
                      static_cast<std::size_t>(planes),
                  kSpareValue) {
        for (int p = 0; p < planes; ++p) fill(p, [](int, int) { return 0; });
    }

    int planes() const { return planes_; }

    std::int32_t& at(int x, int y, int p = 0) { return pixels_[index(x, y, p)]; }
    std::int32_t at(int x, int y, int p = 0) const { return pixels_[index(x, y, p)]; }

    // Plane p, or its first `width` columns and `height` rows.
    PlaneView plane(int p = 0) const { return plane(p, width_, height_); }
    PlaneView plane(int p, int width, int height) const {
        return PlaneView{pixels_.data() + index(0, 0, p), width, height, stride_};
    }

    // Sets plane p at column x, row y to value(x, y), row by row.
    void fill(int p, const std::function<std::int32_t(int, int)>& value) {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) at(x, y, p) = value(x, y);
    }

  private:
    std::size_t index(int x, int y, int p) const {
        return (static_cast<std::size_t>(p) * static_cast<std::size_t>(height_) +
                static_cast<std::size_t>(y)) *
                   static_cast<std::size_t>(stride_) +
               static_cast<std::size_t>(x);
    }

    int width_;
    int height_;
    int planes_;
    std::ptrdiff_t stride_;
    std::vector<std::int32_t> pixels_;
};

// The smallest and largest value of a plane, as the reader would report them.
inline PixelRange extremes(const PlaneView& plane) {
    PixelRange r{plane.at(0, 0), plane.at(0, 0)};
    for (int y = 0; y < plane.height; ++y) {
        for (int x = 0; x < plane.width; ++x) {
            r.min = std::min(r.min, plane.at(x, y));
            r.max = std::max(r.max, plane.at(x, y));
        }
    }
    return r;
}

}  // namespace trakora::testing_support
