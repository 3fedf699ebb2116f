// SPDX-License-Identifier: MIT
// The names under which the program looks for images.
#pragma once

#include <string>

namespace trakora {

// Whether a name ends like a FITS image: "Fit", "FIT", "FTS" or "Fts", case included, no
// dot needed. Names shorter than three characters never do.
bool has_fits_ending(const std::string& name);

}  // namespace trakora
