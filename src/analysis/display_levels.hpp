// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>

#include "base/image_buffer.hpp"
#include "base/plane_view.hpp"

namespace trakora {

inline constexpr int kHistogramBins = 301;
using DisplayHistogram = std::array<std::int64_t, kHistogramBins>;

// The black level and the span from black to white.
struct DisplayLevels {
    std::int32_t low = 0;
    std::int32_t range = 0;
};

// The histogram the levels are chosen from: pixel counts of `plane` in 301 bins from
// range.min (bin 0) to range.max (bin 300), bins 0 and 300 half as wide as the others.
// Pixels outside the range are not counted; a flat image (or a minimum above the
// maximum) gives an empty histogram.
DisplayHistogram display_histogram(const PlaneView& plane, PixelRange range);

// The levels for `plane` whose values span `range`: the background bin is the most
// populated one, and the levels are where the smoothed histogram falls below a tenth of
// it. A level the histogram does not settle stays as in `current`; the range is at
// least 1.
DisplayLevels choose_display_levels(const PlaneView& plane, PixelRange range,
                                    DisplayLevels current);

}  // namespace trakora
