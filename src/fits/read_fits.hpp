// SPDX-License-Identifier: MIT
// The FITS reader: header cards, keyword values and the primary image's samples.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "core/state.hpp"

namespace trakora {

// Reads the FITS file at `path` into the shared state: header_cards, header_end_card,
// the keyword values, image_pixels, pixel_min and pixel_max. Returns 0 when the image
// was read. On a rejection returns -1 and sets `message` to the text to show: the
// content of fits_file_name immediately followed by the reason ("a.fitBITPIX error");
// the image buffer is then untouched. No message is shown here.
std::int16_t read_fits_file(State& s, const std::filesystem::path& path, std::string& message);

}  // namespace trakora
