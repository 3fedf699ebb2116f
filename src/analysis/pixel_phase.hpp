// SPDX-License-Identifier: MIT
// The centroid's pixel-phase error: an undersampled star (or the flat core of a
// saturated one) is measured a little toward the middle of the pixel it falls in, so the
// centroid steps with the pixels while the star glides over them. Along an axis the star
// crosses pixels on, the residuals then follow the star's place within its pixel.
//
//   double e = pixel_phase_px(minutes, fitted, residuals);  // 0 when none stands out
#pragma once

#include <span>

namespace trakora {

// The peak pixel-phase error along one axis, pixels, from the fit's used samples: their
// times, the fitted positions there and the residuals. The residuals' sine in the fitted
// position's phase (one cycle per pixel, the line taken out of it) is sought; it counts
// when its amplitude stands four of its standard errors out (noise alone does it once in
// e^8, about 3000 fits) over at least eight samples, and the star crosses at least eight
// pixels, one in four samples or less (so the drive's slower motions are not taken for
// it). The peak is
// that of a sawtooth with the sine's amplitude (pi/2 of it): whole-pixel centroids step
// by up to half a pixel.
double pixel_phase_px(std::span<const double> minutes, std::span<const double> fitted,
                      std::span<const double> residuals);

}  // namespace trakora
