// SPDX-License-Identifier: MIT
#include "analysis/brightest_spot.hpp"

#include <array>
#include <cmath>
#include <cstdint>

#include "base/rounding.hpp"

namespace trakora {

namespace {

constexpr int kSearchHalfWidth = 15;
constexpr int kMaxCandidates = 2 * kSearchHalfWidth + 1;
constexpr int kBoxHalfWidth = 3;
constexpr int kMaxBoxSide = 2 * kBoxHalfWidth + 1;

// One candidate position along an axis, with the buffer indices its box covers there.
struct AxisCandidate {
    double position = 0;
    int box_count = 0;
    std::array<int, kMaxBoxSide> box{};
};

struct AxisCandidates {
    int count = 0;
    std::array<AxisCandidate, kMaxCandidates> at{};
};

double clamp_to_extent(double c, int extent) {
    if (c < 0) c = 0;
    if (c > extent - 1) c = extent - 1;
    return c;
}

// Positions are whole numbers in practice, but a position set from outside may carry a
// fraction; stepping by repeated addition from centre - 15 while not past centre + 15
// keeps that fraction exactly as a counted loop over doubles would, and a clamped
// coordinate that still has one picks its pixel by rounding half to even, as an array
// index does. The step counts are capped so that a position too large to be stepped by
// 1 (or an infinite one) cannot hold the scan forever.
AxisCandidates candidates_along(double centre, int extent) {
    AxisCandidates out;
    const double last = centre + kSearchHalfWidth;
    double c = centre - kSearchHalfWidth;
    for (; out.count < kMaxCandidates && c <= last; c += 1) {
        AxisCandidate& cand = out.at[static_cast<std::size_t>(out.count++)];
        cand.position = c;
        const double e = clamp_to_extent(c, extent);
        const double box_last = e + kBoxHalfWidth;
        double b = e - kBoxHalfWidth;
        for (; cand.box_count < kMaxBoxSide && b <= box_last; b += 1) {
            cand.box[static_cast<std::size_t>(cand.box_count++)] =
                static_cast<int>(round_half_even(clamp_to_extent(b, extent)));
        }
    }
    return out;
}

}  // namespace

Position brightest_spot_near(const PlaneView& plane, Position start) {
    // Without pixels there is nothing to clamp to; the position stays where it is.
    if (plane.width <= 0 || plane.height <= 0) return start;

    const AxisCandidates columns = candidates_along(start.x, plane.width);
    const AxisCandidates rows = candidates_along(start.y, plane.height);

    std::int64_t best_sum = 0;
    double best_x = 0;
    double best_y = 0;
    // Columns outer, rows inner, and only a strictly larger sum replaces the best: among
    // equal boxes the first in this order wins.
    for (int i = 0; i < columns.count; ++i) {
        const AxisCandidate& cx = columns.at[static_cast<std::size_t>(i)];
        for (int j = 0; j < rows.count; ++j) {
            const AxisCandidate& cy = rows.at[static_cast<std::size_t>(j)];
            std::int64_t sum = 0;
            for (int by = 0; by < cy.box_count; ++by) {
                const std::int32_t* row =
                    plane.pixels + cy.box[static_cast<std::size_t>(by)] * plane.stride;
                for (int bx = 0; bx < cx.box_count; ++bx)
                    sum += row[cx.box[static_cast<std::size_t>(bx)]];
            }
            if (sum > best_sum) {
                best_sum = sum;
                best_x = cx.position;
                best_y = cy.position;
            }
        }
    }
    return Position{best_x, best_y};
}

}  // namespace trakora
