// SPDX-License-Identifier: MIT
// Step functions of a whole-number value that never decrease (histogram bin, grey level)
// are evaluated per pixel through the values at which they step up. Finding those values
// with the exact formula makes a table or a few integer compares agree with the formula
// for every value, without evaluating it per pixel.
#pragma once

#include <cstdint>

namespace trakora {

// The smallest v in [lo, hi] with step(v) >= target, or hi + 1 when there is none.
// step must never decrease over [lo, hi].
template <class Step>
std::int64_t first_reaching(Step step, int target, std::int64_t lo, std::int64_t hi) {
    std::int64_t end = hi + 1;
    while (lo < end) {
        const std::int64_t mid = lo + (end - lo) / 2;
        if (step(mid) >= target) {
            end = mid;
        } else {
            lo = mid + 1;
        }
    }
    return lo;
}

}  // namespace trakora
