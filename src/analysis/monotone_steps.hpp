// SPDX-License-Identifier: MIT
// Step functions of a whole-number value that never decrease (histogram bin, grey level)
// are evaluated per pixel through the values at which they step up. Those values are
// found once with the exact formula, so the per-pixel work agrees with the formula for
// every value without evaluating it.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

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

// Maps offsets 0..span (span below 2^32) to step numbers with one small table lookup and
// one compare.
//
// Offsets are grouped into cells of 2^shift values, no wider than the narrowest inner
// step, so a cell holds at most one step start besides its own first offset: the step
// of an offset is the step at its cell's start, plus one past that start. The table
// has about four cells per step whatever the span, and stays in the fastest cache.
class StepCells {
public:
    // starts[k] is the first offset of step k, for k = 0..steps; starts[0] = 0, starts
    // never decrease, and starts[steps + 1] = span + 1 closes the last step.
    template <class Starts>
    StepCells(const Starts& starts, int steps, std::int64_t span) {
        std::int64_t narrowest = span + 1;
        for (int k = 1; k < steps; ++k) {
            const std::int64_t width = at(starts, k + 1) - at(starts, k);
            if (width < narrowest) narrowest = width;
        }
        shift_ = narrowest > 1 ? std::bit_width(static_cast<std::uint64_t>(narrowest)) - 1 : 0;
        const std::int64_t count = (span >> shift_) + 1;
        cells_.resize(static_cast<std::size_t>(count));
        int k = 0;
        for (std::int64_t c = 0; c < count; ++c) {
            const std::int64_t first = c << shift_;
            while (k < steps && at(starts, k + 1) <= first) ++k;
            cells_[static_cast<std::size_t>(c)] = Cell{static_cast<std::uint32_t>(at(starts, k + 1) - 1),
                                                       static_cast<std::uint32_t>(k)};
        }
    }

    // offset must lie in 0..span.
    std::uint32_t operator()(std::uint32_t offset) const {
        const Cell& c = cells_[static_cast<std::size_t>(offset >> shift_)];
        return c.step + static_cast<std::uint32_t>(offset > c.last);
    }

private:
    struct Cell {
        std::uint32_t last;  // last offset of `step`
        std::uint32_t step;
    };

    template <class Starts>
    static std::int64_t at(const Starts& starts, int k) {
        return static_cast<std::int64_t>(starts[static_cast<std::size_t>(k)]);
    }

    unsigned shift_ = 0;
    std::vector<Cell> cells_;
};

}  // namespace trakora
