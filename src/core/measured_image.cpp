// SPDX-License-Identifier: MIT
#include "core/measured_image.hpp"

#include <cmath>

#include "analysis/brightest_spot.hpp"

namespace trakora {
namespace {

// The largest value a sample of the image's format can hold.
double sample_range_top(const State& s) {
    const double bits = std::abs(s.fits_bitpix);
    if (bits == 8) return 255;
    if (bits == 16) return 65535;
    return 2147483647.0;
}

// Plane 0 of the measured values (see State::measured_from_values).
PlaneView values_plane(const State& s) {
    return s.sample_values.plane(0, pixel_extent(s.image_width), pixel_extent(s.image_height));
}

}  // namespace

ImageMeasurement measured_image(const State& s) {
    // On the rounded picture of a normalised image the box sums say little; the star is
    // sought again, from the same start, on the measured values.
    const Position found = s.measured_from_values
                               ? brightest_spot_near(values_plane(s), s.spot_search_start)
                               : Position{s.object_x, s.object_y};
    return image_measurement(s.image_facts.get(), s.image_folder, s.fits_file_name,
                             s.newest_date_card, found);
}

MeasuredPlane measured_plane(const State& s) {
    if (s.measured_from_values) {
        // A normalised image is full at 1.0; any other float image has no known top.
        const FloatRange& r = s.sample_value_range;
        const double top = r.max <= 1 ? kSampleValueScale : 2147483647.0;
        return {values_plane(s),
                {top, static_cast<double>(sample_value(r.max))},
                s.image_width,
                s.image_height};
    }
    return {image_plane(s, 0),
            {sample_range_top(s), static_cast<double>(s.pixel_max)},
            s.image_width,
            s.image_height};
}

}  // namespace trakora
