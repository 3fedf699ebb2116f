// SPDX-License-Identifier: MIT
// The bright stars the program suggests to drift on: every star of the Yale Bright Star
// Catalogue to magnitude 3.5, with its common or Bayer name, J2000 place and V magnitude
// (bright_stars.cpp, made by scripts/make-bright-stars), brightest first.
#pragma once

#include <span>
#include <string_view>

namespace trakora {

struct BrightStar {
    std::string_view name;  // "Sirius", "alpha UMi", "mu1 Sco"
    double ra_hours = 0;    // J2000
    double dec_deg = 0;     // J2000
    double mag = 0;         // V
};

std::span<const BrightStar> bright_stars();

}  // namespace trakora
