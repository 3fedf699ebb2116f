// SPDX-License-Identifier: MIT
// Large buffers allocated once per run: the image buffer and the rendered picture.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "base/plane_view.hpp"

namespace trakora {

inline constexpr int kBufferSide = 3073;  // columns and rows of the image buffer
inline constexpr int kPlanes = 3;

// The number of whole pixels a size covers: columns 0, 1, ... while x <= size - 1,
// never more than the buffer holds. Fractional sizes count their whole part; sizes of
// 0 or less cover nothing.
inline int pixel_extent(double size) {
    if (!(size >= 1)) return 0;
    if (size >= kBufferSide) return kBufferSide;
    return static_cast<int>(std::floor(size));
}

// The smallest and largest pixel value of an image. The reader starts from max = -1, so
// the maximum never ends below -1; a range whose minimum lies above its maximum holds
// nothing.
struct PixelRange {
    std::int32_t min = 2147483647;
    std::int32_t max = -1;
};

struct FreeDeleter {
    void operator()(void* p) const noexcept;
};

// Zeroed memory from the system: pages are only mapped when first written, so a run
// that reads small images never pays for the whole buffer.
void* allocate_zeroed(std::size_t bytes);

// image_pixels: signed 32-bit values at column x, row y, plane p; x varies fastest,
// then y, then p. Rows are kBufferSide values apart whatever the image's width.
class ImageBuffer {
  public:
    static constexpr std::size_t kRowStride = kBufferSide;
    static constexpr std::size_t kPlaneStride = kRowStride * kBufferSide;
    static constexpr std::size_t kValues = kPlaneStride * kPlanes;

    ImageBuffer()
        : data_(static_cast<std::int32_t*>(allocate_zeroed(kValues * sizeof(std::int32_t)))) {}

    std::int32_t& at(int x, int y, int p) { return data_.get()[index(x, y, p)]; }
    std::int32_t at(int x, int y, int p) const { return data_.get()[index(x, y, p)]; }
    std::int32_t* row(int y, int p) { return data_.get() + index(0, y, p); }
    const std::int32_t* row(int y, int p) const { return data_.get() + index(0, y, p); }
    std::int32_t* data() { return data_.get(); }
    const std::int32_t* data() const { return data_.get(); }

    // Plane p as a view of its first `width` columns and `height` rows.
    PlaneView plane(int p, int width, int height) const {
        return PlaneView{row(0, p), width, height, static_cast<std::ptrdiff_t>(kRowStride)};
    }

    static std::size_t index(int x, int y, int p) {
        return static_cast<std::size_t>(p) * kPlaneStride +
               static_cast<std::size_t>(y) * kRowStride + static_cast<std::size_t>(x);
    }

  private:
    std::unique_ptr<std::int32_t[], FreeDeleter> data_;
};

// Colour values as the object window paints them: red + 256 * green + 65536 * blue,
// with 0xFF in the top byte so the same memory is an opaque RGBX image on screen.
// Mask with 0xFFFFFF for the plain colour value.
inline constexpr std::uint32_t kOpaque = 0xFF000000u;

class ColourBuffer {
  public:
    static constexpr std::size_t kValues = static_cast<std::size_t>(kBufferSide) * kBufferSide;
    ColourBuffer()
        : data_(static_cast<std::uint32_t*>(allocate_zeroed(kValues * sizeof(std::uint32_t)))) {}
    std::uint32_t* data() { return data_.get(); }
    const std::uint32_t* data() const { return data_.get(); }

  private:
    std::unique_ptr<std::uint32_t[], FreeDeleter> data_;
};

}  // namespace trakora
