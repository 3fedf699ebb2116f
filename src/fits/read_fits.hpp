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
// pixel_min and pixel_max then hold 2147483647 and -1, the keyword values what the
// header gave, and the image buffer is untouched. No message is shown here.
//
// Reasons, in the order they are checked: "open error" (the file cannot be opened,
// measured or read, or is no ordinary file), "END error" (no END card among the first
// 500 cards of a longer file), "BITPIX error", "BITPIX error : BITPIX = 64", "NAXIS1 error",
// "NAXIS2 error", "NAXIS1 error : NAXIS1 = 4000" and the same for NAXIS2 (more than the
// buffer's 3073 columns or rows), "data size error" (the file is shorter than the samples
// the header announces). Should the file shrink while its samples are read, the read
// also ends with "data size error", with part of the buffer already overwritten.
std::int16_t read_fits_file(State& s, const std::filesystem::path& path, std::string& message);

}  // namespace trakora
