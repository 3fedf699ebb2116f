// SPDX-License-Identifier: MIT
// Reading an image into the shared state.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "core/state.hpp"

namespace trakora {

// Reads the FITS file at `path` with the reader and keeps what it learnt in the shared
// state: header_cards (the cards read; later slots keep what they held), header_end_card,
// the keyword values, image_pixels, pixel_min and pixel_max. Returns 0 when the image was
// read. On a rejection returns -1 and sets `message` to the text to show: the content of
// fits_file_name immediately followed by the reader's reason ("a.fitBITPIX error");
// pixel_min and pixel_max then hold 2147483647 and -1. No message is shown here.
std::int16_t read_fits_file(State& s, const std::filesystem::path& path, std::string& message);

}  // namespace trakora
