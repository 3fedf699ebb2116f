// SPDX-License-Identifier: MIT
#include "analysis/adjust_cutout.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace trakora {
namespace {

// At least this many image pixels across, drawn in at most this many cells.
constexpr double kCutoutLeast = 160;
constexpr double kCutoutMargin = 40;
constexpr double kCutoutMost = 640;
constexpr int kCutoutCells = 160;

}  // namespace

AdjustCutout adjust_cutout(const PlaneView& plane, Position star, Position anchor,
                           Position target) {
    const double left = std::min({star.x, anchor.x, target.x});
    const double right = std::max({star.x, anchor.x, target.x});
    const double top = std::min({star.y, anchor.y, target.y});
    const double bottom = std::max({star.y, anchor.y, target.y});
    const double side = std::clamp(std::max(right - left, bottom - top) + 2 * kCutoutMargin,
                                   kCutoutLeast, kCutoutMost);
    AdjustCutout c;
    c.step = std::ceil(side / kCutoutCells);
    c.width = c.height = static_cast<int>(std::ceil(side / c.step));
    c.x0 = std::round((left + right) / 2 - c.width * c.step / 2);
    c.y0 = std::round((top + bottom) / 2 - c.height * c.step / 2);
    c.cells.assign(static_cast<std::size_t>(c.width * c.height), 0);
    const int step = static_cast<int>(c.step);
    for (int row = 0; row < c.height; ++row)
        for (int col = 0; col < c.width; ++col) {
            std::int32_t most = 0;
            const int x0 = static_cast<int>(c.x0) + col * step;
            const int y0 = static_cast<int>(c.y0) + row * step;
            for (int y = y0; y < y0 + step; ++y)
                for (int x = x0; x < x0 + step; ++x)
                    if (plane.contains(x, y)) most = std::max(most, plane.at(x, y));
            c.cells[static_cast<std::size_t>(row * c.width + col)] = most;
        }
    return c;
}

}  // namespace trakora
