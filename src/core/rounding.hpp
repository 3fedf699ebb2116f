// SPDX-License-Identifier: MIT
#pragma once

#include <cmath>

namespace trakora {

// Nearest whole number, halves to the even neighbour (2.5 gives 2, 3.5 gives 4), whatever
// the floating-point environment's rounding mode.
inline double round_half_even(double v) {
    const double r = std::round(v);  // halves away from zero
    if (std::fabs(v - std::trunc(v)) == 0.5) return 2.0 * std::round(v / 2.0);
    return r;
}

// The image routines' rounding: halves go up.
inline double round_half_up(double v) { return std::floor(v + 0.5); }

}  // namespace trakora
