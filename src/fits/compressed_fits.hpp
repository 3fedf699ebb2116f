// SPDX-License-Identifier: MIT
// Tile-compressed FITS (.fz): the image of the first compressed extension (a BINTABLE
// with ZIMAGE = T; Rice, GZIP, PLIO, or HCOMPRESS of integers), decompressed by CFITSIO
// (HCOMPRESS tile by tile through its H-decoder, fits/hcompress_tiles.hpp) and decoded as
// the plain reader decodes the same header and samples.
#pragma once

#include <filesystem>

#include "base/image_buffer.hpp"
#include "fits/read_fits.hpp"

namespace trakora {

// Reads the first compressed image of the file at `path`. The header is that image's as
// its uncompressed twin would carry it (BITPIX, NAXISn, BZERO and the extension's other
// cards, DATE-OBS among them), checked and laid out as read_fits does; its rejections are
// read_fits's, and "compressed FITS error : " with CFITSIO's words, "no compressed
// image" or "checksum mismatch" (when the extension carries DATASUM) for a file that
// CFITSIO cannot read. A file that does not end on a block
// boundary, ends before its data or holds no compressed image yet is taken for one still
// being written (`incomplete`).
FitsRead read_compressed_fits(const std::filesystem::path& path, ImageBuffer& image,
                              ImageBuffer* values = nullptr);

}  // namespace trakora
