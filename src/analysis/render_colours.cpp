// SPDX-License-Identifier: MIT
#include "analysis/render_colours.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "analysis/monotone_steps.hpp"

namespace trakora {

namespace {

constexpr int kWhite = 255;
constexpr std::int64_t kLowestValue = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kHighestValue = std::numeric_limits<std::int32_t>::max();

// Level spans up to this size are mapped through a table with one entry per value.
constexpr std::int64_t kMaxTableSpan = std::int64_t{1} << 20;

// The grey of a pixel value before clamping: the span from display_low to
// display_low + display_range is spread over 256 steps, rounded half up.
std::int64_t unclamped_grey(std::int64_t p, std::int32_t low, std::int32_t range) {
    return static_cast<std::int64_t>(
        std::floor(static_cast<double>(p - low) / range * 256 + 0.5));
}

// first[g] is the smallest pixel value whose grey is g or more, for g = 1..255;
// first[0] and first[256] close the ends.
using GreyStarts = std::array<std::int64_t, kWhite + 2>;

GreyStarts grey_starts(std::int32_t low, std::int32_t range) {
    GreyStarts first{};
    first[0] = kLowestValue;
    for (int g = 1; g <= kWhite; ++g) {
        first[static_cast<std::size_t>(g)] = first_reaching(
            [low, range](std::int64_t p) { return unclamped_grey(p, low, range); }, g,
            first[static_cast<std::size_t>(g - 1)], kHighestValue);
    }
    first[kWhite + 1] = kHighestValue + 2;
    return first;
}

// Greys through a table over the values between black and white.
class TableGrey {
public:
    explicit TableGrey(const GreyStarts& first)
        : base_(first[1] - 1), top_(first[kWhite]), table_(static_cast<std::size_t>(top_ - base_) + 1) {
        for (int g = 1; g <= kWhite; ++g) {
            const std::int64_t from = first[static_cast<std::size_t>(g)] - base_;
            const std::int64_t to = std::min(first[static_cast<std::size_t>(g) + 1], top_ + 1) - base_;
            std::fill(table_.begin() + from, table_.begin() + std::max(from, to), static_cast<std::uint8_t>(g));
        }
    }
    std::uint32_t operator()(std::int32_t p) const {
        const std::int64_t v = std::clamp<std::int64_t>(p, base_, top_);
        return table_[static_cast<std::size_t>(v - base_)];
    }

private:
    std::int64_t base_;
    std::int64_t top_;
    std::vector<std::uint8_t> table_;
};

// Greys for wide level spans: an estimate by scaling, settled on the exact grey starts.
class ScaledGrey {
public:
    ScaledGrey(const GreyStarts& first, std::int32_t low, std::int32_t range)
        : first_(first), low_(low), scale_(256.0 / range) {}
    std::uint32_t operator()(std::int32_t p) const {
        const double estimate = std::clamp(static_cast<double>(std::int64_t{p} - low_) * scale_ + 0.5, 0.0,
                                           static_cast<double>(kWhite));
        auto g = static_cast<std::size_t>(estimate);
        while (g < kWhite && p >= first_[g + 1]) ++g;
        while (g > 0 && p < first_[g]) --g;
        return static_cast<std::uint32_t>(g);
    }

private:
    const GreyStarts& first_;
    std::int32_t low_;
    double scale_;
};

template <class Grey>
void paint(State& s, int width, int height, const Grey& grey) {
    std::uint32_t* out = s.object_picture.data();
    const bool colour = s.image_planes == 3;
    for (int y = 0; y < height; ++y) {
        std::uint32_t* dst = out + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        const std::int32_t* red = s.image_pixels.row(y, 0);
        if (colour) {
            const std::int32_t* green = s.image_pixels.row(y, 1);
            const std::int32_t* blue = s.image_pixels.row(y, 2);
            for (int x = 0; x < width; ++x) {
                dst[x] = grey(red[x]) | grey(green[x]) << 8 | grey(blue[x]) << 16 | kOpaque;
            }
        } else {
            for (int x = 0; x < width; ++x) dst[x] = grey(red[x]) * 0x010101u | kOpaque;
        }
    }
}

}  // namespace

void render_colours(State& s) {
    const int width = pixel_extent(s.image_width);
    const int height = pixel_extent(s.image_height);
    s.object_picture_width = width;
    s.object_picture_height = height;
    if (width == 0 || height == 0) return;

    // The levels guarantee a range of at least 1; one set from outside may not keep it,
    // and a range of 0 or below would divide by zero or turn the scale over.
    const std::int32_t low = s.display_low;
    const std::int32_t range = std::max<std::int32_t>(s.display_range, 1);
    const GreyStarts first = grey_starts(low, range);
    if (first[kWhite] - first[1] < kMaxTableSpan) {
        paint(s, width, height, TableGrey(first));
    } else {
        paint(s, width, height, ScaledGrey(first, low, range));
    }
}

}  // namespace trakora
