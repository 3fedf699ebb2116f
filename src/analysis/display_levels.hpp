// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>

#include "core/state.hpp"

namespace trakora {

inline constexpr int kHistogramBins = 301;
using DisplayHistogram = std::array<std::int64_t, kHistogramBins>;

// The histogram the levels are chosen from: plane-0 pixel counts in 301 bins from
// pixel_min (bin 0) to pixel_max (bin 300), bins 0 and 300 half as wide as the others.
// Pixels outside [pixel_min, pixel_max] are not counted; a flat image (or a minimum
// above the maximum) gives an empty histogram.
DisplayHistogram display_histogram(const State& s);

// Sets display_low and display_range (the black level, and white minus black) from the
// histogram of plane 0 of the current image: the background bin is the most populated
// one, and the levels are where the smoothed histogram falls below a tenth of it.
void compute_display_levels(State& s);

}  // namespace trakora
