// SPDX-License-Identifier: MIT
#pragma once

#include "core/state.hpp"
#include "core/view.hpp"

namespace trakora {

inline constexpr std::uint32_t kRed = rgb(255, 0, 0);
inline constexpr std::uint32_t kWhite = rgb(255, 255, 255);

// A horizontal line through row y and a vertical one through column x across the object
// window's picture, positions scaled by crosshair_scale.
void draw_crosshair(State& s, View& v, Number x, Number y, std::uint32_t colour);

}  // namespace trakora
