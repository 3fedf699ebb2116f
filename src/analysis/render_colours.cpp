// SPDX-License-Identifier: MIT
#include "analysis/render_colours.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "analysis/monotone_steps.hpp"
#include "base/image_buffer.hpp"
#include "base/rounding.hpp"

namespace trakora {

namespace {

constexpr int kTopGrey = 255;
constexpr std::int64_t kLowestValue = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kHighestValue = std::numeric_limits<std::int32_t>::max();

// The grey of a pixel value before clamping: the span from display_low to
// display_low + display_range is spread over 256 steps, rounded half up.
std::int64_t unclamped_grey(std::int64_t p, std::int32_t low, std::int32_t range) {
    return static_cast<std::int64_t>(round_half_up(static_cast<double>(p - low) / range * 256));
}

// first[g] is the smallest pixel value whose grey is g or more, for g = 1..255 (one
// past the largest 32-bit value when no value reaches g).
using GreyStarts = std::array<std::int64_t, kTopGrey + 1>;

GreyStarts grey_starts(std::int32_t low, std::int32_t range) {
    GreyStarts first{};
    first[0] = kLowestValue;
    for (int g = 1; g <= kTopGrey; ++g) {
        first[static_cast<std::size_t>(g)] =
            first_reaching([low, range](std::int64_t p) { return unclamped_grey(p, low, range); },
                           g, first[static_cast<std::size_t>(g - 1)], kHighestValue);
    }
    return first;
}

// Greys of every 32-bit value, looked up by the value's offset from `base_` after
// clamping it to [base_, top_]; the clamp changes no grey, as every value below base_
// is black and every value above top_ is white.
class GreyOf {
  public:
    explicit GreyOf(const GreyStarts& first)
        : base_(static_cast<std::int32_t>(std::max(first[1] - 1, kLowestValue))),
          top_(static_cast<std::int32_t>(std::min(first[kTopGrey], kHighestValue))),
          steps_(offsets(first, base_, top_), kTopGrey, std::int64_t{top_} - base_) {}

    std::uint32_t operator()(std::int32_t p) const {
        // The offset can exceed 31 bits; unsigned arithmetic holds it exactly.
        return steps_(static_cast<std::uint32_t>(std::clamp(p, base_, top_)) -
                      static_cast<std::uint32_t>(base_));
    }

    std::int32_t base() const { return base_; }
    std::int32_t top() const { return top_; }

  private:
    static std::array<std::int64_t, kTopGrey + 2> offsets(const GreyStarts& first,
                                                          std::int32_t base, std::int32_t top) {
        std::array<std::int64_t, kTopGrey + 2> starts{};
        const std::int64_t span = std::int64_t{top} - base;
        for (int g = 1; g <= kTopGrey; ++g) {
            starts[static_cast<std::size_t>(g)] =
                std::min(first[static_cast<std::size_t>(g)] - base, span + 1);
        }
        starts[kTopGrey + 1] = span + 1;
        return starts;
    }

    std::int32_t base_;
    std::int32_t top_;
    StepCells steps_;
};

// For the usual narrow ranges: the grey of every value between base and top in a table.
class GreyTable {
  public:
    static constexpr std::int64_t kMaxSpan = std::int64_t{1} << 16;

    explicit GreyTable(const GreyOf& grey) : base_(grey.base()), top_(grey.top()) {
        table_.resize(static_cast<std::size_t>(std::int64_t{top_} - base_) + 1);
        for (std::int64_t p = base_; p <= top_; ++p) {
            table_[static_cast<std::size_t>(p - base_)] =
                static_cast<std::uint8_t>(grey(static_cast<std::int32_t>(p)));
        }
    }

    std::uint32_t operator()(std::int32_t p) const {
        return table_[static_cast<std::uint32_t>(std::clamp(p, base_, top_)) -
                      static_cast<std::uint32_t>(base_)];
    }

  private:
    std::int32_t base_;
    std::int32_t top_;
    std::vector<std::uint8_t> table_;
};

template <class Grey>
void paint(std::span<const PlaneView> planes, const Grey& grey, std::uint32_t* out) {
    const PlaneView& red_plane = planes[0];
    const int width = red_plane.width;
    const bool colour = planes.size() == 3;
    for (int y = 0; y < red_plane.height; ++y) {
        std::uint32_t* dst = out + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        const std::int32_t* red = red_plane.pixels + y * red_plane.stride;
        if (colour) {
            const std::int32_t* green = planes[1].pixels + y * planes[1].stride;
            const std::int32_t* blue = planes[2].pixels + y * planes[2].stride;
            for (int x = 0; x < width; ++x) {
                dst[x] = grey(red[x]) | grey(green[x]) << 8 | grey(blue[x]) << 16 | kOpaque;
            }
        } else {
            for (int x = 0; x < width; ++x) dst[x] = grey(red[x]) * 0x010101u | kOpaque;
        }
    }
}

}  // namespace

void render_colours(std::span<const PlaneView> planes, DisplayLevels levels, std::uint32_t* out) {
    if (planes.empty() || planes[0].width <= 0 || planes[0].height <= 0) return;

    // The levels guarantee a range of at least 1; one set from outside may not keep it,
    // and a range of 0 or below would divide by zero or turn the scale over.
    const std::int32_t range = std::max<std::int32_t>(levels.range, 1);
    const GreyOf grey(grey_starts(levels.low, range));
    if (std::int64_t{grey.top()} - grey.base() < GreyTable::kMaxSpan) {
        paint(planes, GreyTable(grey), out);
    } else {
        paint(planes, grey, out);
    }
}

}  // namespace trakora
