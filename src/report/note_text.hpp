// SPDX-License-Identifier: MIT
// The drift answer's notes as English sentences, as the summary JSON and trakora-cli
// write them.
#pragma once

#include <string>

#include "analysis/drift_notes.hpp"

namespace trakora::report {

// One sentence, ending in a full stop: "Plate scale 1.500 arcsec/px from XPIXSZ and
// FOCALLEN.", "SITELONG '+139 41 61' could not be read.", ...
std::string note_text(const DriftNote& note);

}  // namespace trakora::report
