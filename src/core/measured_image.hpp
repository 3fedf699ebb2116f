// SPDX-License-Identifier: MIT
// The current image's measurement and plane as the tick and the pick hand them to the
// drift assistant, made from State.
#pragma once

#include "core/state.hpp"
#include "session/image_measurement.hpp"

namespace trakora {

// The current image's measurement (image_measurement) from what the tick read: its
// header's facts, folder, file, DATE-OBS card and the found position (for an image
// measured from its values, the star search's again on the values, from where it began).
ImageMeasurement measured_image(const State& s);

// Plane 0 of the current image, the largest value a sample of its format can hold and the
// largest in it, and its size; for an image measured from its values (State::
// measured_from_values), the values plane, full at 1.0 for a normalised image.
MeasuredPlane measured_plane(const State& s);

}  // namespace trakora
