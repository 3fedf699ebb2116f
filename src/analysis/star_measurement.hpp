// SPDX-License-Identifier: MIT
// A precise look at one star around a position the whole-pixel search has found:
// sub-pixel centroid, signal-to-noise ratio, half-flux diameter and what is wrong with it.
//
// Usage:
//   StarMeasurement m = measure_star(plane, {object_x, object_y}, {range_top, image_max});
//   if (m.flags == 0) use(m.x, m.y);        // flagged ones stay in the series, out of the fit
//   csv << star_flag_names(m.flags);        // "hot_pixel|low_snr", "" when clean
#pragma once

#include <string>

#include "base/plane_view.hpp"
#include "base/position.hpp"

namespace trakora {

enum StarFlag : unsigned {
    kStarHotPixel = 1u << 0,   // a one-pixel "star": HFD below 1.5 px
    kStarSaturated = 1u << 1,  // a flat top at the image's maximum or the sample range's top
    kStarLowSnr = 1u << 2,     // SNR below 10
    kStarLost = 1u << 3,       // nothing above the threshold
    kStarEdge = 1u << 4,       // the aperture leaves the image
    kStarFaint = 1u << 5,      // far fainter than the star was lately (a cloud)
    kStarUntracked = 1u << 6,  // the session's star was not found: the place it should be
};

struct StarLevels {
    double range_top = 65535;  // the largest value a sample of this format can hold
    double image_max = 65535;  // the largest value in this image
};

struct StarApertures {
    double radius = 7;          // centroid, flux and HFD within this radius of the centre
    double annulus_inner = 10;  // background and noise from this ring
    double annulus_outer = 16;
    double threshold_sigma = 3;  // pixels count when this many noise sigmas above background
};

struct StarMeasurement {
    double x = 0;  // centroid; the given position when there is none (0 if not finite)
    double y = 0;
    double background = 0;  // per pixel, from the annulus
    double noise = 0;       // standard deviation per pixel, from the annulus
    double flux = 0;        // background-subtracted sum of the pixels above the threshold
    double snr = 0;
    double hfd = 0;  // half-flux diameter, pixels
    unsigned flags = 0;
};

// Measures the star nearest `around` on `plane`. Single pixels far brighter than all their
// neighbours (hot pixels) are left out of the centroid; when nothing else is there the
// measurement is a hot pixel. Never throws; every number is finite.
StarMeasurement measure_star(const PlaneView& plane, Position around, StarLevels levels,
                             const StarApertures& apertures = {});

// "hot_pixel|saturated|low_snr|no_star|edge|faint|untracked" for the flags set, in that order; ""
// for none.
std::string star_flag_names(unsigned flags);

}  // namespace trakora
