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
// Offsets are grouped into cells of 2^shift values, no wider than the narrowest step
// that lies between two others, so a cell holds at most one place where the step
// changes besides its own first offset: a cell records the step at its start, the last
// offset of that step and the step that follows (which can be several numbers higher
// when steps in between are empty). The table has a few cells per step whatever the
// span, and stays in the fastest cache.
class StepCells {
  public:
    // starts[k] is the first offset of step k, for k = 0..steps; starts[0] = 0, starts
    // never decrease, and starts[steps + 1] = span + 1 closes the last step. A step
    // whose start equals the next one's is empty.
    template <class Starts>
    StepCells(const Starts& starts, int steps, std::int64_t span) {
        // The narrowest gap between two neighbouring places where the step changes.
        std::int64_t narrowest = span + 1;
        std::int64_t previous = 0;
        for (int k = 1; k <= steps; ++k) {
            const std::int64_t change = at(starts, k);
            if (change <= previous || change > span) continue;
            if (previous > 0 && change - previous < narrowest) narrowest = change - previous;
            previous = change;
        }
        shift_ =
            narrowest > 1
                ? static_cast<unsigned>(std::bit_width(static_cast<std::uint64_t>(narrowest))) - 1
                : 0;
        const std::int64_t count = (span >> shift_) + 1;
        cells_.resize(static_cast<std::size_t>(count));
        int k = 0;
        for (std::int64_t c = 0; c < count; ++c) {
            const std::int64_t first = c << shift_;
            k = last_step_starting_by(starts, steps, k, first);
            const std::int64_t next_change = k < steps ? at(starts, k + 1) : span + 1;
            const int next =
                k < steps ? last_step_starting_by(starts, steps, k + 1, next_change) : k;
            cells_[static_cast<std::size_t>(c)] =
                Cell{static_cast<std::uint32_t>(next_change - 1), static_cast<std::uint16_t>(k),
                     static_cast<std::uint16_t>(next - k)};
        }
    }

    // offset must lie in 0..span.
    std::uint32_t operator()(std::uint32_t offset) const {
        const Cell& c = cells_[static_cast<std::size_t>(offset >> shift_)];
        // Arithmetic rather than a choice: offsets near a change (a noisy sky around a
        // bin start) would defeat branch prediction.
        return c.step + static_cast<std::uint32_t>(offset > c.last) * c.jump;
    }

    std::size_t cell_count() const { return cells_.size(); }

  private:
    struct Cell {
        std::uint32_t last;  // last offset of `step`
        std::uint16_t step;
        std::uint16_t jump;  // how much higher the step after `last` is
    };

    template <class Starts>
    static std::int64_t at(const Starts& starts, int k) {
        return static_cast<std::int64_t>(starts[static_cast<std::size_t>(k)]);
    }

    // The highest step from k on that starts at or before `offset` (k itself does).
    template <class Starts>
    static int last_step_starting_by(const Starts& starts, int steps, int k, std::int64_t offset) {
        while (k < steps && at(starts, k + 1) <= offset) ++k;
        return k;
    }

    unsigned shift_ = 0;
    std::vector<Cell> cells_;
};

}  // namespace trakora
