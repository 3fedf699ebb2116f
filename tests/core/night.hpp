// SPDX-License-Identifier: MIT
// A small night of images for scenario tests: a dark sky with one bright pixel (the
// star) per image, written into a temporary folder as a camera would.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "support/fits_files.hpp"

namespace trakora::testing {

inline constexpr int kNightWidth = 64;
inline constexpr int kNightHeight = 48;

// A 64 x 48 BITPIX 16 image, background 0, one pixel of 5000 at (sx, sy).
inline std::string star_image(int sx, int sy, const std::string& date_obs) {
    std::vector<double> samples(kNightWidth * kNightHeight, 0.0);
    samples[sy * kNightWidth + sx] = 5000;
    return make_fits(16, kNightWidth, kNightHeight, samples,
                     {fits_card("DATE-OBS", "'" + date_obs + "'")});
}

// The DATE-OBS of image n (0, 1, ...): one minute apart.
inline std::string night_date(int n) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "2026-12-09T%02d:%02d:00.000", 1 + n / 60, n % 60);
    return buf;
}

}  // namespace trakora::testing

namespace trakora::testing {
inline bool slot_empty(const std::array<double, 2>& slot) {
    return slot[0] == -999 && slot[1] == -999;
}
}  // namespace trakora::testing
