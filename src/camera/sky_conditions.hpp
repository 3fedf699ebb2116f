// SPDX-License-Identifier: MIT
// What the night does to the simulated camera's stars beyond the mount: passing clouds
// (images without stars and images where they dim), a guide star too bright for the
// exposure (a flat top at the ceiling) and stars drawn on whole pixels (undersampled).
// `trakora-cli simulate --clouds --saturate --undersampled`.
//
//   double t = cloud_transmission(conditions, seed, index);   // 1 clear, 0 no star
//   double peak = guide_peak(conditions, seed, full_scale, sky);
//   Position p = drawn_at(conditions, star);
#pragma once

#include <cstdint>
#include <vector>

#include "base/command_line.hpp"
#include "base/position.hpp"

namespace trakora::camera {

struct SkyConditions {
    bool clouds = false;        // a blackout of ten images and dimmer edges, each 60 images
    bool saturate = false;      // the guide star's peak 1.3 to 4 times the ceiling
    bool undersampled = false;  // stars drawn at whole pixels
};

// The three options, appended to simulate's table; each sets its field of `c`.
void add_condition_options(std::vector<command_line::Option>& options, SkyConditions& c);

// The share of the stars' light that passes in image `index`. With clouds, of each 60
// images from an offset the seed draws (0 to 9): images 22 to 31 see no star, 18 to 21
// and 32 to 33 (the cloud's edges) and 46 to 48 (a thin one) see half of it.
double cloud_transmission(const SkyConditions& c, std::uint64_t seed, long index);

// The guide star's peak above the sky: `usual` as it is, or saturated: a peak of 1.3 to
// 4 times the ceiling `full_scale` (the seed draws it), which the samples clip.
double guide_peak(const SkyConditions& c, std::uint64_t seed, double full_scale, double sky,
                  double usual);

// Where a star is drawn: at its place, or at the nearest whole pixel.
Position drawn_at(const SkyConditions& c, Position place);

}  // namespace trakora::camera
