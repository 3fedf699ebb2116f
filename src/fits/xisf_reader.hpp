// SPDX-License-Identifier: MIT
// XISF 1.0 (monolithic files, .xisf): the first image of the header, grey (a Bayer
// mosaic is one) or RGB, UInt8 to Float64, its data block attached, inline or embedded,
// uncompressed or compressed by zlib, LZ4 or Zstandard with or without byte shuffling,
// its checksum verified when given in SHA-1 or SHA-256.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "base/image_buffer.hpp"
#include "fits/read_fits.hpp"
#include "fits/read_only_file.hpp"

namespace trakora {

// Reads the image as its FITS twin would be read: the header holds the cards of
// xisf_cards (so its keywords and properties are read as FITS keywords), the image's
// first row is the buffer's row 0, as a FITS file's first stored row is, and the samples
// are decoded as the FITS reader decodes the format the cards announce; an RGB image
// fills planes 0-2 whatever its format. Rejections: "open error", the FITS reader's
// NAXIS1 and NAXIS2 messages for an image larger than the buffer, and "XISF error : "
// with the reason (no signature, a header that cannot be read, a data block that does not
// hold what the header says, a checksum that does not match). A file shorter than its
// header or its data block says is taken for one still being written (`incomplete`).
FitsRead read_xisf(const std::filesystem::path& path, ImageBuffer& image,
                   ImageBuffer* values = nullptr);

// The cards of the first image of the XISF file `file` (an ordinary file of `size`
// bytes), as read_xisf makes them; nothing when its header cannot be read whole.
std::optional<std::string> xisf_header_cards(const ReadOnlyFile& file, std::uint64_t size);

}  // namespace trakora
