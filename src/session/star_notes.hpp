// SPDX-License-Identifier: MIT
// What a segment's answer says of its star beyond the fit: images the star was lost in
// (named, with where it was found again), images a cloud dimmed, a saturated star, and a
// scatter no star of its width shows. Each takes from "enough" what it must.
//
//   segment.summary = drift_summary(segment.fit, segment.geometry);
//   add_star_notes(segment.summary, segment_images(a, k), segment.first);
#pragma once

#include <cstddef>
#include <span>

#include "analysis/polar_error.hpp"
#include "session/drift_assistant.hpp"

namespace trakora {

// Whether the segment's fit leaves the image's star out: any flag but saturation (a
// saturated star is measured from its clipped core and its wings), or no time.
bool star_left_out(const SessionImage& image);

// Adds the notes on the segment's images (`first` is the first one's index in the
// session; notes count images from 1) and, where they say so, makes the answer not enough:
// a star lost and not found again, a fit whose images span less than three minutes once
// the time lost is taken off, or a residual scatter wider than the star itself.
void add_star_notes(DriftSummary& s, std::span<const SessionImage> images, std::size_t first);

}  // namespace trakora
