// SPDX-License-Identifier: MIT
#include "core/measured_image.hpp"

#include <cmath>

namespace trakora {
namespace {

// The largest value a sample of the image's format can hold.
double sample_range_top(const State& s) {
    const double bits = std::abs(s.fits_bitpix);
    if (bits == 8) return 255;
    if (bits == 16) return 65535;
    return 2147483647.0;
}

}  // namespace

ImageMeasurement measured_image(const State& s) {
    return image_measurement(s.image_facts.get(), s.image_folder, s.fits_file_name,
                             s.newest_date_card, {s.object_x, s.object_y});
}

MeasuredPlane measured_plane(const State& s) {
    return {image_plane(s, 0),
            {sample_range_top(s), static_cast<double>(s.pixel_max)},
            s.image_width,
            s.image_height};
}

}  // namespace trakora
