// SPDX-License-Identifier: MIT
// Reading an image into the shared state.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "core/state.hpp"
#include "core/view.hpp"

namespace trakora {

// What one read of an image file came to.
struct ImageRead {
    std::int16_t status = 0;  // 0 when the image was read, -1 on a rejection
    std::string message;      // on a rejection: the text the reader shows
    bool incomplete = false;  // the rejection is one of a file still being written
    std::uint64_t file_size = 0;
};

// Reads the FITS file at `path` with the reader and keeps what it learnt in the shared
// state: header_cards (the cards read; later slots keep what they held), header_end_card,
// the keyword values, image_pixels, pixel_min and pixel_max. On a rejection the message
// is the content of fits_file_name immediately followed by the reader's reason
// ("a.fitBITPIX error"); pixel_min and pixel_max then hold 2147483647 and -1. No message
// is shown here.
ImageRead read_image_file(State& s, const std::filesystem::path& path);

// The same, with only the status and the message.
std::int16_t read_fits_file(State& s, const std::filesystem::path& path, std::string& message);

// read_image_file on fits_file_name in `folder` (the folder field's), which it keeps in
// image_folder; shows nothing.
ImageRead read_newest_file(State& s, const std::string& folder);

}  // namespace trakora
