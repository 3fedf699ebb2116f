// SPDX-License-Identifier: MIT
// The current image's measurement and plane as the tick and the pick hand them to the
// drift assistant, made from State.
#pragma once

#include "core/image_measurement.hpp"
#include "core/state.hpp"

namespace trakora {

// The facts of the current image that the tick knows once the star search has run:
// the folder it was read from, the file, its header and DATE-OBS text, its time and the
// found position. The file's
// modification time is looked up only when the header gives no time.
ImageMeasurement measured_image(const State& s);

// Plane 0 of the current image, the largest value a sample of its format can hold and the
// largest in it, and its size.
MeasuredPlane measured_plane(const State& s);

}  // namespace trakora
