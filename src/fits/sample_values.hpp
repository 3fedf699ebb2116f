// SPDX-License-Identifier: MIT
// Floating-point samples kept for measuring. The image buffer holds each float rounded to
// a whole number, as the picture is shown; a normalised image (0..1) then holds nothing
// but 0 and 1, and its star can be neither found nor measured. Beside it, a reader given
// a values plane stores every sample of a single-plane float image times
// kSampleValueScale, rounded, so 1.0 stands where a 16-bit camera's full well does.
#pragma once

#include <cstddef>
#include <cstdint>

namespace trakora {

inline constexpr double kSampleValueScale = 65535;

// The smallest and largest float sample of an image (NaN left out; both NaN when every
// sample was NaN).
struct FloatRange {
    float min = 0;
    float max = 0;
    bool empty = true;
};

// A float sample on the values plane: times kSampleValueScale, rounded, saturated at the
// 32-bit ends; NaN is 0.
std::int32_t sample_value(float sample);

// Stores `count` samples (host order) on the values plane and widens `range`.
void store_sample_values(const float* in, std::size_t count, std::int32_t* out, FloatRange& range);

// The same for big-endian samples as a FITS file holds them.
void store_big_endian_values(const unsigned char* in, std::size_t count, std::int32_t* out,
                             FloatRange& range);

// Whether an image with float samples in `range` is measured on its values plane: its
// samples lie well inside +-1000, where rounding them to whole numbers loses the star.
bool measured_from_values(const FloatRange& range);

}  // namespace trakora
