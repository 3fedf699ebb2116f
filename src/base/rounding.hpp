// SPDX-License-Identifier: MIT
// Rounding, in one place. The program rounds to the nearest whole number and settles a
// half in one of two ways:
//   - half to even (2.5 gives 2, 3.5 gives 4) for whole numbers taken from text or from
//     stored samples: the count and interval boxes, FITS samples, array positions;
//   - half up (2.5 gives 3, -2.5 gives -2) for positions and levels the image routines
//     compute: a picked pixel, a histogram bin, a grey level, a point of the drift plot.
// Neither depends on the floating-point environment's rounding mode.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace trakora {

inline double round_half_even(double v) {
    const double r = std::round(v);  // halves away from zero
    if (std::fabs(v - std::trunc(v)) == 0.5) return 2.0 * std::round(v / 2.0);
    return r;
}

inline double round_half_up(double v) { return std::floor(v + 0.5); }

namespace rounding_detail {
// Adding and taking away 2^52 leaves the magnitude rounded half to even; unlike
// nearbyint this needs no library call, so conversion loops stay plain instructions.
inline std::int32_t round_in_range(double value) {
    const double magnitude = std::fabs(value);
    const double rounded = (magnitude + 0x1p52) - 0x1p52;
    return static_cast<std::int32_t>(value < 0 ? -rounded : rounded);
}
}  // namespace rounding_detail

// Half to even into a signed 32-bit value: values beyond its range saturate to its ends,
// NaN gives 0. (2147483647.5 rounds to 2^31, out of range; -2147483648.5 to -2^31, in.)
inline std::int32_t round_to_int32(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.5) return std::numeric_limits<std::int32_t>::max();
    if (value < -2147483648.5) return std::numeric_limits<std::int32_t>::min();
    return rounding_detail::round_in_range(value);
}

inline std::int32_t round_to_int32(float value) {
    if (std::isnan(value)) return 0;
    if (value >= 0x1p31f) return std::numeric_limits<std::int32_t>::max();
    if (value < -0x1p31f) return std::numeric_limits<std::int32_t>::min();
    // Floats of 2^23 and more are whole already.
    const float magnitude = std::fabs(value);
    const float rounded = magnitude < 0x1p23f ? (magnitude + 0x1p23f) - 0x1p23f : magnitude;
    return static_cast<std::int32_t>(value < 0 ? -rounded : rounded);
}

}  // namespace trakora
